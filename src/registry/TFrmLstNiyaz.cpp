#include "registry/TFrmLstNiyaz.h"

#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBCtrlGrid.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/FieldLink.h"
#include "registry/DemandSearch.h"
#include "registry/Matching.h"
#include "registry/TFrmDarkhasti.h"
#include "registry/TFrmLstMelk.h"
#include "registry/TFrmNiyaz.h"
#include "registry/TFrmPrnmoojod.h"
#include "registry/TListFrame.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui/TTools.h"
#include "ui_TFrmLstMelk.h"
#include "ui_TFrmLstNiyaz.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>

TFrmLstNiyaz* FrmLstNiyaz = nullptr;

namespace {

struct Column {
    const char* field;
    const char* title;
    int width;
};

const Column kColumns[] = {
    {"row", "رديف", 35},          {"tarikheraeh", "تاريخ ارائه", 80}, {"kharid", "خريد", 40},
    {"Rahn", "رهن", 40},          {"Ejareh", "اجاره", 40},            {"novmelk", "نوع ملک", 80},
    {"Esm", "مستاجر/خريدار", 110}, {"calcust", "تلفن شخص", 150},      {"zirbana", "زيربنا", 60},
    {"otagh", "تعداداتاق", 60},    {"masahat", "مساحت", 60},           {"tabagheh", "طبقه", 40},
    {"tedadtel", "تعدادتلفن", 60}, {"CalF1", "شرط1", 132},             {"calf2", "شرط2", 132},
    {"calf3", "شرط3", 132},        {"lkmn", "منطقه", 80},              {"Tozihat", "توضيحات", 150},
};

const char* const kSearchTitles[] = {"تاريخ ارائه", "نوع ملک", "مستاجر/خريدار", "مساحت",   "طبقه",
                                     "تعدادتلفن",   "تعداداتاق", "زيربنا",        "توضيحات"};

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

int question(const QString& text, int buttons, int kind = 2)
{
    shell::MessageRequest r;
    r.kind = kind;
    r.text = text;
    r.buttons = buttons;
    r.fontSize = 8;
    return shell::prompter().messageDlg(r);
}

// The property list's match run: the current property against the demands.
void matchPropertyToDemands()
{
    if (!FrmLstMelk || !FrmLstNiyaz || !Dm)
        return;
    Ui::TFrmLstMelk* ui = FrmLstMelk->form();
    widgets::guarded([&] {
        RunMatch(TMatchDirection::PropertyToDemands, *Dm->QMelk, ReadMatchPanel(ui->Panel4),
                 [ui] { SavePanelState(MatchStateFile(), MatchStateSection(TMatchDirection::PropertyToDemands), ui->Panel4); },
                 FrmLstMelk->windowTitle(), FrmLstNiyaz->MatchTarget());
    });
}

} // namespace

void ConnectPropertyListMatching()
{
    if (!FrmLstMelk)
        return;
    QObject::connect(FrmLstMelk->form()->BitBtn5, &QPushButton::clicked, FrmLstMelk, [] { matchPropertyToDemands(); });
    FrmLstMelk->ShowPropertyListing = [](bool printPhones, bool allRows) {
        TFrmPrnmoojod listing;
        listing.PrintPhones = printPhones;
        listing.AllRows = allRows;
        widgets::guarded([&] { listing.Preview(); });
    };
}

