// Record handlers of the data module: defaults on insert, checks before post, typed
// amounts and dates, the rights gate, document numbers, and the calculated fields.
#include "core/TDm.h"

#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/TPrefMng.h"
#include "platform/db/DataSet.h"
#include "platform/db/Format.h"
#include "ui/Dialogs.h"
#include "ui/TTools.h"

namespace {

const QString kAmount = QStringLiteral("###,###,###,###,##0.###");
const QString kTahoma = QStringLiteral("tahoma");

QString u(const char* s) { return QString::fromUtf8(s); }

// The program's tools; before the main window made them, tools on the system clock.
const TTools& tools()
{
    static const TTools fallback;
    return Tools ? *Tools : fallback;
}

db::Field* field(db::DataSet& ds, const char* name) { return ds.FindField(QString::fromLatin1(name)); }

QString text(db::DataSet& ds, const char* name)
{
    const db::Field* f = field(ds, name);
    return f ? f->AsString() : QString();
}

bool flag(db::DataSet& ds, const char* name)
{
    const db::Field* f = field(ds, name);
    return f && f->AsBoolean();
}

// Fields the upgrade adds may be missing from an older database: such a default is skipped.
void set(db::DataSet& ds, const char* name, const QVariant& value)
{
    if (db::Field* f = field(ds, name))
        f->SetValue(value);
}

bool stored(const db::Field* f)
{
    return f->Kind() == db::FieldKind::Data && !f->BaseColumn().isEmpty() && !f->ReadOnly();
}

void setAllBooleans(db::DataSet& ds, bool value)
{
    for (int i = 0; i < ds.FieldCount(); ++i) {
        db::Field* f = ds.FieldAt(i);
        if (stored(f) && f->DataType() == db::FieldType::Boolean)
            f->SetAsBoolean(value);
    }
}

void refuse(int kind, const QString& message, int fontSize)
{
    ShowMessageDlg(kind, QString(), message, dbOk, fontSize, kTahoma, 0);
    throw db::Abort();
}

bool inserting(const db::DataSet& ds) { return ds.State() == db::DataSetState::Insert; }

// ---- calculated fields ----

// The text is cut to the column's width.
void setCalc(db::DataSet& ds, const char* name, const QVariant& value)
{
    db::Field* f = field(ds, name);
    if (!f)
        return;
    if (value.typeId() == QMetaType::QString && f->Size() > 0)
        f->SetValue(value.toString().left(f->Size()));
    else
        f->SetValue(value);
}

QString amountText(db::DataSet& ds, const char* name)
{
    const db::Field* f = field(ds, name);
    if (!f || f->IsNull())
        return QString();
    return db::formatNumber(f->AsFloat(), kAmount);
}

struct Condition {
    const char* kind;
    const char* amount;
    const char* rent;
    const char* terms;
};

// firstKind: "فروش" for a property, "خريد" for a demand.
QString conditionText(db::DataSet& ds, const Condition& c, const QString& firstKind)
{
    const QString kind = text(ds, c.kind);
    const QString gap = QStringLiteral("   ");
    const QString amount = amountText(ds, c.amount);
    const QString terms = text(ds, c.terms);
    if (kind == firstKind || kind == u("اجاره کامل") || kind == u("رهن کامل"))
        return kind + QStringLiteral(" : ") + amount + gap + terms;
    if (kind == u("رهن و اجاره"))
        return u("رهن  : ") + amount + u("   اجاره : ") + amountText(ds, c.rent) + gap + terms;
    return QStringLiteral("---");
}

QString phonesText(db::DataSet& ds, const char* home, const char* mobile, const char* job)
{
    QString out;
    if (!text(ds, home).isEmpty())
        out += u(" خانه:") + text(ds, home);
    if (!text(ds, mobile).isEmpty())
        out += u("موبايل:") + text(ds, mobile);
    if (!text(ds, job).isEmpty())
        out += u(" محل کار:") + text(ds, job);
    return out;
}

QString partyText(db::DataSet& ds, const char* natNo, const char* economicCode, const char* postalCode)
{
    return u("کد/شناسه ملي: ") + text(ds, natNo) + QLatin1Char(' ') + u("کد اقتصادي: ") + text(ds, economicCode)
         + QLatin1Char(' ') + u("کد پستي: ") + text(ds, postalCode);
}

// Fields whose typed text goes through the amount and date handlers.
struct FieldHandlers {
    std::vector<const char*> money;
    std::vector<const char*> dates;
};

void attachFieldHandlers(db::DataSet& ds, const FieldHandlers& h)
{
    for (const char* name : h.money)
        if (db::Field* f = field(ds, name))
            f->OnSetText = &TDm::QMelkGhymatHarMeterSetText;
    for (const char* name : h.dates)
        if (db::Field* f = field(ds, name))
            f->OnValidate = &TDm::QMelkTarikhEraehValidate;
}

} // namespace

