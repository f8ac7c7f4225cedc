#pragma once
// Number formatting with a display format such as "###,###,###,###,##0.###".

#include <QString>

namespace db {

// Formats v by a display format of '#', '0', ',' and '.' (grouping when ',' appears;
// as many decimals as '#'/'0' after '.', trailing '#' decimals dropped when zero).
QString formatNumber(double v, const QString& format);

// A double as a 64-bit whole number: cut toward zero and held within the range (NaN gives 0);
// converting an out-of-range double directly is undefined.
qint64 ClampToInt64(double v);
// Rounded to the nearest whole number first (ties to even).
qint64 RoundToInt64(double v);
// True, with the number in out, when v is a whole number within the 64-bit range.
bool WholeNumber(double v, qint64* out);

} // namespace db
