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
#include "registry/ComboLists.h"
#include "registry/RegistryShared.h"
#include "registry/TFrmTels.h"
#include "registry/TfrmDocs.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui_TFRmMelk.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QScrollBar>
#include <QToolButton>

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

const QString kNone = QStringLiteral("-------");

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

TFRmMelk::TFRmMelk(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TFRmMelk>())
{
    ui->setupUi(this);
    rows_[0] = {ui->cmbf1type, ui->lblf1, ui->edtf1, ui->lblf1_2, ui->edtf1_2, ui->lblsh1, ui->edtsh1,
                QStringLiteral("F1type"), QStringLiteral("f1_2")};
    rows_[1] = {ui->cmbf2type, ui->lblf2, ui->edtf2, ui->lblf2_2, ui->edtf2_2, ui->lblsh2, ui->edtsh2,
                QStringLiteral("F2Type"), QStringLiteral("f2_2")};
    rows_[2] = {ui->cmbf3type, ui->lblf3, ui->edtf3, ui->lblf3_2, ui->edtf3_2, ui->lblsh3, ui->edtsh3,
                QStringLiteral("F3Type"), QStringLiteral("f3_2")};
    combos_ = {ui->DBComboBox1, ui->DBComboBox2, ui->DBComboBox3, ui->DBComboBox4,
               ui->DBComboBox5, ui->DBComboBox6, ui->DBComboBox7, ui->DBComboBox8};

    using widgets::NavButton;
    ui->DBNavigator1->setVisibleButtons({NavButton::Insert, NavButton::Post, NavButton::Cancel, NavButton::Refresh});
    ui->DBNavigator1->setCaption(NavButton::Insert, QStringLiteral("جديد"));
    ui->DBNavigator1->setCaption(NavButton::Post, QStringLiteral("ذخيره تغييرات"));
    ui->DBNavigator1->setCaption(NavButton::Cancel, QStringLiteral("لغو تغييرات"));
    for (NavButton b : {NavButton::Insert, NavButton::Post, NavButton::Cancel})
        ui->DBNavigator1->button(b)->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    ui->DBNavigator1->button(NavButton::Post)->setStyleSheet(QStringLiteral("color: green;"));
    ui->DBNavigator1->button(NavButton::Cancel)->setStyleSheet(QStringLiteral("color: red;"));
    ui->DBNavigator2->setVisibleButtons({NavButton::Prior, NavButton::Next});
    ui->DBNavigator2->setCaption(NavButton::Next, QStringLiteral("بعدي"));
    ui->DBNavigator2->setCaption(NavButton::Prior, QStringLiteral("قبلي"));
    for (NavButton b : {NavButton::Prior, NavButton::Next})
        ui->DBNavigator2->button(b)->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(ui->DBNavigator1, &widgets::DBNavigator::clicked, this, [this] { RelabelDealConditions(); });
    connect(ui->DBNavigator2, &widgets::DBNavigator::clicked, this, [this] { RelabelDealConditions(); });

    for (int i = 0; i < 3; ++i) {
        rows_[i].type->addItems(DealTypes());
        rows_[i].type->installEventFilter(this);
        connect(rows_[i].type, qOverload<int>(&QComboBox::activated), this, [this, i] { RelabelRow(i + 1); });
    }
    // amounts regroup while typed
    for (widgets::DBEdit* e : {ui->edtf1, ui->edtf2, ui->edtf3, ui->edtf1_2, ui->edtf2_2, ui->edtf3_2, ui->DBEdit13}) {
        e->setProperty("money", true);
        e->installEventFilter(this);
        connect(e, &QLineEdit::textEdited, e, [e] { MoneyEditChange(e); });
    }
    // Enter moves on in these controls
    for (QWidget* w : {static_cast<QWidget*>(ui->DBEdit1), static_cast<QWidget*>(ui->DBEdit2),
                       static_cast<QWidget*>(ui->DBEdit3), static_cast<QWidget*>(ui->DBEdit4),
                       static_cast<QWidget*>(ui->DBEdit8), static_cast<QWidget*>(ui->DBCheckBox1),
                       static_cast<QWidget*>(ui->DBCheckBox2), static_cast<QWidget*>(ui->DBCheckBox3),
                       static_cast<QWidget*>(ui->DBLookupComboBox1), static_cast<QWidget*>(ui->DBEdit9),
                       static_cast<QWidget*>(ui->DBEdit10), static_cast<QWidget*>(ui->DBEdit11),
                       static_cast<QWidget*>(ui->DBEdit12), static_cast<QWidget*>(ui->DBEdit17),
                       static_cast<QWidget*>(ui->DBEdit13), static_cast<QWidget*>(ui->DBEdit14),
                       static_cast<QWidget*>(ui->DBEdit15), static_cast<QWidget*>(ui->DBEdit18),
                       static_cast<QWidget*>(ui->DBEdit19), static_cast<QWidget*>(ui->DBEdit22),
                       static_cast<QWidget*>(ui->DBEdit23), static_cast<QWidget*>(ui->DBEdit21),
                       static_cast<QWidget*>(ui->edtsh1), static_cast<QWidget*>(ui->edtsh2),
                       static_cast<QWidget*>(ui->edtsh3)})
        w->installEventFilter(this);
    for (QWidget* w : {ui->DBCheckBox4, ui->DBCheckBox5, ui->DBCheckBox6, ui->DBCheckBox7, ui->DBCheckBox8,
                       ui->DBCheckBox9})
        w->installEventFilter(this);
    for (widgets::DBComboBox* c : combos_) {
        c->installEventFilter(this);
        if (c->lineEdit())
            c->lineEdit()->installEventFilter(this);
    }
    for (auto [button, combo] : {std::pair{ui->BitBtn2, ui->DBComboBox1}, {ui->BitBtn3, ui->DBComboBox2},
                                 {ui->BitBtn4, ui->DBComboBox3}, {ui->BitBtn5, ui->DBComboBox4},
                                 {ui->BitBtn6, ui->DBComboBox5}, {ui->BitBtn8, ui->DBComboBox6},
                                 {ui->BitBtn1, ui->DBComboBox7}, {ui->BitBtn7, ui->DBComboBox8}}) {
        widgets::DBComboBox* c = combo;
        connect(button, &QToolButton::clicked, this, [this, c] { DeleteComboItemClick(c); });
    }

    connect(ui->BitBtn9, &QPushButton::clicked, this, [this] { BitBtn9Click(); });
    connect(ui->btnDocs, &QPushButton::clicked, this, [this] { btnDocsClick(); });
    connect(ui->BitBtn10, &QPushButton::clicked, this, [this] { BitBtn10Click(); });
    connect(ui->SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(ui->Label9, &QLabel::linkActivated, this, [this] { SaveTitlesAsDefault(); });
    auto* menu = new QMenu(this);
    QAction* n1 = menu->addAction(QStringLiteral("ذخيره عناوين به عنوان پيش فرض"));
    n1->setObjectName(QStringLiteral("N1"));
    connect(n1, &QAction::triggered, this, [this] { SaveTitlesAsDefault(); });
    ui->GroupBox4->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->GroupBox4, &QWidget::customContextMenuRequested, this,
            [this, menu](const QPoint& pos) { menu->popup(ui->GroupBox4->mapToGlobal(pos)); });

    bind();
    setWindowTitle(QStringLiteral("مشخصات ملک"));
}

