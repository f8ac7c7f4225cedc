// The server database through libpq.
#include "platform/db/Connection.h"

#include "platform/db/ColumnStore.h"
#include "platform/db/Format.h"
#include "platform/db/Sql.h"
#include "platform/db/TextOrder.h"

#include <QHash>
#include <QLocale>
#include <QElapsedTimer>
#include <QSet>
#include <algorithm>
#include <cstdlib>
#include <libpq-fe.h>
#include <poll.h>

namespace db {

namespace {

constexpr Oid kBoolOid = 16, kByteaOid = 17, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23, kTextOid = 25,
              kFloat4Oid = 700, kFloat8Oid = 701, kBpcharOid = 1042, kVarcharOid = 1043, kNumericOid = 1700,
              kOidOid = 26;

// The server going away: a broken link, a connection-class SQLSTATE, or the server ending
// the session (shutdown, crash, not accepting connections yet).
bool linkGone(PGconn* c, const QByteArray& sqlstate)
{
    return PQstatus(c) != CONNECTION_OK || sqlstate.startsWith("08") || sqlstate == "57P01" || sqlstate == "57P02"
        || sqlstate == "57P03";
}

ErrorCategory categoryOf(PGconn* c, const QByteArray& sqlstate)
{
    if (linkGone(c, sqlstate))
        return ErrorCategory::ConnectionLost;
    if (sqlstate == "55P03" || sqlstate == "40001" || sqlstate == "40P01")
        return ErrorCategory::Locked;
    return ErrorCategory::Other;
}

// The SQLSTATE of an error result, copied: the text lives only as long as the result.
QByteArray sqlStateOf(const PGresult* r)
{
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    return state ? QByteArray(state) : QByteArray();
}

// libpq's text about the connection, on one line ("...failed: Connection refused Is the
// server running...").
QString connectionText(PGconn* c)
{
    const QString raw = QString::fromUtf8(c ? PQerrorMessage(c) : "out of memory");
    QStringList lines;
    for (const QString& line : raw.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            lines << line.trimmed();
    return lines.join(QLatin1Char(' '));
}

// The server's words about an error: the primary message and its detail, never the
// statement or the excerpt of it that libpq adds.
QString serverText(PGconn* c, const PGresult* r)
{
    const char* primary = r ? PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (!primary)
        return connectionText(c);
    QString text = QString::fromUtf8(primary).trimmed();
    if (const char* detail = PQresultErrorField(r, PG_DIAG_MESSAGE_DETAIL))
        text += QLatin1Char('\n') + QString::fromUtf8(detail).trimmed();
    return text;
}

struct ResultHolder {
    PGresult* r = nullptr;
    ~ResultHolder() { PQclear(r); }
};

[[noreturn]] void failResult(PGconn* c, PGresult* r, const QString& sql)
{
    const QByteArray state = sqlStateOf(r);
    const QString text = serverText(c, r);
    PQclear(r);
    throw DbError::fromEngine(categoryOf(c, state), text, sql);
}

// Sends text with parameters; every parameter goes as text except byte arrays.
// With execute true it waits for and returns the whole result.
PGresult* send(PGconn* c, const QString& sql, const Params& params, bool execute, bool prepared = false)
{
    const QByteArray text = sql.toUtf8();
    const int n = int(params.size());
    const size_t count = size_t(n);
    std::vector<QByteArray> store(count);
    std::vector<const char*> values(count);
    std::vector<int> lengths(count), formats(count);
    std::vector<Oid> types(count, 0);
    for (int i = 0; i < n; ++i) {
        const QVariant& v = params[size_t(i)];
        if (v.isNull() || !v.isValid()) {
            values[size_t(i)] = nullptr;
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Bool: store[size_t(i)] = v.toBool() ? "1" : "0"; break;
        case QMetaType::Double:
        case QMetaType::Float:
            store[size_t(i)] = QByteArray::number(v.toDouble(), 'g', QLocale::FloatingPointShortest);
            break;
        case QMetaType::QByteArray:
            store[size_t(i)] = v.toByteArray();
            formats[size_t(i)] = 1;
            types[size_t(i)] = kByteaOid;
            break;
        default: store[size_t(i)] = WithoutNul(v.toString()).toUtf8();
        }
        values[size_t(i)] = store[size_t(i)].constData();
        lengths[size_t(i)] = int(store[size_t(i)].size());
    }
    if (execute) {
        PGresult* r = n == 0 ? PQexec(c, text.constData())
                             : PQexecParams(c, text.constData(), n, types.data(), values.data(), lengths.data(),
                                            formats.data(), 0);
        const auto st = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
        if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
            failResult(c, r, sql);
        return r;
    }
    const int ok = prepared ? PQsendQueryPrepared(c, "", n, values.data(), lengths.data(), formats.data(), 0)
        : n == 0            ? PQsendQuery(c, text.constData())
                            : PQsendQueryParams(c, text.constData(), n, types.data(), values.data(),
                                                lengths.data(), formats.data(), 0);
    if (!ok)
        failResult(c, nullptr, sql);
    PQsetSingleRowMode(c);
    return nullptr;
}

PGresult* run(PGconn* c, const QString& sql, const Params& params) { return send(c, sql, params, true); }

void drain(PGconn* c);

// Runs a statement sent without waiting, calling tick every few tens of milliseconds until
// the server answers; what tick throws cancels the statement on the server and is thrown.
// Returns the statement's result as run() does.
PGresult* runTicking(PGconn* c, const QString& sql, const Params& params, const std::function<void()>& tick)
{
    send(c, sql, params, false);
    try {
        tick();
        while (PQisBusy(c)) {
            pollfd fd{PQsocket(c), POLLIN, 0};
            if (fd.fd < 0 || ::poll(&fd, 1, 30) < 0 || !PQconsumeInput(c))
                break;   // the result, an error, comes from PQgetResult
            tick();
        }
    } catch (...) {
        if (PGcancel* cancel = PQgetCancel(c)) {
            char why[256];
            PQcancel(cancel, why, int(sizeof why));
            PQfreeCancel(cancel);
        }
        drain(c);
        throw;
    }
    PGresult* result = nullptr;
    while (PGresult* r = PQgetResult(c)) {
        const auto st = PQresultStatus(r);
        if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK && st != PGRES_SINGLE_TUPLE) {
            PQclear(result);
            drain(c);
            failResult(c, r, sql);
        }
        PQclear(result);
        result = r;
    }
    if (!result)
        failResult(c, nullptr, sql);
    return result;
}

void drain(PGconn* c)
{
    while (PGresult* r = PQgetResult(c))
        PQclear(r);
}

class PgConnection;

EngineType typeOfOid(Oid t)
{
    switch (t) {
    case kBoolOid: return EngineType::Boolean;
    case kInt2Oid:
    case kInt4Oid:
    case kInt8Oid:
    case kOidOid: return EngineType::Integer;
    case kFloat4Oid:
    case kFloat8Oid: return EngineType::Float;
    case kNumericOid: return EngineType::Numeric;
    case kByteaOid: return EngineType::Blob;
    case kTextOid:
    case kVarcharOid:
    case kBpcharOid: return EngineType::Text;
    default: return EngineType::Unknown;
    }
}

// The cells of one row of a result, read as the engine's text.
struct PgRow {
    const PGresult* r;
    int row;
    const std::vector<EngineType>& types;

