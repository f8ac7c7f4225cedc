// srvpath.txt (server database) and upath.txt (users database).
#include "settings_fixture.h"

#include "core/ConnectionFiles.h"

#include <QDir>
#include <QMap>
#include <libpq-fe.h>

namespace {

class ConnectionFilesTest : public SettingsFolderTest {};

// What libpq itself reads from a connection string.
QMap<QString, QString> pqParse(const QString& conninfo)
{
    QMap<QString, QString> values;
    char* err = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), &err);
    if (!options) {
        values.insert(QStringLiteral("error"), QString::fromUtf8(err ? err : "?"));
        PQfreemem(err);
        return values;
    }
    for (PQconninfoOption* o = options; o->keyword; ++o)
        if (o->val)
            values.insert(QString::fromLatin1(o->keyword), QString::fromUtf8(o->val));
    PQconninfoFree(options);
    return values;
}

struct Expected {
    const char* host;
    const char* port;
    const char* database;
    const char* user;
    const char* password;
};

} // namespace

TEST(ServerPath, Parsing)
{
    struct Case { const char* line; Expected want; };
    const Case cases[] = {
        {"Data Source=127.0.0.1,5432;Initial Catalog=dovindb;User ID=postgres;Password=secret;",
         {"127.0.0.1", "5432", "dovindb", "postgres", "secret"}},
        {"DATA SOURCE=DbHost;INITIAL CATALOG=DovinDB;user id=Ali;PASSWORD=S3cr3T",
         {"DbHost", "", "DovinDB", "Ali", "S3cr3T"}},
        {"Server=h;Database=d;Password=\"a;b\"", {"h", "", "d", "", "a;b"}},
        {"Server=h;Database=d;Password='it''s';", {"h", "", "d", "", "it's"}},
        {"Server=h;Database=d;Password=\"say \"\"hi\"\"\"", {"h", "", "d", "", "say \"hi\""}},
        {"Server=h;Database=d;Password=ab\"c'd", {"h", "", "d", "", "ab\"c'd"}},
        {"Server=h;Database=d;Password= \"  spaced \"  ;User ID=u", {"h", "", "d", "u", "  spaced "}},
        {"Provider=SQLOLEDB.1;Persist Security Info=False; Data  Source = h , 6543 ; Initial Catalog = d ",
         {"h", "6543", "d", "", ""}},
        {"Initial Catalog=d", {"", "", "d", "", ""}},
        {";;Database=d;;", {"", "", "d", "", ""}},
        {"Database=first;Initial Catalog=second", {"", "", "second", "", ""}},
    };
    for (const Case& c : cases) {
        TServerPath s;
        QString error;
        ASSERT_TRUE(ParseServerPath(QString::fromUtf8(c.line), &s, &error)) << c.line << ": " << error.toStdString();
        EXPECT_EQ(s.Host, QString::fromUtf8(c.want.host)) << c.line;
        EXPECT_EQ(s.Port, QString::fromUtf8(c.want.port)) << c.line;
        EXPECT_EQ(s.Database, QString::fromUtf8(c.want.database)) << c.line;
        EXPECT_EQ(s.User, QString::fromUtf8(c.want.user)) << c.line;
        EXPECT_EQ(s.Password, QString::fromUtf8(c.want.password)) << c.line;
    }
}

TEST(ServerPath, FaultsGivePersianMessages)
{
    const char* lines[] = {
        "",
        "Data Source=h;User ID=u;Password=p",      // no database
        "Data Source=h,abc;Database=d",
        "Data Source=h,70000;Database=d",
        "Data Source=h,;Database=d",
        "Database=d;Password=\"open",
        "Database=d;Password=\"x\"y",
        "Database=d;garbage",
    };
    for (const char* line : lines) {
        TServerPath s;
        QString error;
        EXPECT_FALSE(ParseServerPath(QString::fromUtf8(line), &s, &error)) << line;
        EXPECT_TRUE(error.contains(QStringLiteral("srvpath.txt"))) << line;
        EXPECT_TRUE(error.contains(QChar(0x0641))) << line << ": Persian text expected";
    }
}

