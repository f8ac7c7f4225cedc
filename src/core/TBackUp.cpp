#include "core/TBackUp.h"

#include "core/ConnectionFiles.h"
#include "core/ProgramFolder.h"
#include "core/Schema.h"
#include "core/TDBUpdate.h"
#include "core/TDm.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/PgTools.h"
#include "platform/shell/Prompter.h"
#include "ui/Dialogs.h"
#include "ui/TTools.h"
#include "ui/WaitCursor.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString errorText(const std::exception& e)
{
    if (const auto* d = dynamic_cast<const db::DbError*>(&e))
        return d->message();
    return QString::fromUtf8(e.what());
}

void info(const QString& text, int fontSize) { ShowMessageDlg(dkInfo, QString(), text, dbOk, fontSize); }
void error(const QString& text, int fontSize = 8) { ShowMessageDlg(dkError, QString(), text, dbOk, fontSize); }

QString processError() { return QStringLiteral("خطايي در روند برنامه پيش آمد"); }
QString corruptText() { return QStringLiteral("فايل انتخاب شده سالم نيست و بازيابي انجام نشد"); }
QString foreignText() { return QStringLiteral("فايل انتخاب شده فايل پشتيبان اين برنامه نيست و بازيابي انجام نشد"); }

// A free name beside path for the file that is renamed over it when complete.
QString temporaryBeside(const QString& path)
{
    for (;;) {
        const QString t = path + QStringLiteral(".~%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        if (!QFileInfo::exists(t))
            return t;
    }
}

// Writes path through a temporary file that write() fills and a rename that replaces any
// file of that name whole. Throws with the reason.
template <typename Write>
void writeReplacing(const QString& path, Write write)
{
    const QString tmp = temporaryBeside(path);
    try {
        write(tmp);
    } catch (...) {
        QFile::remove(tmp);
        throw;
    }
    if (std::rename(QFile::encodeName(tmp).constData(), QFile::encodeName(path).constData()) != 0) {
        const QString reason = QString::fromLocal8Bit(std::strerror(errno));
        QFile::remove(tmp);
        throw std::runtime_error((QStringLiteral("خطا در کپي کردن اطلاعات") + CrLf + path + CrLf + reason).toStdString());
    }
}

QString currentSchema(db::Connection& conn)
{
    return conn.scalar(QStringLiteral("select current_schema()")).toString();
}

void pgDump(const QString& conninfo, const QString& schema, const QString& file, int lockWaitMs)
{
    db::pgtools::run(QStringLiteral("pg_dump"),
                     {QStringLiteral("-Fc"), QStringLiteral("--lock-wait-timeout=%1").arg(lockWaitMs), QStringLiteral("-n"),
                      db::pgtools::quoteIdent(schema), QStringLiteral("-f"), file},
                     conninfo);
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

} // namespace

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

void TBackUp::UpgradeIfOld(db::Connection& conn, bool isAccess) const
{
    const auto update = MakeDBUpdate(conn, isAccess, t_.programFolder);
    if (!update->IsComplete())
        update->Update(0);
}

// ---- the file database ----

QString TBackUpAccess::PreviousDataFile() const { return t_.programFolder + QStringLiteral("load_pre_bk.mdb"); }

bool TBackUpAccess::BackUp(const QString& fileName)
{
    try {
        writeReplacing(fileName, [&](const QString& tmp) { Conn().backupTo(tmp); });
    } catch (const std::exception& e) {
        error(processError() + CrLf + errorText(e));
        return false;
    }
    info(QStringLiteral("عمليات ذخيره سازي به پايان رسيد"), 10);
    return true;
}

bool TBackUpAccess::Restore(const QString& fileName)
{
    if (!ConfirmRestore())
        return false;

    // the chosen file, copied and checked apart from the data
    std::optional<WaitCursor> wait;
    wait.emplace();
    QTemporaryDir work;
    const QString staging = work.filePath(QStringLiteral("restore.db"));
    try {
        auto check = db::Connection::openSqlite(staging, true);
        try {
            check->restoreFrom(fileName, t_.lockWaitMs);
        } catch (const db::DbError& e) {
            error(corruptText() + CrLf + e.message());
            return false;
        }
        if (check->scalar(QStringLiteral("PRAGMA quick_check")).toString() != QLatin1String("ok")) {
            error(corruptText());
            return false;
        }
        for (const QString& table : BaseTables(TSchemaDb::Agency))
            if (!check->tableExists(table)) {
                error(foreignText());
                return false;
            }
        check->setCatalog(&SchemaCatalog());
        UpgradeIfOld(*check, true);
    } catch (const std::exception& e) {
        error(processError() + CrLf + errorText(e));
        return false;
    }

    wait.reset();   // the save question of a record being typed
    if (!Release())
        return false;
    Reopen reopen(t_);
    wait.emplace();

    try {
        writeReplacing(PreviousDataFile(), [&](const QString& tmp) { Conn().backupTo(tmp); });
    } catch (const std::exception&) {
        error(QStringLiteral("خطايي در روند برنامه پيش آمد ، مجددا سعي كنيد"), 10);
        return false;
    }

    try {
        Conn().restoreFrom(staging, t_.lockWaitMs);
    } catch (const std::exception& e) {
        // a failed copy is rolled back whole: the data are those of before
        error(processError() + CrLf + QStringLiteral("اطلاعات قبلي ، برگردانده شدند") + CrLf + errorText(e));
        return false;
    }
    info(QStringLiteral("عمليات بازيابي به پايان رسيد"), 10);
    return true;
}

// ---- the server database ----

QString TBackUpSQL::PreviousDataFile() const { return t_.programFolder + QStringLiteral("load_pre_bk.zdq"); }

bool TBackUpSQL::BackUp(const QString& fileName)
{
    try {
        const QString schema = currentSchema(Conn());
        writeReplacing(fileName, [&](const QString& tmp) { pgDump(t_.serverConnInfo, schema, tmp, t_.lockWaitMs); });
    } catch (const std::exception& e) {
        error(processError() + CrLf + errorText(e));
        return false;
    }
    info(QStringLiteral("پايان عمليات"), 8);
    return true;
}

bool TBackUpSQL::Restore(const QString& fileName)
{
    using db::pgtools::quoteIdent;
    if (!ConfirmRestore())
        return false;

    // the archive's contents, read whole into a script before anything is touched
    std::optional<WaitCursor> wait;
    wait.emplace();
    QTemporaryDir work;
    const QString listFile = work.filePath(QStringLiteral("list"));
    const QString script = work.filePath(QStringLiteral("restore.sql"));
    QString archiveSchema;
    try {
        const auto toc = db::pgtools::parseToc(
            db::pgtools::run(QStringLiteral("pg_restore"), {QStringLiteral("-l"), fileName}, t_.serverConnInfo));
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
            if (!tables.contains(table.toLower()) || schemas.size() != 1) {
                error(foreignText());
                return false;
            }
        archiveSchema = *schemas.begin();
        QFile f(listFile);
        if (!f.open(QIODevice::WriteOnly) || f.write(list) != list.size())
            throw std::runtime_error(f.errorString().toStdString());
        f.close();
        db::pgtools::run(QStringLiteral("pg_restore"),
                         {QStringLiteral("-O"), QStringLiteral("-x"), QStringLiteral("-L"), listFile, QStringLiteral("-f"),
                          script, fileName},
                         t_.serverConnInfo);
    } catch (const db::DbError& e) {
        error(corruptText() + CrLf + e.message());
        return false;
    } catch (const std::exception& e) {
        error(processError() + CrLf + errorText(e));
        return false;
    }

    wait.reset();   // the save question of a record being typed
    if (!Release())
        return false;
    Reopen reopen(t_);
    wait.emplace();

    QString live;
    try {
        live = currentSchema(Conn());
        writeReplacing(PreviousDataFile(), [&](const QString& tmp) { pgDump(t_.serverConnInfo, live, tmp, t_.lockWaitMs); });
    } catch (const std::exception&) {
        error(QStringLiteral("خطايي در روند برنامه پيش آمد ، مجددا سعي كنيد"), 10);
        return false;
    }

    // one transaction: the schema of now goes, the archive's takes its place
    QStringList args = {QStringLiteral("-X"), QStringLiteral("-q"), QStringLiteral("-1"), QStringLiteral("-v"),
                        QStringLiteral("ON_ERROR_STOP=1"),
                        QStringLiteral("-c"), QStringLiteral("DROP SCHEMA %1 CASCADE").arg(quoteIdent(live)),
                        QStringLiteral("-c"), QStringLiteral("CREATE SCHEMA %1").arg(quoteIdent(archiveSchema)),
                        QStringLiteral("-f"), script};
    if (archiveSchema != live)
        args << QStringLiteral("-c")
             << QStringLiteral("ALTER SCHEMA %1 RENAME TO %2").arg(quoteIdent(archiveSchema), quoteIdent(live));
    try {
        db::pgtools::run(QStringLiteral("psql"), args, t_.serverConnInfo, QStringLiteral("-c lock_timeout=%1").arg(t_.lockWaitMs));
    } catch (const std::exception& e) {
        error(processError() + CrLf + QStringLiteral("اطلاعات قبلي ، برگردانده شدند") + CrLf + errorText(e));
        return false;
    }
    try {
        UpgradeIfOld(Conn(), false);
    } catch (const std::exception& e) {
        error(processError() + CrLf + errorText(e));
    }
    info(QStringLiteral("پايان عمليات"), 8);
    return true;
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
            shell::prompter().plainMessage(e);
            return false;
        }
    }
    WaitCursor wait;
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
