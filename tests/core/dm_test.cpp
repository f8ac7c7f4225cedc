// The data module: the Unicode prefix of literals, the creation sequence and its
// failures, the order of opening the shared datasets, and the QTTMS union.
#include "ScriptedPrompter.h"
#include "TestDb.h"
#include "startup_fixture.h"

#include "core/ConnectionFiles.h"
#include "core/DbAttach.h"
#include "core/TDm.h"
#include "platform/db/Catalog.h"
#include "platform/db/DataSet.h"

#include <QRandomGenerator>

using testing_support::EngineTest;
using testing_support::ScriptedPrompter;

namespace {

TEST(AddUnicodePrefix, PrefixesEveryLiteralUnlessOneIsPrefixedAlready)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"select * from t where a='x' and b='y'", "select * from t where a=N'x' and b=N'y'"},
        {"select * from t where a=N'x' and b='y'", "select * from t where a=N'x' and b='y'"},
        {"select * from t", "select * from t"},
        {"where a='it''s' and b='z'", "where a=N'it''s' and b=N'z'"},
        {"where a='' or b='ب'", "where a=N'' or b=N'ب'"},
        {"where a='left open", "where a=N'left open"},
        {"'x'", "N'x'"},
    };
    for (const auto& c : cases) {
        const QString once = TDm::AddUnicodePrefix(QString::fromUtf8(c.in));
        EXPECT_EQ(once, QString::fromUtf8(c.out)) << c.in;
        EXPECT_EQ(TDm::AddUnicodePrefix(once), once) << c.in;
    }
}

class DataModuleTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        conn().setCatalog(&SchemaCatalog());
        CreateBaseSchema(conn(), TSchemaDb::Agency);
        users = db::Connection::openSqlite(testDb().dir() + QStringLiteral("/users.db"), true);
        CreateBaseSchema(*users, TSchemaDb::Users);
    }

    // What the schema upgrade adds, as far as QProvince, tblCity, QDocs and QTTMS need it.
    void addUpgradeTables()
    {
        const db::Dialect& d = conn().dialect();
        db::TableDef province{QStringLiteral("province"),
                              {{QStringLiteral("provinceId"), db::ColumnKind::Integer},
                               {QStringLiteral("proviceName"), db::ColumnKind::Text, 50}}};
        db::TableDef city{QStringLiteral("city"),
                          {{QStringLiteral("CityId"), db::ColumnKind::Integer},
                           {QStringLiteral("provinceId"), db::ColumnKind::Integer},
                           {QStringLiteral("CityName"), db::ColumnKind::Text, 50}}};
        db::TableDef docs{QStringLiteral("T_EstateDocs"),
                          {{QStringLiteral("akey"), db::ColumnKind::Counter},
                           {QStringLiteral("melkId"), db::ColumnKind::Integer},
                           {QStringLiteral("docPath"), db::ColumnKind::Text, 150}}};
        for (const auto& t : {province, city, docs})
            conn().exec(d.createTable(t));
        for (const char* side : {"owner", "cust"}) {
            const QString p = QString::fromLatin1(side);
            conn().exec(d.addColumn(QStringLiteral("T_Sanad"), {p + QStringLiteral("CityId"), db::ColumnKind::Integer}));
            for (const char* c : {"NatNO", "EconomicCode", "InitialName", "LastName", "PersonKind", "BuyerKind",
                                  "PhoneCityCode", "PhoneNO", "PersonAddress", "PostalCode"})
                conn().exec(d.addColumn(QStringLiteral("T_Sanad"), {p + QLatin1String(c), db::ColumnKind::Text, 50}));
        }
        for (const char* c : {"ownerDiscount", "customerDiscount"})
            conn().exec(d.addColumn(QStringLiteral("T_Sanad"), {QString::fromLatin1(c), db::ColumnKind::Money}));
        conn().exec(QStringLiteral("insert into province (provinceId, proviceName) values (11, 'تهران')"));
        conn().exec(QStringLiteral("insert into city (CityId, provinceId, CityName) values (1101, 11, 'تهران')"));
    }

    bool connect() { return dm.Connect(testDb().open(), std::move(users)); }

    ScriptedPrompter prompter;
    std::unique_ptr<db::Connection> users;
    TDm dm;
};

TEST_P(DataModuleTest, OpensTheSharedDatasetsAfterTheVersionCheck)
{
    addUpgradeTables();
    bool openAtCheck = true;
    dm.CheckDbVersion = [&] { openAtCheck = dm.QMelk->Active(); };
    ASSERT_TRUE(connect());
    EXPECT_FALSE(openAtCheck);
    EXPECT_TRUE(prompter.calls.isEmpty()) << prompter.calls.value(0).text.toStdString();
    // open, their statements checked and fields made, and not a row read until one is needed
    for (db::DataSet* ds : {dm.QMelk, dm.QNiyaz, dm.QSanad, dm.QMantagheh, dm.QGhovL, dm.QMn, dm.Qmn2, dm.QHazineh,
                            dm.QCheck, dm.QProvince, dm.tblCity}) {
        EXPECT_TRUE(ds->Active()) << ds->objectName().toStdString();
        EXPECT_TRUE(ds->Deferred()) << ds->objectName().toStdString();
        EXPECT_GT(ds->FieldCount(), 0) << ds->objectName().toStdString();
    }
    for (db::DataSet* ds : {dm.QTTMS, dm.QNums, dm.QFree, dm.QTels, dm.QDocs, dm.UQ})
        EXPECT_FALSE(ds->Active()) << ds->objectName().toStdString();
    // cities wait for a province to be chosen
    EXPECT_EQ(dm.tblCity->RecordCount(), 0);
    dm.tblCity->setFilter(QStringLiteral("provinceId = 11"));
    EXPECT_EQ(dm.tblCity->RecordCount(), 1);
}

