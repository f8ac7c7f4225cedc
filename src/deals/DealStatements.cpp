#include "deals/DealStatements.h"

#include "core/TPrefMng.h"
#include "platform/db/Dialect.h"
#include "platform/db/Sql.h"
#include "ui/TTools.h"

namespace {

// The commission after both discounts; a missing amount counts as 0.
const QString kAfter =
    QStringLiteral("(coalesce(haghebongah,0)-coalesce(ownerDiscount,0)-coalesce(customerDiscount,0))");

QString rate(double value) { return TTools::FloatToStr(value); }

} // namespace

DealRates DealRates::Current()
{
    DealRates r;
    r.vat = TPrefMng::GetVATVal();
    r.municipal = TPrefMng::GetMunicipalVal();
    return r;
}

QString DealWhere(const DealCriteria& c)
{
    QString w;
    if (c.byDate)
        w = QStringLiteral(" where tarikhsanad between ") + db::Q(c.from) + QStringLiteral(" and ") + db::Q(c.to);
    if (!(c.buySell && c.rahn)) {
        QString kinds;
        if (c.buySell)
            kinds += QLatin1Char('k');
        if (c.rahn)
            kinds += QLatin1Char('j');
        w += (w.isEmpty() ? QStringLiteral(" where nov in (") : QStringLiteral(" and nov in (")) + db::Q(kinds) +
             QLatin1Char(')');
    }
    return w;
}

QString DealListSql(const QString& where, const DealRates& rates, const db::Dialect& dialect)
{
    return QStringLiteral("select *, ") + kAfter + QStringLiteral("/100*") + rate(rates.vat) + QStringLiteral(" as VAT, ") +
           kAfter + QStringLiteral("/100*") + rate(rates.municipal) + QStringLiteral(" as Municipal, (") + kAfter +
           QStringLiteral("/100*") + rate(rates.total()) + QStringLiteral(")+") + kAfter + QStringLiteral(" as totalVAT, ") +
           kAfter + QStringLiteral(" as afterDiscount, (coalesce(ownerDiscount,0)+coalesce(customerDiscount,0)) as totalDiscount ") +
           QStringLiteral(" from ") + dialect.inKeyOrder(QStringLiteral("T_Sanad")) + QLatin1Char(' ') + where +
           QStringLiteral(" order by sid");
}

QString DealSumsSql(const QString& where, const DealRates& rates)
{
    return QStringLiteral("select sum(") + kAfter + QStringLiteral(") as sh, sum(") + kAfter + QStringLiteral("/100*") +
           rate(rates.vat) + QStringLiteral(") as sVAT, sum(") + kAfter + QStringLiteral("/100*") + rate(rates.municipal) +
           QStringLiteral(") as sMunicipal, sum((") + kAfter + QStringLiteral("/100*") + rate(rates.total()) +
           QStringLiteral(")+") + kAfter + QStringLiteral(") as stotalVAT from t_sanad ") + where;
}

QString DealSubtitle(const DealCriteria& c)
{
    if (!c.byDate)
        return QString();
    return QStringLiteral("\r\nاز ") + c.from + QStringLiteral(" تا ") + c.to;
}
