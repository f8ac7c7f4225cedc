#include "registry/TFrmNiyaz.h"

#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBCheckBox.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/FieldLink.h"
#include "core/ComboItems.h"
#include "registry/RegistryShared.h"
#include "registry/TFrmTels.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui_TFrmNiyaz.h"

#include <QApplication>
#include <QKeyEvent>
#include <QToolButton>

TFrmNiyaz* FrmNiyaz = nullptr;

namespace {

const QString kNone = QStringLiteral("-------");

bool editing(const db::DataSet* ds)
{
    return ds && (ds->State() == db::DataSetState::Edit || ds->State() == db::DataSetState::Insert);
}

} // namespace

const QStringList& TFrmNiyaz::DealTypes()
{
    static const QStringList types{QStringLiteral("خريد"), QStringLiteral("رهن کامل"), QStringLiteral("اجاره کامل"),
                                   QStringLiteral("رهن و اجاره")};
    return types;
}

TFrmNiyaz::TFrmNiyaz(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TFrmNiyaz>())
{
    ui->setupUi(this);
    rows_[0] = {ui->cmbf1type, ui->lblf1, ui->edtf1, ui->lblf1_2, ui->edtf1_2, ui->lblsh1, ui->edtsh1,
                QStringLiteral("f1type"), QStringLiteral("f1_2")};
    rows_[1] = {ui->cmbf2type, ui->lblf2, ui->edtf2, ui->lblf2_2, ui->edtf2_2, ui->lblsh2, ui->edtsh2,
                QStringLiteral("f2type"), QStringLiteral("f2_2")};
    rows_[2] = {ui->cmbf3type, ui->lblf3, ui->edtf3, ui->lblf3_2, ui->edtf3_2, ui->lblsh3, ui->edtsh3,
                QStringLiteral("f3type"), QStringLiteral("f3_2")};

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
    for (widgets::DBEdit* e : {ui->edtf1, ui->edtf2, ui->edtf3, ui->edtf1_2, ui->edtf2_2, ui->edtf3_2, ui->DBEdit13}) {
        e->setProperty("money", true);
        connect(e, &QLineEdit::textEdited, e, [e] { MoneyEditChange(e); });
    }
    // Enter moves on in these controls
    for (QWidget* w : std::initializer_list<QWidget*>{
             ui->DBEdit8, ui->DBEdit1, ui->DBEdit2, ui->DBEdit3, ui->DBEdit4, ui->DBCheckBox1, ui->DBCheckBox2,
             ui->DBCheckBox3, ui->DBComboBox1, ui->DBLookupComboBox1, ui->DBEdit9, ui->DBEdit10, ui->DBEdit13,
             ui->DBEdit14, ui->DBCheckBox4, ui->DBCheckBox5, ui->DBCheckBox6, ui->DBCheckBox7, ui->DBCheckBox8,
             ui->DBCheckBox9, ui->DBEdit18, ui->DBEdit19, ui->DBEdit23, ui->edtf1, ui->edtf2, ui->edtf3, ui->edtf1_2,
             ui->edtf2_2, ui->edtf3_2, ui->edtsh1, ui->edtsh2, ui->edtsh3})
        w->installEventFilter(this);
    if (ui->DBComboBox1->lineEdit())
        ui->DBComboBox1->lineEdit()->installEventFilter(this);

    connect(ui->BitBtn2, &QToolButton::clicked, this, [this] { BitBtn2Click(); });
    connect(ui->BitBtn10, &QPushButton::clicked, this, [this] { BitBtn10Click(); });
    connect(ui->SpeedButton1, &QToolButton::clicked, this, [this] { SpeedButton1Click(); });
    bind();
    setWindowTitle(QStringLiteral("املاک درخواستي"));
}

TFrmNiyaz::~TFrmNiyaz() = default;

