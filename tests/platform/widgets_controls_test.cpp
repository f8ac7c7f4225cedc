// Data-aware controls over a SQLite dataset: typing edits the row, the navigator posts and
// cancels, the grid sorts, selects and follows the current record, errors are caught.
#include "Typing.h"
#include "widgets_fixture.h"

#include "platform/db/Errors.h"
#include "platform/widgets/DBCheckBox.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBCtrlGrid.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/DBMemo.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/DBRadioGroup.h"
#include "platform/widgets/DBText.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/FieldLink.h"
#include "platform/widgets/MaskEdit.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

using namespace widgets;
using testing_support::WidgetsFixture;
using testing_support::typeText;

namespace {

// A small form: grid, navigator and two bound edits.
struct Form {
    QWidget window;
    DBGrid* grid = new DBGrid(&window);
    DBNavigator* nav = new DBNavigator(&window);
    DBEdit* esm = new DBEdit(&window);
    DBEdit* price = new DBEdit(&window);
    DBEdit* dt = new DBEdit(&window);

    explicit Form(db::DataSet* ds)
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(grid);
        layout->addWidget(nav);
        layout->addWidget(esm);
        layout->addWidget(price);
        layout->addWidget(dt);
        grid->setDataSet(ds);
        nav->setDataSet(ds);
        esm->setDataSet(ds);
        esm->setDataField(QStringLiteral("Esm"));
        price->setDataSet(ds);
        price->setDataField(QStringLiteral("Price"));
        dt->setDataSet(ds);
        dt->setDataField(QStringLiteral("Dt"));
        window.resize(700, 420);
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

QPoint cellCenter(DBGrid* grid, int row, int column)
{
    return grid->visualRect(grid->model()->index(row, column)).center();
}

} // namespace

class Widgets : public WidgetsFixture {};

TEST_F(Widgets, TypingEditsTheRowAndNavigatorPostsOrCancels)
{
    addFive();
    ds->Open();
    Form form(ds.get());
    EXPECT_EQ(form.esm->text(), QStringLiteral("احمد رضايي"));
    EXPECT_EQ(form.price->text(), QStringLiteral("1,500,000"));
    EXPECT_EQ(form.dt->Text(), QStringLiteral("1403/01/01"));

    // the first typed character puts the dataset into edit state
    form.esm->setFocus();
    form.esm->selectAll();
    typeText(form.esm, QStringLiteral("مينا"));
    EXPECT_EQ(ds->State(), db::DataSetState::Edit);
    EXPECT_EQ(form.esm->text(), QStringLiteral("مينا"));
    EXPECT_TRUE(form.nav->button(NavButton::Post)->isEnabled());
    EXPECT_FALSE(form.nav->button(NavButton::Edit)->isEnabled());

    // post writes what was typed (the navigator flushes the focused edit first)
    form.nav->button(NavButton::Post)->click();
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);
    EXPECT_EQ(stored(1, "Esm").toString(), QStringLiteral("مينا"));
    EXPECT_EQ(form.esm->text(), QStringLiteral("مينا"));

    // a number typed with the focus, shown grouped after leaving the edit
    form.price->setFocus();
    EXPECT_EQ(form.price->text(), QStringLiteral("1,500,000"));
    form.price->selectAll();
    QTest::keyClicks(form.price, QStringLiteral("2500000"));
    QTest::keyClick(form.price, Qt::Key_Return);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Price"))->AsFloat(), 2500000.0);
    form.esm->setFocus();
    EXPECT_EQ(form.price->text(), QStringLiteral("2,500,000"));

