// The monthly reports on a hand-computed database, on both engines: every report's months and
// sums with and without the date range, the report window's lists and total, its printout and
// its chart button.
#include "UpgradedDbTest.h"

#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "deals/MonthlyReports.h"
#include "deals/TFrmReps.h"
#include "platform/db/DataSet.h"
#include "platform/report/Fonts.h"
#include "platform/report/PreparedReport.h"
#include "support/QueryPlan.h"
#include "support/ReportChecks.h"
#include "platform/report/Renderer.h"
#include "platform/widgets/MaskEdit.h"
#include "ui/TTools.h"
#include "ui_TFrmReps.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QRegularExpression>
#include <QTreeWidget>

namespace {

using Rows = std::vector<std::pair<QString, double>>;

class MonthlyReportsTest : public UpgradedDbTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        auto users = prepareProgramFolder();
        Dm = new TDm;
        Dm->Connect(testDb().open(), std::move(users));
        fill();
        report::installFontSubstitutions();
        PrintSettings = TPrintSettings{};
        PrintSettings.BodyFont = QFont(QStringLiteral("arial"), 11);
        prompter.calls.clear();
    }

    void TearDown() override
    {
        delete FrmReps;
        FrmReps = nullptr;
        delete Dm;
        Dm = nullptr;
        restoreProgramFolder();
        EngineTest::TearDown();
    }

    void money(const char* table, const QString& nov, const QVariant& date, const QVariant& amount, bool deleted = false)
    {
        if (QLatin1String(table) == QLatin1String("t_check"))
            Dm->Conn->exec(QStringLiteral("insert into t_check (nov, tarikh, mablagh, hazf) values ($1, $2, $3, $4)"),
                           {nov, date, amount, deleted ? Dm->Conn->dialect().trueValue() : 0});
        else
            Dm->Conn->exec(QStringLiteral("insert into t_hazineh (nov, tarikh, Mablagh) values ($1, $2, $3)"), {nov, date, amount});
    }
    void deal(const QString& date, double commission, const QVariant& owner, const QVariant& customer)
    {
        Dm->Conn->exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, Haghebongah, ownerDiscount, customerDiscount) "
                                      "values ($1, $2, $3, $4)"),
                       {date, commission, owner, customer});
    }

    // Rows in no order of month, so that the database's grouping order shows.
    void fill()
    {
        const QString expense = QStringLiteral("هزينه"), income = QStringLiteral("درآمد");
        const QString received = QStringLiteral("دريافتي"), paid = QStringLiteral("پرداختي");
        money("t_hazineh", expense, QStringLiteral("1403/12/30"), 5);
        money("t_hazineh", expense, QStringLiteral("1403/02/01"), 70);
        money("t_hazineh", expense, QStringLiteral("1403/01/20"), 50);
        money("t_hazineh", expense, QStringLiteral("1402/01/10"), 1000);
        money("t_hazineh", expense, QStringLiteral("1403/12/31"), 7);
        money("t_hazineh", expense, QStringLiteral("1404/01/01"), 9);
        money("t_hazineh", expense, QStringLiteral("1403/01/05"), 100.5);
        money("t_hazineh", expense, QVariant(), 3);
        money("t_hazineh", income, QStringLiteral("1403/03/15"), 200);
        money("t_hazineh", income, QStringLiteral("1403/01/03"), 300);
        money("t_check", received, QStringLiteral("1403/05/05"), 250);
        money("t_check", received, QStringLiteral("1403/01/02"), 400);
        money("t_check", received, QStringLiteral("1403/01/09"), 100, true);
        money("t_check", paid, QStringLiteral("1403/02/02"), 80);
        deal(QStringLiteral("1403/02/11"), 500, 0, 50);
        deal(QStringLiteral("1402/12/29"), 700, QVariant(), QVariant());
        deal(QStringLiteral("1403/01/10"), 1000, 100, QVariant());
    }

    Rows run(TMonthlyReport kind, bool ranged, const QString& t1 = QStringLiteral("1403/01/01"),
             const QString& t2 = QStringLiteral("1403/12/30"))
    {
        Rows out;
        for (const TMonthSum& r : RunMonthlyReport(*Dm->QFree, kind, ranged, t1, t2))
            out.push_back({r.month, r.sum});
        return out;
    }

    TFrmReps* window()
    {
        if (!FrmReps)
            FrmReps = new TFrmReps;
        return FrmReps;
    }

    static QStringList texts(const QTreeWidget* list)
    {
        QStringList out;
        for (int i = 0; i < list->topLevelItemCount(); ++i)
            out << list->topLevelItem(i)->text(1);
        return out;
    }
};

} // namespace

