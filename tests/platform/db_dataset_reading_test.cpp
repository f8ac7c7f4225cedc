// The dataset reads its rows when they are needed: a deferred open reads nothing, an open
// reads the first rows and the rest follow; everything behaves as if every row had been read,
// each row once and none that stayed missed, on both engines.
#include "ScriptedPrompter.h"
#include "TestDb.h"

#include "platform/db/Catalog.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/shell/Progress.h"
#include "platform/widgets/DBCtrlGrid.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataSetModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollBar>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <functional>
#include <optional>

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
        d->setSQL(sql);
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
    // Rows after the first ones, enough to arrive over many turns of the event loop; the rows
    // in the table.
    int addRows(int more)
    {
        conn().exec(QStringLiteral("insert into T_Row (Name, N) with recursive s(i) as (select %1 union all select i + 1 "
                                   "from s where i < %2) select 'r' || i, i from s")
                        .arg(kRows + 1)
                        .arg(kRows + more));
        return kRows + more;
    }
    // Turns of the event loop until every row is read, a millisecond apart (the server's rows
    // may be on their way).
    void idle()
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < 60000 && ds->Active() && !ds->AllRowsRead())
            QTest::qWait(1);
    }

    ScriptedPrompter prompter;
    Catalog catalog;
    std::unique_ptr<DataSet> ds;
    QString sql = QStringLiteral("select * from T_Row order by ID");
};

// The same rows in the same order, by the key alone or by a stored column then the key (the
// file database reads the rest of that in the key's order and puts it in order at the end).
const char* const kStatements[] = {"select * from T_Row order by ID", "select * from T_Row order by N, ID"};

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
    for (const char* statement : kStatements)
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SCOPED_TRACE(statement);
        sql = QString::fromLatin1(statement);
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
    for (const char* statement : kStatements)
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        SCOPED_TRACE(statement);
        auto fresh = testDb().open();
        fresh->setCatalog(&catalog);
        // back to the rows of the start
        fresh->exec(QStringLiteral("delete from T_Row where N is null or N > %1").arg(kRows));
        fresh->exec(QStringLiteral("update T_Row set Name = 'r' || N"));
        fresh->exec(QStringLiteral("insert into T_Row (ID, Name, N) select 1, 'r1', 1 where not exists "
                                   "(select 1 from T_Row where ID = 1)"));
        DataSet d(fresh.get());
        d.setSQL(QString::fromLatin1(statement));
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
    // another workstation saves: a new row, a row changed and a row deleted, all not read yet;
    // nothing of this list keeps it waiting
    {
        auto second = isFile() ? Connection::openSqlite(testDb().location(), false, 50) : testDb().open();
        inTransaction(*second, [&] {
            second->exec(QStringLiteral("insert into T_Row (Name, N) values ('late', %1)").arg(kRows + 1));
            second->exec(QStringLiteral("update T_Row set Name = 'changed' where N = %1").arg(kRows - 1));
            second->exec(QStringLiteral("delete from T_Row where N = %1").arg(kRows));
        });
    }
    // the server's rest comes from the snapshot of the first rows; the file's rest is the
    // rows past the last one read, as they are now
    std::vector<int> now = upTo(kRows - 1);
    now.push_back(kRows + 1);
    EXPECT_EQ(allN(), isFile() ? now : upTo(kRows));
    ds->Last();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Name"))->AsString(),
              isFile() ? QStringLiteral("late") : QStringLiteral("r%1").arg(kRows));
    ds->Prior();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Name"))->AsString(),
              isFile() ? QStringLiteral("changed") : QStringLiteral("r%1").arg(kRows - 1));
    ds->Reopen();
    EXPECT_EQ(allN(), now);
}