    // cancel brings back the stored values
    form.nav->button(NavButton::Cancel)->click();
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);
    EXPECT_EQ(form.price->text(), QStringLiteral("1,500,000"));
    EXPECT_EQ(stored(1, "Price").toDouble(), 1500000.0);

    // the masked date keeps its blanks as typed text
    form.dt->setFocus();
    form.dt->selectAll();
    QTest::keyClick(form.dt, Qt::Key_Delete);
    QTest::keyClicks(form.dt, QStringLiteral("140305"));
    EXPECT_EQ(form.dt->Text(), QStringLiteral("1403/05/__"));
    form.nav->BtnClick(NavButton::Post);
    EXPECT_EQ(stored(1, "Dt").toString(), QStringLiteral("1403/05/__"));
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(Widgets, RefusalsAreCaughtAndTheTypedTextKept)
{
    addFive();
    ds->Open();
    Form form(ds.get());

    // a refusal with a message: shown once as an error, the edit keeps the text for correction
    ds->FieldByName(QStringLiteral("Esm"))->OnSetText = [](db::Field& f, const QString& text) {
        if (text.contains(QLatin1Char('x')))
            throw db::DbError(db::ErrorCategory::Other, QStringLiteral("نام درست نيست"));
        f.SetValue(text);
    };
    form.esm->setFocus();
    form.esm->selectAll();
    QTest::keyClicks(form.esm, QStringLiteral("x"));
    QTest::keyClick(form.esm, Qt::Key_Return);
    form.grid->setFocus();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].kind, 0);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("نام درست نيست"));
    EXPECT_EQ(form.esm->text(), QStringLiteral("x"));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("احمد رضايي"));
    // posting tries it again: refused, the record stays in edit with the text in the box
    form.nav->BtnClick(NavButton::Post);
    EXPECT_EQ(prompter.messages(), QStringList({QStringLiteral("نام درست نيست"), QStringLiteral("نام درست نيست")}));
    EXPECT_EQ(ds->State(), db::DataSetState::Edit);
    EXPECT_EQ(form.esm->text(), QStringLiteral("x"));
    // corrected, it goes through
    form.esm->setFocus();
    form.esm->selectAll();
    QTest::keyClicks(form.esm, QStringLiteral("y"));
    form.nav->BtnClick(NavButton::Post);
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);
    EXPECT_EQ(stored(1, "Esm").toString(), QStringLiteral("y"));
    EXPECT_EQ(prompter.calls.size(), 2);
    // what the handler hands on is still the typed text: too wide, refused whole, never cut
    form.esm->setFocus();
    form.esm->selectAll();
    typeText(form.esm, QString(40, QChar(0x0628)));
    form.nav->BtnClick(NavButton::Post);
    EXPECT_EQ(prompter.messages().last(), QStringLiteral("«نام مالک» بيش از 30 حرف است"));
    EXPECT_EQ(form.esm->text(), QString(40, QChar(0x0628)));
    form.nav->BtnClick(NavButton::Cancel);
    EXPECT_EQ(stored(1, "Esm").toString(), QStringLiteral("y"));
    ds->FieldByName(QStringLiteral("Esm"))->OnSetText = nullptr;
    prompter.calls.clear();

    // a silent refusal of the edit: nothing shown, nothing changed
    ds->BeforeEdit = [](db::DataSet&) { throw db::Abort(); };
    form.esm->setFocus();
    QTest::keyClicks(form.esm, QStringLiteral("z"));
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);
    EXPECT_EQ(form.esm->text(), QStringLiteral("y"));
    EXPECT_TRUE(prompter.calls.isEmpty());

    // a post refused with a message keeps the typed record in edit state
    ds->BeforeEdit = nullptr;
    ds->BeforePost = [](db::DataSet&) { throw db::DbError(db::ErrorCategory::Other, QStringLiteral("مبلغ لازم است")); };
    form.price->setFocus();
    form.price->selectAll();
    QTest::keyClicks(form.price, QStringLiteral("5"));
    form.nav->BtnClick(NavButton::Post);
    EXPECT_EQ(prompter.messages().last(), QStringLiteral("مبلغ لازم است"));
    EXPECT_EQ(ds->State(), db::DataSetState::Edit);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Price"))->AsFloat(), 5.0);
}