// ---- shared pieces ----

void TDm::FillNullFields(db::DataSet& ds)
{
    for (int i = 0; i < ds.FieldCount(); ++i) {
        db::Field* f = ds.FieldAt(i);
        if (!stored(f) || !f->IsNull())
            continue;
        QVariant value;
        switch (f->DataType()) {
        case db::FieldType::String: value = QStringLiteral(""); break;
        case db::FieldType::Integer:
        case db::FieldType::SmallInt: value = qint64(0); break;
        case db::FieldType::Float:
        case db::FieldType::Currency: value = 0.0; break;
        case db::FieldType::Boolean: value = false; break;
        default: continue;
        }
        f->SetValue(value);
    }
}

void TDm::QMelkGhymatHarMeterSetText(db::Field& field, const QString& text)
{
    field.SetValue(TTools::StripThousands(text));
}

void TDm::QMelkTarikhEraehValidate(db::Field& field)
{
    // a date typed or chosen in a control is checked, an emptied one too (refused, the old
    // one stays); the program's own assignments may leave a date empty
    if (field.AsString().isEmpty() && !field.SettingText())
        return;
    if (!tools().ValidateShamsiDate(field.AsString(), 0))
        throw db::Abort();
}

void TDm::QMelkBeforeDelete(db::DataSet&)
{
    if (!UserCanChange)
        throw db::DbError(db::ErrorCategory::Other, u("امکان حذف يا تغيير دادن اطلاعات براي کاربر فعلي وجود ندارد"));
}

// ---- properties ----

void TDm::QMelkAfterInsert(db::DataSet& ds)
{
    setAllBooleans(ds, false);
    set(ds, "MantaghehID", qint64(0));
    set(ds, "TarikhVoorod", tools().TodayShamsi());
    set(ds, "SaatVoorod", tools().NowHHmm());
    set(ds, "tarikheraeh", tools().TodayShamsi());
    set(ds, "Hazfshodeh", false);
    for (int i = 0; i < FeatureCount; ++i)
        set(ds, Features()[i].titleColumn, FeatureCaption(i));
    emit insertStarted(&ds);
}

void TDm::QMelkBeforePost(db::DataSet& ds)
{
    if (!flag(ds, "ForSell") && !flag(ds, "ForRahn") && !flag(ds, "ForEjareh"))
        refuse(dkInfo, u("لطفا فروشي ، رهني يا اجاره اي بودن مورد را مشخص کنيد"), 8);
    FillNullFields(ds);
}

void TDm::QMelkAfterPost(db::DataSet& ds) { emit insertEnded(&ds); }
void TDm::QMelkAfterCancel(db::DataSet& ds) { emit insertEnded(&ds); }

// ---- demands ----

void TDm::QNiyazAfterInsert(db::DataSet& ds)
{
    setAllBooleans(ds, false);
    set(ds, "MnId", qint64(0));
    set(ds, "tarikhv", tools().TodayShamsi());
    set(ds, "saatv", tools().NowHHmm());
    set(ds, "tarikheraeh", tools().TodayShamsi());
    set(ds, "hazfshodeh", false);
    emit insertStarted(&ds);
}

