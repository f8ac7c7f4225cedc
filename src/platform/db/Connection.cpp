#include "platform/db/Connection.h"

#include "platform/db/ColumnStore.h"
#include "platform/db/Sql.h"
#include "platform/shell/Progress.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <optional>

#include <algorithm>

namespace db {

namespace {

// When the tries to reach a server that went away start, counted from the first.
constexpr qint64 kTryAtMs[] = {0, 250, 750, 1500, 2500};
constexpr quint64 kNoAction = ~quint64(0);

} // namespace

QString Connection::prepareText(const QString& sql) const
{
    // a NUL ends the text on the server and spoils the statement on the file: never sent
    QString text = WithoutNul(sql);
    if (hook_)
        hook_(text);
    return stripNationalPrefix(text);
}

Connection::Kind Connection::kindOf(const QString& text)
{
    // the first word, past blanks and opening parentheses
    qsizetype i = 0;
    while (i < text.size() && (text[i].isSpace() || text[i] == QLatin1Char('(')))
        ++i;
    qsizetype j = i;
    while (j < text.size() && text[j].isLetter())
        ++j;
    const QStringView word = QStringView(text).mid(i, j - i);
    for (const char* read : {"select", "show", "pragma", "explain", "values"})
        if (word.compare(QLatin1String(read), Qt::CaseInsensitive) == 0)
            return Kind::Read;
    return Kind::Write;
}

std::unique_ptr<Cursor> Connection::query(const QString& sql, const Params& params, bool origins)
{
    const QString text = prepareText(sql);
    std::unique_ptr<Cursor> cur;
    statement(kindOf(text), text, [&] { cur = runQuery(text, params, origins); });
    return cur;
}

std::unique_ptr<RowCursor> Connection::rowReader(const QString& sql, int firstRows)
{
    const QString text = prepareText(sql);
    std::unique_ptr<RowCursor> cur;
    statement(Kind::Read, text, [&] { cur = runRowReader(text, firstRows); });
    return cur;
}

int Connection::exec(const QString& sql, const Params& params)
{
    const QString text = prepareText(sql);
    int changed = 0;
    statement(kindOf(text), text, [&] { changed = runExec(text, params); });
    return changed;
}

void Connection::execScript(const QString& sql)
{
    const QString text = prepareText(sql);
    statement(Kind::Write, text, [&] { runScript(text); });
}

void Connection::begin()
{
    const QString text = prepareText(beginText());
    statement(Kind::Begin, text, [&] { runExec(text, {}); });
    txOpen_ = true;
}

void Connection::commit()
{
    const QString text = prepareText(QStringLiteral("COMMIT"));
    if (txLost_) {
        txLost_ = txOpen_ = false;
        throw lostError(text);
    }
    try {
        statement(Kind::End, text, [&] { runExec(text, {}); });
    } catch (...) {
        txOpen_ = txOpen_ && engineInTransaction();   // a refused commit may leave it open (SQLite)
        throw;
    }
    txOpen_ = false;
}

void Connection::rollback()
{
    if (txLost_) {
        // the server rolled it back when the link went
        txLost_ = txOpen_ = false;
        return;
    }
    if (!inTransaction())
        return;
    const QString text = prepareText(QStringLiteral("ROLLBACK"));
    try {
        statement(Kind::End, text, [&] { runExec(text, {}); });
    } catch (const DbError& e) {
        txOpen_ = txOpen_ && engineInTransaction();
        if (e.category() == ErrorCategory::ConnectionLost)
            return;
        throw;
    }
    txOpen_ = false;
}

void Connection::loseTransaction(Kind kind)
{
    txOpen_ = false;
    // a commit or rollback ends it here; any other statement leaves it to the rollback
    txLost_ = kind != Kind::End;
}

void Connection::statement(Kind kind, const QString& text, const std::function<void()>& run)
{
    if (txLost_)
        throw lostError(text);
    QString why;
    if (linkBroken(&why)) {
        linkText_ = why;
        // nothing of this statement has been sent yet
        if (txOpen_) {
            loseTransaction(kind);
            throw lostError(text);
        }
        reconnect(text);
        run();
        return;
    }
    try {
        run();
        return;
    } catch (const DbError& e) {
        if (e.category() != ErrorCategory::ConnectionLost)
            throw;
        if (!e.engineText().isEmpty())
            linkText_ = e.engineText();
        if (txOpen_) {
            loseTransaction(kind);
            throw;
        }
        // a write may have happened before the link went: it is not run twice
        if (kind == Kind::Write || kind == Kind::End)
            throw;
    }
    reconnect(text);
    run();
}

void Connection::reconnect(const QString& text)
{
    if (gaveUpIn_ == currentAction())
        throw lostError(text);
    QString error = linkText_;
    bool back = false;
    {
        // the hourglass at once, a window with a cancel button after half a second
        // (a connection read on another thread, or a tool without windows, tries unseen)
        std::optional<shell::Progress> progress;
        if (QCoreApplication::instance() && QThread::currentThread() == QCoreApplication::instance()->thread()) {
            try {
                progress.emplace(QStringLiteral("برقراري دوباره ارتباط با سرور پايگاه داده"), true);
            } catch (const std::logic_error&) {
            }
        }
        QElapsedTimer clock;
        clock.start();
        for (qint64 at : kTryAtMs) {
            bool cancelled = false;
            while (!cancelled && clock.elapsed() < at) {
                cancelled = progress && !progress->keepGoing(clock.elapsed());
                if (!cancelled)
                    QThread::msleep(20);
            }
            if (cancelled || (back = relink(&error)))
                break;
        }
    }
    if (!error.isEmpty())
        linkText_ = error;
    if (!back) {
        gaveUpIn_ = currentAction();
        throw lostError(text);
    }
    gaveUpIn_ = kNoAction;
}

DbError Connection::lostError(const QString& text) const
{
    return DbError::fromEngine(ErrorCategory::ConnectionLost, linkText_, text);
}

void Cursor::appendRow(ColumnStore* const* stores)
{
    const int n = columnCount();
    for (int c = 0; c < n; ++c) {
        ColumnStore* s = stores[c];
        switch (cellType(c)) {
        case CellType::Null: s->appendNull(); break;
        case CellType::Integer: s->appendInt(toInt64(c)); break;
        case CellType::Float: s->appendReal(toDouble(c)); break;
        case CellType::Text: s->appendText(text(c)); break;
        case CellType::Blob: {
            if (s->rep() == ColumnStore::Rep::Undecided)
                s->decide(ColumnStore::Rep::Bytes);
            const QByteArray b = blob(c);
            s->appendText(std::string_view(b.constData(), size_t(b.size())));
            break;
        }
        }
    }
}

int Cursor::appendRows(ColumnStore* const* stores, int max)
{
    int n = 0;
    while (n < max && next()) {
        appendRow(stores);
        ++n;
    }
    return n;
}

RowCursor::RowCursor(Connection* conn) : conn_(conn)
{
    conn_->rowCursors_.push_back(this);
}

RowCursor::~RowCursor()
{
    if (conn_) {
        auto& list = conn_->rowCursors_;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
    }
}

void Connection::finishPendingReads()
{
    // a copy: finishing a read may end other cursors too
    const std::vector<RowCursor*> cursors = rowCursors_;
    for (RowCursor* c : cursors) {
        if (std::find(rowCursors_.begin(), rowCursors_.end(), c) == rowCursors_.end())
            continue;
        if (c->pending() && c->beforeWrite) {
            const std::function<void()> finish = c->beforeWrite;   // the cursor may end inside
            finish();
        }
    }
}

void Connection::detachRowReaders()
{
    for (RowCursor* c : rowCursors_) {
        c->detach();
        c->conn_ = nullptr;
    }
    rowCursors_.clear();
}

QVariant Connection::scalar(const QString& sql, const Params& params)
{
    auto cur = query(sql, params);
    if (!cur->next() || cur->columnCount() == 0)
        return {};
    switch (cur->cellType(0)) {
    case CellType::Null: return {};
    case CellType::Integer: return QVariant(cur->toInt64(0));
    case CellType::Float: return QVariant(cur->toDouble(0));
    case CellType::Blob: return QVariant(cur->blob(0));
    case CellType::Text: {
        auto t = cur->text(0);
        return QVariant(QString::fromUtf8(t.data(), qsizetype(t.size())));
    }
    }
    return {};
}

void Connection::backupTo(const QString&, int, const CopyProgress&)
{
    throw DbError(ErrorCategory::Other, QStringLiteral("backupTo: not supported on this engine"));
}

void Connection::restoreFrom(const QString&, int, const CopyProgress&)
{
    throw DbError(ErrorCategory::Other, QStringLiteral("restoreFrom: not supported on this engine"));
}

bool Connection::tryExec(const QString& sql, QString* error)
{
    const bool savepoint = inTransaction();
    try {
        if (savepoint)
            exec(QStringLiteral("SAVEPOINT dovin_try"));
        exec(sql);
        if (savepoint)
            exec(QStringLiteral("RELEASE SAVEPOINT dovin_try"));
        return true;
    } catch (const DbError& e) {
        if (savepoint) {
            try {
                exec(QStringLiteral("ROLLBACK TO SAVEPOINT dovin_try"));
                exec(QStringLiteral("RELEASE SAVEPOINT dovin_try"));
            } catch (const DbError&) {
            }
        }
        if (error)
            *error = e.message();
        return false;
    }
}

namespace {
bool countPositive(Connection& c, const QString& sql, const Params& p)
{
    return c.scalar(sql, p).toLongLong() > 0;
}
} // namespace

bool Connection::tableExists(const QString& table)
{
    return countPositive(*this, dialect().tableExistsQuery(), {table});
}

bool Connection::viewExists(const QString& view)
{
    return countPositive(*this, dialect().viewExistsQuery(), {view});
}

bool Connection::columnExists(const QString& table, const QString& column)
{
    return countPositive(*this, dialect().columnExistsQuery(), {table, column});
}

bool Connection::indexExists(const QString& table, const QString& index)
{
    return countPositive(*this, dialect().indexExistsQuery(), {table, index});
}

} // namespace db
