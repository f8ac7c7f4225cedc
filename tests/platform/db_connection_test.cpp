// Connections on both engines: literals, N prefixes, types, catalogue queries, errors.
#include "TestDb.h"

#include "platform/db/Catalog.h"
#include "platform/db/Sql.h"

#include <stdexcept>

using namespace db;
using testing_support::EngineTest;

namespace {

TableDef sampleTable()
{
    TableDef t;
    t.name = QStringLiteral("T_Sample");
    t.columns = {
        {QStringLiteral("SID"), ColumnKind::Counter},
        {QStringLiteral("Esm"), ColumnKind::Text, 10},
        {QStringLiteral("Amount"), ColumnKind::Money},
        {QStringLiteral("Flag"), ColumnKind::Boolean},
        {QStringLiteral("Dt"), ColumnKind::Text, 10},
    };
    return t;
}

} // namespace

TEST(Sql, QuotesDoubleInnerQuotes)
{
    EXPECT_EQ(Q(QStringLiteral("JOHN'S")), QStringLiteral("'JOHN''S'"));
    EXPECT_EQ(Q(QString()), QStringLiteral("''"));
    EXPECT_EQ(Q(QStringLiteral("حسن")), QStringLiteral("'حسن'"));
}

TEST(Sql, NationalPrefixRemovedOutsideLiteralsOnly)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"select * from t where a=N'x'", "select * from t where a='x'"},
        {"update t_snums set snum=N'12' where akey=1", "update t_snums set snum='12' where akey=1"},
        {"select 'HASAN'", "select 'HASAN'"},
        {"select 'JOHN''S' , N'a''N''b'", "select 'JOHN''S' , 'a''N''b'"},
        {"select NAME from t where x = N'N'", "select NAME from t where x = 'N'"},
        {"select colN'", "select colN'"},
        {"no quotes", "no quotes"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(stripNationalPrefix(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

class ConnectionTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        conn().exec(conn().dialect().createTable(sampleTable()));
    }
};

// A long statement calls the connection's ticker all along (a progress window keeps
// painting); what the ticker throws stops the statement, which then changes nothing.
TEST_P(ConnectionTest, ATickerRunsAlongAStatementAndWhatItThrowsStopsIt)
{
    conn().exec(QStringLiteral("create table t_tick (n integer)"));
    const QString fill = QStringLiteral("insert into t_tick (n) with recursive s(i) as (select 1 union all select i + 1 "
                                        "from s where i < 5000000) select i from s");
    int ticks = 0;
    conn().setTicker([&] {
        if (++ticks == 3)
            throw std::runtime_error("stopped");
    });
    EXPECT_THROW(conn().exec(fill), std::runtime_error);
    conn().setTicker({});
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_tick")).toInt(), 0);
    // the connection goes on, without the ticker
    EXPECT_EQ(conn().exec(QStringLiteral("insert into t_tick (n) values (1)")), 1);
    EXPECT_EQ(ticks, 3);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_tick")).toInt(), 1);
}

TEST_P(ConnectionTest, NationalLiteralsRunAndKeepLiteralText)
{
    conn().exec(QStringLiteral("insert into T_Sample (Esm) values (N'JOHN''S')"));
    conn().exec(QStringLiteral("insert into T_Sample (Esm) values ('HASAN')"));
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Sample where Esm=N'HASAN'")).toInt(), 1);
    EXPECT_EQ(conn().scalar(QStringLiteral("select Esm from T_Sample where Esm like N'JOHN%'")).toString(),
              QStringLiteral("JOHN'S"));
}

TEST_P(ConnectionTest, MoneyKeepsFractionsAndBooleansAreEngineValues)
{
    // 1001/2 must not become an integer division through the column's type
    conn().exec(QStringLiteral("insert into T_Sample (Amount, Flag) values (1001, ") + conn().dialect().truePrefix()
                + QStringLiteral("1)"));
    EXPECT_DOUBLE_EQ(conn().scalar(QStringLiteral("select Amount / 2 from T_Sample")).toDouble(), 500.5);
    const int stored = conn().scalar(QStringLiteral("select Flag from T_Sample")).toInt();
    EXPECT_EQ(stored, isFile() ? -1 : 1);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Sample where Flag<>0")).toInt(), 1);
    conn().exec(QStringLiteral("insert into T_Sample (Esm) values ('x')"));
    EXPECT_EQ(conn().scalar(QStringLiteral("select Flag from T_Sample where Esm='x'")).toInt(), 0);
}

TEST_P(ConnectionTest, DatesCompareBytewise)
{
    conn().exec(QStringLiteral("insert into T_Sample (Dt) values ('1403/01/01')"));
    conn().exec(QStringLiteral("insert into T_Sample (Dt) values ('1403/01')"));
    conn().exec(QStringLiteral("insert into T_Sample (Dt) values ('1402/12/29')"));
    EXPECT_EQ(conn().scalar(QStringLiteral("select min(Dt) from T_Sample where Dt > '1402/12/30'")).toString(),
              QStringLiteral("1403/01"));
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Sample where Dt between '1403/01/01' and '1403/01/31'"))
                  .toInt(), 1);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Sample where substr(Dt, 1, 7) = '1403/01'")).toInt(), 2);
}

