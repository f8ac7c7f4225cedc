#include "upgrade_fixture.h"

#include "core/ProgramIni.h"
#include "core/UpgradeSchema.h"

namespace {

TEST(UpgradeVersion, StoredVersionsAsKeys)
{
    const struct {
        double version;
        qint64 key;
    } cases[] = {{9.45, 94500}, {9.4, 94000}, {9.38, 93800}, {9.37, 93700}, {0, 0}, {9.449999, 94500}};
    for (const auto& c : cases)
        EXPECT_EQ(VersionKey(c.version), c.key) << c.version;
}

class UpgradeVersionTest : public UpgradeTest {};

TEST_P(UpgradeVersionTest, StoredVersionDecidesWhetherTheStartUpgrades)
{
    createOldBase();
    writeTemplate();

    ASSERT_TRUE(WriteVerNO(9.45));
    EXPECT_FALSE(UpgradeSchemaIfOld(conn(), isFile()));
    EXPECT_FALSE(conn().tableExists(QStringLiteral("T_EstateDocs")));
    EXPECT_TRUE(prompter->calls.isEmpty());

    ASSERT_TRUE(WriteVerNO(9.4));
    EXPECT_TRUE(UpgradeSchemaIfOld(conn(), isFile()));
    EXPECT_TRUE(conn().tableExists(QStringLiteral("T_EstateDocs")));
    EXPECT_EQ(VersionKey(ReadVerNO()), SchemaVersionKey);
    EXPECT_TRUE(errors().isEmpty()) << errors().join(QLatin1Char('\n')).toStdString();

    // Started once more, the program finds 9.45 and leaves the database alone.
    prompter->calls.clear();
    EXPECT_FALSE(UpgradeSchemaIfOld(conn(), isFile()));
    EXPECT_TRUE(prompter->calls.isEmpty());
}

TEST_P(UpgradeVersionTest, PartyKindsAreFilledBelow938OnlyWhereEmpty)
{
    for (const qint64 old : {qint64(93700), qint64(93800)}) {
        SCOPED_TRACE(old);
        conn().tryExec(QStringLiteral("drop view V_Sood"));
        for (const char* t : {"T_EstateDocs", "city", "province", "mainOffices", "yourInfo", "T_Melk", "T_niyaz",
                              "T_Sanad", "t_hazineh", "t_check"})
            conn().tryExec(QStringLiteral("drop table %1").arg(QLatin1String(t)));
        createOldBase(true);
        writeTemplate();
        conn().exec(QStringLiteral("insert into T_Sanad (EsmMalek) values ('empty')"));
        conn().exec(QStringLiteral("insert into T_Sanad (EsmMalek, ownerPersonKind, ownerBuyerKind, custPersonKind, "
                                   "custBuyerKind) values ('entered', 3, 1, 2, 3)"));
        conn().exec(QStringLiteral("insert into T_Sanad (EsmMalek, ownerPersonKind, ownerBuyerKind, custPersonKind, "
                                   "custBuyerKind) values ('zero', 0, 0, 2, 0)"));
        ASSERT_TRUE(update(old));

        auto kinds = [&](const char* name) {
            return conn()
                .scalar(QStringLiteral("select coalesce(ownerPersonKind, -9) || ',' || coalesce(ownerBuyerKind, -9) || ',' "
                                       "|| coalesce(custPersonKind, -9) || ',' || coalesce(custBuyerKind, -9) "
                                       "from T_Sanad where EsmMalek = $1"),
                        {QLatin1String(name)})
                .toString()
                .toStdString();
        };
        EXPECT_EQ(kinds("entered"), "3,1,2,3");
        if (old < 93800) {
            EXPECT_EQ(kinds("empty"), "1,2,1,2");
            EXPECT_EQ(kinds("zero"), "1,2,2,2");
        } else {
            EXPECT_EQ(kinds("empty"), "-9,-9,-9,-9");
            EXPECT_EQ(kinds("zero"), "0,0,2,0");
        }
    }
}

DOVIN_INSTANTIATE_ENGINES(UpgradeVersionTest);

TEST(UpgradeCatalog, NewTablesAndSanadColumnsJoinTheBaseCatalogue)
{
    db::Catalog catalog;
    db::TableDef sanad;
    sanad.name = QStringLiteral("T_Sanad");
    db::ColumnDef key;
    key.name = QStringLiteral("SId");
    key.kind = db::ColumnKind::Counter;
    sanad.columns.push_back(key);
    catalog.add(sanad);

    upgrade_schema::AddUpgradeSchema(catalog);
    upgrade_schema::AddUpgradeSchema(catalog);

    const db::TableDef* merged = catalog.table(QStringLiteral("t_sanad"));
    ASSERT_NE(merged, nullptr);
    EXPECT_EQ(merged->columns.size(), 1 + upgrade_schema::SanadColumns().size());
    EXPECT_EQ(merged->keyColumn(), QStringLiteral("SId"));
    EXPECT_EQ(catalog.column(QStringLiteral("T_Sanad"), QStringLiteral("ownerdiscount"))->kind, db::ColumnKind::Money);
    EXPECT_EQ(catalog.column(QStringLiteral("T_Sanad"), QStringLiteral("custNatNO"))->label, QStringLiteral("کد ملي خريدار"));
    EXPECT_EQ(catalog.column(QStringLiteral("T_EstateDocs"), QStringLiteral("docPath"))->label,
              QStringLiteral("مسير و نام فايل"));
    EXPECT_EQ(catalog.column(QStringLiteral("T_EstateDocs"), QStringLiteral("docPath"))->size, 150);
    EXPECT_EQ(catalog.table(QStringLiteral("yourInfo"))->keyColumn(), QStringLiteral("aKey"));
    EXPECT_EQ(catalog.table(QStringLiteral("province"))->keyColumn(), QStringLiteral("provinceId"));
}

} // namespace
