#include "deals/TFrmAddInfo.h"

#include "core/TDm.h"
#include "core/TPrefMng.h"
#include "forms/FormShared.h"
#include "forms/TListFrame.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/FormShow.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui/Validators.h"
#include "ui_TFrmAddInfo.h"

#include <QFocusEvent>
#include <QKeyEvent>

TFrmAddInfo* FrmAddInfoOwner = nullptr;
TFrmAddInfo* FrmAddInfoCust = nullptr;

namespace {

bool editing(const db::DataSet* ds)
{
    return ds && (ds->State() == db::DataSetState::Edit || ds->State() == db::DataSetState::Insert);
}

void showError(const QString& text)
{
    shell::MessageRequest r;
    r.kind = 0;
    r.text = text;
    r.buttons = 1;
    r.fontSize = 8;
    shell::prompter().messageDlg(r);
}

// A kind list kept on the agency connection: key, text, order.
db::DataSet* kindList(QObject* owner, const char* name, const char* key, const char* text,
                      const QStringList& items)
{
    auto* ds = new db::DataSet(Dm ? Dm->Conn.get() : nullptr, owner);
    ds->setObjectName(QString::fromLatin1(name));
    QStringList rows;
    for (int i = 0; i < items.size(); ++i)
        rows << QStringLiteral("select %1 as %2, %3 as %4, %1 as orderbyF")
                    .arg(i + 1)
                    .arg(QString::fromLatin1(key), db::Q(items[i]), QString::fromLatin1(text));
    ds->setSQL(rows.join(QStringLiteral(" union all ")) + QStringLiteral(" order by orderbyF"));
    return ds;
}

} // namespace

TFrmAddInfo::TFrmAddInfo(const QString& prefix, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::TFrmAddInfo>()), prefix_(prefix)
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    const bool owner = prefix_ == QLatin1String("owner");
    setObjectName(owner ? QStringLiteral("TFrmAddInfoOwner") : QStringLiteral("TFrmAddInfoCust"));
    const QString caption = owner ? QStringLiteral("* مشخصات تکميلي مالک *") : QStringLiteral("* مشخصات تکميلي خريدار/مستاجر *");
    setWindowTitle(caption);
    ui->lblHeading->setText(caption);
    QFont heading = ui->lblHeading->font();
    heading.setBold(true);
    ui->lblHeading->setFont(heading);
    ui->Label1->setText(owner ? QStringLiteral("نام مالک") : QStringLiteral("نام خريدار/مستاجر"));

    qPK = kindList(this, "qPK", "personKind", "pkStr",
                   {QStringLiteral("شخص حقيقي"), QStringLiteral("حقوقي غير دولتي"),
                    QStringLiteral("حقوقي دولتي وزارت خانه ها و سازمان ها")});
    qBK = kindList(this, "qBK", "buyerKind", "bkStr",
                   {QStringLiteral("فروش توسط ماشين هاي فروش POS"), QStringLiteral("عادي"),
                    QStringLiteral("طرف معامله خارجي که در ايران اقامت دارد و فعاليت اقتصادي ندارد")});
    widgets::guarded([this] {
        if (qPK->connection()) {
            qPK->Open();
            qBK->Open();
        }
    });

    for (widgets::DBEdit* e : {ui->DBEdit3, ui->DBEdit4, ui->DBEdit5, ui->DBEdit6, ui->DBEdit7})
        e->setProperty("digits", true);
    for (QWidget* w : findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w))
            w->installEventFilter(this);
    connect(ui->BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(); });
    connect(ui->BitBtn2, &QPushButton::clicked, this, [this] { BitBtn2Click(); });
    ui->BitBtn1->setAutoDefault(false);
    ui->BitBtn2->setAutoDefault(false);
    bind();
}

TFrmAddInfo::~TFrmAddInfo() = default;

