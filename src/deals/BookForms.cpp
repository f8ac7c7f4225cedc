#include "deals/BookForms.h"

#include "core/ComboItems.h"
#include "core/TDm.h"
#include "deals/MoneyBooks.h"
#include "forms/FormShared.h"
#include "platform/db/DataSet.h"
#include "platform/db/Decimal.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/MaskEdit.h"
#include "platform/widgets/FormShow.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

// ---- entry forms ----

TBookEntry::TBookEntry(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    widgets::OnFormShow(this, [this] { FormShow(); });
}

TBookEntry::~TBookEntry() = default;

void TBookEntry::setupEntry(const Design& design)
{
    design_ = design;
    using widgets::NavButton;
    widgets::DBNavigator* nav = design_.navigator;
    nav->setDataSet(design_.dataSet);
    nav->setVisibleButtons({NavButton::Post, NavButton::Cancel});
    nav->setCaption(NavButton::Post, QStringLiteral("ذخيره تغييرات"));
    nav->setCaption(NavButton::Cancel, QStringLiteral("لغو تغييرات"));
    for (NavButton b : {NavButton::Post, NavButton::Cancel})
        nav->button(b)->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);

    if (widgets::DBEdit* e = design_.amount)
        connect(e, &QLineEdit::textEdited, e, [e] { MoneyEditChange(e); });
    for (widgets::DBComboBox* c : design_.storedLists)
        c->installEventFilter(this);
    for (const auto& [button, combo] : design_.deleteButtons) {
        button->setFocusPolicy(Qt::NoFocus);
        connect(button, &QAbstractButton::clicked, this, [this, c = combo] { DeleteComboItemClick(c); });
    }
    for (QWidget* w : findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))
            w->installEventFilter(this);
    // the data module ends the entry after its post or cancel
    if (Dm)
        connect(Dm, &TDm::entryEnded, this, [this](db::DataSet* ds) {
            if (ds == design_.dataSet && isVisible())
                hide();
        });
}

void TBookEntry::DeleteComboItemClick(widgets::DBComboBox* combo)
{
    if (!Dm)
        return;
    widgets::guarded([&] {
        QString item;
        if (DeleteComboItem(*Dm, combo, &item))
            ChangeComboItem(*Dm, combo, item, false);
    });
}

void TBookEntry::FormShow()
{
    if (Dm)
        for (widgets::DBComboBox* c : design_.storedLists) {
            const QString text = c->currentText();
            widgets::guarded([&] { FillComboItems(*Dm, c); });
            c->setEditText(text);
        }
    if (design_.firstFocus)
        design_.firstFocus->setFocus();
}

void TBookEntry::closeEvent(QCloseEvent* event)
{
    if (!AskSavePending(design_.dataSet, windowTitle(), true)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TBookEntry::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QWidget::keyReleaseEvent(event);
}

bool TBookEntry::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::FocusOut && Dm && LeavesControl(event))
        for (widgets::DBComboBox* c : design_.storedLists)
            if (watched == c)
                KeepTypedComboItem(*Dm, c);
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            QChar c(13);
            EnterAsTab(qobject_cast<QWidget*>(watched), c);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// ---- lists ----

TBookList::TBookList(QWidget* parent, Qt::WindowFlags flags) : QWidget(parent, flags)
{
    widgets::OnFormShow(this, [this] { FormShow(); });
}

TBookList::~TBookList() = default;

