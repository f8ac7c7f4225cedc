#include "ui/TTools.h"
#include "platform/db/Decimal.h"

#include "support/ScriptedPrompter.h"

#include <QCalendar>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>

#include <gtest/gtest.h>

#include <climits>

using testing_support::ScriptedPrompter;

namespace {

TTools::Clock at(int y, int m, int d, int hh = 12, int mm = 0)
{
    return [=] { return QDateTime(QDate(y, m, d), QTime(hh, mm)); };
}

struct ConversionCase {
    QDate gregorian;
    const char* shamsi;
};

const ConversionCase ConversionCases[] = {
    {QDate(2024, 3, 19), "1402/12/29"}, {QDate(2024, 3, 20), "1403/01/01"}, {QDate(2025, 3, 20), "1403/12/30"},
    {QDate(2025, 3, 21), "1404/01/01"}, {QDate(2024, 12, 21), "1403/10/01"}, {QDate(2023, 3, 20), "1401/12/29"},
    {QDate(2024, 9, 22), "1403/07/01"}, {QDate(1993, 3, 21), "1372/01/01"}, {QDate(2029, 3, 19), "1407/12/29"},
    {QDate(2029, 3, 20), "1408/01/01"}, {QDate(2030, 3, 20), "1408/12/30"}, {QDate(1990, 1, 1), "1368/10/11"},
};

} // namespace

TEST(TTools, TodayShamsiConvertsTheClockDate)
{
    for (const auto& c : ConversionCases) {
        TTools t(true, [&] { return QDateTime(c.gregorian, QTime(12, 0)); });
        EXPECT_EQ(t.TodayShamsi(), QLatin1String(c.shamsi)) << c.gregorian.toString(Qt::ISODate).toStdString();
    }
}