// A text wider than its field reaches the field whole, pasted or typed, in an edit box and in
// an editable combo box: the field refuses it with its message and the box keeps it.
// Persian and Arabic-Indic digits in a date or an amount box are ASCII digits.
TEST_F(Widgets, PastesAreNeverCutAndPersianDigitsAreDigits)
{
    addFive();
    ds->Open();
    Form form(ds.get());
    auto* combo = new DBComboBox(&form.window);
    combo->setDataSet(ds.get());
    combo->setDataField(QStringLiteral("Esm"));
    combo->show();
    const QString tooLong(40, QChar(0x0628));   // 40 letters for a width of 30
    const QString refused = QStringLiteral("«نام مالک» بيش از 30 حرف است");

    for (QLineEdit* box : {static_cast<QLineEdit*>(form.esm), combo->lineEdit()}) {
        prompter.calls.clear();
        QApplication::clipboard()->setText(tooLong);
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(box->text(), tooLong);
        form.grid->setFocus();
        EXPECT_EQ(prompter.messages(), QStringList(refused));
        EXPECT_EQ(box->text(), tooLong);
        EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("احمد رضايي"));
        form.nav->BtnClick(NavButton::Post);
        EXPECT_EQ(prompter.messages(), QStringList({refused, refused}));
        EXPECT_EQ(ds->State(), db::DataSetState::Edit);
        EXPECT_EQ(stored(1, "Esm").toString(), QStringLiteral("احمد رضايي"));
        form.nav->BtnClick(NavButton::Cancel);
        EXPECT_EQ(box->text(), QStringLiteral("احمد رضايي"));
    }

    // typed into the masked date, pasted into the amount
    prompter.calls.clear();
    form.dt->setFocus();
    form.dt->selectAll();
    QTest::keyClick(form.dt, Qt::Key_Delete);
    form.dt->setCursorPosition(0);
    typeText(form.dt, QStringLiteral("۱۴۰۳٠٥١٢"));
    EXPECT_EQ(form.dt->Text(), QStringLiteral("1403/05/12"));
    QApplication::clipboard()->setText(QStringLiteral("۲۵۰۰.۵"));
    form.price->setFocus();
    form.price->selectAll();
    QTest::keyClick(form.price, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(form.price->text(), QStringLiteral("2500.5"));
    form.nav->BtnClick(NavButton::Post);
    EXPECT_TRUE(prompter.calls.isEmpty()) << prompter.messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(stored(1, "Dt").toString(), QStringLiteral("1403/05/12"));
    EXPECT_EQ(stored(1, "Price").toDouble(), 2500.5);
}

TEST_F(Widgets, NavigatorButtonsFollowTheDatasetState)
{
    addFive();
    Form form(ds.get());
    auto enabled = [&](NavButton b) { return form.nav->button(b)->isEnabled(); };
    for (int b = 0; b < NavButtonCount; ++b)
        EXPECT_FALSE(enabled(NavButton(b))) << b;
    ds->Open();
    EXPECT_FALSE(enabled(NavButton::First));
    EXPECT_FALSE(enabled(NavButton::Prior));
    EXPECT_TRUE(enabled(NavButton::Next));
    EXPECT_TRUE(enabled(NavButton::Insert));
    EXPECT_FALSE(enabled(NavButton::Post));
    form.nav->BtnClick(NavButton::Last);
    EXPECT_EQ(ds->RecNo(), 5);
    EXPECT_FALSE(enabled(NavButton::Next));
    EXPECT_TRUE(enabled(NavButton::Prior));

    form.nav->BtnClick(NavButton::Insert);
    EXPECT_EQ(ds->State(), db::DataSetState::Insert);
    EXPECT_TRUE(enabled(NavButton::Post));
    EXPECT_TRUE(enabled(NavButton::Cancel));
    EXPECT_EQ(form.esm->text(), QString());
    form.nav->BtnClick(NavButton::Cancel);
    EXPECT_EQ(ds->RecordCount(), 5);

    // visible buttons, captions and the click signal after the action
    form.nav->setVisibleButtons({NavButton::Insert, NavButton::Post, NavButton::Cancel});
    EXPECT_FALSE(form.nav->isButtonVisible(NavButton::First));
    EXPECT_TRUE(form.nav->isButtonVisible(NavButton::Post));
    form.nav->setCaption(NavButton::Post, QStringLiteral("ذخيره"));
    form.nav->setHint(NavButton::Post, QStringLiteral("ذخيره تغييرات"));
    EXPECT_EQ(form.nav->button(NavButton::Post)->text(), QStringLiteral("ذخيره"));
    QList<NavButton> clicked;
    QObject::connect(form.nav, &DBNavigator::clicked, [&](NavButton b) { clicked << b; });
    form.nav->BeforeAction = [](NavButton b) {
        if (b == NavButton::Insert)
            throw db::Abort();
    };
    form.nav->BtnClick(NavButton::Insert);
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);
    EXPECT_EQ(clicked, QList<NavButton>{NavButton::Insert});

    // delete asks first; No keeps the row
    prompter.answer(shell::ResultNo);
    form.nav->BtnClick(NavButton::Delete);
    EXPECT_EQ(ds->RecordCount(), 5);
    form.nav->BtnClick(NavButton::Delete);
    EXPECT_EQ(ds->RecordCount(), 4);
}