TEST_P(MonthlyReportsTest, EveryReportSumsItsMonthsInOrder)
{
    const QString m01 = QStringLiteral("1403/01"), m02 = QStringLiteral("1403/02"), m03 = QStringLiteral("1403/03");
    struct Case {
        TMonthlyReport kind;
        bool ranged;
        Rows expected;
    };
    const Case cases[] = {
        {TMonthlyReport::Expense, true, {{m01, 150.5}, {m02, 70}, {QStringLiteral("1403/12"), 5}}},
        // a row without a date forms the first group on both engines
        {TMonthlyReport::Expense, false,
         {{QString(), 3}, {QStringLiteral("1402/01"), 1000}, {m01, 150.5}, {m02, 70}, {QStringLiteral("1403/12"), 12}, {QStringLiteral("1404/01"), 9}}},
        {TMonthlyReport::Income, true, {{m01, 300}, {m03, 200}}},
        {TMonthlyReport::Income, false, {{m01, 300}, {m03, 200}}},
        // a missing discount counts as none
        {TMonthlyReport::Commission, true, {{m01, 900}, {m02, 450}}},
        {TMonthlyReport::Commission, false, {{QStringLiteral("1402/12"), 700}, {m01, 900}, {m02, 450}}},
        {TMonthlyReport::PaidCheque, true, {{m02, 80}}},
        // temporarily deleted documents count
        {TMonthlyReport::ReceivedCheque, true, {{m01, 500}, {QStringLiteral("1403/05"), 250}}},
        // income - expense + commission per month
        {TMonthlyReport::Profit, true, {{m01, 1049.5}, {m02, 380}, {m03, 200}, {QStringLiteral("1403/12"), -5}}},
        {TMonthlyReport::Profit, false,
         {{QString(), -3}, {QStringLiteral("1402/01"), -1000}, {QStringLiteral("1402/12"), 700}, {m01, 1049.5}, {m02, 380}, {m03, 200},
          {QStringLiteral("1403/12"), -12}, {QStringLiteral("1404/01"), -9}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << int(c.kind) << (c.ranged ? " ranged" : " all"));
        const Rows got = run(c.kind, c.ranged);
        ASSERT_EQ(got.size(), c.expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].first, c.expected[i].first);
            EXPECT_DOUBLE_EQ(got[i].second, c.expected[i].second);
        }
    }
}

TEST_P(MonthlyReportsTest, ProfitRangeFromTheMiddleOfAMonthKeepsThatMonth)
{
    // from 1403/01/10: the expense of the 20th and the deal of the 10th count, the income of the 3rd does not
    const Rows got = run(TMonthlyReport::Profit, true, QStringLiteral("1403/01/10"), QStringLiteral("1403/02/05"));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], std::make_pair(QStringLiteral("1403/01"), 850.0));
    EXPECT_EQ(got[1], std::make_pair(QStringLiteral("1403/02"), -70.0));
}

TEST_P(MonthlyReportsTest, ProfitEqualsIncomeLessExpensePlusCommission)
{
    for (bool ranged : {true, false}) {
        std::map<QString, double> sum;
        for (auto [kind, sign] : {std::pair{TMonthlyReport::Income, 1}, {TMonthlyReport::Expense, -1}, {TMonthlyReport::Commission, 1}})
            for (const auto& [month, v] : run(kind, ranged))
                sum[month] += sign * v;
        std::map<QString, double> profit;
        for (const auto& [month, v] : run(TMonthlyReport::Profit, ranged))
            profit[month] = v;
        EXPECT_EQ(profit, sum) << ranged;
    }
}

