#include "core/TDBUpdate.h"

#include "core/ProgramFolder.h"
#include "core/ProgramIni.h"
#include "core/UpgradeSchema.h"
#include "platform/db/Connection.h"
#include "platform/db/Sql.h"
#include "platform/shell/Progress.h"
#include "platform/shell/Prompter.h"
#include "ui/WaitCursor.h"

#include <QCoreApplication>
#include <QCursor>
#include <QScopedValueRollback>
#include <optional>
#include <QGuiApplication>
#include <cmath>
#include <vector>

using upgrade_schema::DateColumn;

namespace {

const QString CrLf = QStringLiteral("\r\n");

QString errorText(const std::exception& e)
{
    if (const auto* d = dynamic_cast<const db::DbError*>(&e))
        return d->message();
    return QString::fromUtf8(e.what());
}

void showMessage(int kind, const QString& text)
{
    shell::MessageRequest r;
    r.kind = kind;
    r.text = text;
    r.buttons = 1;
    r.fontSize = 8;
    r.fontName = QStringLiteral("tahoma");
    shell::prompter().messageDlg(r);
}

void showError(const QString& text)
{
    showMessage(0, QStringLiteral("خطايي در روند برنامه پيش آمد.") + CrLf + text);
}

// Upgrade statements over many rows take seconds each: the progress window shows after half a
// second and keeps painting while a statement runs.
class UpgradeProgress {
public:
    explicit UpgradeProgress(db::Connection& conn) : conn_(conn), progress_(QStringLiteral("بروز رساني پايگاه داده"))
    {
        conn_.setTicker([this] { progress_.step(0); });
    }
    ~UpgradeProgress() { conn_.setTicker({}); }
    UpgradeProgress(const UpgradeProgress&) = delete;
    UpgradeProgress& operator=(const UpgradeProgress&) = delete;

private:
    db::Connection& conn_;
    shell::Progress progress_;
};

void showPlain(const QString& text)
{
    shell::PlainMessageRequest r;
    r.text = text;
    shell::prompter().plainMessage(r);
}

QString cellText(db::Cursor& cur, int c)
{
    const auto t = cur.text(c);
    return QString::fromUtf8(t.data(), qsizetype(t.size())).trimmed();
}

qint64 cellCode(db::Cursor& cur, int c, const QString& table)
{
    const QString text = cellText(cur, c);
    bool ok = false;
    const qint64 v = text.toLongLong(&ok);
    if (!ok)
        throw db::DbError(db::ErrorCategory::Other,
                          QStringLiteral("%1.%2: '%3'").arg(table, cur.columnName(c), text));
    return v;
}

// An eight-character date yy/mm/dd gets its century: "14" below year 60, else "13";
// the empty mask becomes the ten-character one. Ten-character dates stay as they are.
QString rewriteDatesSql(const QString& table, const QString& c)
{
    return QStringLiteral("update %1 set %2 = case when %2 = %3 or %2 = %4 then %5 "
                          "when substr(%2, 1, 2) < %6 then %7 || %2 else %8 || %2 end "
                          "where length(%2) = 8 or %2 = %4")
        .arg(table, c, db::Q(QStringLiteral("__/__/__")), db::Q(QStringLiteral("13__/__/__")),
             db::Q(QStringLiteral("____/__/__")), db::Q(QStringLiteral("60")), db::Q(QStringLiteral("14")),
             db::Q(QStringLiteral("13")));
}

// Runs fn all or nothing: in a transaction of its own, or in a savepoint of an open one.
template <typename Fn>
void atomically(db::Connection& conn, Fn fn)
{
    if (!conn.inTransaction()) {
        db::inTransaction(conn, fn);
        return;
    }
    conn.exec(QStringLiteral("SAVEPOINT dovin_geo"));
    try {
        fn();
    } catch (...) {
        try {
            conn.exec(QStringLiteral("ROLLBACK TO SAVEPOINT dovin_geo"));
            conn.exec(QStringLiteral("RELEASE SAVEPOINT dovin_geo"));
        } catch (...) {
        }
        throw;
    }
    conn.exec(QStringLiteral("RELEASE SAVEPOINT dovin_geo"));
}

} // namespace

