#pragma once
// Number formatting with a display format such as "###,###,###,###,##0.###".

#include <QString>

namespace db {

// Formats v by a display format of '#', '0', ',' and '.' (grouping when ',' appears;
// as many decimals as '#'/'0' after '.', trailing '#' decimals dropped when zero).
QString formatNumber(double v, const QString& format);

} // namespace db