TEST_P(ConnectionTest, CatalogueQueriesIgnoreCase)
{
    EXPECT_TRUE(conn().tableExists(QStringLiteral("t_sample")));
    EXPECT_TRUE(conn().tableExists(QStringLiteral("T_SAMPLE")));
    EXPECT_FALSE(conn().tableExists(QStringLiteral("T_None")));
    EXPECT_TRUE(conn().columnExists(QStringLiteral("T_Sample"), QStringLiteral("ESM")));
    EXPECT_FALSE(conn().columnExists(QStringLiteral("T_Sample"), QStringLiteral("Nothing")));
    conn().exec(conn().dialect().createIndex(QStringLiteral("T_Sample"), QStringLiteral("ix_dt"), QStringLiteral("Dt")));
    EXPECT_TRUE(conn().indexExists(QStringLiteral("T_Sample"), QStringLiteral("IX_DT")));
    conn().exec(QStringLiteral("create view V_S as select Esm from T_Sample"));
    EXPECT_TRUE(conn().viewExists(QStringLiteral("v_s")));
    const auto key = conn().keyOf(QStringLiteral("t_sample"));
    EXPECT_EQ(key.column.toLower(), QStringLiteral("sid"));
    EXPECT_TRUE(key.autoIncrement);
}

TEST_P(ConnectionTest, FailedStatementInsideTransactionDoesNotSpoilIt)
{
    conn().begin();
    conn().exec(QStringLiteral("insert into T_Sample (Esm) values ('a')"));
    QString err;
    EXPECT_FALSE(conn().tryExec(QStringLiteral("insert into T_Nothing values (1)"), &err));
    EXPECT_FALSE(err.isEmpty());
    conn().exec(QStringLiteral("insert into T_Sample (Esm) values ('b')"));
    conn().commit();
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Sample")).toInt(), 2);
}

TEST_P(ConnectionTest, TransactionHelperRollsBackOnError)
{
    EXPECT_THROW(inTransaction(conn(), [&] {
        conn().exec(QStringLiteral("insert into T_Sample (Esm) values ('a')"));
        conn().exec(QStringLiteral("insert into T_Nothing values (1)"));
    }), DbError);
    EXPECT_FALSE(conn().inTransaction());
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Sample")).toInt(), 0);
}

TEST_P(ConnectionTest, ParametersBindEveryType)
{
    conn().exec(QStringLiteral("insert into T_Sample (Esm, Amount, Flag) values ($1, $2, $3)"),
                {QStringLiteral("O'Brien"), 12.5, true});
    auto cur = conn().query(QStringLiteral("select Esm, Amount, Flag from T_Sample where Esm = $1"),
                            {QStringLiteral("O'Brien")});
    ASSERT_TRUE(cur->next());
    EXPECT_DOUBLE_EQ(cur->toDouble(1), 12.5);
    EXPECT_NE(cur->toInt64(2), 0);
    EXPECT_FALSE(cur->next());
}

TEST_P(ConnectionTest, PreExecuteHookSeesEveryStatement)
{
    QStringList seen;
    conn().setPreExecuteHook([&](QString& s) {
        seen << s;
        s.replace(QStringLiteral("T_Alias"), QStringLiteral("T_Sample"));
    });
    conn().exec(QStringLiteral("insert into T_Alias (Esm) values ('a')"));
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Alias")).toInt(), 1);
    EXPECT_EQ(seen.size(), 2);
}

TEST_P(ConnectionTest, ErrorsCarryTheStatement)
{
    try {
        conn().exec(QStringLiteral("select * from T_Missing"));
        FAIL() << "no error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.category(), ErrorCategory::Other);
        EXPECT_TRUE(e.message().contains(QStringLiteral("T_Missing"), Qt::CaseInsensitive));
    }
}

DOVIN_INSTANTIATE_ENGINES(ConnectionTest);

TEST(SqliteConnection, MissingFileIsAnErrorUnlessCreating)
{
    QTemporaryDir dir;
    EXPECT_THROW(Connection::openSqlite(dir.filePath(QStringLiteral("none.mdb"))), DbError);
    EXPECT_NO_THROW(Connection::openSqlite(dir.filePath(QStringLiteral("new.mdb")), true));
}

TEST(SqliteConnection, LockedFileGivesLocked)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("lock.mdb"));
    auto a = Connection::openSqlite(path, true);
    a->exec(QStringLiteral("create table t (x INTEGER)"));
    auto b = Connection::openSqlite(path, false, 50);
    a->begin();
    a->exec(QStringLiteral("insert into t values (1)"));
    try {
        b->exec(QStringLiteral("insert into t values (2)"));
        FAIL() << "no lock error";
    } catch (const DbError& e) {
        EXPECT_EQ(e.category(), ErrorCategory::Locked);
        EXPECT_TRUE(e.message().startsWith(lockedText()));
    }
    a->rollback();
    EXPECT_NO_THROW(b->exec(QStringLiteral("insert into t values (2)")));
}
