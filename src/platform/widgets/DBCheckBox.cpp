#include "platform/widgets/DBCheckBox.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/FieldLink.h"

namespace widgets {

DBCheckBox::DBCheckBox(QWidget* parent) : QCheckBox(parent), link_(new FieldLink(this))
{
    link_->writer = [this](db::Field& f) {
        if (f.DataType() == db::FieldType::Boolean)
            f.SetAsBoolean(isChecked());
        else
            f.SetText(isChecked() ? ValueChecked : ValueUnchecked);
    };
    connect(link_, &FieldLink::refresh, this, &DBCheckBox::showField);
    connect(this, &QCheckBox::clicked, this, [this] {
        if (!link_->edit()) {
            showField();
            return;
        }
        link_->setModified(true);
        link_->updateRecord();
    });
}

void DBCheckBox::setDataSet(db::DataSet* ds) { link_->setDataSet(ds); }
void DBCheckBox::setDataField(const QString& name) { link_->setFieldName(name); }

void DBCheckBox::showField()
{
    const db::Field* f = link_->field();
    bool on = false;
    if (f)
        on = f->DataType() == db::FieldType::Boolean ? f->AsBoolean()
                                                     : f->AsString().compare(ValueChecked, Qt::CaseInsensitive) == 0;
    setChecked(on);
}

} // namespace widgets
