#include "upgrade_fixture.h"

#include <QFile>

namespace {

const char* ImportNotice = "اطلاعات مربوط به تمامي استان ها و شهرهاي کشور انتقال داده خواهند شد.";

class UpgradeGeoTest : public UpgradeTest {
protected:
    int notices() const
    {
        int n = 0;
        for (const auto& c : prompter->calls)
            if (c.text.startsWith(QString::fromUtf8(ImportNotice)))
                ++n;
        return n;
    }

    // Old rows that an import replaces: one province with its city, and one office.
    void seedOldRows(bool withOffice)
    {
        conn().exec(QStringLiteral("insert into province (provinceId, proviceName) values (99, 'old')"));
        conn().exec(QStringLiteral("insert into city (CityId, provinceId, CityName) values (990001, 99, 'old')"));
        if (withOffice)
            conn().exec(QStringLiteral("insert into mainOffices (EdareKolCode, EdareKolName, ostanCode) values (99, 'old', 99)"));
    }

    QString oldRows() { return dump({QStringLiteral("province"), QStringLiteral("city"), QStringLiteral("mainOffices")}).join(QLatin1Char('\n')); }
};

TEST_P(UpgradeGeoTest, FirstUpgradeLoadsProvincesCitiesAndOffices)
{
    createOldBase();
    writeTemplate();
    ASSERT_TRUE(update(0));
    EXPECT_EQ(notices(), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from province")), 31);
    EXPECT_EQ(count(QStringLiteral("select count(*) from city")), 1252);
    EXPECT_EQ(count(QStringLiteral("select count(*) from mainOffices")), 36);
    EXPECT_EQ(conn().scalar(QStringLiteral("select CityName from city where CityId = 100001")).toString(),
              QStringLiteral("تبریز"));
    EXPECT_EQ(conn().scalar(QStringLiteral("select proviceName from province where provinceId = 10")).toString(),
              QStringLiteral("آذربایجان شرقی"));
    EXPECT_EQ(count(QStringLiteral("select count(*) from city c left join province p on p.provinceId = c.provinceId "
                                   "where p.provinceId is null")),
              0);
}

TEST_P(UpgradeGeoTest, EmptyOfficesReloadAllThree)
{
    createOldBase();
    writeTemplate();
    ASSERT_TRUE(update(0));
    conn().exec(QStringLiteral("delete from mainOffices"));
    conn().exec(QStringLiteral("delete from city where provinceId <> 10"));
    seedOldRows(false);
    prompter->calls.clear();

    ASSERT_TRUE(update(94500));
    EXPECT_EQ(notices(), 1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from province")), 31);
    EXPECT_EQ(count(QStringLiteral("select count(*) from city")), 1252);
    EXPECT_EQ(count(QStringLiteral("select count(*) from mainOffices")), 36);
    EXPECT_EQ(count(QStringLiteral("select count(*) from province where provinceId = 99")), 0);
}

TEST_P(UpgradeGeoTest, FilledTablesAreLeftAlone)
{
    createOldBase();
    writeTemplate();
    ASSERT_TRUE(update(0));
    seedOldRows(true);
    prompter->calls.clear();
    ASSERT_TRUE(update(94500));
    EXPECT_EQ(notices(), 0);
    EXPECT_EQ(count(QStringLiteral("select count(*) from province where provinceId = 99")), 1);
}

TEST_P(UpgradeGeoTest, MissingTemplateIsReportedAndOldRowsStay)
{
    createOldBase();
    ASSERT_TRUE(update(0)); // no template: the objects are there, the import is not
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors()[0].startsWith(QStringLiteral("خطايي در روند برنامه پيش آمد.\r\n")));
    EXPECT_TRUE(errors()[0].contains(QStringLiteral("TTMS_empty.mdb")));
    seedOldRows(false);
    const QString before = oldRows();
    ASSERT_TRUE(update(94500));
    EXPECT_EQ(oldRows(), before);
}

TEST_P(UpgradeGeoTest, FailedImportLeavesTheOldTables)
{
    createOldBase();
    writeTemplate();
    ASSERT_TRUE(update(0));
    conn().exec(QStringLiteral("delete from mainOffices"));
    conn().exec(QStringLiteral("delete from city"));
    conn().exec(QStringLiteral("delete from province"));
    seedOldRows(false);
    const QString before = oldRows();

    // A province code with a second name: its second insert breaks the key midway.
    {
        auto t = db::Connection::openSqlite(templatePath());
        t->exec(QStringLiteral("insert into zone (ostanCode, ostan, ShahrCode, Shahr) values (10, 'x', 109999, 'y')"));
    }
    // Also from the menu while the connection holds an open transaction.
    for (const bool open : {false, true}) {
        SCOPED_TRACE(open);
        prompter->calls.clear();
        if (open)
            conn().begin();
        update(94500);
        EXPECT_EQ(notices(), 1);
        ASSERT_EQ(errors().size(), 1);
        EXPECT_TRUE(errors()[0].startsWith(QStringLiteral("خطايي در روند برنامه پيش آمد.\r\n")));
        EXPECT_EQ(oldRows(), before);
        EXPECT_EQ(conn().inTransaction(), open);
        if (open)
            conn().commit();
    }
}

TEST_P(UpgradeGeoTest, ValuesWithQuotesAreBound)
{
    createOldBase();
    writeTemplate();
    {
        auto t = db::Connection::openSqlite(templatePath());
        t->exec(QStringLiteral("update edareKol set EdareKolName = $1 where EdareKolCode = 1"),
                {QStringLiteral("O'Brien's office")});
    }
    ASSERT_TRUE(update(0));
    EXPECT_EQ(conn().scalar(QStringLiteral("select EdareKolName from mainOffices where EdareKolCode = 1")).toString(),
              QStringLiteral("O'Brien's office"));
}

DOVIN_INSTANTIATE_ENGINES(UpgradeGeoTest);

} // namespace
