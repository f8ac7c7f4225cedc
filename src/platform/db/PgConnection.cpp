// The server database through libpq.
#include "platform/db/Connection.h"

#include "platform/db/ColumnStore.h"
#include "platform/db/Format.h"
#include "platform/db/Sql.h"

#include <QHash>
#include <QLocale>
#include <cstdlib>
#include <libpq-fe.h>

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

void drain(PGconn* c)
{
    while (PGresult* r = PQgetResult(c))
        PQclear(r);
}

class PgConnection;

// Rows arrive one at a time (single-row mode), so a large result is never held twice.
class PgCursor : public Cursor {
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
            types_.push_back(typeOf(PQftype(meta_, i)));
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
    CellType cellType(int c) override
    {
        if (PQgetisnull(row_, 0, c))
            return CellType::Null;
        switch (types_[size_t(c)]) {
        case EngineType::Integer:
        case EngineType::Boolean: return CellType::Integer;
        case EngineType::Float:
        case EngineType::Numeric: return CellType::Float;
        case EngineType::Blob: return CellType::Blob;
        default: return CellType::Text;
        }
    }
    qint64 toInt64(int c) override
    {
        const char* v = PQgetvalue(row_, 0, c);
        if (*v == 't')
            return 1;
        if (*v == 'f')
            return 0;
        if (types_[size_t(c)] == EngineType::Float || types_[size_t(c)] == EngineType::Numeric)
            return ClampToInt64(std::strtod(v, nullptr));
        return std::strtoll(v, nullptr, 10);
    }
    double toDouble(int c) override
    {
        const char* v = PQgetvalue(row_, 0, c);
        if (*v == 't')
            return 1;
        if (*v == 'f')
            return 0;
        return std::strtod(v, nullptr);
    }
    std::string_view text(int c) override
    {
        return std::string_view(PQgetvalue(row_, 0, c), size_t(PQgetlength(row_, 0, c)));
    }
    QByteArray blob(int c) override
    {
        if (types_[size_t(c)] != EngineType::Blob) {
            auto t = text(c);
            return QByteArray(t.data(), qsizetype(t.size()));
        }
        size_t len = 0;
        unsigned char* p = PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(row_, 0, c)), &len);
        QByteArray out(reinterpret_cast<const char*>(p), qsizetype(len));
        PQfreemem(p);
        return out;
    }
    void appendRow(ColumnStore* const* stores) override
    {
        for (int c = 0; c < cols_; ++c) {
            ColumnStore* s = stores[c];
            if (PQgetisnull(row_, 0, c)) {
                s->fastNull();
                continue;
            }
            const char* v = PQgetvalue(row_, 0, c);
            switch (types_[size_t(c)]) {
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
            default: s->fastText(v, size_t(PQgetlength(row_, 0, c)));
            }
        }
    }

private:
    // Prepares the statement and learns each column's base table before any row arrives,
    // since the connection can run no other statement while rows stream in.
    void describe(const Params& params);

    static EngineType typeOf(Oid t)
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

class PgConnection : public Connection {
public:
    explicit PgConnection(PGconn* c) : Connection(Engine::PostgreSQL), c_(c)
    {
        PQsetNoticeReceiver(c_, noticeReceived, this);
        try {
            setUpSession();
        } catch (...) {
            PQfinish(c_);
            throw;
        }
    }
    ~PgConnection() override { PQfinish(c_); }

protected:
    std::unique_ptr<Cursor> runQuery(const QString& text, const Params& params, bool origins) override
    {
        return std::make_unique<PgCursor>(this, c_, text, params, origins);
    }
    int runExec(const QString& text, const Params& params) override
    {
        ResultHolder h{run(c_, text, params)};
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
    QHash<QString, KeyInfo> keys_;
    QHash<Oid, TableNames> tables_;
};

ColumnOrigin PgCursor::origin(int c)
{
    return size_t(c) < origins_.size() ? origins_[size_t(c)] : ColumnOrigin();
}

void PgCursor::describe(const Params& params)
{
    std::vector<Oid> types(params.size(), 0);
    for (size_t i = 0; i < params.size(); ++i)
        if (params[i].typeId() == QMetaType::QByteArray)
            types[i] = kByteaOid;
    const QByteArray text = sql_.toUtf8();
    PGresult* r = PQprepare(c_, "", text.constData(), int(params.size()), types.data());
    if (!r || PQresultStatus(r) != PGRES_COMMAND_OK)
        failResult(c_, r, sql_);
    PQclear(r);
    r = PQdescribePrepared(c_, "");
    if (!r || PQresultStatus(r) != PGRES_COMMAND_OK)
        failResult(c_, r, sql_);
    const int n = PQnfields(r);
    std::vector<std::pair<Oid, int>> cols;
    for (int i = 0; i < n; ++i)
        cols.emplace_back(PQftable(r, i), PQftablecol(r, i));
    PQclear(r);
    bool looked = false;
    for (const auto& [table, column] : cols) {
        looked = looked || (table != 0 && !conn_->knowsTable(table));
        origins_.push_back(conn_->originOf(table, column));
    }
    if (looked) {
        // the catalogue queries replaced the unnamed statement
        r = PQprepare(c_, "", text.constData(), int(params.size()), types.data());
        if (!r || PQresultStatus(r) != PGRES_COMMAND_OK)
            failResult(c_, r, sql_);
        PQclear(r);
    }
}

// Connects with a time limit unless the connection string or the environment sets one:
// a server that does not answer is given up after a few seconds.
PGconn* connectTo(const QString& conninfo)
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

} // namespace

std::unique_ptr<Connection> Connection::openPostgres(const QString& conninfo)
{
    PGconn* c = connectTo(conninfo);
    if (!c || PQstatus(c) != CONNECTION_OK) {
        const QString text = connectionText(c);
        PQfinish(c);
        throw DbError::fromEngine(ErrorCategory::ConnectionLost, text);
    }
    return std::make_unique<PgConnection>(c);
}

} // namespace db
