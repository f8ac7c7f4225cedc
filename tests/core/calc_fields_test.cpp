// Calculated fields: deal-condition texts, phones, row numbers, deal kind, party lines
// and the tax columns of the seasonal report lines.
#include "records_fixture.h"

#include "core/TPrefMng.h"

namespace {

class CalcFieldsTest : public RecordsTest {};

const QString kTerms = QStringLiteral("قابل تبديل به رهن کامل");

struct ConditionCase {
    const char* kind;
    QVariant amount;
    QVariant rent;
    QString property;   // before the cut to the column's width
    QString demand;
};

std::vector<ConditionCase> conditionCases()
{
    return {
        {"فروش", 1250000.0, 0.0, QStringLiteral("فروش : 1,250,000   ") + kTerms, QStringLiteral("---")},
        {"خريد", 1250000.0, 0.0, QStringLiteral("---"), QStringLiteral("خريد : 1,250,000   ") + kTerms},
        {"اجاره کامل", 7500000.5, QVariant(), QStringLiteral("اجاره کامل : 7,500,000.5   ") + kTerms,
         QStringLiteral("اجاره کامل : 7,500,000.5   ") + kTerms},
        {"رهن کامل", QVariant(), QVariant(), QStringLiteral("رهن کامل :    ") + kTerms,
         QStringLiteral("رهن کامل :    ") + kTerms},
        {"رهن و اجاره", 100000000.0, 5000000.0,
         QStringLiteral("رهن  : 100,000,000   اجاره : 5,000,000   ") + kTerms,
         QStringLiteral("رهن  : 100,000,000   اجاره : 5,000,000   ") + kTerms},
        {"", 100.0, 0.0, QStringLiteral("---"), QStringLiteral("---")},
        {"رهن", 100.0, 0.0, QStringLiteral("---"), QStringLiteral("---")},
    };
}

TEST_P(CalcFieldsTest, PropertyConditionsAreCutToFiftyAndDemandConditionsToAHundred)
{
    for (const ConditionCase& c : conditionCases()) {
        const QString kind = QString::fromUtf8(c.kind);
        dm->Conn->exec(QStringLiteral("insert into T_Melk (F1type, F1, f1_2, F1Shart, Hazfshodeh) values ($1, $2, $3, $4, 0)"),
                       {kind, c.amount, c.rent, kTerms});
        dm->Conn->exec(QStringLiteral("insert into T_niyaz (f3type, f3, f3_2, f3shart, hazfshodeh) values ($1, $2, $3, $4, 0)"),
                       {kind, c.amount, c.rent, kTerms});
    }
    dm->QMelk->Reopen();
    dm->QNiyaz->Close();
    dm->QNiyaz->setSQL(QStringLiteral("select * from T_niyaz order by NizId"));
    dm->QNiyaz->Open();
    dm->QMelk->setSort(QStringLiteral("MID"));
    for (const ConditionCase& c : conditionCases()) {
        EXPECT_EQ(s(dm->QMelk, "calf1"), c.property.left(50)) << c.kind;
        EXPECT_EQ(s(dm->QMelk, "calf2"), QStringLiteral("---")) << c.kind;
        EXPECT_EQ(s(dm->QNiyaz, "calf3"), c.demand.left(100)) << c.kind;
        EXPECT_EQ(s(dm->QNiyaz, "CalF1"), QStringLiteral("---"));
        dm->QMelk->Next();
        dm->QNiyaz->Next();
    }
    // the long mortgage-and-rent text really is cut
    EXPECT_GT(conditionCases()[4].property.size(), 50);
}

TEST_P(CalcFieldsTest, PhonesAreJoinedWithTheirLabels)
{
    const struct {
        const char* home;
        const char* mobile;
        const char* job;
        const char* text;
    } cases[] = {
        {"", "09121234567", "", "موبايل:09121234567"},
        {"2211", "0912", "", " خانه:2211موبايل:0912"},
        {"2211", "", "3344", " خانه:2211 محل کار:3344"},
        {"", "", "", ""},
    };
    for (const auto& c : cases) {
        dm->Conn->exec(QStringLiteral("insert into T_Melk (MalekHomeTel, MalekMobile, MalekTelJob, Hazfshodeh) values ($1, $2, $3, 0)"),
                       {QString::fromUtf8(c.home), QString::fromUtf8(c.mobile), QString::fromUtf8(c.job)});
        dm->Conn->exec(QStringLiteral("insert into T_niyaz (hometel, mobile, shoptel, hazfshodeh) values ($1, $2, $3, 0)"),
                       {QString::fromUtf8(c.home), QString::fromUtf8(c.mobile), QString::fromUtf8(c.job)});
    }
    dm->QMelk->Reopen();
    dm->QMelk->setSort(QStringLiteral("MID"));
    dm->QNiyaz->Close();
    dm->QNiyaz->setSQL(QStringLiteral("select * from T_niyaz order by NizId"));
    dm->QNiyaz->Open();
    for (const auto& c : cases) {
        EXPECT_EQ(s(dm->QMelk, "calmalektels"), QString::fromUtf8(c.text)) << c.text;
        EXPECT_EQ(s(dm->QNiyaz, "calcust"), QString::fromUtf8(c.text)) << c.text;
        dm->QMelk->Next();
        dm->QNiyaz->Next();
    }
}

TEST_P(CalcFieldsTest, RowNumbersFollowTheSortAndTheFilter)
{
    for (const char* name : {"ج", "الف", "ب"})
        dm->Conn->exec(QStringLiteral("insert into t_Tels (Esm) values ($1)"), {QString::fromUtf8(name)});
    db::DataSet* q = dm->QTels;
    q->Open();
    const auto rowOf = [&](const char* name) {
        EXPECT_TRUE(q->Locate(QStringLiteral("Esm"), QString::fromUtf8(name)));
        return f(q, "row")->AsInteger();
    };
    EXPECT_EQ(rowOf("ج"), 1);
    q->setSort(QStringLiteral("Esm"));
    EXPECT_EQ(rowOf("الف"), 1);
    EXPECT_EQ(rowOf("ج"), 3);
    q->setFilter(QStringLiteral("Esm like '%ج%'"));
    q->setFiltered(true);
    EXPECT_EQ(rowOf("ج"), 1);
    EXPECT_EQ(q->DisplayTextAt(0, f(q, "row")->Index()), QStringLiteral("1"));
}

TEST_P(CalcFieldsTest, RowNumbersFollowAnInsertAndItsCancel)
{
    for (const char* name : {"الف", "ب", "ج"})
        dm->Conn->exec(QStringLiteral("insert into t_hazineh (Hname, tarikh) values ($1, '1403/01/01')"),
                       {QString::fromUtf8(name)});
    db::DataSet* q = dm->QHazineh;
    q->setSQL(QStringLiteral("select * from t_hazineh order by Hkey"));
    q->Open();
    const int row = f(q, "row")->Index();
    const auto numbers = [&] {
        QStringList out;
        for (int i = 0; i < q->RecordCount(); ++i)
            out << q->DisplayTextAt(i, row);
        return out.join(QLatin1Char(','));
    };
    EXPECT_EQ(numbers(), QStringLiteral("1,2,3"));   // read once: held until the order changes
    for (const bool post : {false, true}) {
        q->First();
        q->Next();
        q->Insert();
        f(q, "Hname")->SetAsString(QStringLiteral("د"));
        EXPECT_EQ(q->DisplayTextAt(2, row), QStringLiteral("3")) << post;   // the rows after it moved down
        if (post)
            dm->PostInTransaction(*q);
        else
            q->Cancel();
        EXPECT_EQ(numbers(), post ? QStringLiteral("1,2,3,4") : QStringLiteral("1,2,3")) << post;
    }
}

TEST_P(CalcFieldsTest, DealKindAndPartyLines)
{
    const struct {
        const char* nov;
        const char* kind;
    } kinds[] = {{"k", "خريد/فروش"}, {"K", "رهن/اجاره"}, {"j", "رهن/اجاره"}, {"", "رهن/اجاره"}};
    for (const auto& k : kinds)
        dm->Conn->exec(QStringLiteral("insert into T_Sanad (Nov, ownerNatNO, ownerPostalCode) values ($1, '0012345678', '1234567890')"),
                       {QString::fromUtf8(k.nov)});
    dm->QSanad->Reopen();
    dm->QSanad->setSort(QStringLiteral("SId"));
    for (const auto& k : kinds) {
        EXPECT_EQ(s(dm->QSanad, "calnov"), QString::fromUtf8(k.kind)) << k.nov;
        EXPECT_EQ(s(dm->QSanad, "summaryOwner"),
                  QStringLiteral("کد/شناسه ملي: 0012345678 کد اقتصادي:  کد پستي: 1234567890"));
        EXPECT_EQ(s(dm->QSanad, "summaryCust"), QStringLiteral("کد/شناسه ملي:  کد اقتصادي:  کد پستي: "));
        EXPECT_EQ(f(dm->QSanad, "summaryOwner")->Alignment() & Qt::AlignRight, Qt::AlignRight);
        dm->QSanad->Next();
    }
}

TEST_P(CalcFieldsTest, TaxLinesReadTheRatesAtEachCalculation)
{
    const int city = scalar(QStringLiteral("select min(cityId) from city")).toInt();
    dm->Conn->exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, Haghebongah, ownerDiscount, customerDiscount, "
                                  "ownerCityId, custCityId) values ('1403/01/05', 2000, 0, 500, $1, $1)"),
                   {city});
    ASSERT_TRUE(TPrefMng::SetVATVal(9));
    ASSERT_TRUE(TPrefMng::SetMunicipalVal(1));
    db::DataSet* q = dm->QTTMS;
    q->Open();
    ASSERT_EQ(q->RecordCount(), 2);
    EXPECT_EQ(f(q, "aRow")->AsInteger(), 1);
    EXPECT_DOUBLE_EQ(f(q, "afterDiscount")->AsFloat(), 1000.0);
    EXPECT_DOUBLE_EQ(f(q, "maliyat")->AsFloat(), 90.0);
    EXPECT_DOUBLE_EQ(f(q, "avarez")->AsFloat(), 10.0);
    EXPECT_DOUBLE_EQ(f(q, "totalHagh")->AsFloat(), 1100.0);
    EXPECT_EQ(f(q, "totalHagh")->DisplayText(), QStringLiteral("1,100"));
    q->Next();
    EXPECT_EQ(f(q, "aRow")->AsInteger(), 2);
    EXPECT_DOUBLE_EQ(f(q, "totalHagh")->AsFloat(), 550.0);

    ASSERT_TRUE(TPrefMng::SetVATVal(10));
    q->Reopen();
    q->First();
    EXPECT_DOUBLE_EQ(f(q, "maliyat")->AsFloat(), 100.0);
    EXPECT_DOUBLE_EQ(f(q, "totalHagh")->AsFloat(), 1110.0);
}

DOVIN_INSTANTIATE_ENGINES(CalcFieldsTest);

} // namespace
