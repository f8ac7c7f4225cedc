#include "core/Schema.h"

#include "core/UpgradeSchema.h"

#include "platform/db/Catalog.h"
#include "platform/db/Connection.h"
#include "platform/db/Dialect.h"
#include "platform/db/Sql.h"

namespace {

using db::ColumnDef;
using db::ColumnKind;
using db::TableDef;

const QString kDateMask = QStringLiteral("9999/99/99");
const QString kDateMaskKept = QStringLiteral("9999/99/99;1;_");
const QString kMoney = QStringLiteral("###,###,###,###,##0.###");
const QString kMoneyShort = QStringLiteral("###,###,###,##0.###");

ColumnDef col(const char* name, ColumnKind kind, int size = 0, const QString& label = {},
              const QString& mask = {}, const QString& format = {})
{
    ColumnDef c;
    c.name = QString::fromLatin1(name);
    c.kind = kind;
    c.size = size;
    c.label = label;
    c.editMask = mask;
    c.displayFormat = format;
    return c;
}

ColumnDef counter(const char* name, const QString& label = {}) { return col(name, ColumnKind::Counter, 0, label); }
ColumnDef text(const char* name, int size, const QString& label = {}, const QString& mask = {})
{
    return col(name, ColumnKind::Text, size, label, mask);
}
ColumnDef memo(const char* name) { return col(name, ColumnKind::Memo); }
ColumnDef boolean(const char* name, const QString& label = {}) { return col(name, ColumnKind::Boolean, 0, label); }
ColumnDef money(const char* name, const QString& label = {}, const QString& format = kMoney)
{
    return col(name, ColumnKind::Money, 0, label, {}, format);
}
ColumnDef dbl(const char* name, const QString& label = {}) { return col(name, ColumnKind::Double, 0, label); }
ColumnDef byte(const char* name, const QString& label = {}) { return col(name, ColumnKind::Byte, 0, label); }
ColumnDef integer(const char* name) { return col(name, ColumnKind::Integer); }

// The forty amenities of a property: the flag and the column of the title it was recorded under.
const char* const kAmenities[] = {
    "Ayfon", "Asansor", "Sona", "jakozi", "stakhr", "mobl", "loster", "pardeh", "doblex", "kitchen",
    "darcontoroly", "shoomineh", "jaroobarghi", "anten", "noorpardazi", "shofazh", "vambanki", "shomali",
    "jonobi", "azhayat", "package", "saloonbiliyard", "saloonejtemaat", "badansazi", "ketabkhaneh", "komod",
    "doozdgir", "azsakhteman", "parvanehsakht", "mojavez", "mostaghel", "elamharigh", "etfaeharigh",
    "pelehezterari", "teras", "balkon", "shirvani", "radiyator", "moshtarak", "bokhary"};
const char* const kAmenityTitles[] = {
    "ayfon_s", "azhayat_s", "azsakhteman_s", "pardeh_S", "loster_s", "parvanehsakht_s", "Asansor_s", "Sona_s",
    "jakozi_s", "stakhr_s", "mobl_s", "doblex_s", "kitchen_s", "darcontoroly_s", "shoomineh_s", "jaroobarghi_s",
    "anten_s", "noorpardazi_s", "shofazh_s", "vambanki_s", "shomali_s", "jonobi_s", "package_s",
    "saloonbiliyard_s", "saloonejtemaat_s", "badansazi_s", "ketabkhaneh_s", "komod_s", "doozdgir_s", "mojavez_s",
    "mostaghel_s", "elamharigh_s", "etfaeharigh_s", "pelehezterari_s", "teras_s", "balkon_s", "shirvani_s",
    "bokhary_s", "radiyator_s", "moshtarak_s"};

TableDef melk()
{
    TableDef t;
    t.name = QStringLiteral("T_Melk");
    t.columns = {
        counter("MID"),
        integer("MantaghehID"),
        boolean("Hazfshodeh"),
        text("tarikheraeh", 10, QStringLiteral("تاريخ ارائه"), kDateMask),
        text("TarikhVoorod", 10),
        text("SaatVoorod", 5),
        text("MalekEsm", 50, QStringLiteral("نام مالک")),
        text("MalekHomeTel", 30),
        text("MalekTelJob", 30),
        text("MalekMobile", 30),
        boolean("ForSell", QStringLiteral("فروش")),
        boolean("ForRahn", QStringLiteral("رهن")),
        boolean("ForEjareh", QStringLiteral("اجاره")),
        text("NovMelk", 30, QStringLiteral("نوع ملک")),
        dbl("Masahat", QStringLiteral("مساحت")),
        dbl("Arz", QStringLiteral("عرض")),
        dbl("ZirBana", QStringLiteral("زير بنا")),
        text("Moshaat", 30),
        money("GhymatHarMeter", QStringLiteral("قيمت متري"), kMoneyShort),
        boolean("Ab"),
        boolean("Bargh"),
        boolean("gaz"),
        boolean("parking"),
        boolean("hayat"),
        boolean("anbary"),
        byte("tedadtel", QStringLiteral("تعدادتلفن")),
        text("tahviyeh", 50),
        text("kaf", 30),
        text("Nema", 30),
        text("Cabinet", 30),
        text("ShoomarehTels", 150),
        text("Mahal", 30, QStringLiteral("محل")),
        text("Addr", 255),
        text("Vaziyat", 200),
        text("NovSanad", 30),
        byte("Tabagheh", QStringLiteral("طبقه")),
        byte("TedadOtagh", QStringLiteral("تعداداتاق")),
        text("SayerEmkanat", 255),
        text("Tozihat", 255),
        text("F1type", 11),
        money("F1"),
        text("F1Shart", 255),
        text("F2Type", 11),
        money("F2"),
        text("F2Shart", 255),
        text("F3Type", 11),
        money("F3"),
        text("F3Shart", 255),
        money("f1_2"),
        money("f2_2"),
        money("f3_2"),
        text("mo", 10, QStringLiteral("مشخصه")),
        text("zabeteh", 10, QStringLiteral("ضابطه")),
    };
    for (const char* a : kAmenities)
        t.columns.push_back(boolean(a));
    for (const char* a : kAmenityTitles)
        t.columns.push_back(text(a, 50));
    return t;
}

TableDef niyaz()
{
    TableDef t;
    t.name = QStringLiteral("T_niyaz");
    t.columns = {
        counter("NizId"),
        integer("MnId"),
        text("tarikhv", 10),
        text("saatv", 5),
        text("tarikheraeh", 10, QStringLiteral("تاريخ ارائه"), kDateMask),
        text("Esm", 50, QStringLiteral("مستاجر/خريدار")),
        text("hometel", 30),
        text("shoptel", 30),
        text("mobile", 30),
        boolean("kharid", QStringLiteral("خريد")),
        boolean("Rahn", QStringLiteral("رهن")),
        boolean("Ejareh", QStringLiteral("اجاره")),
        text("novmelk", 30, QStringLiteral("نوع ملک")),
        dbl("masahat", QStringLiteral("مساحت")),
        dbl("zirbana", QStringLiteral("زيربنا")),
        boolean("ab", QStringLiteral("آب")),
        boolean("bargh", QStringLiteral("برق")),
        boolean("gaz", QStringLiteral("گاز")),
        boolean("parking"),
        boolean("hayat"),
        boolean("anbary"),
        byte("tedadtel", QStringLiteral("تعدادتلفن")),
        byte("tabagheh", QStringLiteral("طبقه")),
        byte("otagh", QStringLiteral("تعداداتاق")),
        text("Tozihat", 255),
        text("f1type", 11),
        money("f1"),
        money("f1_2"),
        text("f1shart", 255),
        text("f2type", 11),
        money("f2"),
        money("f2_2"),
        text("f2shart", 255),
        text("f3type", 11),
        money("f3"),
        money("f3_2"),
        text("f3shart", 255),
        money("ghymat", QStringLiteral("قيمت"), kMoneyShort),
        boolean("hazfshodeh"),
    };
    return t;
}

TableDef manategh()
{
    TableDef t;
    t.name = QStringLiteral("t_manategh");
    t.columns = {
        counter("MnID"),
        text("Esm", 50, QStringLiteral("نام منطقه")),
        text("Tozihat", 200, QStringLiteral("توضيحات")),
    };
    return t;
}

TableDef sanad()
{
    TableDef t;
    t.name = QStringLiteral("T_Sanad");
    t.columns = {
        counter("SId"),
        text("TarikhV", 10),
        text("saatv", 5),
        text("Tarikhsanad", 10, QStringLiteral("تاريخ سند"), kDateMask),
        text("tarikhstart", 10, {}, kDateMask),
        text("tarikhend", 10, {}, kDateMask),
        text("Nov", 1),
        text("EsmMalek", 50, QStringLiteral("نام مالک")),
        text("MoshakhasatMalek", 255),
        text("Kharidar", 50, QStringLiteral("نام خريدار/مستاجر")),
        text("Moshakhasatkharidar", 255),
        memo("MoshakhasatMelk"),
        money("rahn", QStringLiteral("قيمت رهن")),
        money("Ejareh", QStringLiteral("قيمت اجاره")),
        money("foorosh", QStringLiteral("قيمت فروش")),
        memo("novpardakht"),
        memo("zemanttakhliyeh"),
        memo("faskh"),
        memo("Tozihat"),
        money("Haghebongah", QStringLiteral("حق بنگاه خام")),
        memo("ghovLnameh"),
        text("toziaht2", 255),
        text("shoomareh", 50, QStringLiteral("شماره")),
    };
    return t;
}

TableDef ghovl()
{
    TableDef t;
    t.name = QStringLiteral("T_Ghovl");
    t.columns = {counter("ID"), text("esm", 50, QStringLiteral("نام قولنامه")), memo("ghtxt")};
    return t;
}

TableDef snums()
{
    TableDef t;
    t.name = QStringLiteral("t_snums");
    ColumnDef key = integer("akey");
    key.primaryKey = true;
    t.columns = {key, text("snum", 50), text("hnum", 50)};
    return t;
}

TableDef cmbItems()
{
    TableDef t;
    t.name = QStringLiteral("t_CmbItems");
    t.columns = {text("TStrName", 100), memo("TStrData")};
    return t;
}

TableDef hazineh()
{
    TableDef t;
    t.name = QStringLiteral("t_hazineh");
    ColumnDef mablagh = col("Mablagh", ColumnKind::Decimal, 10, QStringLiteral("مبلغ"), {}, kMoney);
    t.columns = {
        counter("Hkey", QStringLiteral("کد هزينه")),
        text("tarikhv", 10, QStringLiteral("تاريخ ورود"), kDateMaskKept),
        text("tarikh", 10, QStringLiteral("تاريخ"), kDateMaskKept),
        text("shoomareh", 30, QStringLiteral("شماره سند")),
        text("Hname", 50, QStringLiteral("نام هزينه/درآمد")),
        text("nov", 5, QStringLiteral("نوع")),
        mablagh,
        text("Tozihat", 255, QStringLiteral("توضيحات")),
    };
    return t;
}

TableDef check()
{
    TableDef t;
    t.name = QStringLiteral("t_check");
    t.columns = {
        counter("CID", QStringLiteral("کد")),
        text("Tarikhv", 10, QStringLiteral("تاريخ ورود")),
        text("Tarikh", 10, QStringLiteral("تاريخ"), kDateMaskKept),
        text("Vaziyat", 15, QStringLiteral("وضعيت")),
        text("nov", 7, QStringLiteral("دريافت/پرداخت")),
        text("bank", 60, QStringLiteral("بانک")),
        text("shoomareh", 30, QStringLiteral("شماره سند")),
        text("sharh", 255, QStringLiteral("شرح")),
        text("hesabno", 30, QStringLiteral("شماره حساب")),
        money("mablagh", QStringLiteral("مبلغ")),
        text("shakhs", 50, QStringLiteral("نام شخص")),
        text("novsanad", 20, QStringLiteral("نوع سند")),
        boolean("hazf"),
    };
    return t;
}

TableDef tels()
{
    TableDef t;
    t.name = QStringLiteral("t_Tels");
    t.columns = {
        counter("AKey"),
        text("Esm", 50, QStringLiteral("نام شخص")),
        text("Phone", 255, QStringLiteral("تلفن")),
        text("Mobile", 255, QStringLiteral("موبايل")),
        text("Fax", 255, QStringLiteral("فاکس")),
    };
    return t;
}

TableDef tunames()
{
    TableDef t;
    t.name = QStringLiteral("tunames");
    t.columns = {
        counter("UID"),
        text("Esm", 50, QStringLiteral("نام کاربر")),
        text("Passw", 15, QStringLiteral("کلمه عبور")),
        boolean("Sve"),
        boolean("lod"),
        col("Aks", ColumnKind::Binary),
        boolean("Dels"),
        boolean("AMoojod"),
        boolean("ADarkhasti"),
        boolean("Moameleh"),
        boolean("Manategh"),
        boolean("Reps"),
        boolean("Hazineh"),
        boolean("Dcheck"),
        boolean("Tels"),
        boolean("pref"),
        boolean("GhForms"),
        boolean("settarikh"),
    };
    return t;
}

db::Catalog buildCatalog()
{
    db::Catalog c;
    for (TableDef t : {melk(), niyaz(), manategh(), sanad(), ghovl(), snums(), cmbItems(), hazineh(), check(),
                       tels(), tunames()})
        c.add(std::move(t));
    return c;
}

} // namespace

