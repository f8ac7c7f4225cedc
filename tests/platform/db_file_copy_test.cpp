// Whole-database copies of the file database: in pieces with progress, consistent, refusing a
// file whose size disagrees with its header, and changing nothing when stopped.
#include "platform/db/Connection.h"
#include "platform/shell/Progress.h"

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

class FileCopyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        source = db::Connection::openSqlite(path("source.db"), true);
        // several pieces of pages
        source->exec(QStringLiteral("create table t (id integer primary key, v text)"));
        source->exec(QStringLiteral("insert into t (v) values ('امير کريمي 676'), (hex(randomblob(1500000)))"));
        live = db::Connection::openSqlite(path("live.db"), true);
        live->exec(QStringLiteral("create table t (id integer primary key, v text)"));
        live->exec(QStringLiteral("insert into t (v) values ('of before')"));
    }
    QString path(const char* name) const { return dir.filePath(QLatin1String(name)); }
    static QString rows(db::Connection& c)
    {
        return c.scalar(QStringLiteral("select group_concat(substr(v, 1, 20), '|') from t")).toString();
    }
    QByteArray read(const char* name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void write(const char* name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QTemporaryDir dir;
    std::unique_ptr<db::Connection> source, live;
};

TEST_F(FileCopyTest, ARestoreRefusesAFileWhoseSizeDisagreesWithItsHeader)
{
    QList<qint64> steps;
    qint64 pages = 0;
    source->backupTo(path("good.db"), 5000, [&](qint64 done, qint64 total) {
        steps << done;
        pages = total;
    });
    // told before the first piece and after each but the last
    ASSERT_GE(steps.size(), 3);
    EXPECT_EQ(steps.first(), 0);
    EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
    EXPECT_LT(steps.last(), pages);
    const QByteArray good = read("good.db");
    const qint64 pageSize = (quint8(good[16]) << 8) | quint8(good[17]);
    ASSERT_EQ(good.size(), pageSize * pages);

    // an older file whose header keeps no valid page count: its size is held against whole pages
    QByteArray old = good;
    old[95] = char(old[95] ^ 1);   // "version valid for" no longer the change counter
    const struct {
        const char* name;
        QByteArray bytes;
        bool refused;
    } cases[] = {
        {"one byte short", good.chopped(1), true},
        {"one page short", good.chopped(int(pageSize)), true},
        {"one byte more", good + QByteArray(1, '\0'), true},
        {"half", good.left(good.size() / 2), true},
        {"old, whole pages", old, false},
        {"old, one byte short", old.chopped(1), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        write("chosen.db", c.bytes);
        const QString before = rows(*live);
        if (c.refused) {
            EXPECT_THROW(live->restoreFrom(path("chosen.db")), db::DbError);
            EXPECT_EQ(rows(*live), before);
        } else {
            live->restoreFrom(path("chosen.db"));
            EXPECT_EQ(rows(*live), rows(*source));
        }
    }
    live->restoreFrom(path("good.db"));
    EXPECT_EQ(rows(*live), rows(*source));
    EXPECT_EQ(live->scalar(QStringLiteral("select v from t where id = 1")).toString(), QStringLiteral("امير کريمي 676"));
}

TEST_F(FileCopyTest, AStoppedCopyChangesNothing)
{
    source->backupTo(path("good.db"));
    const auto stopHalfway = [](qint64 done, qint64 total) {
        if (total > 0 && done * 2 >= total)
            throw shell::Cancelled();
    };
    EXPECT_THROW(live->restoreFrom(path("good.db"), 5000, stopHalfway), shell::Cancelled);
    EXPECT_EQ(rows(*live), QStringLiteral("of before"));
    live->exec(QStringLiteral("insert into t (v) values ('after')"));   // no transaction left open
    EXPECT_EQ(rows(*live), QStringLiteral("of before|after"));
    EXPECT_FALSE(live->inTransaction());

    EXPECT_THROW(source->backupTo(path("stopped.db"), 5000, stopHalfway), shell::Cancelled);
    EXPECT_FALSE(source->inTransaction());
    source->exec(QStringLiteral("delete from t where id = 2"));   // the source is not held either
}

} // namespace
