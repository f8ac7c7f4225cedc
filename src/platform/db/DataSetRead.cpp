// Opening, closing and reading the rows: the first rows when opened, the rest in idle time or
// when something needs them.
#include "platform/db/DataSet.h"

#include "platform/db/ColumnStore.h"
#include "platform/db/DataSetInternal.h"
#include "platform/db/Sql.h"
#include "platform/shell/Progress.h"
#include "platform/shell/Prompter.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRegularExpression>
#include <QTimer>
#include <exception>
#include <algorithm>
#include <limits>
#include <optional>

namespace db {

namespace {

constexpr int kFirstRows = 256;      // a screen of rows and more, before a list shows
constexpr int kChunkRows = 1024;     // rows read between two looks at the progress window
constexpr int kSliceRows = 256;      // rows read between two looks at the clock in idle time
constexpr qint64 kSliceMs = 15;      // idle-time reading per turn of the event loop
constexpr int kWaitMs = 2;           // between two looks for rows still on their way

// How many data fields bear a name.
int dataNamed(const std::vector<Field*>& fields, const QString& name)
{
    int named = 0;
    for (const Field* f : fields)
        named += f->Kind() == FieldKind::Data && f->FieldName().compare(name, Qt::CaseInsensitive) == 0;
    return named;
}

// The key can be named in a statement asking for the rows past it: a plain name that no other
// data field bears.
bool keyNameable(const std::vector<Field*>& fields, const Field* key)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return plain.match(key->FieldName()).hasMatch() && dataNamed(fields, key->FieldName()) == 1;
}

bool isKey(const Field* key, const QString& column)
{
    return column.compare(key->FieldName(), Qt::CaseInsensitive) == 0
        || column.compare(key->BaseColumn(), Qt::CaseInsensitive) == 0;
}

QString textOf(const std::exception& e)
{
    if (const auto* d = dynamic_cast<const DbError*>(&e))
        return d->message();
    return QString::fromUtf8(e.what());
}

} // namespace

// ---- opening and closing ----

void DataSet::openStatement(int firstRows, const QString& text)
{
    if (!conn_)
        throw DbError(ErrorCategory::Other, QStringLiteral("Dataset has no connection"));
    fire(BeforeOpen);
    try {
        reader_ = conn_->rowReader(text.isNull() ? sql_ : text, firstRows);
        buildFields(*reader_);
        findKey();
        learnOrder();
    } catch (...) {
        closeStatement();
        for (auto& f : allFields_)
            f->index_ = -1;
        fields_.clear();
        byName_.clear();
        throw;
    }
    readInto_.clear();
    for (auto& s : stores_)
        readInto_.push_back(s.get());
    reader_->beforeWrite = [this] { readBeforeWrite(); };
    started_ = false;
    ++openCount_;
}

// Drops the rows and what is still to come.
void DataSet::closeStatement()
{
    reader_.reset();
    readInto_.clear();
    if (idle_)
        idle_->stop();
    stores_.clear();
    calcStores_.clear();
    calcValid_.clear();
    deleted_.clear();
    order_.clear();
    view_.clear();
    physCount_ = 0;
    started_ = false;
    restPending_ = false;
    firstKeys_.clear();
    postedKeys_.clear();
    cutOff_ = QString();
    resumable_ = lastKeyKnown_ = retried_ = false;
    restSql_.clear();
    arrangeSql_.clear();
    base_.clear();
    baseEnd_ = 0;
}

void DataSet::finishOpen()
{
    state_ = DataSetState::Browse;
    rebuildView();
    cur_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
    if (!disabled_) {
        emit stateChanged();
        emit layoutChanged();
        emit currentChanged();
    }
    fire(AfterOpen);
    fire(AfterScroll);
    scheduleIdleRead();
}

void DataSet::Open()
{
    if (Active())
        return;
    const QString order = engineOrder();
    if (!order.isEmpty()) {
        try {
            openSorted(order);
            finishOpen();
            return;
        } catch (const DbError&) {
            // a statement that cannot be wrapped: the dataset sorts its rows itself
            closeStatement();
        }
    }
    openStatement(kFirstRows);
    try {
        started_ = true;
        readRows(kFirstRows);
        settleTypes();
        if (viewNeedsAllRows())
            fetch(-1, false, true);
        else
            restByKey();
    } catch (...) {
        closeStatement();
        throw;
    }
    finishOpen();
}