TEST_F(Widgets, RefreshAsksBeforeDroppingTypedValues)
{
    addFive();
    ds->Open();
    Form form(ds.get());
    ds->Edit();
    ds->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("تغيير"));
    prompter.answer(shell::ResultCancel);
    form.nav->BtnClick(NavButton::Refresh);
    EXPECT_EQ(ds->State(), db::DataSetState::Edit);
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("آيا تغييرات ذخيره شوند؟"));
    prompter.answer(shell::ResultYes);
    form.nav->BtnClick(NavButton::Refresh);
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);
    EXPECT_EQ(stored(1, "Esm").toString(), QStringLiteral("تغيير"));
    EXPECT_EQ(form.esm->text(), QStringLiteral("تغيير"));
}

TEST_F(Widgets, GridSortsSelectsAndFollowsTheCurrentRow)
{
    addFive();
    ds->Open();
    Form form(ds.get());
    DBGrid* grid = form.grid;
    ASSERT_EQ(grid->model()->columnCount(), ds->FieldCount());
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("نام مالک"));
    EXPECT_EQ(grid->model()->data(grid->model()->index(2, 2)).toString(), QStringLiteral("98,000,000"));

    // current row both ways
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cellCenter(grid, 3, 1));
    EXPECT_EQ(ds->RecNo(), 4);
    ds->First();
    EXPECT_EQ(grid->currentIndex().row(), 0);
    ds->Last();
    EXPECT_EQ(grid->currentIndex().row(), 4);

    // the row indicator marks the current record only, and shows the editing state
    const auto mark = [&](int row) { return grid->model()->headerData(row, Qt::Vertical, Qt::DisplayRole).toString(); };
    EXPECT_EQ(mark(4), QStringLiteral("◄"));
    EXPECT_EQ(mark(3), QString());
    ds->Edit();
    EXPECT_EQ(mark(4), QStringLiteral("I"));
    ds->Cancel();
    ds->Append();
    EXPECT_EQ(mark(ds->CurrentRow()), QStringLiteral("*"));
    ds->Cancel();
    ds->Last();

    // a click on the price title sorts by price; the current record stays current
    const int x = grid->horizontalHeader()->sectionViewportPosition(2) + grid->horizontalHeader()->sectionSize(2) / 2;
    QTest::mouseClick(grid->horizontalHeader()->viewport(), Qt::LeftButton, {}, QPoint(x, 5));
    EXPECT_EQ(ds->Sort(), QStringLiteral("Price"));
    EXPECT_EQ(grid->model()->data(grid->model()->index(0, 2)).toString(), QStringLiteral("250.5"));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("ژاله مقدم"));
    EXPECT_EQ(grid->currentIndex().row(), ds->CurrentRow());

    // selection: ctrl-clicks select rows in the dataset; the dataset's selection shows in the grid
    ds->ClearSelection();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(grid, 0, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(grid, 2, 1));
    EXPECT_EQ(ds->SelectedCount(), 2);
    EXPECT_TRUE(ds->IsRowSelected(0));
    EXPECT_TRUE(ds->IsRowSelected(2));
    EXPECT_EQ(ds->RecNo(), 3);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(grid, 0, 1));
    EXPECT_FALSE(ds->IsRowSelected(0));
    EXPECT_EQ(ds->SelectedCount(), 1);
    // a row the program makes current takes the highlight alone
    ds->SetRecNo(5);
    EXPECT_TRUE(grid->selectionModel()->isRowSelected(4, {}));
    EXPECT_EQ(ds->SelectedCount(), 1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(grid, 2, 1));
    // selection survives a sort (by key), the view follows
    ds->setSort(QStringLiteral("Price DESC"));
    EXPECT_EQ(ds->SelectedCount(), 2);
    for (int row = 0; row < 5; ++row)
        EXPECT_EQ(grid->selectionModel()->isRowSelected(row, {}), ds->IsRowSelected(row)) << row;
    ds->ClearSelection();
    EXPECT_FALSE(grid->selectionModel()->hasSelection());

    // after a delete the row made current is highlighted, in the view as in the dataset
    ds->SetRecNo(1);
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(grid, 3, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cellCenter(grid, 1, 1));
    ASSERT_EQ(ds->SelectedCount(), 3);
    ds->Delete();
    for (int row = 0; row < ds->RecordCount(); ++row)
        EXPECT_EQ(grid->selectionModel()->isRowSelected(row, {}), ds->IsRowSelected(row)) << row;
    EXPECT_TRUE(ds->IsRowSelected(ds->CurrentRow()));
}

