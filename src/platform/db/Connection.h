#pragma once
// A connection to the file database (SQLite) or the server database (PostgreSQL),
// through their C APIs. Every statement passes the pre-execute hook, then loses the N of
// its N'...' literals, then runs on the link, which is made again when the server went
// away meanwhile.

#include "platform/db/Dialect.h"
#include "platform/db/Errors.h"

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <functional>
#include <limits>
#include <memory>
#include <string_view>
#include <vector>

namespace db {

class Catalog;
class ColumnStore;

enum class CellType { Null, Integer, Float, Text, Blob };

// Where a result column comes from; empty for computed columns.
struct ColumnOrigin {
    QString table;
    QString column;
};

// The engine's own idea of a result column's type.
enum class EngineType { Unknown, Integer, Boolean, Float, Numeric, Text, Blob };

// A forward-only cursor over a statement's rows.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual int columnCount() const = 0;
    virtual QString columnName(int c) const = 0;
    virtual ColumnOrigin origin(int c) = 0;
    virtual EngineType engineType(int c) const = 0;
    // Advances to the next row; false at the end.
    virtual bool next() = 0;
    virtual CellType cellType(int c) = 0;
    virtual qint64 toInt64(int c) = 0;
    virtual double toDouble(int c) = 0;
    // UTF-8 text of the cell, valid until next().
    virtual std::string_view text(int c) = 0;
    virtual QByteArray blob(int c) = 0;
    // Appends the current row's cells to one store per column.
    virtual void appendRow(ColumnStore* const* stores);
    // Reads up to max rows into one store per column (the dataset's hot path); fewer than
    // max only at the end.
    virtual int appendRows(ColumnStore* const* stores, int max);
};

class Connection;

// The rows of a dataset, read over time (Connection::rowReader): the columns are known at
// once, no row is read before the first next() or appendRows(), and every row comes from the
// snapshot of the first one, however long the reading takes.
class RowCursor : public Cursor {
public:
    ~RowCursor() override;
    RowCursor(const RowCursor&) = delete;
    RowCursor& operator=(const RowCursor&) = delete;
    // Set by the owner: reads the rest of the rows. The file database calls it before its
    // connection writes while rows are still to come (its pending read would keep the
    // write waiting, and a write of the same connection may or may not show in it).
    std::function<void()> beforeWrite;
    // Rows are still to come from a read that has begun.
    virtual bool pending() const = 0;
    // How many rows can be taken now without waiting for the engine (some, when more are in
    // than it can tell); 0 while the next ones are on their way.
    virtual int rowsAtHand() { return std::numeric_limits<int>::max(); }
    // Set by the owner before the first row: the statement reads the rest of a read that
    // an earlier cursor began, and counts as begun from the start.
    bool continues = false;
    // The read keeps other connections from writing until it ends (the file database's
    // shared lock, held from the first row to the last).
    virtual bool blocksWriters() const { return false; }

protected:
    explicit RowCursor(Connection* conn);
    Connection* owner() const { return conn_; }

private:
    friend class Connection;
    // The connection is going away: what it lent is given back and no row comes any more.
    virtual void detach() = 0;
    Connection* conn_;
};

using Params = std::vector<QVariant>;

class Connection {
public:
    virtual ~Connection() = default;

    // Opens a SQLite file; with create false a missing file is an error.
    static std::unique_ptr<Connection> openSqlite(const QString& path, bool create = false, int busyTimeoutMs = 3000);
    // Opens a PostgreSQL database from a libpq connection string.
    static std::unique_ptr<Connection> openPostgres(const QString& conninfo);

    Engine engine() const { return dialect_.engine(); }
    const Dialect& dialect() const { return dialect_; }

    // Called with every statement's text before it runs; may change it.
    void setPreExecuteHook(std::function<void(QString&)> hook) { hook_ = std::move(hook); }

    // Every statement passes through the link guard (see statement() below).
    // Runs a statement that returns rows. Parameters are written $1, $2, ... in the text.
    // With origins, the cursor can tell the base table and column of each result column.
    std::unique_ptr<Cursor> query(const QString& sql, const Params& params = {}, bool origins = false);
    // A statement's rows read over time, with the origins of its columns; the statement is
    // checked at once, and with firstRows the reading may begin at once with that many rows.
    // The file database reads on this connection and reads the rest before this connection
    // writes; the server database reads on a second connection of its own (PgConnection's
    // readers), or on this one while it is inside a transaction, whose changes the rows must
    // show.
    std::unique_ptr<RowCursor> rowReader(const QString& sql, int firstRows = 0);
    // Runs a statement; returns the number of rows it changed.
    int exec(const QString& sql, const Params& params = {});
    // Runs several statements separated by ';' (no parameters).
    void execScript(const QString& sql);
    // First column of the first row, or an invalid QVariant.
    QVariant scalar(const QString& sql, const Params& params = {});

    void begin();
    void commit();
    // Ends an open transaction without keeping it; nothing happens when none is open.
    void rollback();
    bool inTransaction() const { return txLost_ || engineInTransaction(); }
    // Runs a statement that may fail harmlessly: an error does not spoil an open transaction.
    bool tryExec(const QString& sql, QString* error = nullptr);

