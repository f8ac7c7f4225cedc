#include "deals/TFrmRepMoameleh.h"

#include "core/TDm.h"
#include "core/TPrefMng.h"
#include "deals/DealStatements.h"
#include "forms/FormShared.h"
#include "forms/TListFrame.h"
#include "platform/db/DataSet.h"
#include "platform/db/Decimal.h"
#include "platform/db/Format.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/MaskEdit.h"
#include "platform/widgets/FormShow.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui/TTools.h"
#include "ui_TFrmRepMoameleh.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>

TFrmRepMoameleh* FrmRepMoameleh = nullptr;
std::function<void()> TFrmRepMoameleh::ShowDealForm;
std::function<bool()> TFrmRepMoameleh::CloseProgram;

namespace {

const char* const kTitle = "ليست معاملات";
const QString kLayoutKey = QStringLiteral("GSanad");
const QString kDateTitle = QStringLiteral("تاريخ سند");
const QString kCommissionTitle = QStringLiteral("حق بنگاه خام");

struct Column {
    const char* field;
    const char* title;
    int width;
};
const Column kColumns[] = {
    {"Row", "رديف", 40},
    {"calnov", "نوع معامله", 80},
    {"shoomareh", "شماره", 60},
    {"Tarikhsanad", "تاريخ سند", 80},
    {"EsmMalek", "نام مالک", 130},
    {"Kharidar", "نام خريدار/مستاجر", 130},
    {"Haghebongah", "حق بنگاه خام", 100},
    {"totalDiscount", "تخفيف", 90},
    {"afterDiscount", "حق بنگاه", 100},
    {"toziaht2", "توضيحات", 160},
    {"VAT", "ارزش افزوده", 90},
    {"Municipal", "عوارض", 80},
    {"totalVAT", "مبلغ کل", 100},
    {"ownerNatNO", "کد ملي مالک", 100},
    {"custNatNO", "کد ملي خريدار", 100},
};

void info(const QString& text, const QString& caption = QString(), int fontSize = 8)
{
    shell::MessageRequest r;
    r.kind = 1;
    r.caption = caption;
    r.text = text;
    r.buttons = 1;
    r.fontSize = fontSize;
    shell::prompter().messageDlg(r);
}

} // namespace

