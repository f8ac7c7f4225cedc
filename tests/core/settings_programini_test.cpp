// The program's own ini file: database kind, schema version, background
// picture, paper sizes and report fonts.
#include "settings_fixture.h"

#include "core/PrintSettings.h"
#include "core/ProgramIni.h"
#include "platform/ini/IniFile.h"

#include <QFileInfo>
#include <cmath>

namespace {

class ProgramIniTest : public SettingsFolderTest {
protected:
    QString iniName() const { return QFileInfo(ProgramIniPath()).fileName(); }
};

} // namespace

TEST_F(ProgramIniTest, DatabaseKind)
{
    EXPECT_TRUE(ReadIsAccess()) << "no file";
    struct Case { QByteArray text; bool access; };
    const Case cases[] = {
        {"[gen]\nverType=access\n", true},
        {"[GEN]\nVERTYPE=ACCESS\n", true},
        {"[gen]\nverType=Access\n", true},
        {"[gen]\nverType=\n", false},
        {"[gen]\nverType=sql\n", false},
        {"[gen]\nverNO=9.45\n", true},
    };
    for (const Case& c : cases) {
        write(iniName(), c.text);
        EXPECT_EQ(ReadIsAccess(), c.access) << c.text.constData();
    }
}

TEST_F(ProgramIniTest, SchemaVersion)
{
    EXPECT_EQ(ReadVerNO(), 0.0);
    write(iniName(), "[gen]\nverType=access\nverNO=9.4\n");
    EXPECT_EQ(std::llround(ReadVerNO() * 10000), 94000);
    ASSERT_TRUE(WriteVerNO(9.45));
    EXPECT_EQ(std::llround(ReadVerNO() * 10000), 94500);
    const QByteArray text = read(iniName());
    EXPECT_TRUE(text.contains("verNO=9.45")) << text.constData();
    EXPECT_TRUE(text.contains("verType=access"));
}

TEST_F(ProgramIniTest, BackgroundPath)
{
    EXPECT_EQ(ReadBgPath(), QStringLiteral("0"));
    const QString picture = QString::fromUtf8("/home/agency/تصاوير/دفتر.jpg");
    ASSERT_TRUE(WriteBgPath(picture));
    EXPECT_EQ(ReadBgPath(), picture);
}

TEST(PaperList, IndexesAndOrdinals)
{
    ASSERT_EQ(PaperSizeTexts().size(), 26);
    struct Case { int index; const char* text; int ordinal; };
    const Case cases[] = {
        {0, "215.9 * 279.4 { Letter }", 1},
        {8, "210.0 * 297.0 { A4 }", 9},
        {9, "210.0 * 297.0 { A4 small }", 10},
        {21, "101.6 * 279.4 { Envelope #12 - might be wrong !! }", 22},
        {25, "100.0 * 100.0 {ESheet}", 26},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PaperSizeTexts().at(c.index), QLatin1String(c.text));
        EXPECT_EQ(PaperOrdinal(c.index), c.ordinal);
    }
}

TEST_F(ProgramIniTest, PrintSettingsDefaults)
{
    const TPrintSettings s = LoadPrintSettings();
    EXPECT_EQ(s.PaperSizeContract, 10);
    EXPECT_EQ(s.OrientationContract, 1);
    EXPECT_EQ(s.PaperSizeReport, 10);
    EXPECT_EQ(s.OrientationReport, 0);
    EXPECT_EQ(s.PaperSizeInvoice, 10);
    EXPECT_EQ(s.OrientationInvoice, 0);
    struct FontCase { const QFont* font; const char* name; int size; };
    for (const FontCase& f : {FontCase{&s.BodyFont, "arial", 11}, FontCase{&s.InvoiceHeaderFont, "tahoma", 12},
                              FontCase{&s.InvoiceFooterFont, "tahoma", 10}}) {
        EXPECT_EQ(f.font->family(), QLatin1String(f.name));
        EXPECT_EQ(f.font->pointSize(), f.size);
        EXPECT_TRUE(f.font->bold());
        EXPECT_FALSE(f.font->italic() || f.font->underline() || f.font->strikeOut());
    }

    // The preferences window offers A4 (index 8) where nothing is stored.
    const TPrnPaper prefs = ReadPrnPaper(ini::IniFile(ProgramIniPath()), 8);
    EXPECT_EQ(prefs.PaperGharar, 8);
    EXPECT_EQ(prefs.Paper, 8);
    EXPECT_EQ(prefs.PaperInv, 8);
    EXPECT_EQ(prefs.OrientGharar, 1);
    EXPECT_EQ(prefs.Orient, 0);
    EXPECT_EQ(prefs.OrientInv, 0);
}

