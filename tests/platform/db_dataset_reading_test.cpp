// The dataset reads its rows when they are needed: a deferred open reads nothing, an open
// reads the first rows and the rest follow; everything behaves as if every row had been read,
// from one snapshot, on both engines.
#include "ScriptedPrompter.h"
#include "TestDb.h"

#include "platform/db/Catalog.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/shell/Progress.h"
#include "platform/widgets/DataSetModel.h"

#include <QCoreApplication>
#include <QSignalSpy>
#include <algorithm>
#include <functional>

using namespace db;
using testing_support::EngineTest;
using testing_support::ScriptedPrompter;

namespace {

constexpr int kRows = 3000;   // many more than a dataset reads at first

class DataSetReadingTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        TableDef t;
        t.name = QStringLiteral("T_Row");
        t.columns = {{QStringLiteral("ID"), ColumnKind::Counter},
                     {QStringLiteral("Name"), ColumnKind::Text, 20},
                     {QStringLiteral("N"), ColumnKind::Integer}};
        catalog.add(t);
        conn().setCatalog(&catalog);
        conn().exec(conn().dialect().createTable(t));
        conn().exec(QStringLiteral("insert into T_Row (Name, N) with recursive s(i) as (select 1 union all select i + 1 "
                                   "from s where i < %1) select 'r' || i, i from s")
                        .arg(kRows));
        ds = makeDataSet();
    }
    void TearDown() override
    {
        ds.reset();
        EngineTest::TearDown();
    }

    std::unique_ptr<DataSet> makeDataSet()
    {
        auto d = std::make_unique<DataSet>(&conn());
        d->setSQL(QStringLiteral("select * from T_Row order by ID"));
        return d;
    }
    int n() const { return ds->FieldByName(QStringLiteral("N"))->AsInteger(); }
    // The N of every row in the dataset's order, read in place.
    std::vector<int> allN()
    {
        std::vector<int> out;
        const int field = ds->FieldByName(QStringLiteral("N"))->Index();
        for (int row = 0; row < ds->RecordCount(); ++row)
            out.push_back(ds->ValueAt(row, field).toInt());
        return out;
    }
    static std::vector<int> upTo(int last)
    {
        std::vector<int> v;
        for (int i = 1; i <= last; ++i)
            v.push_back(i);
        return v;
    }
    void idle()
    {
        for (int i = 0; i < 10000 && ds->Active() && !ds->AllRowsRead(); ++i)
            QCoreApplication::processEvents();
    }

    ScriptedPrompter prompter;
    Catalog catalog;
    std::unique_ptr<DataSet> ds;
};