TEST_P(DataModuleTest, AMissingTableIsShownAndLeavesTheLaterDatasetsClosed)
{
    conn().exec(QStringLiteral("drop table t_hazineh"));
    ASSERT_TRUE(connect());
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].what, QStringLiteral("plainMessage"));
    EXPECT_TRUE(prompter.calls[0].text.contains(QStringLiteral("t_hazineh"))) << prompter.calls[0].text.toStdString();
    EXPECT_TRUE(dm.Qmn2->Active());
    for (db::DataSet* ds : {dm.QHazineh, dm.QCheck, dm.QProvince, dm.tblCity})
        EXPECT_FALSE(ds->Active()) << ds->objectName().toStdString();
}

TEST_P(DataModuleTest, OnAFreshDatabaseTheProvincesAreTheFirstToFail)
{
    ASSERT_TRUE(connect());
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_TRUE(prompter.calls[0].text.contains(QStringLiteral("province"), Qt::CaseInsensitive));
    EXPECT_TRUE(dm.QCheck->Active());
    EXPECT_FALSE(dm.tblCity->Active());
}

TEST_P(DataModuleTest, DemandsOpenWithoutTheDeletedOnesAndLiteralsRoundTrip)
{
    conn().exec(QStringLiteral("insert into T_niyaz (Esm, hazfshodeh) values ('الف', 0), ('ب', %1)")
                    .arg(conn().dialect().trueValue()));
    conn().exec(QStringLiteral("insert into t_CmbItems (TStrName, TStrData) values ('DBComboBox1', 'آپارتمان')"));
    ASSERT_TRUE(connect());
    ASSERT_EQ(dm.QNiyaz->RecordCount(), 1);
    EXPECT_EQ(dm.QNiyaz->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("الف"));
    EXPECT_EQ(dm.QNiyaz->FieldByName(QStringLiteral("Esm"))->DisplayLabel(), QStringLiteral("مستاجر/خريدار"));

    dm.QFree->setSQL(QStringLiteral("select * from t_CmbItems where TStrName='DBComboBox1'"));
    dm.QFree->Open();
    EXPECT_EQ(dm.QFree->SQL(), QStringLiteral("select * from t_CmbItems where TStrName=N'DBComboBox1'"));
    ASSERT_EQ(dm.QFree->RecordCount(), 1);
    EXPECT_EQ(dm.QFree->FieldByName(QStringLiteral("TStrData"))->AsString(), QStringLiteral("آپارتمان"));
}

TEST_P(DataModuleTest, TaxLinesHalveTheCommissionAndSkipASideWithoutCity)
{
    addUpgradeTables();
    conn().exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, shoomareh, Haghebongah, ownerCityId, custCityId, "
                               "ownerDiscount, customerDiscount, ownerLastName) "
                               "values ('1403/01/05', '1', 1001, 1101, 1101, 0, 100.5, 'احمدي')"));
    conn().exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, shoomareh, Haghebongah, ownerCityId, custCityId) "
                               "values ('1403/01/06', '2', 300, 1101, 9999)"));
    ASSERT_TRUE(connect());
    dm.QTTMS->Open();
    ASSERT_EQ(dm.QTTMS->RecordCount(), 3);
    const struct {
        int side;
        double raw, after;
        const char* text;
    } expected[] = {
        {1, 500.5, 500.5, "حق بنگاه مالک"},
        {2, 500.5, 400.0, "حق نگاه خريدار/مستاجر"},
        {1, 150.0, 0.0, "حق بنگاه مالک"},   // no discount stored: the difference is null
    };
    for (const auto& e : expected) {
        EXPECT_EQ(dm.QTTMS->FieldByName(QStringLiteral("owner_cust"))->AsInteger(), e.side);
        EXPECT_DOUBLE_EQ(dm.QTTMS->FieldByName(QStringLiteral("haghebongah"))->AsFloat(), e.raw);
        EXPECT_DOUBLE_EQ(dm.QTTMS->FieldByName(QStringLiteral("afterDiscount"))->AsFloat(), e.after);
        EXPECT_EQ(dm.QTTMS->FieldByName(QStringLiteral("strOwner_Cust"))->AsString(), QString::fromUtf8(e.text));
        EXPECT_EQ(dm.QTTMS->FieldByName(QStringLiteral("proviceName"))->AsString(), QStringLiteral("تهران"));
        dm.QTTMS->Next();
    }
    dm.QTTMS->First();
    EXPECT_EQ(dm.QTTMS->FieldByName(QStringLiteral("haghebongah"))->DisplayLabel(), QStringLiteral("حق بنگاه خام"));
    EXPECT_EQ(dm.QTTMS->FieldByName(QStringLiteral("haghebongah"))->DisplayText(), QStringLiteral("500.5"));
    EXPECT_EQ(dm.QTTMS->FieldByName(QStringLiteral("ownerLastName"))->DisplayLabel(), QStringLiteral("نام خانوادگي"));
    EXPECT_EQ(dm.QTTMS->FieldByName(QStringLiteral("totalHagh"))->DisplayLabel(), QStringLiteral("مبلغ کل"));
}

