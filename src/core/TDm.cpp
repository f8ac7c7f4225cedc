#include "core/TDm.h"

#include "core/ConnectionFiles.h"
#include "core/Counters.h"
#include "core/DbAttach.h"
#include "core/FeatureCaptions.h"
#include "core/ProgramFolder.h"
#include "core/Schema.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"

#include <QGuiApplication>

TDm* Dm = nullptr;

namespace {

const QString kAmount = QStringLiteral("###,###,###,###,##0.###");

const QString kQTTMS = QStringLiteral(
    "select sid, 1 as owner_cust, tarikhsanad, shoomareh, ownerNatNO, ownerEconomicCode"
    ", ownerInitialName, ownerLastName, haghebongah / 2 as haghebongah, ownerDiscount"
    ", (haghebongah / 2) - ownerDiscount as afterDiscount, ownerPersonKind"
    ",           ownerCityId, ownerBuyerKind, ownerPhoneCityCode, ownerPhoneNO"
    ", ownerPersonAddress, ownerPostalCode,           'حق بنگاه مالک' as strOwner_Cust"
    ", b.cityName as cityName, c.provinceId as provinceId"
    ", c.proviceName as proviceName       from ((T_Sanad a inner join City b on a.ownerCityId = b.cityId) inner join province c on c.provinceId = b.provinceId) union all select sid"
    ", 2, tarikhsanad, shoomareh, custNatNO, custEconomicCode, custInitialName, custLastName"
    ", haghebongah / 2 as haghebongah, customerDiscount, (haghebongah / 2) - customerDiscount"
    ", custPersonKind,           custCityId, custBuyerKind, custPhoneCityCode, custPhoneNO"
    ", custPersonAddress, custPostalCode,           'حق نگاه خريدار/مستاجر', b.cityName"
    ", c.provinceId"
    ", c.proviceName       from ((T_Sanad a inner join City b on a.custCityId = b.cityId) inner join province c on c.provinceId = b.provinceId) order by tarikhsanad"
    ", sid, 2");

const QString kQSanad = QStringLiteral(
    "select *, haghebongah*2 as VAT, haghebongah*2 as Municipal, haghebongah*3 as totalVAT,  "
    "haghebongah*4 as afterDiscount, haghebongah*5 as totalDiscount  from T_sanad");

const QString kQSumHagh = QStringLiteral(
    "select sum(Haghebongah) as sh, sum(haghebongah*2) as sVAT, sum(haghebongah*2) as sMunicipal, "
    "sum(haghebongah*3) as stotalVAT from t_sanad");

QString errorText(const std::exception& e)
{
    if (const auto* d = dynamic_cast<const db::DbError*>(&e))
        return d->message();
    return QString::fromUtf8(e.what());
}

void label(db::DataSet* ds, const char* field, const QString& text, const QString& format = {})
{
    db::FieldDef& d = ds->fieldDef(QString::fromLatin1(field));
    d.label = text;
    if (!format.isEmpty())
        d.displayFormat = format;
}

void amount(db::DataSet* ds, const char* field, bool readOnly = false)
{
    db::FieldDef& d = ds->fieldDef(QString::fromLatin1(field));
    d.displayFormat = kAmount;
    d.readOnly = readOnly;
}

db::Field* calc(db::DataSet* ds, const char* name, db::FieldType type, int size, const QString& text)
{
    return ds->addCalcField(QString::fromLatin1(name), type, size, text);
}

} // namespace