    CellType cellType(int c) const
    {
        if (PQgetisnull(r, row, c))
            return CellType::Null;
        switch (types[size_t(c)]) {
        case EngineType::Integer:
        case EngineType::Boolean: return CellType::Integer;
        case EngineType::Float:
        case EngineType::Numeric: return CellType::Float;
        case EngineType::Blob: return CellType::Blob;
        default: return CellType::Text;
        }
    }
    qint64 toInt64(int c) const
    {
        const char* v = PQgetvalue(r, row, c);
        if (*v == 't')
            return 1;
        if (*v == 'f')
            return 0;
        if (types[size_t(c)] == EngineType::Float || types[size_t(c)] == EngineType::Numeric)
            return ClampToInt64(std::strtod(v, nullptr));
        return std::strtoll(v, nullptr, 10);
    }
    double toDouble(int c) const
    {
        const char* v = PQgetvalue(r, row, c);
        if (*v == 't')
            return 1;
        if (*v == 'f')
            return 0;
        return std::strtod(v, nullptr);
    }
    std::string_view text(int c) const
    {
        return std::string_view(PQgetvalue(r, row, c), size_t(PQgetlength(r, row, c)));
    }
    QByteArray blob(int c) const
    {
        if (types[size_t(c)] != EngineType::Blob) {
            auto t = text(c);
            return QByteArray(t.data(), qsizetype(t.size()));
        }
        size_t len = 0;
        unsigned char* p = PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(r, row, c)), &len);
        QByteArray out(reinterpret_cast<const char*>(p), qsizetype(len));
        PQfreemem(p);
        return out;
    }
    void append(ColumnStore* const* stores) const
    {
        const int n = int(types.size());
        for (int c = 0; c < n; ++c) {
            ColumnStore* s = stores[c];
            if (PQgetisnull(r, row, c)) {
                s->fastNull();
                continue;
            }
            const char* v = PQgetvalue(r, row, c);
            switch (types[size_t(c)]) {
            case EngineType::Integer: s->fastInt(std::strtoll(v, nullptr, 10)); break;
            case EngineType::Boolean: s->fastInt(*v == 't' ? 1 : 0); break;
            case EngineType::Float:
            case EngineType::Numeric: s->fastReal(std::strtod(v, nullptr)); break;
            case EngineType::Blob: {
                if (s->rep() == ColumnStore::Rep::Undecided)
                    s->decide(ColumnStore::Rep::Bytes);
                const QByteArray b = blob(c);
                s->fastText(b.constData(), size_t(b.size()));
                break;
            }
            default: s->fastText(v, size_t(PQgetlength(r, row, c)));
            }
        }
    }
};