TEST_P(DataSetReadingTest, ADeferredOpenReadsNothingUntilARowACountOrAValueIsNeeded)
{
    // what reads, and what it must give: the same as when every row is read at once
    const struct {
        const char* what;
        std::function<void(DataSet&)> act;
        std::function<void(DataSet&)> check;
    } cases[] = {
        {"a value", [](DataSet&) {},
         [](DataSet& d) { EXPECT_EQ(d.FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("r1")); }},
        {"the count", [](DataSet&) {}, [](DataSet& d) { EXPECT_EQ(d.RecordCount(), kRows); }},
        {"emptiness", [](DataSet&) {}, [](DataSet& d) { EXPECT_FALSE(d.IsEmpty()); }},
        {"the row number", [](DataSet&) {}, [](DataSet& d) { EXPECT_EQ(d.RecNo(), 1); }},
        {"the end", [](DataSet&) {}, [](DataSet& d) { EXPECT_FALSE(d.Eof()); }},
        {"a row in place", [](DataSet&) {}, [](DataSet& d) { EXPECT_EQ(d.ValueAt(2, 2).toInt(), 3); }},
        {"the last row", [](DataSet& d) { d.Last(); },
         [](DataSet& d) {
             EXPECT_EQ(d.FieldByName(QStringLiteral("N"))->AsInteger(), kRows);
             EXPECT_TRUE(d.Eof());
         }},
        {"the next row", [](DataSet& d) { d.Next(); }, [](DataSet& d) { EXPECT_EQ(d.RecNo(), 2); }},
        {"a sort", [](DataSet& d) { d.setSort(QStringLiteral("N DESC")); },
         [](DataSet& d) {
             EXPECT_EQ(d.FieldByName(QStringLiteral("N"))->AsInteger(), 1);
             EXPECT_EQ(d.RecNo(), kRows);
         }},
        {"a bookmark", [](DataSet& d) { EXPECT_TRUE(d.GotoBookmark(QVariant(2500))); },
         [](DataSet& d) { EXPECT_EQ(d.FieldByName(QStringLiteral("N"))->AsInteger(), 2500); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto d = makeDataSet();
        d->OpenDeferred();
        EXPECT_TRUE(d->Active());
        EXPECT_TRUE(d->Deferred());
        EXPECT_EQ(d->FetchedCount(), 0);
        // the fields are known without a row
        EXPECT_EQ(d->FieldCount(), 3);
        EXPECT_EQ(d->FieldByName(QStringLiteral("Name"))->Size(), 20);
        c.act(*d);
        c.check(*d);
        EXPECT_FALSE(d->Deferred());
    }

    // nothing read means nothing held: a row written now is among the rows read later
    ds->OpenDeferred();
    auto other = testDb().open();
    other->exec(QStringLiteral("insert into T_Row (Name, N) values ('late', %1)").arg(kRows + 1));
    EXPECT_EQ(ds->RecordCount(), kRows + 1);
}

TEST_P(DataSetReadingTest, AnOpenReadsTheFirstRowsAndTheRestArrivesInIdleTime)
{
    ds->Open();
    const int first = ds->FetchedCount();
    EXPECT_GT(first, 0);
    EXPECT_LT(first, kRows);
    EXPECT_FALSE(ds->AllRowsRead());
    EXPECT_EQ(ds->RecNo(), 1);

    // the model shows what was read and grows as rows arrive, each row once and in order
    widgets::DataSetModel model;
    model.setDataSet(ds.get());
    EXPECT_EQ(model.rowCount(), first);
    QSignalSpy arrived(ds.get(), &DataSet::rowsArrived);
    idle();
    ASSERT_TRUE(ds->AllRowsRead());
    int next = first;
    for (const QList<QVariant>& a : arrived) {
        EXPECT_EQ(a[0].toInt(), next);
        next += a[1].toInt();
    }
    EXPECT_EQ(next, kRows);
    EXPECT_EQ(model.rowCount(), kRows);
    EXPECT_EQ(allN(), upTo(kRows));

    // a view at its end asks for more
    auto d = makeDataSet();
    d->Open();
    widgets::DataSetModel scrolled;
    scrolled.setDataSet(d.get());
    ASSERT_TRUE(scrolled.canFetchMore({}));
    const int before = scrolled.rowCount();
    scrolled.fetchMore({});
    EXPECT_GT(scrolled.rowCount(), before);
    EXPECT_EQ(scrolled.rowCount(), d->FetchedCount());
}

TEST_P(DataSetReadingTest, EverythingBeforeTheRestHasArrivedActsOnEveryRow)
{
    const auto name = [](DataSet& d) { return d.FieldByName(QStringLiteral("Name")); };
    const struct {
        const char* what;
        std::function<void(DataSet&)> act;
        std::function<void(DataSet&, Connection&)> check;
    } cases[] = {
        {"count", [](DataSet&) {}, [](DataSet& d, Connection&) { EXPECT_EQ(d.RecordCount(), kRows); }},
        {"last",
         [](DataSet& d) { d.Last(); },
         [](DataSet& d, Connection&) { EXPECT_EQ(d.RecNo(), kRows); }},
        {"record number", [](DataSet& d) { d.SetRecNo(2000); },
         [](DataSet& d, Connection&) { EXPECT_EQ(d.FieldByName(QStringLiteral("N"))->AsInteger(), 2000); }},
        {"filter",
         [](DataSet& d) {
             d.setFilter(QStringLiteral("N = 2999"));
             d.setFiltered(true);
         },
         [](DataSet& d, Connection&) {
             EXPECT_EQ(d.RecordCount(), 1);
             EXPECT_EQ(d.FieldByName(QStringLiteral("N"))->AsInteger(), 2999);
         }},
        {"find",
         [](DataSet& d) {
             d.setFilter(QStringLiteral("Name like '%r25%'"));
             EXPECT_TRUE(d.FindFirst());
             EXPECT_TRUE(d.FindNext());
         },
         [](DataSet& d, Connection&) { EXPECT_EQ(d.FieldByName(QStringLiteral("N"))->AsInteger(), 250); }},
        {"locate", [](DataSet& d) { EXPECT_TRUE(d.Locate(QStringLiteral("N"), 2800)); },
         [](DataSet& d, Connection&) { EXPECT_EQ(d.RecNo(), 2800); }},
        {"sort", [](DataSet& d) { d.setSort(QStringLiteral("N DESC")); },
         [](DataSet& d, Connection&) {
             EXPECT_EQ(d.RecNo(), kRows);   // the current row stays current
             d.First();
             EXPECT_EQ(d.FieldByName(QStringLiteral("N"))->AsInteger(), kRows);
         }},
        {"selection",
         [](DataSet& d) {
             d.SelectRow(0, true);
             d.SetRecNo(2500);
             d.SelectCurrent(true);
         },
         [](DataSet& d, Connection&) {
             EXPECT_EQ(d.SelectedBookmarks(), (QList<QVariant>{1, 2500}));
             EXPECT_TRUE(d.IsRowSelected(2499));
         }},
        {"insert",
         [&](DataSet& d) {
             d.Insert();
             name(d)->SetAsString(QStringLiteral("new"));
             d.Post();
         },
         [](DataSet& d, Connection& c) {
             EXPECT_EQ(d.RecordCount(), kRows + 1);
             EXPECT_EQ(d.RecNo(), 1);
             EXPECT_EQ(c.scalar(QStringLiteral("select count(*) from T_Row")).toInt(), kRows + 1);
         }},
        {"append",
         [&](DataSet& d) {
             d.Append();
             name(d)->SetAsString(QStringLiteral("new"));
             d.Post();
         },
         [](DataSet& d, Connection&) {
             EXPECT_EQ(d.RecordCount(), kRows + 1);
             EXPECT_EQ(d.RecNo(), kRows + 1);
             d.Last();
             EXPECT_EQ(d.FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("new"));
         }},
        {"edit",
         [&](DataSet& d) {
             d.Edit();
             name(d)->SetAsString(QStringLiteral("edited"));
             d.Post();
         },
         [](DataSet& d, Connection&) {
             EXPECT_EQ(d.RecordCount(), kRows);
             d.First();
             EXPECT_EQ(d.FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("edited"));
         }},
        {"delete", [](DataSet& d) { d.Delete(); },
         [](DataSet& d, Connection& c) {
             EXPECT_EQ(d.RecordCount(), kRows - 1);
             EXPECT_FALSE(d.GotoBookmark(QVariant(1)));
             EXPECT_EQ(c.scalar(QStringLiteral("select count(*) from T_Row")).toInt(), kRows - 1);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        auto fresh = testDb().open();
        fresh->setCatalog(&catalog);
        // back to the rows of the start
        fresh->exec(QStringLiteral("delete from T_Row where N is null or N > %1").arg(kRows));
        fresh->exec(QStringLiteral("update T_Row set Name = 'r' || N"));
        DataSet d(fresh.get());
        d.setSQL(QStringLiteral("select * from T_Row order by ID"));
        d.Open();
        ASSERT_FALSE(d.AllRowsRead());
        c.act(d);
        c.check(d, *fresh);
        // and the rest arrives whole: every key once
        d.FetchAll();
        QSet<qint64> keys;
        for (int row = 0; row < d.RecordCount(); ++row)
            keys.insert(d.ValueAt(row, 0).toLongLong());
        EXPECT_EQ(keys.size(), d.RecordCount());
    }
}

TEST_P(DataSetReadingTest, AWriteBetweenTheFirstRowsAndTheRestGivesNoDuplicateAndNoGap)
{
    ds->Open();
    const int first = ds->FetchedCount();
    ASSERT_LT(first, kRows);
    // another workstation saves: a new row, a row changed and a row deleted, all not read yet
    bool wrote = false;
    {
        auto second = isFile() ? Connection::openSqlite(testDb().location(), false, 50) : testDb().open();
        try {
            inTransaction(*second, [&] {
                second->exec(QStringLiteral("insert into T_Row (Name, N) values ('late', %1)").arg(kRows + 1));
                second->exec(QStringLiteral("update T_Row set Name = 'changed' where N = %1").arg(kRows - 1));
                second->exec(QStringLiteral("delete from T_Row where N = %1").arg(kRows));
            });
            wrote = true;
        } catch (const DbError& e) {
            // the file database: a read under way keeps writers waiting, within their timeout
            EXPECT_EQ(e.category(), ErrorCategory::Locked);
        }
    }
    EXPECT_EQ(wrote, !isFile());
    // the rest comes from the snapshot of the first rows
    EXPECT_EQ(allN(), upTo(kRows));
    ds->Last();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("r%1").arg(kRows));
    ds->Prior();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("r%1").arg(kRows - 1));
    // once read, nothing is held: the write goes through and a reopen shows it
    if (!wrote) {
        auto second = Connection::openSqlite(testDb().location(), false, 50);
        second->exec(QStringLiteral("insert into T_Row (Name, N) values ('late', %1)").arg(kRows + 1));
        second->exec(QStringLiteral("delete from T_Row where N = %1").arg(kRows));
    }
    ds->Reopen();
    std::vector<int> now = upTo(kRows - 1);
    now.push_back(kRows + 1);
    EXPECT_EQ(allN(), now);
}

TEST_P(DataSetReadingTest, TheOwnConnectionsWritesKeepTheSnapshot)
{
    ds->Open();
    ASSERT_FALSE(ds->AllRowsRead());
    conn().exec(QStringLiteral("insert into T_Row (Name, N) values ('own', %1)").arg(kRows + 1));
    conn().exec(QStringLiteral("delete from T_Row where N = 2"));
    // the file database read the rest before its own write; the server's reader has its snapshot
    EXPECT_EQ(allN(), upTo(kRows));
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Row")).toInt(), kRows);
}

TEST_P(DataSetReadingTest, ACancelledWaitLeavesTheDatasetUsable)
{
    prompter.cancelWork = true;
    ds->Open();
    const int first = ds->FetchedCount();
    // a find waits for every row under a window that may be cancelled
    ds->setFilter(QStringLiteral("N = 2999"));
    EXPECT_THROW(ds->FindFirst(), shell::Cancelled);
    EXPECT_EQ(prompter.progressTitles.size(), 1);
    EXPECT_EQ(ds->RecNo(), 1);
    EXPECT_GT(ds->FetchedCount(), first);
    EXPECT_FALSE(ds->AllRowsRead());
    // a cancelled sort keeps the order
    EXPECT_THROW(ds->setSort(QStringLiteral("N DESC")), shell::Cancelled);
    EXPECT_EQ(ds->Sort(), QString());
    // a count is not cancellable: it is always right
    EXPECT_EQ(ds->RecordCount(), kRows);
    prompter.cancelWork = false;
    EXPECT_EQ(allN(), upTo(kRows));
    EXPECT_TRUE(ds->FindFirst());
    EXPECT_EQ(n(), 2999);
}

TEST_P(DataSetReadingTest, AnErrorOfADeferredReadIsShownAndClosesTheDataset)
{
    ds->OpenDeferred();
    conn().exec(QStringLiteral("drop table T_Row"));
    // a count is never a count of a part: the action gets the error, shown once
    try {
        ds->RecordCount();
        ADD_FAILURE() << "a count of a list that could not be read";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("T_Row"), Qt::CaseInsensitive)) << e.message().toStdString();
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(prompter.calls.isEmpty());
    EXPECT_FALSE(ds->Active());
}

// A row part-way that the engine refuses to compute cuts the background read off.
TEST_P(DataSetReadingTest, AListCutOffByAnErrorKeepsTheEditAndIsNeverTakenForWhole)
{
    ds->setSQL(QStringLiteral("select ID, Name, N, abs(case when N = 2500 then -9223372036854775807 - 1 else N end) as A "
                              "from T_Row order by ID"));
    ds->Open();
    ASSERT_FALSE(ds->AllRowsRead());
    ds->Edit();
    ds->FieldByName(QStringLiteral("Name"))->SetAsString(QStringLiteral("تایپ شده"));
    for (int i = 0; i < 10000 && prompter.calls.isEmpty(); ++i)
        QCoreApplication::processEvents();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].what, QStringLiteral("plainMessage"));
    // the edit and its typed value stay; the rows read stay, never counted as all
    ASSERT_TRUE(ds->Active());
    EXPECT_EQ(ds->State(), DataSetState::Edit);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("تایپ شده"));
    EXPECT_FALSE(ds->AllRowsRead());
    EXPECT_LT(ds->FetchedCount(), 2500);
    ds->Cancel();

    // everything that wants every row fails instead of acting on a part
    const std::vector<std::pair<const char*, std::function<void()>>> wholeList = {
        {"RecordCount", [&] { ds->RecordCount(); }},
        {"Last", [&] { ds->Last(); }},
        {"FetchAll", [&] { ds->FetchAll(); }},
        {"sort", [&] { ds->setSort(QStringLiteral("N DESC")); }},
        {"Locate", [&] { ds->Locate(QStringLiteral("N"), 2999); }},
    };
    for (const auto& [what, action] : wholeList) {
        EXPECT_THROW(action(), DbError) << what;
        EXPECT_EQ(ds->RecNo(), 1) << what;
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(prompter.calls.size(), 1);   // no second message of its own
    EXPECT_EQ(ds->Sort(), QString());
}

