// The link to the database server: a server that restarted is reached again by the next
// statement, a server that is away gives one Persian error per action without the SQL,
// a transaction lost with the link fails whole, and a write cut off while it ran is never
// run twice. Runs on a server of the test's own, which it stops and starts.
#include "PgServer.h"
#include "ScriptedPrompter.h"
#include "TestDb.h"

#include "platform/db/DataSet.h"

#include <QCoreApplication>
#include <QThread>
#include <optional>
#include <thread>

using namespace db;
using testing_support::PgServer;
using testing_support::ScriptedPrompter;
using testing_support::TestDb;

namespace {

class ServerLinkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = PgServer::startForTests(&serverError); }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }

    void SetUp() override
    {
        if (!TestDb::pgConfigured())
            GTEST_SKIP() << "DOVIN_TEST_PG is not set";
        ASSERT_TRUE(server) << serverError;
        if (!server->running())
            server->start();
        conn = Connection::openPostgres(server->conninfo());
        conn->exec(QStringLiteral("drop table if exists t_link"));
        conn->exec(QStringLiteral("create table t_link (id integer primary key, v integer)"));
        beginAction();
    }

    void restart()
    {
        server->stop();
        server->start();
    }
    // What the database holds, seen from a fresh session.
    int rows(const QString& where = QStringLiteral("true"))
    {
        auto other = Connection::openPostgres(server->conninfo());
        return other->scalar(QStringLiteral("select count(*) from t_link where ") + where).toInt();
    }
    // Runs fn and gives the error it throws.
    template <typename Fn>
    static std::optional<DbError> errorOf(Fn fn)
    {
        try {
            fn();
        } catch (const DbError& e) {
            return e;
        }
        return std::nullopt;
    }

    static PgServer* server;
    static std::string serverError;
    std::unique_ptr<Connection> conn;
    ScriptedPrompter prompter;
};

PgServer* ServerLinkTest::server = nullptr;
std::string ServerLinkTest::serverError;

} // namespace

TEST_F(ServerLinkTest, RestartedServerIsReachedByTheNextStatement)
{
    conn->exec(QStringLiteral("insert into t_link values (1, 1)"));
    restart();
    beginAction();
    EXPECT_EQ(conn->scalar(QStringLiteral("select count(*) from t_link")).toInt(), 1);

    // the session's end is seen before a write is sent: the write runs once, on the new session
    restart();
    beginAction();
    EXPECT_EQ(conn->exec(QStringLiteral("insert into t_link values (2, 1)")), 1);
    EXPECT_EQ(rows(), 2);
    // the session is set up again (the lock wait limit comes back)
    EXPECT_EQ(conn->scalar(QStringLiteral("show lock_timeout")).toString(), QStringLiteral("3s"));
    EXPECT_TRUE(prompter.messages().isEmpty());
}

TEST_F(ServerLinkTest, ServerAwayGivesOnePersianErrorPerAction)
{
    server->stop();
    beginAction();
    const QString insert = QStringLiteral("insert into t_link values (3, 3)");
    const auto lost = errorOf([&] { conn->exec(insert); });
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->category(), ErrorCategory::ConnectionLost);
    const QStringList lines = lost->message().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 2) << lost->message().toStdString();
    EXPECT_EQ(lines[0], connectionLostText());
    EXPECT_TRUE(lines[1].contains(QStringLiteral("127.0.0.1"))) << lines[1].toStdString();
    // the statement is for the log only
    EXPECT_FALSE(lost->message().contains(QStringLiteral("t_link")));
    EXPECT_EQ(lost->statement(), insert);
    EXPECT_EQ(textToShow(*lost), lost->message());
    EXPECT_TRUE(textToShow(*lost).isEmpty()) << "shown twice";
    ASSERT_EQ(prompter.progressTitles.size(), 1) << "the server was not looked for under the hourglass";

    // the rest of the action neither looks again nor shows anything more
    const auto again = errorOf([&] { conn->scalar(QStringLiteral("select 1")); });
    ASSERT_TRUE(again);
    EXPECT_EQ(again->category(), ErrorCategory::ConnectionLost);
    EXPECT_TRUE(textToShow(*again).isEmpty());
    const auto other = errorOf([] { throw DbError(ErrorCategory::Other, QStringLiteral("ليست باز نيست")); });
    EXPECT_TRUE(textToShow(*other).isEmpty()) << "a follow-up error of the same action was shown";
    EXPECT_EQ(prompter.progressTitles.size(), 1);

    // the next action looks again and reports again
    beginAction();
    const auto next = errorOf([&] { conn->scalar(QStringLiteral("select 1")); });
    ASSERT_TRUE(next);
    EXPECT_EQ(textToShow(*next), next->message());
    EXPECT_EQ(prompter.progressTitles.size(), 2);

    server->start();
    beginAction();
    EXPECT_EQ(conn->exec(insert), 1);
    EXPECT_EQ(rows(), 1);
}

