#include "platform/widgets/DBLookupComboBox.h"

#include "platform/db/DataSet.h"
#include "platform/db/Format.h"
#include "platform/widgets/FieldLink.h"

namespace widgets {

namespace {
QString keyText(const QVariant& v)
{
    if (v.isNull() || !v.isValid())
        return {};
    qint64 n = 0;
    if (v.typeId() == QMetaType::Double && db::WholeNumber(v.toDouble(), &n))
        return QString::number(n);
    return v.toString();
}
} // namespace

DBLookupComboBox::DBLookupComboBox(QWidget* parent) : QComboBox(parent), link_(new FieldLink(this))
{
    setEditable(false);
    link_->writer = [this](db::Field& f) { f.SetValue(key_); };
    connect(link_, &FieldLink::refresh, this, &DBLookupComboBox::showField);
    connect(this, qOverload<int>(&QComboBox::activated), this, [this](int index) {
        const QVariant old = key_;
        key_ = itemData(index);
        if (link_->field()) {
            if (!link_->edit()) {
                key_ = old;
                showKey();
                return;
            }
            link_->setModified(true);
            link_->updateRecord();
        }
        emit keyValueChanged();
    });
}

void DBLookupComboBox::setDataSet(db::DataSet* ds) { link_->setDataSet(ds); }
void DBLookupComboBox::setDataField(const QString& name) { link_->setFieldName(name); }

void DBLookupComboBox::setListSource(db::DataSet* list)
{
    if (list_)
        disconnect(list_, nullptr, this, nullptr);
    list_ = list;
    if (list_) {
        connect(list_, &db::DataSet::layoutChanged, this, &DBLookupComboBox::reloadList);
        connect(list_, &db::DataSet::rowChanged, this, &DBLookupComboBox::reloadList);
        connect(list_, &db::DataSet::rowRemoved, this, &DBLookupComboBox::reloadList);
    }
    reloadList();
}

void DBLookupComboBox::setKeyField(const QString& name)
{
    keyField_ = name;
    reloadList();
}

void DBLookupComboBox::setListField(const QString& name)
{
    listField_ = name;
    reloadList();
}

void DBLookupComboBox::setKeyValue(const QVariant& key)
{
    key_ = key;
    showKey();
}

void DBLookupComboBox::reloadList()
{
    loading_ = true;
    clear();
    if (list_ && list_->Active()) {
        const db::Field* k = list_->FindField(keyField_);
        const db::Field* t = list_->FindField(listField_.isEmpty() ? keyField_ : listField_);
        int rows = 0;   // a list cut off by an error shows its message and no part
        if (k && t && guarded([&] { rows = list_->RecordCount(); }))
            for (int row = 0; row < rows; ++row)
                addItem(list_->DisplayTextAt(row, t->Index()), list_->ValueAt(row, k->Index()));
    }
    loading_ = false;
    showKey();
}

void DBLookupComboBox::showKey()
{
    const QString want = keyText(key_);
    int found = -1;
    for (int i = 0; !want.isEmpty() && i < count(); ++i)
        if (keyText(itemData(i)) == want) {
            found = i;
            break;
        }
    setCurrentIndex(found);
}

void DBLookupComboBox::showField()
{
    const db::Field* f = link_->field();
    if (!f && link_->fieldName().isEmpty())
        return;
    key_ = f ? f->Value() : QVariant();
    showKey();
}

} // namespace widgets