DOVIN_INSTANTIATE_ENGINES(DataSetReadingTest);

// A sort on stored columns while rows are still to come: the engine gives the first rows in
// the order the dataset's own sort gives (Persian letters and their Arabic forms, digits of
// both kinds, letter case, empty texts and NULLs; equal values in key order), the rest
// follows in idle time.
class SortedReadingTest : public EngineTest {
protected:
    static constexpr int kSortRows = 1200;
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        TableDef t;
        t.name = QStringLiteral("T_Sort");
        t.columns = {{QStringLiteral("ID"), ColumnKind::Counter},
                     {QStringLiteral("Esm"), ColumnKind::Text, 30},
                     {QStringLiteral("Price"), ColumnKind::Money},
                     {QStringLiteral("N"), ColumnKind::Integer}};
        catalog.add(t);
        conn().setCatalog(&catalog);
        conn().exec(conn().dialect().createTable(t));
        const QStringList texts = {QStringLiteral("کتاب"), QStringLiteral("كتاب"), QStringLiteral("یاس"),
                                   QStringLiteral("ياس"),  QStringLiteral("آب"),   QStringLiteral("اب"),
                                   QStringLiteral("الف"),  QStringLiteral("ب"),    QStringLiteral("پ"),
                                   QStringLiteral("چ"),    QStringLiteral("ژ"),    QStringLiteral("1"),
                                   QStringLiteral("۱"),    QStringLiteral("10"),   QStringLiteral("2"),
                                   QStringLiteral("a"),    QStringLiteral("A"),    QStringLiteral("Z"),
                                   QString(""),            QString(),              QStringLiteral("کیک"),
                                   QStringLiteral("كيك"),  QStringLiteral("علی"),  QStringLiteral("علي "),
                                   QStringLiteral("خانهٔ"), QStringLiteral("خانۀ"),  QStringLiteral("خانه")};
        inTransaction(conn(), [&] {
            for (int i = 0; i < kSortRows; ++i) {
                const int j = (i * 7919) % kSortRows;
                const QString& e = texts[j % texts.size()];
                conn().exec(QStringLiteral("insert into T_Sort (Esm, Price, N) values (%1, %2, %3)")
                                .arg(e.isNull() ? QStringLiteral("NULL") : Q(e),
                                     j % 13 == 0 ? QStringLiteral("NULL") : QString::number(j % 97) + QStringLiteral(".25"),
                                     j % 17 == 0 ? QStringLiteral("NULL") : QString::number(j % 5)));
            }
        });
        conn().setPreExecuteHook([this](QString& sql) { statements << sql; });
    }

    std::unique_ptr<DataSet> open(const QString& sql)
    {
        auto d = std::make_unique<DataSet>(&conn());
        d->setSQL(sql);
        d->Open();
        return d;
    }
    // The keys in the order the dataset sorts every row it holds.
    std::vector<qint64> clientOrder(const QString& sql, const QString& sort)
    {
        auto d = open(sql);
        d->FetchAll();
        d->setSort(sort);
        return keys(*d, d->RecordCount());
    }
    static std::vector<qint64> keys(DataSet& d, int rows)
    {
        std::vector<qint64> out;
        for (int row = 0; row < rows; ++row)
            out.push_back(d.ValueAt(row, 0).toLongLong());
        return out;
    }
    static void idle(DataSet& d)
    {
        for (int i = 0; i < 10000 && d.Active() && !d.AllRowsRead(); ++i)
            QCoreApplication::processEvents();
    }
    bool ranSorted() const
    {
        for (const QString& s : statements)
            if (s.contains(QLatin1String("order by"), Qt::CaseInsensitive) && s.contains(QLatin1String("limit")))
                return true;
        return false;
    }

    const QString all = QStringLiteral("select * from T_Sort");
    ScriptedPrompter prompter;
    Catalog catalog;
    QStringList statements;
};