TDm::TDm(QObject* parent) : QObject(parent)
{
    qRegisterMetaType<db::DataSet*>();
    const auto t = [](const char* s) { return QString::fromUtf8(s); };
    QMelk = make("QMelk", false, t("select * from T_Melk where coalesce(hazfshodeh,0)=0 order by MID"), true);
    QMn = make("QMn", false, t("select * from t_manategh order by MnID"), true);
    QNiyaz = make("QNiyaz", false, t("select * from T_niyaz where coalesce(hazfshodeh,0)=0 order by NizId"), true);
    Qmn2 = make("Qmn2", false, t("select * from t_manategh order by MnID"), true);
    QSanad = make("QSanad", false, kQSanad, true);
    QSumHagh = make("QSumHagh", false, kQSumHagh, false);
    QSumHagh2 = make("QSumHagh2", false, kQSumHagh, false);
    QTTMS = make("QTTMS", false, kQTTMS, false);
    QFree = make("QFree", false, t("select * from t_CmbItems"), true);
    QGhovL = make("QGhovL", false, t("select * from T_Ghovl order by id"), true);
    QMantagheh = make("QMantagheh", false, t("select * from t_manategh order by mnid"), true);
    QNums = make("QNums", false, t("select * from t_snums where akey=1"), true);
    QHazineh = make("QHazineh", false, t("select * from t_hazineh order by Hkey"), true);
    QSH = make("QSH", false, t("select * from t_CmbItems"), true);
    QSD = make("QSD", false, t("select * from t_CmbItems"), true);
    QCheck = make("QCheck", false, t("select * from t_check order by CID"), true);
    Qsumcd = make("Qsumcd", false, t("select sum(mablagh)  sd from t_check"), true);
    QsumcP = make("QsumcP", false, t("select sum(mablagh)  sp from t_check"), true);
    QTels = make("QTels", false, t("select * from t_Tels order by AKey"), true);
    QDocs = make("QDocs", false, t("select * from T_EstateDocs order by akey"), false);
    QProvince = make("QProvince", false, t("select * from province order by proviceName"), false);
    tblCity = make("tblCity", false, t("select * from city order by cityName"), false);
    // names in Persian alphabetical order on every engine, not in code-point order
    QProvince->setSort(QStringLiteral("proviceName"));
    tblCity->setSort(QStringLiteral("cityName"));
    UQ = make("UQ", true, t("select * from tunames"), false);
    UQFree = make("UQFree", true, QString(), false);
    tblCity->setFilter(QStringLiteral("provinceId = -1"));
    tblCity->setFiltered(true);
    declareFields();
    installHandlers();
}

TDm::~TDm()
{
    for (db::DataSet* ds : all_)
        ds->Close();
}

db::DataSet* TDm::make(const char* name, bool users, const QString& sql, bool unicode)
{
    auto* ds = new db::DataSet(nullptr, this);
    ds->setObjectName(QString::fromLatin1(name));
    ds->setSQL(sql);
    if (unicode)
        ds->BeforeOpen = [this](db::DataSet& d) { QMelkBeforeOpen(d); };
    all_.push_back(ds);
    if (users)
        users_.push_back(ds);
    return ds;
}

