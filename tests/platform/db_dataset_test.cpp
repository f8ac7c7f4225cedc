// The dataset on both engines: states and events, typed storage, writes by key,
// optimistic updates, calculated and lookup fields, filter, find, sort, bookmarks.
#include "TestDb.h"

#include "platform/db/Catalog.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"

#include <QSignalSpy>

using namespace db;
using testing_support::EngineTest;

namespace {

Catalog makeCatalog()
{
    Catalog c;
    TableDef t;
    t.name = QStringLiteral("T_Item");
    t.columns = {
        {QStringLiteral("ID"), ColumnKind::Counter},
        {QStringLiteral("Esm"), ColumnKind::Text, 10, QStringLiteral("نام")},
        {QStringLiteral("Price"), ColumnKind::Money, 0, QStringLiteral("قيمت"), {}, QStringLiteral("###,###,###,##0.###")},
        {QStringLiteral("Flag"), ColumnKind::Boolean},
        {QStringLiteral("Dt"), ColumnKind::Text, 10, {}, QStringLiteral("9999/99/99")},
        {QStringLiteral("Cnt"), ColumnKind::Byte},
        {QStringLiteral("Area"), ColumnKind::Double},
        {QStringLiteral("Note"), ColumnKind::Memo},
        {QStringLiteral("Pic"), ColumnKind::Binary},
        {QStringLiteral("RegionId"), ColumnKind::Integer},
    };
    c.add(t);
    TableDef r;
    r.name = QStringLiteral("T_Region");
    r.columns = {{QStringLiteral("RID"), ColumnKind::Counter}, {QStringLiteral("Name"), ColumnKind::Text, 50}};
    c.add(r);
    return c;
}

class DataSetTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        catalog = makeCatalog();
        conn().setCatalog(&catalog);
        for (const QString& t : catalog.tableNames())
            conn().exec(conn().dialect().createTable(*catalog.table(t)));
        ds = std::make_unique<DataSet>(&conn());
        ds->setSQL(QStringLiteral("select * from T_Item order by ID"));
    }

    void add(const QString& esm, double price, bool flag = false, const QString& dt = QStringLiteral("1403/01/01"),
             int region = 0)
    {
        conn().exec(QStringLiteral("insert into T_Item (Esm, Price, Flag, Dt, RegionId) values ($1, $2, $3, $4, $5)"),
                    {esm, price, flag, dt, region});
    }

    Catalog catalog;
    std::unique_ptr<DataSet> ds;
};

TEST_P(DataSetTest, OpensWithCatalogueTypesLabelsAndFormats)
{
    add(QStringLiteral("الف"), 1250000.5, true);
    ds->Open();
    ASSERT_EQ(ds->RecordCount(), 1);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("id"))->DataType(), FieldType::AutoInc);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("ESM"))->DisplayLabel(), QStringLiteral("نام"));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->Size(), 10);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("flag"))->DataType(), FieldType::Boolean);
    EXPECT_TRUE(ds->FieldByName(QStringLiteral("Flag"))->AsBoolean());
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Price"))->DisplayText(), QStringLiteral("1,250,000.5"));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Dt"))->EditMask(), QStringLiteral("9999/99/99"));
    // null reads as "" and 0
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Note"))->AsString(), QString());
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Area"))->AsFloat(), 0.0);
    EXPECT_TRUE(ds->FieldByName(QStringLiteral("Area"))->IsNull());
    EXPECT_EQ(ds->FindField(QStringLiteral("Nothing")), nullptr);
    EXPECT_THROW(ds->FieldByName(QStringLiteral("Nothing")), DbError);
}