TEST_P(SortedReadingTest, TheEngineSortsStoredColumnsAsTheDatasetDoes)
{
    for (const char* spec : {"Esm", "Esm DESC", "Price", "Price DESC", "N", "N DESC, Esm", "Esm, Price DESC"}) {
        SCOPED_TRACE(spec);
        const QString sort = QString::fromLatin1(spec);
        const std::vector<qint64> want = clientOrder(all, sort);
        ASSERT_EQ(int(want.size()), kSortRows);
        for (const bool click : {true, false}) {
            SCOPED_TRACE(click ? "title click" : "sorted open");
            statements.clear();
            auto d = open(all);
            ASSERT_FALSE(d->AllRowsRead());
            if (click) {
                // on a record among the first rows read and among the first sorted ones:
                // nothing more to read for it
                const int read = d->FetchedCount();
                const auto on = std::find_if(want.begin(), want.begin() + read / 2, [&](qint64 k) {
                    for (int row = 0; row < read; ++row)
                        if (d->ValueAt(row, 0).toLongLong() == k)
                            return true;
                    return false;
                });
                ASSERT_NE(on, want.begin() + read / 2);
                ASSERT_TRUE(d->GotoBookmark(*on));
                ASSERT_FALSE(d->AllRowsRead());
                d->setSort(sort);
                EXPECT_EQ(d->GetBookmark().toLongLong(), *on);
            } else {
                d->Close();
                d->setSort(sort);
                d->Open();
            }
            // the first rows came sorted, the rest is still to come
            EXPECT_TRUE(ranSorted());
            EXPECT_FALSE(d->AllRowsRead());
            const int first = d->FetchedCount();
            EXPECT_GT(first, 0);
            EXPECT_LT(first, kSortRows);
            EXPECT_EQ(keys(*d, first), std::vector<qint64>(want.begin(), want.begin() + first));
            idle(*d);
            ASSERT_TRUE(d->AllRowsRead());
            EXPECT_EQ(keys(*d, d->RecordCount()), want);
        }
    }
    // the dataset's own order: NULLs first, then texts by letter (case aside), equal values by key
    auto d = open(all);
    d->FetchAll();
    d->setSort(QStringLiteral("Esm"));
    const int esm = d->FieldByName(QStringLiteral("Esm"))->Index();
    EXPECT_TRUE(d->ValueAt(0, esm).isNull());
    QStringList seen;
    for (int row = 1; row < d->RecordCount(); ++row) {
        const QString a = d->ValueAt(row - 1, esm).toString(), b = d->ValueAt(row, esm).toString();
        if (a.compare(b, Qt::CaseInsensitive) == 0 && !d->ValueAt(row - 1, esm).isNull())
            EXPECT_LT(d->ValueAt(row - 1, 0).toLongLong(), d->ValueAt(row, 0).toLongLong()) << row;
        if (seen.isEmpty() || seen.last() != b)
            seen << b;
    }
    EXPECT_LT(seen.indexOf(QStringLiteral("1")), seen.indexOf(QStringLiteral("آب")));
    EXPECT_LT(seen.indexOf(QStringLiteral("آب")), seen.indexOf(QStringLiteral("ب")));
    EXPECT_LT(seen.indexOf(QStringLiteral("ب")), seen.indexOf(QStringLiteral("پ")));
    EXPECT_LT(seen.indexOf(QStringLiteral("ژ")), seen.indexOf(QStringLiteral("کتاب")));
}

