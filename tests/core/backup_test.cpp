// Backup and restore on both engines: default name, extension rule, the existing-file question,
// exact round trips, refused files, failures that keep the data, and a backup under writes.
#include "ChildProgram.h"
#include "FileBytes.h"
#include "UpgradedDbTest.h"

#include "core/Schema.h"
#include "core/TBackUp.h"
#include "core/TDBUpdate.h"
#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "ui/TTools.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <atomic>
#include <csignal>
#include <thread>

using testing_support::ChildProgram;
using testing_support::ProcessGone;
using testing_support::PromptCall;
using testing_support::TellParent;

namespace {

const QString kCorrupt = QStringLiteral("فايل انتخاب شده سالم نيست و بازيابي انجام نشد");
const QString kForeign = QStringLiteral("فايل انتخاب شده فايل پشتيبان اين برنامه نيست و بازيابي انجام نشد");
const QString kRestored = QStringLiteral("اطلاعات قبلي ، برگردانده شدند");
const QString kUpgradeFailed = QStringLiteral("ساختار اطلاعات فايل انتخاب شده بروز نشد و بازيابي انجام نشد");
const QString kBackUpWork = QStringLiteral("ذخيره اطلاعات");
const QString kRestoreWork = QStringLiteral("بازيابي اطلاعات");

TEST(BackUpNames, DefaultNameFromTheClock)
{
    const struct {
        QDateTime now;
        bool isAccess;
        const char* name;
    } cases[] = {
        {QDateTime(QDate(2023, 7, 31), QTime(14, 7)), true, "14020509_1407"},
        {QDateTime(QDate(2024, 3, 25), QTime(0, 5)), true, "14030106_0005"},
        {QDateTime(QDate(2024, 3, 20), QTime(23, 59)), true, "14030101_2359"},
        {QDateTime(QDate(2025, 3, 20), QTime(9, 0)), true, "14031230_0900"},     // 1403 is a leap year
        {QDateTime(QDate(2024, 3, 25), QTime(2, 30)), false, "14030105_0230"},   // server: early morning is yesterday
    };
    for (const auto& c : cases) {
        const QDateTime now = c.now;
        TTools tools(c.isAccess, [now] { return now; });
        EXPECT_EQ(DefaultBackUpName(tools), QString::fromLatin1(c.name)) << c.now.toString().toStdString();
    }
}

TEST(BackUpNames, ExtensionRuleIsCaseSensitive)
{
    const struct {
        const char* chosen;
        const char* ext;
        const char* written;
    } cases[] = {
        {"copy", ".zdc", "copy.zdc"},
        {"copy.ZDC", ".zdc", "copy.ZDC.zdc"},
        {"copy.zdc", ".zdc", "copy.zdc"},
        {"/a/b.zdq", ".zdc", "/a/b.zdq.zdc"},
        {"copy", ".zdq", "copy.zdq"},
        {"copy.zdq", ".zdq", "copy.zdq"},
        {"copy.Zdq", ".zdq", "copy.Zdq.zdq"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WithBackUpExtension(QString::fromLatin1(c.chosen), QString::fromLatin1(c.ext)),
                  QString::fromLatin1(c.written));
    EXPECT_EQ(BackUpFileFilter(true), QStringLiteral("ذخيره دوين ومرا (*.zdc)"));
    EXPECT_EQ(BackUpFileFilter(false), QStringLiteral("ذخيره دوين ومرا (*.zdq)"));
}

class BackUpTest : public UpgradedDbTest {
protected:
    void SetUp() override
    {
        UpgradedDbTest::SetUp();
        if (IsSkipped())
            return;
        if (!isFile()) {
            // restores of test processes running side by side share the server's staging
            // schemas: one at a time
            serial = db::Connection::openPostgres(testDb().location());
            serial->exec(QStringLiteral("SET lock_timeout = 0"));
            serial->scalar(QStringLiteral("select pg_advisory_lock(727101)"));
        }
        users = prepareProgramFolder();
        backup = CreateBackUp(isFile(), target());
        seed();
        prompter.calls.clear();
    }
    void TearDown() override
    {
        backup.reset();
        users.reset();
        restoreProgramFolder();
        serial.reset();
        UpgradedDbTest::TearDown();
    }

    TBackUpTarget target()
    {
        TBackUpTarget t;
        t.conn = &conn();
        t.programFolder = testDb().dir() + QLatin1Char('/');
        t.serverConnInfo = testDb().location();
        t.lockWaitMs = 400;
        t.releaseDataSets = [this] {
            ++released;
            if (onRelease)
                onRelease();
            return releaseAnswer;
        };
        t.reopenDataSets = [this] { ++reopened; };
        return t;
    }

    void seed()
    {
        conn().exec(QStringLiteral("insert into t_manategh (Esm) values ('شمال'), ('مرکز')"));
        conn().exec(QStringLiteral("insert into T_Melk (MalekEsm, MantaghehID, ForSell, Hazfshodeh, F1, Tozihat) values "
                                   "('رضايي', 1, %1, 0, 2500000000.5, 'it''s ''quoted'''), ('کريمي', 2, 0, %1, 0, null)")
                        .arg(conn().dialect().trueValue()));
        conn().exec(QStringLiteral("insert into T_niyaz (Esm, hazfshodeh) values ('محمدي', 0)"));
        conn().exec(QStringLiteral("insert into T_Sanad (tarikhsanad, shoomareh, haghebongah, ownerDiscount) "
                                   "values ('1403/01/05', '12', 1001, 0.5)"));
        conn().exec(QStringLiteral("insert into T_EstateDocs (melkId, docPath) values (1, '/docs/سند.pdf')"));
        conn().exec(QStringLiteral("update t_snums set snum = '12' where akey = 1"));
    }
    void change()
    {
        conn().exec(QStringLiteral("update T_Melk set MalekEsm = 'تغيير' where MID = 1"));
        conn().exec(QStringLiteral("delete from T_Sanad"));
        conn().exec(QStringLiteral("insert into T_Melk (MalekEsm, Hazfshodeh) values ('جديد', 0)"));
        conn().exec(QStringLiteral("insert into t_Tels (Esm, Phone) values ('دفتر', '021')"));
    }

    // Every row of the program's tables as text, in key order.
    static QStringList snapshot(db::Connection& c)
    {
        QStringList out;
        for (const char* table : {"T_Melk", "T_niyaz", "T_Sanad", "t_manategh", "t_Tels", "T_EstateDocs", "t_snums"}) {
            auto cur = c.query(QStringLiteral("select * from %1 order by 1").arg(QLatin1String(table)));
            while (cur->next()) {
                QStringList cells;
                for (int i = 0; i < cur->columnCount(); ++i) {
                    const auto t = cur->text(i);
                    cells << (cur->cellType(i) == db::CellType::Null ? QStringLiteral("<null>")
                                                                      : QString::fromUtf8(t.data(), qsizetype(t.size())));
                }
                out << QLatin1String(table) + QLatin1Char(':') + cells.join(QLatin1Char('|'));
            }
        }
        return out;
    }
    QStringList snapshot() { return snapshot(conn()); }

    QString file(const QString& name) { return testDb().dir() + QLatin1Char('/') + name; }
    // A backup of the seeded data, then the data changed; the backup's file.
    QString backUpThenChange()
    {
        const QString f = file(QStringLiteral("copy") + ext());
        EXPECT_TRUE(backup->BackUp(f));
        change();
        return f;
    }
    QString ext() const { return isFile() ? QStringLiteral(".zdc") : QStringLiteral(".zdq"); }
    QStringList messages() const { return prompter.messages(); }
    bool hasMessage(const QString& text) const { return messages().join(QLatin1Char('\n')).contains(text); }
    void writeBytes(const QString& path, const QByteArray& bytes) { ASSERT_TRUE(testing_support::WriteBytes(path, bytes)); }
    QByteArray bytes(const QString& path) const { return testing_support::ReadBytes(path); }
    QString successText() const
    {
        return isFile() ? QStringLiteral("عمليات بازيابي به پايان رسيد") : QStringLiteral("پايان عمليات");
    }
    // Temporary files in the program folder and beside the backups, and their list.
    QStringList tempFiles()
    {
        return QDir(testDb().dir()).entryList({QStringLiteral("*.~*"), QStringLiteral("TempFiles.lst")}, QDir::Files);
    }
    // The schemas restores load archives into.
    int stagingSchemas()
    {
        return conn().scalar(QStringLiteral("select count(*) from pg_namespace where nspname like 'dovin_restore_%'")).toInt();
    }
    // What a child program running BackUpChild needs to work on this database.
    QProcessEnvironment childEnv(const char* action, const QString& file, bool hold)
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("DOVIN_CHILD_ACTION"), QLatin1String(action));
        env.insert(QStringLiteral("DOVIN_CHILD_ENGINE"), isFile() ? QStringLiteral("file") : QStringLiteral("server"));
        env.insert(QStringLiteral("DOVIN_CHILD_DB"), testDb().location());
        env.insert(QStringLiteral("DOVIN_CHILD_FOLDER"), testDb().dir() + QLatin1Char('/'));
        env.insert(QStringLiteral("DOVIN_CHILD_FILE"), file);
        env.insert(QStringLiteral("DOVIN_CHILD_HOLD"), hold ? QStringLiteral("1") : QStringLiteral("0"));
        return env;
    }

