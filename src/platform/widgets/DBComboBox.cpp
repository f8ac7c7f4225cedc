#include "platform/widgets/DBComboBox.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/FieldLink.h"

#include <QLineEdit>

namespace widgets {

DBComboBox::DBComboBox(QWidget* parent) : QComboBox(parent), link_(new FieldLink(this))
{
    setEditable(true);
    link_->writer = [this](db::Field& f) { f.SetText(currentText()); };
    link_->setKeepsRefusedText(true);
    connect(link_, &FieldLink::refresh, this, &DBComboBox::showField);
    connect(this, &QComboBox::editTextChanged, this, [this] {
        if (!loading_ && lineEdit() && lineEdit()->isModified())
            changed();
    });
    connect(this, qOverload<int>(&QComboBox::activated), this, [this] {
        changed();
        link_->updateRecord();
    });
}

void DBComboBox::setDataSet(db::DataSet* ds) { link_->setDataSet(ds); }
void DBComboBox::setDataField(const QString& name) { link_->setFieldName(name); }
QString DBComboBox::dataField() const { return link_->fieldName(); }

void DBComboBox::changed()
{
    link_->noteEdit();
    if (link_->modified())
        return;
    const QString typed = currentText();
    if (!link_->edit()) {
        showField();
        return;
    }
    link_->setModified(true);
    if (currentText() != typed) {
        loading_ = true;
        setEditText(typed);
        loading_ = false;
    }
}

void DBComboBox::showField()
{
    if (link_->modified() && isEditable())
        return;
    loading_ = true;
    const db::Field* f = link_->field();
    const QString text = f ? f->AsString() : QString();
    if (isEditable()) {
        setEditText(text);
        if (lineEdit())
            lineEdit()->setModified(false);
    } else {
        setCurrentIndex(findText(text));
    }
    loading_ = false;
}

void DBComboBox::focusOutEvent(QFocusEvent* e)
{
    QComboBox::focusOutEvent(e);
    link_->updateRecord();
}

} // namespace widgets
