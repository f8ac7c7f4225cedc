#include "deals/TFrmHazineh.h"

#include "core/TDm.h"
#include "deals/MoneyBooks.h"
#include "deals/TFrmHazinehNew.h"
#include "forms/FormShared.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/FieldLink.h"
#include "ui/EditHelpers.h"
#include "ui/TTools.h"
#include "ui_TFrmHazineh.h"

TFrmHazineh* FrmHazineh = nullptr;

namespace {

QString firstFieldText(db::DataSet* ds)
{
    return ds && ds->Active() && ds->FieldCount() > 0 ? ds->FieldAt(0)->AsString() : QString();
}

} // namespace

TFrmHazineh::TFrmHazineh(QWidget* parent)
    : TBookList(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TFrmHazineh>())
{
    ui->setupUi(this);
    for (QLineEdit* e : {ui->EdtSumHazineh, ui->EdtSumDaramad}) {
        e->setText(QStringLiteral("0"));
        connect(e, &QLineEdit::textChanged, e, [e] { MoneyEditChange(e); });
    }

    Design d;
    d.dataSet = Dm ? Dm->QHazineh : nullptr;
    if (Dm)
        d.sums = {Dm->QSH, Dm->QSD};
    d.columns = {{QStringLiteral("row"), QStringLiteral("رديف"), 40, true},
                 {QStringLiteral("tarikhv"), QStringLiteral("تاريخ ورود"), 90, true},
                 {QStringLiteral("tarikh"), QStringLiteral("تاريخ"), 90, true},
                 {QStringLiteral("shoomareh"), QStringLiteral("شماره سند"), 80, true},
                 {QStringLiteral("Hname"), QStringLiteral("نام هزينه/درآمد"), 180, true},
                 {QStringLiteral("nov"), QStringLiteral("نوع"), 60, true},
                 {QStringLiteral("Mablagh"), QStringLiteral("مبلغ"), 140, true},
                 {QStringLiteral("Tozihat"), QStringLiteral("توضيحات"), 200, true}};
    d.layoutKey = QStringLiteral("GHazineh");
    d.searchItem = 1;
    d.amountItem = 5;
    d.entry = FrmHazinehNew;
    d.resetCriteria = [this] {
        ui->chktarikh->setChecked(true);
        const QString today = Tools ? Tools->TodayShamsi() : TTools().TodayShamsi();
        ui->edtt2->setText(today);
        ui->edtt1->setText(TTools::SubtractDays(today, 200));
    };
    d.setStatements = [this] {
        const BookStatements s = HazinehStatements(ui->chktarikh->isChecked(), ui->edtt1->Text(), ui->edtt2->Text());
        Dm->QHazineh->setSQL(s.list);
        Dm->QSH->setSQL(s.sum1);
        Dm->QSD->setSQL(s.sum2);
    };
    d.showSums = [this] {
        ui->EdtSumHazineh->setText(firstFieldText(Dm->QSH));
        ui->EdtSumDaramad->setText(firstFieldText(Dm->QSD));
    };
    setupList(Parts::Of(ui.get()), d);

    ui->dbgrid1->setCellStyler([g = ui->dbgrid1](int row, const QString& fieldName, widgets::CellStyle& style) {
        if (fieldName.compare(QLatin1String("nov"), Qt::CaseInsensitive) != 0)
            return;
        db::DataSet* ds = g->dataSet();
        const db::Field* f = ds ? ds->FindField(fieldName) : nullptr;
        if (f)
            style.foreground = KindColour(ds->ValueAt(row, f->Index()).toString());
    });
    connect(ui->BitBtn1, &QAbstractButton::clicked, this, [this] { BitBtn1Click(); });
    connect(ui->btnprint, &QAbstractButton::clicked, this, [this] { btnprintClick(); });
    setWindowTitle(QStringLiteral("هزينه ها"));
}

TFrmHazineh::~TFrmHazineh() = default;

void TFrmHazineh::BitBtn1Click()
{
    const auto [expenses, incomes] = SumSelected(QStringLiteral("nov"), QStringLiteral("هزينه"));
    shell::MessageRequest r;
    r.kind = 1;
    r.text = QStringLiteral("مجموع هزينه ها: ") + TTools::FloatToThousands(expenses) + QStringLiteral("\r\n")
             + QStringLiteral("مجموع درآمدها: ") + TTools::FloatToThousands(incomes);
    r.buttons = 1;
    r.fontSize = 10;
    shell::prompter().messageDlg(r);
}

void TFrmHazineh::btnprintClick()
{
    if (db::DataSet* ds = frame()->dataSet())
        widgets::guarded([&] { ds->setFilter(QString()); });
    frame()->Print(QStringLiteral("ليست هزينه ها"),
                   QStringLiteral("مجموع هزينه ها : ") + ui->EdtSumHazineh->text() + QStringLiteral("\r\n")
                       + QStringLiteral("مجموع درآمدها : ") + ui->EdtSumDaramad->text());
}
