#include "deals/TfrmOwnerInfo.h"
#include "ui_TfrmOwnerInfo.h"

#include "core/TDm.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/FormShow.h"
#include "forms/FormShared.h"
#include "ui/Dialogs.h"
#include "ui/EditHelpers.h"
#include "ui/GridHelpers.h"
#include "ui/Validators.h"

#include <QKeyEvent>

namespace {

// A key that names a chosen row: not empty and not -1.
QString chosen(const QString& key)
{
    return key == QLatin1String("-1") ? QString() : key;
}

QString keyText(const QVariant& key)
{
    if (key.isNull() || !key.isValid())
        return {};
    if (key.typeId() == QMetaType::Double)
        return QString::number(qint64(key.toDouble()));
    return key.toString();
}

QString text(const db::DataSet* ds, const char* name)
{
    const db::Field* f = ds->FindField(QString::fromLatin1(name));
    return f ? f->AsString() : QString();
}

// A bound lookup's choice: the field's value while the box shows a choice too.
QString boundChoice(const db::DataSet* ds, const char* name, const widgets::DBLookupComboBox* box)
{
    const db::Field* f = ds->FindField(QString::fromLatin1(name));
    if (!f || f->IsNull() || chosen(keyText(box->KeyValue())).isEmpty())
        return {};
    return chosen(f->AsString());
}

} // namespace

TfrmOwnerInfo::TfrmOwnerInfo(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), ui(std::make_unique<Ui::TfrmOwnerInfo>()),
      qYourInfo_(new db::DataSet(Dm->Conn.get(), this)), qOffices_(new db::DataSet(Dm->Conn.get(), this))
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    qYourInfo_->setObjectName(QStringLiteral("qYourInfo"));
    qYourInfo_->setSQL(QStringLiteral("select * from yourInfo"));
    qYourInfo_->BeforePost = [this](db::DataSet& ds) { qYourInfoBeforePost(ds); };
    qYourInfo_->AfterOpen = [](db::DataSet& ds) {
        if (db::Field* f = ds.FindField(QStringLiteral("mobileNO")))
            f->OnSetText = [](db::Field& field, const QString& typed) { field.SetAsString(MobileText(typed)); };
    };
    qOffices_->setObjectName(QStringLiteral("qOffices"));
    qOffices_->setSQL(QStringLiteral("select * from mainOffices order by edareKolName"));

    BindFields<widgets::DBEdit>(qYourInfo_, {{ui->DBEdit1, "companyName"},
                                             {ui->DBEdit2, "oldEconomicNo"},
                                             {ui->DBEdit3, "newEconomicNo"},
                                             {ui->DBEdit10, "nationalCode"},
                                             {ui->DBEdit9, "registrationNo"},
                                             {ui->DBEdit6, "moadyName"},
                                             {ui->DBEdit4, "address"},
                                             {ui->DBEdit5, "postalCode"},
                                             {ui->DBEdit7, "telNo"},
                                             {ui->DBEdit11, "mobileNO"},
                                             {ui->DBEdit8, "UserName"}});
    BindFields<widgets::DBRadioGroup>(qYourInfo_, {{ui->radPersonKind, "taxPayerType"},
                                                   {ui->radNationality, "Tabeiat"},
                                                   {ui->radBand, "Band"},
                                                   {ui->radRegStatus, "SabteNam"}});
    BindFields<widgets::DBLookupComboBox>(qYourInfo_, {{ui->lkEdareKol, "EdareKolCode"}, {ui->lkCity, "ShahrCode"}});
    const struct {
        widgets::DBLookupComboBox* box;
        db::DataSet* list;
        const char* key;
        const char* text;
    } lookups[] = {{ui->lkEdareKol, qOffices_, "EdareKolCode", "EdareKolName"},
                   {ui->lkProvince, Dm->QProvince, "provinceId", "proviceName"},
                   {ui->lkCity, Dm->tblCity, "CityId", "CityName"}};
    for (const auto& l : lookups) {
        l.box->setListSource(l.list);
        l.box->setKeyField(QString::fromLatin1(l.key));
        l.box->setListField(QString::fromLatin1(l.text));
    }

    // digits only, at most as many as the code can have
    const struct {
        widgets::DBEdit* edit;
        int digits;
    } digitEdits[] = {{ui->DBEdit2, 20}, {ui->DBEdit3, 30}, {ui->DBEdit10, 11},
                      {ui->DBEdit9, 20}, {ui->DBEdit5, 10}, {ui->DBEdit7, 20}};
    for (const auto& d : digitEdits)
        d.edit->setProperty("digits", d.digits);
    for (QWidget* w : findChildren<QWidget*>())
        if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractButton*>(w))
            w->installEventFilter(this);

    connect(ui->BitBtn1, &QPushButton::clicked, this, &TfrmOwnerInfo::BitBtn1Click);
    connect(ui->BitBtn2, &QPushButton::clicked, this, [this] { done(2); });
    FormCreate();
}