// Rows arrive one at a time (single-row mode), so a large result is never held twice.
// The cells of a cursor's current row, from the PgRow its cells() gives; Base is Cursor or
// RowCursor.
template <class Base>
class PgCells : public Base {
public:
    using Base::Base;
    CellType cellType(int c) override { return cells().cellType(c); }
    qint64 toInt64(int c) override { return cells().toInt64(c); }
    double toDouble(int c) override { return cells().toDouble(c); }
    std::string_view text(int c) override { return cells().text(c); }
    QByteArray blob(int c) override { return cells().blob(c); }
    void appendRow(ColumnStore* const* stores) override { cells().append(stores); }

protected:
    virtual PgRow cells() const = 0;
};

class PgCursor : public PgCells<Cursor> {
public:
    PgCursor(PgConnection* conn, PGconn* c, const QString& sql, const Params& params, bool origins)
        : conn_(conn), c_(c), sql_(sql)
    {
        if (origins) {
            describe(params);
            send(c, sql, params, false, true);
        } else {
            send(c, sql, params, false);
        }
        PGresult* first = fetch();
        if (!first)
            throw DbError::fromEngine(categoryOf(c, {}), connectionText(c), sql);
        meta_ = first;
        if (PQresultStatus(first) == PGRES_SINGLE_TUPLE)
            pending_ = true;
        else
            finished();
        cols_ = PQnfields(meta_);
        for (int i = 0; i < cols_; ++i)
            types_.push_back(typeOfOid(PQftype(meta_, i)));
    }
    ~PgCursor() override
    {
        if (row_ != meta_)
            PQclear(row_);
        PQclear(meta_);
        if (!done_)
            drain(c_);
    }

    int columnCount() const override { return cols_; }
    QString columnName(int c) const override { return QString::fromUtf8(PQfname(meta_, c)); }
    ColumnOrigin origin(int c) override;
    EngineType engineType(int c) const override { return types_[size_t(c)]; }
    bool next() override
    {
        if (row_ && row_ != meta_)
            PQclear(row_);
        row_ = nullptr;
        if (pending_) {
            pending_ = false;
            row_ = meta_;
            return true;
        }
        if (done_)
            return false;
        PGresult* r = fetch();
        if (!r || PQresultStatus(r) != PGRES_SINGLE_TUPLE) {
            PQclear(r);
            finished();
            return false;
        }
        row_ = r;
        return true;
    }

private:
    PgRow cells() const override { return PgRow{row_, 0, types_}; }
    // Prepares the statement and learns each column's base table before any row arrives,
    // since the connection can run no other statement while rows stream in.
    void describe(const Params& params);

    // Next result; an error result drains the connection and throws.
    PGresult* fetch()
    {
        PGresult* r = PQgetResult(c_);
        if (!r)
            return nullptr;
        const auto st = PQresultStatus(r);
        if (st != PGRES_SINGLE_TUPLE && st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK) {
            done_ = true;
            const QByteArray state = sqlStateOf(r);
            const QString text = serverText(c_, r);
            PQclear(r);
            drain(c_);
            throw DbError::fromEngine(categoryOf(c_, state), text, sql_);
        }
        return r;
    }
    void finished()
    {
        if (done_)
            return;
        done_ = true;
        drain(c_);
    }

