// The file database through the sqlite3 C API.
#include "platform/db/Connection.h"

#include "platform/db/ColumnStore.h"
#include "platform/db/Decimal.h"
#include "platform/db/Sql.h"
#include "platform/db/TextOrder.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <cmath>
#include <cstdint>
#include <exception>
#include <cstring>
#include <new>
#include <utility>
#include <sqlite3.h>

namespace db {

namespace {

ErrorCategory categoryOf(int rc)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED: return ErrorCategory::Locked;
    default: return ErrorCategory::Other;
    }
}

[[noreturn]] void fail(sqlite3* db, int rc, const QString& statement = {})
{
    throw DbError::fromEngine(categoryOf(rc), QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)),
                              statement);
}

// sum() adds exactly: whole numbers as whole numbers, and every other value as the decimal it
// stands for (Decimal::FromDouble), so that amounts held as doubles sum to the same figure as
// the server's numeric column, without binary noise. NULL when no value was added; a whole
// sum beyond 64 bits is an error, as with the built-in sum.
struct ExactSum {
    bool started = false;    // the context comes zeroed, not constructed
    Decimal sum;
    double binary = 0;       // for values that are not finite
    qint64 whole = 0;
    sqlite3_int64 count = 0;
    bool approximate = false; // some value was no whole number
    bool overflow = false;    // the whole sum left the 64-bit range
    bool nonFinite = false;
};

ExactSum* exactSum(sqlite3_context* ctx, bool create)
{
    // the context is aligned to 8 bytes, the decimal needs 16
    void* raw = sqlite3_aggregate_context(ctx, create ? int(sizeof(ExactSum) + alignof(ExactSum)) : 0);
    if (!raw)
        return nullptr;
    const auto address = reinterpret_cast<std::uintptr_t>(raw);
    void* mem = reinterpret_cast<void*>((address + alignof(ExactSum) - 1) & ~std::uintptr_t(alignof(ExactSum) - 1));
    auto* s = static_cast<ExactSum*>(mem);
    if (!*static_cast<bool*>(mem)) {
        s = new (mem) ExactSum();
        s->started = true;
    }
    return s;
}

void exactSumAdd(sqlite3_context* ctx, sqlite3_value* v, int sign)
{
    const int type = sqlite3_value_numeric_type(v);
    if (type == SQLITE_NULL)
        return;
    ExactSum* s = exactSum(ctx, true);
    if (!s) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    s->count += sign;
    if (type == SQLITE_INTEGER) {
        const sqlite3_int64 n = sqlite3_value_int64(v);
        const Decimal d(n);
        s->sum += sign < 0 ? -d : d;
        qint64 w;
        if (sign > 0 ? __builtin_add_overflow(s->whole, n, &w) : __builtin_sub_overflow(s->whole, n, &w))
            s->overflow = true;
        else
            s->whole = w;
        return;
    }
    s->approximate = true;
    const double d = sqlite3_value_double(v);
    if (!std::isfinite(d)) {
        s->nonFinite = true;
        s->binary += sign * d;
        return;
    }
    const Decimal dec = Decimal::FromDouble(d);
    s->sum += sign < 0 ? -dec : dec;
}

void exactSumStep(sqlite3_context* ctx, int, sqlite3_value** argv) { exactSumAdd(ctx, argv[0], 1); }
void exactSumInverse(sqlite3_context* ctx, int, sqlite3_value** argv) { exactSumAdd(ctx, argv[0], -1); }

void exactSumValue(sqlite3_context* ctx)
{
    const ExactSum* s = exactSum(ctx, false);
    if (!s || s->count <= 0) {
        sqlite3_result_null(ctx);
    } else if (s->nonFinite) {
        sqlite3_result_double(ctx, s->binary + s->sum.ToDouble());
    } else if (s->approximate) {
        sqlite3_result_double(ctx, s->sum.ToDouble());
    } else if (s->overflow) {
        sqlite3_result_error(ctx, "integer overflow", -1);
    } else {
        sqlite3_result_int64(ctx, s->whole);
    }
}

