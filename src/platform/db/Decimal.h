#pragma once
// Decimal numbers held exactly, for amounts: sums without binary noise, and rounding whose
// ties go to even on the decimal value rather than on its binary approximation.

#include <QString>
#include <QStringView>
#include <QtGlobal>

namespace db {

class Decimal {
public:
    Decimal() = default;
    explicit Decimal(qint64 whole) : m_(whole) {}

    // The decimal a double stands for: the double itself when it is a decimal of at most four
    // places below 2^53 (1E15 + 0.5 stays itself), else its value at 15 significant digits, so that 0.1
    // is one tenth and the noise of binary arithmetic is gone. Not a number or infinite gives 0.
    static Decimal FromDouble(double v);
    // Plain decimal text: optional sign, digits, optional "." and digits ("-12.5", ".5", "7.").
    // False for anything else, or more than 36 digits.
    static bool FromText(QStringView text, Decimal* out);

    double ToDouble() const;
    // Plain notation, no exponent, no trailing zeros after the point ("-0.05", "1200").
    QString ToString() const;
    // Digits after the decimal point, trailing zeros not counted.
    int Decimals() const;
    // The power of ten of the first significant digit (1234.5: 3; 0.05: -2; 0: 0).
    int Exponent() const;
    bool IsZero() const { return m_ == 0; }
    bool IsNegative() const { return m_ < 0; }

    // Rounded to that many decimals (negative: to tens, hundreds...), ties to even.
    Decimal Rounded(int decimals) const;
    // Rounded to that many significant digits, ties to even.
    Decimal RoundedSignificant(int digits) const { return Rounded(digits - 1 - Exponent()); }

    Decimal operator-() const;
    Decimal operator+(const Decimal& o) const;
    Decimal operator-(const Decimal& o) const { return *this + -o; }
    Decimal operator*(const Decimal& o) const;
    // Divided by 10 to the power n (n >= 0).
    Decimal Shifted(int n) const;
    Decimal& operator+=(const Decimal& o) { return *this = *this + o; }
    bool operator==(const Decimal& o) const;
    bool operator!=(const Decimal& o) const { return !(*this == o); }

private:
    using Int = __int128;
    Decimal(Int m, int scale);
    // The same value without trailing zeros in the mantissa.
    Decimal normalized() const;
    // The mantissa at a larger scale; false when it does not fit.
    bool scaledTo(int scale, Int* out) const;

    Int m_ = 0;     // value = m_ / 10^scale_, |m_| < 10^37; trailing zeros allowed
    int scale_ = 0; // may be negative for values held as m_ * 10^-scale_
};

// Rounds a double's decimal value (see Decimal::FromDouble) to that many decimals, ties to even.
double RoundDecimal(double v, int decimals);

// Adds amounts exactly; the double of the exact sum comes out.
class AmountSum {
public:
    void add(double v) { sum_ += Decimal::FromDouble(v); }
    void add(const Decimal& v) { sum_ += v; }
    const Decimal& value() const { return sum_; }
    double total() const { return sum_.ToDouble(); }

private:
    Decimal sum_;
};

} // namespace db
