#include "registry/TFrmLstMelk.h"

#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBCtrlGrid.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/FieldLink.h"
#include "core/ComboItems.h"
#include "registry/TFRmMelk.h"
#include "registry/TListFrame.h"
#include "registry/TfrmDocs.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui/TTools.h"
#include "ui_TFrmLstMelk.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPainter>

TFrmLstMelk* FrmLstMelk = nullptr;

namespace {

const QString kDateTitle = QStringLiteral("تاريخ ارائه");

struct Column {
    const char* field;
    const char* title;
    int width;
    bool visible;
};

const Column kColumns[] = {
    {"row", "رديف", 32, true},          {"tarikheraeh", "تاريخ ارائه", 80, true},
    {"ForSell", "فروش", 40, true},       {"ForRahn", "رهن", 40, true},
    {"ForEjareh", "اجاره", 40, true},    {"NovMelk", "نوع ملک", 80, true},
    {"MalekEsm", "نام مالک", 110, true}, {"calmalektels", "تلفن هاي مالک", 150, true},
    {"Masahat", "مساحت", 60, true},      {"lkmn", "منطقه", 80, true},
    {"Mahal", "محل", 80, true},          {"Tabagheh", "طبقه", 40, true},
    {"tedadtel", "تعدادتلفن", 60, true}, {"TedadOtagh", "تعداداتاق", 60, true},
    {"Arz", "عرض", 50, true},            {"ZirBana", "زير بنا", 60, true},
    {"calf1", "شرط1", 151, true},        {"calf2", "شرط2", 151, true},
    {"calf3", "شرط3", 151, true},        {"NovSanad", "نوع سند", 80, true},
    {"Vaziyat", "وضعيت ملک", 80, true},  {"mo", "مشخصه", 60, true},
    {"zabeteh", "ضابطه", 60, true},      {"Tozihat", "توضيحات", 150, false},
    {"SayerEmkanat", "ساير امکانات", 150, true},
};

const char* const kSearchTitles[] = {"تاريخ ارائه", "نوع ملک", "نام مالک", "مساحت", "محل", "طبقه",
                                     "تعدادتلفن", "تعداداتاق", "عرض", "زير بنا", "نوع سند", "وضعيت ملک",
                                     "مشخصه", "ضابطه", "توضيحات", "ساير امکانات"};

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

void showInfo(const QString& text, int buttons = 1, int fontSize = 8, const QString& caption = QString())
{
    shell::MessageRequest r;
    r.kind = 1;
    r.caption = caption;
    r.text = text;
    r.buttons = buttons;
    r.fontSize = fontSize;
    shell::prompter().messageDlg(r);
}

// A typed amount or count as a number in SQL; false when it is none.
bool sqlNumber(const QString& typed, QString* out)
{
    bool ok = false;
    const double v = TTools::StrToFloatSafe(TTools::StripThousands(typed.trimmed()), &ok);
    if (!ok)
        return false;
    *out = TTools::FloatToStr(v);
    return true;
}

} // namespace

TFrmLstMelk::TFrmLstMelk(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TFrmLstMelk>())
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

    frame_ = new TListFrame(this, TListFrame::PartsOf(ui.get()), QStringLiteral("GMelk"));
    frame_->setDateTitles({kDateTitle});
    for (const char* t : kSearchTitles)
        ui->CmbSearch->addItem(QString::fromUtf8(t));
    ui->CmbSearch->setCurrentText(QStringLiteral("نوع ملک"));

    connect(ui->btnok, &QPushButton::clicked, this, [this] { btnokClick(); });
    connect(ui->BitBtn2, &QPushButton::clicked, ui->Panel1, &QWidget::show);
    connect(ui->SpeedButton2, &QPushButton::clicked, ui->Panel1, &QWidget::hide);
    connect(ui->BitBtn4, &QPushButton::clicked, ui->Panel4, &QWidget::show);
    connect(ui->SpeedButton1, &QPushButton::clicked, ui->Panel4, &QWidget::hide);
    connect(ui->btnchange, &QPushButton::clicked, this, [this] { btnchangeClick(); });
    connect(ui->btndel, &QPushButton::clicked, this, [this] { btndelClick(); });
    connect(ui->btnrefresh, &QPushButton::clicked, this, [this] { btnrefreshClick(); });
    connect(ui->btnprint, &QPushButton::clicked, this, [this] { btnprintClick(); });
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(ui->RadioButton1, &QRadioButton::toggled, this, [this](bool on) {
        ui->dbgrid1->setVisible(on);
        ui->DBCtrlGrid1->setVisible(!on);
    });
    setWindowTitle(QStringLiteral("املاک موجود"));
    MatchMode = 0;
}

