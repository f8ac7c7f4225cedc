#pragma once
// Settings of configFile.ini (section gen) in the program folder, and the
// invoice header and footer text files. Every call opens the file, reads or
// writes one value and closes it again; nothing is cached.

#include <QString>

class TPrefMng {
public:
    TPrefMng() = delete;

    static QString ConfigFilePath();

    static bool ReadBoolSetting(const QString& key, bool def);
    static double ReadFloatSetting(const QString& key, double def);
    static QString ReadStringSetting(const QString& key, const QString& def);
    // False when the file could not be saved.
    static bool WriteBoolSetting(const QString& key, bool value);
    static bool WriteFloatSetting(const QString& key, double value);
    static bool WriteStringSetting(const QString& key, const QString& value);

    static bool GetAutoShowHlp();
    static bool SetAutoShowHlp(bool value);
    static double GetVATVal();
    static bool SetVATVal(double value);
    static double GetMunicipalVal();
    static bool SetMunicipalVal(double value);
    static bool GetVATEnabled();
    static bool SetVATEnabled(bool value);
    static QString GetReportTitle();
    static bool SetReportTitle(const QString& value);
    static QString GetEconomicCode();
    static bool SetEconomicCode(const QString& value);
    static QString GetTTMSDlgPath();
    static bool SetTTMSDlgPath(const QString& value);
    static QString GetProvinceId();
    // An empty value counts as "0", and "0" is never written: the stored province stays.
    static bool SetProvinceId(const QString& value);

    // VAT percentage plus municipal levy percentage.
    static double GetTotalTaxRate();

    // The invoice texts with their lines joined by CR LF; a default text when
    // the file is empty or cannot be read.
    static QString GetInvoiceHeader();
    static QString GetInvoiceFooter();
    // Writes the lines of a multi-line text, each ended by CR LF.
    static bool SaveInvoiceHeader(const QString& text);
    static bool SaveInvoiceFooter(const QString& text);
};
