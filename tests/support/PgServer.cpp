#include "PgServer.h"

#include <QDir>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QVersionNumber>
#include <stdexcept>
#include <unistd.h>

namespace testing_support {

namespace {

QString newestPostgresBin()
{
    const QDir root(QStringLiteral("/usr/lib/postgresql"));
    QString best;
    QVersionNumber bestVersion;
    for (const QString& v : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QVersionNumber n = QVersionNumber::fromString(v);
        if (QFileInfo::exists(root.filePath(v + QStringLiteral("/bin/pg_ctl"))) && n > bestVersion) {
            bestVersion = n;
            best = root.filePath(v + QStringLiteral("/bin"));
        }
    }
    return best;
}

int freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("no free port");
    return probe.serverPort();
}

} // namespace

PgServer::PgServer() : bin_(newestPostgresBin()), port_(freePort())
{
    if (bin_.isEmpty())
        throw std::runtime_error("PostgreSQL programs not found under /usr/lib/postgresql");
    if (!dir_.isValid())
        throw std::runtime_error("no temporary folder");
    if (geteuid() == 0)
        run(QStringLiteral("chown"), {QStringLiteral("postgres"), dir_.path()});
    run(bin_ + QStringLiteral("/initdb"), {QStringLiteral("-D"), dir_.filePath(QStringLiteral("data")), QStringLiteral("-A"),
                                           QStringLiteral("trust"), QStringLiteral("-U"), QStringLiteral("postgres"),
                                           QStringLiteral("-E"), QStringLiteral("UTF8"), QStringLiteral("--locale=C")});
    start();
}

PgServer* PgServer::startForTests(std::string* error)
{
    if (qEnvironmentVariableIsEmpty("DOVIN_TEST_PG"))
        return nullptr;
    try {
        return new PgServer;
    } catch (const std::exception& e) {
        *error = e.what();
    }
    return nullptr;
}

PgServer::~PgServer()
{
    try {
        if (running_)
            run(bin_ + QStringLiteral("/pg_ctl"), {QStringLiteral("-D"), dir_.filePath(QStringLiteral("data")),
                                                   QStringLiteral("-m"), QStringLiteral("immediate"), QStringLiteral("stop")});
    } catch (...) {
    }
}

void PgServer::start()
{
    const QString options = QStringLiteral("-p %1 -k %2 -c listen_addresses=127.0.0.1 -c fsync=off").arg(port_).arg(dir_.path());
    run(bin_ + QStringLiteral("/pg_ctl"), {QStringLiteral("-D"), dir_.filePath(QStringLiteral("data")), QStringLiteral("-w"),
                                           QStringLiteral("-l"), dir_.filePath(QStringLiteral("log")), QStringLiteral("-o"),
                                           options, QStringLiteral("start")});
    running_ = true;
}

void PgServer::stop()
{
    run(bin_ + QStringLiteral("/pg_ctl"), {QStringLiteral("-D"), dir_.filePath(QStringLiteral("data")), QStringLiteral("-w"),
                                           QStringLiteral("-m"), QStringLiteral("fast"), QStringLiteral("stop")});
    running_ = false;
}

QString PgServer::conninfo(const QString& database) const
{
    return QStringLiteral("host=127.0.0.1 port=%1 user=postgres dbname=%2").arg(port_).arg(database);
}

void PgServer::run(const QString& program, const QStringList& args) const
{
    QProcess p;
    if (geteuid() == 0 && program != QLatin1String("chown"))
        p.start(QStringLiteral("runuser"), QStringList{QStringLiteral("-u"), QStringLiteral("postgres"), QStringLiteral("--"), program} + args);
    else
        p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error(QStringLiteral("%1 failed: %2").arg(program, QString::fromLocal8Bit(p.readAllStandardError()))
                                     .toStdString());
}

} // namespace testing_support
