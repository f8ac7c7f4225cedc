#include "platform/db/DataSet.h"

#include "platform/db/ColumnStore.h"
#include "platform/db/DataSetInternal.h"

#include <algorithm>

namespace db {

namespace {

QVariant readCell(Cursor& cur, int c)
{
    switch (cur.cellType(c)) {
    case CellType::Null: return {};
    case CellType::Integer: return QVariant(cur.toInt64(c));
    case CellType::Float: return QVariant(cur.toDouble(c));
    case CellType::Blob: return QVariant(cur.blob(c));
    case CellType::Text: {
        auto t = cur.text(c);
        return QVariant(QString::fromUtf8(t.data(), qsizetype(t.size())));
    }
    }
    return {};
}

QVariant toParam(const Field* f, const QVariant& v)
{
    if (isNull(v))
        return {};
    if (f->DataType() == FieldType::Boolean)
        return QVariant(v.toBool());
    return v;
}


bool writable(const Field* f, const QString& table)
{
    return f->Kind() == FieldKind::Data && !f->BaseColumn().isEmpty()
        && f->BaseTable().compare(table, Qt::CaseInsensitive) == 0;
}

} // namespace

void DataSet::setFieldValue(Field* f, const QVariant& v, bool typed)
{
    if (f->index_ < 0)
        throw DbError(ErrorCategory::Other, QStringLiteral("Field '%1' is not open").arg(f->FieldName()));
    const size_t idx = size_t(f->index_);
    if (calcMode_ && f->def_.kind == FieldKind::Calculated) {
        calcBuf_[idx] = v;
        return;
    }
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        throw DbError(ErrorCategory::Other, QStringLiteral("Dataset not in edit or insert mode"));
    if (f->def_.kind == FieldKind::Lookup) {
        // choosing a lookup text sets the key to the matching row of the other dataset
        DataSet* other = f->def_.lookupDataSet;
        Field* key = FindField(f->def_.keyField);
        if (!other || !key)
            return;
        QVariant found;
        if (!isNull(v)) {
            other->need(-1);
            Field* ok = other->FindField(f->def_.lookupKeyField);
            Field* res = other->FindField(f->def_.lookupResultField);
            for (int phys : other->view_) {
                if (phys >= 0 && ok && res && other->storedValue(phys, res).toString() == v.toString()) {
                    found = other->storedValue(phys, ok);
                    break;
                }
            }
        }
        key->SetValue(found);
        return;
    }
    if (f->def_.kind == FieldKind::Calculated)
        throw DbError(ErrorCategory::Other, QStringLiteral("Field '%1' cannot be modified").arg(f->FieldName()));
    if (f->def_.readOnly)
        throw DbError(ErrorCategory::Other, QStringLiteral("Field '%1' cannot be modified").arg(f->FieldName()));
    const QVariant coerced = f->Coerce(v, !typed);
    const QVariant old = buf_[idx];
    buf_[idx] = coerced;
    try {
        if (f->OnValidate)
            f->OnValidate(*f);
        if (typed && f->def_.size > 0 && f->IsText() && coerced.toString().size() > f->def_.size)
            throw DbError(ErrorCategory::Other, f->TooLongMessage());
    } catch (...) {
        buf_[idx] = old;
        throw;
    }
    changed_[idx] = true;
    modified_ = true;
    calcBuffer();
    if (!disabled_)
        emit fieldChanged(f->index_);
}

// ---- editing ----

void DataSet::beginInsert(bool append)
{
    if (!Active())
        throw DbError(ErrorCategory::Other, QStringLiteral("Cannot perform this operation on a closed dataset"));
    CheckBrowseMode();
    // an appended row comes after the last one
    need(append ? -1 : 1);
    fire(BeforeInsert);
    const int pos = append || cur_ < 0 ? int(view_.size()) : cur_;
    view_.insert(view_.begin() + pos, -1);
    invalidateCalc();   // the rows after it moved down: their row numbers change
    cur_ = pos;
    buf_.assign(fields_.size(), QVariant());
    orig_ = buf_;
    changed_.assign(fields_.size(), false);
    modified_ = false;
    state_ = DataSetState::Insert;
    bof_ = eof_ = false;
    calcBuffer();
    if (!disabled_) {
        emit rowInserted(pos);
        emit stateChanged();
        emit currentChanged();
    }
    fire(AfterInsert);
}

void DataSet::Insert() { beginInsert(false); }
void DataSet::Append() { beginInsert(true); }

void DataSet::Edit()
{
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert)
        return;
    if (!Active())
        throw DbError(ErrorCategory::Other, QStringLiteral("Cannot perform this operation on a closed dataset"));
    need(1);
    if (view_.empty()) {
        Insert();
        return;
    }
    fire(BeforeEdit);
    const int phys = physOfCurrent();
    buf_.assign(fields_.size(), QVariant());
    for (Field* f : fields_)
        if (f->def_.kind != FieldKind::Lookup)
            buf_[size_t(f->index_)] = storedValue(phys, f);
    orig_ = buf_;
    changed_.assign(fields_.size(), false);
    modified_ = false;
    setState(DataSetState::Edit);
    fire(AfterEdit);
}

