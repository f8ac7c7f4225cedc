#include "platform/db/DataSet.h"

#include <cmath>

#include "platform/db/Catalog.h"
#include "platform/db/ColumnStore.h"
#include "platform/db/FilterExpr.h"
#include "platform/db/Format.h"

#include <QCollator>
#include <QLocale>
#include <algorithm>

namespace db {

namespace {

FieldType typeOfKind(ColumnKind k)
{
    switch (k) {
    case ColumnKind::Counter: return FieldType::AutoInc;
    case ColumnKind::Boolean: return FieldType::Boolean;
    case ColumnKind::Money:
    case ColumnKind::Decimal: return FieldType::Currency;
    case ColumnKind::Double: return FieldType::Float;
    case ColumnKind::Byte:
    case ColumnKind::SmallInt: return FieldType::SmallInt;
    case ColumnKind::Integer: return FieldType::Integer;
    case ColumnKind::Text: return FieldType::String;
    case ColumnKind::Memo: return FieldType::Memo;
    case ColumnKind::Binary: return FieldType::Blob;
    }
    return FieldType::Unknown;
}

FieldType typeOfEngine(EngineType t)
{
    switch (t) {
    case EngineType::Integer: return FieldType::Integer;
    case EngineType::Boolean: return FieldType::Boolean;
    case EngineType::Float:
    case EngineType::Numeric: return FieldType::Float;
    case EngineType::Text: return FieldType::String;
    case EngineType::Blob: return FieldType::Blob;
    case EngineType::Unknown: return FieldType::Unknown;
    }
    return FieldType::Unknown;
}

ColumnStore::Rep repOf(FieldType t)
{
    switch (t) {
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::SmallInt: return ColumnStore::Rep::Int;
    case FieldType::Boolean: return ColumnStore::Rep::Bool;
    case FieldType::Float:
    case FieldType::Currency: return ColumnStore::Rep::Real;
    case FieldType::String:
    case FieldType::Memo: return ColumnStore::Rep::Text;
    case FieldType::Blob: return ColumnStore::Rep::Bytes;
    case FieldType::Unknown: return ColumnStore::Rep::Undecided;
    }
    return ColumnStore::Rep::Undecided;
}

FieldType typeOfRep(ColumnStore::Rep r)
{
    switch (r) {
    case ColumnStore::Rep::Int: return FieldType::Integer;
    case ColumnStore::Rep::Bool: return FieldType::Boolean;
    case ColumnStore::Rep::Real: return FieldType::Float;
    case ColumnStore::Rep::Bytes: return FieldType::Blob;
    default: return FieldType::String;
    }
}

bool isNull(const QVariant& v) { return v.isNull() || !v.isValid(); }

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

} // namespace

DataSet::DataSet(Connection* conn, QObject* parent) : QObject(parent), conn_(conn) {}

DataSet::~DataSet() = default;

FieldDef& DataSet::fieldDef(const QString& name)
{
    for (auto& f : allFields_) {
        if (f->FieldName().compare(name, Qt::CaseInsensitive) == 0) {
            f->declared_ = true;
            return f->def_;
        }
    }
    FieldDef d;
    d.name = name;
    allFields_.push_back(std::make_unique<Field>(this, d));
    allFields_.back()->declared_ = true;
    return allFields_.back()->def_;
}

Field* DataSet::addCalcField(const QString& name, FieldType type, int size, const QString& label)
{
    FieldDef& d = fieldDef(name);
    d.kind = FieldKind::Calculated;
    d.type = type;
    d.size = size;
    if (!label.isEmpty())
        d.label = label;
    for (auto& f : allFields_)
        if (&f->def_ == &d)
            return f.get();
    return nullptr;
}

Field* DataSet::addLookupField(const QString& name, const QString& keyField, DataSet* lookup,
                               const QString& lookupKey, const QString& lookupResult, int size, const QString& label)
{
    FieldDef& d = fieldDef(name);
    d.kind = FieldKind::Lookup;
    d.type = FieldType::String;
    d.size = size;
    d.keyField = keyField;
    d.lookupDataSet = lookup;
    d.lookupKeyField = lookupKey;
    d.lookupResultField = lookupResult;
    if (!label.isEmpty())
        d.label = label;
    if (lookup) {
        connect(lookup, &DataSet::layoutChanged, this, [this] { if (Active()) emitLayout(); });
        connect(lookup, &DataSet::rowChanged, this, [this] { if (Active()) emitLayout(); });
    }
    for (auto& f : allFields_)
        if (&f->def_ == &d)
            return f.get();
    return nullptr;
}

QString DataSet::keyFieldName() const
{
    return keyField_ >= 0 ? fields_[size_t(keyField_)]->FieldName() : QString();
}

Field* DataSet::FindField(const QString& name) const { return byName_.value(name.toLower(), nullptr); }

Field* DataSet::FieldByName(const QString& name) const
{
    Field* f = FindField(name);
    if (!f)
        throw DbError(ErrorCategory::Other, QStringLiteral("Field '%1' not found").arg(name));
    return f;
}

QStringList DataSet::FieldNames() const
{
    QStringList out;
    for (Field* f : fields_)
        out << f->FieldName();
    return out;
}

void DataSet::setState(DataSetState s)
{
    if (state_ == s)
        return;
    state_ = s;
    if (!disabled_)
        emit stateChanged();
}

void DataSet::emitLayout()
{
    if (!disabled_) {
        emit layoutChanged();
        emit currentChanged();
    }
}

// ---- opening ----

void DataSet::buildFields(Cursor& cur)
{
    for (auto& f : allFields_) {
        f->index_ = -1;
        f->store_ = -1;
    }
    fields_.clear();
    byName_.clear();
    stores_.clear();
    calcStores_.clear();

    const Catalog* catalog = conn_->catalog();
    const int n = cur.columnCount();
    for (int c = 0; c < n; ++c) {
        QString name = cur.columnName(c);
        if (byName_.contains(name.toLower())) {
            int k = 1;
            while (byName_.contains(QStringLiteral("%1_%2").arg(name).arg(k).toLower()))
                ++k;
            name = QStringLiteral("%1_%2").arg(name).arg(k);
        }
        Field* f = nullptr;
        for (auto& existing : allFields_) {
            if (existing->def_.kind == FieldKind::Data && existing->index_ < 0
                && existing->FieldName().compare(name, Qt::CaseInsensitive) == 0) {
                f = existing.get();
                break;
            }
        }
        if (!f) {
            FieldDef d;
            d.name = name;
            allFields_.push_back(std::make_unique<Field>(this, d));
            f = allFields_.back().get();
        }
        const ColumnOrigin origin = cur.origin(c);
        f->baseTable_ = origin.table;
        f->baseColumn_ = origin.column;
        const ColumnDef* col = catalog && !origin.table.isEmpty() ? catalog->column(origin.table, origin.column) : nullptr;
        FieldDef& d = f->def_;
        if (!f->declared_) {
            const QString keep = d.name;
            d = FieldDef();
            d.name = keep;
        }
        if (d.type == FieldType::Unknown || !f->declared_)
            d.type = col ? typeOfKind(col->kind) : typeOfEngine(cur.engineType(c));
        if (col) {
            // a text field holds no more than its column on either engine
            const int width = col->size > 0 ? col->size : 255;
            if (col->kind == ColumnKind::Text && (d.size == 0 || d.size > width))
                d.size = width;
            if (col->kind == ColumnKind::Byte && d.minValue == 0 && d.maxValue == 0)
                d.maxValue = 255;
            if (d.label.isEmpty())
                d.label = col->label;
            // the server folds names to lower case: an unlabelled column is named as written
            if (d.label.isEmpty() && col->name.compare(d.name, Qt::CaseInsensitive) == 0)
                d.label = col->name;
            if (d.editMask.isEmpty())
                d.editMask = col->editMask;
            if (d.displayFormat.isEmpty())
                d.displayFormat = col->displayFormat;
        }
        f->index_ = int(fields_.size());
        f->store_ = int(stores_.size());
        stores_.push_back(std::make_unique<ColumnStore>(repOf(d.type)));
        fields_.push_back(f);
        byName_.insert(name.toLower(), f);
    }
    for (auto& f : allFields_) {
        if (f->def_.kind == FieldKind::Data || !f->declared_)
            continue;
        if (byName_.contains(f->FieldName().toLower()))
            continue;
        f->index_ = int(fields_.size());
        if (f->def_.kind == FieldKind::Calculated) {
            f->store_ = int(calcStores_.size());
            calcStores_.push_back(std::make_unique<ColumnStore>(repOf(f->def_.type)));
        }
        fields_.push_back(f.get());
        byName_.insert(f->FieldName().toLower(), f.get());
    }

}

// The base table and its key, asked once every row has been read.
void DataSet::findKey()
{
    // the base table and its key
    updateTable_ = updateTableOverride_;
    if (updateTable_.isEmpty()) {
        for (Field* f : fields_) {
            if (!f->baseTable_.isEmpty()) {
                updateTable_ = f->baseTable_;
                break;
            }
        }
    }
    keyField_ = -1;
    keyAuto_ = false;
    if (!updateTable_.isEmpty()) {
        const Connection::KeyInfo key = conn_->keyOf(updateTable_);
        if (!key.column.isEmpty()) {
            for (Field* f : fields_) {
                if (f->def_.kind == FieldKind::Data
                    && f->baseTable_.compare(updateTable_, Qt::CaseInsensitive) == 0
                    && f->baseColumn_.compare(key.column, Qt::CaseInsensitive) == 0) {
                    keyField_ = f->index_;
                    keyAuto_ = key.autoIncrement;
                    if (keyAuto_)
                        f->def_.type = FieldType::AutoInc;
                    break;
                }
            }
        }
    }
}

void DataSet::readAll(Cursor& cur)
{
    const int n = int(stores_.size());
    std::vector<ColumnStore*> st(stores_.size());
    for (int c = 0; c < n; ++c)
        st[size_t(c)] = stores_[size_t(c)].get();
    int rows = 0;
    while (cur.next()) {
        cur.appendRow(st.data());
        ++rows;
    }
    physCount_ = rows;
    for (Field* f : fields_) {
        if (f->def_.kind == FieldKind::Data && f->def_.type == FieldType::Unknown) {
            ColumnStore* s = stores_[size_t(f->store_)].get();
            if (s->rep() == ColumnStore::Rep::Undecided)
                s->decide(ColumnStore::Rep::Text);
            f->def_.type = typeOfRep(s->rep());
        }
    }
    for (auto& s : calcStores_)
        for (int r = 0; r < rows; ++r)
            s->appendNull();
    calcValid_.assign(size_t(rows), false);
    deleted_.assign(size_t(rows), false);
}

void DataSet::Open()
{
    if (Active())
        return;
    if (!conn_)
        throw DbError(ErrorCategory::Other, QStringLiteral("Dataset has no connection"));
    fire(BeforeOpen);
    try {
        auto cur = conn_->query(sql_, {}, true);
        buildFields(*cur);
        readAll(*cur);
        cur.reset();
        findKey();
    } catch (...) {
        stores_.clear();
        calcStores_.clear();
        physCount_ = 0;
        for (auto& f : allFields_)
            f->index_ = -1;
        fields_.clear();
        byName_.clear();
        throw;
    }
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
}

void DataSet::Close()
{
    if (!Active())
        return;
    fire(BeforeClose);
    state_ = DataSetState::Inactive;
    stores_.clear();
    calcStores_.clear();
    calcValid_.clear();
    deleted_.clear();
    order_.clear();
    view_.clear();
    buf_.clear();
    orig_.clear();
    changed_.clear();
    modified_ = false;
    physCount_ = 0;
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
    if (row >= 0 && !view_.empty())
        scrollTo(std::min(row, int(view_.size()) - 1));
}

int DataSet::ExecSQL()
{
    if (!conn_)
        throw DbError(ErrorCategory::Other, QStringLiteral("Dataset has no connection"));
    return conn_->exec(sql_);
}

// ---- values ----

QVariant DataSet::storedValue(int phys, const Field* f) const
{
    switch (f->def_.kind) {
    case FieldKind::Data: return stores_[size_t(f->store_)]->get(size_t(phys));
    case FieldKind::Calculated: {
        int row = calcMode_ ? calcRow_ : cur_;
        if (!calcMode_) {
            // find the row for row numbers; the current row is the usual case
            if (!(cur_ >= 0 && cur_ < int(view_.size()) && view_[size_t(cur_)] == phys)) {
                auto it = std::find(view_.begin(), view_.end(), phys);
                row = it == view_.end() ? -1 : int(it - view_.begin());
            }
        }
        ensureCalc(phys, row);
        return calcStores_[size_t(f->store_)]->get(size_t(phys));
    }
    case FieldKind::Lookup: {
        Field* key = FindField(f->def_.keyField);
        return key ? lookupValue(f, storedValue(phys, key)) : QVariant();
    }
    }
    return {};
}

QVariant DataSet::lookupValue(const Field* f, const QVariant& key) const
{
    DataSet* other = f->def_.lookupDataSet;
    if (!other || !other->Active() || isNull(key))
        return {};
    Field* k = other->FindField(f->def_.lookupKeyField);
    Field* r = other->FindField(f->def_.lookupResultField);
    if (!k || !r || k->def_.kind != FieldKind::Data)
        return {};
    const ColumnStore* ks = other->stores_[size_t(k->store_)].get();
    const double kd = key.toDouble();
    const QString kt = key.toString();
    for (int phys : other->view_) {
        if (phys < 0 || ks->isNull(size_t(phys)))
            continue;
        const bool eq = k->IsNumeric() ? ks->number(size_t(phys)) == kd
                                       : ks->text(size_t(phys)).compare(kt, Qt::CaseInsensitive) == 0;
        if (eq)
            return other->storedValue(phys, r);
    }
    return {};
}

void DataSet::ensureCalc(int phys, int row) const
{
    if (phys < 0 || size_t(phys) >= calcValid_.size() || calcValid_[size_t(phys)])
        return;
    calcValid_[size_t(phys)] = true;
    if (!OnCalcFields || calcStores_.empty())
        return;
    const bool savedMode = calcMode_;
    const int savedPhys = calcPhys_, savedRow = calcRow_;
    std::vector<QVariant> savedBuf;
    savedBuf.swap(calcBuf_);
    calcMode_ = true;
    calcPhys_ = phys;
    calcRow_ = row;
    calcBuf_.assign(fields_.size(), QVariant());
    try {
        OnCalcFields(const_cast<DataSet&>(*this));
    } catch (...) {
        // a failing calculation leaves the calculated values empty
    }
    for (Field* f : fields_)
        if (f->def_.kind == FieldKind::Calculated)
            calcStores_[size_t(f->store_)]->set(size_t(phys), f->Coerce(calcBuf_[size_t(f->index_)]));
    calcBuf_.swap(savedBuf);
    calcMode_ = savedMode;
    calcPhys_ = savedPhys;
    calcRow_ = savedRow;
}

void DataSet::calcBuffer()
{
    if (!OnCalcFields || calcStores_.empty())
        return;
    const bool savedMode = calcMode_;
    const int savedPhys = calcPhys_, savedRow = calcRow_;
    calcMode_ = true;
    calcPhys_ = -1;
    calcRow_ = cur_;
    calcBuf_.assign(fields_.size(), QVariant());
    try {
        OnCalcFields(*this);
    } catch (...) {
    }
    for (Field* f : fields_)
        if (f->def_.kind == FieldKind::Calculated)
            buf_[size_t(f->index_)] = f->Coerce(calcBuf_[size_t(f->index_)]);
    calcMode_ = savedMode;
    calcPhys_ = savedPhys;
    calcRow_ = savedRow;
}

void DataSet::invalidateCalc() { std::fill(calcValid_.begin(), calcValid_.end(), false); }

QVariant DataSet::fieldValue(const Field* f) const
{
    if (f->index_ < 0 || !Active())
        return {};
    const size_t idx = size_t(f->index_);
    if (calcMode_) {
        if (f->def_.kind == FieldKind::Calculated)
            return calcBuf_[idx];
        if (calcPhys_ < 0) {
            if (f->def_.kind == FieldKind::Lookup) {
                Field* key = FindField(f->def_.keyField);
                return key ? lookupValue(f, buf_[size_t(key->index_)]) : QVariant();
            }
            return buf_[idx];
        }
        return storedValue(calcPhys_, f);
    }
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) {
        if (f->def_.kind == FieldKind::Lookup) {
            Field* key = FindField(f->def_.keyField);
            return key ? lookupValue(f, buf_[size_t(key->index_)]) : QVariant();
        }
        return buf_[idx];
    }
    const int phys = physOfCurrent();
    return phys < 0 ? QVariant() : storedValue(phys, f);
}

