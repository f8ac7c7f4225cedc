#include "deals/DealStatements.h"

#include "UpgradedDbTest.h"
#include "core/TPrefMng.h"
#include "platform/db/Sql.h"
#include "support/QueryPlan.h"

#include <array>
#include <cmath>
#include <map>

namespace {

TEST(DealStatements, WhereClauseFromTheCriteria)
{
    const struct {
        DealCriteria c;
        const char* where;
        const char* subtitle;
    } cases[] = {
        {{true, "1403/01/01", "1403/06/31", true, true}, " where tarikhsanad between '1403/01/01' and '1403/06/31'",
         "\r\nاز 1403/01/01 تا 1403/06/31"},
        {{true, "1403/01/01", "1403/06/31", true, false},
         " where tarikhsanad between '1403/01/01' and '1403/06/31' and nov in ('k')", "\r\nاز 1403/01/01 تا 1403/06/31"},
        {{true, "a'b", "1403", false, true}, " where tarikhsanad between 'a''b' and '1403' and nov in ('j')",
         "\r\nاز a'b تا 1403"},
        {{false, "1403/01/01", "1403/06/31", true, true}, "", ""},
        {{false, "", "", false, true}, " where nov in ('j')", ""},
        {{false, "", "", false, false}, " where nov in ('')", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(DealWhere(c.c), QString::fromUtf8(c.where));
        EXPECT_EQ(DealSubtitle(c.c), QString::fromUtf8(c.subtitle));
    }
}

class DealStatementsDb : public UpgradedDbTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        users = prepareProgramFolder();
        // date, kind, commission, owner discount, buyer discount (-1: left null)
        const struct {
            const char* date;
            const char* nov;
            double h, od, cd;
        } rows[] = {
            {"1403/01/01", "k", 2000000, 100000, 50000},  // 1
            {"1403/03/15", "j", 1234567, -1, 1000},       // 2
            {"1403/06/31", "k", 1001, 0, 0},              // 3
            {"1402/12/29", "j", 500000, 0, 0},            // 4: before the range
            {"1403/07/01", "k", 800000, 800000, 100000},  // 5: after it; negative after discount
            {"1403/02/10", "j", 300000, -1, -1},          // 6
        };
        for (const auto& r : rows) {
            QString cols = QStringLiteral("Tarikhsanad, Nov, Haghebongah");
            QString vals = db::Q(QString::fromLatin1(r.date)) + QLatin1Char(',') + db::Q(QString::fromLatin1(r.nov)) +
                           QLatin1Char(',') + QString::number(r.h, 'f', 0);
            if (r.od >= 0) {
                cols += QStringLiteral(", ownerDiscount");
                vals += QLatin1Char(',') + QString::number(r.od, 'f', 0);
            }
            if (r.cd >= 0) {
                cols += QStringLiteral(", customerDiscount");
                vals += QLatin1Char(',') + QString::number(r.cd, 'f', 0);
            }
            conn().exec(QStringLiteral("insert into T_Sanad (") + cols + QStringLiteral(") values (") + vals +
                        QLatin1Char(')'));
        }
    }
    void TearDown() override
    {
        users.reset();
        restoreProgramFolder();
        EngineTest::TearDown();
    }

    static double num(db::Cursor& cur, int c) { return cur.cellType(c) == db::CellType::Null ? NAN : cur.toDouble(c); }