TEST_F(Widgets, GridColumnLayoutAndCellStyles)
{
    addFive();
    ds->Open();
    DBGrid grid;
    grid.setDataSet(ds.get());
    grid.resize(600, 300);
    grid.show();
    QVector<GridColumn> cols = {
        {QStringLiteral("Price"), QStringLiteral("مبلغ"), 120, true},
        {QStringLiteral("ID"), QStringLiteral("کد"), 50, false},
        {QStringLiteral("Esm"), QStringLiteral("نام"), 200, true},
    };
    grid.setColumns(cols);
    EXPECT_EQ(grid.model()->columnCount(), 3);
    EXPECT_TRUE(grid.isColumnHidden(1));
    // the last column fills the grid; its own width stays in the layout
    EXPECT_EQ(grid.columnWidth(2), std::max(200, grid.viewport()->width() - 120));
    EXPECT_EQ(grid.columns(), cols);
    grid.setColumnWidth(0, 140);
    EXPECT_EQ(grid.columns()[0].width, 140);
    // the layout stays when the dataset reopens
    ds->Reopen();
    EXPECT_EQ(grid.model()->columnCount(), 3);
    EXPECT_TRUE(grid.isColumnHidden(1));
    // right to left: the first column stands right of the next visible one
    EXPECT_GT(grid.columnViewportPosition(0), grid.columnViewportPosition(2));

    grid.setCellStyler([](int row, const QString& field, CellStyle& s) {
        if (field == QStringLiteral("Esm") && row == 1)
            s.foreground = Qt::blue;
    });
    EXPECT_EQ(grid.model()->data(grid.model()->index(1, 2), Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
    EXPECT_FALSE(grid.model()->data(grid.model()->index(0, 2), Qt::ForegroundRole).isValid());

    grid.resetColumns();
    EXPECT_EQ(grid.model()->columnCount(), ds->FieldCount());
    EXPECT_FALSE(grid.customColumns());
}

TEST_F(Widgets, OtherBoundControls)
{
    conn().exec(QStringLiteral("insert into T_Region (Name) values ('شمال'), ('جنوب')"));
    addFive();
    ds->Open();
    db::DataSet regions(&conn());
    regions.setSQL(QStringLiteral("select * from T_Region order by RID"));
    regions.Open();

    DBCheckBox check;
    check.setDataSet(ds.get());
    check.setDataField(QStringLiteral("Flag"));
    DBRadioGroup radio;
    radio.setItems({QStringLiteral("خريد / فروش"), QStringLiteral("رهن / اجاره")});
    radio.setValues({QStringLiteral("k"), QStringLiteral("j")});
    radio.setDataSet(ds.get());
    radio.setDataField(QStringLiteral("Nov"));
    DBLookupComboBox lookup;
    lookup.setListSource(&regions);
    lookup.setKeyField(QStringLiteral("RID"));
    lookup.setListField(QStringLiteral("Name"));
    lookup.setDataSet(ds.get());
    lookup.setDataField(QStringLiteral("RegionId"));
    DBMemo memo;
    memo.setDataSet(ds.get());
    memo.setDataField(QStringLiteral("Note"));
    DBText label;
    label.setDataSet(ds.get());
    label.setDataField(QStringLiteral("Price"));
    DBComboBox combo;
    combo.addItems({QStringLiteral("الف"), QStringLiteral("ب")});
    combo.setDataSet(ds.get());
    combo.setDataField(QStringLiteral("Esm"));

    EXPECT_FALSE(check.isChecked());
    EXPECT_EQ(radio.ItemIndex(), 0);
    EXPECT_EQ(lookup.currentIndex(), -1);
    EXPECT_EQ(lookup.count(), 2);
    EXPECT_EQ(label.text(), QStringLiteral("1,500,000"));
    EXPECT_EQ(combo.currentText(), QStringLiteral("احمد رضايي"));

    check.click();
    EXPECT_EQ(ds->State(), db::DataSetState::Edit);
    EXPECT_TRUE(ds->FieldByName(QStringLiteral("Flag"))->AsBoolean());
    radio.findChildren<QAbstractButton*>()[1]->click();
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Nov"))->AsString(), QStringLiteral("j"));
    lookup.setCurrentIndex(1);
    emit lookup.activated(1);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("RegionId"))->AsInteger(), 2);
    combo.setCurrentIndex(1);
    emit combo.activated(1);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("ب"));
    memo.setPlainText(QStringLiteral("سند تک برگ"));
    EXPECT_TRUE(widgets::FieldLink::updateRecord(ds.get()));
    ds->Post();
    EXPECT_EQ(stored(1, "Note").toString(), QStringLiteral("سند تک برگ"));
    EXPECT_EQ(stored(1, "RegionId").toInt(), 2);
    EXPECT_EQ(stored(1, "Nov").toString(), QStringLiteral("j"));
    EXPECT_NE(stored(1, "Flag").toInt(), 0);

    // moving shows the next record everywhere
    ds->Next();
    EXPECT_FALSE(check.isChecked());
    EXPECT_EQ(radio.ItemIndex(), 1);
    EXPECT_EQ(memo.toPlainText(), QString());
    EXPECT_EQ(label.text(), QStringLiteral("250.5"));

    // an unbound lookup only keeps its key
    DBLookupComboBox criteria;
    criteria.setListSource(&regions);
    criteria.setKeyField(QStringLiteral("RID"));
    criteria.setListField(QStringLiteral("Name"));
    criteria.setKeyValue(2);
    EXPECT_EQ(criteria.currentText(), QStringLiteral("جنوب"));
    criteria.setKeyValue(-1);
    EXPECT_EQ(criteria.currentIndex(), -1);
}