// The statement's first rows in the engine's order; when there are more, the statement runs
// again unsorted for the rest, which joins the view sorted once it is all read.
void DataSet::openSorted(const QString& order)
{
    // the engines pick the first keys over narrow rows, then read those rows whole; the
    // statement's own order is dropped inside (the server would sort every row by it first)
    const QString key = fields_[size_t(keyField_)]->FieldName();
    const QString unordered = Unordered(sql_);
    openStatement(kFirstRows, QStringLiteral("select * from (%1) dovin_rows where %2 in (select %2 from (%1) dovin_keys "
                                             "order by %3 limit %4) order by %3")
                                  .arg(unordered.isEmpty() ? sql_ : unordered, key, order, QString::number(kFirstRows)));
    try {
        if (keyField_ < 0)
            throw DbError(ErrorCategory::Other, QStringLiteral("The sorted statement lost its key"));
        started_ = true;
        readRows(kFirstRows);
        settleTypes();
        if (physCount_ < kFirstRows)
            return;
        // the keys of the rest, not of the sorted first rows, tell whether it can be asked for anew
        learnOrder();
        if (!keyOrderedRest()) {
            reader_ = conn_->rowReader(sql_, kSliceRows);
            readInto_.clear();
            for (auto& s : stores_)
                readInto_.push_back(s.get());
            reader_->beforeWrite = [this] { readBeforeWrite(); };
        }
        restPending_ = true;
        const Field* kf = fields_[size_t(keyField_)];
        for (int phys = 0; phys < physCount_; ++phys)
            firstKeys_.insert(storedValue(phys, kf).toLongLong());
        // begun at once: its snapshot is that of the open, whatever is saved meanwhile
        readRows(kSliceRows);
        if (!reader_) {
            restPending_ = false;   // all here: the open puts them in order
            firstKeys_.clear();
        }
    } catch (...) {
        closeStatement();
        throw;
    }
}

// Every row of a sorted open is read: the rest takes its place in the order, the current
// record stays current.
void DataSet::restRead()
{
    if (!cutOff_.isNull())
        return;   // the order of a list cut off is not known: its first rows stay alone
    if (state_ == DataSetState::Insert) {
        // the row being inserted has no place yet: once it has
        const unsigned open = openCount_;
        QTimer::singleShot(50, this, [this, open] {
            if (open == openCount_ && restPending_ && !reader_)
                restRead();
        });
        return;
    }
    if (!arrangeSql_.isEmpty()) {
        try {
            arrange();
        } catch (const std::exception& e) {
            readFailed(e);
            return;
        }
    }
    restPending_ = false;
    firstKeys_.clear();
    const int phys = physOfCurrent();
    rebuildView();
    const auto it = std::find(view_.begin(), view_.end(), phys);
    cur_ = it == view_.end() ? (view_.empty() ? -1 : 0) : int(it - view_.begin());
    eof_ = view_.empty();
    emitLayout();
}

void DataSet::OpenDeferred()
{
    if (Active())
        return;
    openStatement(0);
    finishOpen();
}

void DataSet::Close()
{
    if (!Active())
        return;
    fire(BeforeClose);
    state_ = DataSetState::Inactive;
    closeStatement();
    ++openCount_;
    buf_.clear();
    orig_.clear();
    changed_.clear();
    modified_ = false;
    cur_ = -1;
    bof_ = eof_ = true;
    if (!disabled_) {
        emit stateChanged();
        emit layoutChanged();
        emit currentChanged();
    }
    fire(AfterClose);
}

void DataSet::Reopen()
{
    const QVariant key = Active() ? GetBookmark() : QVariant();
    const int row = cur_;
    Close();
    Open();
    if (!isNull(key) && GotoBookmark(key))
        return;
    if (row >= 0) {
        need(row + 1);
        if (!view_.empty())
            scrollTo(std::min(row, int(view_.size()) - 1));
    }
}

int DataSet::ExecSQL()
{
    if (!conn_)
        throw DbError(ErrorCategory::Other, QStringLiteral("Dataset has no connection"));
    return conn_->exec(sql_);
}

// ---- reading ----

// A sort or a filter orders or picks among every row: the view waits for all of them.
bool DataSet::viewNeedsAllRows() const
{
    return !sort_.trimmed().isEmpty() || (filtered_ && filterExpr_);
}

int DataSet::RecordCount() const
{
    need(-1);
    return int(view_.size());
}

bool DataSet::IsEmpty() const
{
    need(1);
    return view_.empty();
}

bool DataSet::Eof() const
{
    need(1);
    return eof_;
}

bool DataSet::Bof() const
{
    need(1);
    return bof_;
}