void TDm::QNiyazBeforePost(db::DataSet& ds)
{
    if (!flag(ds, "kharid") && !flag(ds, "Rahn") && !flag(ds, "Ejareh"))
        refuse(dkInfo, u("لطفا خريد ، رهني يا اجاره اي بودن مورد را مشخص کنيد"), 8);
    FillNullFields(ds);
}

void TDm::QNiyazAfterPost(db::DataSet& ds) { emit insertEnded(&ds); }
void TDm::QNiyazAfterCancel(db::DataSet& ds) { emit insertEnded(&ds); }

// ---- deals ----

void TDm::QSanadAfterInsert(db::DataSet& ds)
{
    const QString today = tools().TodayShamsi();
    set(ds, "TarikhV", today);
    set(ds, "saatv", tools().NowHHmm());
    set(ds, "Tarikhsanad", today);
    set(ds, "tarikhstart", text(ds, "Tarikhsanad"));
    set(ds, "tarikhend", text(ds, "Tarikhsanad"));
    set(ds, "Nov", QStringLiteral("j"));
    set(ds, "ownerPersonKind", qint64(1));
    set(ds, "ownerBuyerKind", qint64(2));
    set(ds, "custPersonKind", qint64(1));
    set(ds, "custBuyerKind", qint64(2));
    emit insertStarted(&ds);
    SanadProposedNumber = NextNumber(QStringLiteral("snum"));
    set(ds, "shoomareh", SanadProposedNumber);
    SanadNumberTyped = false;
    SanadClaim = {};
}

void TDm::QSanadBeforePost(db::DataSet& ds)
{
    FillNullFields(ds);
    if (!inserting(ds))
        return;
    SettleNumber(ds, QStringLiteral("snum"), SanadProposedNumber, SanadNumberTyped, SanadClaim);
}

void TDm::SettleNumber(db::DataSet& ds, const QString& column, const QString& proposed, bool markedTyped,
                       NumberClaim& claim)
{
    const QString shown = text(ds, "shoomareh");
    if (!claim.number.isEmpty() && shown == claim.number) {
        // a save tried again: the program's own number, kept when its claim still stands
        if (claim.kept)
            return;
    } else if (markedTyped || shown != proposed) {
        if (!shown.isEmpty())
            WriteBackCounter(column, shown);
        return;
    }
    const bool joined = Conn->inTransaction();
    claim.number = IncrementCounter(column);
    claim.kept = !joined;
    set(ds, "shoomareh", claim.number);
}

void TDm::QSanadAfterPost(db::DataSet& ds)
{
    emit insertEnded(&ds);
    emit dealPosted();
}

void TDm::QSanadAfterCancel(db::DataSet& ds) { emit insertEnded(&ds); }

// ---- regions ----

void TDm::QMantaghehBeforePost(db::DataSet& ds)
{
    if (text(ds, "Esm").isEmpty())
        refuse(dkInfo, u("نام منطقه وارد نشده"), 8);
    FillNullFields(ds);
}

// ---- expenses and incomes ----

void TDm::QHazinehAfterInsert(db::DataSet& ds)
{
    set(ds, "tarikhv", tools().TodayShamsi());
    set(ds, "tarikh", tools().TodayShamsi());
    HazinehProposedNumber = NextNumber(QStringLiteral("hnum"));
    set(ds, "shoomareh", HazinehProposedNumber);
    set(ds, "nov", u("هزينه"));
    HazinehNumberTyped = false;
    HazinehClaim = {};
}

void TDm::QHazinehBeforePost(db::DataSet& ds)
{
    if (text(ds, "Hname").isEmpty())
        refuse(dkInfo, u("نام هزينه وارد نشده است"), 8);
    if (inserting(ds))
        SettleNumber(ds, QStringLiteral("hnum"), HazinehProposedNumber, HazinehNumberTyped, HazinehClaim);
    FillNullFields(ds);
}