TFRmMelk::~TFRmMelk() = default;

void TFRmMelk::bind()
{
    if (!Dm)
        return;
    db::DataSet* ds = Dm->QMelk;
    const struct {
        widgets::DBEdit* edit;
        const char* field;
    } edits[] = {{ui->DBEdit1, "MalekEsm"},      {ui->DBEdit2, "MalekHomeTel"},   {ui->DBEdit3, "MalekTelJob"},
                 {ui->DBEdit4, "MalekMobile"},   {ui->DBEdit5, "MID"},            {ui->DBEdit6, "TarikhVoorod"},
                 {ui->DBEdit8, "TarikhEraeh"},   {ui->DBEdit16, "mo"},            {ui->DBEdit18, "Tabagheh"},
                 {ui->DBEdit9, "Masahat"},       {ui->DBEdit10, "ZirBana"},       {ui->DBEdit11, "Arz"},
                 {ui->DBEdit12, "Moshaat"},      {ui->DBEdit17, "zabeteh"},       {ui->DBEdit13, "GhymatHarMeter"},
                 {ui->DBEdit14, "tedadtel"},     {ui->DBEdit15, "ShoomarehTels"}, {ui->DBEdit19, "TedadOtagh"},
                 {ui->DBEdit21, "Addr"},         {ui->DBEdit22, "SayerEmkanat"},  {ui->DBEdit23, "Tozihat"},
                 {ui->edtf1, "F1"},              {ui->edtf2, "F2"},               {ui->edtf3, "F3"},
                 {ui->edtf1_2, "f1_2"},          {ui->edtf2_2, "f2_2"},           {ui->edtf3_2, "f3_2"},
                 {ui->edtsh1, "F1Shart"},        {ui->edtsh2, "F2Shart"},         {ui->edtsh3, "F3Shart"}};
    for (const auto& e : edits) {
        e.edit->setDataSet(ds);
        e.edit->setDataField(QString::fromLatin1(e.field));
    }
    // read-only controls stay so whatever the field allows
    for (widgets::DBEdit* e : {ui->DBEdit5, ui->DBEdit6})
        connect(e->link(), &widgets::FieldLink::refresh, e, [e] { e->setReadOnly(true); });
    ui->DBEdit5->setReadOnly(true);
    ui->DBEdit6->setReadOnly(true);
    ui->DBEdit7->setReadOnly(true);

    const struct {
        widgets::DBCheckBox* box;
        const char* field;
    } boxes[] = {{ui->DBCheckBox1, "ForSell"}, {ui->DBCheckBox2, "ForRahn"}, {ui->DBCheckBox3, "ForEjareh"},
                 {ui->DBCheckBox4, "Ab"},      {ui->DBCheckBox5, "Bargh"},   {ui->DBCheckBox6, "gaz"},
                 {ui->DBCheckBox7, "parking"}, {ui->DBCheckBox8, "hayat"},   {ui->DBCheckBox9, "anbary"},
                 {ui->DBCheckBox50, "Hazfshodeh"}};
    for (const auto& b : boxes) {
        b.box->setDataSet(ds);
        b.box->setDataField(QString::fromLatin1(b.field));
    }
    int i = 0;
    for (const char* amenity : kAmenityLayout) {
        const QString a = QString::fromLatin1(amenity);
        auto* box = findChild<widgets::DBCheckBox*>(QStringLiteral("DBCheckBox%1").arg(10 + i));
        auto* title = findChild<widgets::DBEdit*>(QStringLiteral("DBEdit%1").arg(24 + i));
        box->setDataSet(ds);
        box->setDataField(a);
        title->setDataSet(ds);
        title->setDataField(a + QStringLiteral("_s"));
        ++i;
    }
    const char* const comboFields[] = {"NovMelk", "Nema", "kaf", "Cabinet", "tahviyeh", "Mahal", "NovSanad", "Vaziyat"};
    for (int c = 0; c < combos_.size(); ++c) {
        combos_[c]->setDataSet(ds);
        combos_[c]->setDataField(QString::fromLatin1(comboFields[c]));
    }
    for (const Row& r : rows_) {
        auto* type = static_cast<widgets::DBComboBox*>(r.type);
        type->setDataSet(ds);
        type->setDataField(r.typeField);
    }
    ui->DBLookupComboBox1->setDataSet(ds);
    ui->DBLookupComboBox1->setDataField(QStringLiteral("MantaghehID"));
    ui->DBLookupComboBox1->setListSource(Dm->QMn);
    ui->DBLookupComboBox1->setKeyField(QStringLiteral("MnID"));
    ui->DBLookupComboBox1->setListField(QStringLiteral("Esm"));
    ui->DBNavigator1->setDataSet(ds);
    ui->DBNavigator2->setDataSet(ds);

    connect(ds, &db::DataSet::currentChanged, this, [this] {
        updateDocsButton();
        showRegionNote();
    });
    connect(ds, &db::DataSet::stateChanged, this, [this] { updateDocsButton(); });
    connect(ds, &db::DataSet::layoutChanged, this, [this] {
        updateDocsButton();
        showRegionNote();
    });
    connect(ds, &db::DataSet::fieldChanged, this, [this] { showRegionNote(); });
    connect(Dm, &TDm::insertStarted, this, [this](db::DataSet* d) {
        if (d == Dm->QMelk)
            ui->DBNavigator2->hide();
    });
    connect(Dm, &TDm::insertEnded, this, [this](db::DataSet* d) {
        if (d == Dm->QMelk)
            ui->DBNavigator2->show();
    });
    updateDocsButton();
}

