// Document counters on both engines: the next number, claims, text counters,
// write-back of typed numbers, claims from two connections at once, the claim
// undone with a failed post, and a lock that outlasts the retries.
#include "ScriptedPrompter.h"
#include "TestDb.h"

#include "core/Counters.h"
#include "core/Schema.h"
#include "core/TDm.h"
#include "platform/db/DataSet.h"

#include <QSet>
#include <thread>

using testing_support::EngineTest;

namespace {

TEST(CounterText, NextNumberOfDigitsOtherTextUnchanged)
{
    const struct {
        const char* stored;
        const char* next;
    } cases[] = {
        {"124", "125"}, {"0", "1"}, {"9", "10"}, {"0099", "100"}, {"999999999999999999999", "1000000000000000000000"},
        {"", ""}, {"A-17", "A-17"}, {"12a", "12a"}, {" 12", " 12"}, {"۱۲", "۱۲"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NextCounterText(QString::fromUtf8(c.stored)), QString::fromUtf8(c.next)) << c.stored;
}

class CountersTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        conn().setCatalog(&SchemaCatalog());
        CreateBaseSchema(conn(), TSchemaDb::Agency);
    }
    std::unique_ptr<db::DataSet> qnums(db::Connection& c)
    {
        auto ds = std::make_unique<db::DataSet>(&c);
        ds->setSQL(QStringLiteral("select * from t_snums where akey=1"));
        return ds;
    }
    void store(const char* column, const QString& value)
    {
        conn().exec(QStringLiteral("update t_snums set %1 = $1 where akey=1").arg(QLatin1String(column)), {value});
    }
    QString stored(const char* column)
    {
        return conn().scalar(QStringLiteral("select %1 from t_snums where akey=1").arg(QLatin1String(column))).toString();
    }
};

TEST_P(CountersTest, NextNumberShowsWithoutClaimingAndIncrementClaims)
{
    store("snum", QStringLiteral("124"));
    auto q = qnums(conn());
    EXPECT_EQ(NextNumber(*q, QStringLiteral("snum")), QStringLiteral("125"));
    EXPECT_EQ(stored("snum"), QStringLiteral("124"));
    EXPECT_EQ(IncrementCounter(*q, QStringLiteral("snum")), QStringLiteral("125"));
    EXPECT_EQ(stored("snum"), QStringLiteral("125"));
    EXPECT_EQ(stored("hnum"), QStringLiteral("0"));
    EXPECT_EQ(IncrementCounter(*q, QStringLiteral("hnum")), QStringLiteral("1"));
    EXPECT_EQ(stored("hnum"), QStringLiteral("1"));
}

TEST_P(CountersTest, TextCountersAndAMissingRowAreHandedOutUnchanged)
{
    auto q = qnums(conn());
    for (const QString& text : {QStringLiteral("A-17"), QString()}) {
        store("hnum", text);
        EXPECT_EQ(NextNumber(*q, QStringLiteral("hnum")), text);
        EXPECT_EQ(IncrementCounter(*q, QStringLiteral("hnum")), text);
        EXPECT_EQ(stored("hnum"), text);
    }
    conn().exec(QStringLiteral("delete from t_snums"));
    EXPECT_EQ(NextNumber(*q, QStringLiteral("snum")), QString());
    EXPECT_EQ(IncrementCounter(*q, QStringLiteral("snum")), QString());
}

TEST_P(CountersTest, TypedNumbersAreWrittenBackOnlyWhenAllDigits)
{
    EXPECT_TRUE(WriteBackCounter(conn(), QStringLiteral("snum"), QStringLiteral("500")));
    EXPECT_EQ(stored("snum"), QStringLiteral("500"));
    for (const char* typed : {"A-17", "12'; delete from t_snums; --", "", "5 0"})
        EXPECT_FALSE(WriteBackCounter(conn(), QStringLiteral("snum"), QString::fromUtf8(typed))) << typed;
    EXPECT_EQ(stored("snum"), QStringLiteral("500"));
    EXPECT_THROW(WriteBackCounter(conn(), QStringLiteral("akey"), QStringLiteral("7")), db::DbError);
}

TEST_P(CountersTest, ATypedNumberMovesTheCounterForwardNeverBack)
{
    const struct {
        const char* stored;
        const char* typed;
        const char* after;
    } cases[] = {
        {"3002", "2990", "3002"}, {"3002", "3002", "3002"}, {"3002", "3003", "3003"},
        {"99", "100", "100"},     {"0100", "99", "0100"},   {"100", "0101", "0101"},
        {"A-17", "5", "5"},       {"", "7", "7"},
    };
    for (const auto& c : cases) {
        store("snum", QString::fromUtf8(c.stored));
        WriteBackCounter(conn(), QStringLiteral("snum"), QString::fromUtf8(c.typed));
        EXPECT_EQ(stored("snum"), QString::fromUtf8(c.after)) << c.stored << " typed " << c.typed;
    }
    EXPECT_TRUE(CounterNumberAbove(QStringLiteral("1000"), QStringLiteral("999")));
    EXPECT_FALSE(CounterNumberAbove(QStringLiteral("0999"), QStringLiteral("999")));
}

