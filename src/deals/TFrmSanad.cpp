#include "deals/TFrmSanad.h"

#include "core/Geography.h"
#include "core/TDm.h"
#include "core/TPrefMng.h"
#include "deals/DealContract.h"
#include "deals/TFrmAddInfo.h"
#include "deals/TfrmInvoice.h"
#include "forms/TListFrame.h"
#include "forms/FormShared.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/DBRadioGroup.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/FormShow.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui/TTools.h"
#include "ui/Validators.h"
#include "ui_TFrmSanad.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QShowEvent>

TFrmSanad* FrmSanad = nullptr;

namespace {

bool editing(const db::DataSet* ds)
{
    return ds && (ds->State() == db::DataSetState::Edit || ds->State() == db::DataSetState::Insert);
}

QString fieldText(const db::DataSet* ds, const char* name)
{
    const db::Field* f = ds->FindField(QString::fromLatin1(name));
    return f ? f->AsString() : QString();
}

double fieldFloat(const db::DataSet* ds, const char* name)
{
    const db::Field* f = ds->FindField(QString::fromLatin1(name));
    return f ? f->AsFloat() : 0;
}

} // namespace

TFrmSanad::TFrmSanad(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TFrmSanad>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    SetupRecordNavigators(ui->DBNavigator1, ui->DBNavigator2);
    ui->DBRadioGroup1->setItems({QStringLiteral("خريد / فروش"), QStringLiteral("رهن / اجاره")});
    ui->DBRadioGroup1->setValues({QStringLiteral("k"), QStringLiteral("j")});
    ui->DBRadioGroup1->setColumns(2);
    const QStringList states{QStringLiteral("تسويه شده"), QStringLiteral("تسويه نشده"), QStringLiteral("نقدي")};
    for (widgets::DBComboBox* c : {ui->DBComboBox1, ui->DBComboBox2}) {
        c->addItems(states);
        c->installEventFilter(this);
        if (c->lineEdit())
            c->lineEdit()->installEventFilter(this);
    }
    for (widgets::DBEdit* e : {ui->DBEdit10, ui->DBEdit11, ui->DBEdit12}) {
        e->setProperty("money", true);
        connect(e, &QLineEdit::textEdited, e, [e] { MoneyEditChange(e); });
        connect(e, &QLineEdit::textChanged, this, [this] { DBEdit11Change(); });
    }
    for (QWidget* w : std::initializer_list<QWidget*>{ui->DBEdit8, ui->DBEdit7, ui->DBEdit1, ui->DBEdit2, ui->DBEdit11,
                                                      ui->DBEdit3, ui->DBEdit4, ui->DBEdit10, ui->DBEdit12, ui->DBEdit9,
                                                      ui->DBEdit13, ui->DBEdit14})
        w->installEventFilter(this);
    for (widgets::DBEdit* e : {ui->DBEdit13, ui->DBEdit14}) {
        e->setReadOnly(true);
        e->setContextMenuPolicy(Qt::NoContextMenu);
    }
    ui->DBEdit6->setReadOnly(true);

    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(ui->BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    connect(ui->BitBtn3, &QPushButton::clicked, this, [this] { BitBtn3Click(); });
    connect(ui->BitBtn4, &QPushButton::clicked, this, [this] { BitBtn4Click(); });
    connect(ui->btnprint, &QPushButton::clicked, this, [this] { btnprintClick(); });
    connectDataModule();
}

TFrmSanad::~TFrmSanad() = default;

void TFrmSanad::connectDataModule()
{
    if (!Dm)
        return;
    db::DataSet* ds = Dm->QSanad;
    BindFields<widgets::DBEdit>(ds, {{ui->DBEdit6, "TarikhV"},
                                     {ui->DBEdit8, "Tarikhsanad"},
                                     {ui->DBEdit7, "shoomareh"},
                                     {ui->DBEdit5, "SId"},
                                     {ui->DBEdit1, "EsmMalek"},
                                     {ui->DBEdit2, "MoshakhasatMalek"},
                                     {ui->DBEdit11, "ownerDiscount"},
                                     {ui->DBEdit13, "summaryOwner"},
                                     {ui->DBEdit3, "Kharidar"},
                                     {ui->DBEdit4, "Moshakhasatkharidar"},
                                     {ui->DBEdit10, "customerDiscount"},
                                     {ui->DBEdit14, "summaryCust"},
                                     {ui->DBEdit12, "Haghebongah"},
                                     {ui->DBEdit9, "toziaht2"}});
    BindFields<widgets::DBComboBox>(ds, {{ui->DBComboBox1, "paymentState"}, {ui->DBComboBox2, "custPaymentState"}});
    ui->DBRadioGroup1->setDataSet(ds);
    ui->DBRadioGroup1->setDataField(QStringLiteral("Nov"));
    ui->DBNavigator1->setDataSet(ds);
    ui->DBNavigator2->setDataSet(ds);
    for (widgets::DBEdit* e : {ui->DBEdit5, ui->DBEdit6, ui->DBEdit13, ui->DBEdit14})
        connect(e->link(), &widgets::FieldLink::refresh, e, [e] { e->setReadOnly(true); });

    // The number the new row shows; a post of a new row whose number differs from it keeps
    // the typed number, whether or not the edit box was left.
    const db::DataSet::Handler afterInsert = ds->AfterInsert;
    ds->AfterInsert = [this, afterInsert](db::DataSet& d) {
        if (afterInsert)
            afterInsert(d);
        proposedNumber_ = fieldText(&d, "shoomareh");
        ui->DBEdit7->setProperty("tag", 0);
    };
    const db::DataSet::Handler beforePost = ds->BeforePost;
    ds->BeforePost = [this, beforePost](db::DataSet& d) {
        if (d.State() == db::DataSetState::Insert) {
            const bool typed = fieldText(&d, "shoomareh") != proposedNumber_;
            ui->DBEdit7->setProperty("tag", typed ? 1 : 0);
            Dm->SanadNumberTyped = typed;
        }
        if (beforePost)
            beforePost(d);
    };

    connect(Dm, &TDm::insertStarted, this, [this](db::DataSet* d) {
        if (d == Dm->QSanad)
            ui->DBNavigator2->hide();
    });
    connect(Dm, &TDm::insertEnded, this, [this](db::DataSet* d) {
        if (d == Dm->QSanad)
            ui->DBNavigator2->show();
    });
}

TFrmSanad::Totals TFrmSanad::ComputeTotals(const QString& ownerDiscount, const QString& custDiscount,
                                           const QString& commission, double rate)
{
    Totals t;
    const long double d = static_cast<long double>(TTools::StrToFloatSafe(ownerDiscount)) + TTools::StrToFloatSafe(custDiscount);
    const long double a = static_cast<long double>(TTools::StrToFloatSafe(commission)) - d;
    const long double v = static_cast<long double>(rate) / 100 * a;
    t.discount = double(d);
    t.after = double(a);
    t.vat = double(v);
    t.total = double(a + v);
    return t;
}

void TFrmSanad::DBEdit11Change()
{
    const Totals t = ComputeTotals(ui->DBEdit11->text(), ui->DBEdit10->text(), ui->DBEdit12->text(),
                                   TPrefMng::GetTotalTaxRate());
    ui->edtTotalVAT->setText(TTools::FloatToThousands(t.vat));
    ui->edtTotalAmount->setText(TTools::FloatToThousands(t.total));
    ui->edtTotalDiscount->setText(TTools::FloatToThousands(t.discount));
    ui->edtafterDiscount->setText(TTools::FloatToThousands(t.after));
}

void TFrmSanad::ApplyVATVisibility(bool enabled)
{
    DBEdit11Change();
    for (QWidget* w : std::initializer_list<QWidget*>{ui->lblTotalVAT, ui->edtTotalVAT, ui->lblTotalAmount,
                                                      ui->edtTotalAmount, ui->edtTotalPercent, ui->lblTotalPercent})
        w->setVisible(enabled);
    ui->edtTotalPercent->setText(TTools::FloatToStr(TPrefMng::GetTotalTaxRate()));
}

void TFrmSanad::FormShow()
{
    ApplyVATVisibility(TPrefMng::GetVATEnabled());
}

void TFrmSanad::closeEvent(QCloseEvent* event)
{
    if (Dm && !AskSavePending(Dm->QSanad, windowTitle(), true)) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void TFrmSanad::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt)
        RepaintAll(this);
    QWidget::keyReleaseEvent(event);
}