// Documents belong to a stored property: none while the list is empty or a row is being inserted.
void TFRmMelk::updateDocsButton()
{
    const db::DataSet* ds = Dm ? Dm->QMelk : nullptr;
    ui->btnDocs->setEnabled(ds && ds->Active() && !ds->IsEmpty() && ds->State() != db::DataSetState::Insert);
}

void TFRmMelk::showRegionNote()
{
    QString note;
    db::DataSet* melk = Dm ? Dm->QMelk : nullptr;
    db::DataSet* mn = Dm ? Dm->QMn : nullptr;
    if (melk && mn && melk->Active() && mn->Active() && !melk->IsEmpty()) {
        const db::Field* region = melk->FindField(QStringLiteral("MantaghehID"));
        const db::Field* key = mn->FindField(QStringLiteral("MnID"));
        const db::Field* text = mn->FindField(QStringLiteral("Tozihat"));
        if (region && key && text && !region->IsNull())
            for (int r = 0; r < mn->RecordCount(); ++r)
                if (mn->ValueAt(r, key->Index()).toLongLong() == region->AsLargeInt()) {
                    note = mn->ValueAt(r, text->Index()).toString();
                    break;
                }
    }
    ui->DBEdit7->setText(note);
}

void TFRmMelk::RelabelDealConditions()
{
    for (int r = 1; r <= 3; ++r)
        RelabelRow(r);
}