void TFrmNiyaz::bind()
{
    if (!Dm)
        return;
    db::DataSet* ds = Dm->QNiyaz;
    const struct {
        widgets::DBEdit* edit;
        const char* field;
    } edits[] = {{ui->DBEdit5, "NizId"},    {ui->DBEdit6, "tarikhv"},   {ui->DBEdit8, "TarikhEraeh"},
                 {ui->DBEdit1, "Esm"},      {ui->DBEdit2, "hometel"},   {ui->DBEdit3, "shoptel"},
                 {ui->DBEdit4, "mobile"},   {ui->DBEdit9, "Masahat"},   {ui->DBEdit10, "ZirBana"},
                 {ui->DBEdit13, "ghymat"},  {ui->DBEdit14, "tedadtel"}, {ui->DBEdit18, "Tabagheh"},
                 {ui->DBEdit19, "otagh"},   {ui->DBEdit23, "Tozihat"},  {ui->edtf1, "F1"},
                 {ui->edtf2, "F2"},         {ui->edtf3, "F3"},          {ui->edtf1_2, "f1_2"},
                 {ui->edtf2_2, "f2_2"},     {ui->edtf3_2, "f3_2"},      {ui->edtsh1, "F1Shart"},
                 {ui->edtsh2, "F2Shart"},   {ui->edtsh3, "F3Shart"}};
    for (const auto& e : edits) {
        e.edit->setDataSet(ds);
        e.edit->setDataField(QString::fromLatin1(e.field));
    }
    for (widgets::DBEdit* e : {ui->DBEdit5, ui->DBEdit6})
        connect(e->link(), &widgets::FieldLink::refresh, e, [e] { e->setReadOnly(true); });
    ui->DBEdit5->setReadOnly(true);
    ui->DBEdit6->setReadOnly(true);
    ui->DBEdit7->setReadOnly(true);

    const struct {
        widgets::DBCheckBox* box;
        const char* field;
    } boxes[] = {{ui->DBCheckBox1, "kharid"}, {ui->DBCheckBox2, "Rahn"},    {ui->DBCheckBox3, "Ejareh"},
                 {ui->DBCheckBox4, "Ab"},     {ui->DBCheckBox5, "Bargh"},   {ui->DBCheckBox6, "gaz"},
                 {ui->DBCheckBox7, "parking"}, {ui->DBCheckBox8, "hayat"},  {ui->DBCheckBox9, "anbary"},
                 {ui->DBCheckBox10, "hazfshodeh"}};
    for (const auto& b : boxes) {
        b.box->setDataSet(ds);
        b.box->setDataField(QString::fromLatin1(b.field));
    }
    ui->DBComboBox1->setDataSet(ds);
    ui->DBComboBox1->setDataField(QStringLiteral("NovMelk"));
    for (const Row& r : rows_) {
        auto* type = static_cast<widgets::DBComboBox*>(r.type);
        type->setDataSet(ds);
        type->setDataField(r.typeField);
    }
    ui->DBLookupComboBox1->setDataSet(ds);
    ui->DBLookupComboBox1->setDataField(QStringLiteral("MnId"));
    ui->DBLookupComboBox1->setListSource(Dm->Qmn2);
    ui->DBLookupComboBox1->setKeyField(QStringLiteral("MnID"));
    ui->DBLookupComboBox1->setListField(QStringLiteral("Esm"));
    ui->DBNavigator1->setDataSet(ds);
    ui->DBNavigator2->setDataSet(ds);

    for (auto signal : {&db::DataSet::currentChanged, &db::DataSet::layoutChanged})
        connect(ds, signal, this, [this] { showRegionNote(); });
    connect(ds, &db::DataSet::fieldChanged, this, [this] { showRegionNote(); });
    connect(Dm, &TDm::insertStarted, this, [this](db::DataSet* d) {
        if (d == Dm->QNiyaz)
            ui->DBNavigator2->hide();
    });
    connect(Dm, &TDm::insertEnded, this, [this](db::DataSet* d) {
        if (d == Dm->QNiyaz)
            ui->DBNavigator2->show();
    });
}