bool TFrmSanad::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (watched == ui->DBEdit13)
            BitBtn1Click();
        else if (watched == ui->DBEdit14)
            BitBtn2Click();
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (watched->property("money").toBool() && !enter)
        return MoneyEditKeyDown2(static_cast<QLineEdit*>(watched), key, 15, QStringLiteral("TRUE"));
    if (!enter)
        return false;
    if (watched == ui->DBEdit13) {
        BitBtn1Click();
        return true;
    }
    if (watched == ui->DBEdit14) {
        BitBtn2Click();
        return true;
    }
    QChar c(13);
    EnterAsTab(this, c);
    return true;
}

bool TFrmSanad::requireSaved()
{
    if (!editing(Dm->QSanad))
        return true;
    AskMessage(QStringLiteral("تغييرات داده شده را ذخيره يا لغو کنيد\r\nسپس مجددا سعي کنيد"), 1, 1);
    return false;
}

void TFrmSanad::BitBtn1Click()
{
    if (FrmAddInfoOwner)
        FrmAddInfoOwner->ShowFor();
}

void TFrmSanad::BitBtn2Click()
{
    if (FrmAddInfoCust)
        FrmAddInfoCust->ShowFor();
}

void TFrmSanad::BitBtn3Click() { partyInvoice(true); }
void TFrmSanad::BitBtn4Click() { partyInvoice(false); }

