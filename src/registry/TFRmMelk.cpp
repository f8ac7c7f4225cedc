#include "registry/TFRmMelk.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBCheckBox.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/ShownRefresh.h"
#include "core/FeatureCaptions.h"
#include "forms/FormShared.h"
#include "registry/TfrmDocs.h"
#include "ui_TFRmMelk.h"

#include <QCursor>
#include <QMenu>
#include <QScrollBar>

TFRmMelk* FRmMelk = nullptr;

namespace {

// The amenities as laid out, row by row: check box DBCheckBox10.. and title edit DBEdit24..
const char* const kAmenityLayout[] = {
    "Ayfon",          "Asansor",        "Sona",          "jakozi",       "stakhr",  "darcontoroly",
    "doblex",         "anten",          "noorpardazi",   "kitchen",      "shofazh", "package",
    "mostaghel",      "moshtarak",      "shomali",       "jonobi",       "azhayat", "azsakhteman",
    "bokhary",        "shoomineh",      "mobl",          "loster",       "pardeh",  "jaroobarghi",
    "saloonejtemaat", "saloonbiliyard", "badansazi",     "ketabkhaneh",  "komod",   "doozdgir",
    "elamharigh",     "etfaeharigh",    "pelehezterari", "teras",        "balkon",  "shirvani",
    "parvanehsakht",  "mojavez",        "radiyator",     "vambanki"};

bool editing(const db::DataSet* ds)
{
    return ds && (ds->State() == db::DataSetState::Edit || ds->State() == db::DataSetState::Insert);
}

} // namespace

const QStringList& TFRmMelk::DealTypes()
{
    static const QStringList types{QStringLiteral("فروش"), QStringLiteral("رهن کامل"), QStringLiteral("اجاره کامل"),
                                   QStringLiteral("رهن و اجاره")};
    return types;
}

TFRmMelk::TFRmMelk(QWidget* parent) : TRecordForm(parent), ui(std::make_unique<Ui::TFRmMelk>())
{
    ui->setupUi(this);
    Design d;
    d.dataSet = [] { return Dm ? Dm->QMelk : nullptr; };
    d.regions = [] { return Dm ? Dm->QMn : nullptr; };
    d.regionField = QStringLiteral("MantaghehID");
    d.dealTypes = DealTypes();
    d.firstPrice = QStringLiteral("قيمت فروش");
    d.enterOnTypeMovesToAmount = true;
    d.enterMovesOn = {
        ui->DBEdit1,     ui->DBEdit2,     ui->DBEdit3,           ui->DBEdit4,     ui->DBEdit8,
        ui->DBCheckBox1,
        ui->DBCheckBox2, ui->DBCheckBox3, ui->DBLookupComboBox1, ui->DBEdit9,     ui->DBEdit10,    ui->DBEdit11,
        ui->DBEdit12,    ui->DBEdit17,    ui->DBEdit13,          ui->DBEdit14,    ui->DBEdit15,    ui->DBEdit18,
        ui->DBEdit19,    ui->DBEdit22,    ui->DBEdit23,          ui->DBEdit21,    ui->edtsh1,      ui->edtsh2,
        ui->edtsh3,      ui->DBCheckBox4, ui->DBCheckBox5,       ui->DBCheckBox6, ui->DBCheckBox7, ui->DBCheckBox8,
        ui->DBCheckBox9};
    d.enterJumps.insert(ui->DBEdit21, ui->DBEdit22);
    d.storedLists = {ui->DBComboBox1, ui->DBComboBox2, ui->DBComboBox3, ui->DBComboBox4,
                     ui->DBComboBox5, ui->DBComboBox6, ui->DBComboBox7, ui->DBComboBox8};
    d.deleteButtons = {{ui->BitBtn2, ui->DBComboBox1}, {ui->BitBtn3, ui->DBComboBox2}, {ui->BitBtn4, ui->DBComboBox3},
                       {ui->BitBtn5, ui->DBComboBox4}, {ui->BitBtn6, ui->DBComboBox5}, {ui->BitBtn8, ui->DBComboBox6},
                       {ui->BitBtn1, ui->DBComboBox7}, {ui->BitBtn7, ui->DBComboBox8}};
    d.help = QStringLiteral("در اين فرم مشخصات املاک موجود را وارد مي نماييد.") + QLatin1Char('\n') +
             QStringLiteral("املاک موجود املاکي ميباشند که مالک قصد فروش، اجاره يا رهن دادن آنها را داشته باشد.");
    d.nameField = "MalekEsm";
    d.firstFocus = ui->DBEdit1;
    d.homeField = "MalekHomeTel";
    d.jobField = "MalekTelJob";
    d.mobileField = "MalekMobile";
    setupRecordForm(Parts::Of(ui.get(), {QStringLiteral("F1type"), QStringLiteral("F2Type"), QStringLiteral("F3Type")}),
                    d);

    connect(ui->BitBtn9, &QPushButton::clicked, this, [this] { BitBtn9Click(); });
    connect(ui->btnDocs, &QPushButton::clicked, this, [this] { btnDocsClick(); });
    connect(ui->Label9, &QLabel::linkActivated, this, [this] { SaveTitlesAsDefault(); });
    auto* menu = new QMenu(this);
    QAction* n1 = menu->addAction(QStringLiteral("ذخيره عناوين به عنوان پيش فرض"));
    n1->setObjectName(QStringLiteral("N1"));
    connect(n1, &QAction::triggered, this, [this] { SaveTitlesAsDefault(); });
    ui->GroupBox4->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->GroupBox4, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint& pos) { menu->popup(ui->GroupBox4->mapToGlobal(pos)); });

    ConnectDataModule();
    setWindowTitle(QStringLiteral("مشخصات ملک"));
}

