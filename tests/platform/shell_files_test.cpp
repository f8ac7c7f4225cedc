// Helper programs that end with the program, temporary files that never outlive their work,
// file copies that say what failed, and the folders file dialogs start in.
#include "ChildProgram.h"
#include "FileBytes.h"
#include "ScopedHome.h"
#include "TestDb.h"

#include "platform/db/PgTools.h"
#include "platform/shell/HelperProcess.h"
#include "platform/shell/Progress.h"
#include "platform/shell/Prompter.h"
#include "platform/shell/TempFiles.h"
#include "platform/widgets/BidiText.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <thread>

using testing_support::ChildProgram;
using testing_support::ProcessGone;
using testing_support::TellParent;

namespace {

const QChar kArgSep(0x1f);

// ---- helper programs ----

// Run only as the child of HelperProcess.EndsWithTheProgramThatStartedIt.
TEST(HelperChild, DISABLED_RunsATool)
{
    const QStringList tool = qEnvironmentVariable("DOVIN_CHILD_TOOL").split(kArgSep);
    bool told = false;
    const auto poll = [&] {
        if (!told)
            TellParent(QStringLiteral("started"));
        told = true;
    };
    if (tool.first() == QLatin1String("psql"))
        db::pgtools::run(tool.first(), tool.mid(1), qEnvironmentVariable("DOVIN_TEST_PG"), {}, -1, poll);
    else
        shell::RunHelper(tool.first(), tool.mid(1), {}, poll);
}

TEST(HelperProcess, EndsWithTheProgramThatStartedIt)
{
    const QStringList tools[] = {
        {QStringLiteral("sleep"), QStringLiteral("60")},
        {QStringLiteral("psql"), QStringLiteral("-X"), QStringLiteral("-c"), QStringLiteral("select pg_sleep(60)")},
    };
    for (const QStringList& tool : tools) {
        SCOPED_TRACE(tool.first().toStdString());
        if (tool.first() == QLatin1String("psql") && !testing_support::TestDb::pgConfigured())
            continue;
        QProcessEnvironment env;
        env.insert(QStringLiteral("DOVIN_CHILD_TOOL"), tool.join(kArgSep));
        ChildProgram program(QStringLiteral("HelperChild.DISABLED_RunsATool"), env);
        ASSERT_TRUE(program.waitForLine(QStringLiteral("started"), 60000));
        const QList<qint64> started = program.children();
        ASSERT_EQ(started.size(), 1);
        program.kill();
        QElapsedTimer clock;
        clock.start();
        while (!ProcessGone(started[0]) && clock.elapsed() < 1000)
            QThread::msleep(10);
        EXPECT_TRUE(ProcessGone(started[0])) << "the tool still runs after the program was killed";
        if (!ProcessGone(started[0]))
            ::kill(pid_t(started[0]), SIGKILL);
    }
}

TEST(HelperProcess, AStoppedWaitKillsTheToolAndOutcomesAreTold)
{
    // the poll stops the work: the tool is killed before the exception goes on
    QList<qint64> running;
    EXPECT_THROW(shell::RunHelper(QStringLiteral("sleep"), {QStringLiteral("60")}, {},
                                  [&] {
                                      running = testing_support::ChildrenOf(QCoreApplication::applicationPid());
                                      throw shell::Cancelled();
                                  }),
                 shell::Cancelled);
    ASSERT_EQ(running.size(), 1);
    EXPECT_TRUE(ProcessGone(running[0]));

    const shell::HelperResult failed = shell::RunHelper(
        QStringLiteral("sh"), {QStringLiteral("-c"), QStringLiteral("echo out; echo err >&2; exit 3")}, {});
    EXPECT_TRUE(failed.started);
    EXPECT_FALSE(failed.ok());
    EXPECT_EQ(failed.exitCode, 3);
    EXPECT_EQ(failed.out, QByteArray("out\n"));
    EXPECT_EQ(failed.err, QByteArray("err\n"));

    const shell::HelperResult missing = shell::RunHelper(QStringLiteral("/no/such/tool"), {}, {});
    EXPECT_FALSE(missing.started);
    EXPECT_FALSE(missing.error.isEmpty());

    const shell::HelperResult late = shell::RunHelper(QStringLiteral("sleep"), {QStringLiteral("60")}, {}, {}, 100);
    EXPECT_TRUE(late.timedOut);
    EXPECT_FALSE(late.ok());
}

// ---- temporary files and copies ----

class TempFilesTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }
    void write(const QString& file, const QByteArray& data) const { ASSERT_TRUE(testing_support::WriteBytes(file, data)); }
    QByteArray read(const QString& file) const { return testing_support::ReadBytes(file); }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
    static QString reason(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

    QTemporaryDir dir;
};

