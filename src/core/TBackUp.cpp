#include "core/TBackUp.h"

#include "core/ConnectionFiles.h"
#include "core/ProgramFolder.h"
#include "core/Schema.h"
#include "core/TDBUpdate.h"
#include "core/TDm.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/PgTools.h"
#include "platform/shell/Progress.h"
#include "platform/shell/Prompter.h"
#include "platform/shell/TempFiles.h"
#include "ui/Dialogs.h"
#include "ui/TTools.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QThread>
#include <chrono>
#include <future>
#include <optional>

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString errorText(const std::exception& e)
{
    if (const auto* d = dynamic_cast<const db::DbError*>(&e))
        return d->message();
    if (const auto* f = dynamic_cast<const shell::FileError*>(&e))
        return f->message();
    return QString::fromUtf8(e.what());
}

void info(const QString& text, int fontSize) { ShowMessageDlg(dkInfo, QString(), text, dbOk, fontSize); }
void error(const QString& text, int fontSize = 8) { ShowMessageDlg(dkError, QString(), text, dbOk, fontSize); }

QString processError() { return QStringLiteral("خطايي در روند برنامه پيش آمد"); }
QString retryText() { return QStringLiteral("خطايي در روند برنامه پيش آمد ، مجددا سعي كنيد"); }
QString corruptText() { return QStringLiteral("فايل انتخاب شده سالم نيست و بازيابي انجام نشد"); }
QString foreignText() { return QStringLiteral("فايل انتخاب شده فايل پشتيبان اين برنامه نيست و بازيابي انجام نشد"); }
QString upgradeFailedText()
{
    return QStringLiteral("ساختار اطلاعات فايل انتخاب شده بروز نشد و بازيابي انجام نشد");
}
QString restoredText() { return QStringLiteral("اطلاعات قبلي ، برگردانده شدند"); }

// The works' names in their progress windows.
QString backUpTitle() { return QStringLiteral("ذخيره اطلاعات"); }
QString restoreTitle() { return QStringLiteral("بازيابي اطلاعات"); }

// A long work under way: its progress window, ended before any message is shown.
class Work {
public:
    void start(const QString& title) { progress_.emplace(title, true); }
    void end() { progress_.reset(); }
    // From here on the work may no longer stop.
    void pastReturn() { progress_->setCancellable(false); }
    // What a copy reports to, and what a helper program's wait polls.
    db::Connection::CopyProgress copySteps()
    {
        return [this](qint64 done, qint64 total) {
            progress_->setTotal(total);
            progress_->step(done);
        };
    }
    std::function<void()> waitSteps()
    {
        return [this] { progress_->step(0); };
    }
    // Runs fn on a thread of its own while the window keeps painting; fn works on nothing
    // but this work's own connection. A cancel waits for fn to end.
    template <typename Fn>
    auto aside(Fn fn) -> decltype(fn())
    {
        progress_->setTotal(0);
        auto result = std::async(std::launch::async, std::move(fn));
        while (result.wait_for(std::chrono::milliseconds(30)) != std::future_status::ready)
            progress_->step(0);
        return result.get();
    }
    // Ends the work and shows why it stopped; false.
    bool fail(const QString& text, int fontSize = 8)
    {
        end();
        error(text, fontSize);
        return false;
    }
    // Runs a step of the work; true when it went through. A cancel ends the work quietly;
    // a refusal (the text step returns) or an error ends it with its message.
    template <typename Step>
    bool attempt(Step step)
    {
        QString refusal;
        try {
            refusal = step();
        } catch (const shell::Cancelled&) {
            end();
            return false;
        } catch (const std::exception& e) {
            refusal = processError() + CrLf + errorText(e);
        }
        return refusal.isEmpty() || fail(refusal);
    }

private:
    std::optional<shell::Progress> progress_;
};

// Writes path through a temporary file beside it that write() fills and a rename that
// replaces any file of that name whole. Throws with the reason.
template <typename Write>
void writeReplacing(const QString& path, const QString& listFolder, Write write)
{
    shell::TempFile tmp(path, listFolder);
    write(tmp.path());
    tmp.replaceTarget();
}

QString currentSchema(db::Connection& conn)
{
    return conn.scalar(QStringLiteral("select current_schema()")).toString();
}

bool schemaExists(db::Connection& conn, const QString& schema)
{
    return conn.scalar(QStringLiteral("select count(*) from pg_catalog.pg_namespace where nspname = $1"), {schema})
               .toLongLong()
        > 0;
}