TFRmMelk::~TFRmMelk() = default;

void TFRmMelk::ConnectDataModule()
{
    if (!Dm || bound_)
        return;
    bound_ = true;
    db::DataSet* ds = Dm->QMelk;
    BindFields<widgets::DBEdit>(ds, {{ui->DBEdit1, "MalekEsm"}, {ui->DBEdit2, "MalekHomeTel"},
                                     {ui->DBEdit3, "MalekTelJob"}, {ui->DBEdit4, "MalekMobile"},
                                     {ui->DBEdit5, "MID"}, {ui->DBEdit6, "TarikhVoorod"},
                                     {ui->DBEdit8, "TarikhEraeh"}, {ui->DBEdit16, "mo"}, {ui->DBEdit18, "Tabagheh"},
                                     {ui->DBEdit9, "Masahat"}, {ui->DBEdit10, "ZirBana"}, {ui->DBEdit11, "Arz"},
                                     {ui->DBEdit12, "Moshaat"}, {ui->DBEdit17, "zabeteh"},
                                     {ui->DBEdit13, "GhymatHarMeter"}, {ui->DBEdit14, "tedadtel"},
                                     {ui->DBEdit15, "ShoomarehTels"}, {ui->DBEdit19, "TedadOtagh"},
                                     {ui->DBEdit21, "Addr"}, {ui->DBEdit22, "SayerEmkanat"},
                                     {ui->DBEdit23, "Tozihat"}, {ui->edtf1, "F1"}, {ui->edtf2, "F2"},
                                     {ui->edtf3, "F3"}, {ui->edtf1_2, "f1_2"}, {ui->edtf2_2, "f2_2"},
                                     {ui->edtf3_2, "f3_2"}, {ui->edtsh1, "F1Shart"}, {ui->edtsh2, "F2Shart"},
                                     {ui->edtsh3, "F3Shart"}});
    BindFields<widgets::DBCheckBox>(ds, {{ui->DBCheckBox1, "ForSell"}, {ui->DBCheckBox2, "ForRahn"},
                                         {ui->DBCheckBox3, "ForEjareh"}, {ui->DBCheckBox4, "Ab"},
                                         {ui->DBCheckBox5, "Bargh"}, {ui->DBCheckBox6, "gaz"},
                                         {ui->DBCheckBox7, "parking"}, {ui->DBCheckBox8, "hayat"},
                                         {ui->DBCheckBox9, "anbary"}, {ui->DBCheckBox50, "Hazfshodeh"}});
    int i = 0;
    for (const char *amenity : kAmenityLayout) {
        const QString a = QString::fromLatin1(amenity);
        auto *box = findChild<widgets::DBCheckBox *>(QStringLiteral("DBCheckBox%1").arg(10 + i));
        auto *title = findChild<widgets::DBEdit *>(QStringLiteral("DBEdit%1").arg(24 + i));
        box->setDataSet(ds);
        box->setDataField(a);
        title->setDataSet(ds);
        title->setDataField(a + QStringLiteral("_s"));
        ++i;
    }
    BindFields<widgets::DBComboBox>(ds, {{ui->DBComboBox1, "NovMelk"}, {ui->DBComboBox2, "Nema"},
                                         {ui->DBComboBox3, "kaf"}, {ui->DBComboBox4, "Cabinet"},
                                         {ui->DBComboBox5, "tahviyeh"}, {ui->DBComboBox6, "Mahal"},
                                         {ui->DBComboBox7, "NovSanad"}, {ui->DBComboBox8, "Vaziyat"}});
    bindRecordForm();

    for (auto signal : {&db::DataSet::currentChanged, &db::DataSet::stateChanged, &db::DataSet::layoutChanged})
        connect(ds, signal, this, [this] { updateDocsButton(); });
    updateDocsButton();
}

