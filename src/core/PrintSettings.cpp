#include "core/PrintSettings.h"

#include "core/ProgramIni.h"
#include "platform/ini/IniFile.h"

#include <QFontInfo>

namespace {

const QString kPrn = QStringLiteral("prn");

int readPaperIndex(const ini::IniFile& ini, const QString& key, int def)
{
    const int v = ini.readInteger(kPrn, key, def);
    return v >= 0 && v < PaperSizeTexts().size() ? v : def;
}

int readOrientation(const ini::IniFile& ini, const QString& key, int def)
{
    const int v = ini.readInteger(kPrn, key, def);
    return v == 0 || v == 1 ? v : def;
}

void clearStyle(QFont& font)
{
    font.setBold(false);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
}

} // namespace

const QStringList& PaperSizeTexts()
{
    static const QStringList texts = {
        QStringLiteral("215.9 * 279.4 { Letter }"),
        QStringLiteral("215.9 * 279.4 { Letter small }"),
        QStringLiteral("279.4 * 431.8 { Tabloid }"),
        QStringLiteral("431.8 * 279.4 { Ledger }"),
        QStringLiteral("215.9 * 355.6 { Legal }"),
        QStringLiteral("139.7 * 215.9 { Statement }"),
        QStringLiteral("190.5 * 254.0 { Executive }"),
        QStringLiteral("297.0 * 420.0 { A3 }"),
        QStringLiteral("210.0 * 297.0 { A4 }"),
        QStringLiteral("210.0 * 297.0 { A4 small }"),
        QStringLiteral("148.0 * 210.0 { A5 }"),
        QStringLiteral("250.0 * 354.0 { B4 }"),
        QStringLiteral("182.0 * 257.0 { B5 }"),
        QStringLiteral("215.9 * 330.2 { Folio }"),
        QStringLiteral("215.0 * 275.0 { Quarto }"),
        QStringLiteral("254.0 * 355.6 { 10X14 }"),
        QStringLiteral("279.4 * 431.8 { 11X17 }"),
        QStringLiteral("215.9 * 279.0 { Note }"),
        QStringLiteral("98.43 * 225.4 { Envelope #9 }"),
        QStringLiteral("104.8 * 241.3 { Envelope #10 }"),
        QStringLiteral("114.3 * 263.5 { Envelope #11 }"),
        QStringLiteral("101.6 * 279.4 { Envelope #12 - might be wrong !! }"),
        QStringLiteral("127.0 * 292.1 { Envelope #14 }"),
        QStringLiteral("100.0 * 100.0 {CSheet}"),
        QStringLiteral("100.0 * 100.0 {DSheet}"),
        QStringLiteral("100.0 * 100.0 {ESheet}"),
    };
    return texts;
}

int PaperOrdinal(int paperIndex)
{
    return paperIndex + 1;
}

TPrnPaper ReadPrnPaper(const ini::IniFile& ini, int defaultPaperIndex)
{
    TPrnPaper p;
    p.PaperGharar = readPaperIndex(ini, QStringLiteral("C_PaperSize_Gharar"), defaultPaperIndex);
    p.OrientGharar = readOrientation(ini, QStringLiteral("C_Oriention_Gharar"), 1);
    p.Paper = readPaperIndex(ini, QStringLiteral("C_PaperSize"), defaultPaperIndex);
    p.Orient = readOrientation(ini, QStringLiteral("C_Oriention"), 0);
    p.PaperInv = readPaperIndex(ini, QStringLiteral("C_PaperSize_Inv"), defaultPaperIndex);
    p.OrientInv = readOrientation(ini, QStringLiteral("C_Oriention_Inv"), 0);
    return p;
}

void WritePrnPaper(ini::IniFile& ini, const TPrnPaper& p)
{
    ini.writeInteger(kPrn, QStringLiteral("C_PaperSize_Gharar"), p.PaperGharar);
    ini.writeInteger(kPrn, QStringLiteral("C_Oriention_Gharar"), p.OrientGharar);
    ini.writeInteger(kPrn, QStringLiteral("C_PaperSize"), p.Paper);
    ini.writeInteger(kPrn, QStringLiteral("C_Oriention"), p.Orient);
    ini.writeInteger(kPrn, QStringLiteral("C_PaperSize_Inv"), p.PaperInv);
    ini.writeInteger(kPrn, QStringLiteral("C_Oriention_Inv"), p.OrientInv);
}

void ReadFontFromIni(const ini::IniFile& ini, QFont& font, const QString& prefix,
                     int defaultSize, const QString& defaultName)
{
    font.setFamily(ini.readString(kPrn, prefix + QLatin1Char('n'), defaultName));
    const int size = ini.readInteger(kPrn, prefix + QLatin1Char('s'), defaultSize);
    font.setPointSize(size > 0 ? size : defaultSize);
    if (ini.readBool(kPrn, prefix + QLatin1Char('b'), true))
        font.setBold(true);
    if (ini.readBool(kPrn, prefix + QLatin1Char('i'), false))
        font.setItalic(true);
    if (ini.readBool(kPrn, prefix + QLatin1Char('u'), false))
        font.setUnderline(true);
    if (ini.readBool(kPrn, prefix + QLatin1Char('t'), false))
        font.setStrikeOut(true);
}

void ReadFontFromIni(const ini::IniFile& ini, QFont& font, const TReportFontKey& key)
{
    ReadFontFromIni(ini, font, QLatin1String(key.prefix), key.defaultSize,
                    QLatin1String(key.defaultName));
}

void SaveFontToIni(ini::IniFile& ini, const QFont& font, const QString& prefix)
{
    const int size = font.pointSize() > 0 ? font.pointSize() : qRound(QFontInfo(font).pointSizeF());
    ini.writeString(kPrn, prefix + QLatin1Char('n'), font.family());
    ini.writeInteger(kPrn, prefix + QLatin1Char('s'), size);
    ini.writeBool(kPrn, prefix + QLatin1Char('b'), font.bold());
    ini.writeBool(kPrn, prefix + QLatin1Char('i'), font.italic());
    ini.writeBool(kPrn, prefix + QLatin1Char('u'), font.underline());
    ini.writeBool(kPrn, prefix + QLatin1Char('t'), font.strikeOut());
}

TPrintSettings ReadPrintSettings(const ini::IniFile& ini)
{
    const TPrnPaper p = ReadPrnPaper(ini, 9);
    TPrintSettings s;
    s.PaperSizeContract = quint8(PaperOrdinal(p.PaperGharar));
    s.OrientationContract = quint8(p.OrientGharar);
    s.PaperSizeReport = quint8(PaperOrdinal(p.Paper));
    s.OrientationReport = quint8(p.Orient);
    s.PaperSizeInvoice = quint8(PaperOrdinal(p.PaperInv));
    s.OrientationInvoice = quint8(p.OrientInv);
    clearStyle(s.BodyFont);
    ReadFontFromIni(ini, s.BodyFont, BodyFontKey);
    clearStyle(s.InvoiceHeaderFont);
    ReadFontFromIni(ini, s.InvoiceHeaderFont, InvoiceHeaderFontKey);
    clearStyle(s.InvoiceFooterFont);
    ReadFontFromIni(ini, s.InvoiceFooterFont, InvoiceFooterFontKey);
    return s;
}

TPrintSettings LoadPrintSettings()
{
    const ini::IniFile ini(ProgramIniPath());
    return ReadPrintSettings(ini);
}