TEST_P(DataSetTest, InsertEditCancelDeleteFireEventsInOrder)
{
    QStringList events;
    auto log = [&](const char* name) { return [&events, name](DataSet&) { events << QString::fromLatin1(name); }; };
    ds->BeforeInsert = log("BeforeInsert");
    ds->AfterInsert = log("AfterInsert");
    ds->BeforeEdit = log("BeforeEdit");
    ds->AfterEdit = log("AfterEdit");
    ds->BeforePost = log("BeforePost");
    ds->AfterPost = log("AfterPost");
    ds->BeforeCancel = log("BeforeCancel");
    ds->AfterCancel = log("AfterCancel");
    ds->BeforeDelete = log("BeforeDelete");
    ds->AfterDelete = log("AfterDelete");
    ds->Open();
    events.clear();

    ds->Append();
    EXPECT_EQ(ds->State(), DataSetState::Insert);
    EXPECT_EQ(ds->RecordCount(), 1);
    ds->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("خانه"));
    ds->FieldByName(QStringLiteral("Price"))->SetAsFloat(1001.0 / 2);
    ds->FieldByName(QStringLiteral("Flag"))->SetAsBoolean(true);
    ds->Post();
    EXPECT_EQ(ds->State(), DataSetState::Browse);
    const qint64 id = ds->FieldByName(QStringLiteral("ID"))->AsLargeInt();
    EXPECT_GT(id, 0);
    EXPECT_EQ(conn().scalar(QStringLiteral("select Price from T_Item where ID = $1"), {id}).toDouble(), 500.5);
    EXPECT_EQ(conn().scalar(QStringLiteral("select Flag from T_Item where ID = $1"), {id}).toInt(), isFile() ? -1 : 1);

    ds->Edit();
    ds->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("باغ"));
    ds->Cancel();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("خانه"));

    ds->Append();
    ds->Cancel();
    EXPECT_EQ(ds->RecordCount(), 1);

    ds->Delete();
    EXPECT_EQ(ds->RecordCount(), 0);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Item")).toInt(), 0);

    const QStringList expected = {
        "BeforeInsert", "AfterInsert", "BeforePost", "AfterPost", "BeforeEdit", "AfterEdit", "BeforeCancel",
        "AfterCancel", "BeforeInsert", "AfterInsert", "BeforeCancel", "AfterCancel", "BeforeDelete", "AfterDelete"};
    EXPECT_EQ(events, expected);
}

TEST_P(DataSetTest, RefusalsKeepStateAndTypedValues)
{
    add(QStringLiteral("a"), 1);
    ds->Open();
    // silent abort before post: still inserting, values kept, nothing stored
    ds->BeforePost = [](DataSet&) { throw Abort(); };
    ds->Append();
    ds->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("تایپ"));
    EXPECT_THROW(ds->Post(), Abort);
    EXPECT_EQ(ds->State(), DataSetState::Insert);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("تایپ"));
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Item")).toInt(), 1);
    ds->Cancel();

    // a refusal with a message reaches the caller
    ds->BeforePost = nullptr;
    ds->BeforeEdit = [](DataSet&) { throw DbError(ErrorCategory::Other, QStringLiteral("امکان تغيير نيست")); };
    try {
        ds->Edit();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("امکان تغيير نيست"));
    }
    EXPECT_EQ(ds->State(), DataSetState::Browse);
    ds->BeforeEdit = nullptr;

    // a field validation refusal restores the old value
    ds->FieldByName(QStringLiteral("Dt"))->OnValidate = [](Field& f) {
        if (f.AsString().size() != 10)
            throw Abort();
    };
    ds->Edit();
    EXPECT_THROW(ds->FieldByName(QStringLiteral("Dt"))->SetAsString(QStringLiteral("1403/1")), Abort);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Dt"))->AsString(), QStringLiteral("1403/01/01"));
    EXPECT_FALSE(ds->Modified());
    ds->Cancel();

    // writing outside edit state is refused
    EXPECT_THROW(ds->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("x")), DbError);
}