TFrmLstNiyaz::TFrmLstNiyaz(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TFrmLstNiyaz>())
{
    ui->setupUi(this);
    yes_ = dealMark(true);
    no_ = dealMark(false);
    ui->Image1->setPixmap(yes_);
    ui->Image2->setPixmap(no_);
    setupGrid();
    setupCards();
    setupCriteria();
    setupMatchPanel();

    frame_ = new TListFrame(this, TListFrame::PartsOf(ui.get()), QStringLiteral("GNiyaz"));
    frame_->setDateTitles({QStringLiteral("تاريخ ارائه")});
    for (const char* t : kSearchTitles)
        ui->CmbSearch->addItem(QString::fromUtf8(t));
    ui->CmbSearch->setCurrentText(QStringLiteral("نوع ملک"));

    connect(ui->btnok, &QPushButton::clicked, this, [this] { btnokClick(); });
    connect(ui->BitBtn2, &QPushButton::clicked, ui->Panel1, &QWidget::show);
    connect(ui->SpeedButton2, &QPushButton::clicked, ui->Panel1, &QWidget::hide);
    connect(ui->BitBtn4, &QPushButton::clicked, ui->Panel4, &QWidget::show);
    connect(ui->SpeedButton1, &QPushButton::clicked, ui->Panel4, &QWidget::hide);
    connect(ui->BitBtn5, &QPushButton::clicked, this, [this] { BitBtn5Click(); });
    connect(ui->btnchange, &QPushButton::clicked, this, [this] { btnchangeClick(); });
    connect(ui->btndel, &QPushButton::clicked, this, [this] { btndelClick(); });
    connect(ui->btnrefresh, &QPushButton::clicked, this, [this] { btnrefreshClick(); });
    connect(ui->btnprint, &QPushButton::clicked, this, [this] { btnprintClick(); });
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(ui->RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        ui->dbgrid1->setVisible(on);
        ui->DBCtrlGrid1->setVisible(!on);
    });
    setWindowTitle(QStringLiteral("ليست املاک درخواستي"));
    MatchMode = 0;
}

TFrmLstNiyaz::~TFrmLstNiyaz() = default;

void TFrmLstNiyaz::setupGrid()
{
    widgets::DBGrid* g = ui->dbgrid1;
    if (Dm)
        g->setDataSet(Dm->QNiyaz);
    QVector<widgets::GridColumn> cols;
    for (const Column& c : kColumns)
        cols.append({QString::fromLatin1(c.field), QString::fromUtf8(c.title), c.width, true});
    g->setColumns(cols);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::ExtendedSelection);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setCellStyler([this](int row, const QString& fieldName, widgets::CellStyle& style) {
        if (fieldName == QLatin1String("kharid") || fieldName == QLatin1String("Rahn")
            || fieldName == QLatin1String("Ejareh")) {
            db::DataSet* ds = ui->dbgrid1->dataSet();
            const db::Field* f = ds ? ds->FindField(fieldName) : nullptr;
            const bool on = f && ds->ValueAt(row, f->Index()).toDouble() != 0;
            style.picture = on ? yes_ : no_;
            style.fillPicture = true;
        } else if (fieldName == QLatin1String("Esm") || fieldName == QLatin1String("calcust")) {
            style.background = QColor(255, 255, 225);
        } else if (fieldName == QLatin1String("tarikheraeh")) {
            style.background = QColor(225, 240, 255);
        }
    });
    connect(g, &QAbstractItemView::doubleClicked, this, [this] { btnchangeClick(); });
    g->installEventFilter(this);

    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* n1 = menu->addAction(QStringLiteral("قابل رويت بودن ستون ها"));
    n1->setObjectName(QStringLiteral("N1"));
    connect(n1, &QAction::triggered, this, [this] { ChooseGridColumns(ui->dbgrid1); });
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(g, &QWidget::customContextMenuRequested, this,
            [g, menu](const QPoint& pos) { menu->popup(g->viewport()->mapToGlobal(pos)); });
}