TEST_P(CountersTest, ClaimsFromTwoConnectionsAtOnceNeverGiveTheSameNumber)
{
    constexpr int kEach = 25;
    QStringList got[2];
    QString failure[2];
    auto work = [&](int k) {
        try {
            auto c = testDb().open();
            auto q = qnums(*c);
            for (int i = 0; i < kEach; ++i)
                got[k] << IncrementCounter(*q, QStringLiteral("snum"), 20000);
        } catch (const db::DbError& e) {
            failure[k] = e.message();
        }
    };
    std::thread a(work, 0), b(work, 1);
    a.join();
    b.join();
    ASSERT_TRUE(failure[0].isEmpty()) << failure[0].toStdString();
    ASSERT_TRUE(failure[1].isEmpty()) << failure[1].toStdString();
    QSet<QString> all;
    for (const auto& list : got)
        for (const QString& n : list)
            all.insert(n);
    EXPECT_EQ(all.size(), 2 * kEach);
    EXPECT_EQ(stored("snum"), QString::number(2 * kEach));
}

TEST_P(CountersTest, AClaimIsUndoneWithThePostThatFailed)
{
    testing_support::ScriptedPrompter prompter;
    TDm dm;
    auto users = db::Connection::openSqlite(testDb().dir() + QStringLiteral("/users.db"), true);
    CreateBaseSchema(*users, TSchemaDb::Users);
    ASSERT_TRUE(dm.Connect(testDb().open(), std::move(users)));
    store("hnum", QStringLiteral("41"));

    dm.QHazineh->BeforePost = [&](db::DataSet& ds) {
        ds.FieldByName(QStringLiteral("shoomareh"))->SetAsString(dm.IncrementCounter(QStringLiteral("hnum")));
    };
    // a row the table refuses after the number was claimed
    conn().exec(QStringLiteral("create unique index t_hazineh_hname on t_hazineh (Hname)"));
    conn().exec(QStringLiteral("insert into t_hazineh (Hname) values ($1)"), {QStringLiteral("آب")});
    dm.QHazineh->Close();
    dm.QHazineh->Open();
    dm.QHazineh->Append();
    dm.QHazineh->FieldByName(QStringLiteral("Hname"))->SetAsString(QStringLiteral("آب"));
    EXPECT_THROW(dm.PostInTransaction(*dm.QHazineh), db::DbError);
    EXPECT_EQ(stored("hnum"), QStringLiteral("41"));
    EXPECT_EQ(dm.QHazineh->State(), db::DataSetState::Insert);
    EXPECT_FALSE(dm.Conn->inTransaction());

    dm.QHazineh->FieldByName(QStringLiteral("Hname"))->SetAsString(QStringLiteral("برق"));
    dm.PostInTransaction(*dm.QHazineh);
    EXPECT_EQ(stored("hnum"), QStringLiteral("42"));
    EXPECT_EQ(conn().scalar(QStringLiteral("select shoomareh from t_hazineh where Hname=$1"), {QStringLiteral("برق")})
                  .toString(),
              QStringLiteral("42"));
}

TEST_P(CountersTest, ALockThatOutlastsTheRetriesIsReportedAndThrown)
{
    testing_support::ScriptedPrompter prompter;
    TDm dm;
    auto users = db::Connection::openSqlite(testDb().dir() + QStringLiteral("/users.db"), true);
    CreateBaseSchema(*users, TSchemaDb::Users);
    ASSERT_TRUE(dm.Connect(testDb().open(), std::move(users)));

    auto other = testDb().open();
    other->begin();
    other->exec(QStringLiteral("update t_snums set snum = '7' where akey=1"));
    EXPECT_THROW(dm.IncrementCounter(QStringLiteral("snum")), db::DbError);
    other->rollback();
    ASSERT_FALSE(prompter.calls.isEmpty());
    EXPECT_TRUE(prompter.calls.last().text.startsWith(QStringLiteral("خطايي در روند برنامه پيش آمد\n")));
    EXPECT_EQ(stored("snum"), QStringLiteral("0"));
    EXPECT_EQ(dm.IncrementCounter(QStringLiteral("snum")), QStringLiteral("1"));
}

DOVIN_INSTANTIATE_ENGINES(CountersTest);

} // namespace