    PgConnection* conn_;
    PGconn* c_;
    QString sql_;
    PGresult* meta_ = nullptr;
    PGresult* row_ = nullptr;
    bool pending_ = false;
    bool done_ = false;
    int cols_ = 0;
    std::vector<EngineType> types_;
    std::vector<ColumnOrigin> origins_;
};

// A connection with the settings every connection of the program has; throws when it fails.
PGconn* connectTo(const QString& conninfo);

class PgConnection : public Connection {
public:
    PgConnection(PGconn* c, const QString& conninfo) : Connection(Engine::PostgreSQL), c_(c), conninfo_(conninfo)
    {
        PQsetNoticeReceiver(c_, noticeReceived, this);
        try {
            setUpSession();
        } catch (...) {
            PQfinish(c_);
            throw;
        }
    }
    ~PgConnection() override
    {
        detachRowReaders();
        for (PGconn* r : readers_)
            PQfinish(r);
        PQfinish(c_);
    }

protected:
    std::unique_ptr<Cursor> runQuery(const QString& text, const Params& params, bool origins) override
    {
        return std::make_unique<PgCursor>(this, c_, text, params, origins);
    }
    std::unique_ptr<RowCursor> runRowReader(const QString& text, int firstRows) override;

public:
    // The second connections that read datasets' rows, each inside a read-only transaction
    // of its own; made here, from this connection's string, and kept for the next read.
    PGconn* takeReader()
    {
        while (!readers_.empty()) {
            PGconn* r = readers_.back();
            readers_.pop_back();
            // the end of its last read
            while (PGresult* res = PQgetResult(r))
                PQclear(res);
            // one the server has let go since is dropped
            PQconsumeInput(r);
            if (PQstatus(r) == CONNECTION_OK && PQtransactionStatus(r) == PQTRANS_IDLE)
                return r;
            PQfinish(r);
        }
        return connectTo(conninfo_);
    }
    // A reader given back with its ROLLBACK sent.
    void giveBackReader(PGconn* r)
    {
        if (PQstatus(r) == CONNECTION_OK && readers_.size() < 2)
            readers_.push_back(r);
        else
            PQfinish(r);
    }

protected:
    int runExec(const QString& text, const Params& params) override
    {
        ResultHolder h{ticker() ? runTicking(c_, text, params, ticker()) : run(c_, text, params)};
        const char* n = PQcmdTuples(h.r);
        return (n && *n) ? std::atoi(n) : 0;
    }
    void runScript(const QString& text) override { runExec(text, {}); }
    bool engineInTransaction() const override
    {
        if (!farewell_.isNull())
            return false;   // the session has ended, and its transaction with it
        switch (PQtransactionStatus(c_)) {
        case PQTRANS_INTRANS:
        case PQTRANS_INERROR: return true;
        case PQTRANS_ACTIVE: return transactionOpened();   // rows still coming in
        default: return false;
        }
    }

    // The server's farewell to an idle session (a shutdown or restart) waits in the socket
    // until something reads it: read what is there, so that a statement is not sent into
    // a session that has ended.
    bool linkBroken(QString* why) override
    {
        if (PQstatus(c_) == CONNECTION_OK && farewell_.isNull()) {
            PQconsumeInput(c_);
            PQisBusy(c_);   // hands a message that arrived to the notice receiver
        }
        if (farewell_.isNull() && PQstatus(c_) == CONNECTION_OK)
            return false;
        *why = farewell_.isNull() ? connectionText(c_) : farewell_;
        return true;
    }
    bool relink(QString* error) override
    {
        farewell_.clear();
        PQreset(c_);
        if (PQstatus(c_) != CONNECTION_OK) {
            *error = connectionText(c_);
            return false;
        }
        try {
            setUpSession();
        } catch (const DbError& e) {
            *error = e.engineText();
            return false;
        }
        return true;
    }

public:
    // Made in the database the first time it is asked for; a database where it cannot be
    // made (no ICU, no right to create) has none, and its lists sort texts themselves.
    QString textCollation() override
    {
        if (collation_ < 0) {
            const QString name = QString::fromLatin1(kTextCollation);
            const auto known = [&] {
                return scalar(QStringLiteral("select count(*) from pg_collation where collname = $1 and pg_collation_is_visible(oid)"), {name}).toInt() > 0;
            };
            bool ok = known();
            if (!ok) {
                tryExec(QStringLiteral("CREATE COLLATION IF NOT EXISTS %1 (provider = icu, locale = %2, deterministic = false)")
                            .arg(name, Q(QString::fromLatin1(kTextCollationLocale))));
                ok = known();
            }
            collation_ = ok ? 1 : 0;
        }
        return collation_ ? QString::fromLatin1(kTextCollation) : QString();
    }

