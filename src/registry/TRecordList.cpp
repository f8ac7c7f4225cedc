#include "registry/TRecordList.h"

#include "core/ComboItems.h"
#include "platform/db/Sql.h"
#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBCtrlGrid.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/MaskEdit.h"
#include "platform/widgets/FormShow.h"
#include "registry/Matching.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui/TTools.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QRadioButton>

namespace {

// The clear true/false marks of the deal-kind cells.
QPixmap dealMark(bool on)
{
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(on ? QColor(0, 140, 0) : QColor(190, 0, 0), 2.5));
    if (on) {
        p.drawLine(QPointF(3, 8.5), QPointF(6.5, 12));
        p.drawLine(QPointF(6.5, 12), QPointF(13, 4));
    } else {
        p.drawLine(QPointF(4, 4), QPointF(12, 12));
        p.drawLine(QPointF(12, 4), QPointF(4, 12));
    }
    return pm;
}

} // namespace

TRecordList::TRecordList(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    widgets::OnFormShow(this, [this] { FormShow(); });
}

TRecordList::~TRecordList() = default;

db::DataSet* TRecordList::dataSet() const { return design_.dataSet ? design_.dataSet() : nullptr; }

void TRecordList::setupList(const Parts& parts, const Design& design)
{
    parts_ = parts;
    design_ = design;
    yes_ = dealMark(true);
    no_ = dealMark(false);
    parts_.Image1->setPixmap(yes_);
    parts_.Image2->setPixmap(no_);
    setupGrid();
    setupCards();
    setupCriteria();
    setupMatchPanel();

    frame_ = new TListFrame(this, parts_.find, design_.layoutKey);
    frame_->setDateTitles({QStringLiteral("تاريخ ارائه")});
    for (const char* t : design_.searchTitles)
        parts_.find.CmbSearch->addItem(QString::fromUtf8(t));
    parts_.find.CmbSearch->setCurrentText(QStringLiteral("نوع ملک"));

    connect(parts_.btnok, &QAbstractButton::clicked, this, [this] { btnokClick(); });
    connect(parts_.BitBtn2, &QAbstractButton::clicked, parts_.Panel1, &QWidget::show);
    connect(parts_.SpeedButton2, &QAbstractButton::clicked, parts_.Panel1, &QWidget::hide);
    connect(parts_.BitBtn4, &QAbstractButton::clicked, parts_.Panel4, &QWidget::show);
    connect(parts_.SpeedButton1, &QAbstractButton::clicked, parts_.Panel4, &QWidget::hide);
    connect(parts_.btnchange, &QAbstractButton::clicked, this, [this] { btnchangeClick(); });
    connect(parts_.btndel, &QAbstractButton::clicked, this, [this] { btndelClick(); });
    connect(parts_.btnrefresh, &QAbstractButton::clicked, this, [this] { btnrefreshClick(); });
    connect(parts_.btnprint, &QAbstractButton::clicked, this, [this] { btnprintClick(); });
    connect(parts_.BitBtn1, &QAbstractButton::clicked, this, [this] { BitBtn1Click(); });
    connect(parts_.RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        parts_.find.grid->setVisible(on);
        parts_.DBCtrlGrid1->setVisible(!on);
    });
    MatchMode = 0;
}

void TRecordList::setupGrid()
{
    widgets::DBGrid* g = parts_.find.grid;
    if (db::DataSet* ds = dataSet())
        g->setDataSet(ds);
    QVector<widgets::GridColumn> cols;
    for (const Column& c : design_.columns)
        cols.append({QString::fromLatin1(c.field), QString::fromUtf8(c.title), c.width, c.visible});
    g->setColumns(cols);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::ExtendedSelection);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setCellStyler([this, g](int row, const QString& fieldName, widgets::CellStyle& style) {
        if (design_.leftFields.contains(fieldName))
            style.alignment = Qt::AlignLeft | Qt::AlignAbsolute;
        if (design_.dealFields.contains(fieldName)) {
            db::DataSet* ds = g->dataSet();
            const db::Field* f = ds ? ds->FindField(fieldName) : nullptr;
            const bool on = f && ds->ValueAt(row, f->Index()).toDouble() != 0;
            style.picture = on ? yes_ : no_;
            style.fillPicture = true;
        } else if (design_.personFields.contains(fieldName)) {
            style.background = QColor(255, 255, 225);
        } else if (!design_.dateField.isEmpty() && fieldName == design_.dateField) {
            style.background = QColor(225, 240, 255);
        }
    });
    connect(g, &QAbstractItemView::doubleClicked, this, [this] { btnchangeClick(); });
    g->installEventFilter(this);

    gridMenu_ = new QMenu(this);
    gridMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* n1 = gridMenu_->addAction(QStringLiteral("قابل رويت بودن ستون ها"));
    n1->setObjectName(QStringLiteral("N1"));
    connect(n1, &QAction::triggered, this, [g] { ChooseGridColumns(g); });
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(g, &QWidget::customContextMenuRequested, this,
            [g, this](const QPoint& pos) { gridMenu_->popup(g->viewport()->mapToGlobal(pos)); });
}