void TDm::QHazinehAfterPost(db::DataSet& ds) { emit entryEnded(&ds); }
void TDm::QHazinehAfterCancel(db::DataSet& ds) { emit entryEnded(&ds); }

// ---- cheques ----

void TDm::QCheckAfterInsert(db::DataSet& ds)
{
    setAllBooleans(ds, false);
    set(ds, "Tarikhv", tools().TodayShamsi());
    if (LastChequeValues.set) {
        set(ds, "vaziyat", LastChequeValues.vaziyat);
        set(ds, "nov", LastChequeValues.nov);
        set(ds, "novsanad", LastChequeValues.novsanad);
        set(ds, "hesabno", LastChequeValues.hesabno);
        bool ok = false;
        const qint64 n = TTools::StrToInt64Safe(LastChequeValues.shoomareh, &ok);
        set(ds, "shoomareh", ok ? QString::number(n + 1) : LastChequeValues.shoomareh);
    } else {
        set(ds, "Vaziyat", u("پاس نشده"));
        set(ds, "nov", u("دريافتي"));
        set(ds, "novsanad", u("چک"));
    }
}

void TDm::QCheckBeforePost(db::DataSet& ds)
{
    const QString date = text(ds, "Tarikh");
    if (date.isEmpty())
        refuse(dkQuestion, u("تاريخ سند وارد نشده است"), 10);
    if (!tools().ValidateShamsiDate(date, 0))
        throw db::Abort();
    if (inserting(ds)) {
        LastChequeValues.vaziyat = text(ds, "vaziyat");
        LastChequeValues.nov = text(ds, "nov");
        LastChequeValues.novsanad = text(ds, "novsanad");
        LastChequeValues.hesabno = text(ds, "hesabno");
        LastChequeValues.shoomareh = text(ds, "shoomareh");
        LastChequeValues.set = true;
    }
    FillNullFields(ds);
}

void TDm::QCheckAfterPost(db::DataSet& ds) { emit entryEnded(&ds); }
void TDm::QCheckAfterCancel(db::DataSet& ds) { emit entryEnded(&ds); }

// ---- phone book, contract templates, documents ----

void TDm::QTelsBeforePost(db::DataSet& ds) { FillNullFields(ds); }
void TDm::QTelsAfterPost(db::DataSet& ds) { emit entryEnded(&ds); }
void TDm::QTelsAfterCancel(db::DataSet& ds) { emit entryEnded(&ds); }

void TDm::QGhovLBeforePost(db::DataSet& ds) { FillNullFields(ds); }

void TDm::QDocsBeforeDelete(db::DataSet&)
{
    if (ShowMessageDlg(dkQuestion, QString(), u("آيا رديف انتخاب شده حذف شود؟"), dbYes | dbNo, 8, kTahoma, 0) != 6)
        throw db::Abort();
}

// ---- users ----

void TDm::UQAfterInsert(db::DataSet& ds)
{
    // every right and the default picture
    setAllBooleans(ds, true);
    if (!NewUserPicture.isEmpty())
        if (db::Field* f = ds.FindField(QStringLiteral("Aks")))
            f->SetValue(NewUserPicture);
}

void TDm::UQBeforePost(db::DataSet& ds)
{
    if (text(ds, "Esm").isEmpty())
        refuse(dkInfo, u("نام کاربر وارد نشده است"), 8);
}

// ---- calculated fields ----

void TDm::QMelkCalcFields(db::DataSet& ds)
{
    const QString sale = u("فروش");
    setCalc(ds, "calf1", conditionText(ds, {"F1type", "F1", "f1_2", "F1Shart"}, sale));
    setCalc(ds, "calf2", conditionText(ds, {"F2Type", "F2", "f2_2", "F2Shart"}, sale));
    setCalc(ds, "calf3", conditionText(ds, {"F3Type", "F3", "f3_2", "F3Shart"}, sale));
    setCalc(ds, "calmalektels", phonesText(ds, "MalekHomeTel", "MalekMobile", "MalekTelJob"));
    setCalc(ds, "row", ds.RecNo());
}