void TFrmLstNiyaz::setupCards()
{
    widgets::DBCtrlGrid* cards = ui->DBCtrlGrid1;
    cards->setPanelFactory([](QWidget* panel) {
        panel->setLayoutDirection(Qt::RightToLeft);
        auto* lay = new QGridLayout(panel);
        lay->setContentsMargins(6, 4, 6, 4);
        lay->setHorizontalSpacing(6);
        lay->setVerticalSpacing(2);
        const struct {
            const char* caption;
            const char* field;
        } items[] = {{"تاريخ ارائه", "tarikheraeh"}, {"نوع ملک", "NovMelk"},   {"تلفن هاي مستاجر / خريدار", "calcust"},
                     {"نام شخص", "Esm"},             {"مساحت", "masahat"},      {"زيربنا", "zirbana"},
                     {"طبقه", "Tabagheh"},           {"تعدادتلفن", "tedadtel"}, {"تعداداتاق", "otagh"},
                     {"شرط1", "calf1"},              {"شرط2", "calf2"},         {"شرط3", "calf3"}};
        int i = 0;
        for (const auto& it : items) {
            const int row = i < 9 ? i / 3 : 3 + (i - 9);
            const int col = i < 9 ? (i % 3) * 2 : 0;
            auto* cap = new QLabel(QString::fromUtf8(it.caption) + QLatin1Char(':'), panel);
            cap->setStyleSheet(QStringLiteral("color: #004080;"));
            auto* val = new QLabel(panel);
            val->setObjectName(QStringLiteral("DBText_") + QString::fromLatin1(it.field));
            val->setProperty("dataField", QString::fromLatin1(it.field));
            val->setMinimumWidth(60);
            lay->addWidget(cap, row, col);
            lay->addWidget(val, row, col + 1, 1, i < 9 ? 1 : 5);
            ++i;
        }
        lay->addWidget(new QLabel(QStringLiteral("شرايط معامله:"), panel), 6, 0);
        const struct {
            const char* caption;
            const char* field;
        } boxes[] = {{"خريد", "kharid"}, {"رهن", "Rahn"}, {"اجاره", "Ejareh"}};
        int c = 1;
        for (const auto& b : boxes) {
            auto* box = new QCheckBox(QString::fromUtf8(b.caption), panel);
            box->setProperty("boolField", QString::fromLatin1(b.field));
            box->setAttribute(Qt::WA_TransparentForMouseEvents);
            box->setFocusPolicy(Qt::NoFocus);
            lay->addWidget(box, 6, c++);
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
        for (QLabel* l : panel->findChildren<QLabel*>())
            if (!l->property("dataField").toString().isEmpty())
                l->setToolTip(l->text());
    };
    cards->setPanelCount(3);
    if (Dm)
        cards->setDataSet(Dm->QNiyaz);
}

void TFrmLstNiyaz::setupCriteria()
{
    const auto govern = [](QCheckBox* box, std::initializer_list<QWidget*> fields) {
        QObject::connect(box, &QCheckBox::toggled, box, [fields = std::vector<QWidget*>(fields)](bool on) {
            for (QWidget* w : fields)
                w->setEnabled(on);
        });
    };
    govern(ui->chktarikh, {ui->edtt1, ui->edtt2, ui->Label2});
    govern(ui->chkf, {ui->edtf, ui->Label17, ui->edtr});
    govern(ui->chkmn, {ui->DBLookupComboBox1});

    connect(ui->chkre, &QCheckBox::clicked, this, [this](bool on) {
        dealBoxesFromRe_ = true;
        for (QCheckBox* b : {ui->chksell, ui->ChkRahn, ui->ChkEjareh})
            b->setChecked(!on);
        dealBoxesFromRe_ = false;
    });
    for (QCheckBox* b : {ui->chksell, ui->ChkRahn, ui->ChkEjareh})
        connect(b, &QCheckBox::toggled, this, [this] {
            if (!dealBoxesFromRe_)
                ui->chkre->setChecked(false);
        });

    ui->edtt1->setEditMask(QStringLiteral("9999/99/99;1;_"));
    ui->edtt2->setEditMask(QStringLiteral("9999/99/99;1;_"));
    ui->edtt1->setMaxLength(10);
    ui->edtt2->setMaxLength(10);
    // edtf takes any key here; the search refuses a text that is no number
    ui->edtr->installEventFilter(this);
    connect(ui->edtf, &QLineEdit::textEdited, this, [this] {
        MoneyEditChange(ui->edtf);
        ui->edtr->setText(ui->edtf->text());
    });
    connect(ui->edtr, &QLineEdit::textEdited, this, [this] { MoneyEditChange(ui->edtr); });

    if (Dm) {
        ui->DBLookupComboBox1->setListSource(Dm->QMantagheh);
        ui->DBLookupComboBox1->setKeyField(QStringLiteral("MnID"));
        ui->DBLookupComboBox1->setListField(QStringLiteral("Esm"));
    }
    panel1Design_ = CapturePanelDesign(ui->Panel1);
}

void TFrmLstNiyaz::setupMatchPanel()
{
    const struct {
        QCheckBox* box;
        QLabel* label;
        QLineEdit* edit;
        bool decimals;
    } rows[] = {{ui->chkRoom, ui->lblRoomFlexability, ui->edtRoomFlexability, false},
                {ui->chkLivingArea, ui->lblLivingArea, ui->edtLivingArea, true},
                {ui->chkArea, ui->lblArea, ui->EdtArea, true},
                {ui->chkFloor, ui->lblFloor, ui->edtFloor, false},
                {ui->chkSellMatch, ui->lblSellMatch, ui->edtSellMatch, true},
                {ui->chkTel, ui->lblTel, ui->edtTel, false},
                {ui->ChkMortgage, ui->lblMortgage, ui->edtMortgage, true},
                {ui->chkRent, ui->lblRent, ui->edtRent, true}};
    for (const auto& r : rows) {
        QLabel* label = r.label;
        QLineEdit* edit = r.edit;
        connect(r.box, &QCheckBox::toggled, this, [label, edit](bool on) {
            label->setEnabled(on);
            edit->setEnabled(on);
        });
        edit->setProperty("moneyDecimals", r.decimals);
        edit->installEventFilter(this);
    }
    for (QLineEdit* e : {ui->edtSellMatch, ui->edtMortgage, ui->edtRent})
        connect(e, &QLineEdit::textEdited, this, [e] { MoneyEditChange(e); });
}

bool TFrmLstNiyaz::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == ui->dbgrid1) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                btnchangeClick();
                return true;
            }
            return false;
        }
        if (watched == ui->edtr)
            return MoneyEditKeyDown(ui->edtr, key, 15, QStringLiteral("TRUE"));
        if (auto* e = qobject_cast<QLineEdit*>(watched); e && e->property("moneyDecimals").isValid())
            return MoneyEditKeyDown(e, key, 50,
                                    e->property("moneyDecimals").toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    }
    return QWidget::eventFilter(watched, event);
}