    // Primary-key column of a base table (empty when none) and whether the engine numbers it.
    struct KeyInfo {
        QString column;
        bool autoIncrement = false;
    };
    virtual KeyInfo keyOf(const QString& table) = 0;

    // The column catalogue the datasets on this connection use for field definitions.
    void setCatalog(const Catalog* catalog) { catalog_ = catalog; }
    const Catalog* catalog() const { return catalog_; }

    // Told before and between the pieces of a long copy how many of its pages are done, of
    // how many (0: not known yet); may throw to stop the copy, which then changes nothing.
    using CopyProgress = std::function<void(qint64 done, qint64 total)>;
    // The whole database copied into a new file, one consistent state of it while other
    // connections write (the file database: SQLite's online backup). A lock held elsewhere
    // is waited for up to about waitMs.
    virtual void backupTo(const QString& file, int waitMs = 5000, const CopyProgress& progress = {});
    // The whole database replaced by the one in a file, in one step: on failure it stays as
    // it was (the file database). A file whose size is not the one its header gives (a
    // copy missing its end) is refused.
    virtual void restoreFrom(const QString& file, int waitMs = 5000, const CopyProgress& progress = {});

    // Called every few tens of milliseconds while a statement of exec() runs, until set
    // empty: a long one (CREATE INDEX over many rows) keeps its progress window painting.
    // It must not use this connection; what it throws stops the statement and is thrown.
    using Ticker = std::function<void()>;
    void setTicker(Ticker tick) { ticker_ = std::move(tick); }
    // The collation that orders texts as the datasets' own sort does (TextOrder.h), for
    // ORDER BY; empty where this database has none.
    virtual QString textCollation() { return {}; }

    // Whether a table, view, column or index exists.
    bool tableExists(const QString& table);
    bool viewExists(const QString& view);
    bool columnExists(const QString& table, const QString& column);
    bool indexExists(const QString& table, const QString& index);

protected:
    explicit Connection(Engine engine) : dialect_(engine) {}

    // The engine's side. Texts reach these after the pre-execute hook and the N removal.
    virtual std::unique_ptr<Cursor> runQuery(const QString& text, const Params& params, bool origins) = 0;
    virtual std::unique_ptr<RowCursor> runRowReader(const QString& text, int firstRows) = 0;
    virtual int runExec(const QString& text, const Params& params) = 0;
    virtual void runScript(const QString& text) = 0;
    virtual QString beginText() const { return QStringLiteral("BEGIN"); }
    virtual bool engineInTransaction() const = 0;

    // The link to a database server; the file database never loses it. linkBroken tells,
    // without waiting, whether the link is known to be gone (checked before a statement is
    // sent), and why; relink makes one attempt to connect again and on failure gives the
    // engine's text. A statement that finds the link gone throws ConnectionLost.
    virtual bool linkBroken(QString* why) { return false; }
    virtual bool relink(QString* error) { return true; }
    const Ticker& ticker() const { return ticker_; }
    // Whether begin() opened a transaction that has not ended yet.
    bool transactionOpened() const { return txOpen_; }

    enum class Kind { Read, Write, Begin, End };
    static Kind kindOf(const QString& text);
    QString prepareText(const QString& sql) const;
    // Runs one statement on the link: a link found gone before anything is sent is made
    // again first (bounded tries under a progress window, once per action); a link lost
    // while the statement ran is made again and a read or BEGIN is run once more, while a
    // write, which may have happened, is not. A transaction lost with the link fails, and
    // so does every statement of it until it is rolled back. An engine's other ways in (a
    // second link that reads rows over time) start their work through it too, so that
    // every link of the program is found again the same way.
    void statement(Kind kind, const QString& text, const std::function<void()>& run);

    // Reads the rest of every row reader of this connection whose read has begun.
    void finishPendingReads();
    // Called first by the engines' destructors: the row readers still alive let go.
    void detachRowReaders();

private:
    friend class RowCursor;
    void loseTransaction(Kind kind);
    void reconnect(const QString& text);
    DbError lostError(const QString& text) const;

    Dialect dialect_;
    std::vector<RowCursor*> rowCursors_;
    std::function<void(QString&)> hook_;
    const Catalog* catalog_ = nullptr;
    Ticker ticker_;
    bool txOpen_ = false;          // begin() ran and no commit or rollback yet
    bool txLost_ = false;          // the open transaction went with the link; only rollback() ends it
    QString linkText_;             // the engine's last words about the link
    quint64 gaveUpIn_ = ~quint64(0);   // the action in which the server was looked for in vain
};

// Runs fn inside a transaction on c: commits when fn returns, rolls back when it throws.
template <typename Fn>
void inTransaction(Connection& c, Fn fn)
{
    c.begin();
    try {
        fn();
    } catch (...) {
        try {
            c.rollback();
        } catch (...) {
        }
        throw;
    }
    c.commit();
}

} // namespace db
