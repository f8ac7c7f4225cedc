// configFile.ini through TPrefMng, and the invoice header and footer files.
#include "settings_fixture.h"

#include "core/TPrefMng.h"
#include "platform/richtext/Windows1256.h"

#include <QDir>

namespace {

class PrefMngTest : public SettingsFolderTest {};

const QString kHeaderEmpty = QString::fromUtf8("سر برگ فاکتور");
const QString kHeaderMissing = QString::fromUtf8("سربرگ فاکتور");
const QString kFooter = QString::fromUtf8("ته برگ فاکتور");

} // namespace

TEST_F(PrefMngTest, DefaultsWithoutFile)
{
    EXPECT_TRUE(TPrefMng::GetAutoShowHlp());
    EXPECT_EQ(TPrefMng::GetVATVal(), 0.0);
    EXPECT_EQ(TPrefMng::GetMunicipalVal(), 0.0);
    EXPECT_FALSE(TPrefMng::GetVATEnabled());
    EXPECT_EQ(TPrefMng::GetReportTitle(), QString::fromUtf8("عنوان گزارش"));
    EXPECT_EQ(TPrefMng::GetEconomicCode(), QString());
    EXPECT_EQ(TPrefMng::GetTTMSDlgPath(), QStringLiteral("c:\\"));
    EXPECT_EQ(TPrefMng::GetProvinceId(), QStringLiteral("0"));
    EXPECT_EQ(TPrefMng::GetTotalTaxRate(), 0.0);
    EXPECT_FALSE(QFile::exists(path("configFile.ini")));
}

TEST_F(PrefMngTest, KeysAndSectionMatchWithoutCase)
{
    write("configFile.ini", "[GEN]\r\ncvatval=9\r\nCMUNICIPALVAL=3\r\ncvatenabled=1\r\nautoshowhlp=0\r\n");
    EXPECT_EQ(TPrefMng::GetVATVal(), 9.0);
    EXPECT_EQ(TPrefMng::GetMunicipalVal(), 3.0);
    EXPECT_EQ(TPrefMng::GetTotalTaxRate(), 12.0);
    EXPECT_TRUE(TPrefMng::GetVATEnabled());
    EXPECT_FALSE(TPrefMng::GetAutoShowHlp());
    ASSERT_TRUE(TPrefMng::SetVATVal(10));
    EXPECT_EQ(TPrefMng::GetTotalTaxRate(), 13.0);
    EXPECT_EQ(read("configFile.ini").count("="), 4) << "the existing key is replaced, not added";
}

TEST_F(PrefMngTest, ValuesRoundTrip)
{
    const QString title = QString::fromUtf8("املاک زانيت - گزارش ماهانه");
    ASSERT_TRUE(TPrefMng::SetAutoShowHlp(false));
    ASSERT_TRUE(TPrefMng::SetVATVal(9.5));
    ASSERT_TRUE(TPrefMng::SetMunicipalVal(0.25));
    ASSERT_TRUE(TPrefMng::SetReportTitle(title));
    EXPECT_FALSE(TPrefMng::GetAutoShowHlp());
    EXPECT_EQ(TPrefMng::GetTotalTaxRate(), 9.75);
    EXPECT_EQ(TPrefMng::GetReportTitle(), title);
    const QByteArray text = read("configFile.ini");
    EXPECT_TRUE(text.contains("[gen]"));
    EXPECT_TRUE(text.contains(title.toUtf8())) << "written in UTF-8";
}

TEST_F(PrefMngTest, ProvinceIdIgnoresEmptyAndZero)
{
    struct Step { const char* value; const char* stored; };
    const Step steps[] = {{"", "0"}, {"0", "0"}, {"12", "12"}, {"", "12"}, {"0", "12"}, {"07", "07"}};
    for (const Step& s : steps) {
        ASSERT_TRUE(TPrefMng::SetProvinceId(QString::fromLatin1(s.value)));
        EXPECT_EQ(TPrefMng::GetProvinceId(), QString::fromLatin1(s.stored)) << "after \"" << s.value << '"';
    }
}

TEST_F(PrefMngTest, InvoiceTextsFromFiles)
{
    struct Case { const char* name; QByteArray bytes; QString header; };
    const Case cases[] = {
        {"two lines", "A\r\nB\r\n", QStringLiteral("A\r\nB")},
        {"no final break", "A\r\nB", QStringLiteral("A\r\nB")},
        {"unix breaks", "A\n\nB\n", QStringLiteral("A\r\n\r\nB")},
        {"empty file", "", kHeaderEmpty},
        {"one empty line", "\r\n", kHeaderEmpty},
        {"persian utf-8", QString::fromUtf8("املاک\r\nتلفن").toUtf8(), QString::fromUtf8("املاک\r\nتلفن")},
        {"persian windows-1256", richtext::encodeWindows1256(QString::fromUtf8("املاک\r\nتلفن")),
         QString::fromUtf8("املاک\r\nتلفن")},
    };
    for (const Case& c : cases) {
        write("CInvoiceHeader", c.bytes);
        write("CInvoiceFooter", c.bytes);
        EXPECT_EQ(TPrefMng::GetInvoiceHeader(), c.header) << c.name;
        EXPECT_EQ(TPrefMng::GetInvoiceFooter(), c.header == kHeaderEmpty ? kFooter : c.header) << c.name;
    }
}

TEST_F(PrefMngTest, MissingOrUnreadableInvoiceTextsGiveDefaults)
{
    EXPECT_EQ(TPrefMng::GetInvoiceHeader(), kHeaderMissing);
    EXPECT_EQ(TPrefMng::GetInvoiceFooter(), kFooter);
    ASSERT_TRUE(QDir(dir.path()).mkdir("CInvoiceHeader"));
    EXPECT_EQ(TPrefMng::GetInvoiceHeader(), kHeaderMissing);
}

TEST_F(PrefMngTest, SavedInvoiceTextsReadBack)
{
    ASSERT_TRUE(TPrefMng::SaveInvoiceHeader(QString::fromUtf8("املاک زانيت\nتلفن ۱۲۳")));
    EXPECT_EQ(read("CInvoiceHeader"), QString::fromUtf8("املاک زانيت\r\nتلفن ۱۲۳\r\n").toUtf8());
    EXPECT_EQ(TPrefMng::GetInvoiceHeader(), QString::fromUtf8("املاک زانيت\r\nتلفن ۱۲۳"));

    // What the reader gives back saves to the same file.
    ASSERT_TRUE(TPrefMng::SaveInvoiceFooter(QStringLiteral("A\r\nB")));
    EXPECT_EQ(read("CInvoiceFooter"), QByteArray("A\r\nB\r\n"));

    ASSERT_TRUE(TPrefMng::SaveInvoiceHeader(QString()));
    EXPECT_EQ(read("CInvoiceHeader"), QByteArray());
    EXPECT_EQ(TPrefMng::GetInvoiceHeader(), kHeaderEmpty);
}