void DataSet::CheckBrowseMode()
{
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        if (modified_)
            Post();
        else
            Cancel();
    }
}

void DataSet::Post()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    fire(BeforePost);
    if (state_ == DataSetState::Insert)
        postInsert();
    else
        postEdit();
    modified_ = false;
    setState(DataSetState::Browse);
    if (!disabled_)
        emit rowChanged(cur_);
    fire(AfterPost);
}

void DataSet::postInsert()
{
    if (updateTable_.isEmpty())
        throw DbError(ErrorCategory::Other, QStringLiteral("Dataset is read-only"));
    QStringList cols, marks;
    Params params;
    for (Field* f : fields_) {
        if (!writable(f, updateTable_) || (f->index_ == keyField_ && keyAuto_))
            continue;
        const QVariant& v = buf_[size_t(f->index_)];
        if (isNull(v))
            continue;
        cols << f->BaseColumn();
        params.push_back(toParam(f, v));
        marks << QStringLiteral("$%1").arg(params.size());
    }
    const QString sql = cols.isEmpty()
        ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING *").arg(updateTable_)
        : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING *")
              .arg(updateTable_, cols.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    auto cur = conn_->query(sql, params);
    if (cur->next()) {
        for (int c = 0; c < cur->columnCount(); ++c) {
            const QString name = cur->columnName(c);
            for (Field* f : fields_) {
                if (writable(f, updateTable_) && f->BaseColumn().compare(name, Qt::CaseInsensitive) == 0) {
                    buf_[size_t(f->index_)] = f->Coerce(readCell(*cur, c));
                }
            }
        }
    }
    cur.reset();
    if (reader_ && keyField_ >= 0 && !isNull(buf_[size_t(keyField_)])) {
        const qint64 key = buf_[size_t(keyField_)].toLongLong();
        postedKeys_.insert(key);
        if (restPending_)
            firstKeys_.insert(key);
    }
    const int phys = physCount_++;
    for (Field* f : fields_) {
        if (f->def_.kind == FieldKind::Data)
            stores_[size_t(f->store_)]->appendVariant(buf_[size_t(f->index_)]);
    }
    for (auto& s : calcStores_)
        s->appendNull();
    calcValid_.push_back(false);
    deleted_.push_back(false);
    // place the new row in the unfiltered order next to its neighbour in the view
    auto at = order_.end();
    if (cur_ > 0) {
        auto prev = std::find(order_.begin(), order_.end(), view_[size_t(cur_ - 1)]);
        if (prev != order_.end())
            at = prev + 1;
    } else if (cur_ + 1 < int(view_.size())) {
        at = std::find(order_.begin(), order_.end(), view_[size_t(cur_ + 1)]);
    }
    order_.insert(at, phys);
    view_[size_t(cur_)] = phys;
    invalidateCalc();
}

void DataSet::postEdit()
{
    const int phys = physOfCurrent();
    QStringList sets, where;
    Params params;
    for (Field* f : fields_) {
        const size_t i = size_t(f->index_);
        if (!changed_[i] || !writable(f, updateTable_) || (int(i) == keyField_ && keyAuto_))
            continue;
        params.push_back(toParam(f, buf_[i]));
        sets << QStringLiteral("%1 = $%2").arg(f->BaseColumn()).arg(params.size());
    }
    if (!sets.isEmpty()) {
        if (keyField_ < 0)
            throw DbError(ErrorCategory::Other, QStringLiteral("Dataset is read-only"));
        const Field* key = fields_[size_t(keyField_)];
        params.push_back(orig_[size_t(keyField_)]);
        where << QStringLiteral("%1 = $%2").arg(key->BaseColumn()).arg(params.size());
        for (Field* f : fields_) {
            const size_t i = size_t(f->index_);
            if (!changed_[i] || !writable(f, updateTable_) || int(i) == keyField_ || f->DataType() == FieldType::Blob)
                continue;
            // a stored text that is no valid UTF-8 cannot be named as a text: the key finds the row
            if (!stores_[size_t(f->store_)]->validText(size_t(phys)))
                continue;
            if (isNull(orig_[i])) {
                where << QStringLiteral("%1 IS NULL").arg(f->BaseColumn());
            } else {
                params.push_back(toParam(f, orig_[i]));
                where << QStringLiteral("%1 = $%2").arg(f->BaseColumn()).arg(params.size());
            }
        }
        const QString sql = QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                .arg(updateTable_, sets.join(QStringLiteral(", ")), where.join(QStringLiteral(" AND ")));
        if (conn_->exec(sql, params) == 0)
            throw DbError(ErrorCategory::RowNotFound, rowNotFoundText());
    }
    for (Field* f : fields_)
        if (f->def_.kind == FieldKind::Data)
            stores_[size_t(f->store_)]->set(size_t(phys), buf_[size_t(f->index_)]);
    calcValid_[size_t(phys)] = false;
}

void DataSet::Cancel()
{
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        return;
    fire(BeforeCancel);
    const bool inserting = state_ == DataSetState::Insert;
    state_ = DataSetState::Browse;
    buf_.clear();
    modified_ = false;
    if (inserting) {
        const int row = cur_;
        view_.erase(view_.begin() + row);
        invalidateCalc();
        cur_ = view_.empty() ? -1 : std::min(row, int(view_.size()) - 1);
        if (!disabled_)
            emit rowRemoved(row);
    }
    if (!disabled_) {
        emit stateChanged();
        emit currentChanged();
    }
    fire(AfterCancel);
}

void DataSet::Delete()
{
    if (state_ == DataSetState::Insert) {
        Cancel();
        return;
    }
    need(1);
    if (!Active() || view_.empty())
        throw DbError(ErrorCategory::Other, QStringLiteral("Cannot perform this operation on an empty dataset"));
    fire(BeforeDelete);
    if (state_ == DataSetState::Edit) {
        state_ = DataSetState::Browse;
        buf_.clear();
        modified_ = false;
    }
    if (keyField_ < 0 || updateTable_.isEmpty())
        throw DbError(ErrorCategory::Other, QStringLiteral("Dataset is read-only"));
    const int phys = physOfCurrent();
    const Field* key = fields_[size_t(keyField_)];
    const QVariant k = storedValue(phys, key);
    const int n = conn_->exec(QStringLiteral("DELETE FROM %1 WHERE %2 = $1").arg(updateTable_, key->BaseColumn()), {k});
    if (n == 0)
        throw DbError(ErrorCategory::RowNotFound, rowNotFoundText());
    selected_.remove(keyText(k));
    deleted_[size_t(phys)] = true;
    order_.erase(std::remove(order_.begin(), order_.end(), phys), order_.end());
    const int row = cur_;
    view_.erase(view_.begin() + row);
    cur_ = view_.empty() ? -1 : std::min(row, int(view_.size()) - 1);
    eof_ = view_.empty();
    invalidateCalc();
    if (!disabled_) {
        emit stateChanged();
        emit rowRemoved(row);
        emit currentChanged();
    }
    fire(AfterDelete);
    fire(AfterScroll);
}

} // namespace db