// While this workstation prints or sorts (long work) with a list half read, another one's
// save goes through at once, whatever part of the list was read and however; the list
// then ends with every row that stayed, once, in order.
TEST_P(DataSetReadingTest, AnotherWorkstationSavesWhileALongJobRunsWithAListHalfRead)
{
    constexpr int kMany = 150000;
    conn().exec(QStringLiteral("insert into T_Row (Name, N) with recursive s(i) as (select %1 union all select i + 1 "
                               "from s where i < %2) select 'r' || i, i from s")
                    .arg(kRows + 1)
                    .arg(kMany));
    const struct {
        const char* how;
        std::function<void(DataSet&)> read;
    } cases[] = {
        {"the first rows only", [](DataSet&) {}},
        {"a turn of idle reading", [](DataSet&) { QCoreApplication::processEvents(); }},
        {"a grid asked for more", [](DataSet& d) { d.FetchMore(); }},
        {"a row far down", [](DataSet& d) { d.ValueAt(20000, 0); }},
    };
    int next = kMany;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        ds = makeDataSet();
        ds->Open();
        c.read(*ds);
        const int read = ds->FetchedCount();
        ASSERT_FALSE(ds->AllRowsRead());
        ASSERT_LT(read, kMany - 1000);   // rows after the changed ones still to read
        const QVariant lastRead = ds->ValueAt(read - 1, 0);
        {
            shell::Progress job(QStringLiteral("چاپ"));
            // the other workstation waits for locks as the program does (3 s)
            auto second = isFile() ? Connection::openSqlite(testDb().location(), false, 3000) : testDb().open();
            QElapsedTimer clock;
            clock.start();
            ASSERT_NO_THROW(inTransaction(*second, [&] {
                second->exec(QStringLiteral("insert into T_Row (Name, N) values ('late', %1)").arg(++next));
                second->exec(QStringLiteral("update T_Row set Name = 'changed' where ID = %1").arg(read + 100));
                second->exec(QStringLiteral("delete from T_Row where ID = %1").arg(read + 200));
                second->exec(QStringLiteral("delete from T_Row where ID = %1").arg(lastRead.toInt()));
            }));
            EXPECT_LT(clock.elapsed(), 1000);
            // no reading inside the long work
            for (int i = 0; i < 3; ++i)
                QCoreApplication::processEvents();
            EXPECT_EQ(ds->FetchedCount(), read);
        }
        // idle reading takes up again once the work is over
        ASSERT_TRUE(QTest::qWaitFor([&] { return ds->AllRowsRead(); }, 20000));
        // every row that stayed, once, in order; nothing that never was
        QSet<int> stayed, ever;
        for (auto cur = conn().query(QStringLiteral("select ID from T_Row")); cur->next();)
            stayed.insert(int(cur->toInt64(0)));
        ever = stayed;
        ever.insert(read + 200);
        ever.insert(lastRead.toInt());
        QSet<int> seen;
        int previous = 0;
        for (int row = 0; row < ds->RecordCount(); ++row) {
            const int id = ds->ValueAt(row, 0).toInt();
            ASSERT_GT(id, previous) << "row " << row;
            previous = id;
            EXPECT_TRUE(ever.contains(id)) << id;
            seen.insert(id);
        }
        for (int id : stayed)
            if (id <= kMany)
                EXPECT_TRUE(seen.contains(id)) << "missed " << id;
        EXPECT_TRUE(ds->Locate(QStringLiteral("ID"), lastRead));
    }
}