TFrmRepMoameleh::TFrmRepMoameleh(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TFrmRepMoameleh>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    setWindowTitle(QString::fromUtf8(kTitle));
    for (widgets::MaskEdit* e : {ui->edtt1, ui->edtt2}) {
        e->setEditMask(QStringLiteral("9999/99/99"));
        e->setMaxLength(10);
    }
    EnableWith(ui->chktarikh, {ui->edtt1, ui->edtt2, ui->Label2});

    widgets::DBGrid* g = ui->dbgrid1;
    QVector<widgets::GridColumn> cols;
    for (const Column& c : kColumns)
        cols.append({QString::fromLatin1(c.field), QString::fromUtf8(c.title), c.width, true});
    g->setColumns(cols);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionMode(QAbstractItemView::ExtendedSelection);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setCellStyler([g](int row, const QString& fieldName, widgets::CellStyle& style) {
        if (fieldName.compare(QLatin1String("calnov"), Qt::CaseInsensitive) != 0)
            return;
        db::DataSet* ds = g->dataSet();
        const db::Field* nov = ds ? ds->FindField(QStringLiteral("Nov")) : nullptr;
        const bool buy = nov && ds->ValueAt(row, nov->Index()).toString() == QLatin1String("k");
        style.foreground = buy ? QColor(Qt::blue) : QColor(0, 128, 0);
        QFont bold = g->font();
        bold.setBold(true);
        style.font = bold;
    });

    frame_ = new TListFrame(this, TListFrame::PartsOf(ui.get()), kLayoutKey);
    frame_->setDateTitles({kDateTitle});
    frame_->setAmountTitles({kCommissionTitle});
    frame_->FillSearchTitles(2);
    frame_->SetChangeAction([this] { btnchangeClick(); });

    gridMenu_ = new QMenu(this);
    gridMenu_->setObjectName(QStringLiteral("PopupMenu1"));
    QAction* n1 = gridMenu_->addAction(QStringLiteral("قابل رويت بودن ستون ها"));
    n1->setObjectName(QStringLiteral("N1"));
    QAction* n2 = gridMenu_->addAction(QStringLiteral("بازيابي اندازه پيش فرض ستون ها"));
    n2->setObjectName(QStringLiteral("N2"));
    connect(n1, &QAction::triggered, this, [this] { N1Click(); });
    connect(n2, &QAction::triggered, this, [this] { N2Click(); });
    g->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(g, &QWidget::customContextMenuRequested, this,
            [g, this](const QPoint& pos) { gridMenu_->popup(g->viewport()->mapToGlobal(pos)); });

    connect(ui->btnok, &QPushButton::clicked, this, [this] { btnokClick(); });
    connect(ui->btnrefresh, &QPushButton::clicked, this, [this] { btnrefreshClick(); });
    connect(ui->btnchange, &QPushButton::clicked, this, [this] { btnchangeClick(); });
    connect(ui->btndel, &QPushButton::clicked, this, [this] { btndelClick(); });
    connect(ui->btnprint, &QPushButton::clicked, this, [this] { btnprintClick(); });
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(ui->BitBtn2, &QPushButton::clicked, ui->Panel1, &QWidget::show);
    connect(ui->SpeedButton2, &QToolButton::clicked, ui->Panel1, &QWidget::hide);

    if (Dm) {
        g->setDataSet(Dm->QSanad);
        BindFields<widgets::DBEdit>(Dm->QSumHagh, {{ui->dbEdtShare, "sh"},
                                                   {ui->dbEdtVAT, "sVAT"},
                                                   {ui->dbEdtAvarez, "sMunicipal"},
                                                   {ui->dbEdtKol, "stotalVAT"}});
        connect(Dm, &TDm::dealPosted, this, [this] {
            if (isVisible())
                btnrefreshClick();
        });
    }
}

TFrmRepMoameleh::~TFrmRepMoameleh() = default;

DealCriteria TFrmRepMoameleh::Criteria() const
{
    DealCriteria c;
    c.byDate = ui->chktarikh->isChecked();
    c.from = ui->edtt1->text();
    c.to = ui->edtt2->text();
    c.buySell = ui->ChkbuySell->isChecked();
    c.rahn = ui->ChkRahn->isChecked();
    return c;
}

void TFrmRepMoameleh::SetDefaults()
{
    const QString today = Tools ? Tools->TodayShamsi() : TTools().TodayShamsi();
    ui->edtt2->setText(today);
    ui->edtt1->setText(TTools::SubtractDays(today, 185));
    ui->chktarikh->setChecked(true);
    ui->ChkbuySell->setChecked(true);
    ui->ChkRahn->setChecked(true);
    for (QWidget* w : std::initializer_list<QWidget*>{ui->edtt1, ui->edtt2, ui->Label2})
        w->setEnabled(true);
}

bool TFrmRepMoameleh::savePending() { return !Dm || AskSavePending(Dm->QSanad, windowTitle(), true); }

void TFrmRepMoameleh::btnokClick()
{
    if (!savePending())
        return;
    runQueries();
}

void TFrmRepMoameleh::runQueries()
{
    if (!Dm)
        return;
    const DealCriteria c = Criteria();
    const QString where = DealWhere(c);
    const DealRates rates = DealRates::Current();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    widgets::guarded([&] {
        Dm->QSanad->Close();
        Dm->QSanad->setSQL(DealListSql(where, rates, Dm->Conn->dialect()));
        Dm->QSanad->Open();
        Dm->QSumHagh->Close();
        Dm->QSumHagh->setSQL(DealSumsSql(where, rates));
        Dm->QSumHagh->Open();
    });
    QApplication::restoreOverrideCursor();
    subtitle_ = DealSubtitle(c);
}

