#include "deals/TFrmCheck.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "forms/FormShared.h"
#include "platform/widgets/DBCheckBox.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBRadioGroup.h"
#include "ui_TFrmCheck.h"

TFrmCheck* FrmCheck = nullptr;

const QStringList& TFrmCheck::States()
{
    static const QStringList states = {QStringLiteral("پاس شده"), QStringLiteral("پاس نشده"), QStringLiteral("به حساب"),
                                       QStringLiteral("پاس نقدي"), QStringLiteral("برگشتي"), QStringLiteral("غيره")};
    return states;
}

TFrmCheck::TFrmCheck(QWidget* parent) : TBookEntry(parent, Qt::Window), ui(std::make_unique<Ui::TFrmCheck>())
{
    ui->setupUi(this);
    ui->DBComboBox1->addItems(States());
    ui->DBComboBox1->setEditable(false);
    ui->DBRadioGroup1->setColumns(2);
    ui->DBRadioGroup1->setItems({QStringLiteral("دريافتي"), QStringLiteral("پرداختي")});
    ui->DBRadioGroup1->setValues({QStringLiteral("دريافتي"), QStringLiteral("پرداختي")});
    db::DataSet* ds = Dm ? Dm->QCheck : nullptr;
    if (ds) {
        BindFields<widgets::DBEdit>(ds, {{ui->DBEdit1, "shoomareh"},
                                         {ui->DBEdit2, "Tarikh"},
                                         {ui->DBEdit3, "mablagh"},
                                         {ui->DBEdit4, "sharh"},
                                         {ui->DBEdit5, "hesabno"}});
        BindFields<widgets::DBComboBox>(ds, {{ui->CCmbBank, "bank"},
                                             {ui->DBComboBox1, "Vaziyat"},
                                             {ui->CCmbNov, "novsanad"},
                                             {ui->CCmbShakhs, "shakhs"}});
        ui->DBRadioGroup1->setDataSet(ds);
        ui->DBRadioGroup1->setDataField(QStringLiteral("nov"));
        ui->DBCheckBox1->setDataSet(ds);
        ui->DBCheckBox1->setDataField(QStringLiteral("hazf"));
    }
    Design d;
    d.dataSet = ds;
    d.storedLists = {ui->CCmbBank, ui->CCmbNov, ui->CCmbShakhs};
    d.deleteButtons = {{ui->BitBtn1, ui->CCmbBank}, {ui->BitBtn3, ui->CCmbNov}, {ui->BitBtn2, ui->CCmbShakhs}};
    d.amount = ui->DBEdit3;
    d.navigator = ui->DBNavigator1;
    d.firstFocus = ui->CCmbShakhs;
    setupEntry(d);
    setWindowTitle(QStringLiteral("مشخصات چک"));
}

TFrmCheck::~TFrmCheck() = default;