void TFrmLstNiyaz::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QWidget::keyReleaseEvent(event);
}

TDemandCriteria TFrmLstNiyaz::Criteria() const
{
    TDemandCriteria c;
    c.ChkDel = ui->ChkDel->isChecked();
    c.ChkNotdel = ui->ChkNotdel->isChecked();
    c.chktarikh = ui->chktarikh->isChecked();
    c.edtt1 = ui->edtt1->Text();
    c.edtt2 = ui->edtt2->Text();
    c.chksell = ui->chksell->isChecked();
    c.ChkRahn = ui->ChkRahn->isChecked();
    c.ChkEjareh = ui->ChkEjareh->isChecked();
    c.chkre = ui->chkre->isChecked();
    c.chkf = ui->chkf->isChecked();
    c.edtf = ui->edtf->text();
    c.edtr = ui->edtr->text();
    c.chkmn = ui->chkmn->isChecked();
    c.region = ui->DBLookupComboBox1->KeyValue();
    return c;
}

void TFrmLstNiyaz::btnokClick()
{
    if (!Dm)
        return;
    MatchMode = 0;
    QString error;
    const QString sql = BuildDemandSearchStatement(Criteria(), TRUEPREFIX, &error);
    if (sql.isEmpty()) {
        question(error, 1, 1);
        return;
    }
    // what is being typed on the demand form is saved or dropped first, never lost
    if (!AskSavePending(Dm->QNiyaz, FrmNiyaz ? FrmNiyaz->windowTitle() : windowTitle()))
        return;
    db::DataSet* ds = Dm->QNiyaz;
    widgets::guarded([&] {
        ds->Close();
        ds->setSQL(sql);
        ds->Open();
    });
    ui->Panel1->hide();
}