TEST_P(DataSetTest, TextIsCutToWidthAndNumbersParseSafely)
{
    ds->Open();
    ds->Append();
    ds->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("رهن و اجاره کامل"));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("رهن و اجار"));
    EXPECT_THROW(ds->FieldByName(QStringLiteral("Price"))->SetAsString(QStringLiteral("12a")), DbError);
    ds->FieldByName(QStringLiteral("Price"))->SetText(QString());
    EXPECT_TRUE(ds->FieldByName(QStringLiteral("Price"))->IsNull());
    ds->FieldByName(QStringLiteral("Cnt"))->SetAsString(QStringLiteral("3"));
    ds->Post();
    ds->Reopen();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("رهن و اجار"));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Cnt"))->AsInteger(), 3);
}

TEST_P(DataSetTest, InsertReturnsKeyAndDefaults)
{
    ds->Open();
    ds->Append();
    ds->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("a"));
    ds->Post();
    // the boolean default of the table comes back, not null
    EXPECT_FALSE(ds->FieldByName(QStringLiteral("Flag"))->IsNull());
    const qint64 first = ds->FieldByName(QStringLiteral("ID"))->AsLargeInt();
    ds->Append();
    ds->Post(); // nothing typed: DEFAULT VALUES
    EXPECT_GT(ds->FieldByName(QStringLiteral("ID"))->AsLargeInt(), first);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Item")).toInt(), 2);
}

TEST_P(DataSetTest, RowChangedElsewhereGivesRowNotFound)
{
    add(QStringLiteral("a"), 10);
    ds->Open();
    auto other = testDb().open();
    other->exec(QStringLiteral("update T_Item set Price = 20"));
    ds->Edit();
    ds->FieldByName(QStringLiteral("Price"))->SetAsFloat(30);
    try {
        ds->Post();
        FAIL() << "posted over another user's change";
    } catch (const DbError& e) {
        EXPECT_EQ(e.category(), ErrorCategory::RowNotFound);
        EXPECT_EQ(e.message(), rowNotFoundText());
    }
    EXPECT_EQ(ds->State(), DataSetState::Edit);
    EXPECT_EQ(conn().scalar(QStringLiteral("select Price from T_Item")).toDouble(), 20.0);
    ds->Cancel();
    // a column nobody else changed still updates; a deleted row does not
    ds->Reopen();
    ds->Edit();
    ds->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("b"));
    other->exec(QStringLiteral("update T_Item set Price = 40"));
    EXPECT_NO_THROW(ds->Post());
    other->exec(QStringLiteral("delete from T_Item"));
    EXPECT_THROW(ds->Delete(), DbError);
}

// Another workstation deleted the row: saving a change to it, or deleting it again, writes
// nothing and tells the user in Persian to refresh the list.
TEST_P(DataSetTest, RowDeletedElsewhere)
{
    const QString refresh = QStringLiteral("ليست را به روز کنيد");
    EXPECT_TRUE(rowNotFoundText().contains(refresh));
    const std::function<void(DataSet&)> steps[] = {
        [](DataSet& d) {
            d.Edit();
            d.FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("تغيير"));
            d.Post();
        },
        [](DataSet& d) { d.Delete(); },
    };
    for (const auto& step : steps) {
        conn().exec(QStringLiteral("delete from T_Item"));
        add(QStringLiteral("a"), 10);
        add(QStringLiteral("b"), 20);
        ds->Close();
        ds->Open();
        auto other = testDb().open();
        other->exec(QStringLiteral("delete from T_Item where Esm = ") + Q(QStringLiteral("a")));
        ASSERT_TRUE(ds->Locate(QStringLiteral("Esm"), QStringLiteral("a")));
        try {
            step(*ds);
            FAIL() << "no error";
        } catch (const DbError& e) {
            EXPECT_EQ(e.category(), ErrorCategory::RowNotFound);
            EXPECT_EQ(e.message(), rowNotFoundText());
        }
        ds->Cancel();
        EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Item")).toInt(), 1);
        EXPECT_EQ(conn().scalar(QStringLiteral("select Esm from T_Item")).toString(), QStringLiteral("b"));
    }
}