void TRecordList::setupCards()
{
    widgets::DBCtrlGrid* cards = parts_.DBCtrlGrid1;
    cards->setPanelFactory([items = design_.cards, inThrees = design_.cardsInThrees,
                            boxes = design_.cardBoxes](QWidget* panel) {
        panel->setLayoutDirection(Qt::RightToLeft);
        auto* lay = new QGridLayout(panel);
        lay->setContentsMargins(6, 4, 6, 4);
        lay->setHorizontalSpacing(6);
        lay->setVerticalSpacing(2);
        const int firstLine = inThrees / 3;
        int i = 0;
        for (const Card& it : items) {
            const int row = i < inThrees ? i / 3 : firstLine + (i - inThrees);
            const int col = i < inThrees ? (i % 3) * 2 : 0;
            auto* cap = new QLabel(QString::fromUtf8(it.caption) + QLatin1Char(':'), panel);
            cap->setStyleSheet(QStringLiteral("color: #004080;"));
            auto* val = new QLabel(panel);
            val->setObjectName(QStringLiteral("DBText_") + QString::fromLatin1(it.field));
            val->setProperty("dataField", QString::fromLatin1(it.field));
            val->setMinimumWidth(60);
            // a long value is cut at the card's edge (its tooltip shows it whole)
            val->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            // next to its caption, whatever the direction of the value's text
            val->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
            lay->addWidget(cap, row, col);
            lay->addWidget(val, row, col + 1, 1, i < inThrees ? 1 : 5);
            ++i;
        }
        const int boxLine = firstLine + int(items.size()) - inThrees;
        lay->addWidget(new QLabel(QStringLiteral("شرايط معامله:"), panel), boxLine, 0);
        int c = 1;
        for (const Card& b : boxes) {
            auto* box = new QCheckBox(QString::fromUtf8(b.caption), panel);
            box->setObjectName(QStringLiteral("chk_") + QString::fromLatin1(b.field));
            box->setProperty("boolField", QString::fromLatin1(b.field));
            box->setAttribute(Qt::WA_TransparentForMouseEvents);
            box->setFocusPolicy(Qt::NoFocus);
            lay->addWidget(box, boxLine, c++);
        }
        lay->setColumnStretch(1, 1);
        lay->setColumnStretch(3, 1);
        lay->setColumnStretch(5, 1);
    });
    cards->OnPaintPanel = [cards](QWidget* panel, int row) {
        db::DataSet* ds = cards->dataSet();
        for (QCheckBox* box : panel->findChildren<QCheckBox*>()) {
            const db::Field* f = ds && ds->Active() ? ds->FindField(box->property("boolField").toString()) : nullptr;
            box->setChecked(f && row >= 0 && ds->ValueAt(row, f->Index()).toDouble() != 0);
        }
        // a value cut by the card shows in full as its tooltip
        for (QLabel* l : panel->findChildren<QLabel*>())
            if (!l->property("dataField").toString().isEmpty())
                l->setToolTip(l->text());
    };
    cards->setPanelCount(3);
    if (db::DataSet* ds = dataSet())
        cards->setDataSet(ds);
}

void TRecordList::setupCriteria()
{
    EnableWith(parts_.chktarikh, {parts_.edtt1, parts_.edtt2, parts_.Label2});
    EnableWith(parts_.chkf, {parts_.edtf, parts_.Label17, parts_.edtr});
    EnableWith(parts_.chkmn, {parts_.DBLookupComboBox1});

    // a click on chkre sets the three deal kinds to its opposite; a deal kind changed
    // otherwise clears chkre
    connect(parts_.chkre, &QCheckBox::clicked, this, [this](bool on) {
        dealBoxesFromRe_ = true;
        for (QCheckBox* b : parts_.dealBoxes)
            b->setChecked(!on);
        dealBoxesFromRe_ = false;
    });
    for (QCheckBox* b : parts_.dealBoxes)
        connect(b, &QCheckBox::toggled, this, [this] {
            if (!dealBoxesFromRe_)
                parts_.chkre->setChecked(false);
        });

    for (widgets::MaskEdit* e : {parts_.edtt1, parts_.edtt2}) {
        e->setEditMask(QStringLiteral("9999/99/99;1;_"));
        e->setMaxLength(10);
    }
    watchMoney(parts_.edtr, 15, true);
    connect(parts_.edtf, &QLineEdit::textEdited, this, [this] {
        MoneyEditChange(parts_.edtf);
        parts_.edtr->setText(parts_.edtf->text());
    });
    connect(parts_.edtr, &QLineEdit::textEdited, this, [this] { MoneyEditChange(parts_.edtr); });

    if (Dm) {
        parts_.DBLookupComboBox1->setListSource(Dm->QMantagheh);
        parts_.DBLookupComboBox1->setKeyField(QStringLiteral("MnID"));
        parts_.DBLookupComboBox1->setListField(QStringLiteral("Esm"));
    }
    panel1Design_ = CapturePanelDesign(parts_.Panel1);
}

