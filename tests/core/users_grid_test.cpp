// Users typed into the preferences window's grid (name, password, rights) and posted, with a
// refused name kept for correction and Enter never pressing the picture button; and the rights
// gate of the data module refusing typing into a grid of stored rows.
#include "Typing.h"
#include "records_fixture.h"

#include "app/TRfrmPref.h"
#include "platform/db/Errors.h"
#include "platform/widgets/DBCheckBox.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/GridDelegate.h"
#include "ui_TRfrmPref.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QToolButton>

using widgets::NavButton;
using testing_support::typeText;

namespace {

// Typing into the grid's current cell: the first letter opens its editor, the rest goes there.
widgets::GridCellEditor* typeIntoCell(widgets::DBGrid* grid, const QString& text)
{
    typeText(grid, text.left(1));
    widgets::GridCellEditor* e = grid->cellEditor();
    if (e)
        typeText(e, text.mid(1));
    return e;
}

class UsersGridTest : public RecordsTest {
protected:
    void SetUp() override
    {
        RecordsTest::SetUp();
        if (IsSkipped())
            return;
        Dm = dm.get();
    }
    void TearDown() override
    {
        pref.reset();
        Dm = nullptr;
        RecordsTest::TearDown();
    }
    Ui::TRfrmPref& open()
    {
        pref = std::make_unique<TRfrmPref>();
        pref->show();
        QApplication::setActiveWindow(pref.get());
        pref->form()->DBGrid2->setFocus();
        return *pref->form();
    }
    QVariant user(const QString& esm, const char* column)
    {
        return dm->UserConn->scalar(QStringLiteral("select %1 from tunames where Esm = $1").arg(QLatin1String(column)),
                                    {esm});
    }
    QStringList calledDialogs() const
    {
        QStringList what;
        for (const auto& c : prompter.calls)
            what << c.what;
        return what;
    }

    std::unique_ptr<TRfrmPref> pref;
};

TEST_P(UsersGridTest, AUserIsTypedIntoTheGridWithPasswordAndRights)
{
    Ui::TRfrmPref& f = open();
    widgets::DBGrid* grid = f.DBGrid2;
    db::DataSet* uq = dm->UQ;
    ASSERT_TRUE(grid->isEditable());

    f.DBNavigator2->button(NavButton::Insert)->click();
    ASSERT_EQ(uq->State(), db::DataSetState::Insert);
    ASSERT_EQ(grid->currentIndex().row(), uq->CurrentRow());

    // a name longer than its column: the field's message, the typed name kept for correction
    const QString tooLong = QString(51, QChar(0x0645));
    widgets::GridCellEditor* e = typeIntoCell(grid, tooLong);
    ASSERT_NE(e, nullptr);
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(prompter.messages(), QStringList{uq->FieldByName(QStringLiteral("Esm"))->TooLongMessage()});
    ASSERT_EQ(grid->cellEditor(), e);
    EXPECT_EQ(e->text(), tooLong);

    // corrected; Enter ends the cell and presses no button of the window
    e->setText(QStringLiteral("مريم"));
    QTest::keyClick(e, Qt::Key_Return);
    EXPECT_EQ(grid->cellEditor(), nullptr);
    EXPECT_EQ(uq->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("مريم"));
    // the password beside it, plain text as typed
    grid->setCurrentIndex(grid->model()->index(uq->CurrentRow(), 1));
    e = typeIntoCell(grid, QStringLiteral("Ab 12"));
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->echoMode(), QLineEdit::Normal);
    QTest::keyClick(e, Qt::Key_Enter);
    // Enter on the grid itself (no cell edited) presses nothing either
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_FALSE(calledDialogs().contains(QStringLiteral("openFile")));
    EXPECT_EQ(uq->State(), db::DataSetState::Insert);

    // two rights taken away, the rest stay as a new user has them
    f.DBCheckBox1->click();    // Dels
    f.DBCheckBox12->click();   // pref
    f.DBNavigator2->button(NavButton::Post)->click();
    EXPECT_EQ(uq->State(), db::DataSetState::Browse);
    EXPECT_EQ(user(QStringLiteral("مريم"), "Passw").toString(), QStringLiteral("Ab 12"));
    EXPECT_EQ(user(QStringLiteral("مريم"), "Dels").toInt(), 0);
    EXPECT_EQ(user(QStringLiteral("مريم"), "pref").toInt(), 0);
    EXPECT_NE(user(QStringLiteral("مريم"), "Sve").toInt(), 0);
    EXPECT_EQ(grid->shownText(grid->model()->index(uq->CurrentRow(), 1)), QStringLiteral("Ab 12"));
    EXPECT_EQ(prompter.messages().size(), 1);

