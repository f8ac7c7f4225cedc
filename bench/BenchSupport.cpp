#include "BenchSupport.h"

#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/Schema.h"
#include "core/TDBUpdate.h"
#include "core/TDm.h"
#include "core/TTMSTemplate.h"
#include "platform/db/Catalog.h"
#include "platform/db/Connection.h"
#include "platform/db/Sql.h"

#include <QAbstractScrollArea>
#include <QStringList>
#include <QFile>
#include <QRandomGenerator>
#include <cstdio>
#include <cstdlib>
#include <libpq-fe.h>
#include <sqlite3.h>

namespace bench {

namespace {

// A copy that fails ends the bench: a half-filled table would be measured as a whole one.
[[noreturn]] void copyFailed(pg_conn* conn)
{
    std::fprintf(stderr, "copy to the server failed: %s\n", PQerrorMessage(conn));
    std::exit(2);
}

} // namespace

PgCopy::PgCopy(pg_conn* conn, const QString& table, const QStringList& columns) : conn_(conn)
{
    PGresult* r = PQexec(conn_, QStringLiteral("COPY %1 (%2) FROM STDIN").arg(table, columns.join(QLatin1Char(','))).toUtf8().constData());
    const bool ok = PQresultStatus(r) == PGRES_COPY_IN;
    PQclear(r);
    if (!ok)
        copyFailed(conn_);
}

PgCopy::~PgCopy() { finish(); }

void PgCopy::cell()
{
    if (!first_)
        batch_ += '\t';
    first_ = false;
}

void PgCopy::add(const QByteArray& text)
{
    cell();
    batch_ += text;
}

void PgCopy::addNull()
{
    cell();
    batch_ += "\\N";
}

void PgCopy::endRow()
{
    batch_ += '\n';
    first_ = true;
    if (batch_.size() > (1 << 20)) {
        if (PQputCopyData(conn_, batch_.constData(), int(batch_.size())) != 1)
            copyFailed(conn_);
        batch_.clear();
    }
}

void PgCopy::finish()
{
    if (done_)
        return;
    done_ = true;
    if (PQputCopyData(conn_, batch_.constData(), int(batch_.size())) != 1 || PQputCopyEnd(conn_, nullptr) != 1)
        copyFailed(conn_);
    bool ok = true;
    while (PGresult* r = PQgetResult(conn_)) {
        ok = ok && PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
    }
    if (!ok)
        copyFailed(conn_);
}

int QuietPrompter::messageDlg(const shell::MessageRequest& r) { return say(r.text); }
std::optional<QString> QuietPrompter::inputBox(const shell::InputRequest&) { return std::nullopt; }
int QuietPrompter::plainMessage(const shell::PlainMessageRequest& r) { return say(r.text); }
QString QuietPrompter::openFile(const shell::FileRequest&) { return {}; }
QString QuietPrompter::saveFile(const shell::FileRequest&) { return {}; }
QString QuietPrompter::chooseDirectory(const shell::FileRequest&) { return {}; }
std::optional<QFont> QuietPrompter::chooseFont(const QFont&) { return std::nullopt; }
std::optional<QColor> QuietPrompter::chooseColor(const QColor&) { return std::nullopt; }
bool QuietPrompter::printSetup(QPrinter&) { return false; }
bool QuietPrompter::preview(report::PreparedReport&, const QString&) { return false; }
bool QuietPrompter::shellOpen(const QString&) { return false; }

int QuietPrompter::say(const QString& text)
{
    std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    return shell::ResultOk;
}

void bindText(sqlite3_stmt* st, int k, const QByteArray& utf8)
{
    sqlite3_bind_text(st, k, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
}

void bindText(sqlite3_stmt* st, int k, const QString& text) { bindText(st, k, text.toUtf8()); }

sqlite3* beginFill(const QString& path)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    return db;
}

void endFill(sqlite3* db)
{
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

long stepAll(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, db::stripNationalPrefix(sql).toUtf8().constData(), -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    long rows = 0, touched = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < n; ++c)
            if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                touched += sqlite3_column_bytes(st, c);
            else
                touched += sqlite3_column_double(st, c) != 0;
        ++rows;
    }
    sqlite3_finalize(st);
    return touched >= 0 ? rows : -1;
}

