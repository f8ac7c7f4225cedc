// The server database through libpq.
#include "platform/db/Connection.h"

#include <QHash>
#include <QLocale>
#include <cstdlib>
#include <libpq-fe.h>

namespace db {

namespace {

constexpr Oid kBoolOid = 16, kByteaOid = 17, kInt8Oid = 20, kInt2Oid = 21, kInt4Oid = 23, kTextOid = 25,
              kFloat4Oid = 700, kFloat8Oid = 701, kBpcharOid = 1042, kVarcharOid = 1043, kNumericOid = 1700,
              kOidOid = 26;

ErrorCategory categoryOf(const char* sqlstate)
{
    if (!sqlstate)
        return ErrorCategory::Other;
    const QByteArray s(sqlstate);
    if (s == "55P03" || s == "40001" || s == "40P01")
        return ErrorCategory::Locked;
    return ErrorCategory::Other;
}

struct ResultHolder {
    PGresult* r = nullptr;
    ~ResultHolder() { PQclear(r); }
};

[[noreturn]] void failResult(PGconn* c, PGresult* r, const QString& sql)
{
    const char* state = r ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
    QString msg = QString::fromUtf8(r ? PQresultErrorMessage(r) : PQerrorMessage(c)).trimmed();
    if (msg.isEmpty())
        msg = QString::fromUtf8(PQerrorMessage(c)).trimmed();
    const ErrorCategory cat = categoryOf(state);
    PQclear(r);
    if (cat == ErrorCategory::Locked)
        msg = QString::fromLatin1(lockedText()) + QLatin1Char(' ') + msg;
    throw DbError(cat, msg + QStringLiteral("\n") + sql);
}

// Runs text with parameters; every parameter goes as text except byte arrays.
PGresult* run(PGconn* c, const QString& sql, const Params& params)
{
    const QByteArray text = sql.toUtf8();
    PGresult* r;
    if (params.empty()) {
        r = PQexec(c, text.constData());
    } else {
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
            default: store[size_t(i)] = v.toString().toUtf8();
            }
            values[size_t(i)] = store[size_t(i)].constData();
            lengths[size_t(i)] = int(store[size_t(i)].size());
        }
        r = PQexecParams(c, text.constData(), n, types.data(), values.data(), lengths.data(), formats.data(), 0);
    }
    const auto st = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        failResult(c, r, sql);
    return r;
}

class PgConnection;

class PgCursor : public Cursor {
public:
    PgCursor(PgConnection* conn, PGresult* r) : conn_(conn), r_(r), rows_(PQntuples(r)), cols_(PQnfields(r)) {}
    ~PgCursor() override { PQclear(r_); }

    int columnCount() const override { return cols_; }
    QString columnName(int c) const override { return QString::fromUtf8(PQfname(r_, c)); }
    ColumnOrigin origin(int c) override;
    EngineType engineType(int c) const override
    {
        switch (PQftype(r_, c)) {
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
    bool next() override { return ++row_ < rows_; }
    CellType cellType(int c) override
    {
        if (PQgetisnull(r_, row_, c))
            return CellType::Null;
        switch (engineType(c)) {
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
        const char* v = PQgetvalue(r_, row_, c);
        if (*v == 't')
            return 1;
        if (*v == 'f')
            return 0;
        if (engineType(c) == EngineType::Float || engineType(c) == EngineType::Numeric)
            return qint64(std::strtod(v, nullptr));
        return std::strtoll(v, nullptr, 10);
    }
    double toDouble(int c) override
    {
        const char* v = PQgetvalue(r_, row_, c);
        if (*v == 't')
            return 1;
        if (*v == 'f')
            return 0;
        return std::strtod(v, nullptr);
    }
    std::string_view text(int c) override
    {
        return std::string_view(PQgetvalue(r_, row_, c), size_t(PQgetlength(r_, row_, c)));
    }
    QByteArray blob(int c) override
    {
        if (engineType(c) != EngineType::Blob) {
            auto t = text(c);
            return QByteArray(t.data(), qsizetype(t.size()));
        }
        size_t len = 0;
        unsigned char* p = PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(r_, row_, c)), &len);
        QByteArray out(reinterpret_cast<const char*>(p), qsizetype(len));
        PQfreemem(p);
        return out;
    }

private:
    PgConnection* conn_;
    PGresult* r_;
    int rows_;
    int cols_;
    int row_ = -1;
};

class PgConnection : public Connection {
public:
    explicit PgConnection(PGconn* c) : Connection(Engine::PostgreSQL), c_(c) {}
    ~PgConnection() override { PQfinish(c_); }

    std::unique_ptr<Cursor> query(const QString& sql, const Params& params) override
    {
        return std::make_unique<PgCursor>(this, run(c_, prepareText(sql), params));
    }
    int exec(const QString& sql, const Params& params) override
    {
        ResultHolder h{run(c_, prepareText(sql), params)};
        const char* n = PQcmdTuples(h.r);
        return (n && *n) ? std::atoi(n) : 0;
    }
    void execScript(const QString& sql) override { exec(sql, {}); }

    void begin() override { exec(QStringLiteral("BEGIN"), {}); }
    void commit() override { exec(QStringLiteral("COMMIT"), {}); }
    void rollback() override
    {
        if (inTransaction())
            exec(QStringLiteral("ROLLBACK"), {});
    }
    bool inTransaction() const override { return PQtransactionStatus(c_) != PQTRANS_IDLE; }

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
            "where i.indisprimary and c.oid = to_regclass(lower($1))"), {table});
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
    PGconn* c_;
    QHash<QString, KeyInfo> keys_;
    QHash<Oid, TableNames> tables_;
};

ColumnOrigin PgCursor::origin(int c)
{
    return conn_->originOf(PQftable(r_, c), PQftablecol(r_, c));
}

void noticeSink(void*, const char*) {}

} // namespace

std::unique_ptr<Connection> Connection::openPostgres(const QString& conninfo)
{
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    if (!c || PQstatus(c) != CONNECTION_OK) {
        QString msg = QString::fromUtf8(c ? PQerrorMessage(c) : "out of memory").trimmed();
        PQfinish(c);
        throw DbError(ErrorCategory::Other, msg);
    }
    PQsetNoticeProcessor(c, noticeSink, nullptr);
    PQsetClientEncoding(c, "UTF8");
    auto conn = std::make_unique<PgConnection>(c);
    conn->exec(QStringLiteral("SET lock_timeout = '3s'"), {});
    return conn;
}

} // namespace db
