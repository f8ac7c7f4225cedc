#include "platform/widgets/DBRadioGroup.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/FieldLink.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

namespace widgets {

DBRadioGroup::DBRadioGroup(QWidget* parent)
    : QGroupBox(parent), link_(new FieldLink(this)), group_(new QButtonGroup(this)), grid_(new QGridLayout(this))
{
    link_->writer = [this](db::Field& f) {
        const int i = ItemIndex();
        if (i >= 0)
            f.SetText(valueOf(i));
    };
    connect(link_, &FieldLink::refresh, this, &DBRadioGroup::showField);
    connect(group_, &QButtonGroup::idClicked, this, [this] {
        if (!link_->edit()) {
            showField();
            return;
        }
        link_->setModified(true);
        link_->updateRecord();
    });
}

void DBRadioGroup::setDataSet(db::DataSet* ds) { link_->setDataSet(ds); }
void DBRadioGroup::setDataField(const QString& name) { link_->setFieldName(name); }

void DBRadioGroup::setItems(const QStringList& items)
{
    items_ = items;
    rebuild();
}

void DBRadioGroup::setValues(const QStringList& values)
{
    values_ = values;
    showField();
}

void DBRadioGroup::setColumns(int columns)
{
    columns_ = std::max(1, columns);
    rebuild();
}

QString DBRadioGroup::valueOf(int i) const { return i < values_.size() && !values_[i].isEmpty() ? values_[i] : items_.value(i); }

int DBRadioGroup::ItemIndex() const { return group_->checkedId(); }

void DBRadioGroup::rebuild()
{
    for (QAbstractButton* b : group_->buttons()) {
        group_->removeButton(b);
        delete b;
    }
    const int rows = (int(items_.size()) + columns_ - 1) / columns_;
    for (int i = 0; i < items_.size(); ++i) {
        auto* b = new QRadioButton(items_[i], this);
        group_->addButton(b, i);
        grid_->addWidget(b, i % std::max(1, rows), i / std::max(1, rows));
    }
    showField();
}

void DBRadioGroup::showField()
{
    const db::Field* f = link_->field();
    const QString v = f ? f->AsString() : QString();
    int found = -1;
    for (int i = 0; f && i < items_.size(); ++i)
        if (valueOf(i) == v)
            found = i;
    group_->setExclusive(false);
    for (QAbstractButton* b : group_->buttons())
        b->setChecked(group_->id(b) == found);
    group_->setExclusive(true);
}

} // namespace widgets