    KeyInfo keyOf(const QString& table) override
    {
        const QString k = table.toLower();
        auto it = keys_.find(k);
        if (it != keys_.end())
            return *it;
        KeyInfo info;
        auto cur = query(QStringLiteral(
            "select a.attname, a.attidentity, coalesce(pg_get_serial_sequence(c.relname::text, a.attname::text), '') "
            "from pg_index i join pg_class c on c.oid = i.indrelid "
            "join pg_attribute a on a.attrelid = i.indrelid and a.attnum = any(i.indkey) "
            "where i.indisprimary and c.oid = to_regclass(lower($1))"), {table}, false);
        int n = 0;
        while (cur->next()) {
            ++n;
            auto name = cur->text(0);
            info.column = QString::fromUtf8(name.data(), qsizetype(name.size()));
            auto ident = cur->text(1);
            auto seq = cur->text(2);
            info.autoIncrement = (!ident.empty() && ident[0] != '\0') || !seq.empty();
        }
        if (n != 1)
            info = {};
        keys_.insert(k, info);
        return info;
    }

    bool knowsTable(Oid table) const { return tables_.contains(table); }

    ColumnOrigin originOf(Oid table, int column)
    {
        if (table == 0 || column <= 0)
            return {};
        auto it = tables_.find(table);
        if (it == tables_.end()) {
            TableNames names;
            const QString sql = QStringLiteral(
                "select c.relname, a.attnum, a.attname from pg_class c join pg_attribute a on a.attrelid = c.oid "
                "where c.oid = %1 and a.attnum > 0").arg(table);
            ResultHolder h{run(c_, sql, {})};
            for (int i = 0; i < PQntuples(h.r); ++i) {
                names.table = QString::fromUtf8(PQgetvalue(h.r, i, 0));
                names.columns.insert(std::atoi(PQgetvalue(h.r, i, 1)), QString::fromUtf8(PQgetvalue(h.r, i, 2)));
            }
            it = tables_.insert(table, names);
        }
        return {it->table, it->columns.value(column)};
    }

private:
    struct TableNames {
        QString table;
        QHash<int, QString> columns;
    };

    void setUpSession()
    {
        PQsetClientEncoding(c_, "UTF8");
        ResultHolder h{run(c_, QStringLiteral("SET lock_timeout = '3s'"), {})};
    }
    // Notices are not shown; a fatal message outside a statement is the server ending the
    // session.
    static void noticeReceived(void* self, const PGresult* r)
    {
        const char* severity = PQresultErrorField(r, PG_DIAG_SEVERITY_NONLOCALIZED);
        if (severity && (qstrcmp(severity, "FATAL") == 0 || qstrcmp(severity, "PANIC") == 0))
            static_cast<PgConnection*>(self)->farewell_ = serverText(nullptr, r);
    }

    PGconn* c_;
    QString farewell_;   // the server's last words when it ended the session; null while it goes on
    QString conninfo_;
    std::vector<PGconn*> readers_;
    QHash<QString, KeyInfo> keys_;
    int collation_ = -1;   // the texts' collation: -1 not looked for yet, 0 none, 1 there
    QHash<Oid, TableNames> tables_;
};

ColumnOrigin PgCursor::origin(int c)
{
    return size_t(c) < origins_.size() ? origins_[size_t(c)] : ColumnOrigin();
}

