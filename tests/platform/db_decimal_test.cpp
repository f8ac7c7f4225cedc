// Exact decimal amounts: the decimal a double stands for, rounding whose ties go to even on
// that decimal, the display format, Persian digits, and sums that are exact on both engines
// (the file database adds the decimals its doubles stand for, as the server adds numerics).
#include "TestDb.h"

#include "platform/db/Decimal.h"
#include "platform/db/Format.h"

using namespace db;
using testing_support::EngineTest;

namespace {

const QString kAmount = QStringLiteral("###,###,###,###,##0.###");

TEST(Decimal, RoundingTiesGoToEvenOnTheDecimalValue)
{
    const struct {
        double value;
        int decimals;
        const char* text;
    } cases[] = {
        {1.25 * 39053 / 100, 3, "488.162"},      // 488.1625 computed in binary lies above the tie
        {1413201.125 / 2, 3, "706600.562"},
        {488.1635, 3, "488.164"},
        {1005.0 / 2, 0, "502"},
        {1003.0 / 2, 0, "502"},
        {-2.5, 0, "-2"},
        {-3.5, 0, "-4"},
        {0.1 + 0.2, 4, "0.3"},
        {0.00045, 4, "0.0004"},
        {0.00055, 4, "0.0006"},
        {0.12345, 4, "0.1234"},
        {2500000000.55555, 4, "2500000000.5556"},
        {999999999999999.5, 4, "999999999999999.5"},   // an exact double of four places stays itself
        {999999999999999.5, 0, "1000000000000000"},
        {1234.5678, 2, "1234.57"},
        {1250, -2, "1200"},
        {0, 3, "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decimal::FromDouble(c.value).Rounded(c.decimals).ToString(), QLatin1String(c.text))
            << c.value << " to " << c.decimals;
    EXPECT_EQ(RoundDecimal(1.25 * 39053 / 100, 3), 488.162);
    EXPECT_EQ(RoundDecimal(-0.5, 0), 0.0);
    EXPECT_EQ(Decimal::FromDouble(1e300).ToString().size(), 301);
    EXPECT_TRUE(Decimal::FromDouble(std::nan("")).IsZero());
}

TEST(Decimal, TextAndArithmeticAreExact)
{
    const struct {
        const char* text;
        bool ok;
        const char* plain;
        int decimals;
    } texts[] = {
        {"12.50", true, "12.5", 1},    {"-.5", true, "-0.5", 1},   {"+7", true, "7", 0},
        {"0.12345", true, "0.12345", 5}, {"7.", true, "7", 0},     {"0001.0100", true, "1.01", 2},
        {"1.2.3", false, "", 0},       {"", false, "", 0},         {"-", false, "", 0},
        {"1e5", false, "", 0},         {"1,000", false, "", 0},    {"۱۲", false, "", 0},
        {"123456789012345678901234567890123456", true, "123456789012345678901234567890123456", 0},
        {"1234567890123456789012345678901234567", false, "", 0},
    };
    for (const auto& t : texts) {
        Decimal d;
        EXPECT_EQ(Decimal::FromText(QString::fromUtf8(t.text), &d), t.ok) << t.text;
        if (t.ok) {
            EXPECT_EQ(d.ToString(), QLatin1String(t.plain)) << t.text;
            EXPECT_EQ(d.Decimals(), t.decimals) << t.text;
        }
    }

    Decimal tenth, sum;
    ASSERT_TRUE(Decimal::FromText(u"0.1", &tenth));
    for (int i = 0; i < 10; ++i)
        sum += tenth;
    EXPECT_EQ(sum, Decimal(1));
    EXPECT_TRUE((sum - Decimal(1)).IsZero());
    EXPECT_EQ((Decimal::FromDouble(1.25) * Decimal(39053)).Shifted(2).ToString(), QStringLiteral("488.1625"));
    EXPECT_EQ((Decimal::FromDouble(-0.5) * Decimal::FromDouble(0.3)).ToString(), QStringLiteral("-0.15"));
    EXPECT_EQ(Decimal::FromDouble(1234.5).Exponent(), 3);
    EXPECT_EQ(Decimal::FromDouble(0.05).Exponent(), -2);
    // 37 digits still add exactly; beyond 38 the small one is rounded away rather than overflowing
    EXPECT_EQ((Decimal::FromDouble(1e30) + Decimal::FromDouble(0.000001)).ToString(),
              QLatin1Char('1') + QString(30, QLatin1Char('0')) + QStringLiteral(".000001"));
    EXPECT_EQ((Decimal::FromDouble(1e35) + Decimal::FromDouble(0.001)).ToString(), QLatin1Char('1') + QString(35, QLatin1Char('0')));
}

TEST(Format, DisplayFormatRoundsTheDecimalValue)
{
    const struct {
        double value;
        const char* format;
        const char* text;
    } cases[] = {
        {0.605 - 1e-16, "###,###,###,###,##0.###", "0.605"},
        {0.6049999999999999, "###,###,###,###,##0.###", "0.605"},
        {0.0005, "###,###,###,###,##0.###", "0"},
        {0.0015, "###,###,###,###,##0.###", "0.002"},
        {-1234567.2345, "###,###,###,###,##0.###", "-1,234,567.234"},
        {534639066511.55, "###,###,###,###,##0.###", "534,639,066,511.55"},
        {999999999999999.5, "###,###,###,###,##0.###", "999,999,999,999,999.5"},
        {-0.0004, "###,###,###,###,##0.###", "0"},
        {2.5, "0.000", "2.500"},
        {7, "#,##0.00", "7.00"},
        {1234, "0", "1234"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatNumber(c.value, QLatin1String(c.format)), QLatin1String(c.text)) << c.value;
}

TEST(Format, PersianAndArabicIndicDigitsBecomeAscii)
{
    EXPECT_EQ(ToAsciiDigits(QStringLiteral("۱۴۰۳/۰۵/۱۲")), QStringLiteral("1403/05/12"));
    EXPECT_EQ(ToAsciiDigits(QStringLiteral("٠١٢٣٤٥٦٧٨٩")), QStringLiteral("0123456789"));
    EXPECT_EQ(ToAsciiDigits(QStringLiteral("۲,۵۰۰.۷۵ ريال")), QStringLiteral("2,500.75 ريال"));
    EXPECT_EQ(DigitValue(QChar(0x06F9)), 9);
    EXPECT_EQ(DigitValue(QChar(0x0665)), 5);
    EXPECT_EQ(DigitValue(QLatin1Char('x')), -1);
}

class ExactSums : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        // an amount column as the catalogue makes it on each engine
        conn().exec(QStringLiteral("create table s (id integer primary key, grp integer, amount %1)")
                        .arg(isFile() ? QStringLiteral("REAL") : QStringLiteral("numeric(19,4)")));
    }
};

// 300 amounts ending in .1, .2, .3 and .7: the sum is the exact decimal on both engines,
// and stays so per group and over a sliding window.
TEST_P(ExactSums, AmountsSumToTheExactDecimal)
{
    static const int tenths[] = {1, 2, 3, 7};
    qint64 totalTenths = 0, groupTenths[3] = {0, 0, 0};
    std::vector<qint64> rows;
    conn().begin();
    for (int i = 0; i < 300; ++i) {
        const qint64 t = (2260000 + qint64(i) * 1237) * 10 + tenths[i % 4];
        rows.push_back(t);
        totalTenths += t;
        groupTenths[i % 3] += t;
        conn().exec(QStringLiteral("insert into s (id, grp, amount) values ($1, $2, $3)"), {i + 1, i % 3, double(t) / 10});
    }
    conn().commit();
    const auto text = [](qint64 t) {
        return QString::number(t / 10) + (t % 10 ? QLatin1Char('.') + QString::number(t % 10) : QString());
    };

    const QVariant total = conn().scalar(QStringLiteral("select sum(amount) from s"));
    EXPECT_EQ(GeneralFloat(total.toDouble()), text(totalTenths));
    EXPECT_EQ(formatNumber(total.toDouble(), kAmount), formatNumber(double(totalTenths) / 10, kAmount));

    auto cur = conn().query(QStringLiteral("select grp, sum(amount) from s group by grp order by grp"));
    for (int g = 0; g < 3; ++g) {
        ASSERT_TRUE(cur->next());
        EXPECT_EQ(GeneralFloat(cur->toDouble(1)), text(groupTenths[g])) << g;
    }
    cur.reset();

    cur = conn().query(QStringLiteral("select id, sum(amount) over (order by id rows between 2 preceding and current row) "
                                      "from s order by id"));
    for (size_t i = 0; i < rows.size(); ++i) {
        ASSERT_TRUE(cur->next());
        qint64 window = 0;
        for (size_t j = i >= 2 ? i - 2 : 0; j <= i; ++j)
            window += rows[j];
        EXPECT_EQ(GeneralFloat(cur->toDouble(1)), text(window)) << i;
    }
    cur.reset();

    // whole numbers stay whole, nothing to add gives NULL
    const QVariant ids = conn().scalar(QStringLiteral("select sum(id) from s"));
    EXPECT_EQ(ids.toLongLong(), 45150);
    EXPECT_TRUE(conn().scalar(QStringLiteral("select sum(amount) from s where id < 0")).isNull());
    EXPECT_EQ(conn().scalar(QStringLiteral("select sum(amount) from s where id in (1, 2)")).toDouble(),
              double(rows[0] + rows[1]) / 10);
}

DOVIN_INSTANTIATE_ENGINES(ExactSums);

} // namespace