    // a stored user's password changed in place is posted when another row becomes current
    f.DBNavigator2->button(NavButton::Insert)->click();
    grid->setCurrentIndex(grid->model()->index(uq->CurrentRow(), 0));
    typeIntoCell(grid, QStringLiteral("رضا"));
    QTest::keyClick(grid->cellEditor(), Qt::Key_Return);
    f.DBNavigator2->button(NavButton::Post)->click();
    const int maryam = uq->Locate(QStringLiteral("Esm"), QStringLiteral("مريم")) ? uq->CurrentRow() : -1;
    ASSERT_GE(maryam, 0);
    grid->setCurrentIndex(grid->model()->index(maryam, 1));
    grid->edit(grid->currentIndex());
    ASSERT_NE(grid->cellEditor(), nullptr);
    grid->cellEditor()->selectAll();
    typeText(grid->cellEditor(), QStringLiteral("xyz"));
    EXPECT_EQ(uq->State(), db::DataSetState::Edit);
    grid->setCurrentIndex(grid->model()->index(1 - maryam, 0));
    EXPECT_EQ(uq->State(), db::DataSetState::Browse);
    EXPECT_EQ(user(QStringLiteral("مريم"), "Passw").toString(), QStringLiteral("xyz"));
    EXPECT_EQ(prompter.messages().size(), 1);

    // a new row cancelled: the row current again is the one highlighted (its rights are shown)
    grid->setCurrentIndex(grid->model()->index(maryam, 0));
    f.DBNavigator2->button(NavButton::Insert)->click();
    f.DBNavigator2->button(NavButton::Cancel)->click();
    const QModelIndexList shown = grid->selectionModel()->selectedRows();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown.first().row(), uq->CurrentRow());
    EXPECT_EQ(uq->SelectedCount(), 1);
    EXPECT_TRUE(uq->IsSelected());
}

TEST_P(UsersGridTest, ANewUserWithoutANameIsRefusedAndTheWindowAsksOnClose)
{
    Ui::TRfrmPref& f = open();
    f.DBNavigator2->button(NavButton::Insert)->click();
    // the password only, then the navigator's save: the name is required
    f.DBGrid2->setCurrentIndex(f.DBGrid2->model()->index(dm->UQ->CurrentRow(), 1));
    typeIntoCell(f.DBGrid2, QStringLiteral("123"));
    f.DBNavigator2->button(NavButton::Post)->click();
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("نام کاربر وارد نشده است")});
    EXPECT_EQ(dm->UQ->State(), db::DataSetState::Insert);
    EXPECT_EQ(dm->UQ->FieldByName(QStringLiteral("Passw"))->AsString(), QStringLiteral("123"));
    // closing asks; No drops the row and the editor with it
    prompter.answer(shell::ResultNo);
    EXPECT_TRUE(pref->FormClose());
    EXPECT_EQ(dm->UQ->State(), db::DataSetState::Browse);
    EXPECT_EQ(f.DBGrid2->cellEditor(), nullptr);
    EXPECT_EQ(dm->UserConn->scalar(QStringLiteral("select count(*) from tunames")).toInt(), 0);
}

TEST_P(UsersGridTest, TheRightsGateRefusesTypingIntoStoredRows)
{
    dm->Conn->exec(QStringLiteral("insert into t_Tels (Esm, Phone) values ('علي', '021'), ('رضا', '022')"));
    dm->QTels->Open();
    widgets::DBGrid grid;
    grid.setDataSet(dm->QTels);
    grid.setColumns({{QStringLiteral("Esm"), QStringLiteral("نام"), 150, true},
                     {QStringLiteral("Phone"), QStringLiteral("تلفن"), 100, true}});
    grid.setEditable(true);
    grid.show();
    QApplication::setActiveWindow(&grid);
    const QString refused = QStringLiteral("امکان حذف يا تغيير دادن اطلاعات براي کاربر فعلي وجود ندارد");

    UserCanChange = false;
    grid.setCurrentIndex(grid.model()->index(0, 1));
    EXPECT_EQ(typeIntoCell(&grid, QStringLiteral("9")), nullptr);
    EXPECT_EQ(prompter.messages(), QStringList{refused});
    EXPECT_EQ(dm->QTels->State(), db::DataSetState::Browse);

    UserCanChange = true;
    prompter.calls.clear();
    ASSERT_NE(typeIntoCell(&grid, QStringLiteral("0912")), nullptr);
    QTest::keyClick(grid.cellEditor(), Qt::Key_Return);
    grid.setCurrentIndex(grid.model()->index(1, 1));
    EXPECT_EQ(dm->QTels->State(), db::DataSetState::Browse);
    EXPECT_EQ(scalar(QStringLiteral("select Phone from t_Tels where Esm = 'علي'")).toString(), QStringLiteral("0912"));
    EXPECT_TRUE(prompter.calls.isEmpty());
}

DOVIN_INSTANTIATE_ENGINES(UsersGridTest);

} // namespace