qint64 VersionKey(double version)
{
    return std::llround(version * 10000.0);
}

TDBUpdate::TDBUpdate(db::Connection& conn, QString programFolder)
    : conn_(conn), programFolder_(std::move(programFolder))
{
    if (!programFolder_.isEmpty() && !programFolder_.endsWith(QLatin1Char('/')))
        programFolder_ += QLatin1Char('/');
}

TDBUpdate::~TDBUpdate() = default;

void TDBUpdate::Run(const QString& sql, QStringList& errors)
{
    QString error;
    if (!conn_.tryExec(sql, &error))
        errors << error;
}

bool TDBUpdate::Update(qint64 old)
{
    QStringList errors;
    const QString view = QStringLiteral("V_Sood");
    std::optional<UpgradeProgress> progress(std::in_place, conn_);
    const QScopedValueRollback<bool> inUpgrade(upgrading_, true);

    // The view reads columns that the steps below add or widen.
    if (conn_.viewExists(view))
        Run(QStringLiteral("drop view V_Sood"), errors);

    CreateObjects(errors);

    if (old < 93800) {
        // Default party kinds, only where none was entered.
        const std::pair<const char*, int> kinds[] = {
            {"ownerPersonKind", 1}, {"ownerBuyerKind", 2}, {"custPersonKind", 1}, {"custBuyerKind", 2}};
        for (const auto& [column, value] : kinds)
            Run(QStringLiteral("update T_Sanad set %1 = %2 where %1 is null or %1 = 0")
                    .arg(QLatin1String(column))
                    .arg(value),
                errors);
    }

    // Deals stored before the discounts existed have none.
    for (const char* column : {"ownerDiscount", "customerDiscount"})
        Run(QStringLiteral("update T_Sanad set %1 = 0 where %1 is null").arg(QLatin1String(column)), errors);

    for (const auto& date : upgrade_schema::DateColumns())
        WidenDateColumn(date);
    CreateLookupIndexes(errors);

    if (!conn_.viewExists(view))
        Run(upgrade_schema::CreateSoodViewSql(), errors);
    progress.reset();

    if (!errors.isEmpty())
        showError(errors.join(CrLf));

    try {
        if (!GeoTablesFilled())
            ImportGeoTables();
    } catch (const std::exception& e) {
        showError(errorText(e));
    }

    const bool complete = IsComplete();
    if (complete)
        FinalMessage();
    return complete;
}

void TDBUpdate::CreateObjects(QStringList& errors)
{
    for (const auto& table : upgrade_schema::NewTables())
        if (!conn_.tableExists(table.def.name))
            Run(upgrade_schema::CreateTableSql(conn_.dialect(), table), errors);

    for (const auto& column : upgrade_schema::SanadColumns())
        if (!conn_.columnExists(QStringLiteral("T_Sanad"), column.def.name))
            Run(upgrade_schema::AddSanadColumnSql(conn_.dialect(), column), errors);
}

void TDBUpdate::WidenDateColumn(const DateColumn& date)
{
    const QString& table = date.table;
    const QString& column = date.column;
    QString error;
    auto report = [&](const QString& tag) { showPlain(tag + table + CrLf + error); };

    if (IsNarrow(table, column) && !conn_.tryExec(WidenSql(table, column), &error)) {
        report(QStringLiteral("alter 4 y:"));
        return;
    }
    if (!conn_.tryExec(rewriteDatesSql(table, column), &error)) {
        report(QStringLiteral("update 4 y_1400:"));
        return;
    }
    if (!date.index.isEmpty() && !HasIndexOn(table, column)
        && !conn_.tryExec(conn_.dialect().createIndex(table, date.index, column), &error))
        report(QStringLiteral("create index:"));
}

