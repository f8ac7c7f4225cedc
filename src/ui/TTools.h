#pragma once
// Persian dates, the time, tolerant number parsing and thousands formatting, the program folder.

#include <QChar>
#include <QString>
#include <QtGlobal>
#include <functional>

class QDate;
class QDateTime;
namespace db { class Decimal; }

class TTools {
public:
    using Clock = std::function<QDateTime()>;

    // isAccess: the file database (no early-morning shift of today's date).
    // clock: the current local time; the system clock when empty.
    explicit TTools(bool isAccess = true, Clock clock = {});

    void setClock(Clock clock);

    // Today's Persian date "yyyy/mm/dd"; on the server database 00:01-04:00 still counts as yesterday.
    QString TodayShamsi() const;
    // Current time "HH:mm".
    QString NowHHmm() const;
    // True when acceptable; otherwise shows why (message dialog) and returns false.
    // maxYearDistance 0: no question about the distance from the current year.
    bool ValidateShamsiDate(const QString& date, int maxYearDistance) const;

    // The Persian date n days earlier; an unreadable date comes back unchanged.
    static QString SubtractDays(const QString& date, int days);
    // Removes the thousands separators and reads Persian and Arabic-Indic digits as ASCII;
    // empty, "-" or "+" give "0". Every typed number is read through it.
    static QString StripThousands(const QString& text);
    // 0 (and ok false) for text that is not a number.
    static double StrToFloatSafe(const QString& text, bool* ok = nullptr);
    // The exact decimal of an amount text (thousands separators allowed); 0 (and ok false)
    // for text that is not a number.
    static db::Decimal StrToAmount(const QString& text, bool* ok = nullptr);
    // Parsed in the 32-bit range; 0 (and ok false) for anything else.
    static qint64 StrToInt64Safe(const QString& text, bool* ok = nullptr);
    static QString FormatThousands(const QString& text);
    static QString FloatToThousands(double value);
    static bool IsDigits(const QString& text);
    // The program folder ($DOVIN_HOME when set), ending with "/".
    static QString AppPath();
    // 1-based position of the last c in text, 0 when absent.
    static int LastPos(const QString& text, QChar c);
    static int AbsInt(int value);
    // General format: up to 15 significant digits, "E" exponents (250, 1.5, 1E15, 0.00001, 1E-6).
    static QString FloatToStr(double value);

    // The Persian date of a Gregorian day, "yyyy/mm/dd".
    static QString ShamsiDate(const QDate& gregorian);
    // 33-year arithmetic leap rule, the one used by conversion, validation and day arithmetic.
    static bool IsShamsiLeapYear(int year);

private:
    QDateTime now() const;

    bool isAccess_;
    Clock clock_;
};

// The program's tools object, created with the main window.
extern TTools* Tools;