TFrmLstMelk::~TFrmLstMelk() = default;

void TFrmLstMelk::setupGrid()
{
    widgets::DBGrid* g = ui->dbgrid1;
    if (Dm)
        g->setDataSet(Dm->QMelk);
    QVector<widgets::GridColumn> cols;
    for (const Column& c : kColumns)
        cols.append({QString::fromLatin1(c.field), QString::fromUtf8(c.title), c.width, c.visible});
    g->setColumns(cols);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::ExtendedSelection);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setCellStyler([this](int row, const QString& fieldName, widgets::CellStyle& style) {
        if (fieldName == QLatin1String("ForSell") || fieldName == QLatin1String("ForRahn")
            || fieldName == QLatin1String("ForEjareh")) {
            db::DataSet* ds = ui->dbgrid1->dataSet();
            const db::Field* f = ds ? ds->FindField(fieldName) : nullptr;
            const bool on = f && ds->ValueAt(row, f->Index()).toDouble() != 0;
            style.picture = on ? yes_ : no_;
            style.fillPicture = true;
        } else if (fieldName == QLatin1String("MalekEsm") || fieldName == QLatin1String("calmalektels")) {
            style.background = QColor(255, 255, 225);
        }
    });
    connect(g, &QAbstractItemView::doubleClicked, this, [this] { btnchangeClick(); });
    g->installEventFilter(this);

    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* n1 = menu->addAction(QStringLiteral("قابل رويت بودن ستون ها"));
    n1->setObjectName(QStringLiteral("N1"));
    QAction* prntel = menu->addAction(QStringLiteral("تلفن چاپ شود"));
    prntel->setObjectName(QStringLiteral("mnuprntel"));
    prntel->setCheckable(true);
    connect(n1, &QAction::triggered, this, [this] { ChooseGridColumns(ui->dbgrid1); });
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(g, &QWidget::customContextMenuRequested, this,
            [g, menu](const QPoint& pos) { menu->popup(g->viewport()->mapToGlobal(pos)); });
}

void TFrmLstMelk::setupCards()
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
        } items[] = {{"تاريخ ارائه", "tarikheraeh"}, {"نوع ملک", "NovMelk"},     {"تلفن هاي مالک", "calmalektels"},
                     {"نام مالک", "MalekEsm"},       {"مساحت", "Masahat"},        {"عرض", "Arz"},
                     {"زيربنا", "ZirBana"},          {"منطقه", "lkmn"},           {"محل", "Mahal"},
                     {"طبقه", "Tabagheh"},           {"تعدادتلفن", "tedadtel"},   {"تعداداتاق", "TedadOtagh"},
                     {"شرط1", "calf1"},              {"شرط2", "calf2"},           {"شرط3", "calf3"}};
        int i = 0;
        for (const auto& it : items) {
            const int row = i < 12 ? i / 3 : 4 + (i - 12);
            const int col = i < 12 ? (i % 3) * 2 : 0;
            auto* cap = new QLabel(QString::fromUtf8(it.caption) + QLatin1Char(':'), panel);
            cap->setStyleSheet(QStringLiteral("color: #004080;"));
            auto* val = new QLabel(panel);
            val->setObjectName(QStringLiteral("DBText_") + QString::fromLatin1(it.field));
            val->setProperty("dataField", QString::fromLatin1(it.field));
            val->setMinimumWidth(60);
            // next to its caption, whatever the direction of the value's text
            val->setAlignment(Qt::AlignAbsolute | Qt::AlignRight | Qt::AlignVCenter);
            lay->addWidget(cap, row, col);
            lay->addWidget(val, row, col + 1, 1, i < 12 ? 1 : 5);
            ++i;
        }
        auto* kinds = new QLabel(QStringLiteral("شرايط معامله:"), panel);
        lay->addWidget(kinds, 7, 0);
        const struct {
            const char* caption;
            const char* field;
        } boxes[] = {{"فروش", "ForSell"}, {"رهن", "ForRahn"}, {"اجاره", "ForEjareh"}};
        int c = 1;
        for (const auto& b : boxes) {
            auto* box = new QCheckBox(QString::fromUtf8(b.caption), panel);
            box->setObjectName(QStringLiteral("chk_") + QString::fromLatin1(b.field));
            box->setProperty("boolField", QString::fromLatin1(b.field));
            box->setAttribute(Qt::WA_TransparentForMouseEvents);
            box->setFocusPolicy(Qt::NoFocus);
            lay->addWidget(box, 7, c++);
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
    if (Dm)
        cards->setDataSet(Dm->QMelk);
}