    std::unique_ptr<db::Connection> users;
    std::unique_ptr<db::Connection> serial;
    std::unique_ptr<TBackUp> backup;
    int released = 0;
    int reopened = 0;
    bool releaseAnswer = true;
    std::function<void()> onRelease;
};

// Waits up to ms for done().
template <typename Done>
bool waitFor(Done done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

TEST_P(BackUpTest, BackUpChangeRestoreGivesTheExactDataBack)
{
    const QStringList before = snapshot();
    ASSERT_EQ(before.size(), 8);
    const QString f = file(QStringLiteral("copy") + ext());
    prompter.progressTitles.clear();   // the set-up's own long work (the lookup indexes)
    ASSERT_TRUE(backup->BackUp(f));
    change();
    const QStringList changed = snapshot();
    ASSERT_NE(changed, before);

    prompter.calls.clear();
    ASSERT_TRUE(backup->Restore(f));
    EXPECT_EQ(snapshot(), before);
    // each under its progress window: the restore's second one after the save question
    EXPECT_EQ(prompter.progressTitles, (QStringList{kBackUpWork, kRestoreWork, kRestoreWork}));
    EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(QLatin1Char(' ')).toStdString();
    EXPECT_EQ(released, 1);
    EXPECT_EQ(reopened, 1);
    ASSERT_FALSE(prompter.calls.isEmpty());
    EXPECT_EQ(prompter.calls.front().kind, 2);   // the question first
    EXPECT_EQ(prompter.calls.back().text, successText());

    // the data of before the restore are kept, and the counters go on after the restored keys
    ASSERT_TRUE(QFileInfo::exists(backup->PreviousDataFile()));
    conn().exec(QStringLiteral("insert into T_Melk (MalekEsm, Hazfshodeh) values ('پس از بازيابي', 0)"));
    EXPECT_EQ(conn().scalar(QStringLiteral("select max(MID) from T_Melk")).toInt(), 3);

    // restoring the kept copy gives the changed data back
    ASSERT_TRUE(backup->Restore(backup->PreviousDataFile()));
    EXPECT_EQ(snapshot(), changed);
}

TEST_P(BackUpTest, RefusedFilesLeaveTheDatabaseUntouched)
{
    const QString good = file(QStringLiteral("good") + ext());
    ASSERT_TRUE(backup->BackUp(good));
    QFile g(good);
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    const QByteArray bytes = g.readAll();
    ASSERT_GT(bytes.size(), 1000);

    const struct {
        const char* name;
        QByteArray content;
        QString message;
    } cases[] = {
        {"random", QByteArray(5000, '\x5a'), kCorrupt},
        {"truncated", bytes.left(bytes.size() / 2), kCorrupt},
        {"one byte short", bytes.chopped(1), kCorrupt},
        {"empty", QByteArray(), isFile() ? kForeign : kCorrupt},   // an empty file is an empty SQLite database
        {"users", QByteArray(), kForeign},   // the users database is not a backup of the data
    };
    change();
    const QStringList before = snapshot();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QString path = file(QLatin1String(c.name) + ext());
        if (QLatin1String(c.name) == QLatin1String("users")) {
            if (!isFile())
                continue;
            path = testDb().dir() + QStringLiteral("/users.db");
        } else {
            writeBytes(path, c.content);
        }
        prompter.calls.clear();
        EXPECT_FALSE(backup->Restore(path));
        EXPECT_TRUE(hasMessage(c.message)) << messages().join(QLatin1Char('\n')).toStdString();
        EXPECT_FALSE(hasMessage(successText()));
        EXPECT_EQ(snapshot(), before);
    }
    EXPECT_EQ(released, 0);
    EXPECT_EQ(reopened, 0);
    EXPECT_FALSE(QFileInfo::exists(backup->PreviousDataFile()));
}

