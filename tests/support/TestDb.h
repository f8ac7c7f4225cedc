#pragma once
// Fresh, empty databases for tests on both engines. PostgreSQL runs when DOVIN_TEST_PG
// holds a libpq connection string; each test then gets a schema of its own.

#include "platform/db/Connection.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace testing_support {

class TestDb {
public:
    // pgServer: the libpq connection string of the server to use instead of DOVIN_TEST_PG.
    explicit TestDb(db::Engine engine, const QString& pgServer = {});
    ~TestDb();
    db::Engine engine() const { return engine_; }
    db::Connection& conn() { return *conn_; }
    // Another connection to the same database.
    std::unique_ptr<db::Connection> open() const;
    // For SQLite: the database file; for PostgreSQL: the connection string of the schema.
    QString location() const { return location_; }
    QString dir() const { return tmp_.path(); }

    static bool pgConfigured();

private:
    db::Engine engine_;
    QTemporaryDir tmp_;
    QString location_;
    QString server_;
    QString schema_;
    std::unique_ptr<db::Connection> conn_;
};

// Base of tests that run once per engine.
class EngineTest : public ::testing::TestWithParam<db::Engine> {
protected:
    void SetUp() override;
    void TearDown() override { db_.reset(); }
    // The server the PostgreSQL databases are made on; DOVIN_TEST_PG's when empty.
    virtual QString pgServer() const { return {}; }
    db::Connection& conn() { return db_->conn(); }
    TestDb& testDb() { return *db_; }
    bool isFile() const { return GetParam() == db::Engine::SQLite; }

private:
    std::unique_ptr<TestDb> db_;
};

std::string engineName(const ::testing::TestParamInfo<db::Engine>& info);

} // namespace testing_support

#define DOVIN_INSTANTIATE_ENGINES(Suite)                                                                      \
    INSTANTIATE_TEST_SUITE_P(Engines, Suite,                                                                 \
                             ::testing::Values(db::Engine::SQLite, db::Engine::PostgreSQL),                  \
                             testing_support::engineName)