    int column(db::Cursor& cur, const char* name)
    {
        for (int c = 0; c < cur.columnCount(); ++c)
            if (cur.columnName(c).compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return c;
        ADD_FAILURE() << name;
        return 0;
    }

    std::unique_ptr<db::Connection> users;
};

TEST_P(DealStatementsDb, ListRowsAndComputedColumns)
{
    const DealRates rates{9, 1};
    const struct {
        DealCriteria c;
        std::vector<int> sids;
    } cases[] = {
        {{true, "1403/01/01", "1403/06/31", true, true}, {1, 2, 3, 6}},   // both bounds included
        {{true, "1403/01/01", "1403/06/31", true, false}, {1, 3}},
        {{true, "1403/01/01", "1403/06/31", false, true}, {2, 6}},
        {{false, "", "", true, true}, {1, 2, 3, 4, 5, 6}},
        {{false, "", "", false, false}, {}},
        {{true, "1403/06/31", "1403/01/01", true, true}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(DealWhere(c.c).toStdString());
        auto cur = conn().query(DealListSql(DealWhere(c.c), rates, conn().dialect()));
        std::vector<int> sids;
        while (cur->next())
            sids.push_back(int(cur->toInt64(column(*cur, "sid"))));
        EXPECT_EQ(sids, c.sids);
    }

    // sid: after discount, VAT, levy, total, total discount
    const std::map<int, std::array<double, 5>> expected = {
        {1, {1850000, 166500, 18500, 2035000, 150000}},
        {2, {1233567, 111021.03, 12335.67, 1356923.7, 1000}},
        {3, {1001, 90.09, 10.01, 1101.1, 0}},
        {4, {500000, 45000, 5000, 550000, 0}},
        {5, {-100000, -9000, -1000, -110000, 900000}},
        {6, {300000, 27000, 3000, 330000, 0}},
    };
    auto cur = conn().query(DealListSql(QString(), rates, conn().dialect()));
    int rows = 0;
    while (cur->next()) {
        const int sid = int(cur->toInt64(column(*cur, "sid")));
        const auto& e = expected.at(sid);
        SCOPED_TRACE(sid);
        EXPECT_NEAR(num(*cur, column(*cur, "afterDiscount")), e[0], 1e-6);
        EXPECT_NEAR(num(*cur, column(*cur, "VAT")), e[1], 1e-6);
        EXPECT_NEAR(num(*cur, column(*cur, "Municipal")), e[2], 1e-6);
        EXPECT_NEAR(num(*cur, column(*cur, "totalVAT")), e[3], 1e-6);
        EXPECT_NEAR(num(*cur, column(*cur, "totalDiscount")), e[4], 1e-6);
        ++rows;
    }
    EXPECT_EQ(rows, 6);
}

TEST_P(DealStatementsDb, SumsFollowTheCriteriaAndRates)
{
    const struct {
        DealCriteria c;
        DealRates rates;
        double sh, vat, levy, total;   // NAN: null (no deal)
    } cases[] = {
        {{true, "1403/01/01", "1403/06/31", true, true}, {9, 1}, 3384568, 304611.12, 33845.68, 3723024.8},
        {{true, "1403/01/01", "1403/06/31", true, false}, {9, 3}, 1851001, 166590.09, 55530.03, 2073121.12},
        {{false, "", "", true, true}, {0, 0}, 3784568, 0, 0, 3784568},
        {{false, "", "", true, true}, {1.5, 0.25}, 3784568, 56768.52, 9461.42, 3850797.94},
        {{false, "", "", false, false}, {9, 1}, NAN, NAN, NAN, NAN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(DealSumsSql(DealWhere(c.c), c.rates).toStdString());
        auto cur = conn().query(DealSumsSql(DealWhere(c.c), c.rates));
        ASSERT_TRUE(cur->next());
        const double got[] = {num(*cur, column(*cur, "sh")), num(*cur, column(*cur, "sVAT")),
                              num(*cur, column(*cur, "sMunicipal")), num(*cur, column(*cur, "stotalVAT"))};
        const double want[] = {c.sh, c.vat, c.levy, c.total};
        for (int i = 0; i < 4; ++i) {
            if (std::isnan(want[i]))
                EXPECT_TRUE(std::isnan(got[i])) << i;
            else
                EXPECT_NEAR(got[i], want[i], 1e-6) << i;
        }
    }
}

// The file database hands the list's first rows over at once whatever the range holds (no
// sort of every row found), and sums a range from an index alone.
TEST_P(DealStatementsDb, TheListStreamsInKeyOrderAndTheSumsReadAnIndex)
{
    if (!isFile())
        GTEST_SKIP() << "the planner of the file database";
    const auto plan = [&](const QString& sql) { return testing_support::queryPlan(conn(), sql).join(QStringLiteral(" | ")); };
    const DealRates rates{9, 1};
    for (const DealCriteria& c : {DealCriteria{true, "1403/01/01", "1403/06/31", true, true}, DealCriteria{true, "1403/01/01", "1403/06/31", true, false},
                                  DealCriteria{false, "", "", true, true}}) {
        const QString list = plan(DealListSql(DealWhere(c), rates, conn().dialect()));
        EXPECT_FALSE(list.contains(QStringLiteral("TEMP B-TREE"))) << list.toStdString();
        EXPECT_FALSE(list.contains(QStringLiteral("INDEX"))) << list.toStdString();
    }
    const QString sums = plan(DealSumsSql(DealWhere({true, "1403/01/01", "1403/06/31", true, true}), rates));
    EXPECT_TRUE(sums.contains(QStringLiteral("COVERING INDEX IX_SanadMonths"))) << sums.toStdString();
}

TEST_P(DealStatementsDb, RatesComeFromTheSettingsAtEachCall)
{
    TPrefMng::SetVATVal(9);
    TPrefMng::SetMunicipalVal(1.5);
    DealRates r = DealRates::Current();
    EXPECT_DOUBLE_EQ(r.total(), 10.5);
    EXPECT_TRUE(DealListSql(QString(), r, conn().dialect()).contains(QStringLiteral("/100*10.5)")));
    TPrefMng::SetVATVal(0);
    r = DealRates::Current();
    EXPECT_DOUBLE_EQ(r.vat, 0);
    auto cur = conn().query(DealSumsSql(QString(), r));
    ASSERT_TRUE(cur->next());
    EXPECT_NEAR(cur->toDouble(1), 0, 1e-9);
    EXPECT_NEAR(cur->toDouble(2), 3784568 * 0.015, 1e-6);
}

DOVIN_INSTANTIATE_ENGINES(DealStatementsDb);

} // namespace