void TFrmLstMelk::setupCriteria()
{
    // each box enables the field it governs; a box set from the settings file does the same
    const auto govern = [](QCheckBox* box, std::initializer_list<QWidget*> fields) {
        QObject::connect(box, &QCheckBox::toggled, box, [fields = std::vector<QWidget*>(fields)](bool on) {
            for (QWidget* w : fields)
                w->setEnabled(on);
        });
    };
    govern(ui->chktarikh, {ui->edtt1, ui->edtt2, ui->Label2});
    govern(ui->chkf, {ui->edtf, ui->Label17, ui->edtr});
    govern(ui->chkzabete, {ui->edtzabeteh});
    govern(ui->chkmo, {ui->edtmo});
    govern(ui->chknovmelk, {ui->dbcombobox1});
    govern(ui->chkmahal, {ui->DBComboBox6});
    govern(ui->chkotagh, {ui->edtotagh});
    govern(ui->chknovsanad, {ui->DBComboBox7});
    govern(ui->chkvaziyatmelk, {ui->DBComboBox8});
    govern(ui->chkmn, {ui->DBLookupComboBox1});

    // a click on chkre sets the three deal kinds to its opposite; a deal kind changed
    // otherwise clears chkre
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
    for (QLineEdit* e : {ui->edtf, ui->edtr, ui->edtotagh})
        e->installEventFilter(this);
    connect(ui->edtf, &QLineEdit::textEdited, this, [this] {
        MoneyEditChange(ui->edtf);
        ui->edtr->setText(ui->edtf->text());
    });
    connect(ui->edtr, &QLineEdit::textEdited, this, [this] { MoneyEditChange(ui->edtr); });
    connect(ui->edtotagh, &QLineEdit::editingFinished, this, [this] {
        if (ui->edtotagh->text().isEmpty())
            ui->edtotagh->setText(QStringLiteral("0"));
    });

    if (Dm) {
        ui->DBLookupComboBox1->setListSource(Dm->QMantagheh);
        ui->DBLookupComboBox1->setKeyField(QStringLiteral("MnID"));
        ui->DBLookupComboBox1->setListField(QStringLiteral("Esm"));
    }
    panel1Design_ = CapturePanelDesign(ui->Panel1);
}

void TFrmLstMelk::setupMatchPanel()
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
        edit->setProperty("moneyDigits", r.decimals ? 50 : 50);
        edit->setProperty("moneyDecimals", r.decimals);
        edit->installEventFilter(this);
    }
    for (QLineEdit* e : {ui->edtSellMatch, ui->edtMortgage, ui->edtRent})
        connect(e, &QLineEdit::textEdited, this, [e] { MoneyEditChange(e); });
}

bool TFrmLstMelk::eventFilter(QObject* watched, QEvent* event)
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
        if (watched == ui->edtf || watched == ui->edtr || watched == ui->edtotagh)
            return MoneyEditKeyDown(static_cast<QLineEdit*>(watched), key, 15, QStringLiteral("TRUE"));
        if (auto* e = qobject_cast<QLineEdit*>(watched); e && e->property("moneyDigits").isValid())
            return MoneyEditKeyDown(e, key, 50,
                                    e->property("moneyDecimals").toBool() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    }
    return QWidget::eventFilter(watched, event);
}

void TFrmLstMelk::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QWidget::keyReleaseEvent(event);
}