TEST_P(BackUpTest, AnArchiveOfAnotherProgramIsRefused)
{
    const QString foreign = file(QStringLiteral("foreign") + ext());
    if (isFile()) {
        auto other = db::Connection::openSqlite(foreign, true);
        other->exec(QStringLiteral("create table invoices (id integer primary key, total real)"));
        other->exec(QStringLiteral("insert into invoices (total) values (1.5)"));
    } else {
        // an archive of a schema holding other tables
        testing_support::TestDb other(db::Engine::PostgreSQL);
        other.conn().exec(QStringLiteral("create table invoices (id integer primary key, total real)"));
        TBackUpTarget t = target();
        t.conn = &other.conn();
        t.serverConnInfo = other.location();
        ASSERT_TRUE(TBackUpSQL(t).BackUp(foreign));
    }
    change();
    const QStringList before = snapshot();
    prompter.calls.clear();
    EXPECT_FALSE(backup->Restore(foreign));
    EXPECT_TRUE(hasMessage(kForeign)) << messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(snapshot(), before);
    EXPECT_EQ(released, 0);
}

TEST_P(BackUpTest, ANoOrAStoppedSaveQuestionChangesNothing)
{
    const QString f = backUpThenChange();
    const QStringList changed = snapshot();

    prompter.calls.clear();
    prompter.answer(shell::ResultNo);
    EXPECT_FALSE(backup->Restore(f));
    EXPECT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(released, 0);

    releaseAnswer = false;   // the user cancelled the save question of a record being typed
    EXPECT_FALSE(backup->Restore(f));
    EXPECT_EQ(released, 1);
    EXPECT_EQ(reopened, 0);
    EXPECT_EQ(snapshot(), changed);
    EXPECT_FALSE(QFileInfo::exists(backup->PreviousDataFile()));
}

