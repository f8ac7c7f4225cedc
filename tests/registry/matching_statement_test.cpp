// Match statements in both directions, built from a record and a panel state.
#include "registry/Matching.h"

#include <QStringList>
#include <functional>
#include <gtest/gtest.h>

namespace {

const QString kSale = QStringLiteral("فروش");
const QString kBuy = QStringLiteral("خريد");
const QString kRahnKamel = QStringLiteral("رهن کامل");
const QString kEjarehKamel = QStringLiteral("اجاره کامل");
const QString kRahnEjareh = QStringLiteral("رهن و اجاره");

QString range(const QString& lo, const QString& hi)
{
    QStringList parts;
    for (const char* f : {"f1", "f1_2", "f2", "f2_2", "f3", "f3_2"})
        parts << QLatin1String(f) + QStringLiteral(" between ") + lo + QStringLiteral(" and ") + hi;
    return QStringLiteral(" ") + parts.join(QStringLiteral(" or "));
}

QString build(TMatchDirection d, const TMatchRecord& r, const TMatchPanelState& p)
{
    TMatchFlexibility flex;
    QString error;
    EXPECT_TRUE(ParseMatchFlexibility(p, &flex, &error)) << error.toStdString();
    return BuildMatchStatement(d, r, p, flex);
}

TMatchRecord saleOnly()
{
    TMatchRecord r;
    r.sell = true;
    r.rooms = 2;
    r.type[0] = kSale;
    r.amount[0] = 700;
    return r;
}

TEST(MatchStatement, WorkedExampleCharacterForCharacter)
{
    TMatchPanelState p;
    p.chkRequest = true;
    p.chkRoom = true;
    p.edtRoomFlexability = "1";
    p.chkSellMatch = true;
    p.edtSellMatch = "200";
    EXPECT_EQ(build(TMatchDirection::PropertyToDemands, saleOnly(), p).toStdString(),
              "select * from T_Niyaz where  coalesce(kharid,0)<>0 and coalesce(Rahn,0)=0 and coalesce(Ejareh,0)=0 "
              "and  otagh >= 1 and otagh <= 3 and  coalesce(hazfshodeh,0)=0  and  (  f1 between 500 and 900 or f1_2 between 500 and 900 or f2 between 500 "
              "and 900 or f2_2 between 500 and 900 or f3 between 500 and 900 or f3_2 between 500 and 900 ) ");
}

TEST(MatchStatement, PropertyToDemands)
{
    const QString base = QStringLiteral("select * from T_Niyaz");
    const QString notDeleted = QStringLiteral(" where  coalesce(hazfshodeh,0)=0 ");
    struct Case {
        const char* name;
        std::function<void(TMatchRecord&, TMatchPanelState&)> set;
        QString expected;
    };
    const Case cases[] = {
        {"nothing ticked", [](TMatchRecord&, TMatchPanelState&) {}, base + notDeleted},
        {"only deleted ones too", [](TMatchRecord&, TMatchPanelState& p) { p.chkTempDel = true; }, base},
        {"clamped to 1..1",
         [](TMatchRecord& r, TMatchPanelState& p) {
             r.type[0] = kSale;
             r.amount[0] = 0;
             p.chkTempDel = p.chkSellMatch = true;
         },
         base + " where  ( " + range("1", "1") + " ) "},
        {"clamped to 1..600",
         [](TMatchRecord& r, TMatchPanelState& p) {
             r.type[1] = kSale;
             r.amount[1] = 100;
             p.chkTempDel = p.chkSellMatch = true;
             p.edtSellMatch = "500";
         },
         base + " where  ( " + range("1", "600") + " ) "},
        {"flexibility 0 is the amount itself, grouped flexibility read",
         [](TMatchRecord& r, TMatchPanelState& p) {
             r.type[0] = kSale;
             r.amount[0] = 1500000;
             r.type[2] = kSale;
             r.amount[2] = 2.5;
             p.chkTempDel = p.chkSellMatch = true;
             p.edtSellMatch = "1,000";
         },
         base + " where  ( " + range("1499000", "1501000") + " or " + range("1", "1002.5") + " ) "},
        {"rooms unclamped",
         [](TMatchRecord& r, TMatchPanelState& p) {
             r.rooms = 1;
             p.chkTempDel = p.chkRoom = true;
             p.edtRoomFlexability = "3";
         },
         base + " where  otagh >= -2 and otagh <= 4"},
        {"areas, floor and phones as general numbers",
         [](TMatchRecord& r, TMatchPanelState& p) {
             r.livingArea = 120.5;
             r.area = 0;
             r.floor = 3;
             r.tel = 1;
             p.chkTempDel = p.chkLivingArea = p.chkArea = p.chkFloor = p.chkTel = true;
             p.edtLivingArea = "20";
             p.EdtArea = "10";
             p.edtFloor = "1";
             p.edtTel = "2";
         },
         base
             + " where  zirBana >= 100.5 and zirBana <= 140.5 and  masahat >= -10 and masahat <= 10 and  tabagheh "
               ">= 2 and tabagheh <= 4 and  tedadTel >= -1 and tedadTel <= 3"},
        {"sale ticked on a full mortgage writes no group",
         [](TMatchRecord& r, TMatchPanelState& p) {
             r.type[0] = r.type[1] = kRahnKamel;
             r.amount[0] = 5000;
             p.chkSellMatch = true;
         },
         base + notDeleted},
        {"mortgage and rent on mortgage-and-rent",
         [](TMatchRecord& r, TMatchPanelState& p) {
             r.type[0] = kRahnEjareh;
             r.amount[0] = 1000;
             r.amount2[0] = 50;
             p.chkTempDel = p.ChkMortgage = p.chkRent = true;
             p.edtMortgage = "100";
             p.edtRent = "10";
         },
         base + " where  ( " + range("900", "1100") + " or " + range("40", "60") + " )  and  ( " + range("40", "60")
             + " or " + range("900", "1100") + " ) "},
        {"only rent on mortgage-and-rent",
         [](TMatchRecord& r, TMatchPanelState& p) {
             r.type[0] = kRahnEjareh;
             r.amount[0] = 1000;
             r.amount2[0] = 50;
             p.chkTempDel = p.chkRent = true;
             p.edtRent = "10";
         },
         base + " where  ( " + range("40", "60") + " ) "},
        {"full rent and full mortgage in one record",
         [](TMatchRecord& r, TMatchPanelState& p) {
             r.type[0] = kRahnKamel;
             r.amount[0] = 3000;
             r.type[2] = kEjarehKamel;
             r.amount[2] = 70;
             p.chkTempDel = p.ChkMortgage = p.chkRent = true;
         },
         base + " where  ( " + range("3000", "3000") + " )  and  ( " + range("70", "70") + " ) "},
        {"type and region quoted, apostrophes doubled",
         [](TMatchRecord& r, TMatchPanelState& p) {
             r.novMelk = "آپارتمان'x";
             r.region = "O'Hara";
             p.chkTempDel = p.ChkType = p.chkQuarter = true;
         },
         base
             + " where  lower(novMelk) like lower('%آپارتمان''x%') escape '\\' and  mnID in (select mnid from T_manategh where esm = 'O''Hara') "},
        {"a record without a region compares with the empty name",
         [](TMatchRecord&, TMatchPanelState& p) { p.chkTempDel = p.chkQuarter = true; },
         base + " where  mnID in (select mnid from T_manategh where esm = '') "},
    };
    for (const Case& c : cases) {
        TMatchRecord r;
        TMatchPanelState p;
        c.set(r, p);
        EXPECT_EQ(build(TMatchDirection::PropertyToDemands, r, p).toStdString(), c.expected.toStdString()) << c.name;
    }
}

TEST(MatchStatement, DemandToPropertiesOnTheServer)
{
    TMatchRecord r;
    r.sell = true;
    r.ejareh = true;
    r.novMelk = "ويلا";
    r.region = "شمال";
    r.rooms = 3;
    r.type[0] = kBuy;
    r.amount[0] = 900;
    r.type[1] = kSale;   // not a demand's sale word
    r.amount[1] = 5;
    TMatchPanelState p;
    p.chkRequest = p.ChkType = p.chkQuarter = p.chkRoom = p.chkSellMatch = true;
    p.edtSellMatch = "100";
    EXPECT_EQ(build(TMatchDirection::DemandToProperties, r, p).toStdString(),
              ("select * from T_Melk where  coalesce(forSell,0)<>0 and coalesce(forRahn,0)=0 and coalesce(forEjareh,0)<>0 and  lower(novMelk) like lower('%ويلا%') escape '\\' "
               "and  mantaghehID in (select mnid from T_manategh where esm = 'شمال')  and  tedadOtagh >= 3 and "
               "tedadOtagh <= 3 and  coalesce(hazfshodeh,0)=0  and  ( "
               + range("800", "1000") + " ) ")
                  .toStdString());
    // a property's sale word does not qualify on a demand
    r.type[0].clear();
    p = {};
    p.chkSellMatch = p.chkTempDel = true;
    EXPECT_EQ(build(TMatchDirection::DemandToProperties, r, p).toStdString(), "select * from T_Melk");
}

TEST(MatchStatement, FlexibilityThatDoesNotFitIsRefused)
{
    struct Case {
        std::function<void(TMatchPanelState&)> set;
        bool ok;
        const char* mentions;
    };
    const Case cases[] = {
        {[](TMatchPanelState& p) { p.edtRoomFlexability = "x"; }, true, ""},   // not ticked: not read
        {[](TMatchPanelState& p) { p.chkRoom = true; p.edtRoomFlexability = "99999999999"; }, false, "تعداد اتاق"},
        {[](TMatchPanelState& p) { p.chkRoom = true; p.edtRoomFlexability = "1.5"; }, false, "تعداد اتاق"},
        {[](TMatchPanelState& p) { p.chkRent = true; p.edtRent = "1e999"; }, false, "قيمت اجاره"},
        {[](TMatchPanelState& p) { p.ChkMortgage = true; p.edtMortgage = "1 0"; }, false, "قيمت رهن"},
        {[](TMatchPanelState& p) { p.chkArea = true; p.EdtArea = ""; }, true, ""},
        {[](TMatchPanelState& p) { p.chkSellMatch = true; p.edtSellMatch = "12,500.5"; }, true, ""},
    };
    for (const Case& c : cases) {
        TMatchPanelState p;
        c.set(p);
        TMatchFlexibility f;
        QString error;
        EXPECT_EQ(ParseMatchFlexibility(p, &f, &error), c.ok) << error.toStdString();
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.mentions))) << error.toStdString();
        if (c.ok && p.chkSellMatch)
            EXPECT_EQ(f.sell, 12500.5);
    }
}

} // namespace