void TFrmAddInfo::bind()
{
    if (!Dm)
        return;
    db::DataSet* ds = Dm->QSanad;
    const QByteArray p = prefix_.toLatin1();
    const auto col = [&p](const char* s) { return QString::fromLatin1(p + s); };
    const std::pair<widgets::DBEdit*, const char*> edits[] = {
        {ui->DBEdit1, "InitialName"}, {ui->DBEdit2, "LastName"},       {ui->DBEdit3, "NatNO"},
        {ui->DBEdit4, "EconomicCode"}, {ui->DBEdit5, "PhoneCityCode"}, {ui->DBEdit6, "PhoneNO"},
        {ui->DBEdit7, "PostalCode"},  {ui->DBEdit8, "PersonAddress"},
    };
    for (const auto& [e, suffix] : edits) {
        e->setDataSet(ds);
        e->setDataField(col(suffix));
    }
    const auto lookup = [&](widgets::DBLookupComboBox* box, const char* field, db::DataSet* list, const char* key,
                            const char* text) {
        if (field) {
            box->setDataSet(ds);
            box->setDataField(col(field));
        }
        box->setListSource(list);
        box->setKeyField(QString::fromLatin1(key));
        box->setListField(QString::fromLatin1(text));
    };
    lookup(ui->DBLookupComboBox1, "PersonKind", qPK, "personKind", "pkStr");
    lookup(ui->DBLookupComboBox2, "BuyerKind", qBK, "buyerKind", "bkStr");
    lookup(ui->lkProvince, nullptr, Dm->QProvince, "provinceId", "proviceName");
    lookup(ui->lkCity, "CityId", Dm->tblCity, "CityId", "CityName");
}

int TFrmAddInfo::ShowFor()
{
    const db::DataSet* ds = Dm ? Dm->QSanad : nullptr;
    if (!ds || !ds->Active() || (ds->IsEmpty() && !editing(ds))) {
        ShowNoRowMessage();
        return QDialog::Rejected;
    }
    return exec();
}

QString TFrmAddInfo::KeyText(const widgets::DBLookupComboBox* box)
{
    if (!box || box->currentIndex() < 0)
        return QString();
    const QVariant key = box->KeyValue();
    if (!key.isValid() || key.isNull())
        return QString();
    const QString text = key.typeId() == QMetaType::Double ? QString::number(qint64(key.toDouble())) : key.toString();
    return text == QLatin1String("-1") ? QString() : text;
}

void TFrmAddInfo::SaveOldValues()
{
    const db::DataSet* ds = Dm->QSanad;
    const auto text = [&](const char* s) {
        const db::Field* f = ds->FindField(column(s));
        return f ? f->AsString() : QString();
    };
    const auto number = [&](const char* s) {
        const db::Field* f = ds->FindField(column(s));
        return f ? f->AsLargeInt() : 0;
    };
    oldInitialName = text("InitialName");
    oldLastName = text("LastName");
    oldNatNO = text("NatNO");
    oldEconomicCode = text("EconomicCode");
    oldPersonKind = number("PersonKind");
    oldBuyerKind = number("BuyerKind");
    oldPhoneNO = text("PhoneNO");
    oldPhoneCityCode = text("PhoneCityCode");
    oldCityId = number("CityId");
    oldPersonAddress = text("PersonAddress");
    oldPostalCode = text("PostalCode");
}

void TFrmAddInfo::RestoreOldValues()
{
    db::DataSet* ds = Dm->QSanad;
    widgets::guarded([&] {
        const auto text = [&](const char* s, const QString& v) { ds->FieldByName(column(s))->SetAsString(v); };
        const auto number = [&](const char* s, qint64 v) { ds->FieldByName(column(s))->SetAsInteger(v); };
        text("InitialName", oldInitialName);
        text("LastName", oldLastName);
        text("NatNO", oldNatNO);
        text("EconomicCode", oldEconomicCode);
        number("PersonKind", oldPersonKind);
        number("BuyerKind", oldBuyerKind);
        text("PhoneNO", oldPhoneNO);
        text("PhoneCityCode", oldPhoneCityCode);
        number("CityId", oldCityId);
        text("PersonAddress", oldPersonAddress);
        text("PostalCode", oldPostalCode);
    });
}