TEST_F(ServerLinkTest, TransactionLostWithTheLinkFailsWhole)
{
    conn->begin();
    conn->exec(QStringLiteral("insert into t_link values (1, 1)"));
    restart();
    beginAction();
    const auto lost = errorOf([&] { conn->exec(QStringLiteral("insert into t_link values (2, 2)")); });
    ASSERT_TRUE(lost);
    EXPECT_EQ(lost->category(), ErrorCategory::ConnectionLost);
    // nothing of the transaction runs on a new session, until it is rolled back
    EXPECT_TRUE(conn->inTransaction());
    EXPECT_THROW(conn->exec(QStringLiteral("insert into t_link values (3, 3)")), DbError);
    conn->rollback();
    EXPECT_FALSE(conn->inTransaction());
    EXPECT_EQ(rows(), 0);

    // the whole save again, on the new session
    inTransaction(*conn, [&] {
        conn->exec(QStringLiteral("insert into t_link values (1, 1)"));
        conn->exec(QStringLiteral("insert into t_link values (2, 2)"));
    });
    EXPECT_EQ(rows(), 2);

    // a commit whose transaction went with the link is a failure, not a success
    conn->begin();
    conn->exec(QStringLiteral("insert into t_link values (3, 3)"));
    restart();
    beginAction();
    const auto commit = errorOf([&] { conn->commit(); });
    ASSERT_TRUE(commit);
    EXPECT_EQ(commit->category(), ErrorCategory::ConnectionLost);
    EXPECT_FALSE(conn->inTransaction());
    EXPECT_EQ(rows(), 2);
}

// A statement that waits for a lock another session holds is cut off by ending its session;
// then the lock is let go.
TEST_F(ServerLinkTest, StatementCutOffWhileRunning)
{
    conn->exec(QStringLiteral("insert into t_link values (1, 1)"));
    const struct {
        const char* sql;
        bool read;
    } cases[] = {
        {"update t_link set v = v + 1 where id = 1", false},
        {"select v from t_link where id = 1 for update", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sql);
        auto holder = Connection::openPostgres(server->conninfo());
        holder->begin();
        holder->exec(QStringLiteral("update t_link set v = 9 where id = 1"));
        std::thread cutter([&] {
            auto watcher = Connection::openPostgres(server->conninfo());
            const QString waiting = QStringLiteral(
                "select pid from pg_stat_activity where wait_event_type = 'Lock' and datname = current_database()");
            for (int i = 0; i < 1000; ++i) {
                const QVariant pid = watcher->scalar(waiting);
                if (pid.isValid()) {
                    watcher->exec(QStringLiteral("select pg_terminate_backend($1)"), {pid});
                    break;
                }
                QThread::msleep(5);
            }
            holder->rollback();
        });
        beginAction();
        std::optional<DbError> error;
        QVariant read;
        try {
            read = conn->scalar(QString::fromLatin1(c.sql));
        } catch (const DbError& e) {
            error = e;
        }
        cutter.join();
        if (c.read) {
            // a read changes nothing: run again on a new session
            EXPECT_FALSE(error) << error->message().toStdString();
            EXPECT_EQ(read.toInt(), 1);
        } else {
            // a write may have happened when the link went: never run a second time
            ASSERT_TRUE(error);
            EXPECT_EQ(error->category(), ErrorCategory::ConnectionLost);
        }
        beginAction();
        EXPECT_EQ(conn->scalar(QStringLiteral("select v from t_link where id = 1")).toInt(), 1);
    }
}

