// The base schema on both engines: the tables of each database, the counters row,
// the column types the datasets see, and amounts that stay decimal.
#include "TestDb.h"

#include "core/Schema.h"
#include "platform/db/Catalog.h"
#include "platform/db/DataSet.h"

using testing_support::EngineTest;

namespace {

class SchemaTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        conn().setCatalog(&SchemaCatalog());
    }
};

TEST_P(SchemaTest, AgencyDatabaseHoldsTheBaseTablesAndTheCountersRow)
{
    CreateBaseSchema(conn(), TSchemaDb::Agency);
    for (const QString& t : BaseTables(TSchemaDb::Agency))
        EXPECT_TRUE(conn().tableExists(t)) << t.toStdString();
    for (const char* t : {"tunames", "T_EstateDocs", "province", "city"})
        EXPECT_FALSE(conn().tableExists(QString::fromLatin1(t))) << t;
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_snums")).toInt(), 1);
    EXPECT_EQ(conn().scalar(QStringLiteral("select snum from t_snums where akey=1")).toString(), QStringLiteral("0"));
    EXPECT_EQ(conn().scalar(QStringLiteral("select hnum from t_snums where akey=1")).toString(), QStringLiteral("0"));
}

TEST_P(SchemaTest, UsersDatabaseHoldsOnlyTheUsersTable)
{
    CreateBaseSchema(conn(), TSchemaDb::Users);
    EXPECT_TRUE(conn().tableExists(QStringLiteral("tunames")));
    EXPECT_FALSE(conn().tableExists(QStringLiteral("T_Melk")));
    EXPECT_FALSE(conn().tableExists(QStringLiteral("t_snums")));
}

TEST_P(SchemaTest, EveryCatalogueColumnExistsOnTheEngine)
{
    CreateBaseSchema(conn(), TSchemaDb::Agency);
    CreateBaseSchema(conn(), TSchemaDb::Users);
    const db::Catalog& cat = BaseCatalog();
    for (const QString& t : cat.tableNames())
        for (const db::ColumnDef& c : cat.table(t)->columns) {
            EXPECT_TRUE(conn().columnExists(t, c.name)) << t.toStdString() << "." << c.name.toStdString();
        }
    // T_Melk alone: 53 columns, 40 amenity flags and their 40 titles
    EXPECT_EQ(cat.table(QStringLiteral("T_Melk"))->columns.size(), 133u);
}

TEST_P(SchemaTest, DatasetsTakeTypesWidthsLabelsAndFormatsFromTheCatalogue)
{
    CreateBaseSchema(conn(), TSchemaDb::Agency);
    conn().exec(QStringLiteral("insert into T_Melk (MalekEsm, F1type, F1, Hazfshodeh) values ($1, $2, $3, 0)"),
                {QStringLiteral("مالک"), QStringLiteral("رهن و اجاره"), 1234567.5});
    conn().exec(QStringLiteral("insert into t_hazineh (nov, Mablagh) values ($1, $2)"), {QStringLiteral("هزينه"), 1001});
    db::DataSet melk(&conn());
    melk.setSQL(QStringLiteral("select * from T_Melk"));
    melk.Open();
    EXPECT_EQ(melk.FieldByName(QStringLiteral("MID"))->DataType(), db::FieldType::AutoInc);
    EXPECT_EQ(melk.FieldByName(QStringLiteral("ForSell"))->DataType(), db::FieldType::Boolean);
    EXPECT_FALSE(melk.FieldByName(QStringLiteral("ForSell"))->AsBoolean());
    EXPECT_EQ(melk.FieldByName(QStringLiteral("malekesm"))->DisplayLabel(), QStringLiteral("نام مالک"));
    EXPECT_EQ(melk.FieldByName(QStringLiteral("tarikheraeh"))->EditMask(), QStringLiteral("9999/99/99"));
    EXPECT_EQ(melk.FieldByName(QStringLiteral("F1type"))->AsString(), QStringLiteral("رهن و اجاره"));
    EXPECT_EQ(melk.FieldByName(QStringLiteral("F1type"))->Size(), 11);
    EXPECT_EQ(melk.FieldByName(QStringLiteral("F1"))->DisplayText(), QStringLiteral("1,234,567.5"));
    EXPECT_EQ(melk.FieldByName(QStringLiteral("pardeh_S"))->Size(), 50);

    db::DataSet haz(&conn());
    haz.setSQL(QStringLiteral("select Mablagh / 2 as half, nov from t_hazineh"));
    haz.Open();
    EXPECT_DOUBLE_EQ(haz.FieldByName(QStringLiteral("half"))->AsFloat(), 500.5);
    EXPECT_EQ(haz.FieldByName(QStringLiteral("nov"))->AsString(), QStringLiteral("هزينه"));
}

TEST(SchemaScript, WritesBooleansWithDefaultAndNoServerOnlyTypes)
{
    const QString lite = BaseSchemaScript(db::Dialect(db::Engine::SQLite), TSchemaDb::Agency);
    const QString pg = BaseSchemaScript(db::Dialect(db::Engine::PostgreSQL), TSchemaDb::Agency);
    EXPECT_TRUE(lite.contains(QStringLiteral("ForSell INTEGER DEFAULT 0")));
    EXPECT_TRUE(pg.contains(QStringLiteral("ForSell smallint DEFAULT 0")));
    EXPECT_TRUE(pg.contains(QStringLiteral("F1type varchar(11)")));
    EXPECT_TRUE(pg.contains(QStringLiteral("GhymatHarMeter numeric(19,4)")));
    for (const char* banned : {" boolean", " money", " char("})
        EXPECT_FALSE(pg.contains(QString::fromLatin1(banned))) << banned;
}

DOVIN_INSTANTIATE_ENGINES(SchemaTest);

} // namespace
