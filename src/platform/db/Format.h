#pragma once
// Number formatting with a display format such as "###,###,###,###,##0.###".

#include <QString>

namespace db {

// Formats v by a display format of '#', '0', ',' and '.' (grouping when ',' appears;
// as many decimals as '#'/'0' after '.', trailing '#' decimals dropped when zero).
// The value is rounded on its decimal value (Decimal::FromDouble), ties to even.
QString formatNumber(double v, const QString& format);

// The general format: up to 15 significant digits, "." as decimal separator, no grouping and
// no decimal point for a whole value (250, 1.5, 0.00001); "E" exponents from 1E15 up and
// below 0.00001 (1E-6, -2.5E20); "NAN", "INF", "-INF".
QString GeneralFloat(double v);

// Persian (U+06F0..) and Arabic-Indic (U+0660..) digits as ASCII digits; other characters stay.
QString ToAsciiDigits(QString text);
// The value of an ASCII, Persian or Arabic-Indic digit; -1 for any other character.
int DigitValue(QChar c);

// A double as a 64-bit whole number: cut toward zero and held within the range (NaN gives 0);
// converting an out-of-range double directly is undefined.
qint64 ClampToInt64(double v);
// Rounded to the nearest whole number first (ties to even).
qint64 RoundToInt64(double v);
// True, with the number in out, when v is a whole number within the 64-bit range.
bool WholeNumber(double v, qint64* out);

} // namespace db