class Stmt {
public:
    Stmt(sqlite3* db, const QString& sql, const Params& params) : db_(db)
    {
        const QByteArray text = sql.toUtf8();
        int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &st_, nullptr);
        if (rc != SQLITE_OK)
            fail(db, rc, sql);
        bind(params);
    }
    ~Stmt() { sqlite3_finalize(st_); }
    sqlite3_stmt* get() const { return st_; }
    void finalize()
    {
        sqlite3_finalize(st_);
        st_ = nullptr;
    }

private:
    void bind(const Params& params)
    {
        const int n = sqlite3_bind_parameter_count(st_);
        for (int i = 1; i <= n; ++i) {
            const int p = i - 1;
            if (p >= int(params.size()))
                break;
            const QVariant& v = params[size_t(p)];
            int rc = SQLITE_OK;
            if (v.isNull() || !v.isValid()) {
                rc = sqlite3_bind_null(st_, i);
            } else {
                switch (v.typeId()) {
                case QMetaType::Bool: rc = sqlite3_bind_int64(st_, i, v.toBool() ? -1 : 0); break;
                case QMetaType::Int:
                case QMetaType::UInt:
                case QMetaType::LongLong:
                case QMetaType::ULongLong:
                case QMetaType::Short:
                case QMetaType::UShort:
                case QMetaType::UChar:
                case QMetaType::SChar: rc = sqlite3_bind_int64(st_, i, v.toLongLong()); break;
                case QMetaType::Double:
                case QMetaType::Float: rc = sqlite3_bind_double(st_, i, v.toDouble()); break;
                case QMetaType::QByteArray: {
                    const QByteArray b = v.toByteArray();
                    rc = sqlite3_bind_blob64(st_, i, b.constData(), sqlite3_uint64(b.size()), SQLITE_TRANSIENT);
                    break;
                }
                default: {
                    const QByteArray t = WithoutNul(v.toString()).toUtf8();
                    rc = sqlite3_bind_text64(st_, i, t.constData(), sqlite3_uint64(t.size()), SQLITE_TRANSIENT,
                                             SQLITE_UTF8);
                }
                }
            }
            if (rc != SQLITE_OK)
                fail(db_, rc);
        }
    }
    sqlite3* db_;
    sqlite3_stmt* st_ = nullptr;
};

EngineType typeFromDecl(const char* decl)
{
    if (!decl)
        return EngineType::Unknown;
    const QByteArray d = QByteArray(decl).toUpper();
    if (d.contains("INT"))
        return EngineType::Integer;
    if (d.contains("CHAR") || d.contains("TEXT") || d.contains("CLOB"))
        return EngineType::Text;
    if (d.contains("BLOB"))
        return EngineType::Blob;
    if (d.contains("REAL") || d.contains("FLOA") || d.contains("DOUB"))
        return EngineType::Float;
    return EngineType::Numeric;
}

// The cells of a statement's rows; Base is Cursor or RowCursor.
template <class Base>
class SqliteRows : public Base {
public:
    template <class... BaseArgs>
    SqliteRows(sqlite3* db, const QString& sql, const Params& params, BaseArgs&&... base)
        : Base(std::forward<BaseArgs>(base)...), db_(db), stmt_(db, sql, params)
    {
    }