// Prepares sql as the unnamed statement of c and learns each column's base table; returns
// the statement's description (names and types), which the caller clears.
PGresult* describeStatement(PgConnection& conn, PGconn* c, const QString& sql, const Params& params,
                            std::vector<ColumnOrigin>& origins)
{
    std::vector<Oid> types(params.size(), 0);
    for (size_t i = 0; i < params.size(); ++i)
        if (params[i].typeId() == QMetaType::QByteArray)
            types[i] = kByteaOid;
    const QByteArray text = sql.toUtf8();
    PGresult* r = PQprepare(c, "", text.constData(), int(params.size()), types.data());
    if (!r || PQresultStatus(r) != PGRES_COMMAND_OK)
        failResult(c, r, sql);
    PQclear(r);
    PGresult* description = PQdescribePrepared(c, "");
    if (!description || PQresultStatus(description) != PGRES_COMMAND_OK)
        failResult(c, description, sql);
    const int n = PQnfields(description);
    bool looked = false;
    origins.clear();
    for (int i = 0; i < n; ++i) {
        const Oid table = PQftable(description, i);
        looked = looked || (table != 0 && !conn.knowsTable(table));
        try {
            origins.push_back(conn.originOf(table, PQftablecol(description, i)));
        } catch (...) {
            PQclear(description);
            throw;
        }
    }
    if (looked) {
        // the catalogue queries replaced the unnamed statement
        r = PQprepare(c, "", text.constData(), int(params.size()), types.data());
        if (!r || PQresultStatus(r) != PGRES_COMMAND_OK) {
            PQclear(description);
            failResult(c, r, sql);
        }
        PQclear(r);
    }
    return description;
}

void PgCursor::describe(const Params& params)
{
    PQclear(describeStatement(*conn_, c_, sql_, params, origins_));
}

// A statement whose rows are its top level's aggregates (sums, counts, grouped or not): one
// row or a handful, and none before its whole input is read. A cursor would only cost it the
// parallel plan.
bool aggregatesOnly(const QString& sql)
{
    static const QSet<QString> aggregates{QStringLiteral("sum"), QStringLiteral("count"), QStringLiteral("min"),
                                          QStringLiteral("max"), QStringLiteral("avg")};
    bool aggregate = false, grouped = false, select = false;
    QString last;
    int depth = 0;
    const int n = int(sql.size());
    for (int i = 0; i < n;) {
        const QChar ch = sql[i];
        if (ch == QLatin1Char('\'') || ch == QLatin1Char('"')) {
            const int end = sql.indexOf(ch, i + 1);
            if (end < 0)
                return false;
            i = end + 1;
            last.clear();
        } else if (ch == QLatin1Char('-') && i + 1 < n && sql[i + 1] == QLatin1Char('-')) {
            const int end = sql.indexOf(QLatin1Char('\n'), i);
            i = end < 0 ? n : end;
        } else if (ch == QLatin1Char('(')) {
            if (depth == 0 && aggregates.contains(last))
                aggregate = true;
            ++depth;
            ++i;
            last.clear();
        } else if (ch == QLatin1Char(')')) {
            --depth;
            ++i;
            last.clear();
        } else if (ch.isLetter() || ch == QLatin1Char('_')) {
            int end = i;
            while (end < n && (sql[end].isLetterOrNumber() || sql[end] == QLatin1Char('_')))
                ++end;
            const QString word = sql.mid(i, end - i).toLower();
            i = end;
            if (depth == 0) {
                // more than one statement's rows, or one row per input row
                if (word == QLatin1String("union") || word == QLatin1String("intersect") || word == QLatin1String("except")
                    || word == QLatin1String("over") || word == QLatin1String("window"))
                    return false;
                select = select || word == QLatin1String("select");
                grouped = grouped || (last == QLatin1String("group") && word == QLatin1String("by"));
            }
            last = word;
        } else {
            if (!ch.isSpace())
                last.clear();
            ++i;
        }
    }
    return select && (aggregate || grouped);
}

// A dataset's rows, read in batches from a cursor of a read-only transaction on a reader
// connection (one snapshot however long the reading takes), the next batch asked for while
// the last one is taken in; begun at once (the columns come with the first batch) or
// described on the main connection and read when first asked for. While the main connection
// is inside a transaction the rows are read there, all at once, so that they show its changes;
// so are a statement's aggregates, which a cursor would keep from a parallel plan.
class PgRowCursor : public PgCells<RowCursor> {
public:
    PgRowCursor(PgConnection* conn, PGconn* main, const QString& sql, int firstRows)
        : PgCells(conn), pg_(conn), main_(main), sql_(sql)
    {
        if (firstRows > 0) {
            start(firstRows);
            return;
        }
        PGresult* description = describeStatement(*conn, main, sql, {}, origins_);
        learnColumns(description, false);
        PQclear(description);
    }
    ~PgRowCursor() override
    {
        release();
        PQclear(batch_);
    }