void TDm::QNiyazCalcFields(db::DataSet& ds)
{
    const QString buy = u("خريد");
    setCalc(ds, "CalF1", conditionText(ds, {"f1type", "f1", "f1_2", "f1shart"}, buy));
    setCalc(ds, "calf2", conditionText(ds, {"f2type", "f2", "f2_2", "f2shart"}, buy));
    setCalc(ds, "calf3", conditionText(ds, {"f3type", "f3", "f3_2", "f3shart"}, buy));
    setCalc(ds, "calcust", phonesText(ds, "hometel", "mobile", "shoptel"));
    setCalc(ds, "row", ds.RecNo());
}

void TDm::QSanadCalcFields(db::DataSet& ds)
{
    setCalc(ds, "Row", ds.RecNo());
    setCalc(ds, "calnov", text(ds, "Nov") == QLatin1String("k") ? u("خريد/فروش") : u("رهن/اجاره"));
    setCalc(ds, "summaryOwner", partyText(ds, "ownerNatNO", "ownerEconomicCode", "ownerPostalCode"));
    setCalc(ds, "summaryCust", partyText(ds, "custNatNO", "custEconomicCode", "custPostalCode"));
}

void TDm::QHazinehCalcFields(db::DataSet& ds) { setCalc(ds, "row", ds.RecNo()); }
void TDm::QCheckCalcFields(db::DataSet& ds) { setCalc(ds, "row", ds.RecNo()); }
void TDm::QTelsCalcFields(db::DataSet& ds) { setCalc(ds, "row", ds.RecNo()); }

void TDm::QTTMSCalcFields(db::DataSet& ds)
{
    setCalc(ds, "aRow", ds.RecNo());
    const double base = field(ds, "afterDiscount") ? field(ds, "afterDiscount")->AsFloat() : 0;
    // the rates are read at each calculation, so a changed rate applies at the next refresh
    const double vat = base * TPrefMng::GetVATVal() / 100;
    const double levy = base * TPrefMng::GetMunicipalVal() / 100;
    setCalc(ds, "maliyat", vat);
    setCalc(ds, "avarez", levy);
    setCalc(ds, "totalHagh", base + vat + levy);
}

// ---- wiring ----