void TRecordList::setupMatchPanel()
{
    for (const MatchRow& r : parts_.matchRows) {
        QLabel* label = r.label;
        QLineEdit* edit = r.edit;
        connect(r.box, &QCheckBox::toggled, this, [label, edit](bool on) {
            label->setEnabled(on);
            edit->setEnabled(on);
        });
        watchMoney(edit, 50, r.decimals);
        // a grouped amount of thousands of millions shows whole
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance(QStringLiteral("9,999,999,999,999")) + 16);
    }
    for (QLineEdit* e : parts_.matchAmounts)
        connect(e, &QLineEdit::textEdited, this, [e] { MoneyEditChange(e); });
    panel4Design_ = CapturePanelDesign(parts_.Panel4);
}

void TRecordList::watchMoney(QLineEdit* edit, int digits, bool decimals)
{
    edit->setProperty("moneyDigits", digits);
    edit->setProperty("moneyDecimals", decimals);
    edit->installEventFilter(this);
}

bool TRecordList::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == parts_.find.grid) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                btnchangeClick();
                return true;
            }
            return false;
        }
        if (auto* e = qobject_cast<QLineEdit*>(watched); e && e->property("moneyDigits").isValid())
            return MoneyEditKeyDown(e, key, e->property("moneyDigits").toInt(),
                                    e->property("moneyDecimals").toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    }
    return QWidget::eventFilter(watched, event);
}

void TRecordList::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QWidget::keyReleaseEvent(event);
}

bool TRecordList::askSaveRecord()
{
    QWidget* form = design_.recordForm ? design_.recordForm() : nullptr;
    return AskSavePending(dataSet(), form ? form->windowTitle() : windowTitle());
}

void TRecordList::reopen(const QString& sql)
{
    db::DataSet* ds = dataSet();
    widgets::guarded([&] {
        ds->Close();
        ds->setSQL(design_.key.isEmpty() ? sql : db::OrderedByKey(sql, design_.key));
        ds->Open();
    });
}

void TRecordList::FormShow()
{
    if (MatchMode == 0) {
        LoadPanelStateKeepingDesign(TTools::AppPath() + QStringLiteral("defSearch.ini"), design_.panel1Section,
                                    parts_.Panel1, panel1Design_);
        btnokClick();
        parts_.Panel1->hide();
    }
    frame_->LoadLayout();
    LoadPanelStateKeepingDesign(MatchStateFile(), design_.panel4Section, parts_.Panel4, panel4Design_);
    if (Dm)
        for (QComboBox* c : design_.storedLists)
            widgets::guarded([&] { FillComboItems(*Dm, c); });
    parts_.Panel4->hide();
}

void TRecordList::closeEvent(QCloseEvent* event)
{
    MatchMode = 0;
    frame_->SaveLayout();
    QWidget::closeEvent(event);
}

void TRecordList::btnchangeClick()
{
    if (!frame_->RequireRow())
        return;
    if (QWidget* form = design_.recordForm ? design_.recordForm() : nullptr) {
        form->show();
        form->raise();
        form->activateWindow();
    }
}

void TRecordList::btnrefreshClick()
{
    if (Dm && !askSaveRecord())
        return;
    frame_->Refresh();
}

void TRecordList::btnprintClick()
{
    if (AskMessage(QStringLiteral("توصيه مي شود براي چاپ از دکمه «چاپ جزييات» استفاده نماييد.") + QLatin1Char('\n')
                    + QStringLiteral("آيا مي خواهيد از دکمه «چاپ جزييات» به جاي «چاپ» استفاده نماييد؟"),
                   4 | 8, 1)
        == shell::ResultYes) {
        BitBtn1Click();
        return;
    }
    AskMessage(QStringLiteral("لطفا براي خوانا شدن ظاهر گزارش چاپي حتما ستون هاي اضافي را با کليک سمت راست برروي ليست "
                           "املاک و انتخاب «قابل رويت بودن ستون ها» مخفي نماييد."),
            1, 1);
    frame_->Print(design_.printTitle);
}