// The notes of the chosen region.
void TFrmNiyaz::showRegionNote()
{
    QString note;
    db::DataSet* niyaz = Dm ? Dm->QNiyaz : nullptr;
    db::DataSet* mn = Dm ? Dm->Qmn2 : nullptr;
    if (niyaz && mn && niyaz->Active() && mn->Active() && !niyaz->IsEmpty()) {
        const db::Field* region = niyaz->FindField(QStringLiteral("MnId"));
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

void TFrmNiyaz::RelabelDealConditions()
{
    for (int r = 1; r <= 3; ++r)
        RelabelRow(r);
}

void TFrmNiyaz::RelabelRow(int row)
{
    const Row& r = rows_[row - 1];
    db::DataSet* ds = Dm ? Dm->QNiyaz : nullptr;
    const db::Field* type = ds && ds->Active() ? ds->FindField(r.typeField) : nullptr;
    const int index = type ? int(DealTypes().indexOf(type->AsString())) : -1;
    static const char* const first[] = {"قيمت خريد", "قيمت رهن", "قيمت اجاره", "قيمت رهن"};
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

bool TFrmNiyaz::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut
        && (watched == ui->DBComboBox1 || watched == ui->DBComboBox1->lineEdit())) {
        QWidget* now = QApplication::focusWidget();
        if (!now || (now != ui->DBComboBox1 && !ui->DBComboBox1->isAncestorOf(now)))
            comboExit();
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    for (int i = 0; i < 3; ++i) {
        if (watched != rows_[i].type)
            continue;
        if (key->key() == Qt::Key_Escape) {
            db::DataSet* ds = Dm->QNiyaz;
            widgets::guarded([&] {
                if (!editing(ds))
                    ds->Edit();
                ds->FieldByName(rows_[i].typeField)->SetAsString(QString());
            });
            RelabelRow(i + 1);
            return true;
        }
        // Enter in a type list does nothing special
        return false;
    }
    if (watched->property("money").toBool() && !enter)
        return MoneyEditKeyDown2(static_cast<QLineEdit*>(watched), key, 15, QStringLiteral("TRUE"));
    if (!enter)
        return false;
    QChar c(13);
    EnterAsTab(this, c);
    return true;
}

void TFrmNiyaz::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QWidget::keyReleaseEvent(event);
}

void TFrmNiyaz::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    RelabelDealConditions();
    const QString text = ui->DBComboBox1->currentText();
    widgets::guarded([&] { FillComboItems(*Dm, ui->DBComboBox1); });
    ui->DBComboBox1->setEditText(text);
    showRegionNote();
}

void TFrmNiyaz::closeEvent(QCloseEvent* event)
{
    if (Dm && !AskSavePending(Dm->QNiyaz, windowTitle(), true)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TFrmNiyaz::comboExit()
{
    widgets::DBComboBox* combo = ui->DBComboBox1;
    const QString text = combo->currentText();
    if (text.isEmpty())
        return;
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return;
    combo->addItem(text);
    combo->setEditText(text);
    widgets::guarded([&] { SaveComboItems(*Dm, combo); });
}

void TFrmNiyaz::BitBtn2Click()
{
    widgets::guarded([&] {
        if (DeleteComboItem(*Dm, ui->DBComboBox1))
            SaveComboItems(*Dm, ui->DBComboBox1);
    });
}

void TFrmNiyaz::SpeedButton1Click()
{
    shell::MessageRequest r;
    r.kind = 1;
    r.text = QStringLiteral("در اين فرم مشخصات املاک درخواستي را وارد مي نماييد.") + QLatin1Char('\n')
             + QStringLiteral("املاک درخواستي املاکي مي باشند که مشتري درخواست خريد، اجاره يا رهن کردن آنها را داشته باشد.");
    r.buttons = 1;
    r.fontSize = 8;
    shell::prompter().messageDlg(r);
}

void TFrmNiyaz::BitBtn10Click()
{
    db::DataSet* ds = Dm->QNiyaz;
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
    FrmTels->AddToPhoneBook(text("Esm"), text("hometel") + QLatin1Char('-') + text("shoptel"), text("mobile"),
                            QString());
}