TEST_P(BackUpTest, AFailedReplacementKeepsTheDataAndReopens)
{
    const QString f = backUpThenChange();
    const QStringList changed = snapshot();

    // another workstation holds a lock for the whole restore
    auto other = testDb().open();
    other->begin();
    if (!isFile())
        other->exec(QStringLiteral("lock table T_Melk in access share mode"));
    prompter.calls.clear();
    EXPECT_FALSE(backup->Restore(f));
    other->rollback();

    EXPECT_TRUE(hasMessage(kRestored)) << messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(hasMessage(successText()));
    EXPECT_EQ(snapshot(), changed);
    EXPECT_EQ(released, 1);
    EXPECT_EQ(reopened, 1);
}

TEST_P(BackUpTest, AnOlderSchemaIsBroughtUpToDate)
{
    // a backup made before the upgrade, of another database: base tables only
    const QString f = file(QStringLiteral("old") + ext());
    {
        testing_support::TestDb old(GetParam());
        CreateBaseSchema(old.conn(), TSchemaDb::Agency);
        old.conn().exec(QStringLiteral("insert into T_Melk (MalekEsm, Hazfshodeh) values ('قديمي', 0)"));
        TBackUpTarget t = target();
        t.conn = &old.conn();
        t.serverConnInfo = old.location();
        ASSERT_TRUE(CreateBackUp(isFile(), t)->BackUp(f));
    }

    ASSERT_TRUE(backup->Restore(f)) << messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(conn().scalar(QStringLiteral("select MalekEsm from T_Melk")).toString(), QStringLiteral("قديمي"));
    EXPECT_TRUE(conn().tableExists(QStringLiteral("T_EstateDocs")));
    EXPECT_TRUE(conn().viewExists(QStringLiteral("V_Sood")));
    EXPECT_TRUE(MakeDBUpdate(conn(), isFile(), target().programFolder)->IsComplete());
}

