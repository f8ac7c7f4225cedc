#include "platform/db/DataSet.h"

#include "platform/db/Catalog.h"
#include "platform/db/ColumnStore.h"
#include "platform/db/DataSetInternal.h"
#include "platform/db/FilterExpr.h"
#include "platform/db/Format.h"

#include <QTimer>
#include <algorithm>
#include <cmath>

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

// Columns of no known type take the kind of their first value; once every row is read, a
// column that held only nulls is text.
void DataSet::settleTypes()
{
    for (Field* f : fields_) {
        if (f->def_.kind != FieldKind::Data || f->def_.type != FieldType::Unknown)
            continue;
        ColumnStore* s = stores_[size_t(f->store_)].get();
        if (s->rep() == ColumnStore::Rep::Undecided) {
            if (reader_)
                continue;
            s->decide(ColumnStore::Rep::Text);
        }
        f->def_.type = typeOfRep(s->rep());
    }
}

// The base table and its key.
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
    // a shown value: a cut-off list serves with the rows read and reports the cut itself
    if (other->reader_)
        other->fetch(-1, false, false);
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
    if (!started_)
        need(1);
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
    if (f->index_ >= 0 && Active() && !started_)
        need(1);
    if (f->index_ >= 0 && Active() && !calcMode_ && state_ != DataSetState::Edit && state_ != DataSetState::Insert
        && f->def_.kind == FieldKind::Data) {
        const int phys = physOfCurrent();
        return phys < 0 ? QByteArray() : stores_[size_t(f->store_)]->bytes(size_t(phys));
    }
    const QVariant v = fieldValue(f);
    return v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8();
}

QVariant DataSet::ValueAt(int row, int field)
{
    need(row + 1);
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
