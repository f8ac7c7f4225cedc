#include "deals/MonthlyReports.h"

#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "platform/db/Sql.h"

using db::Q;

namespace {

// One report: the summed expression, its date column, its table and its own condition.
struct Source {
    QString sum;
    QString date;
    QString table;
    QString where;
};

// The profit of a month: incomes less expenses plus commission after discounts, on full dates.
QString profitRows()
{
    return QStringLiteral("select -coalesce(mablagh,0) as m, tarikh as t from t_hazineh where nov=%1 "
                          "union all select coalesce(mablagh,0), tarikh from t_hazineh where nov=%2 "
                          "union all select coalesce(Haghebongah,0)-coalesce(ownerDiscount,0)-coalesce(customerDiscount,0), "
                          "tarikhsanad from t_sanad")
        .arg(Q(QStringLiteral("هزينه")), Q(QStringLiteral("درآمد")));
}

Source source(TMonthlyReport kind)
{
    switch (kind) {
    case TMonthlyReport::Expense:
        return {QStringLiteral("mablagh"), QStringLiteral("tarikh"), QStringLiteral("t_hazineh"), QStringLiteral("nov=") + Q(QStringLiteral("هزينه"))};
    case TMonthlyReport::Income:
        return {QStringLiteral("mablagh"), QStringLiteral("tarikh"), QStringLiteral("t_hazineh"), QStringLiteral("nov=") + Q(QStringLiteral("درآمد"))};
    case TMonthlyReport::Commission:
        // a missing discount counts as none
        return {QStringLiteral("coalesce(Haghebongah,0)-coalesce(ownerDiscount,0)-coalesce(customerDiscount,0)"),
                QStringLiteral("tarikhsanad"), QStringLiteral("t_sanad"), QString()};
    case TMonthlyReport::PaidCheque:
        return {QStringLiteral("mablagh"), QStringLiteral("tarikh"), QStringLiteral("t_check"), QStringLiteral("nov=") + Q(QStringLiteral("پرداختي"))};
    case TMonthlyReport::ReceivedCheque:
        return {QStringLiteral("mablagh"), QStringLiteral("tarikh"), QStringLiteral("t_check"), QStringLiteral("nov=") + Q(QStringLiteral("دريافتي"))};
    case TMonthlyReport::Profit:
        break;
    }
    return {QStringLiteral("m"), QStringLiteral("t"), QStringLiteral("V_Sood"), QString()};
}

} // namespace

const QStringList& MonthlyReportTexts()
{
    static const QStringList texts{QStringLiteral("هزينه ها"), QStringLiteral("درآمد ها"), QStringLiteral("حق بنگاه"),
                                   QStringLiteral("اسناد/چک هاي پرداختي"), QStringLiteral("اسناد/چک هاي دريافتي"),
                                   QStringLiteral("سود")};
    return texts;
}

QString MonthlyReportSql(TMonthlyReport kind, bool ranged, const QString& t1, const QString& t2)
{
    Source s = source(kind);
    // the profit view holds months only: a range bounds the full dates of its rows
    if (kind == TMonthlyReport::Profit && ranged)
        s.table = QStringLiteral("(") + profitRows() + QStringLiteral(") p");
    QStringList conditions;
    if (ranged)
        conditions << s.date + QStringLiteral(" between ") + Q(t1) + QStringLiteral(" and ") + Q(t2);
    if (!s.where.isEmpty())
        conditions << s.where;
    const QString month = QStringLiteral("substr(%1,1,7)").arg(s.date);
    QString sql = QStringLiteral("select sum(%1),%2 from %3").arg(s.sum, month, s.table);
    if (!conditions.isEmpty())
        sql += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    // rows without a date come first on both engines
    return sql + QStringLiteral(" group by %1 order by coalesce(%1,%2)").arg(month, Q(QString()));
}

std::vector<TMonthSum> RunMonthlyReport(db::DataSet& ds, TMonthlyReport kind, bool ranged, const QString& t1,
                                        const QString& t2)
{
    ds.Close();
    ds.setSQL(MonthlyReportSql(kind, ranged, t1, t2));
    ds.Open();
    std::vector<TMonthSum> rows;
    rows.reserve(size_t(ds.RecordCount()));
    for (int r = 0; r < ds.RecordCount(); ++r)
        rows.push_back({ds.ValueAt(r, 1).toString(), ds.ValueAt(r, 0).toDouble()});
    return rows;
}
