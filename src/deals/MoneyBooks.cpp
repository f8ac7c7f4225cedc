#include "deals/MoneyBooks.h"
#include "platform/db/DataSet.h"

#include "core/ComboItems.h"
#include "core/TDm.h"
#include "platform/db/Sql.h"
#include "platform/widgets/FieldLink.h"
#include "ui/TTools.h"

#include <QComboBox>

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

QString between(const QString& t1, const QString& t2)
{
    return QStringLiteral("tarikh between ") + db::Q(t1) + QStringLiteral(" and ") + db::Q(t2);
}

} // namespace

BookStatements HazinehStatements(bool dated, const QString& t1, const QString& t2)
{
    const QString expense = QStringLiteral("nov=") + db::Q(u("هزينه"));
    const QString income = QStringLiteral("nov=") + db::Q(u("درآمد"));
    const QString sum = QStringLiteral("select sum(mablagh) from t_hazineh where ");
    if (!dated)
        return {QStringLiteral("select * from t_hazineh order by tarikh, Hkey"), sum + expense, sum + income};
    const QString w = between(t1, t2);
    return {QStringLiteral("select * from t_hazineh where ") + w + QStringLiteral(" order by tarikh, Hkey"),
            sum + w + QStringLiteral(" and ") + expense, sum + w + QStringLiteral(" and ") + income};
}

BookStatements ChequeStatements(const ChequeCriteria& c)
{
    QString w = QStringLiteral(" where ") + db::BoolIs(QStringLiteral("hazf"), c.deletedOnly) + QLatin1Char(' ');
    if (c.dated)
        w += QStringLiteral(" and ") + between(c.t1, c.t2);
    const QString s = w;
    if (!(c.received && c.paid))
        w += QStringLiteral(" and nov in ('") + (c.received ? u("دريافتي") : QString())
             + (c.paid ? u("پرداختي") : QString()) + QStringLiteral("')");
    return {QStringLiteral("select * from T_check ") + w + QStringLiteral(" order by CID"),
            QStringLiteral("select sum(mablagh) as sd from  t_check") + s + QStringLiteral(" and nov=") + db::Q(u("دريافتي")),
            QStringLiteral("select sum(mablagh) as sp from  t_check") + s + QStringLiteral(" and nov=") + db::Q(u("پرداختي"))};
}

QColor KindColour(const QString& nov)
{
    return nov == u("درآمد") ? QColor(0, 0, 255) : QColor(255, 0, 0);
}

bool IsWellFormedDate(const QString& date)
{
    if (date.size() != 10 || date[4] != QLatin1Char('/') || date[7] != QLatin1Char('/'))
        return false;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (date[i] < QLatin1Char('0') || date[i] > QLatin1Char('9'))
            return false;
    const int y = date.left(4).toInt();
    const int m = date.mid(5, 2).toInt();
    const int d = date.mid(8, 2).toInt();
    if (y < 1 || m < 1 || m > 12 || d < 1)
        return false;
    const int days = m <= 6 ? 31 : m <= 11 ? 30 : TTools::IsShamsiLeapYear(y) ? 30 : 29;
    return d <= days;
}

QColor DueColour(const QString& vaziyat, const QString& tarikh, const QString& today)
{
    if (vaziyat != u("پاس نشده") || !IsWellFormedDate(tarikh))
        return {};
    if (tarikh <= today)
        return QColor(255, 0, 0);
    if (TTools::SubtractDays(tarikh, 5) <= today)
        return QColor(210, 205, 11); // 773586
    return {};
}

void KeepTypedComboItem(TDm& dm, QComboBox* combo)
{
    const QString text = combo->currentText();
    if (text.isEmpty() || combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive) >= 0
        || !ComboTextAccepted(combo))
        return;
    combo->addItem(text);
    combo->setEditText(text);
    widgets::guarded([&] { ChangeComboItem(dm, combo, text, true); });
}
