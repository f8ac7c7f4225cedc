#include "TestDb.h"

#include <QRandomGenerator>

namespace testing_support {

bool TestDb::pgConfigured() { return !qEnvironmentVariableIsEmpty("DOVIN_TEST_PG"); }

TestDb::TestDb(db::Engine engine, const QString& pgServer) : engine_(engine)
{
    if (engine == db::Engine::SQLite) {
        location_ = tmp_.filePath(QStringLiteral("test.db"));
        conn_ = db::Connection::openSqlite(location_, true);
        return;
    }
    server_ = pgServer.isEmpty() ? qEnvironmentVariable("DOVIN_TEST_PG") : pgServer;
    const QString& base = server_;
    schema_ = QStringLiteral("t_%1").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0'));
    {
        auto admin = db::Connection::openPostgres(base);
        admin->exec(QStringLiteral("CREATE SCHEMA %1").arg(schema_));
    }
    location_ = base + QStringLiteral(" options='-c search_path=%1'").arg(schema_);
    conn_ = db::Connection::openPostgres(location_);
}

TestDb::~TestDb()
{
    conn_.reset();
    if (!schema_.isEmpty()) {
        try {
            auto admin = db::Connection::openPostgres(server_);
            admin->exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(schema_));
        } catch (...) {
        }
    }
}

std::unique_ptr<db::Connection> TestDb::open() const
{
    return engine_ == db::Engine::SQLite ? db::Connection::openSqlite(location_)
                                         : db::Connection::openPostgres(location_);
}

void EngineTest::SetUp()
{
    if (GetParam() == db::Engine::PostgreSQL && !TestDb::pgConfigured())
        GTEST_SKIP() << "DOVIN_TEST_PG is not set";
    db_ = std::make_unique<TestDb>(GetParam(), pgServer());
}

std::string engineName(const ::testing::TestParamInfo<db::Engine>& info)
{
    return info.param == db::Engine::SQLite ? "SQLite" : "PostgreSQL";
}

} // namespace testing_support