// Fields the catalogue of the base tables does not describe: computed columns, the
// columns the schema upgrade adds, calculated and lookup fields.
void TDm::declareFields()
{
    const auto t = [](const char* s) { return QString::fromUtf8(s); };
    using db::FieldType;

    for (const char* f : {"calf1", "calf2", "calf3"})
        calc(QMelk, f, FieldType::String, 50, QString());
    label(QMelk, "calf1", t("شرط1"));
    label(QMelk, "calf2", t("شرط2"));
    label(QMelk, "calf3", t("شرط3"));
    calc(QMelk, "calmalektels", FieldType::String, 150, t("تلفن هاي مالک"));
    calc(QMelk, "row", FieldType::Integer, 0, t("رديف"));
    QMelk->addLookupField(QStringLiteral("lkmn"), QStringLiteral("MantaghehID"), QMn, QStringLiteral("MnID"),
                          QStringLiteral("Esm"), 50, t("منطقه"));

    calc(QNiyaz, "CalF1", FieldType::String, 100, t("شرط1"));
    calc(QNiyaz, "calf2", FieldType::String, 100, t("شرط2"));
    calc(QNiyaz, "calf3", FieldType::String, 100, t("شرط3"));
    calc(QNiyaz, "calcust", FieldType::String, 200, t("تلفن شخص"));
    calc(QNiyaz, "row", FieldType::Integer, 0, t("رديف"));
    QNiyaz->addLookupField(QStringLiteral("lkmn"), QStringLiteral("MnId"), Qmn2, QStringLiteral("MnID"),
                           QStringLiteral("Esm"), 50, t("منطقه"));

    label(QSanad, "VAT", t("ارزش افزوده"), kAmount);
    label(QSanad, "Municipal", t("عوارض"), kAmount);
    label(QSanad, "totalVAT", t("مبلغ کل"), kAmount);
    label(QSanad, "afterDiscount", t("حق بنگاه"), kAmount);
    label(QSanad, "totalDiscount", t("تخفيف"), kAmount);
    for (const char* f : {"VAT", "Municipal", "totalVAT", "afterDiscount", "totalDiscount"})
        QSanad->fieldDef(QString::fromLatin1(f)).type = FieldType::Float;
    amount(QSanad, "ownerDiscount");
    amount(QSanad, "customerDiscount");
    label(QSanad, "ownerNatNO", t("کد ملي مالک"));
    label(QSanad, "custNatNO", t("کد ملي خريدار"));
    calc(QSanad, "Row", FieldType::Integer, 0, t("رديف"));
    calc(QSanad, "calnov", FieldType::String, 9, t("نوع معامله"));
    for (const char* f : {"summaryOwner", "summaryCust"})
        calc(QSanad, f, FieldType::String, 255, QString())->Def().alignment = Qt::AlignRight;

    for (db::DataSet* ds : {QSumHagh, QSumHagh2}) {
        amount(ds, "sh", true);
        amount(ds, "sVAT");
        amount(ds, "sMunicipal");
        amount(ds, "stotalVAT");
        ds->fieldDef(QStringLiteral("sh")).type = FieldType::Currency;
        for (const char* f : {"sVAT", "sMunicipal", "stotalVAT"})
            ds->fieldDef(QString::fromLatin1(f)).type = FieldType::Float;
    }
    amount(Qsumcd, "sd", true);
    amount(QsumcP, "sp", true);
    Qsumcd->fieldDef(QStringLiteral("sd")).type = FieldType::Currency;
    QsumcP->fieldDef(QStringLiteral("sp")).type = FieldType::Currency;

    calc(QHazineh, "row", FieldType::Integer, 0, t("رديف"));
    calc(QCheck, "row", FieldType::Integer, 0, t("رديف"));
    calc(QTels, "row", FieldType::Integer, 0, t("رديف"));

    label(QDocs, "docPath", t("مسير و نام فايل"));

    label(QTTMS, "sid", t("کد رکورد"));
    label(QTTMS, "tarikhsanad", t("تاريخ"));
    label(QTTMS, "shoomareh", t("شماره"));
    label(QTTMS, "ownerNatNO", t("کد ملي"));
    label(QTTMS, "ownerEconomicCode", t("کد اقتصادي"));
    label(QTTMS, "ownerInitialName", t("نام"));
    label(QTTMS, "ownerLastName", t("نام خانوادگي"));
    label(QTTMS, "haghebongah", t("حق بنگاه خام"), kAmount);
    label(QTTMS, "ownerDiscount", t("تخفيف"), kAmount);
    label(QTTMS, "afterDiscount", t("حق بنگاه"), kAmount);
    label(QTTMS, "ownerPersonKind", t("نوع شخص"));
    label(QTTMS, "ownerCityId", t("کد شهر"));
    label(QTTMS, "ownerBuyerKind", t("نوع خريدار"));
    label(QTTMS, "ownerPhoneCityCode", t("کد تلفن"));
    label(QTTMS, "ownerPhoneNO", t("تلفن"));
    label(QTTMS, "ownerPersonAddress", t("آدرس"));
    label(QTTMS, "ownerPostalCode", t("کد پستي"));
    label(QTTMS, "strOwner_Cust", t("شرح"));
    label(QTTMS, "cityName", t("نام شهر"));
    label(QTTMS, "provinceId", t("کد استان"));
    label(QTTMS, "proviceName", t("نام استان"));
    for (const char* f : {"haghebongah", "ownerDiscount", "afterDiscount"})
        QTTMS->fieldDef(QString::fromLatin1(f)).type = FieldType::Float;
    calc(QTTMS, "aRow", FieldType::Integer, 0, t("رديف"));
    calc(QTTMS, "maliyat", FieldType::Float, 0, t("ارزش افزوده"))->Def().displayFormat = kAmount;
    calc(QTTMS, "avarez", FieldType::Float, 0, t("عوارض"))->Def().displayFormat = kAmount;
    calc(QTTMS, "totalHagh", FieldType::Float, 0, t("مبلغ کل"))->Def().displayFormat = kAmount;
}

void TDm::fail(const QString& text) const
{
    shell::PlainMessageRequest r;
    r.caption = QGuiApplication::applicationDisplayName();
    r.text = text;
    r.error = true;
    shell::prompter().plainMessage(r);
}