TEST_F(TempFilesTest, ATemporaryFileReplacesItsTargetWholeOrGoes)
{
    const QString target = path(QStringLiteral("copy.zdc"));
    write(target, "old");
    {
        shell::TempFile t(target, dir.path());
        EXPECT_TRUE(t.path().startsWith(target + QStringLiteral(".~")));
        write(t.path(), "new");
        EXPECT_EQ(read(target), QByteArray("old"));
        t.replaceTarget();
    }
    EXPECT_EQ(read(target), QByteArray("new"));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("copy.zdc")});
    {
        // dropped half-written, with the journal of a database being written
        shell::TempFile t(target, dir.path());
        write(t.path(), "partial");
        write(t.path() + QStringLiteral("-journal"), "j");
    }
    EXPECT_EQ(read(target), QByteArray("new"));
    EXPECT_EQ(entries(), QStringList{QStringLiteral("copy.zdc")});

    // a target in a folder that is gone: the Persian text, the system's reason on its own line
    shell::TempFile t(path(QStringLiteral("gone/x.zdc")), dir.path());
    try {
        t.replaceTarget();
        FAIL() << "replaced a file in a missing folder";
    } catch (const shell::FileError& e) {
        const QStringList lines = e.message().split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 2);
        EXPECT_TRUE(lines[0].contains(QStringLiteral("جايگزين نشد"))) << lines[0].toStdString();
        EXPECT_EQ(lines[1], reason(ENOENT));
    }
}

// Run only as the child of TempFilesTest.LeftoversOfAKilledProgramGoLater.
TEST(TempFilesChild, DISABLED_HoldsATemporaryFile)
{
    shell::TempFile t(qEnvironmentVariable("DOVIN_CHILD_TARGET"), qEnvironmentVariable("DOVIN_CHILD_FOLDER"));
    QFile f(t.path());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("half");
    f.close();
    QFile j(t.path() + QStringLiteral("-journal"));
    ASSERT_TRUE(j.open(QIODevice::WriteOnly));
    j.close();
    TellParent(QStringLiteral("temp=") + t.path());
    std::this_thread::sleep_for(std::chrono::minutes(5));
}

TEST_F(TempFilesTest, LeftoversOfAKilledProgramGoLater)
{
    QProcessEnvironment env;
    env.insert(QStringLiteral("DOVIN_CHILD_TARGET"), path(QStringLiteral("backup.zdc")));
    env.insert(QStringLiteral("DOVIN_CHILD_FOLDER"), dir.path());
    ChildProgram program(QStringLiteral("TempFilesChild.DISABLED_HoldsATemporaryFile"), env);
    const auto temp = program.waitForLine(QStringLiteral("temp="), 60000);
    ASSERT_TRUE(temp);
    ASSERT_TRUE(QFile::exists(*temp));

    shell::RemoveLeftovers(dir.path());   // another program's work under way stays
    EXPECT_TRUE(QFile::exists(*temp));
    {
        shell::TempFile mine(path(QStringLiteral("mine")), dir.path());
        write(mine.path(), "x");
        program.kill();
        EXPECT_TRUE(QFile::exists(*temp));
        shell::RemoveLeftovers(dir.path());
        EXPECT_FALSE(QFile::exists(*temp));
        EXPECT_FALSE(QFile::exists(*temp + QStringLiteral("-journal")));
        EXPECT_TRUE(QFile::exists(mine.path()));   // this program's own stays while it works
    }
    EXPECT_EQ(entries(), QStringList());
}