bool DataSet::FetchMore()
{
    if (!Active() || (started_ && !reader_))
        return false;
    need(int(view_.size()) + kChunkRows);
    return true;
}

void DataSet::FetchAll(bool cancellable) { need(-1, cancellable); }

bool DataSet::HasNext()
{
    need(cur_ + 2);
    return cur_ + 1 < int(view_.size());
}

// Reading changes no row a reader has seen: what it adds, it adds after them.
// Whatever wants every row of a list cut off by an error gets the error, never a part.
void DataSet::need(int rows, bool cancellable) const
{
    if (restPending_ && !reader_ && state_ != DataSetState::Insert)
        const_cast<DataSet*>(this)->restRead();   // read while a row was being inserted
    if (!Active() || (rows >= 0 && rows <= int(view_.size()) && started_))
        return;
    if (reader_) {
        const int want = rows;
        const_cast<DataSet*>(this)->fetchUntil(
            [this, want](int) { return want >= 0 && int(view_.size()) >= want; }, cancellable, false);
    }
    if (rows < 0 && started_ && !reader_ && !cutOff_.isNull()) {
        failureTold_ = true;   // shown once, by whoever catches this
        throw DbError(cutOffKind_, cutOff_);
    }
}

void DataSet::fetch(int rows, bool cancellable, bool throwErrors)
{
    fetchUntil([this, rows](int) { return rows >= 0 && int(view_.size()) >= rows; }, cancellable, throwErrors);
}

// Reads until found(first row of the last read) holds or no row is left; a first read of a
// deferred open takes the first rows, and all of them when the view needs them.
void DataSet::fetchUntil(const std::function<bool(int from)>& found, bool cancellable, bool throwErrors)
{
    if (!reader_)
        return;
    const bool first = !started_;
    const int before = int(view_.size());
    const unsigned open = openCount_;
    // a wait of more than one chunk is long work: its window shows after half a second
    std::optional<shell::Progress> progress;
    int chunks = 0;
    const auto nextChunk = [&](bool mayCancel) {
        if (chunks++ > 0) {
            if (!progress)
                progress.emplace(readingTitle(), mayCancel);
            progress->step(physCount_);
        }
    };
    try {
        if (first) {
            started_ = true;
            readRows(kFirstRows);
            if (!viewNeedsAllRows())
                restByKey();
            while (reader_ && viewNeedsAllRows()) {
                nextChunk(false);
                readRows(kChunkRows);
            }
        }
        int from = before;
        while (!found(from) && reader_) {
            nextChunk(cancellable);
            if (openCount_ != open)
                return;   // closed while the window painted
            from = int(view_.size());
            readRows(kChunkRows);
        }
        if (openCount_ != open)
            return;
    } catch (const shell::Cancelled&) {
        rowsRead(first, before);
        throw;
    } catch (const std::exception& e) {
        if (openCount_ != open)
            throw;
        rowsRead(first, before);
        if (throwErrors)
            throw;
        readFailed(e);
        return;
    }
    rowsRead(first, before);
}

// Appends up to max rows; the reader goes once the last row is read, or at an error (the
// rows appended before it are whole rows and stay).
int DataSet::readRows(int max)
{
    const int first = physCount_;
    const auto took = [&](int got) {
        if (got <= 0)
            return;
        noteKeys(first, got);
        physCount_ += got;
        for (auto& s : calcStores_)
            s->appendNulls(size_t(got));
        calcValid_.resize(size_t(physCount_), false);
        deleted_.resize(size_t(physCount_), false);
        if ((restPending_ || !postedKeys_.isEmpty()) && keyField_ >= 0) {
            const Field* kf = fields_[size_t(keyField_)];
            for (int phys = first; phys < physCount_; ++phys) {
                const qint64 k = storedValue(phys, kf).toLongLong();
                if ((restPending_ && firstKeys_.contains(k)) || postedKeys_.contains(k))
                    deleted_[size_t(phys)] = true;
            }
        }
        if (!viewNeedsAllRows() && !restPending_) {
            for (int phys = first; phys < physCount_; ++phys) {
                if (deleted_[size_t(phys)])
                    continue;
                order_.push_back(phys);
                view_.push_back(phys);
            }
        }
    };
    int got = 0;
    std::exception_ptr error;
    try {
        got = reader_->appendRows(readInto_.data(), max);
    } catch (...) {
        error = std::current_exception();
    }
    if (error) {
        const int partial = readInto_.empty() ? 0 : int(readInto_[0]->size()) - first;
        took(partial);
        if (retryRead(error))
            return partial + readRows(max - partial);
        reader_.reset();
        readInto_.clear();
        std::rethrow_exception(error);
    }
    if (got > 0)
        retried_ = false;
    took(got);
    if (got < max) {
        reader_.reset();
        readInto_.clear();
    }
    return got;
}

