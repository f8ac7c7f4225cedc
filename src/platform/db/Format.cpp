#include "platform/db/Format.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace db {

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

    QString s = QString::number(v, 'f', maxDec);
    bool negative = s.startsWith(QLatin1Char('-'));
    if (negative)
        s.remove(0, 1);
    QString whole = s, frac;
    const qsizetype p = s.indexOf(QLatin1Char('.'));
    if (p >= 0) {
        whole = s.left(p);
        frac = s.mid(p + 1);
    }
    while (frac.size() > minDec && frac.endsWith(QLatin1Char('0')))
        frac.chop(1);
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
    if (negative && out.contains(QRegularExpression(QStringLiteral("[1-9]"))))
        out.prepend(QLatin1Char('-'));
    return out;
}

} // namespace db
