#include "app/CaptionDate.h"

#include <QCalendar>
#include <QDate>

QString CaptionDate()
{
    const QCalendar jalali(QCalendar::System::Jalali);
    const QCalendar::YearMonthDay d = jalali.partsFromDate(QDate::currentDate());
    return QStringLiteral("%1/%2/%3")
        .arg(d.year, 4, 10, QLatin1Char('0'))
        .arg(d.month, 2, 10, QLatin1Char('0'))
        .arg(d.day, 2, 10, QLatin1Char('0'));
}
