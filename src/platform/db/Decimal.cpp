#include "platform/db/Decimal.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <system_error>

namespace db {

namespace {

using Int = __int128;

// 10^n for n in 0..38; the mantissas stay below 10^37, so that two of them add without overflow.
Int pow10(int n)
{
    static const auto table = [] {
        struct T {
            Int p[39];
        } t{};
        t.p[0] = 1;
        for (int i = 1; i < 39; ++i)
            t.p[i] = t.p[i - 1] * 10;
        return t;
    }();
    return table.p[n];
}

constexpr int kMaxDigits = 37;

Int absolute(Int v) { return v < 0 ? -v : v; }

int digitCount(Int v)
{
    v = absolute(v);
    int n = 1;
    while (n <= kMaxDigits && v >= pow10(n))
        ++n;
    return n;
}

// v / 10^k rounded to the nearest whole number, ties to even.
Int divRoundEven(Int v, int k)
{
    if (k <= 0)
        return v;
    if (k > kMaxDigits)
        return 0;
    const Int d = pow10(k);
    Int q = v / d;
    const Int r = absolute(v % d);
    const Int twice = r * 2;
    if (twice > d || (twice == d && (q % 2) != 0))
        q += v < 0 ? -1 : 1;
    return q;
}

} // namespace

Decimal::Decimal(Int m, int scale) : m_(m), scale_(scale) {}

Decimal Decimal::normalized() const
{
    Decimal d = *this;
    if (d.m_ == 0) {
        d.scale_ = 0;
        return d;
    }
    while (d.m_ % 10 == 0) {
        d.m_ /= 10;
        --d.scale_;
    }
    return d;
}

int Decimal::Decimals() const
{
    const int scale = normalized().scale_;
    return scale > 0 ? scale : 0;
}

bool Decimal::operator==(const Decimal& o) const
{
    const Decimal a = normalized(), b = o.normalized();
    return a.m_ == b.m_ && a.scale_ == b.scale_;
}

Decimal Decimal::FromDouble(double v)
{
    if (!std::isfinite(v) || v == 0)
        return {};
    // a double that is exactly a decimal of at most four places (whole numbers, halves,
    // quarters ... sixteenths) is taken exactly, whatever its number of digits
    const double sixteenths = v * 16;
    if (std::fabs(v) < 9007199254740992.0 && sixteenths == std::floor(sixteenths))
        return Decimal(Int(sixteenths) * 625, 4);
    // the nearest double of a decimal of up to 15 digits and four places is that decimal
    // (amounts as stored): found without formatting
    static const double scales[] = {1, 10, 100, 1000, 10000};
    for (int k = 1; k <= 4; ++k) {
        const double r = std::nearbyint(v * scales[k]);
        if (std::fabs(r) < 1e15 && r / scales[k] == v)
            return Decimal(Int(r), k);
    }
    // otherwise its 15 significant digits, rounded once from the binary value:
    // d.dddddddddddddde±x
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    if (res.ec != std::errc())
        return {};
    const char* p = buf;
    const bool negative = *p == '-';
    if (negative)
        ++p;
    Int m = 0;
    int digits = 0;
    for (; p < res.ptr && *p != 'e'; ++p) {
        if (*p == '.')
            continue;
        m = m * 10 + (*p - '0');
        ++digits;
    }
    int exponent = 0;
    if (p < res.ptr)
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), res.ptr, exponent);
    return Decimal(negative ? -m : m, digits - 1 - exponent);
}

bool Decimal::FromText(QStringView text, Decimal* out)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('-') || text[i] == QLatin1Char('+'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    Int m = 0;
    int digits = 0, decimals = 0;
    bool point = false, any = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('.') && !point) {
            point = true;
            continue;
        }
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        any = true;
        if (m != 0 || c != QLatin1Char('0'))
            ++digits;
        if (digits > 36)
            return false;
        m = m * 10 + (c.unicode() - '0');
        if (point)
            ++decimals;
    }
    if (!any)
        return false;
    *out = Decimal(negative ? -m : m, decimals);
    return true;
}

int Decimal::Exponent() const { return m_ == 0 ? 0 : digitCount(m_) - 1 - scale_; }

double Decimal::ToDouble() const
{
    if (m_ == 0)
        return 0;
    // through the decimal text: strtod rounds correctly to the nearest double
    const QByteArray text = ToString().toLatin1();
    return std::strtod(text.constData(), nullptr);
}

QString Decimal::ToString() const
{
    const Decimal d = normalized();
    if (d.m_ == 0)
        return QStringLiteral("0");
    Int a = absolute(d.m_);
    QString digits;
    while (a > 0) {
        digits.prepend(QChar(u'0' + int(a % 10)));
        a /= 10;
    }
    if (d.scale_ < 0)
        digits += QString(-d.scale_, QLatin1Char('0'));
    else if (d.scale_ > 0) {
        if (digits.size() <= d.scale_)
            digits.prepend(QString(d.scale_ - digits.size() + 1, QLatin1Char('0')));
        digits.insert(digits.size() - d.scale_, QLatin1Char('.'));
    }
    return d.m_ < 0 ? QLatin1Char('-') + digits : digits;
}

Decimal Decimal::Rounded(int decimals) const
{
    if (scale_ <= decimals)
        return *this;
    return Decimal(divRoundEven(m_, scale_ - decimals), decimals);
}

Decimal Decimal::operator-() const
{
    Decimal d = *this;
    d.m_ = -d.m_;
    return d;
}

bool Decimal::scaledTo(int scale, Int* out) const
{
    const int k = scale - scale_;
    if (k < 0)
        return false;
    if (m_ == 0) {
        *out = 0;
        return true;
    }
    if (k > kMaxDigits || absolute(m_) >= pow10(kMaxDigits - k))
        return false;
    *out = m_ * pow10(k);
    return true;
}

Decimal Decimal::operator+(const Decimal& o) const
{
    if (o.m_ == 0)
        return *this;
    if (m_ == 0)
        return o;
    // the finer scale of the two, made coarser while a mantissa would not fit
    for (int scale = std::max(scale_, o.scale_);; --scale) {
        const Decimal a = Rounded(scale), b = o.Rounded(scale);
        Int x, y;
        if (a.scaledTo(scale, &x) && b.scaledTo(scale, &y)) {
            const Int sum = x + y;
            if (absolute(sum) < pow10(kMaxDigits))
                return Decimal(sum, scale);
        }
    }
}

Decimal Decimal::operator*(const Decimal& o) const
{
    if (m_ == 0 || o.m_ == 0)
        return {};
    Decimal a = *this, b = o;
    // drop the last digits of the longer factor until the product fits
    while (digitCount(a.m_) + digitCount(b.m_) > kMaxDigits) {
        Decimal& longer = digitCount(a.m_) >= digitCount(b.m_) ? a : b;
        longer = longer.Rounded(longer.scale_ - 1);
    }
    return Decimal(a.m_ * b.m_, a.scale_ + b.scale_);
}

Decimal Decimal::Shifted(int n) const
{
    Decimal d = *this;
    if (d.m_ != 0)
        d.scale_ += n;
    return d;
}

double RoundDecimal(double v, int decimals)
{
    if (!std::isfinite(v))
        return v;
    return Decimal::FromDouble(v).Rounded(decimals).ToDouble();
}

} // namespace db