void TDBUpdate::CreateLookupIndexes(QStringList& errors)
{
    // an index built over many rows takes seconds; within a whole upgrade its window is already up
    std::optional<UpgradeProgress> progress;
    for (const auto& index : upgrade_schema::LookupIndexes())
        if (conn_.tableExists(index.table) && !HasLookupIndex(index)) {
            if (!progress && !upgrading_)
                progress.emplace(conn_);
            Run(conn_.dialect().createIndex(index.table, index.index, index.columns), errors);
        }
}

bool TDBUpdate::IsComplete()
{
    for (const auto& table : upgrade_schema::NewTables())
        if (!conn_.tableExists(table.def.name))
            return false;
    for (const auto& column : upgrade_schema::SanadColumns())
        if (!conn_.columnExists(QStringLiteral("T_Sanad"), column.def.name))
            return false;
    if (!conn_.viewExists(QStringLiteral("V_Sood")))
        return false;
    for (const auto& date : upgrade_schema::DateColumns()) {
        if (!conn_.columnExists(date.table, date.column) || IsNarrow(date.table, date.column))
            return false;
        if (!date.index.isEmpty() && !HasIndexOn(date.table, date.column))
            return false;
    }
    for (const auto& index : upgrade_schema::LookupIndexes())
        if (!HasLookupIndex(index))
            return false;
    return true;
}

bool TDBUpdate::HasLookupIndex(const upgrade_schema::LookupIndex& index)
{
    // any index led by a single column serves; one of several columns is known by its name
    if (!index.columns.contains(QLatin1Char(',')))
        return HasIndexOn(index.table, index.columns);
    return conn_.indexExists(index.table, index.index);
}

bool TDBUpdate::GeoTablesFilled()
{
    for (const char* table : {"province", "city", "mainOffices"})
        if (conn_.scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(table))).toLongLong() == 0)
            return false;
    return true;
}

void TDBUpdate::ImportGeoTables()
{
    showMessage(1, QStringLiteral("اطلاعات مربوط به تمامي استان ها و شهرهاي کشور انتقال داده خواهند شد.") + CrLf
                       + QStringLiteral("اين عمل کمي طولاني خواهد بود، لطفا صبور باشيد.") + CrLf
                       + QStringLiteral("............."));
    WaitCursor wait;

    struct Row {
        qint64 code;
        QString name;
        qint64 parent;
    };
    std::vector<Row> provinces, cities, offices;
    {
        auto source = db::Connection::openSqlite(programFolder_ + QStringLiteral("TTMS_empty.mdb"));
        const QString zone = QStringLiteral("zone");
        auto cur = source->query(QStringLiteral("select distinct ostanCode, ostan from zone"));
        while (cur->next())
            provinces.push_back({cellCode(*cur, 0, zone), cellText(*cur, 1), 0});
        cur = source->query(QStringLiteral("select ShahrCode, Shahr, ostanCode from zone"));
        while (cur->next())
            cities.push_back({cellCode(*cur, 0, zone), cellText(*cur, 1), cellCode(*cur, 2, zone)});
        const QString edareKol = QStringLiteral("edareKol");
        cur = source->query(QStringLiteral("select EdareKolCode, EdareKolName, OstanCode from edareKol"));
        while (cur->next())
            offices.push_back({cellCode(*cur, 0, edareKol), cellText(*cur, 1), cellCode(*cur, 2, edareKol)});
    }

    // All or nothing: on an error the old rows stay.
    atomically(conn_, [&] {
        conn_.exec(QStringLiteral("delete from city"));
        conn_.exec(QStringLiteral("delete from province"));
        conn_.exec(QStringLiteral("delete from mainOffices"));
        for (const auto& p : provinces)
            conn_.exec(QStringLiteral("insert into province (provinceId, proviceName) values ($1, $2)"),
                       {p.code, p.name});
        for (const auto& c : cities)
            conn_.exec(QStringLiteral("insert into city (CityId, provinceId, CityName) values ($1, $2, $3)"),
                       {c.code, c.parent, c.name});
        for (const auto& o : offices)
            conn_.exec(QStringLiteral("insert into mainOffices (EdareKolCode, EdareKolName, ostanCode) "
                                      "values ($1, $2, $3)"),
                       {o.code, o.name, o.parent});
    });
}

