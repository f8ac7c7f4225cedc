#include "deals/MonthlyReports.h"

#include "platform/db/DataSet.h"
#include "platform/db/Field.h"
#include "platform/db/Sql.h"

using db::Q;

namespace {

// One sum of a report: the summed expression, its date column, its table and its own condition.
struct Source {
    QString sum;
    QString date;
    QString table;
    QString where;
};

const QString kExpense = QStringLiteral("هزينه");
const QString kIncome = QStringLiteral("درآمد");
// a missing discount counts as none
const QString kCommission = QStringLiteral("coalesce(Haghebongah,0)-coalesce(ownerDiscount,0)-coalesce(customerDiscount,0)");

// The sums a report adds per month: profit is incomes less expenses plus commission.
std::vector<Source> sources(TMonthlyReport kind)
{
    const QString nov = QStringLiteral("nov=");
    switch (kind) {
    case TMonthlyReport::Expense:
        return {{QStringLiteral("mablagh"), QStringLiteral("tarikh"), QStringLiteral("t_hazineh"), nov + Q(kExpense)}};
    case TMonthlyReport::Income:
        return {{QStringLiteral("mablagh"), QStringLiteral("tarikh"), QStringLiteral("t_hazineh"), nov + Q(kIncome)}};
    case TMonthlyReport::Commission:
        return {{kCommission, QStringLiteral("tarikhsanad"), QStringLiteral("t_sanad"), QString()}};
    case TMonthlyReport::PaidCheque:
        return {{QStringLiteral("mablagh"), QStringLiteral("tarikh"), QStringLiteral("t_check"), nov + Q(QStringLiteral("پرداختي"))}};
    case TMonthlyReport::ReceivedCheque:
        return {{QStringLiteral("mablagh"), QStringLiteral("tarikh"), QStringLiteral("t_check"), nov + Q(QStringLiteral("دريافتي"))}};
    case TMonthlyReport::Profit:
        break;
    }
    return {{QStringLiteral("-coalesce(mablagh,0)"), QStringLiteral("tarikh"), QStringLiteral("t_hazineh"), nov + Q(kExpense)},
            {QStringLiteral("coalesce(mablagh,0)"), QStringLiteral("tarikh"), QStringLiteral("t_hazineh"), nov + Q(kIncome)},
            {kCommission, QStringLiteral("tarikhsanad"), QStringLiteral("t_sanad"), QString()}};
}

// A source's sum per day. The (kind, date, amount) indexes of the schema hand the rows over in
// date order, so no row is sorted; the days then add up to months. A day's sum comes back as
// the double of its exact decimal, which is that decimal again for amounts as stored.
QString daySums(const Source& s, bool ranged, const QString& t1, const QString& t2)
{
    QStringList conditions;
    if (!s.where.isEmpty())
        conditions << s.where;
    if (ranged)
        conditions << s.date + QStringLiteral(" between ") + Q(t1) + QStringLiteral(" and ") + Q(t2);
    QString sql = QStringLiteral("select sum(%1) as s, %2 as d from %3").arg(s.sum, s.date, s.table);
    if (!conditions.isEmpty())
        sql += QStringLiteral(" where ") + conditions.join(QStringLiteral(" and "));
    return sql + QStringLiteral(" group by ") + s.date;
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
    QStringList days;
    for (const Source& s : sources(kind))
        days << daySums(s, ranged, t1, t2);
    // rows without a date come first on both engines
    return QStringLiteral("select sum(s), substr(d,1,7) from (%1) p group by substr(d,1,7) order by coalesce(substr(d,1,7),%2)")
        .arg(days.join(QStringLiteral(" union all ")), Q(QString()));
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