void TDm::installHandlers()
{
    using H = db::DataSet::Handler;
    const auto on = [this](void (TDm::*m)(db::DataSet&)) -> H { return [this, m](db::DataSet& d) { (this->*m)(d); }; };

    // typed amounts and dates; fields exist once a dataset is open, so the handlers are
    // attached after each open and again when a record is inserted or edited
    const std::vector<std::pair<db::DataSet*, FieldHandlers>> fieldHandlers = {
        {QMelk, {{"GhymatHarMeter", "F1", "F2", "F3", "f1_2", "f2_2", "f3_2"}, {"tarikheraeh"}}},
        {QNiyaz, {{"f1", "f2", "f3", "f1_2", "f2_2", "f3_2", "ghymat"}, {"tarikheraeh"}}},
        {QSanad,
         {{"rahn", "Ejareh", "foorosh", "Haghebongah", "ownerDiscount", "customerDiscount"},
          {"Tarikhsanad", "tarikhstart", "tarikhend"}}},
        {QHazineh, {{"Mablagh"}, {"tarikh"}}},
        {QCheck, {{"mablagh"}, {"Tarikh"}}},
    };
    const auto withFields = [&](db::DataSet* ds, H h) -> H {
        for (const auto& [set, handlers] : fieldHandlers) {
            if (set == ds) {
                FieldHandlers copy = handlers;
                return [copy, h](db::DataSet& d) {
                    attachFieldHandlers(d, copy);
                    if (h)
                        h(d);
                };
            }
        }
        return h;
    };
    for (const auto& [ds, handlers] : fieldHandlers) {
        FieldHandlers copy = handlers;
        ds->AfterOpen = [copy](db::DataSet& d) { attachFieldHandlers(d, copy); };
    }

    // rights gate before edit and delete
    for (db::DataSet* ds : {QMelk, QNiyaz, QSanad, QGhovL, QMantagheh, QHazineh, QCheck, QTels}) {
        ds->BeforeEdit = withFields(ds, &TDm::QMelkBeforeDelete);
        ds->BeforeDelete = &TDm::QMelkBeforeDelete;
    }

    QMelk->AfterInsert = withFields(QMelk, on(&TDm::QMelkAfterInsert));
    QMelk->BeforePost = on(&TDm::QMelkBeforePost);
    QMelk->AfterPost = on(&TDm::QMelkAfterPost);
    QMelk->AfterCancel = on(&TDm::QMelkAfterCancel);
    QMelk->OnCalcFields = on(&TDm::QMelkCalcFields);

    QNiyaz->AfterInsert = withFields(QNiyaz, on(&TDm::QNiyazAfterInsert));
    QNiyaz->BeforePost = on(&TDm::QNiyazBeforePost);
    QNiyaz->AfterPost = on(&TDm::QNiyazAfterPost);
    QNiyaz->AfterCancel = on(&TDm::QNiyazAfterCancel);
    QNiyaz->OnCalcFields = on(&TDm::QNiyazCalcFields);

    QSanad->AfterInsert = withFields(QSanad, on(&TDm::QSanadAfterInsert));
    QSanad->BeforePost = on(&TDm::QSanadBeforePost);
    QSanad->AfterPost = on(&TDm::QSanadAfterPost);
    QSanad->AfterCancel = on(&TDm::QSanadAfterCancel);
    QSanad->OnCalcFields = on(&TDm::QSanadCalcFields);

    QMantagheh->BeforePost = on(&TDm::QMantaghehBeforePost);

    QHazineh->AfterInsert = withFields(QHazineh, on(&TDm::QHazinehAfterInsert));
    QHazineh->BeforePost = on(&TDm::QHazinehBeforePost);
    QHazineh->AfterPost = on(&TDm::QHazinehAfterPost);
    QHazineh->AfterCancel = on(&TDm::QHazinehAfterCancel);
    QHazineh->OnCalcFields = on(&TDm::QHazinehCalcFields);

    QCheck->AfterInsert = withFields(QCheck, on(&TDm::QCheckAfterInsert));
    QCheck->BeforePost = on(&TDm::QCheckBeforePost);
    QCheck->AfterPost = on(&TDm::QCheckAfterPost);
    QCheck->AfterCancel = on(&TDm::QCheckAfterCancel);
    QCheck->OnCalcFields = on(&TDm::QCheckCalcFields);

    QTels->BeforePost = on(&TDm::QTelsBeforePost);
    QTels->AfterPost = on(&TDm::QTelsAfterPost);
    QTels->AfterCancel = on(&TDm::QTelsAfterCancel);
    QTels->OnCalcFields = on(&TDm::QTelsCalcFields);

    QGhovL->BeforePost = on(&TDm::QGhovLBeforePost);
    QDocs->BeforeDelete = on(&TDm::QDocsBeforeDelete);
    QTTMS->OnCalcFields = on(&TDm::QTTMSCalcFields);

    UQ->AfterInsert = on(&TDm::UQAfterInsert);
    UQ->BeforePost = on(&TDm::UQBeforePost);

    // the rights of the user who saves hold at the save: a change begun before another user
    // logged in is not stored by one without the right
    for (db::DataSet* ds : {QMelk, QNiyaz, QSanad, QGhovL, QMantagheh, QHazineh, QCheck, QTels}) {
        H post = ds->BeforePost;
        ds->BeforePost = [post](db::DataSet& d) {
            if (d.State() == db::DataSetState::Edit)
                QMelkBeforeDelete(d);
            if (post)
                post(d);
        };
    }
}