void TFrmAddInfo::FormShow()
{
    if (!Dm)
        return;
    widgets::guarded([this] {
        if (!qPK->Active() && qPK->connection()) {
            qPK->Open();
            qBK->Open();
        }
    });
    SaveOldValues();
    positionProvinceAndCity();
    ui->DBEdit1->setFocus();
}

void TFrmAddInfo::positionProvinceAndCity()
{
    const db::DataSet* ds = Dm->QSanad;
    const db::Field* city = ds->FindField(column("CityId"));
    const QString cityText = city && !city->IsNull() ? city->AsString() : QString();
    const QString source = ds->State() == db::DataSetState::Insert ? TPrefMng::GetProvinceId() : cityText;
    ui->lkProvince->setKeyValue(source.left(2));
    lkProvinceExit();
    ui->lkCity->setKeyValue(cityText);
}

void TFrmAddInfo::lkProvinceExit()
{
    const QString key = KeyText(ui->lkProvince);
    bool digits = !key.isEmpty();
    for (QChar c : key)
        digits = digits && c.isDigit();
    if (digits)
        widgets::guarded([&] {
            Dm->tblCity->setFilter(QStringLiteral("provinceId = ") + key);
            Dm->tblCity->setFiltered(true);
        });
    ui->lkCity->setKeyValue(-1);
}

bool TFrmAddInfo::CheckValues()
{
    db::DataSet* ds = Dm->QSanad;
    if (!widgets::FieldLink::updateRecord(ds))
        return false;
    const auto text = [&](const char* s) {
        const db::Field* f = ds->FindField(column(s));
        return f ? f->AsString() : QString();
    };
    if (text("InitialName").isEmpty()) {
        showError(QStringLiteral("نام شخص وارد نشده"));
        return false;
    }
    if (text("LastName").isEmpty()) {
        showError(QStringLiteral("نام خانوادگي شخص وارد نشده"));
        return false;
    }
    try {
        const db::Field* kind = ds->FindField(column("PersonKind"));
        ValidateNationalCode(text("NatNO"), kind ? kind->AsInteger() : 0, false);
        ValidateEconomicCode(text("EconomicCode"), true);
    } catch (const TValidationError& e) {
        showError(e.message());
        return false;
    }
    if (KeyText(ui->lkProvince).isEmpty()) {
        showError(QStringLiteral("استان را انتخاب نماييد."));
        return false;
    }
    if (KeyText(ui->lkCity).isEmpty()) {
        showError(QStringLiteral("شهر را انتخاب نماييد."));
        return false;
    }
    try {
        ValidatePostalCode(text("PostalCode"), true);
    } catch (const TValidationError& e) {
        showError(e.message());
        return false;
    }
    return true;
}

void TFrmAddInfo::BitBtn1Click()
{
    if (CheckValues())
        accept();
}

void TFrmAddInfo::BitBtn2Click() { reject(); }

// "انصراف", Escape and the close box alike put the values of the showing back.
void TFrmAddInfo::reject()
{
    if (Dm && editing(Dm->QSanad)) {
        // typed text not yet written is dropped with the rest
        for (widgets::DBEdit* e : findChildren<widgets::DBEdit*>())
            e->link()->setModified(false);
        RestoreOldValues();
    }
    QDialog::reject();
}

void TFrmAddInfo::done(int result)
{
    if (Dm && Dm->QSanad->State() == db::DataSetState::Insert)
        TPrefMng::SetProvinceId(KeyText(ui->lkProvince));
    QDialog::done(result);
}

bool TFrmAddInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->lkProvince && event->type() == QEvent::FocusOut &&
        static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        lkProvinceExit();
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
        QChar c(13);
        EnterAsTab(this, c);
        return true;
    }
    if (watched->property("digits").toBool())
        return MoneyEditKeyDown2(static_cast<QLineEdit*>(watched), key, 15, QStringLiteral("FALSE"));
    return false;
}