QByteArray DataSet::fieldBytes(const Field* f) const
{
    // a stored value of the current record as the database gave it
    if (f->index_ >= 0 && Active() && !calcMode_ && state_ != DataSetState::Edit && state_ != DataSetState::Insert
        && f->def_.kind == FieldKind::Data) {
        const int phys = physOfCurrent();
        return phys < 0 ? QByteArray() : stores_[size_t(f->store_)]->bytes(size_t(phys));
    }
    const QVariant v = fieldValue(f);
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
}

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

QVariant DataSet::ValueAt(int row, int field)
{
    if (row < 0 || row >= int(view_.size()) || field < 0 || field >= int(fields_.size()))
        return {};
    const Field* f = fields_[size_t(field)];
    if (row == cur_ && (state_ == DataSetState::Edit || state_ == DataSetState::Insert))
        return fieldValue(f);
    const int phys = view_[size_t(row)];
    if (phys < 0)
        return {};
    if (f->def_.kind == FieldKind::Calculated) {
        ensureCalc(phys, row);
        return calcStores_[size_t(f->store_)]->get(size_t(phys));
    }
    return storedValue(phys, f);
}

QString DataSet::DisplayTextAt(int row, int field)
{
    const QVariant v = ValueAt(row, field);
    if (isNull(v))
        return {};
    const Field* f = fields_[size_t(field)];
    if (f->IsNumeric() && !f->def_.displayFormat.isEmpty())
        return formatNumber(v.toDouble(), f->def_.displayFormat);
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    if (v.typeId() == QMetaType::Double)
        return GeneralFloat(v.toDouble());
    return v.toString();
}

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
    filter_ = expr;
    filterExpr_ = std::move(parsed);
    if (Active() && filtered_)
        refilter();
}