    int columnCount() const override { return int(types_.size()); }
    QString columnName(int c) const override { return names_.value(c); }
    ColumnOrigin origin(int c) override { return size_t(c) < origins_.size() ? origins_[size_t(c)] : ColumnOrigin(); }
    EngineType engineType(int c) const override { return types_[size_t(c)]; }
    bool next() override
    {
        if (!ensureRow(1))
            return false;
        current_ = row_++;
        return true;
    }
    int appendRows(ColumnStore* const* stores, int max) override
    {
        int n = 0;
        while (n < max && ensureRow(max - n)) {
            const int take = std::min(max - n, rows_ - row_);
            for (int i = 0; i < take; ++i)
                PgRow{batch_, row_ + i, types_}.append(stores);
            row_ += take;
            n += take;
        }
        return n;
    }
    bool pending() const override { return begun_ && !done_; }
    // What the server has sent of the next batch is taken in (for a few milliseconds at most);
    // the batch is at hand once whole.
    int rowsAtHand() override
    {
        if (row_ < rows_)
            return rows_ - row_;
        if (done_ || !inFlight_ || !reader_)
            return kBatch;
        QElapsedTimer clock;
        clock.start();
        pollfd in{PQsocket(reader_), POLLIN, 0};
        do {
            // the end, an error or the next batch: taken without a wait
            if (!PQconsumeInput(reader_) || !PQisBusy(reader_))
                return kBatch;
        } while (clock.elapsed() < kTakeInMs && poll(&in, 1, 0) > 0);
        return 0;
    }

private:
    static constexpr int kBatch = 8192;
    static constexpr int kTakeInMs = 8;

    PgRow cells() const override { return PgRow{batch_, current_, types_}; }

    // Names and types of the columns, and their origins unless known.
    void learnColumns(const PGresult* r, bool origins)
    {
        names_.clear();
        types_.clear();
        for (int i = 0; i < PQnfields(r); ++i) {
            names_ << QString::fromUtf8(PQfname(r, i));
            types_.push_back(typeOfOid(PQftype(r, i)));
        }
        if (origins) {
            origins_.clear();
            for (int i = 0; i < PQnfields(r); ++i)
                origins_.push_back(pg_->originOf(PQftable(r, i), PQftablecol(r, i)));
        }
    }

    // A row is there to take; the first batch holds `first` rows.
    bool ensureRow(int first)
    {
        while (row_ >= rows_) {
            if (done_)
                return false;
            if (!begun_)
                start(std::max(first, 1));
            else
                fetch();
        }
        return true;
    }

    void start(int first)
    {
        begun_ = true;
        if (!pg_)
            throw DbError::fromEngine(ErrorCategory::ConnectionLost, QStringLiteral("no connection"), sql_);
        if (PQtransactionStatus(main_) != PQTRANS_IDLE || aggregatesOnly(sql_)) {
            take(run(main_, sql_, {}));
            if (names_.isEmpty())
                learnColumns(batch_, true);
            done_ = true;
            return;
        }
        reader_ = pg_->takeReader();
        const QByteArray text = QStringLiteral("BEGIN READ ONLY; DECLARE dovin_rows NO SCROLL CURSOR FOR %1; "
                                               "FETCH FORWARD %2 FROM dovin_rows")
                                    .arg(sql_)
                                    .arg(first)
                                    .toUtf8();
        if (!PQsendQuery(reader_, text.constData()))
            failReader(nullptr);
        requested_ = first;
        inFlight_ = true;
        fetch();
    }