TEST_F(Widgets, MaskEditKeepsBlanks)
{
    MaskEdit edit;
    edit.setEditMask(QStringLiteral("9999/99/99"));
    EXPECT_EQ(edit.Text(), QStringLiteral("____/__/__"));
    EXPECT_EQ(edit.emptyText(), QStringLiteral("____/__/__"));
    EXPECT_TRUE(edit.isEmptyText());
    edit.setText(QStringLiteral("1403/05/__"));
    EXPECT_EQ(edit.Text(), QStringLiteral("1403/05/__"));
    edit.setText(QString());
    edit.setCursorPosition(0);
    QTest::keyClicks(&edit, QStringLiteral("14a03"));
    EXPECT_EQ(edit.Text(), QStringLiteral("1403/__/__"));
    EXPECT_EQ(MaskEdit::toInputMask(QStringLiteral("00:00;1;_")), QStringLiteral("99:99"));
    EXPECT_EQ(MaskEdit::toInputMask(QStringLiteral("LL-0")), QStringLiteral("AA-9"));
    edit.setEditMask(QString());
    edit.setText(QStringLiteral("آزاد"));
    EXPECT_EQ(edit.Text(), QStringLiteral("آزاد"));
}

// In a right-to-left window a mask of digits still reads left to right ("____/__/__", never
// "__/__/____"); a mask that takes letters follows its window.
TEST_F(Widgets, DigitMasksReadLeftToRightInRightToLeftWindows)
{
    const struct {
        const char* mask;
        Qt::LayoutDirection direction;
    } cases[] = {{"9999/99/99", Qt::LeftToRight}, {"!0000/00/00;1;_", Qt::LeftToRight},
                 {"00:00;1;_", Qt::LeftToRight}, {"LL-0", Qt::RightToLeft}};
    for (const auto& c : cases) {
        QWidget window;
        window.setLayoutDirection(Qt::RightToLeft);
        auto* edit = new MaskEdit(&window);
        edit->setEditMask(QString::fromLatin1(c.mask));
        EXPECT_EQ(edit->layoutDirection(), c.direction) << c.mask;
        // the window turned right to left afterwards keeps it so
        window.setLayoutDirection(Qt::LeftToRight);
        window.setLayoutDirection(Qt::RightToLeft);
        EXPECT_EQ(edit->layoutDirection(), c.direction) << c.mask;
    }
}

