#include "deals/TFrmHazinehNew.h"

#include "core/TDm.h"
#include "forms/FormShared.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBRadioGroup.h"
#include "ui_TFrmHazinehNew.h"

TFrmHazinehNew* FrmHazinehNew = nullptr;

TFrmHazinehNew::TFrmHazinehNew(QWidget* parent)
    : TBookEntry(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TFrmHazinehNew>())
{
    ui->setupUi(this);
    ui->DBRadioGroup1->setColumns(2);
    ui->DBRadioGroup1->setItems({QStringLiteral("هزينه"), QStringLiteral("درآمد")});
    ui->DBRadioGroup1->setValues({QStringLiteral("هزينه"), QStringLiteral("درآمد")});
    db::DataSet* ds = Dm ? Dm->QHazineh : nullptr;
    if (ds) {
        BindFields<widgets::DBEdit>(ds, {{ui->DBEdit1, "shoomareh"},
                                         {ui->DBEdit2, "tarikh"},
                                         {ui->DBEdit3, "Mablagh"},
                                         {ui->DBEdit4, "Tozihat"}});
        ui->HCmbHazineh->setDataSet(ds);
        ui->HCmbHazineh->setDataField(QStringLiteral("Hname"));
        ui->DBRadioGroup1->setDataSet(ds);
        ui->DBRadioGroup1->setDataField(QStringLiteral("nov"));
    }
    Design d;
    d.dataSet = ds;
    d.storedLists = {ui->HCmbHazineh};
    d.deleteButtons = {{ui->BitBtn1, ui->HCmbHazineh}};
    d.amount = ui->DBEdit3;
    d.navigator = ui->DBNavigator1;
    d.firstFocus = ui->HCmbHazineh;
    setupEntry(d);
    setWindowTitle(QStringLiteral("صدور هزينه"));
}

TFrmHazinehNew::~TFrmHazinehNew() = default;

bool TFrmHazinehNew::eventFilter(QObject* watched, QEvent* event)
{
    // whether the user typed the number is decided again when the row is posted
    if (watched == ui->DBEdit1 && Dm) {
        if (event->type() == QEvent::FocusIn)
            numberOnEnter_ = ui->DBEdit1->text();
        else if (event->type() == QEvent::FocusOut)
            Dm->HazinehNumberTyped = ui->DBEdit1->text() != numberOnEnter_;
    }
    return TBookEntry::eventFilter(watched, event);
}