void TFrmSanad::partyInvoice(bool owner)
{
    if (!Dm || !requireSaved())
        return;
    const db::DataSet* ds = Dm->QSanad;
    if (!ds->Active() || ds->IsEmpty()) {
        ShowNoRowMessage();
        return;
    }
    const QString p = owner ? QStringLiteral("owner") : QStringLiteral("cust");
    const auto col = [&](const char* suffix) { return fieldText(ds, (p + QLatin1String(suffix)).toLatin1().constData()); };
    PrintPartyInvoice(fieldText(ds, owner ? "EsmMalek" : "Kharidar"),
                      fieldText(ds, owner ? "paymentState" : "custPaymentState"),
                      fieldFloat(ds, owner ? "ownerDiscount" : "customerDiscount"),
                      owner ? QStringLiteral("مالک") : QStringLiteral("خريدار/مستاجر"), col("NatNO"), col("EconomicCode"),
                      BuildCityAddress(col("CityId"), col("PersonAddress")), col("PhoneCityCode") + col("PhoneNO"),
                      col("PostalCode"));
}

QString TFrmSanad::BuildCityAddress(const QString& cityId, const QString& address)
{
    QString result;
    try {
        const std::unique_ptr<TCity> city = GetCityById(cityId);
        result = QStringLiteral("استان: ") + city->Province.ProvinceName + QStringLiteral(" شهر: ") + city->CityName;
    } catch (...) {
        // an unknown city prints the address alone
    }
    if (!address.isEmpty())
        result += QLatin1Char(' ') + address;
    return result;
}

void TFrmSanad::PrintPartyInvoice(const QString& name, const QString& paymentState, double discount,
                                  const QString& label, const QString& nationalCode, const QString& economicCode,
                                  const QString& address, const QString& phone, const QString& postalCode)
{
    const db::DataSet* ds = Dm->QSanad;
    TInvoiceDeal deal;
    deal.commission = fieldFloat(ds, "Haghebongah");
    deal.nov = fieldText(ds, "Nov");
    deal.number = fieldText(ds, "shoomareh");
    deal.date = fieldText(ds, "Tarikhsanad");
    deal.remark = fieldText(ds, "toziaht2");
    TInvoiceParty party;
    party.label = label;
    party.name = name;
    party.paymentState = paymentState;
    party.discount = discount;
    party.nationalCode = nationalCode;
    party.economicCode = economicCode;
    party.address = address;
    party.phone = phone;
    party.postalCode = postalCode;
    TfrmInvoice invoice;
    invoice.Fill(deal, party, TInvoiceSettings::Current());
    invoice.Preview();
}

void TFrmSanad::btnprintClick()
{
    if (!Dm || !requireSaved())
        return;
    if (ContractEditorVisible()) {
        AskMessage(QStringLiteral("ابتدا پنجره قرار دادها را ببنديد"), 1, 2);
        BringContractEditorToFront();
        return;
    }
    OpenDealContract();
}