void TFRmMelk::RelabelRow(int row)
{
    const Row& r = rows_[row - 1];
    db::DataSet* ds = Dm ? Dm->QMelk : nullptr;
    const db::Field* type = ds && ds->Active() ? ds->FindField(r.typeField) : nullptr;
    const int index = type ? int(DealTypes().indexOf(type->AsString())) : -1;
    static const char* const first[] = {"قيمت فروش", "قيمت رهن", "قيمت اجاره", "قيمت رهن"};
    r.lblf->setText(index >= 0 ? QString::fromUtf8(first[index]) : kNone);
    r.lblf2->setText(index == 3 ? QStringLiteral("قيمت اجاره") : kNone);
    for (QWidget* w : {static_cast<QWidget*>(r.lblf), static_cast<QWidget*>(r.edtf), static_cast<QWidget*>(r.lblsh),
                       static_cast<QWidget*>(r.edtsh)})
        w->setEnabled(index >= 0);
    r.lblf2->setEnabled(index == 3);
    r.edtf2->setEnabled(index == 3);
    if (index >= 0 && index <= 2 && editing(ds))
        widgets::guarded([&] { ds->FieldByName(r.secondField)->SetText(QStringLiteral("0")); });
}

bool TFRmMelk::isTypeList(QObject* o, int* row) const
{
    for (int i = 0; i < 3; ++i)
        if (o == rows_[i].type) {
            *row = i + 1;
            return true;
        }
    return false;
}