TEST_F(ProgramIniTest, StoredPaperIndexBecomesOrdinal)
{
    struct Case { const char* stored; int ordinal; };
    const Case cases[] = {{"0", 1}, {"8", 9}, {"25", 26}, {"26", 10}, {"-1", 10}, {"A4", 10}};
    for (const Case& c : cases) {
        write(iniName(), QByteArray("[prn]\nC_PaperSize_Gharar=") + c.stored + "\nC_PaperSize=" + c.stored
                             + "\nc_papersize_inv=" + c.stored + "\n");
        const TPrintSettings s = LoadPrintSettings();
        EXPECT_EQ(s.PaperSizeContract, c.ordinal) << c.stored;
        EXPECT_EQ(s.PaperSizeReport, c.ordinal) << c.stored;
        EXPECT_EQ(s.PaperSizeInvoice, c.ordinal) << c.stored;
    }
    write(iniName(), "[prn]\nC_Oriention_Gharar=0\nC_Oriention=1\nC_Oriention_inv=7\n");
    const TPrintSettings s = LoadPrintSettings();
    EXPECT_EQ(s.OrientationContract, 0);
    EXPECT_EQ(s.OrientationReport, 1);
    EXPECT_EQ(s.OrientationInvoice, 0) << "not an orientation: the default";
}

TEST_F(ProgramIniTest, PaperAndFontsRoundTrip)
{
    QFont body(QStringLiteral("Vazirmatn"));
    body.setPointSize(14);
    body.setItalic(true);
    body.setUnderline(true);
    QFont header(QStringLiteral("B Nazanin"));
    header.setPointSize(18);
    header.setBold(true);
    header.setStrikeOut(true);
    {
        ini::IniFile ini(ProgramIniPath());
        TPrnPaper p;
        p.PaperGharar = 7; p.OrientGharar = 0; p.Paper = 10; p.Orient = 1; p.PaperInv = 8; p.OrientInv = 1;
        WritePrnPaper(ini, p);
        SaveFontToIni(ini, body, QLatin1String(BodyFontKey.prefix));
        SaveFontToIni(ini, header, QLatin1String(InvoiceHeaderFontKey.prefix));
        ASSERT_TRUE(ini.save());
    }
    const TPrintSettings s = LoadPrintSettings();
    EXPECT_EQ(s.PaperSizeContract, 8);
    EXPECT_EQ(s.OrientationContract, 0);
    EXPECT_EQ(s.PaperSizeReport, 11);
    EXPECT_EQ(s.OrientationReport, 1);
    EXPECT_EQ(s.PaperSizeInvoice, 9);
    EXPECT_EQ(s.OrientationInvoice, 1);
    for (const auto& pair : {std::make_pair(s.BodyFont, body), std::make_pair(s.InvoiceHeaderFont, header)}) {
        const QFont& got = pair.first;
        const QFont& want = pair.second;
        EXPECT_EQ(got.family(), want.family());
        EXPECT_EQ(got.pointSize(), want.pointSize());
        EXPECT_EQ(got.bold(), want.bold()) << want.family().toStdString();
        EXPECT_EQ(got.italic(), want.italic());
        EXPECT_EQ(got.underline(), want.underline());
        EXPECT_EQ(got.strikeOut(), want.strikeOut());
    }
    EXPECT_EQ(s.InvoiceFooterFont.family(), QStringLiteral("tahoma")) << "untouched font keeps its defaults";
}

TEST_F(ProgramIniTest, FontReadingAddsToThePresentStyle)
{
    write(iniName(), "[prn]\nfntbodyn=Tahoma\nfntbodys=0\nfntbodyb=0\nfntbodyi=0\n");
    const ini::IniFile ini(ProgramIniPath());
    QFont font;
    font.setItalic(true);
    font.setBold(true);
    ReadFontFromIni(ini, font, BodyFontKey);
    EXPECT_EQ(font.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(font.pointSize(), 11) << "a size of 0 reads as the default";
    EXPECT_TRUE(font.italic()) << "keys that read false leave the style as it was";
    EXPECT_TRUE(font.bold());
    // LoadPrintSettings clears the style first.
    EXPECT_FALSE(LoadPrintSettings().BodyFont.bold());
    EXPECT_FALSE(LoadPrintSettings().BodyFont.italic());
}