TfrmOwnerInfo::~TfrmOwnerInfo()
{
    if (qYourInfo_->State() == db::DataSetState::Edit || qYourInfo_->State() == db::DataSetState::Insert)
        widgets::guarded([this] { qYourInfo_->Cancel(); });
}

void TfrmOwnerInfo::FormCreate()
{
    widgets::guarded([this] {
        for (db::DataSet* ds : {Dm->QProvince, Dm->tblCity, qOffices_})
            if (!ds->Active())
                ds->Open();
    });
}

void TfrmOwnerInfo::FormShow()
{
    const bool ready = widgets::guarded([this] {
        qYourInfo_->Close();
        qYourInfo_->Open();
        if (qYourInfo_->IsEmpty())
            qYourInfo_->Insert();
        else
            qYourInfo_->Edit();
    });
    if (!ready)
        return;
    const QString city = text(qYourInfo_, "ShahrCode");
    ui->lkProvince->setKeyValue(city.left(2));
    lkProvinceExit();
    ui->lkCity->setKeyValue(city);
}

void TfrmOwnerInfo::lkProvinceExit()
{
    const QString province = keyText(ui->lkProvince->KeyValue());
    if (!province.isEmpty()) {
        bool number = false;
        const qint64 id = province.toLongLong(&number);
        Dm->tblCity->setFilter(QStringLiteral("provinceId = ") + (number ? QString::number(id) : QStringLiteral("-1")));
    }
    ui->lkCity->setKeyValue(-1);
}

void TfrmOwnerInfo::BitBtn1Click()
{
    if (ShowMessageDlg(dkQuestion, QStringLiteral("تاييد صحت اطلاعات"),
                       QStringLiteral("آيا صحت اطلاعات وارد شده را تاييد مي نماييد؟\r\nمسئوليت وارد کردن اطلاعات "
                                      "اشتباه به عهده کاربر خواهد بود."),
                       dbYes | dbNo, 12, QStringLiteral("Times New Roman"))
        == 6)
        done(1);
}

void TfrmOwnerInfo::done(int result)
{
    if (result == 1) {
        if (!widgets::FieldLink::updateRecord(qYourInfo_))
            return;
        if (!widgets::guarded([this] { qYourInfo_->Post(); }))
            return;
        ShowMessageDlg(dkInfo, QString(), QStringLiteral("اطلاعات با موفقيت ثبت شدند."), dbOk);
    } else if (qYourInfo_->State() == db::DataSetState::Edit || qYourInfo_->State() == db::DataSetState::Insert) {
        widgets::guarded([this] { qYourInfo_->Cancel(); });
    }
    QDialog::done(result);
}

TOwnerInfoValues TfrmOwnerInfo::CurrentValues() const
{
    TOwnerInfoValues v;
    v.personKind = ui->radPersonKind->ItemIndex() + 1;
    v.nationality = ui->radNationality->ItemIndex();
    v.band = ui->radBand->ItemIndex();
    v.regStatus = ui->radRegStatus->ItemIndex();
    v.companyName = text(qYourInfo_, "companyName");
    v.moadyName = text(qYourInfo_, "moadyName");
    v.nationalCode = text(qYourInfo_, "nationalCode");
    v.office = boundChoice(qYourInfo_, "EdareKolCode", ui->lkEdareKol);
    v.province = chosen(keyText(ui->lkProvince->KeyValue()));
    v.city = boundChoice(qYourInfo_, "ShahrCode", ui->lkCity);
    v.address = text(qYourInfo_, "address");
    v.postalCode = text(qYourInfo_, "postalCode");
    v.telNo = text(qYourInfo_, "telNo");
    v.mobileNO = text(qYourInfo_, "mobileNO");
    v.userName = text(qYourInfo_, "UserName");
    if (!v.office.isEmpty()) {
        const db::Field* code = qOffices_->FindField(QStringLiteral("EdareKolCode"));
        const db::Field* ostan = qOffices_->FindField(QStringLiteral("ostanCode"));
        for (int row = 0; code && ostan && row < qOffices_->RecordCount(); ++row)
            if (keyText(qOffices_->ValueAt(row, code->Index())) == v.office)
                v.officeProvince = keyText(qOffices_->ValueAt(row, ostan->Index()));
    }
    return v;
}

