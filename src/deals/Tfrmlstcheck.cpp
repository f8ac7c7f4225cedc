#include "deals/Tfrmlstcheck.h"

#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "deals/MoneyBooks.h"
#include "deals/TFrmCheck.h"
#include "forms/FormShared.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBEdit.h"
#include "ui/TTools.h"
#include "ui_Tfrmlstcheck.h"

Tfrmlstcheck* frmlstcheck = nullptr;

Tfrmlstcheck::Tfrmlstcheck(QWidget* parent) : TBookList(parent, Qt::Window), ui(std::make_unique<Ui::Tfrmlstcheck>())
{
    ui->setupUi(this);
    if (Dm) {
        ui->DBEdit2->setDataSet(Dm->Qsumcd);
        ui->DBEdit2->setDataField(QStringLiteral("sd"));
        ui->DBEdit1->setDataSet(Dm->QsumcP);
        ui->DBEdit1->setDataField(QStringLiteral("sp"));
    }

    Design d;
    d.dataSet = Dm ? Dm->QCheck : nullptr;
    if (Dm)
        d.sums = {Dm->Qsumcd, Dm->QsumcP};
    d.columns = {{QStringLiteral("row"), QStringLiteral("رديف"), 40, true},
                 {QStringLiteral("Tarikhv"), QStringLiteral("تاريخ ورود"), 90, true},
                 {QStringLiteral("Tarikh"), QStringLiteral("تاريخ"), 90, true},
                 {QStringLiteral("shoomareh"), QStringLiteral("شماره سند"), 90, true},
                 {QStringLiteral("bank"), QStringLiteral("بانک"), 100, true},
                 {QStringLiteral("hesabno"), QStringLiteral("شماره حساب"), 100, true},
                 {QStringLiteral("shakhs"), QStringLiteral("نام شخص"), 130, true},
                 {QStringLiteral("sharh"), QStringLiteral("شرح"), 150, true},
                 {QStringLiteral("mablagh"), QStringLiteral("مبلغ"), 130, true},
                 {QStringLiteral("Vaziyat"), QStringLiteral("وضعيت"), 80, true},
                 {QStringLiteral("nov"), QStringLiteral("دريافت/پرداخت"), 80, true},
                 {QStringLiteral("novsanad"), QStringLiteral("نوع سند"), 70, true}};
    d.layoutKey = QStringLiteral("GCheck");
    d.searchItem = 2;
    d.amountItem = 7;
    d.entry = FrmCheck;
    d.resetCriteria = [this] {
        ui->chktarikh->setChecked(false);
        ui->ChkbuySell->setChecked(true);
        ui->ChkRahn->setChecked(true);
        ui->ChkMovaghat->setChecked(false);
        ui->edtsearch->setFocus();
    };
    d.setStatements = [this] {
        ChequeCriteria c;
        c.dated = ui->chktarikh->isChecked();
        c.t1 = ui->edtt1->Text();
        c.t2 = ui->edtt2->Text();
        c.received = ui->ChkbuySell->isChecked();
        c.paid = ui->ChkRahn->isChecked();
        c.deletedOnly = ui->ChkMovaghat->isChecked();
        const BookStatements s = ChequeStatements(c);
        Dm->QCheck->setSQL(s.list);
        Dm->Qsumcd->setSQL(s.sum1);
        Dm->QsumcP->setSQL(s.sum2);
    };
    setupList(Parts::Of(ui.get()), d);

    ui->dbgrid1->setCellStyler([g = ui->dbgrid1](int row, const QString& fieldName, widgets::CellStyle& style) {
        if (fieldName.compare(QLatin1String("Vaziyat"), Qt::CaseInsensitive) != 0)
            return;
        db::DataSet* ds = g->dataSet();
        const db::Field* state = ds ? ds->FindField(fieldName) : nullptr;
        const db::Field* due = ds ? ds->FindField(QStringLiteral("Tarikh")) : nullptr;
        if (!state || !due)
            return;
        const QString today = Tools ? Tools->TodayShamsi() : TTools().TodayShamsi();
        const QColor c = DueColour(ds->ValueAt(row, state->Index()).toString(), ds->ValueAt(row, due->Index()).toString(), today);
        if (c.isValid())
            style.background = c;
    });
    connect(ui->BitBtn1, &QAbstractButton::clicked, this, [this] { BitBtn1Click(); });
    connect(ui->btnprint, &QAbstractButton::clicked, this, [this] { btnprintClick(); });
    connect(ui->edtsearch, &QLineEdit::returnPressed, this, [this] { btnchangeClick(); });
    setWindowTitle(QStringLiteral("گزارش چک ها"));
}

Tfrmlstcheck::~Tfrmlstcheck() = default;

void Tfrmlstcheck::BitBtn1Click()
{
    const auto [paid, received] = SumSelected(QStringLiteral("nov"), QStringLiteral("پرداختي"));
    shell::MessageRequest r;
    r.kind = 1;
    r.text = QStringLiteral("مجموع اسناد پرداختي: ") + TTools::FloatToThousands(paid) + QStringLiteral("\r\n")
             + QStringLiteral("مجموع اسناد دريافتي: ") + TTools::FloatToThousands(received);
    r.buttons = 1;
    r.fontSize = 10;
    shell::prompter().messageDlg(r);
}

void Tfrmlstcheck::btnprintClick()
{
    AskMessage(QStringLiteral("لطفا براي خوانا شدن ظاهر گزارش چاپي حتما ستون هاي اضافي را با کليک سمت راست برروي ليست چک ها و انتخاب «قابل رويت بودن ستون ها» مخفي نماييد."),
               1, 1);
    frame()->Print(QStringLiteral("دفتر اسناد"), QStringLiteral("مجموع اسناد دريافتي : ") + ui->DBEdit2->text()
                                                    + QStringLiteral("\r\n") + QStringLiteral("مجموع اسناد پرداختي : ")
                                                    + ui->DBEdit1->text());
}