long rawSteps(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    const long rows = stepAll(db, sql);
    sqlite3_close(db);
    return rows;
}

void reshow(QWidget* window, QAbstractScrollArea* grid)
{
    window->hide();
    window->show();
    grid->viewport()->grab();
    QApplication::processEvents();
}

namespace {

int& offscreenUnlessSet(int& argc)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return argc;
}

} // namespace

int rowsFor(int normal)
{
    return QCoreApplication::arguments().contains(QStringLiteral("--million")) ? 1000000 : normal;
}

Application::Application(int& argc, char** argv, shell::Prompter& prompter)
    : QApplication(offscreenUnlessSet(argc), argv)
{
    shell::setPrompter(&prompter);
}

ProgramFolder::ProgramFolder()
{
    qputenv("DOVIN_HOME", dir_.path().toUtf8());
    IsAccess = true;
    TRUEPREFIX = QStringLiteral("-");
}

QString ProgramFolder::path() const { return dir_.path() + QLatin1Char('/'); }
QString ProgramFolder::file(const QString& name) const { return dir_.filePath(name); }
QString ProgramFolder::agencyFile() const { return file(QStringLiteral("mdbDovin.mdb")); }
QString ProgramFolder::usersFile() const { return file(QStringLiteral("dbusers.mdb")); }

void ProgramFolder::buildTaxTemplate() const
{
    if (QFile::exists(file(QStringLiteral("TTMS_empty.mdb"))))
        return;
    const QString data = QStringLiteral(DOVIN_SOURCE_DIR "/resources/data/");
    ttms::BuildTemplate(file(QStringLiteral("TTMS_empty.mdb")), data + QStringLiteral("zone.csv"),
                        data + QStringLiteral("edareKol.csv"));
}

std::unique_ptr<db::Connection> ProgramFolder::createDatabases() const
{
    buildTaxTemplate();
    auto conn = db::Connection::openSqlite(agencyFile(), true);
    conn->setCatalog(&SchemaCatalog());
    CreateBaseSchema(*conn, TSchemaDb::Agency);
    MakeDBUpdate(*conn, true, path())->Update(0);
    auto users = db::Connection::openSqlite(usersFile(), true);
    CreateBaseSchema(*users, TSchemaDb::Users);
    return conn;
}

void ProgramFolder::connect(TDm& dm) const
{
    dm.Connect(db::Connection::openSqlite(agencyFile()), db::Connection::openSqlite(usersFile()));
}