TEST_P(SortedReadingTest, ASearchAfterASortShowsItsFirstRowsSortedWithoutReadingEveryRow)
{
    auto d = open(all);
    d->setSort(QStringLiteral("Esm DESC"));
    idle(*d);
    const QString search = QStringLiteral("select * from T_Sort where N <> 3 or N is null");
    const std::vector<qint64> want = clientOrder(search, QStringLiteral("Esm DESC"));
    for (const bool reopen : {false, true}) {
        SCOPED_TRACE(reopen ? "reopen" : "close and open");
        statements.clear();
        d->Close();
        d->setSQL(search);
        if (reopen)
            d->Reopen();
        else
            d->Open();
        EXPECT_TRUE(ranSorted());
        EXPECT_FALSE(d->AllRowsRead());
        const int first = d->FetchedCount();
        EXPECT_EQ(keys(*d, first), std::vector<qint64>(want.begin(), want.begin() + first));
        // what needs every row gets them in the same order
        EXPECT_EQ(d->RecordCount(), int(want.size()));
        EXPECT_EQ(keys(*d, d->RecordCount()), want);
    }
}

TEST_P(SortedReadingTest, ATitleClickKeepsTheCurrentRecordAndStaysEditable)
{
    for (const int recNo : {2, 200}) {
        SCOPED_TRACE(recNo);
        auto d = open(all);
        d->SetRecNo(recNo);
        const QVariant key = d->GetBookmark();
        ASSERT_FALSE(d->AllRowsRead());
        d->setSort(QStringLiteral("Price"));
        EXPECT_EQ(d->GetBookmark(), key);
        EXPECT_EQ(d->Sort(), QStringLiteral("Price"));
        // the rows stay writable by their key
        d->Edit();
        d->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("ویرایش"));
        d->Post();
        EXPECT_EQ(conn().scalar(QStringLiteral("select Esm from T_Sort where ID = %1").arg(key.toLongLong())).toString(),
                  QStringLiteral("ویرایش"));
    }
    // a column the engine has no order for (computed) is sorted by the dataset
    statements.clear();
    auto d = open(QStringLiteral("select ID, Esm, N * 2 as M from T_Sort"));
    d->SetRecNo(3);
    const QVariant key = d->GetBookmark();
    d->setSort(QStringLiteral("M DESC"));
    EXPECT_FALSE(ranSorted());
    EXPECT_TRUE(d->AllRowsRead());
    EXPECT_EQ(d->GetBookmark(), key);
    // a filter shown picks among every row: a sorted open with it reads them all at once
    auto f = open(all);
    f->Close();
    f->setSort(QStringLiteral("Esm"));
    f->setFilter(QStringLiteral("N = 2"));
    f->setFiltered(true);
    statements.clear();
    f->Open();
    EXPECT_FALSE(ranSorted());
    EXPECT_TRUE(f->AllRowsRead());
    EXPECT_EQ(f->RecordCount(), conn().scalar(QStringLiteral("select count(*) from T_Sort where N = 2")).toInt());
}