DOVIN_INSTANTIATE_ENGINES(DataModuleTest);

// ---- creation from the program folder ----

class DataModuleCreateTest : public ::testing::Test {
protected:
    ProgramFolderScope folder;
    ScriptedPrompter prompter;
    TDm dm;
};

TEST_F(DataModuleCreateTest, FileDatabaseNeedsNoServerFile)
{
    folder.makeDatabases();
    ASSERT_TRUE(dm.DataModuleCreate(true));
    EXPECT_TRUE(dm.QMelk->Active());
    EXPECT_EQ(dm.Conn->engine(), db::Engine::SQLite);
}

TEST_F(DataModuleCreateTest, AMissingDatabaseOrServerFileEndsTheStartUpWithItsMessage)
{
    const struct {
        const char* missing;     // database file removed from the program folder
        bool isAccess;
        const char* srvpath;     // nullptr: no file
        const char* expected;
    } cases[] = {
        {"dbusers.mdb", true, nullptr, "dbusers.mdb"},
        {"mdbDovin.mdb", true, nullptr, "mdbDovin.mdb"},
        {"mdbDovin.mdb", false, nullptr, "srvpath.txt"},
        {"mdbDovin.mdb", false, "Data Source=127.0.0.1,1;Initial Catalog=DovinDB;User ID=x;Password=y;",
         "خطاي اتصال به پايگاه داده\r\n"},
    };
    for (const auto& c : cases) {
        ProgramFolderScope scope;
        ScriptedPrompter p;
        scope.makeDatabases();
        QFile::remove(scope.path(QString::fromLatin1(c.missing)));
        if (c.srvpath)
            scope.write(QStringLiteral("srvpath.txt"), c.srvpath);
        TDm m;
        EXPECT_FALSE(m.DataModuleCreate(c.isAccess)) << c.expected;
        ASSERT_EQ(p.calls.size(), 1) << c.expected;
        EXPECT_TRUE(p.calls[0].text.contains(QString::fromUtf8(c.expected))) << p.calls[0].text.toStdString();
        EXPECT_FALSE(m.QMelk->Active());
    }
}

// ---- the server database made when missing ----

TServerPath serverOfTestPg()
{
    TServerPath s;
    for (const QString& pair : qEnvironmentVariable("DOVIN_TEST_PG").split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString key = pair.section(QLatin1Char('='), 0, 0);
        const QString value = pair.section(QLatin1Char('='), 1);
        if (key == QLatin1String("host")) s.Host = value;
        else if (key == QLatin1String("port")) s.Port = value;
        else if (key == QLatin1String("user")) s.User = value;
        else if (key == QLatin1String("password")) s.Password = value;
    }
    return s;
}

TEST(AttachSqlDatabase, CreatesAMissingDatabaseOnceWithTheBaseTables)
{
    if (!testing_support::TestDb::pgConfigured())
        GTEST_SKIP() << "DOVIN_TEST_PG is not set";
    TServerPath server = serverOfTestPg();
    server.Database = QStringLiteral("Dovin_Attach_%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    QString error;
    ASSERT_TRUE(AttachSqlDatabase(server, &error)) << error.toStdString();
    {
        auto conn = db::Connection::openPostgres(server.conninfo());
        EXPECT_TRUE(conn->tableExists(QStringLiteral("T_Melk")));
        EXPECT_EQ(conn->scalar(QStringLiteral("select snum from t_snums where akey=1")).toString(), QStringLiteral("0"));
        EXPECT_EQ(conn->scalar(QStringLiteral("select datcollate from pg_database where datname=current_database()"))
                      .toString(),
                  QStringLiteral("C"));
        conn->exec(QStringLiteral("update t_snums set snum='5' where akey=1"));
    }
    // already there: left as it is
    ASSERT_TRUE(AttachSqlDatabase(server, &error)) << error.toStdString();
    {
        auto conn = db::Connection::openPostgres(server.conninfo());
        EXPECT_EQ(conn->scalar(QStringLiteral("select snum from t_snums where akey=1")).toString(), QStringLiteral("5"));
    }
    auto admin = db::Connection::openPostgres(server.conninfo(QStringLiteral("postgres")));
    admin->exec(QStringLiteral("DROP DATABASE \"%1\"").arg(server.Database));
}

} // namespace