// Realistic rows: owners, phones, kinds, amounts, dates, amenities and their titles.
void fillProperties(const QString& path, int rows)
{
    const db::TableDef& t = *BaseCatalog().table(QStringLiteral("T_Melk"));
    QStringList cols, marks;
    std::vector<const db::ColumnDef*> defs;
    for (const db::ColumnDef& c : t.columns)
        if (c.kind != db::ColumnKind::Counter) {
            cols << c.name;
            marks << QStringLiteral("?");
            defs.push_back(&c);
        }
    sqlite3* db = beginFill(path);
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QStringLiteral("insert into T_Melk (%1) values (%2)")
                               .arg(cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))
                               .toUtf8();
    sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
    const QStringList names = {QStringLiteral("محمد رضايي"), QStringLiteral("زهرا احمدي"), QStringLiteral("علي کريمي"),
                               QStringLiteral("مريم حسيني"), QStringLiteral("حسن محمدي")};
    const QStringList kinds = {QStringLiteral("آپارتمان"), QStringLiteral("ويلايي"), QStringLiteral("مغازه"),
                               QStringLiteral("زمين")};
    const QStringList deals = {QStringLiteral("فروش"), QStringLiteral("رهن کامل"), QStringLiteral("اجاره کامل"),
                               QStringLiteral("رهن و اجاره")};
    QRandomGenerator rnd(42);
    for (int i = 0; i < rows; ++i) {
        int k = 1;
        for (const db::ColumnDef* c : defs) {
            const QString n = c->name.toLower();
            QString text;
            switch (c->kind) {
            case db::ColumnKind::Boolean:
                sqlite3_bind_int(st, k++, n == QLatin1String("hazfshodeh") ? (rnd.bounded(10) == 0 ? -1 : 0)
                                                                           : (rnd.bounded(2) ? -1 : 0));
                continue;
            case db::ColumnKind::Money: sqlite3_bind_double(st, k++, double(rnd.bounded(1, 500000)) * 10000); continue;
            case db::ColumnKind::Double: sqlite3_bind_double(st, k++, rnd.bounded(40, 900) + 0.5); continue;
            case db::ColumnKind::Byte:
            case db::ColumnKind::Integer: sqlite3_bind_int(st, k++, int(rnd.bounded(0, 12))); continue;
            default: break;
            }
            if (n.endsWith(QLatin1String("_s")))
                text = QString::fromUtf8(Features()[int(rnd.bounded(FeatureCount))].defaultTitle);
            else if (n.startsWith(QLatin1String("tarikh")))
                text = QStringLiteral("1403/%1/%2").arg(rnd.bounded(1, 13), 2, 10, QLatin1Char('0')).arg(rnd.bounded(1, 30), 2, 10, QLatin1Char('0'));
            else if (n == QLatin1String("malekesm"))
                text = names[int(rnd.bounded(names.size()))];
            else if (n.contains(QLatin1String("tel")) || n.contains(QLatin1String("mobile")))
                text = QStringLiteral("0912%1").arg(rnd.bounded(1000000, 9999999));
            else if (n == QLatin1String("novmelk"))
                text = kinds[int(rnd.bounded(kinds.size()))];
            else if (n.endsWith(QLatin1String("type")))
                text = deals[int(rnd.bounded(deals.size()))];
            else if (n == QLatin1String("addr"))
                text = QStringLiteral("تهران، خيابان آزادي، کوچه %1").arg(rnd.bounded(1, 40));
            else if (c->size >= 200)
                text = rnd.bounded(3) == 0 ? QStringLiteral("نوساز، نورگير") : QString();
            bindText(st, k++, text);
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    endFill(db);
}

std::unique_ptr<db::Connection> freshServerSchema(const QString& schema, const QString& folder, QString* info)
{
    const QString base = qEnvironmentVariable("DOVIN_TEST_PG");
    auto admin = db::Connection::openPostgres(base);
    admin->exec(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(schema));
    admin->exec(QStringLiteral("CREATE SCHEMA %1").arg(schema));
    *info = base + QStringLiteral(" options='-c search_path=%1'").arg(schema);
    auto pg = db::Connection::openPostgres(*info);
    pg->setCatalog(&SchemaCatalog());
    CreateBaseSchema(*pg, TSchemaDb::Agency);
    MakeDBUpdate(*pg, false, folder)->Update(0);
    return pg;
}

void dropServerSchema(const QString& schema)
{
    db::Connection::openPostgres(qEnvironmentVariable("DOVIN_TEST_PG"))->exec(QStringLiteral("DROP SCHEMA %1 CASCADE").arg(schema));
}

// A table's columns ("a, b, c") copied from the file database to the server with COPY.
void copyToServer(sqlite3* from, PGconn* to, const char* table, const char* columns)
{
    PgCopy copy(to, QLatin1String(table), QString::fromLatin1(columns).split(QStringLiteral(", ")));
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(from, QStringLiteral("select %1 from %2").arg(QLatin1String(columns), QLatin1String(table)).toUtf8().constData(), -1, &st,
                       nullptr);
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
            if (sqlite3_column_type(st, c) == SQLITE_NULL)
                copy.addNull();
            else
                copy.add(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
        }
        copy.endRow();
    }
    sqlite3_finalize(st);
}

} // namespace bench