// Tells the readers what arrived: a first read shows the first rows, later ones add rows.
void DataSet::rowsRead(bool first, int before)
{
    settleTypes();
    if (restPending_ && !reader_) {
        restRead();
    } else if (first) {
        if (viewNeedsAllRows())
            rebuildView();
        cur_ = view_.empty() ? -1 : 0;
        bof_ = true;
        eof_ = view_.empty();
        emitLayout();
    } else if (int(view_.size()) > before && !disabled_) {
        emit rowsArrived(before, int(view_.size()) - before);
    } else if (!reader_ && !disabled_) {
        emit rowsArrived(int(view_.size()), 0);   // the read ended without a row more
    }
    scheduleIdleRead();
}

// The rows read stay; the error is shown as the opening's would have been, and the dataset
// closes, once no other work is under way.
void DataSet::readFailed(const std::exception& e)
{
    reader_.reset();
    readInto_.clear();
    failure_ = textOf(e);
    failureTold_ = false;
    failureOpen_ = openCount_;
    cutOff_ = failure_;
    const auto* dbe = dynamic_cast<const DbError*>(&e);
    cutOffKind_ = dbe ? dbe->category() : ErrorCategory::Other;
    QTimer::singleShot(0, this, [this] { reportFailure(); });
}

void DataSet::reportFailure()
{
    if (failure_.isNull())
        return;
    if (shell::Progress::running()) {
        QTimer::singleShot(50, this, [this] { reportFailure(); });
        return;
    }
    shell::PlainMessageRequest r;
    r.caption = QGuiApplication::applicationDisplayName();
    r.text = failure_;
    failure_ = QString();
    if (failureTold_) {
        // already shown by the action that wanted every row
    } else if (shell::hasPrompter()) {
        shell::prompter().plainMessage(r);
    } else {
        qWarning("%s", qPrintable(r.text));
    }
    // an edit under way keeps its typed values; the list stays, known to be cut off
    if (openCount_ == failureOpen_ && state_ == DataSetState::Browse)
        Close();
}

void DataSet::scheduleIdleRead()
{
    if (!reader_ || !started_)
        return;
    pauseRead();
    if (!idle_) {
        idle_ = new QTimer(this);
        idle_->setSingleShot(true);
        connect(idle_, &QTimer::timeout, this, [this] { idleRead(); });
    }
    if (!idle_->isActive())
        idle_->start(0);
}

// One turn of idle-time reading: never inside another long work, which may be walking
// these rows.
void DataSet::idleRead()
{
    if (!reader_ || !Active())
        return;
    if (shell::Progress::running()) {
        idle_->start(50);
        return;
    }
    const int before = int(view_.size());
    QElapsedTimer clock;
    clock.start();
    bool waiting = false;   // for the server's next rows: never blocks the event loop
    try {
        while (reader_ && clock.elapsed() < kSliceMs) {
            const int atHand = reader_->rowsAtHand();
            if ((waiting = atHand <= 0))
                break;
            readRows(std::min(kSliceRows, atHand));
        }
    } catch (const std::exception& e) {
        rowsRead(false, before);
        readFailed(e);
        return;
    }
    rowsRead(false, before);
    if (waiting && idle_->isActive())
        idle_->start(kWaitMs);
}

// ---- the rest asked for anew ----

// The rest of a read can be asked for anew when the statement orders by the key alone
// (the keys read are checked to ascend as they come).
void DataSet::learnOrder()
{
    resumable_ = lastKeyKnown_ = retried_ = false;
    restSql_.clear();
    if (keyField_ < 0)
        return;
    const Field* key = fields_[size_t(keyField_)];
    // the key alone: it never changes, so no row can move past the last one read (a row
    // ordered by other columns, changed meanwhile, could come twice or not at all)
    const QStringList order = OrderColumns(sql_);
    resumable_ = keyNameable(fields_, key) && order.size() == 1 && isKey(key, order[0]);
    if (resumable_)
        restSql_ = sql_;
}

