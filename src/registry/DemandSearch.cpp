#include "registry/DemandSearch.h"

#include "platform/db/Sql.h"
#include "ui/TTools.h"

QString BuildDemandSearchStatement(const TDemandCriteria& c, QString* error)
{
    QString s = QStringLiteral("select * from t_niyaz");
    bool joined = false;
    const auto add = [&](const QString& clause) {
        s += (joined ? QStringLiteral(" and ") : QStringLiteral(" where ")) + clause;
        joined = true;
    };

    // both ticked: deleted or not, every demand
    if (c.ChkDel != c.ChkNotdel)
        add(db::BoolIs(QStringLiteral("hazfshodeh"), c.ChkDel));
    if (c.chktarikh)
        add(QStringLiteral("TarikhEraeh between ") + db::Q(c.edtt1) + QStringLiteral(" and ") + db::Q(c.edtt2));
    if (c.chkre) {
        add(QStringLiteral(" (rahn<>0 or ejareh<>0) "));
    } else if (!(c.chksell && c.ChkRahn && c.ChkEjareh) && (c.chksell || c.ChkRahn || c.ChkEjareh)) {
        // No deal kind ticked at all: no condition on the deal kinds.
        QString g = QStringLiteral("(");
        if (c.chksell)
            g += QStringLiteral(" kharid<>0 ");
        if (c.ChkRahn || c.ChkEjareh)
            g += (c.chksell ? QStringLiteral(" or ") : QString()) + QLatin1Char(' ')
                 + db::BoolIs(QStringLiteral("rahn"), c.ChkRahn) + QStringLiteral(" and ")
                 + db::BoolIs(QStringLiteral("ejareh"), c.ChkEjareh);
        add(g + QStringLiteral(")"));
    }
    if (c.chkf) {
        bool okA = false, okB = false;
        const double a = TTools::StrToFloatSafe(c.edtf, &okA);
        const double b = TTools::StrToFloatSafe(c.edtr, &okB);
        if (!okA || !okB) {
            if (error)
                *error = QStringLiteral("حدود قيمت بايد عدد باشد: ") + (okA ? c.edtr : c.edtf);
            return QString();
        }
        const QString lo = TTools::FloatToStr(a);
        const QString hi = TTools::FloatToStr(b);
        QString g = QStringLiteral("(");
        bool first = true;
        for (const char* f : {"f1", "f1_2", "f2", "f2_2", "f3", "f3_2"}) {
            g += (first ? QString() : QStringLiteral(" or ")) + QLatin1String(f) + QStringLiteral(" between ") + lo
                 + QStringLiteral(" and ") + hi;
            first = false;
        }
        add(g + QStringLiteral(")"));
    }
    if (c.chkmn && !c.region.isNull() && c.region.toString() != QStringLiteral("-1"))
        add(QStringLiteral("mnid=") + QString::number(c.region.toLongLong()));
    return s;
}
