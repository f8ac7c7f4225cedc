#include "registry/TRecordForm.h"

#include "core/ComboItems.h"
#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/FormShow.h"
#include "forms/FormShared.h"
#include "registry/TFrmTels.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

TRecordForm::TRecordForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    widgets::OnFormShow(this, [this] { FormShow(); });
}

TRecordForm::~TRecordForm() = default;

void TRecordForm::setupRecordForm(const Parts& parts, const Design& design)
{
    parts_ = parts;
    design_ = design;
    rows_ = DealConditionRows(parts.rows, design.dealTypes, design.firstPrice);

    widgets::DBNavigator* nav1 = parts_.DBNavigator1;
    widgets::DBNavigator* nav2 = parts_.DBNavigator2;
    SetupRecordNavigators(nav1, nav2);
    connect(nav1, &widgets::DBNavigator::clicked, this, [this] { RelabelDealConditions(); });
    connect(nav2, &widgets::DBNavigator::clicked, this, [this] { RelabelDealConditions(); });

    for (int i = 0; i < 3; ++i) {
        QComboBox* type = parts_.rows[i].type;
        // a fixed list: only its four items can be stored
        type->setEditable(false);
        type->addItems(design_.dealTypes);
        type->installEventFilter(this);
        connect(type, qOverload<int>(&QComboBox::activated), this, [this, i] { RelabelRow(i + 1); });
    }
    // the amount labels keep one width whatever caption the type gives them
    QStringList captions{QStringLiteral("-------"), QStringLiteral("قيمت رهن"), QStringLiteral("قيمت اجاره"),
                         design_.firstPrice};
    for (const DealConditionRows::Row& r : parts_.rows)
        for (QLabel* l : {r.lblf, r.lblf2}) {
            int width = 0;
            for (const QString& c : captions)
                width = qMax(width, l->fontMetrics().horizontalAdvance(c));
            l->setMinimumWidth(width + 4);
        }
    // amounts regroup while typed
    QList<widgets::DBEdit*> money{parts_.DBEdit13};
    for (const DealConditionRows::Row& r : parts_.rows)
        money << r.edtf << r.edtf2;
    for (widgets::DBEdit* e : money) {
        e->setProperty("money", true);
        e->installEventFilter(this);
        connect(e, &QLineEdit::textEdited, e, [e] { MoneyEditChange(e); });
    }
    for (QWidget* w : design_.enterMovesOn)
        w->installEventFilter(this);
    for (widgets::DBComboBox* c : design_.storedLists) {
        c->installEventFilter(this);
        if (c->lineEdit())
            c->lineEdit()->installEventFilter(this);
    }
    for (const auto& [button, combo] : design_.deleteButtons) {
        widgets::DBComboBox* c = combo;
        connect(button, &QAbstractButton::clicked, this, [this, c] { DeleteComboItemClick(c); });
    }
    connect(parts_.SpeedButton1, &QAbstractButton::clicked, this, [this] { SpeedButton1Click(); });
    connect(parts_.BitBtn10, &QAbstractButton::clicked, this, [this] { BitBtn10Click(); });
}

db::DataSet* TRecordForm::dataSet() const { return design_.dataSet ? design_.dataSet() : nullptr; }

void TRecordForm::bindRecordForm()
{
    db::DataSet* ds = dataSet();
    if (!ds)
        return;
    // read-only controls stay so whatever the field allows
    for (widgets::DBEdit* e : {parts_.DBEdit5, parts_.DBEdit6})
        connect(e->link(), &widgets::FieldLink::refresh, e, [e] { e->setReadOnly(true); });
    // read-only boxes: shown, never a stop of Tab or Enter
    for (widgets::DBEdit* e : {parts_.DBEdit5, parts_.DBEdit6, parts_.DBEdit7}) {
        e->setReadOnly(true);
        e->setFocusPolicy(Qt::ClickFocus);
    }

    rows_.Bind(ds);
    parts_.DBLookupComboBox1->setDataSet(ds);
    parts_.DBLookupComboBox1->setDataField(design_.regionField);
    parts_.DBLookupComboBox1->setListSource(design_.regions());
    parts_.DBLookupComboBox1->setKeyField(QStringLiteral("MnID"));
    parts_.DBLookupComboBox1->setListField(QStringLiteral("Esm"));
    parts_.DBNavigator1->setDataSet(ds);
    parts_.DBNavigator2->setDataSet(ds);

    for (auto signal : {&db::DataSet::currentChanged, &db::DataSet::layoutChanged})
        connect(ds, signal, this, [this] { showRegionNote(); });
    connect(ds, &db::DataSet::fieldChanged, this, [this] { showRegionNote(); });
    // no moving to another record while one is being inserted
    connect(Dm, &TDm::insertStarted, this, [this](db::DataSet* d) {
        if (d != dataSet())
            return;
        parts_.DBNavigator2->hide();
        // a new record starts in its first field, not in the one last used
        if (design_.firstFocus)
            design_.firstFocus->setFocus(Qt::OtherFocusReason);
    });
    connect(Dm, &TDm::insertEnded, this, [this](db::DataSet* d) {
        if (d == dataSet())
            parts_.DBNavigator2->show();
    });
}