    sqlite3_stmt* statement() const { return stmt_.get(); }
    int columnCount() const override { return sqlite3_column_count(stmt_.get()); }
    QString columnName(int c) const override { return QString::fromUtf8(sqlite3_column_name(stmt_.get(), c)); }
    ColumnOrigin origin(int c) override
    {
        const char* t = sqlite3_column_table_name(stmt_.get(), c);
        const char* o = sqlite3_column_origin_name(stmt_.get(), c);
        if (!t || !o)
            return {};
        return {QString::fromUtf8(t), QString::fromUtf8(o)};
    }
    EngineType engineType(int c) const override { return typeFromDecl(sqlite3_column_decltype(stmt_.get(), c)); }
    bool next() override
    {
        if (done_)
            return false;
        int rc = sqlite3_step(stmt_.get());
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE) {
            // the message is read before the statement lets go of it
            try {
                fail(db_, rc);
            } catch (...) {
                finished();
                throw;
            }
        }
        finished();
        return false;
    }
    CellType cellType(int c) override
    {
        switch (sqlite3_column_type(stmt_.get(), c)) {
        case SQLITE_INTEGER: return CellType::Integer;
        case SQLITE_FLOAT: return CellType::Float;
        case SQLITE_TEXT: return CellType::Text;
        case SQLITE_BLOB: return CellType::Blob;
        default: return CellType::Null;
        }
    }
    qint64 toInt64(int c) override { return sqlite3_column_int64(stmt_.get(), c); }
    double toDouble(int c) override { return sqlite3_column_double(stmt_.get(), c); }
    std::string_view text(int c) override
    {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_.get(), c));
        const int n = sqlite3_column_bytes(stmt_.get(), c);
        return p ? std::string_view(p, size_t(n)) : std::string_view();
    }
    QByteArray blob(int c) override
    {
        const void* p = sqlite3_column_blob(stmt_.get(), c);
        const int n = sqlite3_column_bytes(stmt_.get(), c);
        return p ? QByteArray(static_cast<const char*>(p), n) : QByteArray();
    }

    void appendRow(ColumnStore* const* stores) override
    {
        // one value handle per cell, fewer checks than the column_* calls; the connection runs
        // without a mutex (one thread per connection), so the handle needs no protection
        sqlite3_stmt* st = stmt_.get();
        const int n = sqlite3_column_count(st);
        for (int c = 0; c < n; ++c) {
            ColumnStore* s = stores[c];
            sqlite3_value* v = sqlite3_column_value(st, c);
            switch (sqlite3_value_type(v)) {
            case SQLITE_INTEGER: s->fastInt(sqlite3_value_int64(v)); break;
            case SQLITE_FLOAT: s->fastReal(sqlite3_value_double(v)); break;
            case SQLITE_TEXT: {
                const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
                s->fastText(p, size_t(sqlite3_value_bytes(v)));
                break;
            }
            case SQLITE_BLOB: {
                if (s->rep() == ColumnStore::Rep::Undecided)
                    s->decide(ColumnStore::Rep::Bytes);
                const auto* p = static_cast<const char*>(sqlite3_value_blob(v));
                s->fastText(p, size_t(sqlite3_value_bytes(v)));
                break;
            }
            default: s->fastNull();
            }
        }
    }

    int appendRows(ColumnStore* const* stores, int max) override
    {
        int n = 0;
        while (n < max && next()) {
            appendRow(stores);
            ++n;
        }
        return n;
    }

protected:
    // Called once no row is left.
    virtual void finished() { done_ = true; }

    sqlite3* db_;
    Stmt stmt_;
    bool done_ = false;
};

using SqliteCursor = SqliteRows<Cursor>;

// A dataset's rows on this connection: a read that has begun holds the file's shared lock
// until its last row, so the connection reads it to the end before it writes.
class SqliteRowCursor : public SqliteRows<RowCursor> {
public:
    SqliteRowCursor(Connection* conn, sqlite3* db, const QString& sql) : SqliteRows(db, sql, {}, conn) {}

    bool next() override
    {
        begun_ = true;
        return SqliteRows::next();
    }
    int appendRows(ColumnStore* const* stores, int max) override
    {
        begun_ = true;
        return SqliteRows::appendRows(stores, max);
    }
    bool pending() const override { return (begun_ || continues) && !done_; }
    bool blocksWriters() const override { return begun_ && !done_; }

private:
    void finished() override
    {
        done_ = true;
        // the shared lock goes with the statement's reset
        sqlite3_reset(stmt_.get());
    }
    void detach() override
    {
        done_ = true;
        stmt_.finalize();
    }

    bool begun_ = false;
};