TEST(ServerPath, ConninfoKeepsEveryValueForLibpq)
{
    struct Case { const char* line; Expected want; };
    const Case cases[] = {
        {"Data Source=127.0.0.1,5432;Initial Catalog=DovinDB;User ID=postgres;Password=secret",
         {"127.0.0.1", "5432", "DovinDB", "postgres", "secret"}},
        {"Server=db host;Database=d b;User ID=o'neil;Password='a''b\\c d=e;f'",
         {"db host", "", "d b", "o'neil", "a'b\\c d=e;f"}},
        {"Database=\u062F\u0648\u06CC\u0646;Password=\"\"\"\"", {"", "", "\u062F\u0648\u06CC\u0646", "", "\""}},
    };
    for (const Case& c : cases) {
        TServerPath s;
        QString error;
        ASSERT_TRUE(ParseServerPath(QString::fromUtf8(c.line), &s, &error)) << c.line;
        const QMap<QString, QString> pq = pqParse(s.conninfo());
        ASSERT_FALSE(pq.contains("error")) << pq.value("error").toStdString();
        EXPECT_EQ(pq.value("host"), QString::fromUtf8(c.want.host)) << c.line;
        EXPECT_EQ(pq.value("port"), QString::fromUtf8(c.want.port)) << c.line;
        EXPECT_EQ(pq.value("dbname"), QString::fromUtf8(c.want.database)) << c.line;
        EXPECT_EQ(pq.value("user"), QString::fromUtf8(c.want.user)) << c.line;
        EXPECT_EQ(pq.value("password"), QString::fromUtf8(c.want.password)) << c.line;
    }

    TServerPath s;
    QString error;
    ASSERT_TRUE(ParseServerPath(QStringLiteral("Server=h;Database=DovinDB;User ID=u"), &s, &error));
    const QMap<QString, QString> other = pqParse(s.conninfo(QStringLiteral("postgres")));
    EXPECT_EQ(other.value("dbname"), QStringLiteral("postgres"));
    EXPECT_EQ(other.value("host"), QStringLiteral("h"));
    EXPECT_EQ(other.value("user"), QStringLiteral("u"));
}

TEST_F(ConnectionFilesTest, ServerPathFile)
{
    TServerPath s;
    QString error;
    EXPECT_FALSE(ReadServerPath(&s, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("srvpath.txt")));

    write("srvpath.txt", "\xEF\xBB\xBF" "Data Source=h,5433;Initial Catalog=Db;Password=P;\r\nData Source=other\r\n");
    ASSERT_TRUE(ReadServerPath(&s, &error)) << error.toStdString();
    EXPECT_EQ(s.Host, QStringLiteral("h"));
    EXPECT_EQ(s.Port, QStringLiteral("5433"));
    EXPECT_EQ(s.Database, QStringLiteral("Db"));
    EXPECT_EQ(s.Password, QStringLiteral("P"));

    write("srvpath.txt", "\r\nData Source=h;Database=d\r\n");
    error.clear();
    EXPECT_FALSE(ReadServerPath(&s, &error)) << "only the first line counts";
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(ConnectionFilesTest, UsersDatabasePath)
{
    const QString inFolder = QDir::fromNativeSeparators(dir.path()) + QStringLiteral("/dbusers.mdb");
    QString p, error;
    ASSERT_TRUE(ReadUsersDatabasePath(&p, &error));
    EXPECT_EQ(p, inFolder) << "no upath.txt";

    struct Case { QByteArray text; QString want; };
    const Case cases[] = {
        {"dbusers.mdb\r\n", inFolder},
        {"dbusers.mdb", inFolder},
        {"", inFolder},
        {"\r\n/srv/other.mdb\r\n", inFolder},
        {"DBUSERS.MDB\r\n", QStringLiteral("DBUSERS.MDB")},
        {"/srv/agency/users.mdb\r\nignored\r\n", QStringLiteral("/srv/agency/users.mdb")},
        {QString::fromUtf8("/srv/املاک/dbusers.mdb").toUtf8(), QString::fromUtf8("/srv/املاک/dbusers.mdb")},
    };
    for (const Case& c : cases) {
        write("upath.txt", c.text);
        ASSERT_TRUE(ReadUsersDatabasePath(&p, &error)) << c.text.constData();
        EXPECT_EQ(p, c.want) << c.text.constData();
    }

    QFile::remove(path("upath.txt"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("upath.txt"));
    EXPECT_FALSE(ReadUsersDatabasePath(&p, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("upath.txt")));
}