TEST(TTools, EveryDayFrom1990To2040MatchesTheJalaliCalendar)
{
    const QCalendar jalali(QCalendar::System::Jalali);
    ScriptedPrompter prompter;
    const TTools tools;
    QString previous;
    for (QDate d(1990, 1, 1); d <= QDate(2040, 12, 31); d = d.addDays(1)) {
        const QCalendar::YearMonthDay p = jalali.partsFromDate(d);
        const QString expected = QStringLiteral("%1/%2/%3")
                                     .arg(p.year)
                                     .arg(p.month, 2, 10, QLatin1Char('0'))
                                     .arg(p.day, 2, 10, QLatin1Char('0'));
        const QString got = TTools::ShamsiDate(d);
        ASSERT_EQ(got, expected) << d.toString(Qt::ISODate).toStdString();
        ASSERT_TRUE(tools.ValidateShamsiDate(got, 0)) << got.toStdString();
        if (!previous.isEmpty())
            ASSERT_EQ(TTools::SubtractDays(got, 1), previous) << got.toStdString();
        previous = got;
    }
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST(TTools, LeapYearsFollowTheThirtyThreeYearRule)
{
    const QCalendar jalali(QCalendar::System::Jalali);
    for (int y = 1340; y <= 1430; ++y)
        EXPECT_EQ(TTools::IsShamsiLeapYear(y), jalali.isLeapYear(y)) << y;
    EXPECT_TRUE(TTools::IsShamsiLeapYear(1403));
    EXPECT_FALSE(TTools::IsShamsiLeapYear(1407));
    EXPECT_TRUE(TTools::IsShamsiLeapYear(1408));
}

TEST(TTools, ServerDatabaseShiftsTheEarlyMorning)
{
    struct Case {
        bool access;
        int hh, mm;
        const char* expected;
    } cases[] = {
        {false, 0, 0, "1403/01/01"}, {false, 0, 1, "1402/12/29"}, {false, 2, 30, "1402/12/29"},
        {false, 4, 0, "1402/12/29"}, {false, 4, 1, "1403/01/01"}, {false, 23, 59, "1403/01/01"},
        {true, 0, 1, "1403/01/01"},  {true, 4, 0, "1403/01/01"},
    };
    for (const auto& c : cases) {
        TTools t(c.access, at(2024, 3, 20, c.hh, c.mm));
        EXPECT_EQ(t.TodayShamsi(), QLatin1String(c.expected)) << c.access << " " << c.hh << ":" << c.mm;
    }
    EXPECT_EQ(TTools(true, at(2024, 3, 20, 7, 5)).NowHHmm(), QLatin1String("07:05"));
}

TEST(TTools, SubtractDays)
{
    struct Case {
        const char* date;
        int days;
        const char* expected;
    } cases[] = {
        {"1404/01/01", 1, "1403/12/30"}, {"1403/01/01", 1, "1402/12/29"}, {"1403/02/05", 10, "1403/01/26"},
        {"1403/05/12", 185, "1402/11/10"}, {"1403/05/12", 0, "1403/05/12"}, {"1409/01/01", 1, "1408/12/30"},
        {"1408/01/01", 1, "1407/12/29"}, {"1403/07/01", 1, "1403/06/31"}, {"1403/08/01", 1, "1403/07/30"},
        {"1403/01/01", 365 + 365, "1401/01/01"}, {"1404/01/01", 366 + 365, "1402/01/01"},
        // unreadable dates come back as they are
        {"1403/0_/__", 1, "1403/0_/__"}, {"", 5, ""}, {"abcd/ef/gh", 1, "abcd/ef/gh"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TTools::SubtractDays(QString::fromUtf8(c.date), c.days), QString::fromUtf8(c.expected))
            << c.date << " - " << c.days;
}

TEST(TTools, ValidateShamsiDateMessagesInOrder)
{
    const QString wrongDate = QStringLiteral("تاريخ وارد شده درست نمي باشد");
    const QString wrongMonth = QStringLiteral("ماه وارد شده درست نمي باشد");
    const QString wrongDay = QStringLiteral("روز وارد شده درست نمي باشد");
    struct Case {
        const char* date;
        QString message; // empty: accepted
    } cases[] = {
        {"1403/12/30", {}},         {"1408/12/30", {}},        {"1403/06/31", {}},
        {"1403 13/40", wrongDate},  {"1403/13/40", wrongMonth}, {"1403/00/10", wrongMonth},
        {"1403/07/31", wrongDay},   {"1403/01/00", wrongDay},  {"1402/12/30", wrongDay},
        {"1407/12/30", wrongDay},   {"1403/0_/__", wrongMonth}, {"1403/05/1_", wrongDay},
        {"14__/05/12", wrongDate},  {"1403-05-12", wrongDate}, {"1403/5/12", wrongDate},
        {"____/__/__", wrongMonth},
    };
    const TTools tools;
    for (const auto& c : cases) {
        ScriptedPrompter p;
        const bool ok = tools.ValidateShamsiDate(QString::fromUtf8(c.date), 0);
        EXPECT_EQ(ok, c.message.isEmpty()) << c.date;
        if (c.message.isEmpty()) {
            EXPECT_TRUE(p.calls.isEmpty()) << c.date;
            continue;
        }
        ASSERT_EQ(p.calls.size(), 1) << c.date;
        EXPECT_EQ(p.calls[0].text, c.message) << c.date;
        EXPECT_EQ(p.calls[0].caption, QStringLiteral("تاريخ"));
        EXPECT_EQ(p.calls[0].kind, 0);
        EXPECT_EQ(p.calls[0].buttons, 1);
        EXPECT_EQ(p.calls[0].fontSize, 12);
    }
    ScriptedPrompter p;
    EXPECT_FALSE(tools.ValidateShamsiDate(QString(), 0));
    EXPECT_TRUE(p.calls.isEmpty());
}

TEST(TTools, ValidateShamsiDateAsksAboutDistantYears)
{
    const TTools tools(true, at(2024, 6, 1)); // 1403
    const QString question = QStringLiteral("اختلاف سال وارد شده(") + QStringLiteral("1390)")
        + QStringLiteral("با سال كنوني(") + QStringLiteral("1403)بسيار زياد است") + QStringLiteral("\n")
        + QStringLiteral("آيا ادامه دهيم؟");
    {
        ScriptedPrompter p;
        p.answer(7);
        EXPECT_FALSE(tools.ValidateShamsiDate(QStringLiteral("1390/01/01"), 10));
        ASSERT_EQ(p.calls.size(), 1);
        EXPECT_EQ(p.calls[0].text, question);
        EXPECT_EQ(p.calls[0].buttons, 4 | 8);
        EXPECT_EQ(p.calls[0].fontSize, 10);
        EXPECT_EQ(p.calls[0].kind, 0);
    }
    {
        ScriptedPrompter p;
        p.answer(6);
        EXPECT_TRUE(tools.ValidateShamsiDate(QStringLiteral("1390/01/01"), 10));
        EXPECT_EQ(p.calls.size(), 1);
    }
    {
        ScriptedPrompter p; // Yes, then the day check still runs (1390 is not a leap year)
        p.answer(6);
        EXPECT_FALSE(tools.ValidateShamsiDate(QStringLiteral("1390/12/30"), 10));
        ASSERT_EQ(p.calls.size(), 2);
        EXPECT_EQ(p.calls[1].text, QStringLiteral("روز وارد شده درست نمي باشد"));
    }
    {
        ScriptedPrompter p;
        EXPECT_TRUE(tools.ValidateShamsiDate(QStringLiteral("1395/01/01"), 10));
        EXPECT_TRUE(tools.ValidateShamsiDate(QStringLiteral("1200/01/01"), 0));
        EXPECT_TRUE(p.calls.isEmpty());
    }
}

TEST(TTools, NumberParsing)
{
    EXPECT_EQ(TTools::StripThousands(QStringLiteral("1,250,000")), QLatin1String("1250000"));
    // digits typed in Persian or Arabic-Indic read as the same number
    EXPECT_EQ(TTools::StripThousands(QStringLiteral("۱,۲۵۰,٠٠٠")), QLatin1String("1250000"));
    EXPECT_DOUBLE_EQ(TTools::StrToFloatSafe(QStringLiteral("۵۰۰۰۰۰")), 500000.0);
    EXPECT_EQ(TTools::StrToInt64Safe(QStringLiteral("۴۲")), 42);
    EXPECT_EQ(TTools::StrToAmount(QStringLiteral("۱۲.۵")).ToDouble(), 12.5);
    for (const char* empty : {"", "-", "+", ","})
        EXPECT_EQ(TTools::StripThousands(QString::fromUtf8(empty)), QLatin1String("0")) << empty;

    struct FloatCase {
        const char* text;
        double value;
        bool ok;
    } floats[] = {
        {"1,250,000", 1250000, true}, {"+", 0, true}, {"", 0, true}, {"-1,234.5", -1234.5, true},
        {".", 0, false}, {"12a", 0, false}, {"1e400", 0, false}, {"0.0", 0, true},
    };
    for (const auto& c : floats) {
        bool ok = !c.ok;
        EXPECT_DOUBLE_EQ(TTools::StrToFloatSafe(QString::fromUtf8(c.text), &ok), c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }

    struct IntCase {
        const char* text;
        qint64 value;
        bool ok;
    } ints[] = {
        {"1,234", 1234, true}, {"-", 0, true}, {"2147483647", 2147483647, true}, {"-2147483648", INT_MIN, true},
        {"2147483648", 0, false}, {"99999999999999999999", 0, false}, {"12.5", 0, false}, {"12a", 0, false},
    };
    for (const auto& c : ints) {
        bool ok = !c.ok;
        EXPECT_EQ(TTools::StrToInt64Safe(QString::fromUtf8(c.text), &ok), c.value) << c.text;
        EXPECT_EQ(ok, c.ok) << c.text;
    }
}

TEST(TTools, NumberFormatting)
{
    struct Case {
        const char* text;
        const char* expected;
    } cases[] = {
        {"-1234567.25", "-1,234,567.25"}, {"123", "123"}, {"1234", "1,234"}, {"-", "0"}, {"", "0"},
        {"123456", "123,456"}, {"-123", "-123"}, {"1.5E6", "1,500,000.000"}, {"1234.5678", "1,234.5678"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TTools::FormatThousands(QString::fromUtf8(c.text)), QLatin1String(c.expected)) << c.text;

    struct FloatCase {
        double value;
        const char* text;
        const char* grouped;
    } floats[] = {
        {250, "250", "250"},
        {1.5, "1.5", "1.5"},
        {0.1 + 0.2, "0.3", "0.3"},
        {-1234567.25, "-1234567.25", "-1,234,567.25"},
        {1e15, "1E15", "1,000,000,000,000,000.000"},
        {999999999999999, "999999999999999", "999,999,999,999,999"},
        {123456789012345678.0, "1.23456789012346E17", "123,456,789,012,346,000.000"},
        {0.0001, "0.0001", "0.0001"},
        // fixed notation down to 0.00001; exponents below it
        {0.00001, "0.00001", "0.00001"},
        {-0.00001, "-0.00001", "-0.00001"},
        {0.000012345, "0.000012345", "0.000012345"},
        {0.0000099999999999999999, "0.00001", "0.00001"},
        {0.0000099999, "9.9999E-6", "0.000"},
        {0.000001, "1E-6", "0.000"},
        {1.5e-7, "1.5E-7", "0.000"},
        {0.0000015, "1.5E-6", "0.000"},
        {0.0015, "0.0015", "0.0015"},
        {1e14, "100000000000000", "100,000,000,000,000"},
        // a tie of the 15th digit goes to even
        {999999999999999.5, "1E15", "1,000,000,000,000,000.000"},
        {999999999999998.5, "999999999999998", "999,999,999,999,998"},
        {0, "0", "0"},
        {1234.5, "1234.5", "1,234.5"},
    };
    for (const auto& c : floats) {
        EXPECT_EQ(TTools::FloatToStr(c.value), QLatin1String(c.text)) << c.text;
        EXPECT_EQ(TTools::FloatToThousands(c.value), QLatin1String(c.grouped)) << c.text;
    }
}

TEST(TTools, SmallTools)
{
    EXPECT_FALSE(TTools::IsDigits(QString()));
    EXPECT_TRUE(TTools::IsDigits(QStringLiteral("0012")));
    EXPECT_FALSE(TTools::IsDigits(QStringLiteral("-1")));
    EXPECT_FALSE(TTools::IsDigits(QStringLiteral("۱۲")));
    EXPECT_EQ(TTools::LastPos(QStringLiteral("a/b/c"), QLatin1Char('/')), 4);
    EXPECT_EQ(TTools::LastPos(QStringLiteral("abc"), QLatin1Char('/')), 0);
    EXPECT_EQ(TTools::AbsInt(-5), 5);
    EXPECT_EQ(TTools::AbsInt(INT_MIN), INT_MAX);
}

TEST(TTools, AppPath)
{
    const QByteArray saved = qgetenv("DOVIN_HOME");
    qputenv("DOVIN_HOME", "/tmp/dovin-home");
    EXPECT_EQ(TTools::AppPath(), QLatin1String("/tmp/dovin-home/"));
    qputenv("DOVIN_HOME", "/tmp/dovin-home/");
    EXPECT_EQ(TTools::AppPath(), QLatin1String("/tmp/dovin-home/"));
    qunsetenv("DOVIN_HOME");
    EXPECT_EQ(TTools::AppPath(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    if (!saved.isEmpty())
        qputenv("DOVIN_HOME", saved);
}
