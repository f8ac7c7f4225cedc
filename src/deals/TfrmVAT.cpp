#include "deals/TfrmVAT.h"
#include "ui_TfrmVAT.h"

#include "core/TPrefMng.h"
#include "deals/TfrmVATContract.h"
#include "ui/Dialogs.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui/TTools.h"

#include <QApplication>
#include <QKeyEvent>

namespace {

const QString kCheckAll = QStringLiteral("لطفا تمامي اطلاعات را با دقت وارد نماييد");

bool rateOk(double rate) { return rate >= 1 && rate <= 90; }

} // namespace

void CloseVisibleDealList()
{
    // the deal list computes its VAT columns from the rates of its last run
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("TFrmRepMoameleh") && w->isVisible())
            w->close();
}

TfrmVAT::TfrmVAT(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), ui(std::make_unique<Ui::TfrmVAT>())
{
    ui->setupUi(this);
    connect(ui->chkActivation, &QCheckBox::toggled, this, &TfrmVAT::chkActivationClick);
    connect(ui->edtVAT, &QLineEdit::textChanged, this, &TfrmVAT::edtVATChange);
    connect(ui->edtMUT, &QLineEdit::textChanged, this, &TfrmVAT::edtVATChange);
    connect(ui->BitBtn1, &QPushButton::clicked, this, &TfrmVAT::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, &QDialog::reject);
    for (QWidget* w : {static_cast<QWidget*>(ui->chkActivation), static_cast<QWidget*>(ui->edtVAT),
                       static_cast<QWidget*>(ui->edtMUT)})
        w->installEventFilter(this);
    FormCreate();
}

TfrmVAT::~TfrmVAT() = default;

void TfrmVAT::FormCreate()
{
    ui->edtVAT->setText(TTools::FloatToStr(TPrefMng::GetVATVal()));
    ui->edtMUT->setText(TTools::FloatToStr(TPrefMng::GetMunicipalVal()));
    ui->chkActivation->setChecked(TPrefMng::GetVATEnabled());
    ui->pnlVATConfig->setVisible(ui->chkActivation->isChecked());
    adjustSize();
}

void TfrmVAT::chkActivationClick()
{
    const bool on = ui->chkActivation->isChecked();
    if (isVisible() && on) {
        TfrmVATContract contract(this);
        if (contract.exec() == 1) {
            ui->pnlVATConfig->show();
        } else {
            ui->pnlVATConfig->hide();
            QSignalBlocker block(ui->chkActivation);
            ui->chkActivation->setChecked(false);
        }
    } else {
        ui->pnlVATConfig->setVisible(on);
    }
    adjustSize();
}

void TfrmVAT::edtVATChange()
{
    ui->edtTotalVAT->setText(
        TTools::FloatToStr(TTools::StrToFloatSafe(ui->edtVAT->text()) + TTools::StrToFloatSafe(ui->edtMUT->text())));
}

QString TfrmVAT::RatesProblem(const QString& vat, const QString& levy)
{
    const double v = TTools::StrToFloatSafe(vat);
    const double m = TTools::StrToFloatSafe(levy);
    // the total as the window shows it
    const double total = TTools::StrToFloatSafe(TTools::FloatToStr(v + m));
    for (double rate : {v, m, total})
        if (!rateOk(rate))
            return QStringLiteral("اعداد وارد شده صحيح نمي باشند\r\n") + kCheckAll;
    return {};
}

void TfrmVAT::BitBtn1Click()
{
    const bool on = ui->chkActivation->isChecked();
    if (!ui->pnlVATConfig->isHidden()) {
        if (ui->edtVAT->text().isEmpty() || ui->edtMUT->text().isEmpty()) {
            ShowMessageDlg(dkInfo, QString(), kCheckAll, dbOk);
            return;
        }
        const QString problem = RatesProblem(ui->edtVAT->text(), ui->edtMUT->text());
        if (!problem.isEmpty()) {
            ShowMessageDlg(dkInfo, QString(), problem, dbOk);
            return;
        }
    }
    double vat = 0, levy = 0;
    if (on) {
        if (!movedUp_) {
            movedUp_ = true;
            move(x(), y() - 150);
        }
        if (ShowMessageDlg(dkQuestion, QString(), QStringLiteral("درستي اطلاعات وارد شده را تاييد مي نماييد؟"),
                           dbYes | dbNo)
            != 6)
            return;
        vat = TTools::StrToFloatSafe(ui->edtVAT->text());
        levy = TTools::StrToFloatSafe(ui->edtMUT->text());
    } else if (ShowMessageDlg(dkQuestion, QString(),
                              QStringLiteral("ماليات بر ارزش افزوده غير فعال خواهد شد.\r\nآيا ادامه مي دهيد؟"),
                              dbYes | dbNo)
               != 6) {
        return;
    }
    if (!TPrefMng::SetVATVal(vat) || !TPrefMng::SetMunicipalVal(levy) || !TPrefMng::SetVATEnabled(on)) {
        ShowMessageDlg(dkError, QString(),
                       QStringLiteral("خطايي در روند برنامه پيش آمد\r\n") + TPrefMng::ConfigFilePath(), dbOk);
        return;
    }
    accept();
    CloseVisibleDealList();
}

bool TfrmVAT::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QChar c(13);
            EnterAsTab(this, c);
            return true;
        }
        if (watched == ui->edtVAT || watched == ui->edtMUT)
            return MoneyEditKeyDown(static_cast<QLineEdit*>(watched), key, 5, QStringLiteral("TRUE"));
    }
    return QDialog::eventFilter(watched, event);
}

void ShowVATSettings()
{
    TfrmVAT form(QApplication::activeWindow());
    form.exec();
}