// Documents belong to a property: a new one is posted first when the button is pressed.
// A hidden form does not make the properties read before they are needed.
void TFRmMelk::updateDocsButton()
{
    if (!docsButton_)
        docsButton_ = new widgets::ShownRefresh(this, [this] { showDocsButton(); });
    docsButton_->request(Dm ? Dm->QMelk : nullptr);
}

void TFRmMelk::showDocsButton()
{
    const db::DataSet* ds = Dm ? Dm->QMelk : nullptr;
    ui->btnDocs->setEnabled(ds && ds->Active() && (!ds->IsEmpty() || ds->State() == db::DataSetState::Insert));
}

void TFRmMelk::prepareShow()
{
    ConnectDataModule();
    ui->ScrollBox1->verticalScrollBar()->setValue(0);
    ui->ScrollBox2->verticalScrollBar()->setValue(0);
    updateDocsButton();
}

void TFRmMelk::BitBtn9Click()
{
    QScrollBar* bar = ui->ScrollBox1->verticalScrollBar();
    bar->setValue(bar->maximum());
    if (!ui->cmbf1type->isEnabled())
        return;
    ui->cmbf1type->setFocus();
    ui->cmbf1type->showPopup();
    QCursor::setPos(ui->cmbf1type->mapToGlobal(QPoint(45, 30)));
}

void TFRmMelk::btnDocsClick()
{
    db::DataSet* ds = Dm->QMelk;
    if (editing(ds)) {
        const bool posted = widgets::guarded([&] {
            widgets::FieldLink::updateRecord(ds);
            ds->Post();
        });
        if (!posted || editing(ds))
            return;
    }
    if (!ds->Active() || ds->IsEmpty())
        return;
    const db::Field* id = ds->FindField(QStringLiteral("MID"));
    if (!id || id->IsNull())
        return;
    TfrmDocs docs(this, id->AsString());
    docs.exec();
}

void TFRmMelk::SaveTitlesAsDefault()
{
    db::DataSet* ds = Dm->QMelk;
    ui->DBEdit22->setFocus();
    widgets::FieldLink::updateRecord(ds);
    if (!ds->Active())
        return;
    QStringList titles;
    for (int i = 0; i < FeatureCount; ++i)
        titles << ds->FieldByName(QString::fromLatin1(Features()[i].titleColumn))->AsString();
    shell::PlainMessageRequest r;
    r.caption = windowTitle();
    r.text = SaveFeatureCaptions(titles) ? QStringLiteral("عناوين با موفقيت ذخيره شدند")
                                         : QStringLiteral("عناوين ذخيره نشدند: فايل ") + FeatureCaptionsPath()
                                               + QStringLiteral(" قابل نوشتن نيست");
    shell::prompter().plainMessage(r);
}