TEST_P(DataSetTest, FractionsSurviveOptimisticComparison)
{
    add(QStringLiteral("a"), 0.1);
    conn().exec(QStringLiteral("update T_Item set Area = 0.30000000000000004"));
    ds->Open();
    ds->Edit();
    ds->FieldByName(QStringLiteral("Price"))->SetAsFloat(0.2);
    ds->FieldByName(QStringLiteral("Area"))->SetAsFloat(1.0 / 3);
    EXPECT_NO_THROW(ds->Post());
    EXPECT_DOUBLE_EQ(conn().scalar(QStringLiteral("select Area from T_Item")).toDouble(), 1.0 / 3);
}

TEST_P(DataSetTest, CalculatedAndLookupFields)
{
    conn().exec(QStringLiteral("insert into T_Region (Name) values ('شمال')"));
    const qint64 rid = conn().scalar(QStringLiteral("select RID from T_Region")).toLongLong();
    add(QStringLiteral("a"), 100, false, QStringLiteral("1403/01/01"), int(rid));
    add(QStringLiteral("b"), 200, false, QStringLiteral("1403/01/02"), 0);
    add(QStringLiteral("c"), 300, false, QStringLiteral("1403/01/03"), 999);
    DataSet regions(&conn());
    regions.setSQL(QStringLiteral("select * from T_Region"));
    regions.Open();

    ds->addCalcField(QStringLiteral("RowNo"), FieldType::Integer);
    ds->addCalcField(QStringLiteral("Double"), FieldType::Float);
    ds->addLookupField(QStringLiteral("lkmn"), QStringLiteral("RegionId"), &regions, QStringLiteral("RID"),
                       QStringLiteral("Name"), 50);
    int calls = 0;
    ds->OnCalcFields = [&](DataSet& d) {
        ++calls;
        d.FieldByName(QStringLiteral("RowNo"))->SetAsInteger(d.RecNo());
        d.FieldByName(QStringLiteral("Double"))->SetAsFloat(d.FieldByName(QStringLiteral("Price"))->AsFloat() * 2);
    };
    ds->Open();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("lkmn"))->AsString(), QStringLiteral("شمال"));
    ds->Next();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("lkmn"))->AsString(), QString()); // region 0
    ds->Next();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("lkmn"))->AsString(), QString()); // deleted region
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Double"))->AsFloat(), 600.0);
    // any row can be read without moving, row numbers follow the order
    const int rowNo = ds->FieldByName(QStringLiteral("RowNo"))->Index();
    EXPECT_EQ(ds->ValueAt(0, rowNo).toInt(), 1);
    ds->setSort(QStringLiteral("Price DESC"));
    EXPECT_EQ(ds->ValueAt(0, rowNo).toInt(), 1);
    EXPECT_EQ(ds->DisplayTextAt(0, ds->FieldByName(QStringLiteral("Esm"))->Index()), QStringLiteral("c"));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("c")); // the current row stays
    EXPECT_EQ(ds->RecNo(), 1);
    // a calculated field cannot be sorted: refused, the order and the current row stay
    for (const char* spec : {"RowNo", "Double desc", "Esm, RowNo", "Nope"}) {
        EXPECT_THROW(ds->setSort(QString::fromLatin1(spec)), DbError) << spec;
        EXPECT_EQ(ds->Sort(), QStringLiteral("Price DESC")) << spec;
        EXPECT_EQ(ds->DisplayTextAt(0, ds->FieldByName(QStringLiteral("Esm"))->Index()), QStringLiteral("c")) << spec;
        EXPECT_EQ(ds->RecNo(), 1) << spec;
    }
    ds->setSort(QStringLiteral("lkmn")); // a lookup field sorts
    EXPECT_EQ(ds->Sort(), QStringLiteral("lkmn"));
    ds->setSort(QStringLiteral("Price DESC"));
    // recomputed on change in edit
    ds->Edit();
    ds->FieldByName(QStringLiteral("Price"))->SetAsFloat(7);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Double"))->AsFloat(), 14.0);
    ds->Post();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Double"))->AsFloat(), 14.0);
    EXPECT_GT(calls, 0);
    // the calculated fields persist across a reopen
    ds->Close();
    ds->Open();
    EXPECT_NE(ds->FindField(QStringLiteral("RowNo")), nullptr);
}