bool TFRmMelk::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        for (widgets::DBComboBox* c : combos_)
            if (watched == c || watched == c->lineEdit()) {
                // the list stays open or the focus moves inside the combo: not left yet
                QWidget* now = QApplication::focusWidget();
                if (!now || (now != c && !c->isAncestorOf(now)))
                    ComboExit(c);
                break;
            }
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    int row = 0;
    if (isTypeList(watched, &row)) {
        if (enter) {
            // onto the row's first amount when it can take the focus
            if (rows_[row - 1].edtf->isEnabled())
                rows_[row - 1].edtf->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            db::DataSet* ds = Dm->QMelk;
            widgets::guarded([&] {
                if (!editing(ds))
                    ds->Edit();
                ds->FieldByName(rows_[row - 1].typeField)->SetAsString(QString());
            });
            RelabelRow(row);
            return true;
        }
        return false;
    }
    if (watched->property("money").toBool() && !enter)
        return MoneyEditKeyDown2(static_cast<QLineEdit*>(watched), key, 15, QStringLiteral("TRUE"));
    if (!enter)
        return false;
    if (watched == ui->DBEdit21) {
        ui->DBEdit22->setFocus();
        return true;
    }
    QChar c(13);
    EnterAsTab(this, c);
    return true;
}

void TFRmMelk::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QWidget::keyReleaseEvent(event);
}

void TFRmMelk::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    ui->ScrollBox1->verticalScrollBar()->setValue(0);
    ui->ScrollBox2->verticalScrollBar()->setValue(0);
    RelabelDealConditions();
    for (widgets::DBComboBox* c : combos_) {
        const QString text = c->currentText();
        widgets::guarded([&] { LoadComboList(c); });
        // loading the items leaves the shown value alone
        c->setEditText(text);
    }
    updateDocsButton();
    showRegionNote();
}

void TFRmMelk::closeEvent(QCloseEvent* event)
{
    if (Dm && !AskSavePending(Dm->QMelk, windowTitle(), true)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TFRmMelk::ComboExit(widgets::DBComboBox* combo)
{
    const QString text = combo->currentText();
    if (text.isEmpty())
        return;
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return;
    combo->addItem(text);
    combo->setEditText(text);
    widgets::guarded([&] { StoreComboList(combo); });
}

void TFRmMelk::DeleteComboItemClick(widgets::DBComboBox* combo)
{
    widgets::guarded([&] {
        RemoveComboItem(combo);
        StoreComboList(combo);
    });
}

void TFRmMelk::SpeedButton1Click()
{
    shell::MessageRequest r;
    r.kind = 1;
    r.text = QStringLiteral("در اين فرم مشخصات املاک موجود را وارد مي نماييد.") + QLatin1Char('\n')
             + QStringLiteral("املاک موجود املاکي ميباشند که مالک قصد فروش، اجاره يا رهن دادن آنها را داشته باشد.");
    r.buttons = 1;
    r.fontSize = 8;
    shell::prompter().messageDlg(r);
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

void TFRmMelk::BitBtn10Click()
{
    db::DataSet* ds = Dm->QMelk;
    if (!ds->Active() || !FrmTels)
        return;
    widgets::FieldLink::updateRecord(ds);
    const auto text = [ds](const char* f) { return ds->FieldByName(QString::fromLatin1(f))->AsString(); };
    const bool opened = widgets::guarded([&] {
        if (!Dm->QTels->Active())
            Dm->QTels->Open();
    });
    if (!opened)
        return;
    FrmTels->AddToPhoneBook(text("MalekEsm"), text("MalekHomeTel") + QLatin1Char('-') + text("MalekTelJob"),
                            text("MalekMobile"), QString());
}

void TFRmMelk::SaveTitlesAsDefault()
{
    db::DataSet* ds = Dm->QMelk;
    ui->DBEdit22->setFocus();
    widgets::FieldLink::updateRecord(ds);
    if (!ds->Active())
        return;
    QHash<QString, QString> titles;
    for (const char* amenity : kAmenityLayout) {
        const QString a = QString::fromLatin1(amenity);
        titles.insert(a, ds->FieldByName(a + QStringLiteral("_s"))->AsString());
    }
    if (!SaveDefaultAmenityTitles(titles))
        return;
    shell::PlainMessageRequest r;
    r.caption = windowTitle();
    r.text = QStringLiteral("عناوين با موفقيت ذخيره شدند");
    shell::prompter().plainMessage(r);
}
