#include "registry/TFrmNiyaz.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBCheckBox.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "forms/FormShared.h"
#include "ui_TFrmNiyaz.h"

TFrmNiyaz* FrmNiyaz = nullptr;

const QStringList& TFrmNiyaz::DealTypes()
{
    static const QStringList types{QStringLiteral("خريد"), QStringLiteral("رهن کامل"), QStringLiteral("اجاره کامل"),
                                   QStringLiteral("رهن و اجاره")};
    return types;
}

TFrmNiyaz::TFrmNiyaz(QWidget* parent) : TRecordForm(parent), ui(std::make_unique<Ui::TFrmNiyaz>())
{
    ui->setupUi(this);
    Design d;
    d.dataSet = [] { return Dm ? Dm->QNiyaz : nullptr; };
    d.regions = [] { return Dm ? Dm->Qmn2 : nullptr; };
    d.regionField = QStringLiteral("MnId");
    d.dealTypes = DealTypes();
    d.firstPrice = QStringLiteral("قيمت خريد");
    // Enter in a type list does nothing special
    d.enterOnTypeMovesToAmount = false;
    d.enterMovesOn = {
        ui->DBEdit8,     ui->DBEdit1,     ui->DBEdit2,           ui->DBEdit3,     ui->DBEdit4,     ui->DBCheckBox1,
        ui->DBCheckBox2, ui->DBCheckBox3, ui->DBLookupComboBox1, ui->DBEdit9,     ui->DBEdit10,    ui->DBEdit14,
        ui->DBCheckBox4, ui->DBCheckBox5, ui->DBCheckBox6,       ui->DBCheckBox7, ui->DBCheckBox8, ui->DBCheckBox9,
        ui->DBEdit18,    ui->DBEdit19,    ui->DBEdit23,          ui->edtsh1,      ui->edtsh2,      ui->edtsh3};
    d.storedLists = {ui->DBComboBox1};
    d.deleteButtons = {{ui->BitBtn2, ui->DBComboBox1}};
    d.help =
        QStringLiteral("در اين فرم مشخصات املاک درخواستي را وارد مي نماييد.") + QLatin1Char('\n') +
        QStringLiteral("املاک درخواستي املاکي مي باشند که مشتري درخواست خريد، اجاره يا رهن کردن آنها را داشته باشد.");
    d.nameField = "Esm";
    d.firstFocus = ui->DBEdit1;
    d.homeField = "hometel";
    d.jobField = "shoptel";
    d.mobileField = "mobile";
    setupRecordForm(Parts::Of(ui.get(), {QStringLiteral("f1type"), QStringLiteral("f2type"), QStringLiteral("f3type")}),
                    d);
    bind();
    setWindowTitle(QStringLiteral("املاک درخواستي"));
}

TFrmNiyaz::~TFrmNiyaz() = default;

void TFrmNiyaz::bind()
{
    if (!Dm)
        return;
    db::DataSet* ds = Dm->QNiyaz;
    BindFields<widgets::DBEdit>(ds, {{ui->DBEdit5, "NizId"}, {ui->DBEdit6, "tarikhv"}, {ui->DBEdit8, "TarikhEraeh"},
                                     {ui->DBEdit1, "Esm"}, {ui->DBEdit2, "hometel"}, {ui->DBEdit3, "shoptel"},
                                     {ui->DBEdit4, "mobile"}, {ui->DBEdit9, "Masahat"}, {ui->DBEdit10, "ZirBana"},
                                     {ui->DBEdit13, "ghymat"}, {ui->DBEdit14, "tedadtel"},
                                     {ui->DBEdit18, "Tabagheh"}, {ui->DBEdit19, "otagh"}, {ui->DBEdit23, "Tozihat"},
                                     {ui->edtf1, "F1"}, {ui->edtf2, "F2"}, {ui->edtf3, "F3"}, {ui->edtf1_2, "f1_2"},
                                     {ui->edtf2_2, "f2_2"}, {ui->edtf3_2, "f3_2"}, {ui->edtsh1, "F1Shart"},
                                     {ui->edtsh2, "F2Shart"}, {ui->edtsh3, "F3Shart"}});
    BindFields<widgets::DBCheckBox>(ds, {{ui->DBCheckBox1, "kharid"}, {ui->DBCheckBox2, "Rahn"},
                                         {ui->DBCheckBox3, "Ejareh"}, {ui->DBCheckBox4, "Ab"},
                                         {ui->DBCheckBox5, "Bargh"}, {ui->DBCheckBox6, "gaz"},
                                         {ui->DBCheckBox7, "parking"}, {ui->DBCheckBox8, "hayat"},
                                         {ui->DBCheckBox9, "anbary"}, {ui->DBCheckBox10, "hazfshodeh"}});
    BindFields<widgets::DBComboBox>(ds, {{ui->DBComboBox1, "NovMelk"}});
    bindRecordForm();
}

void TFrmNiyaz::BitBtn2Click()
{
    DeleteComboItemClick(ui->DBComboBox1);
}
