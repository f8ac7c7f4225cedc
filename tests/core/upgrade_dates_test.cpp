#include "upgrade_fixture.h"

#include "core/TDBUpdate.h"
#include "core/UpgradeSchema.h"
#include "support/QueryPlan.h"

#include <QElapsedTimer>

namespace {

class UpgradeDatesTest : public UpgradeTest {};

TEST_P(UpgradeDatesTest, EightCharacterDatesGetTheirCentury)
{
    // Tarikh already ten wide, as an interrupted run leaves it: old and new values side by side.
    createOldBase(false, false);
    using K = db::ColumnKind;
    create("t_check", {column("CID", K::Counter), column("Tarikhv", K::Text, 8), column("Tarikh", K::Text, 10),
                       column("nov", K::Text, 10), column("mablagh", K::Money), column("hazf", K::Boolean)});
    writeTemplate();
    struct Case {
        const char* stored;
        const char* expected;
    };
    const Case cases[] = {
        {"99/12/30", "1399/12/30"}, {"02/01/15", "1402/01/15"}, {"59/05/01", "1459/05/01"},
        {"60/05/01", "1360/05/01"}, {"00/01/01", "1400/01/01"}, {"__/__/__", "____/__/__"},
        {"1401/02/03", "1401/02/03"}, {"1399/12/30", "1399/12/30"}, {"____/__/__", "____/__/__"},
    };
    for (const auto& c : cases)
        conn().exec(QStringLiteral("insert into t_check (Tarikh, Tarikhv) values ($1, $2)"),
                    {QString::fromLatin1(c.stored), QStringLiteral("99/01/01")});
    conn().exec(QStringLiteral("insert into t_check (Tarikh) values (NULL)"));

    ASSERT_TRUE(update(0));
    EXPECT_TRUE(errors().isEmpty()) << errors().join(QLatin1Char('\n')).toStdString();

    auto cur = conn().query(QStringLiteral("select Tarikh, Tarikhv from t_check order by CID"));
    for (const auto& c : cases) {
        ASSERT_TRUE(cur->next());
        EXPECT_EQ(std::string(cur->text(0)), c.expected) << c.stored;
        EXPECT_EQ(std::string(cur->text(1)), "1399/01/01");
    }
    ASSERT_TRUE(cur->next());
    EXPECT_EQ(cur->cellType(0), db::CellType::Null);
}

TEST_P(UpgradeDatesTest, AllTwelveColumnsAreWidenedAndASecondRunChangesNothing)
{
    createOldBase();
    writeTemplate();
    conn().exec(QStringLiteral("insert into T_Melk (TarikhEraeh, TarikhVoorod) values ('99/12/30', '02/01/15')"));
    conn().exec(QStringLiteral("insert into T_niyaz (tarikhv, tarikheraeh) values ('59/05/01', '60/05/01')"));
    conn().exec(QStringLiteral("insert into T_Sanad (TarikhV, Tarikhsanad, tarikhstart, tarikhend, Haghebongah) "
                               "values ('01/01/01', '01/02/02', '__/__/__', '98/03/03', 100)"));
    conn().exec(QStringLiteral("insert into t_hazineh (tarikhv, tarikh, nov, Mablagh) values ('03/04/04', '97/05/05', "
                               "N'هزينه', 10)"));
    conn().exec(QStringLiteral("insert into t_check (Tarikhv, Tarikh, mablagh) values ('04/06/06', '96/07/07', 5)"));

    ASSERT_TRUE(update(0));
    EXPECT_TRUE(errors().isEmpty()) << errors().join(QLatin1Char('\n')).toStdString();

    const struct {
        const char* sql;
        const char* expected;
    } checks[] = {
        {"select TarikhEraeh || ' ' || TarikhVoorod from T_Melk", "1399/12/30 1402/01/15"},
        {"select tarikhv || ' ' || tarikheraeh from T_niyaz", "1459/05/01 1360/05/01"},
        {"select TarikhV || ' ' || Tarikhsanad || ' ' || tarikhstart || ' ' || tarikhend from T_Sanad",
         "1401/01/01 1401/02/02 ____/__/__ 1398/03/03"},
        {"select tarikhv || ' ' || tarikh from t_hazineh", "1403/04/04 1397/05/05"},
        {"select Tarikhv || ' ' || Tarikh from t_check", "1404/06/06 1396/07/07"},
    };
    for (const auto& c : checks)
        EXPECT_EQ(conn().scalar(QString::fromLatin1(c.sql)).toString().toStdString(), c.expected) << c.sql;

    // Ten characters fit on the server too, and the indexed columns carry an index.
    conn().exec(QStringLiteral("update t_check set Tarikh = '1402/12/29'"));
    auto upd = MakeDBUpdate(conn(), isFile(), folder());
    EXPECT_TRUE(upd->IsComplete());

    const QStringList tables = {QStringLiteral("T_Melk"), QStringLiteral("T_niyaz"), QStringLiteral("T_Sanad"),
                                QStringLiteral("t_hazineh"), QStringLiteral("t_check"), QStringLiteral("province"),
                                QStringLiteral("city"), QStringLiteral("mainOffices")};
    const QStringList before = dump(tables);
    const int callsBefore = int(prompter->calls.size());
    ASSERT_TRUE(update(94500));
    EXPECT_EQ(dump(tables), before);
    EXPECT_TRUE(errors().isEmpty());
    // No import and, on the file database, no message at all.
    if (isFile())
        EXPECT_EQ(prompter->calls.size(), callsBefore);
}

TEST_P(UpgradeDatesTest, ExistingIndexOnTheDateColumnIsNotDuplicated)
{
    createOldBase();
    writeTemplate();
    conn().exec(QStringLiteral("create index IX_Melk_Eraeh on T_Melk (TarikhEraeh)"));
    ASSERT_TRUE(update(0));
    ASSERT_TRUE(update(94500));
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_FALSE(conn().indexExists(QStringLiteral("T_Melk"), QStringLiteral("IX_TarikhEraeh")));
    EXPECT_TRUE(conn().indexExists(QStringLiteral("T_niyaz"), QStringLiteral("IX_NiyazTarikhEraeh")));
    EXPECT_TRUE(conn().indexExists(QStringLiteral("T_Sanad"), QStringLiteral("IX_Tarikh")));
}

TEST_P(UpgradeDatesTest, TheBooksGetTheIndexesOfTheirDateRanges)
{
    createOldBase();
    writeTemplate();
    ASSERT_TRUE(update(0));
    const auto present = [&] {
        return conn().indexExists(QStringLiteral("t_hazineh"), QStringLiteral("IX_HazinehTarikh"))
            && conn().indexExists(QStringLiteral("t_hazineh"), QStringLiteral("IX_HazinehMonths"))
            && conn().indexExists(QStringLiteral("t_check"), QStringLiteral("IX_CheckMonths"))
            && conn().indexExists(QStringLiteral("t_sanad"), QStringLiteral("IX_SanadMonths"));
    };
    EXPECT_TRUE(present());
    // the range statements read through them: the planner of the file database says so
    if (isFile()) {
        const auto plan = [&](const QString& sql) { return testing_support::queryPlan(conn(), sql).join(QStringLiteral(" | ")); };
        const QString range = QStringLiteral(" between '1403/01/01' and '1403/06/31'");
        struct Case {
            QString sql;
            QString index;
        } cases[] = {
            {QStringLiteral("select * from t_hazineh where tarikh") + range, QStringLiteral("IX_HazinehTarikh")},
            {QStringLiteral("select * from t_check where tarikh") + range, QStringLiteral("IX_CheckMonths")},
            {QStringLiteral("select sum(mablagh), tarikh from t_hazineh where nov='x' and tarikh") + range + QStringLiteral(" group by tarikh"),
             QStringLiteral("COVERING INDEX IX_HazinehMonths")},
            {QStringLiteral("select sum(haghebongah-ownerDiscount-customerDiscount), tarikhsanad from t_sanad group by tarikhsanad"),
             QStringLiteral("COVERING INDEX IX_SanadMonths")},
            {QStringLiteral("select sum(mablagh), tarikh from t_check where nov='x' group by tarikh"), QStringLiteral("COVERING INDEX IX_CheckMonths")},
            // the books' sums read the index alone
            {QStringLiteral("select sum(mablagh) from t_hazineh where nov='x'"), QStringLiteral("COVERING INDEX IX_HazinehMonths")},
            {QStringLiteral("select sum(mablagh) from t_check where coalesce(hazf,0)=0 and nov='x'"), QStringLiteral("COVERING INDEX IX_CheckMonths")},
            // the cheque book of one kind keeps the order of its rows
            {QStringLiteral("select * from t_check where coalesce(hazf,0)=0 and nov in ('x')"), QStringLiteral("SCAN t_check")},
        };
        for (const Case& c : cases) {
            const QString text = plan(c.sql);
            EXPECT_TRUE(text.contains(c.index)) << c.sql.toStdString() << ": " << text.toStdString();
            EXPECT_FALSE(text.contains(QStringLiteral("TEMP B-TREE"))) << c.sql.toStdString() << ": " << text.toStdString();
        }
    }
    // repeated: nothing new, no error; a database that lost them gets them back
    ASSERT_TRUE(update(94500));
    EXPECT_TRUE(errors().isEmpty());
    conn().exec(conn().dialect().dropIndex(QStringLiteral("t_check"), QStringLiteral("IX_CheckMonths")));
    conn().exec(conn().dialect().dropIndex(QStringLiteral("t_sanad"), QStringLiteral("IX_SanadMonths")));
    EXPECT_FALSE(MakeDBUpdate(conn(), isFile(), folder())->IsComplete());
    QStringList failed;
    MakeDBUpdate(conn(), isFile(), folder())->CreateLookupIndexes(failed);
    EXPECT_TRUE(failed.isEmpty());
    EXPECT_TRUE(present());
}

// A lookup index built over many rows is one long statement: the progress window is asked
// for after half a second and kept painting while the statement runs.
TEST_P(UpgradeDatesTest, ALongIndexBuildKeepsItsProgressWindowPainting)
{
    createOldBase();
    writeTemplate();
    ASSERT_TRUE(update(0));
    conn().exec(QStringLiteral("insert into t_check (Tarikh, nov, mablagh, hazf) with recursive s(i) as (select 1 "
                               "union all select i + 1 from s where i < 300000) select '1403/' || (i % 97), "
                               "'x' || (i % 13), i, 0 from s"));
    conn().exec(conn().dialect().dropIndex(QStringLiteral("t_check"), QStringLiteral("IX_CheckMonths")));
    QElapsedTimer clock;
    std::vector<qint64> paintedAt;
    prompter->onProgress = [&] { paintedAt.push_back(clock.elapsed()); };
    prompter->progressTitles.clear();
    QStringList failed;
    clock.start();
    MakeDBUpdate(conn(), isFile(), folder())->CreateLookupIndexes(failed);
    const qint64 took = clock.elapsed();
    EXPECT_TRUE(failed.isEmpty()) << failed.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(MakeDBUpdate(conn(), isFile(), folder())->IsComplete());
    EXPECT_EQ(prompter->progressTitles, QStringList{QStringLiteral("بروز رساني پايگاه داده")});
    // painted all along the statement, never left alone for long
    ASSERT_GE(paintedAt.size(), 3u) << "took " << took << " ms";
    for (size_t i = 1; i < paintedAt.size(); ++i)
        EXPECT_LT(paintedAt[i] - paintedAt[i - 1], 300) << i;
    EXPECT_LT(took - paintedAt.back(), 300);
    // nothing ticks once it is over
    const int updates = prompter->progressUpdates;
    conn().exec(QStringLiteral("update t_check set hazf = 0 where mablagh < 10"));
    EXPECT_EQ(prompter->progressUpdates, updates);
}

// The statements of a whole upgrade over many deals run under one progress window, asked for
// at the first statement and painted all along.
TEST_P(UpgradeDatesTest, AWholeUpgradeOverManyRowsKeepsOneProgressWindowPainting)
{
    createOldBase();
    writeTemplate();
    conn().exec(QStringLiteral("insert into T_Sanad (TarikhV, Tarikhsanad, Haghebongah) with recursive s(i) as "
                               "(select 1 union all select i + 1 from s where i < 300000) select '99/01/01', "
                               "'01/02/03', i from s"));
    QElapsedTimer clock;
    std::vector<qint64> paintedAt;
    prompter->onProgress = [&] { paintedAt.push_back(clock.elapsed()); };
    prompter->progressTitles.clear();
    clock.start();
    ASSERT_TRUE(update(0));
    const qint64 took = clock.elapsed();
    EXPECT_EQ(prompter->progressTitles, QStringList{QStringLiteral("بروز رساني پايگاه داده")});
    // (bars loose enough for a loaded machine: without the window the first paint came
    // after every statement, at 1.9 s)
    ASSERT_GE(paintedAt.size(), 3u) << "took " << took << " ms";
    EXPECT_LT(paintedAt.front(), 1000);
    for (size_t i = 1; i < paintedAt.size(); ++i)
        EXPECT_LT(paintedAt[i] - paintedAt[i - 1], 1000) << i;
    // nothing ticks once the statements are over
    const int updates = prompter->progressUpdates;
    conn().exec(QStringLiteral("update T_Sanad set Haghebongah = 1 where SId < 10"));
    EXPECT_EQ(prompter->progressUpdates, updates);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Sanad where ownerDiscount is null")).toLongLong(), 0);
}

DOVIN_INSTANTIATE_ENGINES(UpgradeDatesTest);

} // namespace