void TFrmRepMoameleh::reopenSums()
{
    widgets::guarded([] {
        Dm->QSumHagh->Close();
        Dm->QSumHagh->Open();
    });
}

void TFrmRepMoameleh::btnrefreshClick()
{
    if (!Dm || !savePending())
        return;
    frame_->Refresh();
    reopenSums();
}

void TFrmRepMoameleh::btnchangeClick()
{
    if (!frame_->RequireRow())
        return;
    if (ShowDealForm)
        ShowDealForm();
}

void TFrmRepMoameleh::btndelClick()
{
    if (!frame_->RequireRow())
        return;
    frame_->DeleteCurrent(windowTitle(), QStringLiteral("آيا رديف(هاي) انتخاب شده حذف شود؟"), 10);
    reopenSums();
}

TFrmRepMoameleh::Sums TFrmRepMoameleh::SumSelectedDeals()
{
    db::AmountSum after, vat, levy, total;
    db::DataSet* ds = Dm->QSanad;
    // rows are read in place: the current row stays
    try {
        if (ds->Active()) {
            const int fa = ds->FieldByName(QStringLiteral("afterDiscount"))->Index();
            const int fv = ds->FieldByName(QStringLiteral("VAT"))->Index();
            const int fm = ds->FieldByName(QStringLiteral("Municipal"))->Index();
            const int ft = ds->FieldByName(QStringLiteral("totalVAT"))->Index();
            for (int row = 0; row < ds->RecordCount(); ++row) {
                if (!ds->IsRowSelected(row))
                    continue;
                after.add(ds->ValueAt(row, fa).toDouble());
                vat.add(ds->ValueAt(row, fv).toDouble());
                levy.add(ds->ValueAt(row, fm).toDouble());
                total.add(ds->ValueAt(row, ft).toDouble());
            }
        }
    } catch (const std::exception& e) {
        const auto* d = dynamic_cast<const db::DbError*>(&e);
        shell::MessageRequest r;
        r.kind = 0;
        r.caption = QStringLiteral("خطا");
        r.text = QStringLiteral("خطايي در روند برنامه پيش آمد\r\n") + (d ? d->message() : QString::fromUtf8(e.what()));
        r.buttons = 1;
        shell::prompter().messageDlg(r);
    }
    return {TTools::FloatToThousands(after.total()), TTools::FloatToThousands(vat.total()),
            TTools::FloatToThousands(levy.total()), TTools::FloatToThousands(total.total())};
}

void TFrmRepMoameleh::BitBtn1Click()
{
    db::DataSet* ds = Dm ? Dm->QSanad : nullptr;
    if (!ds || !ds->Active() || ds->SelectedCount() == 0) {
        info(QStringLiteral("لطفا ابتدا رديف هاي مورد نظر را انتخاب نماييد."));
        return;
    }
    if (TPrefMng::GetVATEnabled()) {
        const Sums s = SumSelectedDeals();
        info(QStringLiteral("حق بنگاه: ") + s.after + QStringLiteral("\r\n") + QStringLiteral("ارزش افزوده: ") + s.vat +
             QStringLiteral("\r\n") + QStringLiteral("عوارض: ") + s.levy + QStringLiteral("\r\n") +
             QStringLiteral("مجموع کل: ") + s.total);
        return;
    }
    QString sum;
    SumSelectedRows(ui->dbgrid1, QStringLiteral("haghebongah"), sum);
    info(sum);
}