TEST_P(DataSetTest, FilterFindSortAndBookmarksAgree)
{
    add(QStringLiteral("زهرا"), 300, true, QStringLiteral("1403/02/01"));
    add(QStringLiteral("علی"), 100, false, QStringLiteral("1403/01/05"));
    add(QStringLiteral("احمد"), 200, true, QStringLiteral("1402/12/29"));
    add(QStringLiteral("Bob"), 400, false, QStringLiteral("1403/03/01"));
    ds->Open();

    ds->setFilter(QStringLiteral("Flag = 1"));
    ds->setFiltered(true);
    EXPECT_EQ(ds->RecordCount(), 2);
    ds->setFilter(QStringLiteral("esm like '%o%'"));
    EXPECT_EQ(ds->RecordCount(), 1);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("Bob"));
    ds->setFilter(QStringLiteral("Price >= 200 and (Dt < '1403/01/01' or Esm = 'BOB')"));
    EXPECT_EQ(ds->RecordCount(), 2);
    ds->setFiltered(false);
    EXPECT_EQ(ds->RecordCount(), 4);
    EXPECT_THROW(ds->setFilter(QStringLiteral("Esm = 'open")), DbError);

    // find uses the filter text without filtering
    ds->setFilter(QStringLiteral("Flag = 1"));
    ASSERT_TRUE(ds->FindFirst());
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("زهرا"));
    ASSERT_TRUE(ds->FindNext());
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("احمد"));
    EXPECT_FALSE(ds->FindNext());

    // Persian order, then descending amounts
    ds->setSort(QStringLiteral("Esm"));
    QStringList names;
    for (ds->First(); !ds->Eof(); ds->Next())
        names << ds->FieldByName(QStringLiteral("Esm"))->AsString();
    EXPECT_EQ(names, (QStringList{QStringLiteral("احمد"), QStringLiteral("زهرا"), QStringLiteral("علی"),
                                  QStringLiteral("Bob")}));
    ds->setSort(QStringLiteral("Price desc"));
    ds->First();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Price"))->AsFloat(), 400.0);

    // bookmarks are keys: they survive a close and reopen, and another order
    ASSERT_TRUE(ds->Locate(QStringLiteral("Esm"), QStringLiteral("علی")));
    const QVariant bm = ds->GetBookmark();
    ds->Close();
    ds->setSort(QString());
    ds->Open();
    ASSERT_TRUE(ds->GotoBookmark(bm));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("علی"));
    EXPECT_EQ(ds->RecNo(), 2);
}

TEST_P(DataSetTest, SelectionAndNavigation)
{
    for (int i = 1; i <= 5; ++i)
        add(QStringLiteral("n%1").arg(i), i * 10);
    ds->Open();
    EXPECT_TRUE(ds->Bof());
    ds->Prior();
    EXPECT_TRUE(ds->Bof());
    ds->Last();
    EXPECT_TRUE(ds->Eof());
    EXPECT_EQ(ds->RecNo(), 5);
    ds->SetRecNo(2);
    ds->SelectCurrent(true);
    ds->SetRecNo(4);
    ds->SelectCurrent(true);
    EXPECT_EQ(ds->SelectedCount(), 2);
    EXPECT_TRUE(ds->IsRowSelected(1));
    EXPECT_FALSE(ds->IsRowSelected(2));
    ds->setSort(QStringLiteral("Price desc"));
    EXPECT_TRUE(ds->IsRowSelected(1)); // n4
    EXPECT_TRUE(ds->IsRowSelected(3)); // n2
    QStringList names;
    const int current = ds->RecNo();
    ds->DisableControls();
    for (const QVariant& bm : ds->SelectedBookmarks()) {
        ds->GotoBookmark(bm);
        names << ds->FieldByName(QStringLiteral("Esm"))->AsString();
    }
    ds->SetRecNo(current);
    ds->EnableControls();
    EXPECT_EQ(names, (QStringList{QStringLiteral("n4"), QStringLiteral("n2")}));
    ds->Delete(); // removes the current row only
    EXPECT_EQ(ds->RecordCount(), 4);
    ds->ClearSelection();
    EXPECT_EQ(ds->SelectedCount(), 0);
}

