// Small statements, the kind a save or a counter claim runs: reads and updates of one row by
// key, in one transaction, through Connection (pre-execute hook, N removal, the link check before each statement)
// against the same statements through the raw engine API, in the same process. PostgreSQL
// runs when DOVIN_TEST_PG names a server.
#include "platform/db/Connection.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <libpq-fe.h>
#include <sqlite3.h>

using namespace db;

namespace {

const int kStatements = 20000;
const int kRows = 100;

const char* const kRead = "select v from t_bench where id = $1";
const char* const kWrite = "update t_bench set v = v + 1 where id = $1";

void fill(Connection& c)
{
    c.exec(QStringLiteral("drop table if exists t_bench"));
    c.exec(QStringLiteral("create table t_bench (id integer primary key, v integer)"));
    inTransaction(c, [&] {
        for (int i = 0; i < kRows; ++i)
            c.exec(QStringLiteral("insert into t_bench values ($1, 0)"), {i});
    });
}

double ours(Connection& c, const char* sql)
{
    const QString text = QString::fromLatin1(sql);
    return bench::best(3, [&] {
        inTransaction(c, [&] {
            for (int i = 0; i < kStatements; ++i) {
                if (sql == kRead)
                    c.scalar(text, {i % kRows});
                else
                    c.exec(text, {i % kRows});
            }
        });
    });
}

double rawSqlite(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_busy_timeout(db, 3000);
    const QByteArray text = QByteArray(sql).replace("$1", "?1");
    const double ms = bench::best(3, [&] {
        sqlite3_exec(db, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
        for (int i = 0; i < kStatements; ++i) {
            sqlite3_stmt* st = nullptr;
            sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st, nullptr);
            sqlite3_bind_int64(st, 1, i % kRows);
            while (sqlite3_step(st) == SQLITE_ROW) {
            }
            sqlite3_finalize(st);
        }
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    });
    sqlite3_close(db);
    return ms;
}

double rawPostgres(const QString& conninfo, const char* sql)
{
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    const double ms = bench::best(3, [&] {
        PQclear(PQexec(c, "BEGIN"));
        for (int i = 0; i < kStatements; ++i) {
            const QByteArray key = QByteArray::number(i % kRows);
            const char* values[] = {key.constData()};
            PQclear(PQexecParams(c, sql, 1, nullptr, values, nullptr, nullptr, 0));
        }
        PQclear(PQexec(c, "COMMIT"));
    });
    PQfinish(c);
    return ms;
}

void printFigures(const char* engine, double rawRead, double oursRead, double rawWrite, double oursWrite)
{
    std::printf("%s, %d statements (best of 3): reads by key raw %.0f ms, Connection %.0f ms, ratio %.2f; "
                "updates by key raw %.0f ms, Connection %.0f ms, ratio %.2f\n",
                engine, kStatements, rawRead, oursRead, oursRead / rawRead, rawWrite, oursWrite, oursWrite / rawWrite);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.mdb"));
    {
        auto conn = Connection::openSqlite(path, true);
        fill(*conn);
        const double oursRead = ours(*conn, kRead);
        const double oursWrite = ours(*conn, kWrite);
        conn.reset();
        printFigures("SQLite", rawSqlite(path, kRead), oursRead, rawSqlite(path, kWrite), oursWrite);
    }
    if (!qEnvironmentVariableIsEmpty("DOVIN_TEST_PG")) {
        const QString conninfo = qEnvironmentVariable("DOVIN_TEST_PG");
        auto conn = Connection::openPostgres(conninfo);
        fill(*conn);
        const double oursRead = ours(*conn, kRead);
        const double oursWrite = ours(*conn, kWrite);
        printFigures("PostgreSQL", rawPostgres(conninfo, kRead), oursRead, rawPostgres(conninfo, kWrite), oursWrite);
        conn->exec(QStringLiteral("drop table t_bench"));
    }
    return 0;
}