void TFrmRepMoameleh::btnprintClick()
{
    if (!Dm || !Dm->QSanad->Active())
        return;
    const QString title = QString::fromUtf8(kTitle);
    if (!TPrefMng::GetVATEnabled()) {
        frame_->Print(title, QString(), QStringLiteral("Haghebongah"), QStringLiteral("مجموع: "));
        return;
    }
    const int answer = AskMessage(QStringLiteral("آيا تمامي رديف ها چاپ شوند؟"), 4 | 8 | 2, 2);
    if (answer != shell::ResultYes && answer != shell::ResultNo)
        return;
    const bool all = answer == shell::ResultYes;
    Sums s;
    if (all)
        s = {ui->dbEdtShare->text(), ui->dbEdtVAT->text(), ui->dbEdtAvarez->text(), ui->dbEdtKol->text()};
    else
        s = SumSelectedDeals();
    const QString footer = QStringLiteral("مجموع حق بنگاه: ") + s.after + QStringLiteral("\r\n") +
                           QStringLiteral("ارزش افزوده: ") + s.vat + QStringLiteral("\r\n") + QStringLiteral("عوارض: ") +
                           s.levy + QStringLiteral("\r\n") + QStringLiteral("* ارزش افزوده: ") +
                           ui->edtVATPercent->text() + QStringLiteral(" درصد   ") + QStringLiteral("عوارض: ") +
                           ui->edtMuniPercent->text() + QStringLiteral(" درصد   ") + QStringLiteral("مجموع: ") +
                           ui->edtTotalPercent->text() + QStringLiteral(" درصد *");
    frame_->PrintRows(title + subtitle_, footer, all);
}

void TFrmRepMoameleh::ApplyVATColumns(bool enabled)
{
    widgets::DBGrid* g = ui->dbgrid1;
    QVector<widgets::GridColumn> cols = g->columns();
    const widgets::GridColumn* after = nullptr;
    for (const widgets::GridColumn& c : cols)
        if (c.fieldName.toLower() == QLatin1String("afterdiscount")) {
            after = &c;
            break;
        }
    const int width = after && after->visible ? after->width : -1;
    for (widgets::GridColumn& c : cols) {
        const QString f = c.fieldName.toLower();
        if (f != QLatin1String("vat") && f != QLatin1String("municipal") && f != QLatin1String("totalvat"))
            continue;
        c.visible = enabled;
        if (enabled && width > 0)
            c.width = width;
    }
    g->setColumns(cols);
    const DealRates rates = DealRates::Current();
    ui->edtTotalPercent->setText(TTools::FloatToStr(rates.total()));
    ui->edtVATPercent->setText(TTools::FloatToStr(rates.vat));
    ui->edtMuniPercent->setText(TTools::FloatToStr(rates.municipal));
    ui->pnlVAT->setVisible(enabled);
}

void TFrmRepMoameleh::N1Click() { ChooseGridColumns(ui->dbgrid1); }

void TFrmRepMoameleh::N2Click()
{
    const int answer = AskMessage(
        QStringLiteral("اين عمل باعث راه اندازي مجدد نرم افزار خواهد شد.\r\nآيا ادامه مي دهيد؟"), 4 | 8, 2);
    if (answer != shell::ResultYes)
        return;
    QFile::remove(AppFolder() + kLayoutKey);
    info(QStringLiteral("لطفا مجددا وارد نرم افزار شويد."));
    // the program closes the usual way, record forms asking about their changes; the
    // layout is not saved again on the way out
    layoutReset_ = true;
    if (!CloseProgram || !CloseProgram())
        layoutReset_ = false;
}

void TFrmRepMoameleh::FormShow()
{
    SetDefaults();
    if (savePending())
        runQueries();
    frame_->LoadLayout();
    ApplyVATColumns(TPrefMng::GetVATEnabled());
}

void TFrmRepMoameleh::closeEvent(QCloseEvent* event)
{
    if (!layoutReset_)
        frame_->SaveLayout();
    QWidget::closeEvent(event);
}

void TFrmRepMoameleh::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QWidget::keyReleaseEvent(event);
}

