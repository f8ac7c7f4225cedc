#include "platform/db/Format.h"

#include "platform/db/Decimal.h"

#include <cmath>
#include <limits>

namespace db {

int DigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= 0x06F0 && u <= 0x06F9)
        return u - 0x06F0;
    if (u >= 0x0660 && u <= 0x0669)
        return u - 0x0660;
    return -1;
}

QString ToAsciiDigits(QString text)
{
    for (QChar& c : text)
        if (c.unicode() >= 0x0660) {
            const int d = DigitValue(c);
            if (d >= 0)
                c = QChar(u'0' + d);
        }
    return text;
}

qint64 ClampToInt64(double v)
{
    constexpr double limit = 9223372036854775808.0;   // 2^63
    if (std::isnan(v))
        return 0;
    if (v >= limit)
        return std::numeric_limits<qint64>::max();
    if (v < -limit)
        return std::numeric_limits<qint64>::min();
    return qint64(v);
}

qint64 RoundToInt64(double v) { return ClampToInt64(std::nearbyint(v)); }

bool WholeNumber(double v, qint64* out)
{
    constexpr double limit = 9223372036854775808.0;
    if (!(v >= -limit && v < limit) || v != std::floor(v))
        return false;
    *out = qint64(v);
    return true;
}

QString formatNumber(double v, const QString& format)
{
    if (std::isnan(v) || std::isinf(v))
        return QString::number(v);
    const qsizetype dot = format.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? format : format.left(dot);
    const QString decPart = dot < 0 ? QString() : format.mid(dot + 1);
    const bool group = intPart.contains(QLatin1Char(','));
    const int maxDec = int(decPart.count(QLatin1Char('#')) + decPart.count(QLatin1Char('0')));
    const int minDec = int(decPart.count(QLatin1Char('0')));
    const int minInt = int(intPart.count(QLatin1Char('0')));

    const Decimal rounded = Decimal::FromDouble(v).Rounded(maxDec);
    QString s = rounded.ToString();
    const bool negative = rounded.IsNegative();
    if (negative)
        s.remove(0, 1);
    QString whole = s, frac;
    const qsizetype p = s.indexOf(QLatin1Char('.'));
    if (p >= 0) {
        whole = s.left(p);
        frac = s.mid(p + 1);
    }
    while (frac.size() < minDec)
        frac += QLatin1Char('0');
    while (whole.size() < minInt)
        whole.prepend(QLatin1Char('0'));
    if (minInt == 0 && whole == QLatin1String("0"))
        whole.clear();
    if (group && whole.size() > 3) {
        QString g;
        const qsizetype n = whole.size();
        for (qsizetype i = 0; i < n; ++i) {
            if (i > 0 && (n - i) % 3 == 0)
                g += QLatin1Char(',');
            g += whole[i];
        }
        whole = g;
    }
    QString out = whole;
    if (!frac.isEmpty())
        out += QLatin1Char('.') + frac;
    if (negative)
        out.prepend(QLatin1Char('-'));
    return out;
}

QString GeneralFloat(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NAN");
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    const Decimal d = Decimal::FromDouble(v).RoundedSignificant(15);
    if (d.IsZero())
        return QStringLiteral("0");
    const int exponent = d.Exponent();
    QString text = d.ToString();
    if (exponent < 15 && exponent >= -5)
        return text;
    const bool negative = d.IsNegative();
    // the significant digits: no sign, point, leading or trailing zeros
    text.remove(QLatin1Char('-'));
    text.remove(QLatin1Char('.'));
    while (text.startsWith(QLatin1Char('0')))
        text.remove(0, 1);
    while (text.size() > 1 && text.endsWith(QLatin1Char('0')))
        text.chop(1);
    QString out = negative ? QStringLiteral("-") : QString();
    out += text.at(0);
    if (text.size() > 1)
        out += QLatin1Char('.') + text.mid(1);
    return out + QLatin1Char('E') + QString::number(exponent);
}

} // namespace db
