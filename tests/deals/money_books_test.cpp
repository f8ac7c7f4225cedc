// Statements, colours and dates of the expense and cheque books, without windows.
#include "deals/MoneyBooks.h"

#include <gtest/gtest.h>

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }

TEST(MoneyBooks, ExpenseStatements)
{
    const BookStatements dated = HazinehStatements(true, QStringLiteral("1402/06/16"), QStringLiteral("1403/01/06"));
    EXPECT_EQ(dated.list, u("select * from t_hazineh where tarikh between '1402/06/16' and '1403/01/06' order by tarikh, Hkey"));
    EXPECT_EQ(dated.sum1, u("select sum(mablagh) from t_hazineh where tarikh between '1402/06/16' and '1403/01/06' and nov='هزينه'"));
    EXPECT_EQ(dated.sum2, u("select sum(mablagh) from t_hazineh where tarikh between '1402/06/16' and '1403/01/06' and nov='درآمد'"));
    const BookStatements all = HazinehStatements(false, QStringLiteral("x"), QStringLiteral("y"));
    EXPECT_EQ(all.list, u("select * from t_hazineh order by tarikh, Hkey"));
    EXPECT_EQ(all.sum1, u("select sum(mablagh) from t_hazineh where nov='هزينه'"));
    EXPECT_EQ(all.sum2, u("select sum(mablagh) from t_hazineh where nov='درآمد'"));
    // a quote typed into a date box stays inside its literal
    EXPECT_EQ(HazinehStatements(true, QStringLiteral("1'"), QStringLiteral("2")).list,
              u("select * from t_hazineh where tarikh between '1''' and '2' order by tarikh, Hkey"));
}

TEST(MoneyBooks, ChequeCriteriaMatrix)
{
    const QString sd = u("select sum(mablagh) as sd from  t_check");
    const QString sp = u("select sum(mablagh) as sp from  t_check");
    // the flag is kept when 0 or NULL, deleted when anything else, whatever true was written as
    const struct {
        bool dated, received, paid, deletedOnly;
        const char* where; // of the list
        const char* sums;  // condition of both sums
    } cases[] = {
        {false, true, true, false, " where coalesce(hazf,0)=0 ", " where coalesce(hazf,0)=0 "},
        {false, true, false, false, " where coalesce(hazf,0)=0  and nov in ('دريافتي')", " where coalesce(hazf,0)=0 "},
        {false, false, true, false, " where coalesce(hazf,0)=0  and nov in ('پرداختي')", " where coalesce(hazf,0)=0 "},
        {false, false, false, false, " where coalesce(hazf,0)=0  and nov in ('')", " where coalesce(hazf,0)=0 "},
        {false, true, true, true, " where coalesce(hazf,0)<>0 ", " where coalesce(hazf,0)<>0 "},
        {true, true, true, false, " where coalesce(hazf,0)=0  and tarikh between '1403/01/01' and '1403/02/01'",
         " where coalesce(hazf,0)=0  and tarikh between '1403/01/01' and '1403/02/01'"},
        {true, false, false, true,
         " where coalesce(hazf,0)<>0  and tarikh between '1403/01/01' and '1403/02/01' and nov in ('')",
         " where coalesce(hazf,0)<>0  and tarikh between '1403/01/01' and '1403/02/01'"},
    };
    for (const auto& c : cases) {
        ChequeCriteria k;
        k.dated = c.dated;
        k.t1 = QStringLiteral("1403/01/01");
        k.t2 = QStringLiteral("1403/02/01");
        k.received = c.received;
        k.paid = c.paid;
        k.deletedOnly = c.deletedOnly;
        const BookStatements s = ChequeStatements(k);
        EXPECT_EQ(s.list, u("select * from T_check ") + u(c.where) + u(" order by CID")) << c.where;
        EXPECT_EQ(s.sum1, sd + u(c.sums) + u(" and nov='دريافتي'")) << c.where;
        EXPECT_EQ(s.sum2, sp + u(c.sums) + u(" and nov='پرداختي'")) << c.where;
    }
}

TEST(MoneyBooks, KindColours)
{
    EXPECT_EQ(KindColour(u("درآمد")), QColor(0, 0, 255));
    for (const char* other : {"هزينه", "", "درآمد ", "x"})
        EXPECT_EQ(KindColour(u(other)), QColor(255, 0, 0)) << other;
}

TEST(MoneyBooks, WellFormedDates)
{
    const struct {
        const char* date;
        bool ok;
    } cases[] = {
        {"1403/01/06", true},  {"1403/06/31", true},  {"1403/07/30", true},  {"1403/07/31", false},
        {"1403/12/30", true},  {"1402/12/30", false}, {"1402/12/29", true},  {"1403/13/01", false},
        {"1403/00/10", false}, {"1403/01/00", false}, {"1403/1/06", false},  {"1403-01-06", false},
        {"____/__/__", false}, {"", false},           {"1403/01/06 ", false}, {"۱۴۰۳/۰۱/۰۶", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsWellFormedDate(u(c.date)), c.ok) << c.date;
}

// Due today or earlier: red; within five days: 773586 (red 210, green 205, blue 11); later: none.
TEST(MoneyBooks, DueColoursAcrossMonthAndYearEnds)
{
    const QColor red(255, 0, 0), soon(210, 205, 11), none;
    EXPECT_EQ(soon.red() + 256 * soon.green() + 65536 * soon.blue(), 773586);
    const char* notCleared = "پاس نشده";
    const struct {
        const char* today;
        const char* due;
        const char* state;
        QColor colour;
    } cases[] = {
        {"1403/01/06", "1403/01/06", notCleared, red},
        {"1403/01/06", "1402/11/01", notCleared, red},
        {"1403/01/06", "1403/01/11", notCleared, soon},
        {"1403/01/06", "1403/01/12", notCleared, none},
        // Shahrivar has 31 days
        {"1403/06/29", "1403/06/31", notCleared, soon},
        {"1403/06/29", "1403/07/03", notCleared, soon},
        {"1403/06/29", "1403/07/04", notCleared, none},
        // 1403 is a leap year: Esfand has 30 days
        {"1403/12/28", "1403/12/30", notCleared, soon},
        {"1403/12/28", "1404/01/03", notCleared, soon},
        {"1403/12/28", "1404/01/04", notCleared, none},
        // 1402 is not: 29 days
        {"1402/12/27", "1403/01/03", notCleared, soon},
        {"1402/12/27", "1403/01/04", notCleared, none},
        {"1402/12/27", "1402/12/27", notCleared, red},
        // other states never, whatever the date
        {"1403/01/06", "1402/01/01", "پاس شده", none},
        {"1403/01/06", "1403/01/08", "برگشتي", none},
        // malformed dates are not coloured (text comparison would call them due)
        {"1403/01/06", "", notCleared, none},
        {"1403/01/06", "1403/1/5", notCleared, none},
        {"1403/01/06", "____/__/__", notCleared, none},
        {"1403/01/06", "1403/07/31", notCleared, none},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DueColour(u(c.state), u(c.due), u(c.today)), c.colour) << c.today << " " << c.due << " " << c.state;
}

} // namespace