QString TFrmLstMelk::CriteriaSql() const
{
    QString s = QStringLiteral("select * from t_melk");
    bool joined = false;
    const auto add = [&](const QString& clause) {
        s += (joined ? QStringLiteral(" and ") : QStringLiteral(" where ")) + clause;
        joined = true;
    };
    const QString yes = TRUEPREFIX + QLatin1Char('1');
    const auto boolStr = [&](bool on) { return on ? yes : QStringLiteral("0"); };

    if (ui->ChkDel->isChecked() || ui->ChkNotdel->isChecked()) {
        QString in;
        if (ui->ChkDel->isChecked())
            in = yes;
        if (ui->ChkNotdel->isChecked())
            in += in.isEmpty() ? QStringLiteral("0") : QStringLiteral(",0");
        add(QStringLiteral("hazfshodeh in(") + in + QLatin1Char(')'));
    }
    if (ui->chktarikh->isChecked())
        add(QStringLiteral("TarikhEraeh between ") + db::Q(ui->edtt1->Text()) + QStringLiteral(" and ")
            + db::Q(ui->edtt2->Text()));
    if (ui->chkre->isChecked()) {
        add(QStringLiteral(" (forrahn<>0 or forejareh<>0) "));
    } else if (!(ui->chksell->isChecked() && ui->ChkRahn->isChecked() && ui->ChkEjareh->isChecked())) {
        QString kinds;
        if (ui->chksell->isChecked())
            kinds = QStringLiteral(" forsell<>0 ");
        if (ui->ChkRahn->isChecked() || ui->ChkEjareh->isChecked()) {
            if (ui->chksell->isChecked())
                kinds += QStringLiteral(" or ");
            kinds += QStringLiteral(" forrahn=") + boolStr(ui->ChkRahn->isChecked()) + QStringLiteral(" and forejareh=")
                     + boolStr(ui->ChkEjareh->isChecked());
        }
        // no box ticked: no condition on the deal kind
        if (!kinds.isEmpty())
            add(QLatin1Char('(') + kinds + QLatin1Char(')'));
    }
    if (ui->chkf->isChecked()) {
        QString a, b;
        if (!sqlNumber(ui->edtf->text(), &a) || !sqlNumber(ui->edtr->text(), &b)) {
            showInfo(QStringLiteral("لطفا حدود قيمت را به صورت عدد وارد نماييد"));
            return {};
        }
        const QString range = QStringLiteral(" between ") + a + QStringLiteral(" and ") + b;
        add(QStringLiteral("(f1") + range + QStringLiteral(" or f1_2") + range + QStringLiteral(" or f2") + range
            + QStringLiteral(" or f2_2") + range + QStringLiteral(" or f3") + range + QStringLiteral(" or f3_2") + range
            + QLatin1Char(')'));
    }
    if (ui->chknovmelk->isChecked())
        add(QStringLiteral("novmelk=") + db::Q(ui->dbcombobox1->currentText()));
    if (ui->chkmahal->isChecked())
        add(QStringLiteral("mahal=") + db::Q(ui->DBComboBox6->currentText()));
    if (ui->chkotagh->isChecked()) {
        QString n;
        if (!sqlNumber(ui->edtotagh->text(), &n)) {
            showInfo(QStringLiteral("لطفا تعداد اتاق را به صورت عدد وارد نماييد"));
            return {};
        }
        add(QStringLiteral("TedadOtagh=") + n);
    }
    if (ui->chknovsanad->isChecked())
        add(QStringLiteral("novsanad=") + db::Q(ui->DBComboBox7->currentText()));
    if (ui->chkvaziyatmelk->isChecked())
        add(QStringLiteral("Vaziyat=") + db::Q(ui->DBComboBox8->currentText()));
    if (ui->chkmn->isChecked()) {
        const QVariant key = ui->DBLookupComboBox1->KeyValue();
        if (!key.isNull() && key.isValid())
            add(QStringLiteral("MantaghehID=") + QString::number(key.toLongLong()));
    }
    if (ui->chkzabete->isChecked())
        add(QStringLiteral("zabeteh=") + db::Q(ui->edtzabeteh->text()));
    if (ui->chkmo->isChecked())
        add(QStringLiteral("mo=") + db::Q(ui->edtmo->text()));
    return s;
}