bool TDm::DataModuleCreate(bool isAccess)
{
    LoadFeatureCaptions();
    std::unique_ptr<db::Connection> users, conn;
    QString path, error;
    if (!ReadUsersDatabasePath(&path, &error)) {
        fail(error);
        return false;
    }
    try {
        users = db::Connection::openSqlite(path);
    } catch (const db::DbError& e) {
        fail(QStringLiteral("پايگاه داده کاربران باز نشد:\n") + path + QLatin1Char('\n') + e.message());
        return false;
    }
    if (isAccess) {
        const QString file = ProgramFolder() + QStringLiteral("mdbDovin.mdb");
        try {
            conn = db::Connection::openSqlite(file);
        } catch (const db::DbError& e) {
            fail(QStringLiteral("پايگاه داده برنامه باز نشد:\n") + file + QLatin1Char('\n') + e.message());
            return false;
        }
    } else {
        TServerPath server;
        if (!ReadServerPath(&server, &error)) {
            fail(error);
            return false;
        }
        if (!AttachSqlDatabase(server, &error)) {
            fail(AttachFailedText() + error);
            return false;
        }
        try {
            conn = db::Connection::openPostgres(server.conninfo());
        } catch (const db::DbError& e) {
            fail(AttachFailedText() + e.message());
            return false;
        }
    }
    return Connect(std::move(conn), std::move(users));
}

bool TDm::Connect(std::unique_ptr<db::Connection> conn, std::unique_ptr<db::Connection> userConn)
{
    Conn = std::move(conn);
    UserConn = std::move(userConn);
    Conn->setCatalog(&SchemaCatalog());
    UserConn->setCatalog(&SchemaCatalog());
    for (db::DataSet* ds : all_) {
        const bool users = std::find(users_.begin(), users_.end(), ds) != users_.end();
        ds->setConnection(users ? UserConn.get() : Conn.get());
    }
    // A failure here is shown; the datasets after it stay closed and the start-up goes on.
    try {
        if (CheckDbVersion)
            CheckDbVersion();
        OpenDataSets();
    } catch (const std::exception& e) {
        fail(errorText(e));
    }
    return true;
}

void TDm::OpenDataSets()
{
    // the statements are checked now, the rows read when a window first needs them
    for (db::DataSet* ds : {QMelk, QNiyaz, QSanad, QMantagheh, QGhovL, QMn, Qmn2, QHazineh, QCheck, QProvince, tblCity})
        ds->OpenDeferred();
}

QString TDm::AddUnicodePrefix(const QString& sql)
{
    if (sql.contains(QLatin1String("N'")))
        return sql;
    QString s = sql;
    const QChar quote = QLatin1Char('\'');
    qsizetype i = 0;
    while (i < s.size()) {
        if (s[i] != quote) {
            ++i;
            continue;
        }
        s.insert(i, QLatin1Char('N'));
        i += 2;
        // to the closing quote; a doubled quote belongs to the literal
        while (i < s.size()) {
            if (s[i] == quote) {
                if (i + 1 < s.size() && s[i + 1] == quote) {
                    i += 2;
                    continue;
                }
                break;
            }
            ++i;
        }
        ++i;
    }
    return s;
}

void TDm::QMelkBeforeOpen(db::DataSet& ds)
{
    ds.setSQL(AddUnicodePrefix(ds.SQL()));
}

QString TDm::NextNumber(const QString& column)
{
    return ::NextNumber(*QNums, column);
}

QString TDm::IncrementCounter(const QString& column)
{
    try {
        return ::IncrementCounter(*QNums, column);
    } catch (const db::DbError& e) {
        // shown here once; the guard that meets it again stays silent
        const QString text = db::textToShow(e);
        if (!text.isEmpty())
            fail(QStringLiteral("خطايي در روند برنامه پيش آمد") + QLatin1Char('\n') + text);
        throw;
    }
}

bool TDm::WriteBackCounter(const QString& column, const QString& typed)
{
    return ::WriteBackCounter(*Conn, column, typed);
}

void TDm::PostInTransaction(db::DataSet& ds)
{
    if (Conn->inTransaction()) {
        ds.Post();
        return;
    }
    db::inTransaction(*Conn, [&] { ds.Post(); });
}
