// The grid's highlight and the dataset's selected rows are one thing: a row the program makes
// current takes the highlight, select-all is a range, Ctrl+End reaches the true last row.
#include "widgets_fixture.h"

#include "platform/widgets/DBCtrlGrid.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using namespace widgets;
using testing_support::WidgetsFixture;

namespace {

constexpr int kRows = 1500;

QList<int> highlighted(const DBGrid* grid)
{
    QList<int> rows;
    for (const QModelIndex& i : grid->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

QList<int> datasetSelected(db::DataSet* ds)
{
    QList<int> rows;
    for (int row = 0; row < ds->FetchedCount(); ++row)
        if (ds->IsRowSelected(row))
            rows << row;
    return rows;
}

QPoint cellCenter(DBGrid* grid, int row, int column)
{
    return grid->visualRect(grid->model()->index(row, column)).center();
}

} // namespace

class GridSelection : public WidgetsFixture {
protected:
    void SetUp() override
    {
        WidgetsFixture::SetUp();
        conn().exec(QStringLiteral("with recursive c(n) as (select 1 union all select n + 1 from c where n < %1) "
                                   "insert into T_Prop (Esm, Price, Dt, Nov) select 'مالک ' || n, n, '1403/01/01', 'k' from c")
                        .arg(kRows));
        // a bound edit, as the list windows have
        esm->setDataSet(ds.get());
        esm->setDataField(QStringLiteral("Esm"));
        ds->Open();
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(esm);
        layout->addWidget(grid);
        layout->addWidget(cards);
        cards->setPanelFactory([](QWidget* p) {
            auto* l = new QLabel(p);
            l->setProperty("dataField", QStringLiteral("Esm"));
        });
        cards->setDataSet(ds.get());
        cards->hide();
        grid->setDataSet(ds.get());
        window.resize(700, 420);
        window.show();
        QApplication::setActiveWindow(&window);
        // the rest of the list is still to come
        ASSERT_LT(ds->FetchedCount(), kRows);
    }

    void expectHighlightIsCurrent(const char* step)
    {
        SCOPED_TRACE(step);
        EXPECT_EQ(highlighted(grid), QList<int>{ds->CurrentRow()});
        EXPECT_EQ(datasetSelected(ds.get()), QList<int>{ds->CurrentRow()});
        EXPECT_EQ(ds->SelectedCount(), 1);
        EXPECT_EQ(grid->currentIndex().row(), ds->CurrentRow());
    }

    QWidget window;
    DBGrid* grid = new DBGrid(&window);
    DBCtrlGrid* cards = new DBCtrlGrid(&window);
    DBEdit* esm = new DBEdit(&window);
};

TEST_F(GridSelection, TheHighlightFollowsEveryRowTheProgramMakesCurrent)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, 2, 1));
    expectHighlightIsCurrent("click");
    EXPECT_EQ(ds->CurrentRow(), 2);

    // find, search (a locate into the unread rest), cancel of an append, refresh, post
    const struct {
        const char* step;
        std::function<void()> act;
        int row;
    } cases[] = {
        {"set", [&] { ds->SetRecNo(12); }, 11},
        {"locate", [&] { ds->Locate(QStringLiteral("Esm"), QStringLiteral("مالک 1200")); }, 1199},
        {"cancel",
         [&] {
             ds->SetRecNo(5);
             ds->Append();
             ds->Cancel();
         },
         -1},
        {"refresh",
         [&] {
             const QVariant mark = ds->GetBookmark();
             ds->Close();
             ds->Open();
             ds->GotoBookmark(mark);
         },
         -1},
        {"post",
         [&] {
             ds->SetRecNo(20);
             ds->Edit();
             ds->FieldByName(QStringLiteral("Price"))->SetValue(7);
             ds->Post();
         },
         19},
        {"insert posted",
         [&] {
             ds->SetRecNo(30);
             ds->Insert();
             ds->FieldByName(QStringLiteral("Esm"))->SetValue(QStringLiteral("نفر تازه"));
             ds->Post();
         },
         29},
    };
    for (const auto& c : cases) {
        // a highlight elsewhere first, so that a kept one would show
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, grid->rowAt(5), 1));
        c.act();
        if (c.row >= 0)
            EXPECT_EQ(ds->CurrentRow(), c.row) << c.step;
        expectHighlightIsCurrent(c.step);
    }

    // a row made current inside a multi-row highlight keeps the highlight
    const int top = grid->rowAt(5);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, top, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ShiftModifier, cellCenter(grid, top + 3, 1));
    EXPECT_EQ(ds->SelectedCount(), 4);
    ds->SetRecNo(top + 2);
    EXPECT_EQ(highlighted(grid), (QList<int>{top, top + 1, top + 2, top + 3}));
    EXPECT_EQ(datasetSelected(ds.get()), highlighted(grid));

    // delete removes the highlighted current row; the next row takes the highlight
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, top + 1, 1));
    const QVariant deleted = ds->GetBookmark();
    ds->Delete();
    expectHighlightIsCurrent("deleted");
    EXPECT_FALSE(ds->Locate(QStringLiteral("ID"), deleted));
    expectHighlightIsCurrent("delete");

    // rows arriving later never change the highlight
    while (!ds->AllRowsRead())
        QTest::qWait(5);
    expectHighlightIsCurrent("rest read");
}