void TFrmLstMelk::btnokClick()
{
    if (!Dm)
        return;
    MatchMode = 0;
    const QString sql = CriteriaSql();
    if (sql.isEmpty())
        return;
    // what is being typed on the property form is saved or dropped first, never lost
    if (!AskSavePending(Dm->QMelk, FRmMelk ? FRmMelk->windowTitle() : windowTitle()))
        return;
    ui->Panel1->hide();
    db::DataSet* ds = Dm->QMelk;
    widgets::guarded([&] {
        ds->Close();
        ds->setSQL(sql);
        ds->Open();
    });
}

void TFrmLstMelk::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TFrmLstMelk::FormShow()
{
    if (MatchMode == 0) {
        LoadPanelStateKeepingDesign(TTools::AppPath() + QStringLiteral("defSearch.ini"),
                                    QStringLiteral("frmlstmelkPanel1"), ui->Panel1, panel1Design_);
        btnokClick();
        ui->Panel1->hide();
    }
    frame_->LoadLayout();
    LoadPanelState(TTools::AppPath() + QStringLiteral("matchState.ini"), QStringLiteral("frmlstmelkPanel4"), ui->Panel4);
    if (Dm)
        for (QComboBox* c : {static_cast<QComboBox*>(ui->dbcombobox1), static_cast<QComboBox*>(ui->DBComboBox7),
                             static_cast<QComboBox*>(ui->DBComboBox8), static_cast<QComboBox*>(ui->DBComboBox6)})
            widgets::guarded([&] { FillComboItems(*Dm, c); });
    ui->Panel4->hide();
}

void TFrmLstMelk::closeEvent(QCloseEvent* event)
{
    MatchMode = 0;
    frame_->SaveLayout();
    QWidget::closeEvent(event);
}

void TFrmLstMelk::btnchangeClick()
{
    if (!frame_->RequireRow())
        return;
    if (FRmMelk) {
        FRmMelk->show();
        FRmMelk->raise();
        FRmMelk->activateWindow();
    }
}

void TFrmLstMelk::btndelClick()
{
    if (!Dm)
        return;
    frame_->DeleteCurrent(windowTitle(), QStringLiteral("آيا رديف انتخاب شده حذف شود؟"), 8,
                          [] { DeleteProperty(*Dm->QMelk); });
}

void TFrmLstMelk::btnrefreshClick()
{
    if (Dm && !AskSavePending(Dm->QMelk, FRmMelk ? FRmMelk->windowTitle() : windowTitle()))
        return;
    frame_->Refresh();
}

void TFrmLstMelk::btnprintClick()
{
    shell::MessageRequest r;
    r.kind = 1;
    r.text = QStringLiteral("توصيه مي شود براي چاپ از دکمه «چاپ جزييات» استفاده نماييد.") + QLatin1Char('\n')
             + QStringLiteral("آيا مي خواهيد از دکمه «چاپ جزييات» به جاي «چاپ» استفاده نماييد؟");
    r.buttons = 4 | 8;
    r.fontSize = 8;
    if (shell::prompter().messageDlg(r) == shell::ResultYes) {
        BitBtn1Click();
        return;
    }
    showInfo(QStringLiteral("لطفا براي خوانا شدن ظاهر گزارش چاپي حتما ستون هاي اضافي را با کليک سمت راست برروي ليست "
                            "املاک و انتخاب «قابل رويت بودن ستون ها» مخفي نماييد."));
    frame_->Print(QStringLiteral("ليست املاک موجود"));
}

void TFrmLstMelk::BitBtn1Click()
{
    showInfo(QStringLiteral("براي چاپ شدن/نشدن تلفن هاي مالک برروي ليست کليک سمت راست نماييد."));
    shell::MessageRequest r;
    r.kind = 2;
    r.text = QStringLiteral("آيا تمامي رديف ها چاپ شوند؟");
    r.buttons = 4 | 8 | 2;
    r.fontSize = 8;
    const int answer = shell::prompter().messageDlg(r);
    if (answer != shell::ResultYes && answer != shell::ResultNo)
        return;
    const QAction* prntel = findChild<QAction*>(QStringLiteral("mnuprntel"));
    if (ShowPropertyListing)
        ShowPropertyListing(prntel && prntel->isChecked(), answer == shell::ResultYes);
}