void pgDump(const QString& conninfo, const QString& schema, const QString& file, int lockWaitMs,
            const std::function<void()>& poll)
{
    db::pgtools::run(QStringLiteral("pg_dump"),
                     {QStringLiteral("-Fc"), QStringLiteral("--lock-wait-timeout=%1").arg(lockWaitMs), QStringLiteral("-n"),
                      db::pgtools::quoteIdent(schema), QStringLiteral("-f"), file},
                     conninfo, {}, -1, poll);
}

// Restores load an archive into a schema of their own, named after the server process of
// the connection that works on it, so a schema whose process has ended is a leftover.
const QString kStagingPrefix = QStringLiteral("dovin_restore_");

// The schema an archive is loaded into beside the program's, brought up to this version
// there, and then put in the program's schema's place in one transaction. Dropped unless
// it took that place.
class StagingSchema {
public:
    explicit StagingSchema(const QString& conninfo) : conn_(db::Connection::openPostgres(conninfo))
    {
        name_ = kStagingPrefix + QString::number(conn_->scalar(QStringLiteral("select pg_backend_pid()")).toLongLong());
        conn_->setCatalog(&SchemaCatalog());
    }
    ~StagingSchema()
    {
        // the server session of a helper stopped half way may still hold locks in the
        // schema for a moment after the helper has gone
        const QString drop = QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(db::pgtools::quoteIdent(name_));
        for (int attempt = 0; !replaced_ && attempt < 5 && !conn_->tryExec(drop); ++attempt)
            QThread::msleep(200);
    }
    const QString& name() const { return name_; }
    // The connection working in the schema once it is loaded.
    db::Connection& use()
    {
        conn_->exec(QStringLiteral("SET search_path TO %1").arg(db::pgtools::quoteIdent(name_)));
        return *conn_;
    }
    // Drops live and gives this schema its name, waiting at most lockWaitMs for other users'
    // locks; on failure nothing changed.
    void replace(const QString& live, int lockWaitMs)
    {
        using db::pgtools::quoteIdent;
        db::inTransaction(*conn_, [&] {
            conn_->exec(QStringLiteral("SET LOCAL lock_timeout = %1").arg(lockWaitMs));
            conn_->exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(quoteIdent(live)));
            conn_->exec(QStringLiteral("ALTER SCHEMA %1 RENAME TO %2").arg(quoteIdent(name_), quoteIdent(live)));
        });
        replaced_ = true;
    }

private:
    std::unique_ptr<db::Connection> conn_;
    QString name_;
    bool replaced_ = false;
};

// Drops the schemas of restores whose server process has ended.
void dropStagingLeftovers(db::Connection& conn)
{
    QStringList names;
    {
        auto cur = conn.query(
            QStringLiteral("select nspname from pg_catalog.pg_namespace where substr(nspname, 1, %1) = $1")
                .arg(kStagingPrefix.size()),
            {kStagingPrefix});
        while (cur->next()) {
            const auto n = cur->text(0);
            names << QString::fromUtf8(n.data(), qsizetype(n.size()));
        }
    }
    for (const QString& name : names) {
        const QString pid = name.mid(kStagingPrefix.size()).section(QLatin1Char('_'), 0, 0);
        if (conn.scalar(QStringLiteral("select count(*) from pg_stat_activity where pid::text = $1"), {pid}).toLongLong() == 0)
            conn.tryExec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(db::pgtools::quoteIdent(name)));
    }
}

// Runs the datasets' reopening at the end of a restore, however it ends.
class Reopen {
public:
    explicit Reopen(const TBackUpTarget& t) : t_(t) {}
    ~Reopen()
    {
        if (t_.reopenDataSets)
            t_.reopenDataSets();
    }

private:
    const TBackUpTarget& t_;
};

// The end of a restore once the chosen file is staged apart from the data: the data of
// before kept in previous (keep writes them to a file), then replace() past the point of
// no return, whose failure leaves the data of before; drop() lets the staged copy go
// before the datasets are read again. True when the data were replaced.
template <typename Keep, typename Replace, typename Drop>
bool keepAndReplace(Work& work, const QString& previous, const QString& listFolder, Keep keep, Replace replace, Drop drop)
{
    work.start(restoreTitle());
    try {
        writeReplacing(previous, listFolder, keep);
    } catch (const shell::Cancelled&) {
        work.end();
        return false;
    } catch (const std::exception&) {
        return work.fail(retryText(), 10);
    }
    work.pastReturn();
    QString failure;
    try {
        replace();
    } catch (const std::exception& e) {
        // a failed replacement is rolled back whole: the data are those of before
        failure = processError() + CrLf + restoredText() + CrLf + errorText(e);
    }
    drop();
    if (!failure.isEmpty())
        return work.fail(failure);
    work.end();
    return true;
}

} // namespace

