#include "ui/TTools.h"

#include "platform/db/Decimal.h"
#include "platform/db/Format.h"
#include "ui/Dialogs.h"

#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <climits>
#include <cmath>
#include <cstdlib>

TTools* Tools = nullptr;

namespace {

const QChar DecimalSeparator = QLatin1Char('.');
const QChar ThousandSeparator = QLatin1Char(',');

qint64 floorDiv(qint64 a, qint64 b)
{
    qint64 q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

// Leap years among 1..n (n may be negative: then minus those among n+1..0).
qint64 leapsUpTo(qint64 n)
{
    const qint64 cycles = floorDiv(n, 33);
    qint64 count = cycles * 8;
    for (qint64 y = cycles * 33 + 1; y <= n; ++y)
        if (TTools::IsShamsiLeapYear(int(y)))
            ++count;
    return count;
}

// Julian day of 1 Farvardin 1403 (2024-03-20).
const qint64 Anchor1403 = 2460390;

qint64 nowruz(qint64 year)
{
    return Anchor1403 + 365 * (year - 1403) + leapsUpTo(year - 1) - leapsUpTo(1402);
}

qint64 toJulianDay(int y, int m, int d)
{
    const int before = m <= 6 ? (m - 1) * 31 : 186 + (m - 7) * 30;
    return nowruz(y) + before + d - 1;
}

QString fromJulianDay(qint64 jd)
{
    qint64 y = 1403 + qint64(std::floor(double(jd - Anchor1403) / 365.2424));
    while (nowruz(y + 1) <= jd)
        ++y;
    while (nowruz(y) > jd)
        --y;
    int doy = int(jd - nowruz(y));
    int m, d;
    if (doy < 186) {
        m = doy / 31 + 1;
        d = doy % 31 + 1;
    } else {
        doy -= 186;
        m = doy / 30 + 7;
        d = doy % 30 + 1;
    }
    return QStringLiteral("%1/%2/%3").arg(y).arg(m, 2, 10, QLatin1Char('0')).arg(d, 2, 10, QLatin1Char('0'));
}

// Reads characters [pos, pos+len) as a plain unsigned decimal.
bool readPart(const QString& text, int pos, int len, int& value)
{
    const QString part = text.mid(pos, len);
    if (!TTools::IsDigits(part))
        return false;
    value = part.toInt();
    return true;
}

bool isEmptyNumber(const QString& text)
{
    return text.isEmpty() || text == QLatin1String("-") || text == QLatin1String("+");
}

void showDateError(const QString& message)
{
    ShowMessageDlg(dkError, QStringLiteral("تاريخ"), message, dbOk, 12, QStringLiteral("tahoma"), 0);
}

} // namespace

TTools::TTools(bool isAccess, Clock clock) : isAccess_(isAccess), clock_(std::move(clock)) {}

void TTools::setClock(Clock clock) { clock_ = std::move(clock); }

QDateTime TTools::now() const { return clock_ ? clock_() : QDateTime::currentDateTime(); }

bool TTools::IsShamsiLeapYear(int year)
{
    const qint64 r = (25 * qint64(year) + 11) % 33;
    return (r < 0 ? r + 33 : r) < 8;
}

QString TTools::ShamsiDate(const QDate& gregorian)
{
    return fromJulianDay(gregorian.toJulianDay());
}

QString TTools::TodayShamsi() const
{
    const QDateTime t = now();
    QString result = ShamsiDate(t.date());
    if (!isAccess_) {
        const QString hhmm = t.toString(QStringLiteral("HH:mm"));
        if (!(hhmm < QLatin1String("00:00:00")) && !(hhmm > QLatin1String("04:00:00")))
            result = SubtractDays(result, 1);
    }
    return result;
}

QString TTools::NowHHmm() const { return now().toString(QStringLiteral("HH:mm")); }

bool TTools::ValidateShamsiDate(const QString& date, int maxYearDistance) const
{
    const QString wrongDate = QStringLiteral("تاريخ وارد شده درست نمي باشد");
    const QString wrongDay = QStringLiteral("روز وارد شده درست نمي باشد");
    if (date.isEmpty())
        return false;
    if (date.contains(QLatin1Char(' '))) {
        showDateError(wrongDate);
        return false;
    }
    if (date.size() != 10 || date.at(4) != QLatin1Char('/') || date.at(7) != QLatin1Char('/')) {
        showDateError(wrongDate);
        return false;
    }
    int month = 0;
    if (!readPart(date, 5, 2, month) || month < 1 || month > 12) {
        showDateError(QStringLiteral("ماه وارد شده درست نمي باشد"));
        return false;
    }
    int day = 0;
    if (!readPart(date, 8, 2, day) || day < 1 || (month <= 6 && day > 31) || (month >= 7 && day > 30)) {
        showDateError(wrongDay);
        return false;
    }
    int year = 0;
    if (!readPart(date, 0, 4, year)) {
        showDateError(wrongDate);
        return false;
    }
    if (maxYearDistance != 0) {
        const QString today = TodayShamsi();
        const int current = today.left(today.indexOf(QLatin1Char('/'))).toInt();
        if (std::abs(year - current) > maxYearDistance) {
            const QString text = QStringLiteral("اختلاف سال وارد شده(") + QString::number(year) + QStringLiteral(")")
                + QStringLiteral("با سال كنوني(") + QString::number(current) + QStringLiteral(")بسيار زياد است")
                + QLatin1Char('\n') + QStringLiteral("آيا ادامه دهيم؟");
            if (ShowMessageDlg(dkError, QStringLiteral("تاريخ"), text, dbYes | dbNo, 10, QStringLiteral("tahoma"), 0) != 6)
                return false;
        }
    }
    if (month == 12 && day > (IsShamsiLeapYear(year) ? 30 : 29)) {
        showDateError(wrongDay);
        return false;
    }
    return true;
}

QString TTools::SubtractDays(const QString& date, int days)
{
    int y = 0, m = 0, d = 0;
    if (!readPart(date, 0, 4, y) || !readPart(date, 5, 2, m) || !readPart(date, 8, 2, d) || m < 1 || m > 12)
        return date;
    return fromJulianDay(toJulianDay(y, m, d) - days);
}

QString TTools::StripThousands(const QString& text)
{
    // the one reading of every typed number: digits in any script, no separators
    QString s = db::ToAsciiDigits(text);
    s.remove(ThousandSeparator);
    return isEmptyNumber(s) ? QStringLiteral("0") : s;
}

double TTools::StrToFloatSafe(const QString& text, bool* ok)
{
    if (ok)
        *ok = true;
    if (isEmptyNumber(text))
        return 0;
    QString s = StripThousands(text);
    if (DecimalSeparator != QLatin1Char('.'))
        s.replace(DecimalSeparator, QLatin1Char('.'));
    bool good = false;
    const double v = s.toDouble(&good);
    if (!good || !std::isfinite(v)) {
        if (ok)
            *ok = false;
        return 0;
    }
    return v;
}

db::Decimal TTools::StrToAmount(const QString& text, bool* ok)
{
    QString s = StripThousands(text).trimmed();
    if (DecimalSeparator != QLatin1Char('.'))
        s.replace(DecimalSeparator, QLatin1Char('.'));
    db::Decimal d;
    if (db::Decimal::FromText(s, &d)) {
        if (ok)
            *ok = true;
        return d;
    }
    // exponents and the like: the decimal of the double
    return db::Decimal::FromDouble(StrToFloatSafe(text, ok));
}

qint64 TTools::StrToInt64Safe(const QString& text, bool* ok)
{
    if (ok)
        *ok = true;
    if (isEmptyNumber(text))
        return 0;
    bool good = false;
    const int v = StripThousands(text).toInt(&good);
    if (ok)
        *ok = good;
    return good ? v : 0;
}

QString TTools::FormatThousands(const QString& text)
{
    if (isEmptyNumber(text))
        return QStringLiteral("0");
    QString s = text;
    if (s.contains(QLatin1Char('E'))) {
        bool good = false;
        const double v = s.toDouble(&good);
        if (good && std::isfinite(v))
            s = db::formatNumber(v, QStringLiteral("0.000"));
    }
    QString sign;
    if (s.startsWith(QLatin1Char('-'))) {
        sign = QStringLiteral("-");
        s.remove(0, 1);
    }
    QString decimals;
    const int p = s.indexOf(DecimalSeparator);
    if (p >= 0) {
        decimals = s.mid(p);
        s.truncate(p);
    }
    for (int pos = s.size() - 3; pos > 0; pos -= 3)
        s.insert(pos, ThousandSeparator);
    return sign + s + decimals;
}

QString TTools::FloatToThousands(double value) { return FormatThousands(FloatToStr(value)); }

bool TTools::IsDigits(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString TTools::AppPath()
{
    QString dir = qEnvironmentVariable("DOVIN_HOME");
    if (dir.isEmpty()) {
        if (QCoreApplication::instance())
            dir = QCoreApplication::applicationDirPath();
        else
            dir = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(QLatin1Char('/'), 0, -2);
    }
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir;
}

int TTools::LastPos(const QString& text, QChar c) { return text.lastIndexOf(c) + 1; }

int TTools::AbsInt(int value) { return value == INT_MIN ? INT_MAX : std::abs(value); }

QString TTools::FloatToStr(double value) { return db::GeneralFloat(value); }