// Keeps the key of the last row read; keys that do not ascend, or are no whole numbers,
// leave the rest to the statement under way.
void DataSet::noteKeys(int first, int count)
{
    if (!resumable_)
        return;
    const ColumnStore& keys = *stores_[size_t(fields_[size_t(keyField_)]->store_)];
    for (int phys = first; phys < first + count; ++phys) {
        const QVariant v = keys.get(size_t(phys));
        if (v.typeId() != QMetaType::LongLong || (lastKeyKnown_ && v.toLongLong() <= lastKey_)) {
            resumable_ = false;
            return;
        }
        lastKey_ = v.toLongLong();
        lastKeyKnown_ = true;
    }
}

// The statement's rows past the last key read take the place of the reader; throws (the
// reader stays) when they cannot be asked for.
void DataSet::resumeRead(int firstRows)
{
    const QString key = fields_[size_t(keyField_)]->FieldName();
    QString sql = restSql_.trimmed();
    while (sql.endsWith(QLatin1Char(';')))
        sql = sql.chopped(1).trimmed();
    const QString past = lastKeyKnown_ ? QStringLiteral(" where ") + key + QStringLiteral(" > ") + QString::number(lastKey_)
                                       : QString();
    auto next = conn_->rowReader(QStringLiteral("select * from (") + sql + QStringLiteral(") dovin_rest") + past
                                     + QStringLiteral(" order by ") + key,
                                 firstRows);
    if (next->columnCount() != int(readInto_.size()))
        throw DbError(ErrorCategory::Other, QStringLiteral("The columns of the statement changed"));
    next->continues = true;
    next->beforeWrite = [this] { readBeforeWrite(); };
    reader_ = std::move(next);
}

// Between two reads the file database lets go of the file: another workstation's save
// never waits for the rest of this list.
void DataSet::pauseRead()
{
    if (!reader_ || !reader_->blocksWriters() || !resumable_ || !lastKeyKnown_)
        return;
    try {
        resumeRead(0);
    } catch (const DbError&) {
        // the statement under way goes on
    }
}

// Before its connection writes, the file database's read that can be asked for anew past
// its last key lets go of the file and goes on after the write (what this dataset inserts
// meanwhile is dropped from it); any other read reads its rest first.
void DataSet::readBeforeWrite()
{
    if (reader_ && resumable_ && (lastKeyKnown_ || restPending_)) {
        if (!reader_->blocksWriters())
            return;   // between two reads: nothing is held
        try {
            resumeRead(0);
            return;
        } catch (const DbError&) {
            // the statement under way is read to its end
        }
    }
    fetch(-1, false, false);
}

// A read that lost the server, or found the rows locked, is asked for anew past its last
// row, once, through the connection's reconnect as any statement at the start of an action;
// false when it cannot be, and the error stands.
bool DataSet::retryRead(const std::exception_ptr& error)
{
    // the rest of a first page with no row of it read yet is asked for from its start
    if (retried_ || !resumable_ || (!lastKeyKnown_ && !restPending_))
        return false;
    try {
        std::rethrow_exception(error);
    } catch (const DbError& e) {
        if (e.category() != ErrorCategory::ConnectionLost && e.category() != ErrorCategory::Locked)
            return false;
    } catch (...) {
        return false;
    }
    retried_ = true;
    reader_.reset();
    try {
        resumeRead(kSliceRows);
    } catch (...) {
        reader_.reset();
        readInto_.clear();
        throw;
    }
    return true;
}

// ---- the rest in the key's order ----

// The file database, the rest of a sorted open: read in the key's order past the last key
// read, whatever the statement's order (the rows are sorted once all are here); false when
// the rest is read as the statement gives it.
bool DataSet::keyOrderedRest()
{
    if (resumable_ || !reader_ || !reader_->blocksWriters() || keyField_ < 0)
        return false;
    const Field* key = fields_[size_t(keyField_)];
    const QString rest = Unordered(sql_);
    if (rest.isEmpty() || !keyNameable(fields_, key))
        return false;
    restSql_ = rest;
    resumable_ = true;
    lastKeyKnown_ = false;
    try {
        resumeRead(kSliceRows);
    } catch (const DbError&) {
        restSql_.clear();
        resumable_ = false;
        return false;
    }
    return true;
}

