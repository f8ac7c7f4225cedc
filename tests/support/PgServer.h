#pragma once
// A PostgreSQL server of a test's own, in a temporary folder on a free loopback port, for
// tests that stop and start the server under open connections (the shared test server
// stays up for everyone else). Runs the cluster as the postgres user when the tests run as
// root, as the CI script does.

#include "TestDb.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <string>

namespace testing_support {

class PgServer {
public:
    // Makes and starts the cluster; throws std::runtime_error when it cannot.
    PgServer();
    // For a test suite: a started server where PostgreSQL tests run (DOVIN_TEST_PG is set),
    // else null; null with the reason in error when it cannot start.
    static PgServer* startForTests(std::string* error);
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // A fast stop ends every session, as a restart of the server does.
    void stop();
    void start();
    bool running() const { return running_; }
    QString conninfo(const QString& database = QStringLiteral("postgres")) const;

private:
    void run(const QString& program, const QStringList& args) const;

    QTemporaryDir dir_;
    QString bin_;
    int port_ = 0;
    bool running_ = false;
};

// A suite of engine tests whose PostgreSQL databases live on a server of the suite's own,
// started for the suite and started again before each test that left it stopped.
template <class Base>
class OnOwnServer : public Base {
protected:
    static void SetUpTestSuite() { server = PgServer::startForTests(&serverError); }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    QString pgServer() const override { return server ? server->conninfo() : QString(); }
    void SetUp() override
    {
        if (TestDb::pgConfigured()) {
            ASSERT_TRUE(server) << serverError;
            if (!server->running())
                server->start();
        }
        Base::SetUp();
    }

    static inline PgServer* server = nullptr;
    static inline std::string serverError;
};

} // namespace testing_support
