#include "platform/db/Connection.h"

#include "platform/db/ColumnStore.h"
#include "platform/db/Sql.h"

#include <algorithm>

namespace db {

QString Connection::prepareText(const QString& sql) const
{
    // a NUL ends the text on the server and spoils the statement on the file: never sent
    QString text = WithoutNul(sql);
    if (hook_)
        hook_(text);
    return stripNationalPrefix(text);
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

void Connection::backupTo(const QString&, int)
{
    throw DbError(ErrorCategory::Other, QStringLiteral("backupTo: not supported on this engine"));
}

void Connection::restoreFrom(const QString&, int)
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