// A write of the list's own connection never waits for the rest of the list: the file
// database's rest goes on past the last row read afterwards (showing what was saved there, as
// another workstation's save); the server's reader keeps its snapshot.
TEST_P(DataSetReadingTest, TheOwnConnectionsWritesNeitherWaitForTheRestNorDoubleARow)
{
    std::vector<int> rows = upTo(kRows);   // in the table before each round
    for (const char* statement : kStatements) {
        SCOPED_TRACE(statement);
        conn().exec(QStringLiteral("delete from T_Row where N > %1").arg(kRows));
        const int gone = rows[1];   // read with the first rows, deleted before the rest comes
        sql = QString::fromLatin1(statement);
        ds = makeDataSet();
        ds->Open();
        const int first = ds->FetchedCount();
        ASSERT_LT(first, kRows);
        conn().exec(QStringLiteral("insert into T_Row (Name, N) values ('own', %1)").arg(kRows + 1));
        conn().exec(QStringLiteral("delete from T_Row where N = %1").arg(gone));
        EXPECT_EQ(ds->FetchedCount(), first);
        // a row saved through the list itself: shown once, where it was put
        ds->Last();
        ds->Append();
        ds->FieldByName(QStringLiteral("N"))->SetValue(kRows + 2);
        ds->FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("typed"));
        ds->Post();
        ds->Edit();
        ds->FieldByName(QStringLiteral("Name"))->SetValue(QStringLiteral("typed again"));
        ds->Post();
        // the file database puts a list in another order than the key's in order once it is
        // all read: a row deleted meanwhile is gone then
        std::vector<int> expected = rows;
        rows.erase(rows.begin() + 1);
        if (isFile() && sql.contains(QLatin1String("N, ID")))
            expected = rows;
        if (isFile())
            expected.push_back(kRows + 1);
        expected.push_back(kRows + 2);
        EXPECT_EQ(allN(), expected);
        ds->Last();
        EXPECT_EQ(ds->FieldByName(QStringLiteral("Name"))->AsString(), QStringLiteral("typed again"));
        EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Row")).toInt(), int(rows.size()) + 2);
    }
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