// The notes of the chosen region.
void TRecordForm::showRegionNote()
{
    QString note;
    db::DataSet* record = dataSet();
    db::DataSet* mn = design_.regions ? design_.regions() : nullptr;
    if (record && mn && record->Active() && mn->Active() && !record->IsEmpty()) {
        const db::Field* region = record->FindField(design_.regionField);
        const db::Field* key = mn->FindField(QStringLiteral("MnID"));
        const db::Field* text = mn->FindField(QStringLiteral("Tozihat"));
        if (region && key && text && !region->IsNull())
            for (int r = 0; r < mn->RecordCount(); ++r)
                if (mn->ValueAt(r, key->Index()).toLongLong() == region->AsLargeInt()) {
                    note = mn->ValueAt(r, text->Index()).toString();
                    break;
                }
    }
    parts_.DBEdit7->setText(note);
}

void TRecordForm::RelabelDealConditions()
{
    for (int r = 1; r <= 3; ++r)
        RelabelRow(r);
}

void TRecordForm::RelabelRow(int row) { rows_.Relabel(row, dataSet()); }

bool TRecordForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut) {
        if (!LeavesControl(event))
            return QWidget::eventFilter(watched, event);
        for (widgets::DBComboBox* c : design_.storedLists)
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
    if (const int row = rows_.rowOf(watched)) {
        if (enter && design_.enterOnTypeMovesToAmount) {
            // onto the row's first amount when it can take the focus
            if (rows_.row(row).edtf->isEnabled())
                rows_.row(row).edtf->setFocus();
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            rows_.ClearType(row, dataSet());
            return true;
        }
        return false;
    }
    if (watched->property("money").toBool() && !enter)
        return MoneyEditKeyDown2(static_cast<QLineEdit*>(watched), key, 15, QStringLiteral("TRUE"));
    if (!enter)
        return false;
    if (QWidget* next = design_.enterJumps.value(qobject_cast<QWidget*>(watched))) {
        next->setFocus();
        return true;
    }
    QChar c(13);
    EnterAsTab(this, c);
    return true;
}

void TRecordForm::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QWidget::keyReleaseEvent(event);
}

void TRecordForm::FormShow()
{
    prepareShow();
    RelabelDealConditions();
    if (Dm)
        for (widgets::DBComboBox* c : design_.storedLists) {
            const QString text = c->currentText();
            widgets::guarded([&] { FillComboItems(*Dm, c); });
            // loading the items leaves the shown value alone
            c->setEditText(text);
        }
    showRegionNote();
}

void TRecordForm::closeEvent(QCloseEvent* event)
{
    if (Dm && !AskSavePending(dataSet(), windowTitle(), true)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TRecordForm::ComboExit(widgets::DBComboBox* combo)
{
    const QString text = combo->currentText();
    if (text.isEmpty() || !ComboTextAccepted(combo))
        return;
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i).compare(text, Qt::CaseInsensitive) == 0)
            return;
    combo->addItem(text);
    combo->setEditText(text);
    widgets::guarded([&] { ChangeComboItem(*Dm, combo, text, true); });
}

void TRecordForm::DeleteComboItemClick(widgets::DBComboBox* combo)
{
    widgets::guarded([&] {
        QString item;
        if (DeleteComboItem(*Dm, combo, &item))
            ChangeComboItem(*Dm, combo, item, false);
    });
}

void TRecordForm::SpeedButton1Click()
{
    shell::MessageRequest r;
    r.kind = 1;
    r.text = design_.help;
    r.buttons = 1;
    r.fontSize = 8;
    shell::prompter().messageDlg(r);
}

void TRecordForm::BitBtn10Click()
{
    db::DataSet* ds = dataSet();
    if (!ds || !ds->Active() || !FrmTels)
        return;
    widgets::FieldLink::updateRecord(ds);
    const auto text = [ds](const char* f) { return ds->FieldByName(QString::fromLatin1(f))->AsString(); };
    const bool opened = widgets::guarded([&] {
        if (!Dm->QTels->Active())
            Dm->QTels->Open();
    });
    if (!opened)
        return;
    FrmTels->AddToPhoneBook(text(design_.nameField),
                            text(design_.homeField) + QLatin1Char('-') + text(design_.jobField),
                            text(design_.mobileField), QString());
}