TEST_P(BackUpTest, ABackUpUnderConcurrentWritesIsConsistent)
{
    // another connection adds phone-book entries in pairs, one pair per transaction
    std::atomic<bool> stop{false};
    std::atomic<int> pairs{0};
    auto writerConn = testDb().open();
    std::thread writer([&] {
        while (!stop) {
            try {
                db::inTransaction(*writerConn, [&] {
                    for (int i = 0; i < 2; ++i)
                        writerConn->exec(QStringLiteral("insert into t_Tels (Esm, Phone) values ('pair', '%1')").arg(pairs.load()));
                });
                ++pairs;
            } catch (const db::DbError&) {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
    });
    while (pairs < 20)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const QString f = file(QStringLiteral("busy") + ext());
    const bool ok = backup->BackUp(f);
    stop = true;
    writer.join();
    ASSERT_TRUE(ok) << messages().join(QLatin1Char('\n')).toStdString();

    ASSERT_TRUE(backup->Restore(f));
    const int rows = conn().scalar(QStringLiteral("select count(*) from t_Tels where Esm = 'pair'")).toInt();
    EXPECT_GE(rows, 40);
    EXPECT_EQ(rows % 2, 0);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from (select Phone from t_Tels where Esm = 'pair' "
                                           "group by Phone having count(*) <> 2) x")).toInt(),
              0);
}

TEST_P(BackUpTest, SaveActionAppliesTheExtensionAndTheExistingFileQuestion)
{
    TTools tools(isFile(), [] { return QDateTime(QDate(2023, 7, 31), QTime(14, 7)); });
    const QString chosen = file(QStringLiteral("copy"));
    const QString written = chosen + ext();

    prompter.answerFile(chosen);
    ASSERT_TRUE(SaveBackUpAs(*backup, isFile(), tools));
    ASSERT_GE(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[0].what, QStringLiteral("saveFile"));
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("14020509_1407"));
    EXPECT_TRUE(QFileInfo::exists(written));
    EXPECT_FALSE(QFileInfo::exists(chosen));

    // an existing file answered No stays as it was
    writeBytes(written, QByteArray("JUNK-MARKER ") + QByteArray(200000, 'j'));
    prompter.calls.clear();
    prompter.answerFile(chosen);
    prompter.answer(shell::ResultNo);
    EXPECT_FALSE(SaveBackUpAs(*backup, isFile(), tools));
    EXPECT_EQ(messages(), (QStringList{QStringLiteral("نام وارد شده در اين مسير موجود مي باشد\r\nآيا حذف شود؟"),
                                       QStringLiteral("اطلاعات ذخيره نشدند")}));
    EXPECT_EQ(QFileInfo(written).size(), 200012);

    // Yes replaces it whole: a backup that restores, holding nothing of the old file
    change();
    const QStringList changed = snapshot();
    prompter.answerFile(chosen);
    prompter.answer(shell::ResultYes);
    ASSERT_TRUE(SaveBackUpAs(*backup, isFile(), tools));
    QFile w(written);
    ASSERT_TRUE(w.open(QIODevice::ReadOnly));
    EXPECT_FALSE(w.readAll().contains("JUNK-MARKER"));
    conn().exec(QStringLiteral("delete from T_Melk"));
    ASSERT_TRUE(backup->Restore(written));
    EXPECT_EQ(snapshot(), changed);
    // no temporary file is left beside it
    EXPECT_EQ(QDir(testDb().dir()).entryList({QStringLiteral("copy*")}, QDir::Files), QStringList{QFileInfo(written).fileName()});
}

TEST_P(BackUpTest, LoadActionRefusesAMissingFile)
{
    prompter.answerFile(file(QStringLiteral("none") + ext()));
    EXPECT_FALSE(LoadBackUpFrom(*backup, isFile()));
    EXPECT_EQ(messages(), QStringList{QStringLiteral("فايل انتخاب شده وجود ندارد")});
    EXPECT_EQ(released, 0);
    // a cancelled dialog does nothing at all
    prompter.calls.clear();
    EXPECT_FALSE(LoadBackUpFrom(*backup, isFile()));
    EXPECT_EQ(prompter.calls.size(), 1);
}

TEST_P(BackUpTest, TheDataModuleReopensItsDataSets)
{
    TDm dm;
    auto usersConn = db::Connection::openSqlite(testDb().dir() + QStringLiteral("/users.db"));
    ASSERT_TRUE(dm.Connect(testDb().open(), std::move(usersConn)));
    TBackUpTarget t = DataModuleTarget(dm, isFile(), [] { return true; });
    t.serverConnInfo = testDb().location();
    auto b = CreateBackUp(isFile(), t);
    const QString f = file(QStringLiteral("dm") + ext());
    ASSERT_TRUE(b->BackUp(f));
    dm.Conn->exec(QStringLiteral("delete from T_Melk"));
    dm.QTels->Open();
    dm.QMelk->Close();
    dm.QMelk->Open();
    ASSERT_EQ(dm.QMelk->RecordCount(), 0);

    ASSERT_TRUE(b->Restore(f));
    EXPECT_TRUE(dm.QMelk->Active());
    EXPECT_EQ(dm.QMelk->RecordCount(), 1);   // the one property not deleted temporarily
    EXPECT_TRUE(dm.QTels->Active());
    EXPECT_TRUE(dm.tblCity->Active());
}