TEST_P(DataSetTest, NavigationPostsPendingEditsAndSignalsFollow)
{
    add(QStringLiteral("a"), 1);
    add(QStringLiteral("b"), 2);
    ds->Open();
    QSignalSpy state(ds.get(), &DataSet::stateChanged);
    QSignalSpy fields(ds.get(), &DataSet::fieldChanged);
    QSignalSpy current(ds.get(), &DataSet::currentChanged);
    ds->Edit();
    ds->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("c"));
    ds->Next();
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Item where Esm = 'c'")).toInt(), 1);
    EXPECT_EQ(state.count(), 2);
    EXPECT_EQ(fields.count(), 1);
    EXPECT_GE(current.count(), 1);

    QSignalSpy quiet(ds.get(), &DataSet::currentChanged);
    ds->DisableControls();
    ds->First();
    ds->Next();
    EXPECT_EQ(quiet.count(), 0);
    ds->EnableControls();
    EXPECT_EQ(quiet.count(), 1);
}

TEST_P(DataSetTest, ReadOnlyQueriesAndAggregates)
{
    add(QStringLiteral("a"), 1001);
    add(QStringLiteral("b"), 1);
    DataSet sums(&conn());
    sums.setSQL(QStringLiteral("select sum(Price) as sh, sum(Price) / 2 as half, count(*) as n from T_Item"));
    sums.Open();
    EXPECT_DOUBLE_EQ(sums.FieldByName(QStringLiteral("sh"))->AsFloat(), 1002.0);
    EXPECT_DOUBLE_EQ(sums.FieldByName(QStringLiteral("half"))->AsFloat(), 501.0);
    EXPECT_EQ(sums.FieldByName(QStringLiteral("n"))->AsInteger(), 2);
    EXPECT_THROW(sums.Delete(), DbError);

    DataSet exec(&conn());
    exec.setSQL(QStringLiteral("update T_Item set Price = Price + 1"));
    EXPECT_EQ(exec.ExecSQL(), 2);
}

TEST_P(DataSetTest, BeforeOpenMayRewriteTheStatement)
{
    add(QStringLiteral("a"), 1);
    ds->setSQL(QStringLiteral("select * from T_Item where Esm = 'a'"));
    ds->BeforeOpen = [](DataSet& d) { QString s = d.SQL(); d.setSQL(s.replace(QStringLiteral("'a'"), QStringLiteral("N'a'"))); };
    ds->Open();
    EXPECT_EQ(ds->RecordCount(), 1);
    EXPECT_EQ(ds->SQL(), QStringLiteral("select * from T_Item where Esm = N'a'"));
}

TEST_P(DataSetTest, FailedOpenLeavesItClosed)
{
    ds->setSQL(QStringLiteral("select * from T_Missing"));
    EXPECT_THROW(ds->Open(), DbError);
    EXPECT_FALSE(ds->Active());
    EXPECT_EQ(ds->FieldCount(), 0);
}

TEST_P(DataSetTest, BlobsRoundTrip)
{
    ds->Open();
    ds->Append();
    QByteArray bytes("\x00\x01\xff\xfe jpeg", 10);
    ds->FieldByName(QStringLiteral("Pic"))->SetValue(bytes);
    ds->Post();
    ds->Reopen();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Pic"))->AsBytes(), bytes);
}

DOVIN_INSTANTIATE_ENGINES(DataSetTest);

} // namespace