TEST_F(Widgets, CardsScrollWithTheDataset)
{
    addFive();
    ds->Open();
    DBCtrlGrid cards;
    cards.setPanelFactory([](QWidget* panel) {
        auto* layout = new QVBoxLayout(panel);
        auto* name = new QLabel(panel);
        name->setObjectName(QStringLiteral("name"));
        name->setProperty("dataField", QStringLiteral("Esm"));
        layout->addWidget(name);
    });
    cards.setDataSet(ds.get());
    cards.resize(300, 300);
    cards.show();
    auto shown = [&](int i) { return cards.panel(i)->findChild<QLabel*>(QStringLiteral("name"))->text(); };
    EXPECT_EQ(cards.panelCount(), 3);
    EXPECT_EQ(shown(0), QStringLiteral("احمد رضايي"));
    EXPECT_EQ(shown(2), QStringLiteral("پروين صادقي"));
    ds->Last();
    EXPECT_EQ(cards.topRow(), 2);
    EXPECT_EQ(shown(2), QStringLiteral("ژاله مقدم"));
    QTest::mouseClick(cards.panel(0), Qt::LeftButton);
    EXPECT_EQ(ds->RecNo(), 3);
    ds->Edit();
    ds->FieldByName(QStringLiteral("Esm"))->SetAsString(QStringLiteral("نام تازه"));
    EXPECT_EQ(shown(0), QStringLiteral("نام تازه"));
    ds->Cancel();
}

TEST_F(Widgets, FormIsRightToLeft)
{
    addFive();
    ds->Open();
    Form form(ds.get());
    form.nav->setCaption(NavButton::Post, QStringLiteral("ذخيره"));
    form.grid->setColumns({{QStringLiteral("Esm"), QStringLiteral("نام مالک"), 160, true},
                           {QStringLiteral("Price"), QStringLiteral("قيمت"), 120, true},
                           {QStringLiteral("Dt"), QStringLiteral("تاريخ"), 100, true}});
    ds->SetRecNo(3);
    QApplication::processEvents();
    EXPECT_EQ(form.window.layoutDirection(), Qt::RightToLeft);
    // first navigator button and first grid column on the right
    EXPECT_GT(form.nav->button(NavButton::First)->x(), form.nav->button(NavButton::Last)->x());
    EXPECT_GT(form.grid->columnViewportPosition(0), form.grid->columnViewportPosition(1));
    const QString dir = qEnvironmentVariable("DOVIN_SHOT_DIR");
    if (!dir.isEmpty())
        form.window.grab().save(dir + QStringLiteral("/widgets_form.png"));
}

// Controls bound to a list whose rest is still being read in the background: the
// idle reading's timer is the dataset's child too and must never be taken for the
// controls' own bookkeeping.
TEST_F(Widgets, BindingToAListStillBeingReadKeepsEditingAndInserting)
{
    conn().begin();
    for (int i = 1; i <= 1200; ++i)
        add(QStringLiteral("مالک %1").arg(i), i * 10);
    conn().commit();
    ds->Open();
    ASSERT_FALSE(ds->AllRowsRead());
    Form form(ds.get());
    EXPECT_EQ(form.esm->text(), QStringLiteral("مالک 1"));

    // click a row, go to the last, edit it while the rest keeps arriving
    QTest::mouseClick(form.grid->viewport(), Qt::LeftButton, {}, cellCenter(form.grid, 2, 1));
    EXPECT_EQ(form.esm->text(), QStringLiteral("مالک 3"));
    form.nav->BtnClick(NavButton::Last);
    EXPECT_EQ(form.esm->text(), QStringLiteral("مالک 1200"));
    ds->Edit();
    form.esm->setFocus();
    form.esm->selectAll();
    typeText(form.esm, QStringLiteral("تغيير"));
    QTest::qWait(50);
    form.nav->BtnClick(NavButton::Post);
    EXPECT_EQ(stored(1200, "Esm").toString(), QStringLiteral("تغيير"));

    ds->Append();
    form.esm->setFocus();
    typeText(form.esm, QStringLiteral("جديد"));
    QTest::qWait(50);
    form.nav->BtnClick(NavButton::Post);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from T_Prop where Esm = $1"), {QStringLiteral("جديد")}).toInt(), 1);
    EXPECT_EQ(ds->RecordCount(), 1201);
    EXPECT_TRUE(prompter.calls.isEmpty());
}