void RemoveBackUpLeftovers(db::Connection& conn, const QString& programFolder)
{
    shell::RemoveLeftovers(programFolder);
    if (conn.engine() != db::Engine::PostgreSQL)
        return;
    try {
        dropStagingLeftovers(conn);
    } catch (const db::DbError&) {
        // the next backup tries again
    }
}

TBackUp::TBackUp(TBackUpTarget target) : t_(std::move(target)) {}
TBackUp::~TBackUp() = default;

bool TBackUp::ConfirmRestore()
{
    return ShowMessageDlg(dkQuestion, QString(),
                          QStringLiteral("در صورت ادامه دادن ، كليه اطلاعات با اطلاعات فايل  انتخاب شده") + CrLf
                              + QStringLiteral("جايگزين مي شوند ، آيا ادامه مي دهيد؟"),
                          dbYes | dbNo, 10)
        == shell::ResultYes;
}

bool TBackUp::Release() const
{
    return !t_.releaseDataSets || t_.releaseDataSets();
}

bool TBackUp::UpgradeIfOld(db::Connection& conn, bool isAccess) const
{
    const auto update = MakeDBUpdate(conn, isAccess, t_.programFolder);
    return update->IsComplete() || update->Update(0);
}

// ---- the file database ----

QString TBackUpAccess::PreviousDataFile() const { return t_.programFolder + QStringLiteral("load_pre_bk.mdb"); }

bool TBackUpAccess::BackUp(const QString& fileName)
{
    RemoveBackUpLeftovers(Conn(), t_.programFolder);
    Work work;
    work.start(backUpTitle());
    if (!work.attempt([&] {
            writeReplacing(fileName, t_.programFolder,
                           [&](const QString& tmp) { Conn().backupTo(tmp, 5000, work.copySteps()); });
            return QString();
        }))
        return false;
    work.end();
    info(QStringLiteral("عمليات ذخيره سازي به پايان رسيد"), 10);
    return true;
}

bool TBackUpAccess::Restore(const QString& fileName)
{
    if (!ConfirmRestore())
        return false;
    RemoveBackUpLeftovers(Conn(), t_.programFolder);

    // the chosen file, copied and checked apart from the data, and brought up to this version
    std::optional<Reopen> reopen;   // runs last, once the files below are gone
    Work work;
    work.start(restoreTitle());
    std::optional<shell::TempFile> staging;
    staging.emplace(t_.programFolder + QStringLiteral("restore.mdb"), t_.programFolder);
    if (!work.attempt([&] {
            auto check = db::Connection::openSqlite(staging->path(), true);
            try {
                check->restoreFrom(fileName, t_.lockWaitMs, work.copySteps());
            } catch (const db::DbError& e) {
                return corruptText() + CrLf + e.message();
            }
            const QString verdict =
                work.aside([&check] { return check->scalar(QStringLiteral("PRAGMA quick_check")).toString(); });
            if (verdict != QLatin1String("ok"))
                return corruptText();
            for (const QString& table : BaseTables(TSchemaDb::Agency))
                if (!check->tableExists(table))
                    return foreignText();
            check->setCatalog(&SchemaCatalog());
            return UpgradeIfOld(*check, true) ? QString() : upgradeFailedText();
        }))
        return false;
    work.end();   // the save question of a record being typed

    if (!Release())
        return false;
    reopen.emplace(t_);
    const bool replaced = keepAndReplace(
        work, PreviousDataFile(), t_.programFolder,
        [&](const QString& tmp) { Conn().backupTo(tmp, 5000, work.copySteps()); },
        [&] { Conn().restoreFrom(staging->path(), t_.lockWaitMs, work.copySteps()); },
        [&] { staging.reset(); });
    if (replaced)
        info(QStringLiteral("عمليات بازيابي به پايان رسيد"), 10);
    return replaced;
}

// ---- the server database ----

QString TBackUpSQL::PreviousDataFile() const { return t_.programFolder + QStringLiteral("load_pre_bk.zdq"); }

bool TBackUpSQL::BackUp(const QString& fileName)
{
    RemoveBackUpLeftovers(Conn(), t_.programFolder);
    Work work;
    work.start(backUpTitle());
    if (!work.attempt([&] {
            const QString schema = currentSchema(Conn());
            writeReplacing(fileName, t_.programFolder, [&](const QString& tmp) {
                pgDump(t_.serverConnInfo, schema, tmp, t_.lockWaitMs, work.waitSteps());
            });
            return QString();
        }))
        return false;
    work.end();
    info(QStringLiteral("پايان عمليات"), 8);
    return true;
}

