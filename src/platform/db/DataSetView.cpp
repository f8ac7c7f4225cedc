#include "platform/db/DataSet.h"

#include "platform/db/ColumnStore.h"
#include "platform/db/DataSetInternal.h"
#include "platform/db/FilterExpr.h"
#include "platform/db/Format.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

namespace db {

// ---- view: sort and filter ----

void DataSet::applySort(std::vector<int>& rows)
{
    if (sort_.trimmed().isEmpty())
        return;
    struct Key {
        Field* f;
        bool desc;
    };
    std::vector<Key> keys;
    for (const QString& part : sort_.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList w = part.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (w.isEmpty())
            continue;
        Field* f = FindField(w[0]);
        if (!f)
            throw DbError(ErrorCategory::Other, QStringLiteral("Field '%1' not found").arg(w[0]));
        keys.push_back({f, w.size() > 1 && w[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0});
    }
    QCollator collator(QLocale(QLocale::Persian, QLocale::Iran));
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // precomputed sort values per key, indexed by physical row
    std::vector<std::vector<double>> nums(keys.size());
    std::vector<std::vector<QCollatorSortKey>> texts(keys.size());
    std::vector<std::vector<bool>> nulls(keys.size());
    for (size_t k = 0; k < keys.size(); ++k) {
        Field* f = keys[k].f;
        nulls[k].assign(size_t(physCount_), false);
        const bool numeric = f->IsNumeric() || f->DataType() == FieldType::Boolean;
        if (numeric)
            nums[k].assign(size_t(physCount_), 0.0);
        for (int phys : rows) {
            const QVariant v = storedValue(phys, f);
            nulls[k][size_t(phys)] = isNull(v);
            if (numeric)
                nums[k][size_t(phys)] = v.toDouble();
        }
        if (!numeric) {
            texts[k].reserve(size_t(physCount_));
            for (int phys = 0; phys < physCount_; ++phys)
                texts[k].push_back(collator.sortKey(deleted_[size_t(phys)] ? QString() : storedValue(phys, f).toString()));
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        for (size_t k = 0; k < keys.size(); ++k) {
            int c;
            const bool na = nulls[k][size_t(a)], nb = nulls[k][size_t(b)];
            if (na || nb)
                c = na == nb ? 0 : (na ? -1 : 1);
            else if (!nums[k].empty())
                c = nums[k][size_t(a)] < nums[k][size_t(b)] ? -1 : (nums[k][size_t(a)] > nums[k][size_t(b)] ? 1 : 0);
            else
                c = texts[k][size_t(a)].compare(texts[k][size_t(b)]);
            if (c != 0)
                return keys[k].desc ? c > 0 : c < 0;
        }
        return false;
    });
}

bool DataSet::matches(int phys, const FilterExpr& e)
{
    return e.eval([&](const QString& name) -> QVariant {
        Field* f = FindField(name);
        if (!f)
            throw DbError(ErrorCategory::Other, QStringLiteral("Field '%1' not found").arg(name));
        if (phys < 0)
            return fieldValue(f);
        return storedValue(phys, f);
    });
}

void DataSet::rebuildView()
{
    order_.clear();
    order_.reserve(size_t(physCount_));
    for (int i = 0; i < physCount_; ++i)
        if (!deleted_[size_t(i)])
            order_.push_back(i);
    applySort(order_);
    if (filtered_ && filterExpr_) {
        view_.clear();
        for (int phys : order_)
            if (matches(phys, *filterExpr_))
                view_.push_back(phys);
    } else {
        view_ = order_;
    }
    invalidateCalc();
}

void DataSet::setSort(const QString& spec)
{
    if (!Active()) {
        sort_ = spec;
        return;
    }
    // keys are checked before any row is read: a calculated field has no stored order
    for (const QString& part : spec.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = part.trimmed().section(QLatin1Char(' '), 0, 0);
        if (name.isEmpty())
            continue;
        Field* f = FindField(name);
        if (!f)
            throw DbError(ErrorCategory::Other, QStringLiteral("Field '%1' not found").arg(name));
        if (f->Kind() == FieldKind::Calculated)
            throw DbError(ErrorCategory::Other, QStringLiteral("Field '%1' cannot be sorted").arg(name));
    }
    if (!spec.trimmed().isEmpty())
        need(-1, true);
    CheckBrowseMode();
    const int phys = physOfCurrent();
    const QString old = sort_;
    sort_ = spec;
    try {
        rebuildView();
    } catch (...) {
        sort_ = old;
        rebuildView();
        throw;
    }
    auto it = std::find(view_.begin(), view_.end(), phys);
    cur_ = it == view_.end() ? (view_.empty() ? -1 : 0) : int(it - view_.begin());
    emitLayout();
}

void DataSet::setFilter(const QString& expr)
{
    std::unique_ptr<FilterExpr> parsed;
    if (!expr.trimmed().isEmpty())
        parsed = FilterExpr::parse(expr);
    if (Active() && filtered_ && parsed)
        need(-1, true);
    filter_ = expr;
    filterExpr_ = std::move(parsed);
    if (Active() && filtered_)
        refilter();
}

void DataSet::setFiltered(bool on)
{
    if (filtered_ == on)
        return;
    if (on && Active() && filterExpr_)
        need(-1, true);
    filtered_ = on;
    if (Active())
        refilter();
}

// A changed filter shows the first row that meets it.
void DataSet::refilter()
{
    CheckBrowseMode();
    rebuildView();
    cur_ = view_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = view_.empty();
    emitLayout();
    fire(AfterScroll);
}

bool DataSet::findFrom(int start)
{
    if (!Active() || !filterExpr_)
        return false;
    need(-1, true);
    CheckBrowseMode();
    for (int row = start; row < int(view_.size()); ++row) {
        if (matches(view_[size_t(row)], *filterExpr_)) {
            scrollTo(row);
            return true;
        }
    }
    return false;
}

bool DataSet::FindFirst() { return findFrom(0); }

bool DataSet::FindNext() { return findFrom(cur_ + 1); }

bool DataSet::Locate(const QString& field, const QVariant& value, bool caseInsensitive, bool partial)
{
    if (!Active())
        return false;
    Field* f = FieldByName(field);
    need(-1, true);
    CheckBrowseMode();
    const QString want = value.toString();
    for (int row = 0; row < int(view_.size()); ++row) {
        const QVariant v = storedValue(view_[size_t(row)], f);
        bool eq;
        if (f->IsNumeric() && !partial) {
            eq = !isNull(v) && v.toDouble() == value.toDouble();
        } else {
            const QString s = v.toString();
            const auto cs = caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
            eq = partial ? s.startsWith(want, cs) : s.compare(want, cs) == 0;
        }
        if (eq) {
            scrollTo(row);
            return true;
        }
    }
    return false;
}

// ---- navigation ----

int DataSet::RecNo() const
{
    if (calcMode_)
        return calcRow_ + 1;
    need(1);
    return cur_ + 1;
}

void DataSet::scrollTo(int row)
{
    if (row < 0 || row >= int(view_.size()))
        return;
    if (row == cur_)
        return;
    fire(BeforeScroll);
    cur_ = row;
    if (!disabled_)
        emit currentChanged();
    fire(AfterScroll);
}

void DataSet::SetRecNo(int recNo)
{
    if (!Active())
        return;
    need(std::max(recNo, 1));
    if (view_.empty())
        return;
    CheckBrowseMode();
    scrollTo(std::clamp(recNo, 1, int(view_.size())) - 1);
    bof_ = eof_ = false;
}

void DataSet::First()
{
    if (!Active())
        return;
    CheckBrowseMode();
    need(1);
    if (!view_.empty())
        scrollTo(0);
    bof_ = true;
    eof_ = view_.empty();
}

void DataSet::Last()
{
    if (!Active())
        return;
    CheckBrowseMode();
    need(-1);
    if (!view_.empty())
        scrollTo(int(view_.size()) - 1);
    eof_ = true;
    bof_ = view_.empty();
}

void DataSet::Next()
{
    if (!Active())
        return;
    CheckBrowseMode();
    need(cur_ + 2);
    if (cur_ + 1 < int(view_.size())) {
        scrollTo(cur_ + 1);
        bof_ = false;
        eof_ = false;
    } else {
        eof_ = true;
    }
}

void DataSet::Prior()
{
    if (!Active())
        return;
    CheckBrowseMode();
    need(1);
    if (cur_ > 0) {
        scrollTo(cur_ - 1);
        eof_ = false;
        bof_ = false;
    } else {
        bof_ = true;
    }
}

void DataSet::MoveBy(int n)
{
    for (; n > 0 && !eof_; --n)
        Next();
    for (; n < 0 && !bof_; ++n)
        Prior();
}

// ---- bookmarks and selection ----

QString DataSet::keyText(const QVariant& key) const
{
    if (key.typeId() == QMetaType::Double) {
        qint64 n = 0;
        if (WholeNumber(key.toDouble(), &n))
            return QString::number(n);
    }
    return key.toString();
}

QVariant DataSet::GetBookmark() const
{
    need(1);
    const int phys = physOfCurrent();
    if (phys < 0 || keyField_ < 0)
        return {};
    return storedValue(phys, fields_[size_t(keyField_)]);
}

int DataSet::findKey(const QVariant& key, int from) const
{
    if (keyField_ < 0 || isNull(key))
        return -1;
    const Field* kf = fields_[size_t(keyField_)];
    const QString want = keyText(key);
    for (int row = std::max(from, 0); row < int(view_.size()); ++row) {
        const int phys = view_[size_t(row)];
        if (phys >= 0 && keyText(storedValue(phys, kf)) == want)
            return row;
    }
    return -1;
}

bool DataSet::GotoBookmark(const QVariant& key)
{
    if (!Active() || keyField_ < 0 || isNull(key))
        return false;
    // the rows read first; the rest only until the key comes
    need(1);
    int row = findKey(key, 0);
    if (row < 0 && reader_)
        fetchUntil([&](int from) { return (row = findKey(key, from)) >= 0; }, false, false);
    if (row < 0)
        return false;
    CheckBrowseMode();
    scrollTo(row);
    bof_ = eof_ = false;
    return true;
}

void DataSet::SelectCurrent(bool on)
{
    const QVariant k = GetBookmark();
    if (isNull(k))
        return;
    if (on)
        selected_.insert(keyText(k));
    else
        selected_.remove(keyText(k));
    if (!disabled_)
        emit rowChanged(cur_);
}

void DataSet::SelectRow(int row, bool on)
{
    need(row + 1);
    if (keyField_ >= 0 && row >= 0 && row < int(view_.size()) && markSelected(row, on) && !disabled_)
        emit rowChanged(row);
}

// Marks one row of the view by its key; true when that changed anything.
bool DataSet::markSelected(int row, bool on)
{
    const int phys = view_[size_t(row)];
    if (phys < 0)
        return false;
    const QVariant kv = storedValue(phys, fields_[size_t(keyField_)]);
    if (isNull(kv))
        return false;
    const QString k = keyText(kv);
    if (on == selected_.contains(k))
        return false;
    if (on)
        selected_.insert(k);
    else
        selected_.remove(k);
    return true;
}

void DataSet::SelectRange(int first, int last, bool on)
{
    first = std::max(first, 0);
    last = std::min(last, int(view_.size()) - 1);
    if (keyField_ < 0 || first > last)
        return;
    bool changed = false;
    for (int row = first; row <= last; ++row)
        changed = markSelected(row, on) || changed;
    if (changed && !disabled_)
        emit selectionChanged();
}

void DataSet::SelectOnly(int row)
{
    const bool had = !selected_.isEmpty();
    selected_.clear();
    QVariant kv;
    if (keyField_ >= 0 && row >= 0 && row < int(view_.size()) && view_[size_t(row)] >= 0)
        kv = storedValue(view_[size_t(row)], fields_[size_t(keyField_)]);
    if (!isNull(kv))
        selected_.insert(keyText(kv));
    if ((had || !selected_.isEmpty()) && !disabled_)
        emit selectionChanged();
}

bool DataSet::IsSelected() const
{
    const QVariant k = GetBookmark();
    return !isNull(k) && selected_.contains(keyText(k));
}

bool DataSet::IsRowSelected(int row) const
{
    if (!selected_.isEmpty())
        need(row + 1);
    if (keyField_ < 0 || row < 0 || row >= int(view_.size()) || view_[size_t(row)] < 0 || selected_.isEmpty())
        return false;
    return selected_.contains(keyText(storedValue(view_[size_t(row)], fields_[size_t(keyField_)])));
}

void DataSet::ClearSelection()
{
    selected_.clear();
    emitLayout();
}

QList<QVariant> DataSet::SelectedBookmarks() const
{
    // in the current order of the rows
    QList<QVariant> out;
    if (keyField_ < 0)
        return out;
    if (!selected_.isEmpty())
        need(-1);
    for (int phys : view_) {
        if (phys < 0)
            continue;
        const QVariant k = storedValue(phys, fields_[size_t(keyField_)]);
        if (selected_.contains(keyText(k)))
            out << k;
    }
    return out;
}

} // namespace db