const db::Catalog& BaseCatalog()
{
    static const db::Catalog catalog = buildCatalog();
    return catalog;
}

const db::Catalog& SchemaCatalog()
{
    static const db::Catalog catalog = [] {
        db::Catalog c = buildCatalog();
        upgrade_schema::AddUpgradeSchema(c);
        return c;
    }();
    return catalog;
}

QStringList BaseTables(TSchemaDb which)
{
    if (which == TSchemaDb::Users)
        return {QStringLiteral("tunames")};
    return {QStringLiteral("T_Melk"),    QStringLiteral("T_niyaz"),   QStringLiteral("t_manategh"),
            QStringLiteral("T_Sanad"),   QStringLiteral("T_Ghovl"),   QStringLiteral("t_snums"),
            QStringLiteral("t_CmbItems"), QStringLiteral("t_hazineh"), QStringLiteral("t_check"),
            QStringLiteral("t_Tels")};
}

QString BaseSchemaScript(const db::Dialect& dialect, TSchemaDb which)
{
    QStringList statements;
    for (const QString& name : BaseTables(which))
        statements << dialect.createTable(*BaseCatalog().table(name));
    if (which == TSchemaDb::Agency)
        statements << QStringLiteral("INSERT INTO t_snums (akey, snum, hnum) VALUES (1, %1, %1)").arg(db::Q(QStringLiteral("0")));
    return statements.join(QStringLiteral(";\n")) + QStringLiteral(";\n");
}

void CreateBaseSchema(db::Connection& conn, TSchemaDb which)
{
    db::inTransaction(conn, [&] { conn.execScript(BaseSchemaScript(conn.dialect(), which)); });
}