TEST_F(TempFilesTest, CopiesGoInPiecesAndSayWhatFailed)
{
    const QByteArray data(3 * 1024 * 1024 + 5, 'x');
    write(path(QStringLiteral("a")), data);
    QList<qint64> steps;
    shell::CopyFileContents(path(QStringLiteral("a")), path(QStringLiteral("b")), [&](qint64 done, qint64 total) {
        EXPECT_EQ(total, data.size());
        steps << done;
    });
    EXPECT_EQ(read(path(QStringLiteral("b"))), data);
    ASSERT_EQ(steps.size(), 4);
    EXPECT_EQ(steps.last(), data.size());

    const struct {
        QString from, to;
        const char* text;
        QString named;   // the path the message names, kept left to right inside the Persian
    } failures[] = {
        {path(QStringLiteral("none")), path(QStringLiteral("c")), "خوانده نشد", path(QStringLiteral("none"))},
        {path(QStringLiteral("a")), path(QStringLiteral("gone/c")), "ساخته نشد", path(QStringLiteral("gone"))},
    };
    for (const auto& f : failures) {
        try {
            shell::CopyFileContents(f.from, f.to);
            ADD_FAILURE() << "copied " << f.from.toStdString() << " to " << f.to.toStdString();
        } catch (const shell::FileError& e) {
            const QStringList lines = e.message().split(QStringLiteral("\r\n"));
            ASSERT_EQ(lines.size(), 2);
            EXPECT_TRUE(lines[0].contains(QString::fromUtf8(f.text))) << lines[0].toStdString();
            EXPECT_TRUE(lines[0].contains(widgets::LeftToRight(f.named))) << lines[0].toStdString();
            EXPECT_EQ(lines[1], reason(ENOENT));
        }
    }
    // a stop asked on the way goes on to the caller
    EXPECT_THROW(shell::CopyFileContents(path(QStringLiteral("a")), path(QStringLiteral("c")),
                                         [](qint64, qint64) { throw shell::Cancelled(); }),
                 shell::Cancelled);
}

// ---- where file dialogs start ----

class StartFolderTest : public ::testing::Test {
protected:
    QString at(const QString& name) const { return home.filePath(name); }

    const testing_support::ScopedHome home;
};

TEST_F(StartFolderTest, FoldersOfAnotherSystemOrGoneStartInTheUsersFolders)
{
    const auto start = [](const QString& directory, bool pictures) {
        shell::FileRequest r;
        r.directory = directory;
        r.pictures = pictures;
        return shell::StartFolder(r);
    };
    // no documents or pictures folder: home
    EXPECT_EQ(start(QStringLiteral("c:\\"), false), home.path());
    EXPECT_EQ(start(QString(), true), home.path());
    ASSERT_TRUE(QDir().mkpath(at(QStringLiteral("Documents"))));
    EXPECT_EQ(start(QStringLiteral("c:\\"), true), at(QStringLiteral("Documents")));   // no pictures folder
    ASSERT_TRUE(QDir().mkpath(at(QStringLiteral("Pictures"))));
    ASSERT_TRUE(QDir().mkpath(at(QStringLiteral("exports"))));

    const QString documents = at(QStringLiteral("Documents")), pictures = at(QStringLiteral("Pictures"));
    const struct {
        QString directory;
        bool pictures;
        QString start;
    } cases[] = {
        {QStringLiteral("c:\\"), false, documents},
        {QStringLiteral("C:\\Users\\agency\\Documents"), false, documents},
        {QStringLiteral("\\\\server\\share"), false, documents},
        {QStringLiteral("c:\\"), true, pictures},
        {QString(), false, documents},
        {QString(), true, pictures},
        {QStringLiteral("relative/folder"), false, documents},
        {at(QStringLiteral("gone")) + QLatin1Char('/'), false, documents},
        {at(QStringLiteral("exports")), false, at(QStringLiteral("exports"))},
        {at(QStringLiteral("exports")) + QLatin1Char('/'), true, at(QStringLiteral("exports"))},
    };
    for (const auto& c : cases)
        EXPECT_EQ(start(c.directory, c.pictures), c.start) << c.directory.toStdString() << " " << c.pictures;

    const struct {
        QString directory, fileName, offered;
    } names[] = {
        {QStringLiteral("c:\\"), QStringLiteral("TTMS1405_1"), documents + QStringLiteral("/TTMS1405_1")},
        {at(QStringLiteral("exports")), QStringLiteral("14030106_1030"), at(QStringLiteral("exports/14030106_1030"))},
        {QString(), QStringLiteral("c:\\reports\\report.pdf"), documents + QStringLiteral("/report.pdf")},
        {QString(), at(QStringLiteral("exports/r.pdf")), at(QStringLiteral("exports/r.pdf"))},
        {QString(), at(QStringLiteral("gone/r.pdf")), documents + QStringLiteral("/r.pdf")},
        {at(QStringLiteral("exports")), QString(), at(QStringLiteral("exports"))},
    };
    for (const auto& n : names) {
        shell::FileRequest r;
        r.directory = n.directory;
        r.fileName = n.fileName;
        EXPECT_EQ(shell::StartPath(r), n.offered) << n.directory.toStdString() << " " << n.fileName.toStdString();
    }
}

} // namespace
