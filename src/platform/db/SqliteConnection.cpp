// The file database through the sqlite3 C API.
#include "platform/db/Connection.h"

#include "platform/db/ColumnStore.h"
#include "platform/db/Sql.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QHash>
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

[[noreturn]] void fail(sqlite3* db, int rc, const QString& context = {})
{
    const ErrorCategory cat = categoryOf(rc);
    QString msg = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    if (cat == ErrorCategory::Locked)
        msg = QString::fromLatin1(lockedText()) + QLatin1Char(' ') + msg;
    if (!context.isEmpty())
        msg += QStringLiteral("\n") + context;
    throw DbError(cat, msg);
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
    bool pending() const override { return begun_ && !done_; }

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

// Copies every page of from into to in one step, so the copy is one consistent state of
// from and to changes all at once or not at all. A lock held by another connection is
// waited for about waitMs.
void copyDatabase(sqlite3* from, sqlite3* to, int waitMs)
{
    QElapsedTimer clock;
    clock.start();
    sqlite3_backup* b = sqlite3_backup_init(to, "main", from, "main");
    if (!b)
        fail(to, sqlite3_errcode(to));
    int rc;
    while ((rc = sqlite3_backup_step(b, -1)) == SQLITE_BUSY || rc == SQLITE_LOCKED) {
        if (clock.elapsed() >= waitMs)
            break;
        sqlite3_sleep(20);
    }
    const int done = sqlite3_backup_finish(b);
    if (rc != SQLITE_DONE)
        throw DbError(categoryOf(rc), QString::fromUtf8(sqlite3_errstr(rc)));
    if (done != SQLITE_OK)
        fail(to, done);
}

class SqliteConnection : public Connection {
public:
    SqliteConnection(sqlite3* db) : Connection(Engine::SQLite), db_(db) {}
    ~SqliteConnection() override
    {
        detachRowReaders();
        sqlite3_close_v2(db_);
    }

    std::unique_ptr<Cursor> query(const QString& sql, const Params& params, bool) override
    {
        auto cur = std::make_unique<SqliteCursor>(db_, prepareText(sql), params);
        if (!sqlite3_stmt_readonly(cur->statement()))
            finishPendingReads();
        return cur;
    }

    std::unique_ptr<RowCursor> rowReader(const QString& sql, int) override
    {
        return std::make_unique<SqliteRowCursor>(this, db_, prepareText(sql));
    }

    int exec(const QString& sql, const Params& params) override
    {
        const QString text = prepareText(sql);
        Stmt st(db_, text, params);
        if (!sqlite3_stmt_readonly(st.get()))
            finishPendingReads();
        int rc;
        while ((rc = sqlite3_step(st.get())) == SQLITE_ROW) {
        }
        if (rc != SQLITE_DONE)
            fail(db_, rc, text);
        return sqlite3_changes(db_);
    }

    void execScript(const QString& sql) override
    {
        finishPendingReads();
        const QByteArray text = prepareText(sql).toUtf8();
        char* err = nullptr;
        int rc = sqlite3_exec(db_, text.constData(), nullptr, nullptr, &err);
        if (rc != SQLITE_OK) {
            QString msg = QString::fromUtf8(err ? err : sqlite3_errstr(rc));
            sqlite3_free(err);
            throw DbError(categoryOf(rc), msg);
        }
    }

    void begin() override { exec(QStringLiteral("BEGIN IMMEDIATE"), {}); }
    void commit() override
    {
        finishPendingReads();
        exec(QStringLiteral("COMMIT"), {});
    }
    void rollback() override
    {
        // a rollback would end the pending reads of this connection half way
        finishPendingReads();
        if (inTransaction())
            exec(QStringLiteral("ROLLBACK"), {});
    }
    bool inTransaction() const override { return sqlite3_get_autocommit(db_) == 0; }

    void backupTo(const QString& file, int waitMs) override
    {
        sqlite3* to = openFile(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        try {
            copyDatabase(db_, to, waitMs);
        } catch (...) {
            sqlite3_close_v2(to);
            throw;
        }
        if (sqlite3_close(to) != SQLITE_OK)
            throw DbError(ErrorCategory::Other, QStringLiteral("close failed: ") + file);
    }

    void restoreFrom(const QString& file, int waitMs) override
    {
        if (inTransaction())
            throw DbError(ErrorCategory::Other, QStringLiteral("restoreFrom: a transaction is open"));
        if (!QFileInfo::exists(file))
            throw DbError(ErrorCategory::Other, QStringLiteral("فايل پايگاه داده پيدا نشد: %1").arg(file));
        finishPendingReads();
        sqlite3* from = openFile(file, SQLITE_OPEN_READONLY);
        try {
            copyDatabase(from, db_, waitMs);
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
    auto conn = std::make_unique<SqliteConnection>(db);
    conn->exec(QStringLiteral("PRAGMA foreign_keys=ON"), {});
    return conn;
}

} // namespace db