TEST_P(BackUpTest, ARestoreWhoseUpgradeFailsLeavesTheDataOfBefore)
{
    // a backup of an older version whose upgrade cannot make the documents table: a view
    // holds its name
    const QString f = file(QStringLiteral("blocked") + ext());
    {
        testing_support::TestDb old(GetParam());
        CreateBaseSchema(old.conn(), TSchemaDb::Agency);
        old.conn().exec(QStringLiteral("insert into T_Melk (MalekEsm, Hazfshodeh) values ('قديمي', 0)"));
        old.conn().exec(QStringLiteral("create view T_EstateDocs as select MID as melkId from T_Melk"));
        TBackUpTarget t = target();
        t.conn = &old.conn();
        t.serverConnInfo = old.location();
        ASSERT_TRUE(CreateBackUp(isFile(), t)->BackUp(f));
    }
    change();
    const QStringList before = snapshot();
    prompter.calls.clear();
    EXPECT_FALSE(backup->Restore(f));
    EXPECT_TRUE(hasMessage(kUpgradeFailed)) << messages().join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(hasMessage(successText()));
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(MakeDBUpdate(conn(), isFile(), target().programFolder)->IsComplete());
    EXPECT_EQ(released, 0);
    EXPECT_FALSE(QFileInfo::exists(backup->PreviousDataFile()));
    EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(QLatin1Char(' ')).toStdString();
    if (!isFile())
        EXPECT_EQ(stagingSchemas(), 0);
}

TEST_P(BackUpTest, ACancelledWorkLeavesEverythingAsItWas)
{
    const QString f = file(QStringLiteral("copy") + ext());
    ASSERT_TRUE(backup->BackUp(f));
    const QByteArray kept = bytes(f);
    change();
    const QStringList changed = snapshot();

    prompter.cancelWork = true;
    prompter.calls.clear();
    // backups over an existing file and to a new name: the file as it was, no file
    EXPECT_FALSE(backup->BackUp(f));
    EXPECT_EQ(bytes(f), kept);
    EXPECT_FALSE(backup->BackUp(file(QStringLiteral("new") + ext())));
    EXPECT_FALSE(QFileInfo::exists(file(QStringLiteral("new") + ext())));
    EXPECT_TRUE(prompter.calls.isEmpty());
    // a restore cancelled while it checks the file
    EXPECT_FALSE(backup->Restore(f));
    EXPECT_EQ(messages().size(), 1);   // the question, and no message after it
    EXPECT_EQ(released, 0);
    EXPECT_EQ(snapshot(), changed);

    // cancelled once the record being typed was let go: the datasets come back on the data
    // of before
    prompter.cancelWork = false;
    onRelease = [this] { prompter.cancelWork = true; };
    EXPECT_FALSE(backup->Restore(f));
    EXPECT_EQ(released, 1);
    EXPECT_EQ(reopened, 1);
    EXPECT_EQ(snapshot(), changed);
    EXPECT_EQ(messages().size(), 2);
    EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(QLatin1Char(' ')).toStdString();
    if (!isFile())
        EXPECT_EQ(stagingSchemas(), 0);
}