TDBUpdateAccess::TDBUpdateAccess(db::Connection& conn, QString programFolder)
    : TDBUpdate(conn, std::move(programFolder))
{
}

bool TDBUpdateAccess::IsNarrow(const QString&, const QString&)
{
    return false; // TEXT columns have no width; the field enforces it
}

QString TDBUpdateAccess::WidenSql(const QString&, const QString&) const
{
    return {};
}

bool TDBUpdateAccess::HasIndexOn(const QString& table, const QString& column)
{
    return conn_
               .scalar(QStringLiteral("select count(*) from sqlite_master m join pragma_index_info(m.name) i "
                                      "where m.type = %1 and lower(m.tbl_name) = lower($1) and i.seqno = 0 "
                                      "and lower(i.name) = lower($2)")
                           .arg(db::Q(QStringLiteral("index"))),
                       {table, column})
               .toLongLong()
        > 0;
}

TDBUpdateSQL::TDBUpdateSQL(db::Connection& conn, QString programFolder)
    : TDBUpdate(conn, std::move(programFolder))
{
}

bool TDBUpdateSQL::IsNarrow(const QString& table, const QString& column)
{
    const QVariant width = conn_.scalar(
        QStringLiteral("select character_maximum_length from information_schema.columns "
                       "where table_schema = current_schema() and table_name = lower($1) and column_name = lower($2)"),
        {table, column});
    return width.isValid() && !width.toString().isEmpty() && width.toLongLong() < upgrade_schema::DateWidth;
}

QString TDBUpdateSQL::WidenSql(const QString& table, const QString& column) const
{
    return QStringLiteral("ALTER TABLE %1 ALTER COLUMN %2 TYPE varchar(%3)")
        .arg(table, column)
        .arg(upgrade_schema::DateWidth);
}

bool TDBUpdateSQL::HasIndexOn(const QString& table, const QString& column)
{
    return conn_
               .scalar(QStringLiteral("select count(*) from pg_catalog.pg_index x "
                                      "join pg_catalog.pg_class t on t.oid = x.indrelid "
                                      "join pg_catalog.pg_namespace n on n.oid = t.relnamespace "
                                      "join pg_catalog.pg_attribute a on a.attrelid = t.oid and a.attnum = x.indkey[0] "
                                      "where n.nspname = current_schema() and t.relname = lower($1) "
                                      "and a.attname = lower($2)"),
                       {table, column})
               .toLongLong()
        > 0;
}

void TDBUpdateSQL::FinalMessage()
{
    showMessage(1, QStringLiteral("پايگاه داده بروز شد.") + CrLf + CrLf
                       + QStringLiteral("*لطفا مجددا وارد نرم افزار شويد*"));
}

std::unique_ptr<TDBUpdate> MakeDBUpdate(db::Connection& conn, bool isAccess, const QString& programFolder)
{
    if (isAccess)
        return std::make_unique<TDBUpdateAccess>(conn, programFolder);
    return std::make_unique<TDBUpdateSQL>(conn, programFolder);
}

bool RunSchemaUpgrade(db::Connection& conn, bool isAccess)
{
    try {
        const qint64 old = VersionKey(ReadVerNO());
        if (!MakeDBUpdate(conn, isAccess, ProgramFolder())->Update(old))
            return false;
        return WriteVerNO(SchemaVersion);
    } catch (const std::exception& e) {
        showError(errorText(e));
        return false;
    }
}

bool UpgradeSchemaIfOld(db::Connection& conn, bool isAccess)
{
    if (VersionKey(ReadVerNO()) >= SchemaVersionKey) {
        QStringList ignored;
        try {
            MakeDBUpdate(conn, isAccess, ProgramFolder())->CreateLookupIndexes(ignored);
        } catch (const std::exception&) {
        }
        return false;
    }
    RunSchemaUpgrade(conn, isAccess);
    return true;
}