void DataSet::setFiltered(bool on)
{
    if (filtered_ == on)
        return;
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
    if (!Active() || view_.empty())
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

// ---- editing ----

void DataSet::beginInsert(bool append)
{
    if (!Active())
        throw DbError(ErrorCategory::Other, QStringLiteral("Cannot perform this operation on a closed dataset"));
    CheckBrowseMode();
    fire(BeforeInsert);
    const int pos = append || cur_ < 0 ? int(view_.size()) : cur_;
    view_.insert(view_.begin() + pos, -1);
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

namespace {
bool writable(const Field* f, const QString& table)
{
    return f->Kind() == FieldKind::Data && !f->BaseColumn().isEmpty()
        && f->BaseTable().compare(table, Qt::CaseInsensitive) == 0;
}
} // namespace

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
    const int phys = physOfCurrent();
    if (phys < 0 || keyField_ < 0)
        return {};
    return storedValue(phys, fields_[size_t(keyField_)]);
}

int DataSet::findKey(const QVariant& key) const
{
    if (keyField_ < 0 || isNull(key))
        return -1;
    const Field* kf = fields_[size_t(keyField_)];
    const QString want = keyText(key);
    for (int row = 0; row < int(view_.size()); ++row) {
        const int phys = view_[size_t(row)];
        if (phys >= 0 && keyText(storedValue(phys, kf)) == want)
            return row;
    }
    return -1;
}

bool DataSet::GotoBookmark(const QVariant& key)
{
    const int row = findKey(key);
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
    if (keyField_ < 0 || row < 0 || row >= int(view_.size()) || view_[size_t(row)] < 0)
        return;
    const QVariant kv = storedValue(view_[size_t(row)], fields_[size_t(keyField_)]);
    if (isNull(kv))
        return;
    const QString k = keyText(kv);
    if (on == selected_.contains(k))
        return;
    if (on)
        selected_.insert(k);
    else
        selected_.remove(k);
    if (!disabled_)
        emit rowChanged(row);
}

bool DataSet::IsSelected() const
{
    const QVariant k = GetBookmark();
    return !isNull(k) && selected_.contains(keyText(k));
}

bool DataSet::IsRowSelected(int row) const
{
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
    for (int phys : view_) {
        if (phys < 0)
            continue;
        const QVariant k = storedValue(phys, fields_[size_t(keyField_)]);
        if (selected_.contains(keyText(k)))
            out << k;
    }
    return out;
}

void DataSet::DisableControls() { ++disabled_; }

void DataSet::EnableControls()
{
    if (disabled_ > 0 && --disabled_ == 0) {
        emit stateChanged();
        emit layoutChanged();
        emit currentChanged();
    }
}

} // namespace db