// The server restarts while a list's rest is still being read (in the key's order, or behind
// first rows the engine sorted) and a record of it is being typed: the read is asked for anew
// past its last row, the typed values stay and can be saved, and the list ends whole, each
// row once, in its order. A server that does not come back gives one
// message, and the typed values still stay.
TEST_F(ServerLinkTest, ARestartDuringABackgroundReadKeepsTheEditAndTheListWhole)
{
    constexpr int kRows = 30000;   // more than the first rows and the batch asked for with them
    conn->exec(QStringLiteral("drop table if exists t_read"));
    conn->exec(QStringLiteral("create table t_read (id integer primary key, name varchar(40), n integer)"));
    conn->exec(QStringLiteral("insert into t_read select i, 'r' || i, i from generate_series(1, %1) i").arg(kRows));
    const auto idle = [&](DataSet& ds) {
        for (int i = 0; i < 20000 && ds.Active() && !ds.AllRowsRead() && prompter.calls.isEmpty(); ++i)
            QCoreApplication::processEvents();
    };
    const QString typed = QStringLiteral("تایپ شده");
    const struct {
        bool comesBack;
        const char* sort;
    } cases[] = {{true, ""}, {true, "n DESC"}, {false, ""}};
    for (const auto& c : cases) {
        const bool comesBack = c.comesBack;
        SCOPED_TRACE(comesBack ? "restarted" : "stopped");
        SCOPED_TRACE(c.sort);
        if (!server->running())
            server->start();
        beginAction();
        DataSet ds(conn.get());
        ds.setSQL(QStringLiteral("select * from t_read order by id"));
        ds.Open();
        const bool sorted = *c.sort != 0;
        if (sorted) {
            ds.Close();
            ds.setSort(QString::fromLatin1(c.sort));
            ds.Open();
        }
        ASSERT_FALSE(ds.AllRowsRead());
        const QVariant current = ds.GetBookmark();
        ds.Edit();
        ds.FieldByName(QStringLiteral("name"))->SetAsString(typed);
        if (comesBack)
            restart();
        else
            server->stop();
        idle(ds);
        // the record is still being typed, with what was typed
        ASSERT_TRUE(ds.Active());
        EXPECT_EQ(ds.State(), DataSetState::Edit);
        EXPECT_EQ(ds.FieldByName(QStringLiteral("name"))->AsString(), typed);
        if (!comesBack) {
            ASSERT_EQ(prompter.messages().size(), 1);
            EXPECT_FALSE(ds.AllRowsRead());
            EXPECT_THROW(ds.RecordCount(), DbError);
            QCoreApplication::processEvents();
            EXPECT_EQ(prompter.messages().size(), 1);
            break;
        }
        EXPECT_TRUE(prompter.messages().isEmpty()) << prompter.messages().join(QLatin1Char('\n')).toStdString();
        ASSERT_TRUE(ds.AllRowsRead());
        ASSERT_EQ(ds.RecordCount(), kRows);
        const int n = ds.FieldByName(QStringLiteral("n"))->Index();
        for (int row = 0; row < kRows; ++row)
            ASSERT_EQ(ds.ValueAt(row, n).toInt(), sorted ? kRows - row : row + 1) << "row " << row;
        EXPECT_EQ(ds.GetBookmark(), current);
        beginAction();
        ds.Post();
        auto other = Connection::openPostgres(server->conninfo());
        EXPECT_EQ(other->scalar(QStringLiteral("select name from t_read where id = %1").arg(current.toInt())).toString(),
                  typed);
    }
}