void TFrmLstNiyaz::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmLstNiyaz::FormShow()
{
    if (MatchMode == 0) {
        LoadPanelStateKeepingDesign(TTools::AppPath() + QStringLiteral("defSearch.ini"),
                                    QStringLiteral("frmlstniyazPanel1"), ui->Panel1, panel1Design_);
        btnokClick();
        ui->Panel1->hide();
    }
    frame_->LoadLayout();
    LoadPanelState(MatchStateFile(), MatchStateSection(TMatchDirection::DemandToProperties), ui->Panel4);
    ui->Panel4->hide();
}

void TFrmLstNiyaz::closeEvent(QCloseEvent* event)
{
    MatchMode = 0;
    frame_->SaveLayout();
    QWidget::closeEvent(event);
}

void TFrmLstNiyaz::btnchangeClick()
{
    if (!frame_->RequireRow())
        return;
    if (FrmNiyaz) {
        FrmNiyaz->show();
        FrmNiyaz->raise();
        FrmNiyaz->activateWindow();
    }
}

void TFrmLstNiyaz::btndelClick()
{
    if (Dm)
        frame_->DeleteCurrent(windowTitle(), QStringLiteral("آيا رديف انتخاب شده حذف شود؟"), 8);
}

void TFrmLstNiyaz::btnrefreshClick()
{
    if (Dm && !AskSavePending(Dm->QNiyaz, FrmNiyaz ? FrmNiyaz->windowTitle() : windowTitle()))
        return;
    frame_->Refresh();
}

void TFrmLstNiyaz::btnprintClick()
{
    if (question(QStringLiteral("توصيه مي شود براي چاپ از دکمه «چاپ جزييات» استفاده نماييد.") + QLatin1Char('\n')
                     + QStringLiteral("آيا مي خواهيد از دکمه «چاپ جزييات» به جاي «چاپ» استفاده نماييد؟"),
                 4 | 8, 1)
        == shell::ResultYes) {
        BitBtn1Click();
        return;
    }
    question(QStringLiteral("لطفا براي خوانا شدن ظاهر گزارش چاپي حتما ستون هاي اضافي را با کليک سمت راست برروي ليست "
                            "املاک و انتخاب «قابل رويت بودن ستون ها» مخفي نماييد."),
             1, 1);
    frame_->Print(QStringLiteral("املاک درخواستي"));
}

void TFrmLstNiyaz::BitBtn1Click()
{
    const int answer = question(QStringLiteral("آيا تمامي رديف ها چاپ شوند؟"), 4 | 8 | 2);
    if (answer != shell::ResultYes && answer != shell::ResultNo)
        return;
    TFrmDarkhasti listing;
    listing.AllRows = answer == shell::ResultYes;
    widgets::guarded([&] { listing.Preview(); });
}

TMatchTarget TFrmLstNiyaz::MatchTarget()
{
    TMatchTarget t;
    t.dataSet = Dm ? Dm->QNiyaz : nullptr;
    t.closeList = [this] {
        if (isVisible())
            close();
    };
    t.setMatchMode = [this](int m) { MatchMode = m; };
    t.showList = [this] {
        show();
        raise();
        activateWindow();
    };
    return t;
}

void TFrmLstNiyaz::BitBtn5Click()
{
    if (!Dm || !FrmLstMelk)
        return;
    TMatchTarget t;
    t.dataSet = Dm->QMelk;
    t.closeList = [] {
        if (FrmLstMelk->isVisible())
            FrmLstMelk->close();
    };
    t.setMatchMode = [](int m) { FrmLstMelk->MatchMode = m; };
    t.showList = [] {
        FrmLstMelk->show();
        FrmLstMelk->raise();
        FrmLstMelk->activateWindow();
    };
    widgets::guarded([&] {
        RunMatch(TMatchDirection::DemandToProperties, *Dm->QNiyaz, ReadMatchPanel(ui->Panel4),
                 [this] { SavePanelState(MatchStateFile(), MatchStateSection(TMatchDirection::DemandToProperties), ui->Panel4); },
                 windowTitle(), t);
    });
}