// Run only as the child of the tests below: backs up or restores the database the
// environment names, tells the parent once the work reports, and with DOVIN_CHILD_HOLD
// stops there until it is killed.
TEST(BackUpChild, DISABLED_WorksUntilKilled)
{
    testing_support::ScriptedPrompter prompter;
    const bool isFile = qEnvironmentVariable("DOVIN_CHILD_ENGINE") == QLatin1String("file");
    const QString location = qEnvironmentVariable("DOVIN_CHILD_DB");
    auto conn = isFile ? db::Connection::openSqlite(location) : db::Connection::openPostgres(location);
    conn->setCatalog(&SchemaCatalog());
    TBackUpTarget t;
    t.conn = conn.get();
    t.programFolder = qEnvironmentVariable("DOVIN_CHILD_FOLDER");
    t.serverConnInfo = location;
    t.lockWaitMs = 120000;
    const bool hold = qEnvironmentVariable("DOVIN_CHILD_HOLD") == QLatin1String("1");
    bool told = false;
    prompter.onProgress = [&] {
        if (!told)
            TellParent(QStringLiteral("working"));
        told = true;
        if (hold)
            std::this_thread::sleep_for(std::chrono::minutes(5));
    };
    auto b = CreateBackUp(isFile, t);
    const QString f = qEnvironmentVariable("DOVIN_CHILD_FILE");
    if (qEnvironmentVariable("DOVIN_CHILD_ACTION") == QLatin1String("backup"))
        b->BackUp(f);
    else
        b->Restore(f);
    TellParent(QStringLiteral("ended"));
}

TEST_P(BackUpTest, AKilledBackUpEndsItsToolAndTheNextBackUpClearsWhatItLeft)
{
    const QString target = file(QStringLiteral("killed") + ext());
    // the server's dump waits for a lock another workstation holds; the file's copy stops
    // at its first report
    std::unique_ptr<db::Connection> other;
    if (!isFile()) {
        other = testDb().open();
        other->begin();
        other->exec(QStringLiteral("lock table T_Melk in access exclusive mode"));
    }
    ChildProgram program(QStringLiteral("BackUpChild.DISABLED_WorksUntilKilled"), childEnv("backup", target, isFile()));
    ASSERT_TRUE(program.waitForLine(QStringLiteral("working"), 60000));
    QList<qint64> tools;
    if (!isFile())
        ASSERT_TRUE(waitFor([&] { return !(tools = program.children()).isEmpty(); }, 30000));
    program.kill();
    for (qint64 tool : tools) {
        EXPECT_TRUE(waitFor([&] { return ProcessGone(tool); }, 1000)) << "pg_dump outlived the program";
        if (!ProcessGone(tool))
            ::kill(pid_t(tool), SIGKILL);
    }
    if (other)
        other->rollback();
    if (isFile())
        EXPECT_FALSE(tempFiles().isEmpty());   // the half-written copy and its listing

    ASSERT_TRUE(backup->BackUp(file(QStringLiteral("next") + ext())));
    EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(QLatin1Char(' ')).toStdString();
    EXPECT_FALSE(QFileInfo::exists(target));
}

TEST_P(BackUpTest, AKilledRestoreNeverCompletesLater)
{
    if (isFile())
        GTEST_SKIP() << "the file database is replaced by this program's own SQLite transaction";
    const QString f = backUpThenChange();
    const QStringList changed = snapshot();

    // another workstation reads the properties: the restore waits to put the archive in place
    auto other = testDb().open();
    other->begin();
    other->exec(QStringLiteral("lock table T_Melk in access share mode"));
    ChildProgram program(QStringLiteral("BackUpChild.DISABLED_WorksUntilKilled"), childEnv("restore", f, false));
    QString staging;
    const auto waiting = [&] {
        staging = conn().scalar(QStringLiteral("select max(nspname) from pg_namespace where nspname like 'dovin_restore_%'"))
                      .toString();
        return !staging.isEmpty()
            && conn().scalar(QStringLiteral("select count(*) from pg_locks where not granted and pid::text = $1"),
                             {staging.section(QLatin1Char('_'), 2, 2)})
                       .toInt()
                   > 0;
    };
    ASSERT_TRUE(waitFor(waiting, 60000));
    program.kill();
    other->rollback();   // nothing may now finish the killed restore

    const QString backend = staging.section(QLatin1Char('_'), 2, 2);
    EXPECT_TRUE(waitFor([&] {
        return conn().scalar(QStringLiteral("select count(*) from pg_stat_activity where pid::text = $1"), {backend}).toInt()
            == 0;
    }, 30000));
    EXPECT_EQ(snapshot(), changed);
    RemoveBackUpLeftovers(conn(), target().programFolder);
    EXPECT_EQ(stagingSchemas(), 0);
    EXPECT_TRUE(tempFiles().isEmpty()) << tempFiles().join(QLatin1Char(' ')).toStdString();
}

DOVIN_INSTANTIATE_ENGINES(BackUpTest);

} // namespace