TEST_F(GridSelection, SelectAllIsOneRangeAndHiddenCardsDoNoWork)
{
    QSignalSpy changed(ds.get(), &db::DataSet::rowChanged);
    QLabel* card = cards->panel(0)->findChild<QLabel*>();
    const QString before = card->text();
    grid->selectAll();
    EXPECT_TRUE(ds->AllRowsRead());
    EXPECT_EQ(ds->SelectedCount(), kRows);
    EXPECT_EQ(grid->selectionModel()->selection().size(), 1);
    EXPECT_EQ(changed.count(), 0);

    // a refresh keeps the selection by key, in ranges as the rows arrive
    ds->Close();
    ds->Open();
    EXPECT_EQ(ds->SelectedCount(), kRows);
    while (!ds->AllRowsRead())
        QTest::qWait(5);
    EXPECT_EQ(grid->selectionModel()->selectedRows().size(), kRows);
    EXPECT_LT(grid->selectionModel()->selection().size(), 50);

    // a search lands outside a selection: only its row stays, unread rows included
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(grid, 0, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(grid, 3, 1));
    EXPECT_EQ(ds->SelectedCount(), kRows - 2);
    ds->First();
    expectHighlightIsCurrent("search");

    // hidden cards catch up when shown
    cards->show();
    EXPECT_EQ(card->text(), before);
}

TEST_F(GridSelection, CtrlEndReachesTheTrueLastRowAndKeepsTheColumn)
{
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, 1, 1));
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_TRUE(ds->AllRowsRead());
    EXPECT_EQ(ds->CurrentRow(), kRows - 1);
    EXPECT_EQ(grid->currentIndex().row(), kRows - 1);
    EXPECT_EQ(grid->currentIndex().column(), 1);
    expectHighlightIsCurrent("ctrl+end");

    // with Shift the highlight grows to the last row
    ds->Close();
    ds->Open();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, 3, 1));
    QTest::keyClick(grid, Qt::Key_End, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ds->CurrentRow(), kRows - 1);
    EXPECT_EQ(ds->SelectedCount(), kRows - 3);
    EXPECT_EQ(grid->selectionModel()->selectedRows().size(), kRows - 3);
}

TEST_F(GridSelection, ALetterTypedIntoAListMovesNowhereAndComputesNothing)
{
    // a row far down the rows read starts with the letter typed
    conn().exec(QStringLiteral("update T_Prop set Esm = 'زهره' where ID = 150"));
    ds->Close();
    ds->addCalcField(QStringLiteral("Twice"), db::FieldType::Float);
    int calcs = 0;
    ds->OnCalcFields = [&](db::DataSet& d) {
        ++calcs;
        d.FieldByName(QStringLiteral("Twice"))->SetAsFloat(d.FieldByName(QStringLiteral("Price"))->AsFloat() * 2);
    };
    ds->Open();
    ASSERT_LT(ds->FetchedCount(), kRows);
    ASSERT_GT(ds->FetchedCount(), 150);
    const int twice = grid->model()->columnCount() - 1;
    ASSERT_EQ(grid->model()->headerData(twice, Qt::Horizontal).toString(), QStringLiteral("Twice"));

    const struct {
        const char* column;
        int index;
    } columns[] = {{"stored", 1}, {"calculated", twice}};
    for (const auto& c : columns) {
        SCOPED_TRACE(c.column);
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, 2, grid->columnAt(0)));
        grid->setCurrentIndex(grid->model()->index(2, c.index));
        const int rowsRead = ds->FetchedCount();
        calcs = 0;
        for (const QChar letter : QStringLiteral("زx"))
            QTest::sendKeyEvent(QTest::Click, grid, Qt::Key(letter.unicode()), QString(letter), Qt::NoModifier);
        EXPECT_EQ(ds->CurrentRow(), 2);
        EXPECT_EQ(grid->currentIndex().row(), 2);
        EXPECT_EQ(ds->FetchedCount(), rowsRead);
        EXPECT_LT(calcs, 10);
        expectHighlightIsCurrent("typed");
    }
}

TEST_F(GridSelection, CtrlWithAMoveKeyTakesTheHighlightAlong)
{
    const int page = grid->rowAt(grid->viewport()->height() - 2) - grid->rowAt(0);
    ASSERT_GT(page, 3);
    const struct {
        Qt::Key key;
        int from;
        int row;   // -1: any row below the one left
    } cases[] = {
        {Qt::Key_Home, 6, 0},
        {Qt::Key_Down, 6, 7},
        {Qt::Key_Up, 6, 5},
        {Qt::Key_PageDown, 2, -1},
        {Qt::Key_PageUp, page + 4, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(QTest::toString(c.key));
        ds->SetRecNo(c.from + 1);
        grid->setFocus();
        QTest::keyClick(grid, c.key, Qt::ControlModifier);
        if (c.row >= 0)
            EXPECT_EQ(ds->CurrentRow(), c.row);
        else
            EXPECT_NE(ds->CurrentRow(), c.from);
        expectHighlightIsCurrent("ctrl+key");
    }
    // with Shift the highlight grows to the first row
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, 5, 1));
    QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(ds->CurrentRow(), 0);
    EXPECT_EQ(ds->SelectedCount(), 6);
    EXPECT_EQ(highlighted(grid), (QList<int>{0, 1, 2, 3, 4, 5}));
    // the rest of the list still arrives
    EXPECT_FALSE(ds->AllRowsRead());
}