TEST_P(SortedReadingTest, ARowChangedBetweenTheFirstRowsAndTheRestIsShownOnce)
{
    auto d = open(all);
    auto second = testDb().open();
    bool sortedRan = false, changed = false;
    conn().setPreExecuteHook([&](QString& sql) {
        if (sql.contains(QLatin1String("limit"))) {
            sortedRan = true;
        } else if (sortedRan && !changed) {
            // another workstation moves a row of the first ones to the end
            changed = true;
            second->exec(QStringLiteral("update T_Sort set Price = 1000 where Price is null"));
        }
    });
    d->setSort(QStringLiteral("Price"));
    ASSERT_TRUE(changed);
    idle(*d);
    std::vector<qint64> got = keys(*d, d->RecordCount());
    EXPECT_EQ(int(got.size()), kSortRows);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(std::unique(got.begin(), got.end()), got.end());
}

TEST_P(SortedReadingTest, ARowSavedRightAfterASortedOpenIsShownOnce)
{
    auto d = open(all);
    d->Close();
    d->setSort(QStringLiteral("Esm"));
    d->Open();
    ASSERT_FALSE(d->AllRowsRead());
    d->Insert();
    d->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("تازه"));
    d->Post();
    idle(*d);
    std::vector<qint64> got = keys(*d, d->RecordCount());
    EXPECT_EQ(int(got.size()), kSortRows + 1);
    std::sort(got.begin(), got.end());
    EXPECT_EQ(std::unique(got.begin(), got.end()), got.end());
}

TEST_P(SortedReadingTest, ALongSortShowsItsProgress)
{
    conn().exec(QStringLiteral("insert into T_Sort (Esm, Price, N) with recursive s(i) as (select 1 union all select i + 1 "
                               "from s where i < 25000) select 'ب' || (i % 977), i % 101, i % 7 from s"));
    auto d = open(all);
    d->FetchAll();
    prompter.progressTitles.clear();
    d->setSort(QStringLiteral("Esm"));
    EXPECT_EQ(prompter.progressTitles, QStringList{QStringLiteral("خواندن اطلاعات")});
    EXPECT_EQ(d->RecordCount(), kSortRows + 25000);
}

DOVIN_INSTANTIATE_ENGINES(SortedReadingTest);

} // namespace