bool TBackUpSQL::Restore(const QString& fileName)
{
    using db::pgtools::quoteIdent;
    if (!ConfirmRestore())
        return false;
    RemoveBackUpLeftovers(Conn(), t_.programFolder);

    // the archive's contents, read whole into a script before anything is touched
    std::optional<Reopen> reopen;   // runs last, once the files and the schema below are gone
    Work work;
    work.start(restoreTitle());
    std::optional<shell::TempFile> listFile, script;
    listFile.emplace(t_.programFolder + QStringLiteral("restore.lst"), t_.programFolder);
    script.emplace(t_.programFolder + QStringLiteral("restore.sql"), t_.programFolder);
    QString archiveSchema;
    if (!work.attempt([&] {
            try {
                const auto toc = db::pgtools::parseToc(db::pgtools::run(QStringLiteral("pg_restore"),
                                                                        {QStringLiteral("-l"), fileName},
                                                                        t_.serverConnInfo, {}, -1, work.waitSteps()));
                QSet<QString> schemas, tables;
                QByteArray list;
                for (const auto& e : toc) {
                    if (e.type == QLatin1String("TABLE")) {
                        schemas << e.schema;
                        tables << e.name.toLower();
                    }
                    if (e.type != QLatin1String("SCHEMA"))   // the schema is made below
                        list += e.line.toUtf8() + '\n';
                }
                for (const QString& table : BaseTables(TSchemaDb::Agency))
                    if (!tables.contains(table.toLower()) || schemas.size() != 1)
                        return foreignText();
                archiveSchema = *schemas.begin();
                QFile f(listFile->path());
                if (!f.open(QIODevice::WriteOnly) || f.write(list) != list.size())
                    throw std::runtime_error(f.errorString().toStdString());
                f.close();
                db::pgtools::run(QStringLiteral("pg_restore"),
                                 {QStringLiteral("-O"), QStringLiteral("-x"), QStringLiteral("-L"), listFile->path(),
                                  QStringLiteral("-f"), script->path(), fileName},
                                 t_.serverConnInfo, {}, -1, work.waitSteps());
            } catch (const db::DbError& e) {
                return corruptText() + CrLf + e.message();
            }
            return QString();
        }))
        return false;

    // loaded into a schema beside the data (the archive's schema name, when in use, is
    // lent for the time of the load) and brought up to this version there
    QString live;
    std::unique_ptr<StagingSchema> staging;
    if (!work.attempt([&] {
            live = currentSchema(Conn());
            staging = std::make_unique<StagingSchema>(t_.serverConnInfo);
            const QString lent = staging->name() + QStringLiteral("_lent");
            const bool taken = schemaExists(Conn(), archiveSchema);
            QStringList args = {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-1"), QStringLiteral("-v"),
                                QStringLiteral("ON_ERROR_STOP=1")};
            if (taken)
                args << QStringLiteral("-c")
                     << QStringLiteral("ALTER SCHEMA %1 RENAME TO %2").arg(quoteIdent(archiveSchema), quoteIdent(lent));
            args << QStringLiteral("-c") << QStringLiteral("CREATE SCHEMA %1").arg(quoteIdent(archiveSchema))
                 << QStringLiteral("-f") << script->path() << QStringLiteral("-c")
                 << QStringLiteral("ALTER SCHEMA %1 RENAME TO %2").arg(quoteIdent(archiveSchema), quoteIdent(staging->name()));
            if (taken)
                args << QStringLiteral("-c")
                     << QStringLiteral("ALTER SCHEMA %1 RENAME TO %2").arg(quoteIdent(lent), quoteIdent(archiveSchema));
            db::pgtools::run(QStringLiteral("psql"), args, t_.serverConnInfo,
                             QStringLiteral("-c lock_timeout=%1").arg(t_.lockWaitMs), -1, work.waitSteps());
            listFile.reset();
            script.reset();
            return UpgradeIfOld(staging->use(), false) ? QString() : upgradeFailedText();
        }))
        return false;
    work.end();   // the save question of a record being typed

    if (!Release())
        return false;
    reopen.emplace(t_);
    const bool replaced = keepAndReplace(
        work, PreviousDataFile(), t_.programFolder,
        [&](const QString& tmp) { pgDump(t_.serverConnInfo, live, tmp, t_.lockWaitMs, work.waitSteps()); },
        [&] { staging->replace(live, t_.lockWaitMs); }, [&] { staging.reset(); });
    if (replaced)
        info(QStringLiteral("پايان عمليات"), 8);
    return replaced;
}

