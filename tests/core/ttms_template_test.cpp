#include "core/TTMSTemplate.h"
#include "platform/db/Connection.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QString dataFile(const char* name)
{
    return QStringLiteral(DOVIN_SOURCE_DIR "/resources/data/") + QLatin1String(name);
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

TEST(TtmsTemplate, HoldsTheGeographyAndTakesTheExportRows)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TTMS_empty.mdb"));
    ttms::BuildTemplate(path, dataFile("zone.csv"), dataFile("edareKol.csv"));
    EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));

    auto conn = db::Connection::openSqlite(path);
    auto n = [&](const char* sql) { return conn->scalar(QString::fromLatin1(sql)).toLongLong(); };
    EXPECT_EQ(n("select count(*) from zone"), 1252);
    EXPECT_EQ(n("select count(distinct ostanCode) from zone"), 31);
    EXPECT_EQ(n("select count(*) from edareKol"), 36);
    // A city code is its province code and four digits; every office's province exists.
    EXPECT_EQ(n("select count(*) from zone where substr(ShahrCode, 1, 2) <> ostanCode || '' or length(ShahrCode) <> 6"), 0);
    EXPECT_EQ(n("select count(*) from edareKol where OstanCode not in (select ostanCode from zone)"), 0);
    EXPECT_EQ(n("select typeof(ShahrCode) = 'integer' from zone limit 1"), 1);
    for (const char* t : {"Moshakhasat", "foroush", "Foroush_Detail"})
        EXPECT_EQ(conn->scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(t))).toLongLong(), 0) << t;

    // The seasonal export's statements run against the template as it writes them.
    conn->exec(QStringLiteral(
        "insert into Moshakhasat (companyNameField, oldEconomicNoField, newEconomicNoField, nationalCodeField, "
        "taxPayerTypeField, postalCodeField, telNoField, registrationNoField, Address, ShahrCode, EdareKolCode, "
        "[UserName],[Band], SabteNam, MoadyName, Tabeiat, MobileNO) values ('a', '1', '2', '0012345678', '1', "
        "'1234567890', '021', '5', 'addr', 100001, 1, 'u', 1, 1, 'm', 1, '0912')"));
    conn->exec(QStringLiteral(
        "insert into Foroush_Detail (KalaKhadamatName, KalaCode, BargashtType, Price, MaliatArzeshAfzoodeh,"
        "AvarezArzeshAfzoodeh, HCKharidarTypeCode, KharidarPostCode, KharidarPerCityCode, KharidarTell, "
        "KharidarAddress, KharidarName, KharidarLastNameSherkatName, KharidarEconomicNO, KharidarNationalCode,"
        "HCKharidarType1Code, StateCode, CityCode, Sarjam, takhfif) values ('',0,0,'1234', '111','37', 0,'','','','',''"
        ",'سر جمع', '', '',0,10,1001000, 1, 0)"));
    conn->exec(QStringLiteral("insert into foroush (Code, HCFaslTypeCode, HCYearCode) values ($1, 1, 1402)"),
               {QStringLiteral("{3F2504E0-4F89-11D3-9A0C-0305E82C3301}")});
    EXPECT_EQ(conn->scalar(QStringLiteral("select Price + MaliatArzeshAfzoodeh from Foroush_Detail")).toDouble(), 1345.0);
}

TEST(TtmsTemplate, CsvFieldsWithQuotesAndLineEnds)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("x.csv"));
    writeFile(path, "\xEF\xBB\xBF" "a,b,c\r\n1,\"x, \"\"y\"\"\",\r\n\r\n2,z,3\n");
    const auto rows = ttms::ReadCsv(path);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
    EXPECT_EQ(rows[1], (QStringList{QStringLiteral("1"), QStringLiteral("x, \"y\""), QString()}));
    EXPECT_EQ(rows[2], (QStringList{QStringLiteral("2"), QStringLiteral("z"), QStringLiteral("3")}));
}

TEST(TtmsTemplate, BadSourceLeavesThePreviousFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("TTMS_empty.mdb"));
    writeFile(path, "previous");
    const QString bad = dir.filePath(QStringLiteral("zone.csv"));
    const QByteArray cases[] = {
        "ostanCode,ostan,Shahr\n10,a,b\n",             // wrong header
        "ostanCode,ostan,ShahrCode,Shahr\n10,a,b\n",   // missing field
        "ostanCode,ostan,ShahrCode,Shahr\nx,a,1,b\n",  // code not a number
    };
    for (const auto& c : cases) {
        writeFile(bad, c);
        EXPECT_THROW(ttms::BuildTemplate(path, bad, dataFile("edareKol.csv")), std::exception) << c.constData();
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("previous"));
        EXPECT_FALSE(QFile::exists(path + QStringLiteral(".tmp")));
    }
}

} // namespace
