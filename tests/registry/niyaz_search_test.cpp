// The demand list's criteria statement.
#include "registry/DemandSearch.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

TEST(DemandSearch, Statements)
{
    struct Case {
        const char* name;
        std::function<void(TDemandCriteria&)> set;
        const char* sql;   // the same on both engines
    };
    const Case cases[] = {
        {"design state", [](TDemandCriteria&) {}, "select * from t_niyaz where coalesce(hazfshodeh,0)=0"},
        {"both deleted states: every demand", [](TDemandCriteria& c) { c.ChkDel = true; }, "select * from t_niyaz"},
        {"deleted only (any non-zero flag)",
         [](TDemandCriteria& c) {
             c.ChkDel = true;
             c.ChkNotdel = false;
         },
         "select * from t_niyaz where coalesce(hazfshodeh,0)<>0"},
        {"only the region",
         [](TDemandCriteria& c) {
             c.ChkNotdel = false;
             c.chkmn = true;
             c.region = 7;
         },
         "select * from t_niyaz where mnid=7"},
        {"region ticked without a choice",
         [](TDemandCriteria& c) {
             c.ChkNotdel = false;
             c.chkmn = true;
         },
         "select * from t_niyaz"},
        {"dates quoted",
         [](TDemandCriteria& c) {
             c.chktarikh = true;
             c.edtt1 = "1403/01/01";
             c.edtt2 = "1403/'2/01";
         },
         "select * from t_niyaz where coalesce(hazfshodeh,0)=0 and TarikhEraeh between '1403/01/01' and '1403/''2/01'"},
        {"buy only",
         [](TDemandCriteria& c) { c.ChkRahn = c.ChkEjareh = false; },
         "select * from t_niyaz where coalesce(hazfshodeh,0)=0 and ( kharid<>0 )"},
        {"buy and mortgage",
         [](TDemandCriteria& c) { c.ChkEjareh = false; },
         "select * from t_niyaz where coalesce(hazfshodeh,0)=0 and ( kharid<>0  or  coalesce(rahn,0)<>0 and "
         "coalesce(ejareh,0)=0)"},
        {"mortgage or rent only",
         [](TDemandCriteria& c) { c.chkre = true; },
         "select * from t_niyaz where coalesce(hazfshodeh,0)=0 and  (rahn<>0 or ejareh<>0) "},
        {"no deal kind ticked: no deal-kind condition",
         [](TDemandCriteria& c) { c.chksell = c.ChkRahn = c.ChkEjareh = false; },
         "select * from t_niyaz where coalesce(hazfshodeh,0)=0"},
        {"price range with grouping",
         [](TDemandCriteria& c) {
             c.ChkNotdel = false;
             c.chkf = true;
             c.edtf = "1,000";
             c.edtr = "2,500.5";
         },
         "select * from t_niyaz where (f1 between 1000 and 2500.5 or f1_2 between 1000 and 2500.5 or f2 between "
         "1000 and 2500.5 or f2_2 between 1000 and 2500.5 or f3 between 1000 and 2500.5 or f3_2 between 1000 and "
         "2500.5)"},
    };
    for (const Case& c : cases) {
        TDemandCriteria crit;
        c.set(crit);
        QString error;
        EXPECT_EQ(BuildDemandSearchStatement(crit, &error).toStdString(), c.sql) << c.name;
        EXPECT_TRUE(error.isEmpty()) << c.name;
    }
}

TEST(DemandSearch, PriceInPersianDigits)
{
    TDemandCriteria c;
    c.chkf = true;
    c.edtf = QStringLiteral("۵۰۰۰۰۰");
    c.edtr = QStringLiteral("۱,۰۰۰,۰۰۰");
    QString error;
    const QString sql = BuildDemandSearchStatement(c, &error);
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_TRUE(sql.contains(QStringLiteral("f1 between 500000 and 1000000"))) << sql.toStdString();
}

TEST(DemandSearch, PriceThatIsNoNumberIsRefused)
{
    TDemandCriteria c;
    c.chkf = true;
    c.edtf = "1 or 1=1";
    c.edtr = "5";
    QString error;
    EXPECT_EQ(BuildDemandSearchStatement(c, &error), QString());
    EXPECT_TRUE(error.startsWith(QStringLiteral("حدود قيمت"))) << error.toStdString();
}

} // namespace
