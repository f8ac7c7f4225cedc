#include "registry/DealConditionRows.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/FieldLink.h"

#include <QLabel>

namespace {

const QString kNone = QStringLiteral("-------");

bool editing(const db::DataSet* ds)
{
    return ds && (ds->State() == db::DataSetState::Edit || ds->State() == db::DataSetState::Insert);
}

} // namespace

DealConditionRows::DealConditionRows(const Rows& rows, const QStringList& types, const QString& firstPrice)
    : rows_(rows), types_(types), firstPrice_(firstPrice)
{
}

int DealConditionRows::rowOf(const QObject* o) const
{
    for (int i = 0; i < 3; ++i)
        if (o == rows_[i].type)
            return i + 1;
    return 0;
}

void DealConditionRows::Bind(db::DataSet* ds)
{
    for (const Row& r : rows_) {
        r.type->setDataSet(ds);
        r.type->setDataField(r.typeField);
    }
}

void DealConditionRows::Relabel(int row, db::DataSet* ds)
{
    const Row& r = rows_[row - 1];
    const db::Field* type = ds && ds->Active() ? ds->FindField(r.typeField) : nullptr;
    const int index = type ? int(types_.indexOf(type->AsString())) : -1;
    const QString first[] = {firstPrice_, QStringLiteral("قيمت رهن"), QStringLiteral("قيمت اجاره"),
                             QStringLiteral("قيمت رهن")};
    r.lblf->setText(index >= 0 ? first[index] : kNone);
    r.lblf2->setText(index == 3 ? QStringLiteral("قيمت اجاره") : kNone);
    for (QWidget* w : {static_cast<QWidget*>(r.lblf), static_cast<QWidget*>(r.edtf), static_cast<QWidget*>(r.lblsh),
                       static_cast<QWidget*>(r.edtsh)})
        w->setEnabled(index >= 0);
    r.lblf2->setEnabled(index == 3);
    r.edtf2->setEnabled(index == 3);
    if (index >= 0 && index <= 2 && editing(ds))
        widgets::guarded([&] { ds->FieldByName(r.secondField)->SetText(QStringLiteral("0")); });
}

void DealConditionRows::ClearType(int row, db::DataSet* ds)
{
    widgets::guarded([&] {
        if (!editing(ds))
            ds->Edit();
        ds->FieldByName(rows_[row - 1].typeField)->SetAsString(QString());
    });
    Relabel(row, ds);
}