// Rows arriving in idle time join a model a few times a second, in order, each once; whatever
// else the dataset tells first brings the model up to the dataset's rows.
TEST_P(DataSetReadingTest, ArrivingRowsJoinTheModelInGrowthsInOrderAndCatchUpBeforeAnyOtherChange)
{
    const int total = addRows(30000);
    ds->Open();
    widgets::DataSetModel model;
    model.setColumns({QStringLiteral("N"), QStringLiteral("Name")}, {QStringLiteral("N"), QStringLiteral("Name")});
    model.setDataSet(ds.get());
    ASSERT_EQ(model.rowCount(), ds->FetchedCount());

    // rows read one right after the other: the first growth at once, the next waits its turn
    ds->FetchMore();
    EXPECT_EQ(model.rowCount(), ds->FetchedCount());
    for (int i = 0; i < 10 && model.rowCount() == ds->FetchedCount() && !ds->AllRowsRead(); ++i)
        ds->FetchMore();
    ASSERT_LT(model.rowCount(), ds->FetchedCount());
    // a record made current among the waiting rows: the model has it first
    QSignalSpy currentSeen(ds.get(), &DataSet::currentChanged);
    const int waitingRow = ds->FetchedCount() - 1;
    ds->SetRecNo(waitingRow + 1);
    ASSERT_EQ(currentSeen.count(), 1);
    EXPECT_EQ(model.rowCount(), ds->FetchedCount());
    EXPECT_EQ(model.data(model.index(waitingRow, 0), Qt::DisplayRole).toString(), QString::number(waitingRow + 1));
    // a view at the model's end takes the waiting rows before more are read
    ds->FetchMore();
    for (int i = 0; i < 10 && model.rowCount() == ds->FetchedCount() && !ds->AllRowsRead(); ++i)
        ds->FetchMore();
    ASSERT_LT(model.rowCount(), ds->FetchedCount());
    const int read = ds->FetchedCount();
    ASSERT_TRUE(model.canFetchMore({}));
    model.fetchMore({});
    EXPECT_EQ(ds->FetchedCount(), read);
    EXPECT_EQ(model.rowCount(), read);

    // the rest in idle time: growths follow one another without a gap, far fewer than the reads
    QSignalSpy grown(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy arrived(ds.get(), &DataSet::rowsArrived);
    QElapsedTimer clock;
    clock.start();
    idle();
    const qint64 took = clock.elapsed();
    ASSERT_TRUE(ds->AllRowsRead());
    // the last rows join at once, not at the next turn
    EXPECT_EQ(model.rowCount(), total);
    int next = read;
    for (const QList<QVariant>& g : grown) {
        EXPECT_EQ(g[1].toInt(), next);
        next = g[2].toInt() + 1;
    }
    EXPECT_EQ(next, total);
    EXPECT_LE(grown.count(), took / widgets::DataSetModel::kGrowMs + 2) << arrived.count() << " reads in " << took << " ms";
    EXPECT_LE(grown.count(), arrived.count());
    for (int row : {0, 255, 256, 3000, 17777, total - 1}) {
        EXPECT_EQ(model.data(model.index(row, 0), Qt::DisplayRole).toString(), QString::number(row + 1)) << row;
        EXPECT_EQ(model.data(model.index(row, 1), Qt::DisplayRole).toString(), QStringLiteral("r%1").arg(row + 1)) << row;
    }
}

// A grid over a list whose rest arrives: the current record, the selected rows and the scroll
// position stay as the user left them.
// A read whose last rows filled its last read whole ends with a read of no row: the rows still
// waiting to join the model join it then, not at the model's next turn.
TEST_P(DataSetReadingTest, TheLastRowsJoinTheModelWhenTheReadEndsWithoutARowMore)
{
    const int total = 256 + 2 * 1024;   // the first rows, then two reads of a chunk each
    conn().exec(QStringLiteral("delete from T_Row where N > %1").arg(total));
    ds->Open();
    widgets::DataSetModel model;
    model.setColumns({QStringLiteral("N")}, {QStringLiteral("N")});
    model.setDataSet(ds.get());
    while (ds->FetchMore() && !ds->AllRowsRead()) {
    }
    ASSERT_TRUE(ds->AllRowsRead());
    EXPECT_EQ(ds->FetchedCount(), total);
    EXPECT_EQ(model.rowCount(), total);
    EXPECT_FALSE(model.canFetchMore({}));
}

TEST_P(DataSetReadingTest, AGridKeepsItsCurrentRowSelectionAndScrollWhileTheRestArrives)
{
    // rows that take a while each: the rest arrives over many turns
    const int total = addRows(30000);
    ds->setSQL(QStringLiteral("select ID, Name, N, (select count(*) from T_Row b where b.ID between T_Row.ID and T_Row.ID + 100) "
                              "as Near from T_Row order by ID"));
    ds->Open();
    ASSERT_FALSE(ds->AllRowsRead());
    widgets::DBGrid grid;
    grid.resize(600, 400);
    grid.setDataSet(ds.get());
    grid.show();
    // cards over the same rows, every card filled
    widgets::DBCtrlGrid cards;
    cards.setPanelFactory([](QWidget* p) { (new QLabel(p))->setProperty("dataField", QStringLiteral("Name")); });
    cards.setDataSet(ds.get());
    cards.resize(300, 400);
    cards.show();
    QApplication::processEvents();
    ds->SetRecNo(40);
    ds->SelectRow(38, true);
    ds->SelectRow(41, true);
    ds->SelectRow(42, true);
    grid.verticalScrollBar()->setValue(30);
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    const int scrolled = grid.verticalScrollBar()->value();
    const auto highlighted = [&] {
        QList<int> rows;
        for (const QModelIndex& i : grid.selectionModel()->selectedRows())
            rows << i.row();
        std::sort(rows.begin(), rows.end());
        return rows;
    };
    const QList<int> before = highlighted();
    ASSERT_TRUE(before.contains(39));
    ASSERT_TRUE(before.contains(41));
    // rows added below the cells shown leave them as painted
    struct PaintCount : QObject {
        int n = 0;
        bool eventFilter(QObject*, QEvent* e) override
        {
            n += e->type() == QEvent::Paint;
            return false;
        }
    } paints;
    grid.viewport()->installEventFilter(&paints);
    int cardsShown = 0;
    cards.OnPaintPanel = [&](QWidget*, int) { ++cardsShown; };
    ASSERT_FALSE(ds->AllRowsRead());
    int turns = 0;
    for (; turns < 30000 && !ds->AllRowsRead(); ++turns) {
        QTest::qWait(1);
        ASSERT_EQ(ds->RecNo(), 40);
        ASSERT_EQ(grid.currentIndex().row(), 39);
        ASSERT_EQ(grid.verticalScrollBar()->value(), scrolled);
    }
    ASSERT_TRUE(ds->AllRowsRead());
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    EXPECT_GT(turns, 2);
    EXPECT_EQ(grid.model()->rowCount(), total);
    EXPECT_EQ(paints.n, 0);
    EXPECT_EQ(cardsShown, 0);
    EXPECT_EQ(cards.findChild<QScrollBar*>()->maximum(), total - cards.panelCount());
    EXPECT_EQ(cards.panel(cards.panelCount() - 1)->findChild<QLabel*>()->text(), QStringLiteral("r40"));
    EXPECT_EQ(grid.verticalScrollBar()->maximum(), total - grid.verticalScrollBar()->pageStep());
    EXPECT_EQ(grid.verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(highlighted(), before);
    EXPECT_EQ(ds->SelectedCount(), before.size());
    EXPECT_EQ(n(), 40);
}

// Sums and counts come back whole from one statement on the connection itself (a reader's
// cursor would cost them the server's parallel plan); lists are read through the reader.
TEST_P(DataSetReadingTest, AggregatesAreReadWholeOnTheConnectionAndListsThroughAReader)
{
    const bool server = !isFile();
    const QString pid = server ? QStringLiteral("pg_backend_pid()") : QStringLiteral("0");
    const int own = server ? conn().scalar(QStringLiteral("select pg_backend_pid()")).toInt() : 0;
    const struct {
        const char* what;
        QString sql;
        bool whole;
        int rows;
    } cases[] = {
        {"sum and count", QStringLiteral("select sum(N) as s, count(*) as c, max(%1) as p from T_Row").arg(pid), true, 1},
        {"grouped sums",
         QStringLiteral("select N % 3 as g, sum (N) as s, count(*) as c, max(%1) as p from T_Row group by N % 3 order by g").arg(pid),
         true, 3},
        {"a list", QStringLiteral("select N as g, N as s, 1 as c, %1 as p from T_Row order by N").arg(pid), false, kRows},
        {"running sums",
         QStringLiteral("select N as g, sum(N) over (order by N) as s, 1 as c, %1 as p from T_Row order by N").arg(pid), false, kRows},
        {"a sum in a column of a list",
         QStringLiteral("select N as g, (select sum(N) from T_Row) as s, 1 as c, %1 as p from T_Row order by N").arg(pid), false, kRows},
        {"a sum in a text", QStringLiteral("select N as g, 'sum(' as s, 1 as c, %1 as p from T_Row order by N").arg(pid), false, kRows},
        {"sums and rows",
         QStringLiteral("select sum(N) as g, 0 as s, 1 as c, max(%1) as p from T_Row union all "
                        "select N, 0, 1, %1 from T_Row")
             .arg(pid),
         false, kRows + 1},
    };
    for (const bool inTx : {false, true}) {
        if (inTx)
            conn().begin();
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.what) + (inTx ? " inside a transaction" : ""));
            auto d = makeDataSet();
            d->setSQL(c.sql);
            d->Open();
            EXPECT_EQ(d->RecordCount(), c.rows);
            EXPECT_TRUE(d->AllRowsRead());
            if (server) {
                // inside a transaction every read is the transaction's own
                const bool here = c.whole || inTx;
                EXPECT_EQ(d->FieldByName(QStringLiteral("p"))->AsInteger() == own, here);
            }
            if (c.whole) {
                d->First();
                const long long sum = std::llround(d->FieldByName(QStringLiteral("s"))->AsFloat());
                EXPECT_EQ(sum, c.rows == 1 ? 4501500LL : 1501500LL);   // N % 3 = 0 comes first
                EXPECT_EQ(d->FieldByName(QStringLiteral("c"))->AsInteger(), kRows / c.rows);
            }
        }
        if (inTx)
            conn().rollback();
    }
}