// The file database, a list ordered by stored columns and then the key, more than its first
// rows: the rest comes in the key's order past the last key read, so the file is let go of
// between two reads, and joins the first rows in the statement's order once all are here.
void DataSet::restByKey()
{
    if (resumable_ || restPending_ || !reader_ || !reader_->blocksWriters() || keyField_ < 0)
        return;
    const Field* key = fields_[size_t(keyField_)];
    const QStringList order = OrderColumns(sql_);
    if (order.size() < 2 || !isKey(key, order.last()) || !keyNameable(fields_, key))
        return;
    QStringList terms;
    for (const QString& column : order.mid(0, order.size() - 1)) {
        if (dataNamed(fields_, column) != 1)
            return;
        terms << column;
    }
    terms << key->FieldName();
    QSet<qint64> first;
    const ColumnStore& keys = *stores_[size_t(key->store_)];
    for (int phys = 0; phys < physCount_; ++phys) {
        const QVariant v = keys.get(size_t(phys));
        if (v.typeId() != QMetaType::LongLong || first.contains(v.toLongLong()))
            return;
        first.insert(v.toLongLong());
    }
    const QString rest = Unordered(sql_);
    const QString keysSql = QStringLiteral("select %1 from (%2) dovin_keys order by %3")
                                .arg(key->FieldName(), rest, terms.join(QStringLiteral(", ")));
    restSql_ = rest;
    resumable_ = true;
    lastKeyKnown_ = false;
    try {
        conn_->rowReader(keysSql);   // checked now: asked for once every row is here
        resumeRead(0);
    } catch (const DbError&) {
        // the statement under way goes on
        restSql_.clear();
        resumable_ = false;
        return;
    }
    arrangeSql_ = keysSql;
    firstKeys_ = std::move(first);
    restPending_ = true;
}

// Every row is here: they take the order of the keys the engine gives now. A row read that
// is gone from the database meanwhile leaves the list, but for the current record; a key
// saved after the last read is left for the next open.
void DataSet::arrange()
{
    const ColumnStore& keys = *stores_[size_t(fields_[size_t(keyField_)]->store_)];
    // the row of each key held: by the key's place in its range when the keys are dense (as
    // counters are), else by a search among them in order
    std::vector<std::pair<qint64, int>> held;
    held.reserve(size_t(physCount_));
    qint64 low = std::numeric_limits<qint64>::max(), high = std::numeric_limits<qint64>::min();
    for (int phys = 0; phys < physCount_; ++phys) {
        if (deleted_[size_t(phys)] || keys.isNull(size_t(phys)))
            continue;
        const qint64 k = qint64(keys.number(size_t(phys)));
        held.emplace_back(k, phys);
        low = std::min(low, k);
        high = std::max(high, k);
    }
    std::vector<int> dense;
    if (!held.empty() && double(high) - double(low) < 4.0 * double(held.size()) + 4096) {
        dense.assign(size_t(high - low + 1), -1);
        for (const auto& [k, phys] : held)
            dense[size_t(k - low)] = phys;
    } else {
        std::sort(held.begin(), held.end());
    }
    const auto rowOf = [&](qint64 k) {
        if (!dense.empty())
            return k < low || k > high ? -1 : dense[size_t(k - low)];
        const auto it = std::lower_bound(held.begin(), held.end(), std::make_pair(k, -1));
        return it != held.end() && it->first == k ? it->second : -1;
    };
    std::vector<int> base;
    base.reserve(held.size());
    std::vector<char> placed(size_t(physCount_), 0);
    {
        std::optional<shell::Progress> progress;   // a long list: its window after half a second
        qint64 n = 0;
        for (auto cur = conn_->query(arrangeSql_); cur->next();) {
            const int phys = rowOf(cur->toInt64(0));
            if (phys >= 0 && !placed[size_t(phys)]) {
                placed[size_t(phys)] = 1;
                base.push_back(phys);
            }
            if ((++n & 4095) == 0) {
                if (!progress)
                    progress.emplace(readingTitle());
                progress->step(n);
            }
        }
    }
    const int current = physOfCurrent();
    for (const auto& [k, phys] : held) {
        if (placed[size_t(phys)] || phys == current)
            continue;
        deleted_[size_t(phys)] = true;
        selected_.remove(QString::number(k));
    }
    if (current >= 0 && !placed[size_t(current)]) {
        // gone meanwhile: stays after the row it followed
        size_t at = 0;
        const auto pos = std::find(view_.begin(), view_.end(), current);
        for (auto it = pos; it != view_.begin();) {
            --it;
            if (*it >= 0 && placed[size_t(*it)]) {
                at = size_t(std::find(base.begin(), base.end(), *it) - base.begin()) + 1;
                break;
            }
        }
        base.insert(base.begin() + std::ptrdiff_t(at), current);
    }
    base_ = std::move(base);
    baseEnd_ = physCount_;
}

} // namespace db