void TBookList::setupList(const Parts& parts, const Design& design)
{
    parts_ = parts;
    design_ = design;
    widgets::DBGrid* g = parts_.find.grid;
    if (design_.dataSet)
        g->setDataSet(design_.dataSet);
    g->setColumns(design_.columns);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::ExtendedSelection);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);

    auto* menu = new QMenu(this);
    QAction* n1 = menu->addAction(QStringLiteral("قابل رويت بودن ستون ها"));
    n1->setObjectName(QStringLiteral("N1"));
    connect(n1, &QAction::triggered, this, [g] { ChooseGridColumns(g); });
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(g, &QWidget::customContextMenuRequested, this,
            [g, menu](const QPoint& pos) { menu->popup(g->viewport()->mapToGlobal(pos)); });

    frame_ = new TListFrame(this, parts_.find, design_.layoutKey);
    frame_->FillSearchTitles(1);
    if (parts_.find.CmbSearch)
        parts_.find.CmbSearch->setCurrentIndex(design_.searchItem);
    if (parts_.find.CmbSearch && design_.amountItem >= 0)
        frame_->setAmountTitles({parts_.find.CmbSearch->itemText(design_.amountItem)});
    frame_->SetChangeAction([this] { btnchangeClick(); });

    parts_.Panel1->hide();
    connect(parts_.BitBtn2, &QAbstractButton::clicked, parts_.Panel1, &QWidget::show);
    connect(parts_.SpeedButton2, &QAbstractButton::clicked, parts_.Panel1, &QWidget::hide);
    EnableWith(parts_.chktarikh, {parts_.edtt1, parts_.edtt2, parts_.Label2});
    for (widgets::MaskEdit* e : {parts_.edtt1, parts_.edtt2}) {
        e->setEditMask(QStringLiteral("9999/99/99;1;_"));
        e->setEnabled(parts_.chktarikh->isChecked());
    }
    parts_.Label2->setEnabled(parts_.chktarikh->isChecked());
    connect(parts_.btnok, &QAbstractButton::clicked, this, [this] { btnokClick(); });
    connect(parts_.btnrefresh, &QAbstractButton::clicked, this, [this] { btnrefreshClick(); });
    connect(parts_.btndel, &QAbstractButton::clicked, this, [this] { btndelClick(); });
    connect(parts_.btnchange, &QAbstractButton::clicked, this, [this] { btnchangeClick(); });

    // what the entry form saved counts in the sums at once
    if (Dm)
        connect(Dm, &TDm::entryEnded, this, [this](db::DataSet* ds) {
            if (ds == design_.dataSet && built_)
                refreshSums();
        });
}

void TBookList::btnokClick()
{
    db::DataSet* ds = design_.dataSet;
    if (!ds || !AskSavePending(ds, windowTitle()))
        return;
    design_.setStatements();
    widgets::guarded([&] {
        ds->Close();
        ds->Open();
    });
    built_ = true;
    refreshSums();
}

void TBookList::refreshSums()
{
    for (db::DataSet* s : design_.sums)
        widgets::guarded([&] {
            s->Close();
            s->Open();
        });
    if (design_.showSums)
        design_.showSums();
}

void TBookList::btnrefreshClick()
{
    if (!AskSavePending(design_.dataSet, windowTitle()))
        return;
    frame_->Refresh();
    refreshSums();
}

void TBookList::btndelClick()
{
    if (frame_->DeleteCurrent(windowTitle(), QStringLiteral("آيا رديف انتخاب شده حذف شود؟"), 10))
        refreshSums();
}

void TBookList::btnchangeClick()
{
    if (!frame_->RequireRow() || !design_.entry)
        return;
    design_.entry->show();
    design_.entry->raise();
    design_.entry->activateWindow();
}

std::pair<double, double> TBookList::SumSelected(const QString& kindField, const QString& firstKind) const
{
    db::AmountSum first, second;
    frame_->ForSelectedRows([&](db::DataSet& ds, int row) {
        const int kind = ds.FieldByName(kindField)->Index();
        const int amount = ds.FieldByName(QStringLiteral("mablagh"))->Index();
        const double v = ds.ValueAt(row, amount).toDouble();
        if (ds.ValueAt(row, kind).toString() == firstKind)
            first.add(v);
        else
            second.add(v);
    });
    return {first.total(), second.total()};
}

void TBookList::FormShow()
{
    if (design_.resetCriteria)
        design_.resetCriteria();
    btnokClick();
    frame_->LoadLayout();
}

void TBookList::closeEvent(QCloseEvent* event)
{
    frame_->SaveLayout();
    QWidget::closeEvent(event);
}

void TBookList::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QWidget::keyReleaseEvent(event);
}