    // Takes the batch asked for and asks for the next one.
    void fetch()
    {
        if (!inFlight_)
            ask(kBatch);
        inFlight_ = false;
        PGresult* rows = nullptr;
        while (PGresult* r = PQgetResult(reader_)) {
            const auto st = PQresultStatus(r);
            if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK) {
                PQclear(rows);
                while (PGresult* rest = PQgetResult(reader_))
                    PQclear(rest);
                failReader(r);
            }
            if (st == PGRES_TUPLES_OK) {
                PQclear(rows);
                rows = r;
            } else {
                PQclear(r);
            }
        }
        if (!rows)
            failReader(nullptr);
        if (names_.isEmpty()) {
            learnColumns(rows, true);
        } else if (PQnfields(rows) != columnCount()) {
            PQclear(rows);
            failReader(nullptr, QStringLiteral("The columns of the statement changed"));
        }
        const bool last = PQntuples(rows) < requested_;
        take(rows);
        if (last) {
            done_ = true;
            release();
        } else {
            ask(kBatch);
        }
    }

    void ask(int count)
    {
        const QByteArray text = QByteArray("FETCH FORWARD ") + QByteArray::number(count) + " FROM dovin_rows";
        if (!PQsendQuery(reader_, text.constData()))
            failReader(nullptr);
        requested_ = count;
        inFlight_ = true;
    }

    void take(PGresult* r)
    {
        PQclear(batch_);
        batch_ = r;
        rows_ = PQntuples(r);
        row_ = 0;
    }

    // Gives the reader back; its transaction ends on the way (the reply is taken when the
    // reader is next used).
    void release()
    {
        if (!reader_)
            return;
        if (inFlight_) {
            while (PGresult* r = PQgetResult(reader_))
                PQclear(r);
            inFlight_ = false;
        }
        if (pg_ && PQsendQuery(reader_, "ROLLBACK"))
            pg_->giveBackReader(reader_);
        else
            PQfinish(reader_);
        reader_ = nullptr;
    }

    [[noreturn]] void failReader(PGresult* r, const QString& why = {})
    {
        done_ = true;
        inFlight_ = false;
        ErrorCategory cat = ErrorCategory::Other;
        QString text = why;
        if (text.isEmpty()) {
            cat = categoryOf(reader_, sqlStateOf(r));
            text = serverText(reader_, r);
        }
        PQclear(r);
        release();
        throw DbError::fromEngine(cat, text, sql_);
    }

    void detach() override
    {
        if (reader_) {
            PQfinish(reader_);
            reader_ = nullptr;
        }
        inFlight_ = false;
        done_ = true;
        begun_ = true;
        pg_ = nullptr;
        main_ = nullptr;
    }

    PgConnection* pg_;
    PGconn* main_;
    QString sql_;
    QStringList names_;
    std::vector<EngineType> types_;
    std::vector<ColumnOrigin> origins_;
    PGconn* reader_ = nullptr;
    PGresult* batch_ = nullptr;
    int rows_ = 0;
    int row_ = 0;
    int current_ = 0;
    int requested_ = 0;
    bool begun_ = false;
    bool done_ = false;
    bool inFlight_ = false;
};

std::unique_ptr<RowCursor> PgConnection::runRowReader(const QString& text, int firstRows)
{
    return std::make_unique<PgRowCursor>(this, c_, text, firstRows);
}

// Connects with a time limit unless the connection string or the environment sets one:
// a server that does not answer is given up after a few seconds.
PGconn* connectLimited(const QString& conninfo)
{
    const QByteArray info = conninfo.toUtf8();
    bool limited = qEnvironmentVariableIsSet("PGCONNECT_TIMEOUT");
    char* error = nullptr;
    if (PQconninfoOption* options = PQconninfoParse(info.constData(), &error)) {
        for (PQconninfoOption* o = options; o->keyword; ++o)
            if (qstrcmp(o->keyword, "connect_timeout") == 0 && o->val && *o->val)
                limited = true;
        PQconninfoFree(options);
    }
    PQfreemem(error);
    if (limited)
        return PQconnectdb(info.constData());
    const char* keys[] = {"dbname", "connect_timeout", nullptr};
    const char* values[] = {info.constData(), "5", nullptr};
    return PQconnectdbParams(keys, values, 1);
}

void noticeSink(void*, const char*) {}

// A second connection, for reading rows, with the settings every connection of the program has.
PGconn* connectTo(const QString& conninfo)
{
    PGconn* c = connectLimited(conninfo);
    if (!c || PQstatus(c) != CONNECTION_OK) {
        const QString text = connectionText(c);
        PQfinish(c);
        throw DbError::fromEngine(ErrorCategory::ConnectionLost, text);
    }
    PQsetNoticeProcessor(c, noticeSink, nullptr);
    PQsetClientEncoding(c, "UTF8");
    PGresult* r = PQexec(c, "SET lock_timeout = '3s'");
    const bool ok = r && PQresultStatus(r) == PGRES_COMMAND_OK;
    PQclear(r);
    if (!ok) {
        const QString text = connectionText(c);
        PQfinish(c);
        throw DbError::fromEngine(ErrorCategory::ConnectionLost, text);
    }
    return c;
}

} // namespace

std::unique_ptr<Connection> Connection::openPostgres(const QString& conninfo)
{
    PGconn* c = connectLimited(conninfo);
    if (!c || PQstatus(c) != CONNECTION_OK) {
        const QString text = connectionText(c);
        PQfinish(c);
        throw DbError::fromEngine(ErrorCategory::ConnectionLost, text);
    }
    return std::make_unique<PgConnection>(c, conninfo);
}

} // namespace db