TEST_P(MonthlyReportsTest, WindowShowsTheDefaultReportWithItsTotal)
{
    TFrmReps* w = window();
    auto* f = w->form();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("گزارش ها"));
    EXPECT_EQ(f->cmbreport->currentText(), QStringLiteral("حق بنگاه"));
    EXPECT_EQ(f->Edtt1->Text(), QStringLiteral("1403/01/01"));
    EXPECT_EQ(f->Edtt2->Text(), QStringLiteral("1403/12/30"));
    w->show();
    EXPECT_EQ(f->Label5->text(), QStringLiteral("حق بنگاه"));
    EXPECT_EQ(texts(f->ListView2), QStringList({QStringLiteral("1403/01"), QStringLiteral("1403/02")}));
    EXPECT_EQ(texts(f->ListView3), QStringList({QStringLiteral("900"), QStringLiteral("450")}));
    EXPECT_EQ(f->Label6->text(), QStringLiteral("مجموع"));
    EXPECT_EQ(f->Label7->text(), QStringLiteral("1,350"));

    // every report of the list, ranged and not
    struct Case {
        int item;
        bool ranged;
        QStringList sums;
        QString caption;
        QString total;
    };
    const Case cases[] = {
        {0, true, {QStringLiteral("150.5"), QStringLiteral("70"), QStringLiteral("5")}, QStringLiteral("مجموع"), QStringLiteral("225.5")},
        {0, false,
         {QStringLiteral("3"), QStringLiteral("1,000"), QStringLiteral("150.5"), QStringLiteral("70"), QStringLiteral("12"),
          QStringLiteral("9")},
         QStringLiteral("مجموع"), QStringLiteral("1,244.5")},
        {1, true, {QStringLiteral("300"), QStringLiteral("200")}, QStringLiteral("مجموع"), QStringLiteral("500")},
        {3, true, {QStringLiteral("80")}, QStringLiteral("مجموع"), QStringLiteral("80")},
        {4, true, {QStringLiteral("500"), QStringLiteral("250")}, QStringLiteral("مجموع"), QStringLiteral("750")},
        {5, true, {QStringLiteral("1,049.5"), QStringLiteral("380"), QStringLiteral("200"), QStringLiteral("-5")},
         QStringLiteral("مجموع سود"), QStringLiteral("1,624.5")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.item);
        f->cmbreport->setCurrentIndex(c.item);
        f->chktarikh->setChecked(c.ranged);
        EXPECT_EQ(f->Edtt1->isEnabled(), c.ranged);
        f->btnreport->click();
        EXPECT_EQ(f->Label5->text(), MonthlyReportTexts()[c.item]);
        EXPECT_EQ(texts(f->ListView3), c.sums);
        EXPECT_EQ(f->ListView2->topLevelItemCount(), c.sums.size());
        EXPECT_EQ(f->Label6->text(), c.caption);
        EXPECT_EQ(f->Label7->text(), c.total);
    }
}

// The file database reads every report's rows from an index alone, without sorting them
// (a million rows a table stay under a second).
TEST_P(MonthlyReportsTest, ReportsReadTheirRowsFromIndexesInDateOrder)
{
    if (!isFile())
        GTEST_SKIP() << "the planner of the file database";
    for (int k = 0; k < 6; ++k)
        for (bool ranged : {false, true}) {
            const QString sql = MonthlyReportSql(TMonthlyReport(k), ranged, QStringLiteral("1403/01/01"), QStringLiteral("1403/12/30"));
            const QStringList steps = testing_support::queryPlan(*Dm->Conn, sql);
            SCOPED_TRACE(steps.join(QStringLiteral(" | ")).toStdString());
            const QStringList reads = steps.filter(QRegularExpression(QStringLiteral("^(SCAN|SEARCH) t_")));
            EXPECT_EQ(reads.size(), k == int(TMonthlyReport::Profit) ? 3 : 1);
            for (const QString& read : reads)
                EXPECT_TRUE(read.contains(QStringLiteral("USING COVERING INDEX IX_")));
            // only the few day sums are sorted into months
            EXPECT_EQ(steps.filter(QStringLiteral("TEMP B-TREE")).size(), 2);
        }
}

// 300 incomes ending in .1, .2, .3 and .7 over two months and many days: each month's sum and
// the total are the exact figures on both engines.
TEST_P(MonthlyReportsTest, MonthSumsAndTheTotalAreExact)
{
    static const int tenths[] = {1, 2, 3, 7};
    qint64 month[2] = {0, 0};
    Dm->Conn->begin();
    for (int i = 0; i < 300; ++i) {
        const qint64 t = (2263101 + qint64(i) * 1237) * 10 + tenths[i % 4];
        month[i % 2] += t;
        money("t_hazineh", QStringLiteral("درآمد"), QStringLiteral("1403/0%1/%2").arg(7 + i % 2).arg(1 + i % 29, 2, 10, QLatin1Char('0')),
              double(t) / 10);
    }
    Dm->Conn->commit();
    const auto text = [](qint64 t) {
        return TTools::FormatThousands(QString::number(t / 10) + (t % 10 ? QLatin1Char('.') + QString::number(t % 10) : QString()));
    };
    TFrmReps* w = window();
    auto* f = w->form();
    f->cmbreport->setCurrentIndex(1);
    w->show();
    f->btnreport->click();
    // the fixture's two incomes come first
    EXPECT_EQ(texts(f->ListView3),
              QStringList({QStringLiteral("300"), QStringLiteral("200"), text(month[0]), text(month[1])}));
    EXPECT_EQ(f->Label7->text(), text(month[0] + month[1] + 5000));
}

