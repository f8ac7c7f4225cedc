#include "core/UpgradeSchema.h"

#include "platform/db/Dialect.h"
#include "platform/db/Sql.h"

namespace upgrade_schema {

namespace {

using db::ColumnDef;
using db::ColumnKind;

const QString AmountFormat = QStringLiteral("###,###,###,###,##0.###");

ColumnDef text(const QString& name, int size, const QString& label = {})
{
    ColumnDef c;
    c.name = name;
    c.kind = ColumnKind::Text;
    c.size = size;
    c.label = label;
    return c;
}

ColumnDef integer(const QString& name, bool key = false)
{
    ColumnDef c;
    c.name = name;
    c.kind = ColumnKind::Integer;
    c.primaryKey = key;
    return c;
}

ColumnDef counter(const QString& name)
{
    ColumnDef c;
    c.name = name;
    c.kind = ColumnKind::Counter;
    return c;
}

ColumnDef amount(const QString& name)
{
    ColumnDef c;
    c.name = name;
    c.kind = ColumnKind::Money;
    c.displayFormat = AmountFormat;
    return c;
}

std::vector<NewTable> makeNewTables()
{
    std::vector<NewTable> out;

    NewTable docs;
    docs.def.name = QStringLiteral("T_EstateDocs");
    docs.def.columns = {counter(QStringLiteral("akey")), integer(QStringLiteral("melkId")),
                        text(QStringLiteral("docPath"), 150, QStringLiteral("مسير و نام فايل"))};
    docs.references = {{QStringLiteral("melkId"), QStringLiteral("T_Melk"), QStringLiteral("MID")}};
    out.push_back(docs);

    NewTable province;
    province.def.name = QStringLiteral("province");
    province.def.columns = {integer(QStringLiteral("provinceId"), true), text(QStringLiteral("proviceName"), 50)};
    out.push_back(province);

    NewTable city;
    city.def.name = QStringLiteral("city");
    city.def.columns = {integer(QStringLiteral("CityId"), true), integer(QStringLiteral("provinceId")),
                        text(QStringLiteral("CityName"), 50)};
    city.references = {{QStringLiteral("provinceId"), QStringLiteral("province"), QStringLiteral("provinceId")}};
    out.push_back(city);

    NewTable info;
    info.def.name = QStringLiteral("yourInfo");
    info.def.columns = {counter(QStringLiteral("aKey")),
                        text(QStringLiteral("companyName"), 255),
                        text(QStringLiteral("oldEconomicNo"), 20),
                        text(QStringLiteral("newEconomicNo"), 30),
                        text(QStringLiteral("nationalCode"), 20),
                        text(QStringLiteral("taxPayerType"), 5),
                        text(QStringLiteral("postalCode"), 20),
                        text(QStringLiteral("country"), 255),
                        text(QStringLiteral("telCode"), 10),
                        text(QStringLiteral("telNo"), 60),
                        text(QStringLiteral("faxNo"), 60),
                        text(QStringLiteral("registrationNo"), 20),
                        text(QStringLiteral("hozeh"), 10),
                        text(QStringLiteral("address"), 255),
                        integer(QStringLiteral("ShahrCode")),
                        integer(QStringLiteral("EdareKolCode")),
                        text(QStringLiteral("UserName"), 60),
                        integer(QStringLiteral("Band")),
                        integer(QStringLiteral("SabteNam")),
                        text(QStringLiteral("moadyName"), 255),
                        integer(QStringLiteral("Tabeiat")),
                        text(QStringLiteral("mobileNO"), 20)};
    out.push_back(info);

    NewTable offices;
    offices.def.name = QStringLiteral("mainOffices");
    offices.def.columns = {integer(QStringLiteral("EdareKolCode"), true), text(QStringLiteral("EdareKolName"), 255),
                           integer(QStringLiteral("ostanCode"))};
    out.push_back(offices);

    return out;
}

std::vector<AddedColumn> makeSanadColumns()
{
    std::vector<AddedColumn> out = {
        {amount(QStringLiteral("ownerDiscount")), {}},
        {amount(QStringLiteral("customerDiscount")), {}},
        {text(QStringLiteral("ownerNatNO"), 20, QStringLiteral("کد ملي مالک")), {}},
        {text(QStringLiteral("custNatNO"), 20, QStringLiteral("کد ملي خريدار")), {}},
        {text(QStringLiteral("paymentState"), 50), {}},
        {text(QStringLiteral("custPaymentState"), 50), {}},
        {text(QStringLiteral("tahvilgirandeOwner"), 50), {}},
        {text(QStringLiteral("tahvilgirandeCust"), 50), {}},
    };
    for (const QString& prefix : {QStringLiteral("owner"), QStringLiteral("cust")}) {
        out.push_back({integer(prefix + QStringLiteral("CityId")), {}});
        out.push_back({integer(prefix + QStringLiteral("PersonKind")), QStringLiteral("1")});
        out.push_back({integer(prefix + QStringLiteral("BuyerKind")), QStringLiteral("2")});
        out.push_back({text(prefix + QStringLiteral("EconomicCode"), 60), {}});
        out.push_back({text(prefix + QStringLiteral("PhoneCityCode"), 10), {}});
        out.push_back({text(prefix + QStringLiteral("PhoneNO"), 30), {}});
        out.push_back({text(prefix + QStringLiteral("PersonAddress"), 60), {}});
        out.push_back({text(prefix + QStringLiteral("PostalCode"), 20), {}});
        out.push_back({text(prefix + QStringLiteral("NationalCodeInDate"), 19), {}});
        out.push_back({text(prefix + QStringLiteral("InitialName"), 60), {}});
        out.push_back({text(prefix + QStringLiteral("LastName"), 60), {}});
    }
    return out;
}

} // namespace

const std::vector<NewTable>& NewTables()
{
    static const std::vector<NewTable> tables = makeNewTables();
    return tables;
}

const std::vector<AddedColumn>& SanadColumns()
{
    static const std::vector<AddedColumn> columns = makeSanadColumns();
    return columns;
}

const std::vector<DateColumn>& DateColumns()
{
    // Index names are unique per database on both engines, hence the one of T_Niyaz.
    static const std::vector<DateColumn> columns = {
        {QStringLiteral("T_Check"), QStringLiteral("Tarikh"), {}},
        {QStringLiteral("T_Check"), QStringLiteral("Tarikhv"), {}},
        {QStringLiteral("T_Hazineh"), QStringLiteral("Tarikh"), {}},
        {QStringLiteral("T_Hazineh"), QStringLiteral("Tarikhv"), {}},
        {QStringLiteral("T_Melk"), QStringLiteral("TarikhEraeh"), QStringLiteral("IX_TarikhEraeh")},
        {QStringLiteral("T_Melk"), QStringLiteral("TarikhVoorod"), {}},
        {QStringLiteral("T_Niyaz"), QStringLiteral("tarikhv"), {}},
        {QStringLiteral("T_Niyaz"), QStringLiteral("tarikheraeh"), QStringLiteral("IX_NiyazTarikhEraeh")},
        {QStringLiteral("T_Sanad"), QStringLiteral("Tarikhsanad"), QStringLiteral("IX_Tarikh")},
        {QStringLiteral("T_Sanad"), QStringLiteral("TarikhV"), {}},
        {QStringLiteral("T_Sanad"), QStringLiteral("tarikhstart"), {}},
        {QStringLiteral("T_Sanad"), QStringLiteral("tarikhend"), {}},
    };
    return columns;
}

const std::vector<LookupIndex>& LookupIndexes()
{
    // the expense and cheque books read a range of dates (the deals' date has the index of its
    // widening); the books' sums and the monthly ones read kind, date and amount from an index
    // alone, in date order. The cheque book filters its rows by kind: its index leads with the
    // date, so that the book's rows keep their order, and serves its date ranges too (a
    // database upgraded before has IX_CheckTarikh for them as well).
    static const std::vector<LookupIndex> indexes = {
        {QStringLiteral("T_Hazineh"), QStringLiteral("Tarikh"), QStringLiteral("IX_HazinehTarikh")},
        {QStringLiteral("T_Hazineh"), QStringLiteral("nov, Tarikh, Mablagh"), QStringLiteral("IX_HazinehMonths")},
        {QStringLiteral("T_Check"), QStringLiteral("Tarikh, nov, mablagh, hazf"), QStringLiteral("IX_CheckMonths")},
        {QStringLiteral("T_Sanad"), QStringLiteral("Tarikhsanad, Haghebongah, ownerDiscount, customerDiscount"),
         QStringLiteral("IX_SanadMonths")},
    };
    return indexes;
}

QString CreateTableSql(const db::Dialect& dialect, const NewTable& table)
{
    QStringList cols;
    for (const auto& c : table.def.columns) {
        QString def = dialect.columnDefinition(c);
        for (const auto& r : table.references)
            if (r.column.compare(c.name, Qt::CaseInsensitive) == 0)
                def += QStringLiteral(" REFERENCES %1 (%2) ON DELETE CASCADE ON UPDATE CASCADE").arg(r.table, r.key);
        cols << def;
    }
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(table.def.name, cols.join(QStringLiteral(", ")));
}

QString AddSanadColumnSql(const db::Dialect& dialect, const AddedColumn& column)
{
    QString sql = dialect.addColumn(QStringLiteral("T_Sanad"), column.def);
    if (!column.defaultValue.isEmpty())
        sql += QStringLiteral(" DEFAULT ") + column.defaultValue;
    return sql;
}

QString CreateSoodViewSql()
{
    // One row per expense (negative), income and deal (commission less its discounts),
    // with its month yyyy/mm; missing amounts count as 0.
    return QStringLiteral("create view V_Sood as "
                          "select -coalesce(mablagh, 0) as m, substr(tarikh, 1, 7) as t from t_hazineh where nov = %1 "
                          "union all "
                          "select coalesce(mablagh, 0), substr(tarikh, 1, 7) from t_hazineh where nov = %2 "
                          "union all "
                          "select coalesce(haghebongah, 0) - coalesce(ownerDiscount, 0) - coalesce(customerDiscount, 0), "
                          "substr(tarikhsanad, 1, 7) from t_sanad")
        .arg(db::Q(QStringLiteral("هزينه")), db::Q(QStringLiteral("درآمد")));
}

void AddUpgradeSchema(db::Catalog& catalog)
{
    for (const auto& t : NewTables())
        catalog.add(t.def);

    db::TableDef sanad;
    if (const db::TableDef* base = catalog.table(QStringLiteral("T_Sanad")))
        sanad = *base;
    else
        sanad.name = QStringLiteral("T_Sanad");
    for (const auto& c : SanadColumns())
        if (!sanad.column(c.def.name))
            sanad.columns.push_back(c.def);
    catalog.add(std::move(sanad));
}

} // namespace upgrade_schema