// The texts' order (TextOrder.h) for ORDER BY ... COLLATE.
int compareTexts(void* order, int n1, const void* s1, int n2, const void* s2)
{
    if (n1 == n2 && std::memcmp(s1, s2, size_t(n1)) == 0)
        return 0;
    return static_cast<const Utf8TextOrder*>(order)->compare(static_cast<const char*>(s1), n1,
                                                            static_cast<const char*>(s2), n2);
}

sqlite3* openFile(const QString& path, int flags)
{
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        QString msg = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw DbError(categoryOf(rc), msg + QStringLiteral(": ") + path);
    }
    return db;
}

// A database file's size held against its header: the page size times the page count the
// header keeps, or a whole number of pages where the header keeps no valid count. Throws
// when they differ (a copy that lost its end: SQLite would read the missing pages as
// zeros). Files that are no SQLite database are left to SQLite to refuse.
void checkFileSize(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return;
    const qint64 size = f.size();
    const QByteArray h = f.read(100);
    if (h.size() < 100 || !h.startsWith(QByteArray("SQLite format 3\0", 16)))
        return;
    const auto number = [&h](int at, int bytes) {
        quint32 v = 0;
        for (int i = 0; i < bytes; ++i)
            v = (v << 8) | quint8(h[at + i]);
        return qint64(v);
    };
    qint64 pageSize = number(16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    const qint64 pages = number(28, 4);
    const bool countKept = pages != 0 && number(24, 4) == number(92, 4);
    qint64 expected = -1;
    if (pageSize >= 512 && pageSize <= 65536 && (pageSize & (pageSize - 1)) == 0)
        expected = countKept ? pageSize * pages : (size + pageSize - 1) / pageSize * pageSize;
    if (size != expected)
        throw DbError(ErrorCategory::Other,
                      QStringLiteral("اندازه فايل %1 بايت است و با سرآيند آن (%2 بايت) نمي خواند")
                          .arg(size)
                          .arg(expected));
}

// Ends a read transaction that copyDatabase began.
void endRead(sqlite3* db, bool began)
{
    if (began)
        sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

// Retries every millisecond until the time in *deadline (ms since the epoch) has passed:
// another connection's writes leave a reader short moments only.
int retryShortly(void* deadline, int)
{
    if (QDateTime::currentMSecsSinceEpoch() >= *static_cast<qint64*>(deadline))
        return 0;
    sqlite3_sleep(1);
    return 1;
}

// Begins a read transaction on db that sees one state of the database, waiting up to
// waitMs for writers; busyMs is db's own busy timeout, put back afterwards.
void beginRead(sqlite3* db, int waitMs, int busyMs)
{
    qint64 deadline = QDateTime::currentMSecsSinceEpoch() + waitMs;
    sqlite3_busy_handler(db, retryShortly, &deadline);
    char* err = nullptr;
    const int rc = sqlite3_exec(db, "BEGIN; SELECT count(*) FROM sqlite_master", nullptr, nullptr, &err);
    sqlite3_busy_timeout(db, busyMs);
    if (rc != SQLITE_OK) {
        const QString msg = QString::fromUtf8(err ? err : sqlite3_errstr(rc));
        sqlite3_free(err);
        endRead(db, sqlite3_get_autocommit(db) == 0);
        throw DbError(categoryOf(rc), msg);
    }
}

constexpr int kPagesPerStep = 256;

// Copies every page of from into to, in pieces. from is read as one state, under a read
// transaction held for the whole copy, and to changes all at once when the copy is
// complete, or not at all (also when progress throws). A lock held by another connection
// is waited for about waitMs; fromBusyMs is from's own busy timeout.
void copyDatabase(sqlite3* from, int fromBusyMs, sqlite3* to, int waitMs, const Connection::CopyProgress& progress)
{
    const bool began = sqlite3_get_autocommit(from) != 0;
    if (began)
        beginRead(from, waitMs, fromBusyMs);
    sqlite3_backup* b = sqlite3_backup_init(to, "main", from, "main");
    if (!b) {
        endRead(from, began);
        fail(to, sqlite3_errcode(to));
    }
    int rc = SQLITE_OK;
    try {
        if (progress)
            progress(0, 0);
        QElapsedTimer busy;
        for (;;) {
            rc = sqlite3_backup_step(b, kPagesPerStep);
            if (rc != SQLITE_OK && rc != SQLITE_BUSY && rc != SQLITE_LOCKED)
                break;
            if (rc == SQLITE_OK) {
                busy.invalidate();
            } else {
                if (!busy.isValid())
                    busy.start();
                if (busy.elapsed() >= waitMs)
                    break;
                sqlite3_sleep(20);
            }
            if (progress) {
                const int total = sqlite3_backup_pagecount(b);
                progress(total - sqlite3_backup_remaining(b), total);
            }
        }
    } catch (...) {
        sqlite3_backup_finish(b);
        endRead(from, began);
        throw;
    }
    const int done = sqlite3_backup_finish(b);
    endRead(from, began);
    if (rc != SQLITE_DONE)
        throw DbError(categoryOf(rc), QString::fromUtf8(sqlite3_errstr(rc)));
    if (done != SQLITE_OK)
        fail(to, done);
}

// The connection's ticker called from SQLite's progress handler while a statement runs;
// what it throws interrupts the statement and is thrown again by rethrow().
class Ticking {
public:
    Ticking(sqlite3* db, const Connection::Ticker& tick) : db_(tick ? db : nullptr), tick_(tick)
    {
        if (db_)
            sqlite3_progress_handler(db_, kOpsPerLook, &Ticking::look, this);
    }
    ~Ticking()
    {
        if (db_)
            sqlite3_progress_handler(db_, 0, nullptr, nullptr);
    }
    void rethrow()
    {
        if (error_)
            std::rethrow_exception(std::exchange(error_, nullptr));
    }

private:
    static constexpr int kOpsPerLook = 20000;   // well under a millisecond of work
    static constexpr qint64 kTickMs = 30;

    static int look(void* self)
    {
        auto* t = static_cast<Ticking*>(self);
        if (t->clock_.isValid() && t->clock_.elapsed() < kTickMs)
            return 0;
        t->clock_.start();
        try {
            t->tick_();
        } catch (...) {
            t->error_ = std::current_exception();
            return 1;
        }
        return 0;
    }

    sqlite3* db_;
    const Connection::Ticker& tick_;
    QElapsedTimer clock_;
    std::exception_ptr error_;
};

class SqliteConnection : public Connection {
public:
    SqliteConnection(sqlite3* db, int busyTimeoutMs) : Connection(Engine::SQLite), db_(db), busyMs_(busyTimeoutMs) {}
    ~SqliteConnection() override
    {
        detachRowReaders();
        sqlite3_close_v2(db_);
    }

protected:
    std::unique_ptr<Cursor> runQuery(const QString& text, const Params& params, bool) override
    {
        auto cur = std::make_unique<SqliteCursor>(db_, text, params);
        if (!sqlite3_stmt_readonly(cur->statement()))
            finishPendingReads();
        return cur;
    }

    std::unique_ptr<RowCursor> runRowReader(const QString& text, int) override
    {
        return std::make_unique<SqliteRowCursor>(this, db_, text);
    }

    int runExec(const QString& text, const Params& params) override
    {
        Stmt st(db_, text, params);
        // pending reads end before a write, and before a commit or rollback (a rollback
        // would cut them off half way)
        if (!sqlite3_stmt_readonly(st.get()) || kindOf(text) == Kind::End)
            finishPendingReads();
        Ticking ticking(db_, ticker());
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        }
        ticking.rethrow();
        if (rc != SQLITE_DONE)
            fail(db_, rc, text);
        return sqlite3_changes(db_);
    }

    void runScript(const QString& text) override
    {
        finishPendingReads();
        char* err = nullptr;
        int rc = sqlite3_exec(db_, text.toUtf8().constData(), nullptr, nullptr, &err);
        if (rc != SQLITE_OK) {
            const QString msg = QString::fromUtf8(err ? err : sqlite3_errstr(rc));
            sqlite3_free(err);
            throw DbError::fromEngine(categoryOf(rc), msg, text);
        }
    }

    QString beginText() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
    QString textCollation() override { return QString::fromLatin1(kTextCollation); }
    bool engineInTransaction() const override { return sqlite3_get_autocommit(db_) == 0; }

public:
    void backupTo(const QString& file, int waitMs, const CopyProgress& progress) override
    {
        sqlite3* to = openFile(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        try {
            copyDatabase(db_, busyMs_, to, waitMs, progress);
        } catch (...) {
            sqlite3_close_v2(to);
            throw;
        }
        if (sqlite3_close(to) != SQLITE_OK)
            throw DbError(ErrorCategory::Other, QStringLiteral("close failed: ") + file);
    }

    void restoreFrom(const QString& file, int waitMs, const CopyProgress& progress) override
    {
        if (inTransaction())
            throw DbError(ErrorCategory::Other, QStringLiteral("restoreFrom: a transaction is open"));
        if (!QFileInfo::exists(file))
            throw DbError(ErrorCategory::Other, QStringLiteral("فايل پايگاه داده پيدا نشد: %1").arg(file));
        finishPendingReads();
        checkFileSize(file);
        sqlite3* from = openFile(file, SQLITE_OPEN_READONLY);
        try {
            copyDatabase(from, 0, db_, waitMs, progress);
        } catch (...) {
            sqlite3_close_v2(from);
            throw;
        }
        sqlite3_close_v2(from);
        keys_.clear();
    }

    KeyInfo keyOf(const QString& table) override
    {
        const QString k = table.toLower();
        auto it = keys_.find(k);
        if (it != keys_.end())
            return *it;
        KeyInfo info;
        auto cur = query(QStringLiteral("select name, type, pk from pragma_table_info($1) order by pk"), {table}, false);
        int pkCount = 0;
        while (cur->next()) {
            if (cur->toInt64(2) > 0) {
                ++pkCount;
                auto n = cur->text(0);
                info.column = QString::fromUtf8(n.data(), qsizetype(n.size()));
                auto t = cur->text(1);
                info.autoIncrement = QByteArray(t.data(), qsizetype(t.size())).toUpper() == "INTEGER";
            }
        }
        if (pkCount != 1)
            info = {};
        keys_.insert(k, info);
        return info;
    }

private:
    sqlite3* db_;
    int busyMs_;
    QHash<QString, KeyInfo> keys_;
};

} // namespace

std::unique_ptr<Connection> Connection::openSqlite(const QString& path, bool create, int busyTimeoutMs)
{
    if (!create && !QFileInfo::exists(path))
        throw DbError(ErrorCategory::Other, QStringLiteral("فايل پايگاه داده پيدا نشد: %1").arg(path));
    sqlite3* db = nullptr;
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX; // one thread per connection
    if (create)
        flags |= SQLITE_OPEN_CREATE;
    int rc = sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        QString msg = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw DbError(categoryOf(rc), msg + QStringLiteral(": ") + path);
    }
    sqlite3_busy_timeout(db, busyTimeoutMs);
    sqlite3_extended_result_codes(db, 0);
    auto conn = std::make_unique<SqliteConnection>(db, busyTimeoutMs);
    conn->exec(QStringLiteral("PRAGMA foreign_keys=ON"), {});
    rc = sqlite3_create_collation_v2(db, kTextCollation, SQLITE_UTF8, new Utf8TextOrder, compareTexts,
                                     [](void* c) { delete static_cast<Utf8TextOrder*>(c); });
    if (rc != SQLITE_OK)
        fail(db, rc);
    rc = sqlite3_create_window_function(db, "sum", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr, exactSumStep,
                                        exactSumValue, exactSumValue, exactSumInverse, nullptr);
    if (rc != SQLITE_OK)
        fail(db, rc);
    return conn;
}

} // namespace db
