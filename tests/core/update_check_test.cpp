// The update check against a local web server on loopback: replies, errors and a time out.
#include "ScriptedPrompter.h"
#include "settings_fixture.h"

#include "app/TLastVer.h"
#include "core/ProgramIni.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

using testing_support::ScriptedPrompter;

namespace {

// Answers every request with one status and body, or not at all (silent).
class TestServer : public QObject {
public:
    TestServer()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, this, [this, s] {
                    request += s->readAll();
                    if (!request.contains("\r\n\r\n") || silent)
                        return;
                    s->write("HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: "
                             + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
            }
        });
    }
    QUrl url(const QString& path = QStringLiteral("/dovin/")) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path));
    }
    // The request line: "GET /path?query HTTP/1.1".
    QByteArray requestLine() const { return request.left(request.indexOf("\r\n")); }

    QTcpServer server;
    QByteArray status = "200 OK";
    QByteArray body;
    QByteArray request;
    bool silent = false;
};

// Runs the event loop until the check has finished; the time it took.
qint64 runUntilFinished(TLastVer& check, int limitMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QObject::connect(&check, &TLastVer::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    check.Start();
    loop.exec();
    return clock.elapsed();
}

TEST(UpdateCheck, VersionKeyOfAReply)
{
    const struct {
        QByteArray reply;
        qint64 key;
    } cases[] = {
        {"9.45", 94500}, {" 9.46\r\n", 94600}, {"10", 100000}, {"9.455", 94550}, {"9.44999", 94500},
        {"abc", 0},      {"", 0},              {"9,46", 9460000}, {"1e300", 0},   {"-1", -10000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TLastVer::VersionKeyOf(c.reply), c.key) << c.reply.toStdString();
}

TEST(UpdateCheck, RepliesOfTheServer)
{
    const QString question = QStringLiteral("نسخه جديدتر نرم افزار برروي اينترنت قرار دارد\r\n"
                                            "آيا مايل به دريافت اين نسخه مي باشيد؟\r\nنسخه: ");
    const struct {
        QByteArray status;
        QByteArray body;
        int answer;          // 0: no question expected
        const char* shown;   // the version in the question
    } cases[] = {
        {"200 OK", "9.45", 0, ""},
        {"200 OK", "9.46", shell::ResultYes, "9.46"},
        {"200 OK", "9.5", shell::ResultNo, "9.5"},
        {"200 OK", "abc", 0, ""},
        {"200 OK", "", 0, ""},
        {"404 Not Found", "9.99", 0, ""},
        {"500 Internal Server Error", "10", 0, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body.toStdString() + " " + c.status.toStdString());
        ScriptedPrompter prompter;
        if (c.answer)
            prompter.answer(c.answer);
        TestServer server;
        server.status = c.status;
        server.body = c.body;
        TLastVer check(server.url());
        runUntilFinished(check);
        EXPECT_EQ(server.requestLine(), QByteArray("GET /dovin/lastver.php?softn=dovin HTTP/1.1"));
        if (!c.answer) {
            EXPECT_TRUE(prompter.calls.isEmpty());
            continue;
        }
        ASSERT_EQ(prompter.calls.size(), c.answer == shell::ResultYes ? 2 : 1);
        EXPECT_EQ(prompter.calls[0].text, question + QLatin1String(c.shown));
        EXPECT_EQ(prompter.calls[0].kind, 2);
        EXPECT_EQ(prompter.calls[0].buttons, 4 | 8);
        if (c.answer == shell::ResultYes)
            EXPECT_EQ(prompter.opened, QStringList{server.url(QStringLiteral("/dovin/upDareVidid.html")).toString()});
    }
}

TEST(UpdateCheck, NoReplyOrNoServerIsSilentAndNeverBlocks)
{
    ScriptedPrompter prompter;
    TestServer server;
    server.silent = true;
    TLastVer check(server.url(), 300);
    // the user interface keeps running while the request waits
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(20);
    QElapsedTimer started;
    started.start();
    const qint64 took = runUntilFinished(check);
    EXPECT_LT(took, 3000);
    EXPECT_GE(took, 250);
    EXPECT_GE(ticks, 5);
    EXPECT_TRUE(prompter.calls.isEmpty());

    // a port nobody listens on
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    TLastVer refused(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port)), 2000);
    EXPECT_LT(runUntilFinished(refused), 2000);
    EXPECT_TRUE(prompter.calls.isEmpty());
}

class UpdateSettingsTest : public SettingsFolderTest {};

TEST_F(UpdateSettingsTest, TheServerComesFromTheProgramsIniFile)
{
    ScriptedPrompter prompter;
    TestServer server;
    server.body = "9.45";
    QObject owner;

    // none set: no request at all
    StartUpdateCheck(&owner);
    QEventLoop wait;
    QTimer::singleShot(200, &wait, &QEventLoop::quit);
    wait.exec();
    EXPECT_TRUE(server.request.isEmpty());
    EXPECT_TRUE(owner.findChildren<TLastVer*>().isEmpty());

    write(QFileInfo(ProgramIniPath()).fileName(),
          QStringLiteral("[upd]\r\nserver=%1\r\n").arg(server.url(QStringLiteral("/soft")).toString()).toUtf8());
    StartUpdateCheck(&owner);
    ASSERT_EQ(owner.findChildren<TLastVer*>().size(), 1);
    QEventLoop loop;
    QObject::connect(owner.findChild<TLastVer*>(), &QObject::destroyed, &loop, &QEventLoop::quit);
    QTimer::singleShot(5000, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(server.requestLine(), QByteArray("GET /soft/lastver.php?softn=dovin HTTP/1.1"));
    EXPECT_TRUE(owner.findChildren<TLastVer*>().isEmpty());   // it freed itself
    EXPECT_TRUE(prompter.calls.isEmpty());
}

} // namespace