DOVIN_INSTANTIATE_ENGINES(DataSetReadingTest);

// The order a statement gives its rows, read from its text.
TEST(OrderColumns, TheLastOrderOutsideParenthesesWhenEveryTermIsAColumnAscending)
{
    const struct {
        const char* sql;
        QStringList columns;
    } cases[] = {
        {"select * from T order by ID", {"ID"}},
        {"select * from T m order by m.id asc ;", {"id"}},
        {"select * from T order by tarikh, Hkey", {"tarikh", "Hkey"}},
        {"select * from T where x in (select y from U order by y) order by ID", {"ID"}},
        {"select * from T order by ID desc", {}},
        {"select * from T order by Name, ID desc", {}},
        {"select * from T order by coalesce(a, 0), ID", {}},
        {"select * from T order by ID limit 5", {}},
        {"select * from (select * from T order by ID) x", {}},
        {"select * from T where a = 'order by ID'", {}},
        {"select * from T", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OrderColumns(QString::fromUtf8(c.sql)), c.columns) << c.sql;
    // the statement without that ORDER BY; itself without any; nothing with another kind
    const struct {
        const char* sql;
        const char* unordered;
    } cut[] = {
        {"select * from T order by tarikh, Hkey;", "select * from T"},
        {"select * from T where a = 'x order by y' order by ID", "select * from T where a = 'x order by y'"},
        {"select * from T where x in (select y from U order by y) order by b.ID",
         "select * from T where x in (select y from U order by y)"},
        {"select * from T where a = ')' order by ID", "select * from T where a = ')'"},
        {"select * from T;", "select * from T"},
        {"select * from T order by ID desc", ""},
        {"select * from T order by ID limit 5", ""},
    };
    for (const auto& c : cut)
        EXPECT_EQ(Unordered(QString::fromUtf8(c.sql)), QString::fromUtf8(c.unordered)) << c.sql;
}

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

// A list half read, in another order than its key's: the expense book (date, then key) and a
// list the engine sorts on a text. Another workstation saves (a row added, the order column of
// a row read and of one still to read changed, rows deleted) without waiting, idle or while
// this one runs a long job; the list ends with every row once, in the order a fresh open
// gives (the server's: that of the open's snapshot), on the same record, its edit kept.
TEST_P(SortedReadingTest, AnotherWorkstationSavesWhileAListInAnotherOrderIsHalfRead)
{
    constexpr int kBook = 1500;   // with NULL dates
    TableDef t;
    t.name = QStringLiteral("T_Book");
    t.columns = {{QStringLiteral("ID"), ColumnKind::Counter},
                 {QStringLiteral("Tarikh"), ColumnKind::Text, 10},
                 {QStringLiteral("Mablagh"), ColumnKind::Money},
                 {QStringLiteral("Sharh"), ColumnKind::Text, 30}};
    catalog.add(t);
    conn().exec(conn().dialect().createTable(t));
    inTransaction(conn(), [&] {
        for (int i = 0; i < kBook; ++i) {
            const int day = (i * 7919) % 360;
            const QString date = i % 101 == 0 ? QStringLiteral("NULL")
                                              : Q(QStringLiteral("1402/%1/%2")
                                                      .arg(day / 30 + 1, 2, 10, QLatin1Char('0'))
                                                      .arg(day % 30 + 1, 2, 10, QLatin1Char('0')));
            conn().exec(QStringLiteral("insert into T_Book (Tarikh, Mablagh, Sharh) values (%1, %2, %3)")
                            .arg(date, QString::number(i % 50 * 1000), Q(QStringLiteral("شرح %1").arg(i % 37))));
        }
    });
    const struct {
        const char* what;
        const char* sql;
        const char* sort;
        const char* table;
        const char* order;   // the column the rows are in the order of
        const char* other;   // a column of no order
        const char* early;   // a value of the order column before every other
        bool arranged;       // put in order by the engine at the end (else by the dataset)
    } cases[] = {
        {"expense book", "select * from T_Book order by Tarikh, ID", "", "T_Book", "Tarikh", "Sharh", "'1390/01/01'",
         true},
        {"expense book, a search", "select * from T_Book where Mablagh >= 1000 order by Tarikh, ID", "", "T_Book",
         "Tarikh", "Sharh", "'1390/01/01'", true},
        {"sorted on a text", "select * from T_Sort order by ID", "Esm", "T_Sort", "Esm", "N", "'0'", false},
        {"sorted on a text, by date", "select * from T_Book order by Tarikh, ID", "Sharh DESC", "T_Book", "Sharh",
         "Mablagh", "'ی ی'", false},
    };
    const auto fresh = [&](const char* sql, const char* sort) {
        DataSet d(&conn());
        d.setSQL(QString::fromLatin1(sql));
        d.setSort(QString::fromUtf8(sort));
        d.Open();
        d.FetchAll();
        return keys(d, d.RecordCount());
    };
    const auto run = [&](const auto& c, const std::string& when) {
        SCOPED_TRACE(c.what);
        SCOPED_TRACE(when);
        const bool longJob = when == "a long job";
        const std::vector<qint64> before = fresh(c.sql, c.sort);
        DataSet d(&conn());
        d.setSQL(QString::fromLatin1(c.sql));
        d.Open();   // the fields known, a sort opens sorted by the engine
        d.Close();
        d.setSort(QString::fromUtf8(c.sort));
        d.Open();
        ASSERT_FALSE(d.AllRowsRead());
        const int first = d.FetchedCount();
        ASSERT_LT(first + 300, int(before.size()));
        ASSERT_EQ(keys(d, first), std::vector<qint64>(before.begin(), before.begin() + first));
        // a record being typed
        d.SetRecNo(3);
        const qint64 current = d.GetBookmark().toLongLong();
        d.Edit();
        d.FieldByName(QString::fromLatin1(c.other))->SetAsString(QStringLiteral("12"));
        if (when == "a turn of idle reading")
            QCoreApplication::processEvents();
        ASSERT_FALSE(d.AllRowsRead());
        // rows shown, and rows of the highest keys, which the rest (in the key's order) reads last
        const qint64 read = before[10], readGone = before[20];
        std::vector<qint64> last = before;
        std::sort(last.rbegin(), last.rend());
        const std::vector<qint64> shown = keys(d, first);
        last.erase(std::remove_if(last.begin(), last.end(),
                                  [&](qint64 k) { return std::find(shown.begin(), shown.end(), k) != shown.end(); }),
                   last.end());
        const qint64 unread = last[0], unreadGone = last[1];
        {
            std::optional<shell::Progress> job;
            if (longJob)
                job.emplace(QStringLiteral("چاپ"));
            auto second = isFile() ? Connection::openSqlite(testDb().location(), false, 3000) : testDb().open();
            QElapsedTimer clock;
            clock.start();
            const QString table = QString::fromLatin1(c.table), order = QString::fromLatin1(c.order);
            ASSERT_NO_THROW(inTransaction(*second, [&] {
                second->exec(QStringLiteral("insert into %1 (%2) values (%3)").arg(table, order, QString::fromUtf8(c.early)));
                second->exec(QStringLiteral("update %1 set %2 = %3 where ID = %4")
                                 .arg(table, order, QString::fromUtf8(c.early))
                                 .arg(unread));
                second->exec(QStringLiteral("delete from %1 where ID = %2").arg(table).arg(unreadGone));
                if (c.arranged) {
                    // rows read: one moves to the end, one goes
                    second->exec(QStringLiteral("update %1 set %2 = '1499/12/29' where ID = %3").arg(table, order).arg(read));
                    second->exec(QStringLiteral("delete from %1 where ID = %2").arg(table).arg(readGone));
                } else {
                    second->exec(QStringLiteral("update %1 set %2 = 7 where ID = %3").arg(table, QString::fromLatin1(c.other)).arg(read));
                }
            }));
            EXPECT_LT(clock.elapsed(), 1000);
            if (longJob) {
                // no reading inside the long work
                for (int i = 0; i < 3; ++i)
                    QCoreApplication::processEvents();
                EXPECT_FALSE(d.AllRowsRead());
            }
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return d.AllRowsRead(); }, 20000));
        // the server's rows are those of the open's snapshot; the file's, those of now
        EXPECT_EQ(keys(d, d.RecordCount()), isFile() ? fresh(c.sql, c.sort) : before);
        EXPECT_EQ(d.State(), DataSetState::Edit);
        EXPECT_EQ(d.GetBookmark().toLongLong(), current);
        EXPECT_EQ(d.FieldByName(QString::fromLatin1(c.other))->AsString(), QStringLiteral("12"));
        d.Post();
        EXPECT_EQ(conn()
                      .scalar(QStringLiteral("select %1 from %2 where ID = %3")
                                  .arg(QString::fromLatin1(c.other), QString::fromLatin1(c.table))
                                  .arg(current))
                      .toDouble(),
                  12.0);
    };
    for (const auto& c : cases)
        for (const char* when : {"idle", "a long job"})
            run(c, when);
    // many more rows, for the rest to outlast a turn of idle reading
    conn().exec(QStringLiteral("insert into T_Book (Tarikh, Mablagh, Sharh) with recursive s(i) as (select 1 union all "
                               "select i + 1 from s where i < 150000), d(i, x) as (select i, i * 7919 % 360 from s) "
                               "select '1403/' || case when x / 30 < 9 then '0' else '' end || (x / 30 + 1) || '/' || "
                               "case when x % 30 < 9 then '0' else '' end || (x % 30 + 1), i % 50 * 1000, 'ش' || (i % 37) "
                               "from d"));
    for (const auto& c : cases)
        if (std::string(c.table) == "T_Book")
            run(c, "a turn of idle reading");

    // the record shown is deleted elsewhere while the rest is read: it stays where it was,
    // current, until the list is opened again
    const std::vector<qint64> before = fresh(cases[0].sql, "");
    DataSet d(&conn());
    d.setSQL(QString::fromLatin1(cases[0].sql));
    d.Open();
    // in a grid, scrolled, with rows selected
    widgets::DBGrid grid;
    grid.resize(600, 300);
    grid.setDataSet(&d);
    grid.show();
    QApplication::processEvents();
    d.SetRecNo(7);
    d.SelectRow(4, true);
    d.SelectRow(8, true);
    grid.verticalScrollBar()->setValue(3);
    QApplication::processEvents();
    const int scrolled = grid.verticalScrollBar()->value();
    const qint64 gone = d.GetBookmark().toLongLong();
    QList<QVariant> chosen;   // the grid's own choice too
    for (int row = 0; row < 20; ++row)
        if (d.IsRowSelected(row))
            chosen << before[size_t(row)];
    ASSERT_GE(chosen.size(), 2);
    ASSERT_FALSE(d.AllRowsRead());
    auto second = isFile() ? Connection::openSqlite(testDb().location(), false, 3000) : testDb().open();
    second->exec(QStringLiteral("delete from T_Book where ID = %1").arg(gone));
    ASSERT_TRUE(QTest::qWaitFor([&] { return d.AllRowsRead(); }, 20000));
    EXPECT_EQ(keys(d, d.RecordCount()), before);
    EXPECT_EQ(d.RecNo(), 7);
    EXPECT_EQ(d.GetBookmark().toLongLong(), gone);
    QApplication::processEvents();
    EXPECT_EQ(grid.model()->rowCount(), int(before.size()));
    EXPECT_EQ(grid.currentIndex().row(), 6);
    EXPECT_EQ(grid.verticalScrollBar()->value(), scrolled);
    EXPECT_EQ(d.SelectedBookmarks(), chosen);
    EXPECT_TRUE(d.IsRowSelected(8));
    d.Reopen();
    EXPECT_EQ(d.RecordCount(), int(before.size()) - 1);
}

DOVIN_INSTANTIATE_ENGINES(SortedReadingTest);

} // namespace
