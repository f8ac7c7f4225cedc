#include "platform/db/DataSet.h"

#include "platform/db/ColumnStore.h"
#include "platform/db/DataSetInternal.h"
#include "platform/db/FilterExpr.h"
#include "platform/db/Format.h"
#include "platform/db/TextOrder.h"
#include "platform/shell/Progress.h"

#include <QCollator>
#include <QLocale>
#include <QHash>
#include <algorithm>
#include <numeric>
#include <optional>

namespace db {

// ---- view: sort and filter ----

namespace {
constexpr size_t kSortProgressRows = 20000;   // a sort of more rows may pass half a second
}

// Equal values keep the key's order. Texts are ranked once per distinct text.
void DataSet::applySort(std::vector<int>& rows)
{
    if (sort_.trimmed().isEmpty())
        return;
    struct Key {
        Field* f;
        bool desc;
        bool numeric;
        std::vector<double> num;     // by physical row
        std::vector<int> rank;       // by physical row: the text's place among the texts
        std::vector<char> null;
    };
    std::vector<Key> keys;
    for (const QString& part : sort_.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList w = part.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (w.isEmpty())
            continue;
        Field* f = FindField(w[0]);
        if (!f)
            throw DbError(ErrorCategory::Other, QStringLiteral("Field '%1' not found").arg(w[0]));
        keys.push_back({f, w.size() > 1 && w[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0,
                        f->IsNumeric() || f->DataType() == FieldType::Boolean, {}, {}, {}});
    }
    std::optional<shell::Progress> progress;
    if (rows.size() >= kSortProgressRows) {
        progress.emplace(readingTitle(), false);
        progress->setTotal(qint64(rows.size()) * qint64(keys.size() * 2 + 1));
    }
    qint64 done = 0;
    const auto step = [&] {
        if (progress && (++done & 1023) == 0)
            progress->step(done);
    };
    const QCollator collator = textCollator();
    for (Key& k : keys) {
        k.null.assign(size_t(physCount_), 0);
        if (k.numeric) {
            k.num.assign(size_t(physCount_), 0.0);
            for (int phys : rows) {
                const QVariant v = storedValue(phys, k.f);
                k.null[size_t(phys)] = isNull(v);
                k.num[size_t(phys)] = v.toDouble();
                step();
            }
            continue;
        }
        k.rank.assign(size_t(physCount_), 0);
        QHash<QString, int> seen;
        std::vector<QString> texts;
        for (int phys : rows) {
            const QVariant v = storedValue(phys, k.f);
            if (isNull(v)) {
                k.null[size_t(phys)] = 1;
                continue;
            }
            const QString s = v.toString();
            auto it = seen.constFind(s);
            if (it == seen.cend()) {
                it = seen.insert(s, int(texts.size()));
                texts.push_back(s);
            }
            k.rank[size_t(phys)] = *it;
            step();
        }
        std::vector<QCollatorSortKey> sortKeys;
        sortKeys.reserve(texts.size());
        for (const QString& t : texts) {
            sortKeys.push_back(collator.sortKey(t));
            step();
        }
        std::vector<int> byText(texts.size());
        std::iota(byText.begin(), byText.end(), 0);
        std::sort(byText.begin(), byText.end(),
                  [&](int a, int b) { return sortKeys[size_t(a)].compare(sortKeys[size_t(b)]) < 0; });
        std::vector<int> place(texts.size());
        int r = 0;
        for (size_t i = 0; i < byText.size(); ++i) {
            if (i > 0 && sortKeys[size_t(byText[i])].compare(sortKeys[size_t(byText[i - 1])]) != 0)
                ++r;
            place[size_t(byText[i])] = r;
        }
        for (int phys : rows)
            if (!k.null[size_t(phys)])
                k.rank[size_t(phys)] = place[size_t(k.rank[size_t(phys)])];
    }
    // the key's order among equal values
    const Field* kf = keyField_ >= 0 ? fields_[size_t(keyField_)] : nullptr;
    std::vector<double> keyOf;
    if (kf && kf->IsNumeric()) {
        keyOf.assign(size_t(physCount_), 0.0);
        for (int phys : rows) {
            keyOf[size_t(phys)] = storedValue(phys, kf).toDouble();
            step();
        }
    }
    std::stable_sort(rows.begin(), rows.end(), [&](int a, int b) {
        for (const Key& k : keys) {
            int c;
            const bool na = k.null[size_t(a)], nb = k.null[size_t(b)];
            if (na || nb)
                c = na == nb ? 0 : (na ? -1 : 1);
            else if (k.numeric)
                c = k.num[size_t(a)] < k.num[size_t(b)] ? -1 : (k.num[size_t(a)] > k.num[size_t(b)] ? 1 : 0);
            else
                c = k.rank[size_t(a)] - k.rank[size_t(b)];
            if (c != 0)
                return k.desc ? c > 0 : c < 0;
        }
        return !keyOf.empty() && keyOf[size_t(a)] < keyOf[size_t(b)];
    });
}

// Stored columns of the statement, numbers or texts (the engine's texts in the same order
// as applySort's), under their own unique names; the key comes last.
QString DataSet::engineOrder() const
{
    // a filter shown picks among every row: those are read at once anyway
    if (!conn_ || sort_.trimmed().isEmpty() || keyField_ < 0 || keyField_ >= int(fields_.size())
        || (filtered_ && filterExpr_))
        return {};
    const QString sql = sql_.trimmed();
    if (!sql.startsWith(QLatin1String("select"), Qt::CaseInsensitive) || sql.contains(QLatin1Char(';')))
        return {};
    const auto stored = [this](const Field* f) {
        if (!f || f->Kind() != FieldKind::Data || f->BaseColumn().compare(f->FieldName(), Qt::CaseInsensitive) != 0)
            return false;
        for (const Field* g : fields_)
            if (g != f && g->Kind() == FieldKind::Data
                && g->BaseColumn().compare(f->FieldName(), Qt::CaseInsensitive) == 0)
                return false;   // the name is not the column's alone
        return true;
    };
    QStringList terms;
    for (const QString& part : sort_.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList w = part.trimmed().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (w.isEmpty())
            continue;
        const Field* f = FindField(w[0]);
        if (!stored(f))
            return {};
        const bool desc = w.size() > 1 && w[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0;
        QString term = f->FieldName();
        if (f->IsText()) {
            QString collation;
            try {
                collation = conn_->textCollation();
            } catch (const DbError&) {
            }
            if (collation.isEmpty())
                return {};
            term += QStringLiteral(" COLLATE ") + collation;
        } else if (!f->IsNumeric() && f->DataType() != FieldType::Boolean) {
            return {};
        }
        term += desc ? QStringLiteral(" DESC NULLS LAST") : QStringLiteral(" NULLS FIRST");
        terms << term;
    }
    const Field* kf = fields_[size_t(keyField_)];
    if (terms.isEmpty() || !stored(kf) || !kf->IsNumeric())
        return {};
    terms << kf->FieldName();
    return terms.join(QStringLiteral(", "));
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
    // while the rest of a sorted open arrives, the view holds the first rows only
    const Field* kf = restPending_ && keyField_ >= 0 ? fields_[size_t(keyField_)] : nullptr;
    const auto take = [&](int i) {
        if (!deleted_[size_t(i)] && (!kf || firstKeys_.contains(storedValue(i, kf).toLongLong())))
            order_.push_back(i);
    };
    // rows put in the statement's order once all came, then those saved here since
    for (int i : base_)
        take(i);
    for (int i = baseEnd_; i < physCount_; ++i)
        take(i);
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
    CheckBrowseMode();
    if (!spec.trimmed().isEmpty() && started_ && reader_) {
        // rows still to come: the engine sorts, the current record stays current
        const QString old = sort_;
        sort_ = spec;
        if (!engineOrder().isEmpty()) {
            reopenSorted(old);
            return;
        }
        sort_ = old;
    }
    if (!spec.trimmed().isEmpty())
        need(-1, true);
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

// A new sort while rows are still to come: the statement again in the engine's order, back on
// the current record. When that is further down, every row is read for it; the user who
// stops that wait gets the old order back, as from any cancelled sort.
void DataSet::reopenSorted(const QString& oldSort)
{
    shell::Progress busy(readingTitle());   // the hourglass from the click, the window if it lasts
    const QVariant key = GetBookmark();
    Close();
    try {
        Open();
    } catch (...) {
        sort_ = oldSort;   // the next open is the list as it was
        throw;
    }
    if (isNull(key) || view_.empty())
        return;
    int row = findKey(key, 0);
    if (row < 0 && reader_) {
        try {
            need(-1, true);
        } catch (const shell::Cancelled&) {
            sort_ = oldSort;
            Close();
            Open();
            GotoBookmark(key);
            throw;
        }
        row = findKey(key, 0);
    }
    if (row >= 0) {
        scrollTo(row);
        bof_ = eof_ = false;
    }
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
    if (row < 0 && reader_) {
        fetchUntil([&](int from) { return (row = findKey(key, from)) >= 0; }, false, false);
        if (row < 0)
            row = findKey(key, 0);   // the rest of a sorted open joins the view at its end
    }
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