TEST_P(MonthlyReportsTest, EmptyReportHasNothingToChart)
{
    TFrmReps* w = window();
    auto* f = w->form();
    f->Edtt1->setText(QStringLiteral("1390/01/01"));
    f->Edtt2->setText(QStringLiteral("1390/12/30"));
    f->btnreport->click();
    EXPECT_EQ(f->ListView2->topLevelItemCount(), 0);
    EXPECT_EQ(f->Label7->text(), QStringLiteral("0"));
    f->btnchart->click();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("هيچ اطلاعاتي براي رسم نمودار وجود ندارد"));
    EXPECT_EQ(prompter.calls[0].caption, QStringLiteral("گزارش ها"));
}

TEST_P(MonthlyReportsTest, PrintoutHasMonthsRightAndSumsLeft)
{
    TFrmReps* w = window();
    auto* f = w->form();
    f->cmbreport->setCurrentIndex(0);
    f->chktarikh->setChecked(false);
    f->btnreport->click();
    report::PreparedReport shown;
    prompter.onPreview = [&](report::PreparedReport& r) { shown = r; };
    f->btnprinttraz->click();
    ASSERT_EQ(prompter.previewCount, 1);
    ASSERT_EQ(shown.pageCount(), 1);
    const QStringList page = shown.pageTexts(0);
    EXPECT_TRUE(page.contains(QStringLiteral("هزينه ها")));
    const auto months = shown.findNamed(QStringLiteral("LbldetR"));
    const auto sums = shown.findNamed(QStringLiteral("LblDetL"));
    ASSERT_EQ(months.size(), 6);
    ASSERT_EQ(sums.size(), 6);
    const QStringList expectedSums{QStringLiteral("3"), QStringLiteral("1,000"), QStringLiteral("150.5"), QStringLiteral("70"), QStringLiteral("12"),
                                   QStringLiteral("9")};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(months[i].item->text, f->ListView2->topLevelItem(i)->text(1));
        EXPECT_EQ(sums[i].item->text, expectedSums[i]);
        EXPECT_GT(months[i].item->rect.left(), sums[i].item->rect.right());
        EXPECT_EQ(months[i].item->rect.top(), sums[i].item->rect.top());
        if (i > 0)
            EXPECT_GT(months[i].item->rect.top(), months[i - 1].item->rect.top());
    }
    const auto caption = shown.findNamed(QStringLiteral("LblSR"));
    const auto total = shown.findNamed(QStringLiteral("LblSL"));
    ASSERT_EQ(caption.size(), 1);
    ASSERT_EQ(total.size(), 1);
    EXPECT_EQ(caption[0].item->text, QStringLiteral("مجموع"));
    EXPECT_EQ(total[0].item->text, QStringLiteral("1,244.5"));
    EXPECT_GT(caption[0].item->rect.left(), total[0].item->rect.right());
    EXPECT_TRUE(testing_support::reportTextFaults(shown).isEmpty());

    // the range joins the title while it is ticked
    f->chktarikh->setChecked(true);
    f->btnreport->click();
    f->btnprinttraz->click();
    EXPECT_EQ(shown.findNamed(QStringLiteral("LblTlt"))[0].item->text,
              QStringLiteral("هزينه ها - از 1403/01/01 تا 1403/12/30"));
    EXPECT_EQ(shown.findNamed(QStringLiteral("LbldetR")).size(), 3);

    const QString shots = qEnvironmentVariable("DOVIN_CHART_SHOTS");
    if (!shots.isEmpty() && isFile()) {
        report::renderPageImage(shown, 0, 100).save(shots + QStringLiteral("/printout.png"));
        w->resize(560, 520);
        w->grab().save(shots + QStringLiteral("/reports_window.png"));
    }
}

TEST_P(MonthlyReportsTest, SelectingARowSelectsItsTwin)
{
    TFrmReps* w = window();
    auto* f = w->form();
    f->cmbreport->setCurrentIndex(0);
    f->chktarikh->setChecked(false);
    w->show();
    QApplication::setActiveWindow(w);
    for (auto [from, to] : {std::pair{f->ListView2, f->ListView3}, {f->ListView3, f->ListView2}}) {
        from->setFocus();
        ASSERT_TRUE(from->hasFocus());
        from->setCurrentItem(from->topLevelItem(3));
        EXPECT_EQ(to->indexOfTopLevelItem(to->currentItem()), 3);
        ASSERT_EQ(to->selectedItems().size(), 1);
        EXPECT_EQ(to->indexOfTopLevelItem(to->selectedItems()[0]), 3);
    }
    // a list without the focus leaves the other alone
    f->ListView2->setFocus();
    f->ListView3->setCurrentItem(f->ListView3->topLevelItem(1));
    EXPECT_EQ(f->ListView2->indexOfTopLevelItem(f->ListView2->currentItem()), 3);
}

DOVIN_INSTANTIATE_ENGINES(MonthlyReportsTest);