// ---- the actions ----

std::unique_ptr<TBackUp> CreateBackUp(bool isAccess, TBackUpTarget target)
{
    if (isAccess)
        return std::make_unique<TBackUpAccess>(std::move(target));
    return std::make_unique<TBackUpSQL>(std::move(target));
}

TBackUpTarget DataModuleTarget(TDm& dm, bool isAccess, std::function<bool()> askPending)
{
    TBackUpTarget t;
    t.conn = dm.Conn.get();
    t.programFolder = ProgramFolder();
    if (!isAccess) {
        TServerPath server;
        QString ignored;
        if (ReadServerPath(&server, &ignored))
            t.serverConnInfo = server.conninfo();
    }
    auto wasOpen = std::make_shared<std::vector<db::DataSet*>>();
    t.releaseDataSets = [&dm, askPending, wasOpen] {
        if (askPending && !askPending())
            return false;
        wasOpen->clear();
        for (db::DataSet* ds : dm.DataSets())
            if (ds->connection() == dm.Conn.get() && ds->Active()) {
                wasOpen->push_back(ds);
                ds->Close();
            }
        return true;
    };
    t.reopenDataSets = [&dm, wasOpen] {
        try {
            dm.OpenDataSets();
            for (db::DataSet* ds : *wasOpen)
                if (!ds->Active())
                    ds->Open();
        } catch (const std::exception& e) {
            error(processError() + CrLf + errorText(e));
        }
    };
    return t;
}

QString BackUpFileFilter(bool isAccess)
{
    return isAccess ? QStringLiteral("ذخيره دوين ومرا (*.zdc)") : QStringLiteral("ذخيره دوين ومرا (*.zdq)");
}

QString DefaultBackUpName(const TTools& tools)
{
    const QString d = tools.TodayShamsi();
    return d.mid(0, 4) + d.mid(5, 2) + d.mid(8, 2) + QLatin1Char('_') + tools.NowHHmm().remove(QLatin1Char(':'));
}

QString WithBackUpExtension(const QString& fileName, const QString& ext)
{
    return fileName.endsWith(ext, Qt::CaseSensitive) ? fileName : fileName + ext;
}

namespace {

bool commitOpenTransactions(db::Connection& conn)
{
    try {
        while (conn.inTransaction())
            conn.commit();
        return true;
    } catch (const std::exception& e) {
        error(processError() + CrLf + errorText(e));
        return false;
    }
}

} // namespace

bool SaveBackUpAs(TBackUp& backup, bool isAccess, const TTools& tools)
{
    if (!commitOpenTransactions(backup.Conn()))
        return false;
    shell::FileRequest r;
    r.caption = QStringLiteral("ذخيره - نام فايل مورد نظر را وارد کنيد");
    r.filter = BackUpFileFilter(isAccess);
    r.fileName = DefaultBackUpName(tools);
    r.overwritePrompt = false;   // asked below, after the extension is known
    const QString chosen = shell::prompter().saveFile(r);
    if (chosen.isEmpty())
        return false;

    const QString fileName = WithBackUpExtension(chosen, backup.Extension());
    if (QFileInfo::exists(fileName)) {
        shell::PlainMessageRequest q;
        q.caption = QStringLiteral("Confirm");
        q.text = QStringLiteral("نام وارد شده در اين مسير موجود مي باشد") + CrLf + QStringLiteral("آيا حذف شود؟");
        q.buttons = shell::PlainMessageRequest::YesNo;
        if (shell::prompter().plainMessage(q) != shell::ResultYes) {
            shell::PlainMessageRequest e;
            e.caption = QStringLiteral("Error");
            e.text = QStringLiteral("اطلاعات ذخيره نشدند");
            e.error = true;
            shell::prompter().plainMessage(e);
            return false;
        }
    }
    return backup.BackUp(fileName);
}

bool LoadBackUpFrom(TBackUp& backup, bool isAccess)
{
    if (!commitOpenTransactions(backup.Conn()))
        return false;
    shell::FileRequest r;
    r.caption = QStringLiteral("بازيابي اطلاعات");
    r.filter = BackUpFileFilter(isAccess);
    const QString fileName = shell::prompter().openFile(r);
    if (fileName.isEmpty())
        return false;

    if (!QFileInfo::exists(fileName)) {
        error(QStringLiteral("فايل انتخاب شده وجود ندارد"));
        return false;
    }
    return backup.Restore(fileName);
}
