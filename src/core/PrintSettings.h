#pragma once
// Print settings kept in section prn of the program's ini file: paper size and
// orientation of contracts, reports and invoices, and the three report fonts.

#include <QFont>
#include <QString>
#include <QStringList>

namespace ini { class IniFile; }

// The paper list offered for printing; an entry's index is what the ini file
// stores, index + 1 is the report engine's paper ordinal (0: printer default).
const QStringList& PaperSizeTexts();
int PaperOrdinal(int paperIndex);

// The prn values as stored (paper list indexes, orientation 0 portrait, 1 landscape).
struct TPrnPaper {
    int PaperGharar = 9;
    int OrientGharar = 1;
    int Paper = 9;
    int Orient = 0;
    int PaperInv = 9;
    int OrientInv = 0;
};

// Printing reads with default paper index 9 ("A4 small"), the preferences window
// with 8 ("A4"). A paper index outside the list or an orientation other than 0
// or 1 reads as its default.
TPrnPaper ReadPrnPaper(const ini::IniFile& ini, int defaultPaperIndex);
void WritePrnPaper(ini::IniFile& ini, const TPrnPaper& paper);

// A report font's keys in section prn: prefix + n (name), s (size), b, i, u, t
// (bold, italic, underline, strike-out).
struct TReportFontKey {
    const char* prefix;
    const char* defaultName;
    int defaultSize;
};
inline constexpr TReportFontKey BodyFontKey{"fntbody", "arial", 11};
inline constexpr TReportFontKey InvoiceHeaderFontKey{"fntHeaderInv", "tahoma", 12};
inline constexpr TReportFontKey InvoiceFooterFontKey{"fntFooterInv", "tahoma", 10};

// Sets name and size and adds each style whose key reads true (bold defaults to
// true) to the font's present style; callers clear the style first when they
// want the stored style only. A size that is not a positive number reads as the default.
void ReadFontFromIni(const ini::IniFile& ini, QFont& font, const QString& prefix,
                     int defaultSize, const QString& defaultName);
void ReadFontFromIni(const ini::IniFile& ini, QFont& font, const TReportFontKey& key);
void SaveFontToIni(ini::IniFile& ini, const QFont& font, const QString& prefix);

// The print settings the printouts use: paper bytes are ordinals (stored index + 1).
struct TPrintSettings {
    quint8 PaperSizeContract = 10;
    quint8 OrientationContract = 1;
    quint8 PaperSizeReport = 10;
    quint8 OrientationReport = 0;
    quint8 PaperSizeInvoice = 10;
    quint8 OrientationInvoice = 0;
    QFont BodyFont;
    QFont InvoiceHeaderFont;
    QFont InvoiceFooterFont;
};

TPrintSettings ReadPrintSettings(const ini::IniFile& ini);
// Reads the program's ini file.
TPrintSettings LoadPrintSettings();