bool TfrmOwnerInfo::MobileLengthOk(const QString& mobile)
{
    return mobile.size() == 11;
}

QString TfrmOwnerInfo::MobileText(const QString& typed)
{
    return typed.isEmpty() || typed.startsWith(QLatin1Char('0')) ? typed : QLatin1Char('0') + typed;
}

QString TfrmOwnerInfo::CheckOwnerInfo(const TOwnerInfoValues& v)
{
    const bool legal = v.personKind == 2 || v.personKind == 3;
    if (v.personKind < 1 || v.personKind > 3)
        return QStringLiteral("نوع شخص را تعيين نماييد.");
    if (v.nationality < 0)
        return QStringLiteral("تابعيت را تعيين نماييد.");
    if (v.companyName.isEmpty())
        return QStringLiteral("نام فروشگاه/شرکت را وارد نماييد.");
    if (v.moadyName.isEmpty())
        return QStringLiteral("نام مودي اصلي/مدير عامل را وارد نماييد.");
    try {
        ValidateNationalCode(v.nationalCode, v.personKind, false);
    } catch (const TValidationError& e) {
        return e.message();
    }
    if (v.band < 0)
        return QStringLiteral("بند مشموليت را تعيين نماييد.");
    if (legal && v.band != 0)
        return QStringLiteral("بند مشموليت بايستي برروي شرکت باشد.");
    if (!legal && v.band == 0)
        return QStringLiteral("بند مشموليت بايستي الف يا ب باشد.");
    if (chosen(v.office).isEmpty())
        return QStringLiteral("اداره کل مالياتي را تعيين نماييد.");
    if (chosen(v.province).isEmpty())
        return QStringLiteral("استان را تعيين نماييد.");
    if (chosen(v.city).isEmpty())
        return QStringLiteral("استان و شهر را تعيين نماييد.");
    // the office must be one of the chosen province
    if (v.officeProvince != v.province)
        return QStringLiteral("استان ها اشتباه انتخاب شده اند.\r\nاداره کل و استان بايستي يکسان باشند.");
    if (!AddressLengthOk(v.address, false))
        return QStringLiteral("آدرس را وارد نماييد.\r\nآدرس را به صورت کاملتر وارد نماييد.");
    try {
        ValidatePostalCode(v.postalCode, false);
    } catch (const TValidationError& e) {
        return e.message();
    }
    if (v.telNo.isEmpty())
        return QStringLiteral("تلفن را وارد نماييد.");
    if (!MobileLengthOk(v.mobileNO))
        return QStringLiteral("شماره موبايل صحيح نمي باشد.");
    if (v.regStatus < 0)
        return QStringLiteral("وضعيت ثبت نام را تعيين نماييد.");
    if (v.regStatus != 2 && v.userName.isEmpty())
        return QStringLiteral("نام کاربري/کد رهگيري را وارد نماييد.");
    return {};
}

void TfrmOwnerInfo::qYourInfoBeforePost(db::DataSet&)
{
    const QString problem = CheckOwnerInfo(CurrentValues());
    if (problem.isEmpty())
        return;
    ShowMessageDlg(dkError, QString(), problem, dbOk);
    throw db::Abort();
}

bool TfrmOwnerInfo::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            QChar c(13);
            EnterAsTab(this, c);
            return true;
        }
        const QVariant digits = watched->property("digits");
        if (digits.isValid())
            return MoneyEditKeyDown2(static_cast<QLineEdit*>(watched), key, digits.toInt(), QStringLiteral("FALSE"));
    } else if (event->type() == QEvent::FocusOut && watched == ui->lkProvince
               && static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
        lkProvinceExit();
    }
    return QDialog::eventFilter(watched, event);
}
