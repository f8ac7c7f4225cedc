#include "platform/widgets/DBText.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/FieldLink.h"

namespace widgets {

DBText::DBText(QWidget* parent) : QLabel(parent), link_(new FieldLink(this))
{
    connect(link_, &FieldLink::refresh, this, [this] {
        const db::Field* f = link_->field();
        setText(f ? f->DisplayText() : QString());
    });
}

void DBText::setDataSet(db::DataSet* ds) { link_->setDataSet(ds); }
void DBText::setDataField(const QString& name) { link_->setFieldName(name); }

} // namespace widgets
