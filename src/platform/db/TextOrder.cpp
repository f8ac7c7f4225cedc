#include "platform/db/TextOrder.h"

#include <QLocale>

namespace db {

QCollator textCollator()
{
    QCollator c(QLocale(QLocale::Persian, QLocale::Iran));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
}

} // namespace db
