// The data grid's cells: cut away from numbers with the whole text as tool tip, and, when
// switched on, edited in place through the field layer.
#include "Typing.h"
#include "widgets_fixture.h"

#include "platform/db/Errors.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/GridDelegate.h"

#include <QApplication>
#include <QDialog>
#include <QFontMetricsF>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

using namespace widgets;
using testing_support::WidgetsFixture;
using testing_support::typeText;

namespace {

const QChar Ellipsis(0x2026);

// The part of the text a cut shows: [start, end) of the original; {-1, -1} when the shown
// text is no part of it.
std::pair<int, int> keptSpan(const QString& text, const QString& shown)
{
    if (shown == text)
        return {0, int(text.size())};
    QString middle = shown;
    if (middle.startsWith(Ellipsis))
        middle.remove(0, 1);
    if (middle.endsWith(Ellipsis))
        middle.chop(1);
    const int at = middle.isEmpty() ? 0 : int(text.indexOf(middle));
    return at < 0 ? std::pair{-1, -1} : std::pair{at, at + int(middle.size())};
}

// Whether a cut at this position splits a number (digits with their inner separators and a sign).
bool cutsANumber(const QString& text, int at)
{
    if (at <= 0 || at >= text.size())
        return false;
    const auto part = [](QChar c) { return c.isDigit() || QStringLiteral(",./:٫٬").contains(c); };
    const bool before = text.at(at - 1).isDigit() || (part(text.at(at - 1)) && at >= 2 && text.at(at - 2).isDigit())
        || ((text.at(at - 1) == QLatin1Char('-')) && text.at(at).isDigit());
    const bool after = text.at(at).isDigit() || (part(text.at(at)) && at + 1 < text.size() && text.at(at + 1).isDigit());
    return before && after;
}

// A grid in a dialog whose default button counts its presses, with a navigator.
struct EditForm {
    QDialog window;
    DBGrid* grid = new DBGrid(&window);
    DBNavigator* nav = new DBNavigator(&window);
    QPushButton* defaultButton = new QPushButton(QStringLiteral("پيش فرض"), &window);
    int defaultPresses = 0;

    explicit EditForm(db::DataSet* ds)
    {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(grid);
        layout->addWidget(nav);
        layout->addWidget(defaultButton);
        defaultButton->setDefault(true);
        QObject::connect(defaultButton, &QPushButton::clicked, [this] { ++defaultPresses; });
        window.setLayoutDirection(Qt::RightToLeft);
        grid->setDataSet(ds);
        grid->setColumns({{QStringLiteral("Esm"), QStringLiteral("نام مالک"), 160, true},
                          {QStringLiteral("Price"), QStringLiteral("قيمت"), 120, true},
                          {QStringLiteral("Dt"), QStringLiteral("تاريخ"), 100, true},
                          {QStringLiteral("ID"), QStringLiteral("کد"), 60, true}});
        grid->setEditable(true);
        nav->setDataSet(ds);
        window.resize(600, 360);
        window.show();
        QApplication::setActiveWindow(&window);
        grid->setFocus();
    }
    QModelIndex cell(int row, int column) const { return grid->model()->index(row, column); }
    void goTo(int row, int column) { grid->setCurrentIndex(cell(row, column)); }
    // Starts typing into the current cell; the typed text goes to the editor it opens.
    void type(const QString& text)
    {
        typeText(grid, text.left(1));
        if (GridCellEditor* e = grid->cellEditor())
            typeText(e, text.mid(1));
    }
    void key(int k)
    {
        QWidget* target = grid->cellEditor() ? static_cast<QWidget*>(grid->cellEditor()) : grid;
        QTest::keyClick(target, Qt::Key(k));
    }
};

} // namespace

TEST(CellText, CutBetweenWordsAndNeverInsideANumber)
{
    const QFont font(QStringLiteral("DejaVu Sans"), 10);
    const QFontMetricsF fm(font);
    const auto w = [&](const QString& s) { return fm.horizontalAdvance(s); };
    const QString condition = QStringLiteral("رهن کامل : 6,900,000,000   شرايط پرداخت");
    const QString phones = QStringLiteral(" خانه:02122334455موبايل:09121112233");
    const QString amount = QStringLiteral("رهن کامل : 6,900,000,000");
    const QString buy = QStringLiteral("خريد : 1,068,160,000");
    const QString rent = QStringLiteral("رهن  : 500,000,000   اجاره : 12,000,000   قابل تبديل");
    const struct {
        QString text;
        qreal width;
        QString shown;
    } cases[] = {
        {condition, w(condition), condition},
        // the terms go first, the amount stays whole
        {condition, w(QStringLiteral("رهن کامل : 6,900,000,000   شرايط") + Ellipsis),
         QStringLiteral("رهن کامل : 6,900,000,000   شرايط") + Ellipsis},
        {condition, w(QStringLiteral("رهن کامل : 6,900,000,000") + Ellipsis),
         QStringLiteral("رهن کامل : 6,900,000,000") + Ellipsis},
        // then the kind's words shrink: to the first word, then to its first letters
        {amount, w(amount) - 1, QStringLiteral("رهن") + Ellipsis + QStringLiteral(" : 6,900,000,000")},
        {condition, w(QStringLiteral("رهن") + Ellipsis + QStringLiteral(" : 6,900,000,000") + Ellipsis),
         QStringLiteral("رهن") + Ellipsis + QStringLiteral(" : 6,900,000,000") + Ellipsis},
        {amount, w(QStringLiteral("ر") + Ellipsis + QStringLiteral(" : 6,900,000,000")),
         QStringLiteral("ر") + Ellipsis + QStringLiteral(" : 6,900,000,000")},
        // at the narrowest the terms go without their mark, the kind's mark shows the cut
        {condition, w(QStringLiteral("ر") + Ellipsis + QStringLiteral(" : 6,900,000,000")),
         QStringLiteral("ر") + Ellipsis + QStringLiteral(" : 6,900,000,000")},
        {buy, w(QStringLiteral("خ") + Ellipsis + QStringLiteral(" : 1,068,160,000")),
         QStringLiteral("خ") + Ellipsis + QStringLiteral(" : 1,068,160,000")},
        // a mortgage with rent keeps both amounts, the terms go
        {rent, w(QStringLiteral("رهن  : 500,000,000   اجاره : 12,000,000") + Ellipsis),
         QStringLiteral("رهن  : 500,000,000   اجاره : 12,000,000") + Ellipsis},
        {rent, w(QStringLiteral("ر") + Ellipsis + QStringLiteral("  : 500,000,000   ا") + Ellipsis +
                 QStringLiteral(" : 12,000,000") + Ellipsis),
         QStringLiteral("ر") + Ellipsis + QStringLiteral("  : 500,000,000   ا") + Ellipsis +
             QStringLiteral(" : 12,000,000") + Ellipsis},
        // then the words before the first amount: the cut stands at the text's start
        {amount, w(Ellipsis + QStringLiteral(": 6,900,000,000")), Ellipsis + QStringLiteral(": 6,900,000,000")},
        {amount, w(Ellipsis + QStringLiteral("6,900,000,000")), Ellipsis + QStringLiteral("6,900,000,000")},
        {condition, w(Ellipsis + QStringLiteral("6,900,000,000") + Ellipsis),
         Ellipsis + QStringLiteral("6,900,000,000") + Ellipsis},
        // no room for the amount: the words before it, never a part of it
        {amount, w(QStringLiteral("رهن کامل :") + Ellipsis), QStringLiteral("رهن کامل :") + Ellipsis},
        {QStringLiteral("498,800,000"), w(QStringLiteral("498,800")), QString(Ellipsis)},
        {QStringLiteral("-25,850,000"), w(QStringLiteral("-25,850,00")), QString(Ellipsis)},
        {QStringLiteral("1403/05/12"), w(QStringLiteral("1403/05")), QString(Ellipsis)},
        {QStringLiteral("12.75"), w(QStringLiteral("12.7")), QString(Ellipsis)},
        // a word alone may be cut inside
        {QStringLiteral("abcdefghij"), w(QStringLiteral("abcd") + Ellipsis), QStringLiteral("abcd") + Ellipsis},
        {QStringLiteral("1,000"), w(Ellipsis) - 1, QString()},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString() + " / " + std::to_string(c.width));
        EXPECT_EQ(CutCellText(c.text, fm, c.width), c.shown);
    }

    // every width: what shows fits, and is a piece of the text where no cut splits a number,
    // or the text with its labels shrunk, every amount whole and in its order
    const QRegularExpression number(QStringLiteral("[-+]?\\d+([,./:٫٬]\\d+)*"));
    const auto numbersOf = [&](const QString& t) {
        QStringList out;
        for (auto it = number.globalMatch(t); it.hasNext();)
            out << it.next().captured();
        return out;
    };
    for (const QString& text : {condition, amount, buy, rent, phones, QStringLiteral("فروش : 1,250,000,000   اجاره : 3,500,000   نقد"),
                                QStringLiteral("1403/01/06 10:30"), QStringLiteral("-3,000")}) {
        for (int width = 0; width <= int(w(text)) + 2; ++width) {
            const QString shown = CutCellText(text, fm, width);
            SCOPED_TRACE(text.toStdString() + " / " + std::to_string(width) + " -> " + shown.toStdString());
            EXPECT_LE(w(shown), width);
            const auto [start, end] = keptSpan(text, shown);
            if (start < 0) {
                EXPECT_EQ(numbersOf(shown), numbersOf(text));
                continue;
            }
            EXPECT_FALSE(cutsANumber(text, start));
            EXPECT_FALSE(cutsANumber(text, end));
        }
    }
}

// Row numbers are never shown cut: their column widens as the rows arrive.
TEST_F(WidgetsFixture, RowNumbersWidenTheirColumnToShowWhole)
{
    conn().begin();
    for (int i = 0; i < 1200; ++i)
        add(QStringLiteral("مالک %1").arg(i), 1000 + i);
    conn().commit();
    ds->addCalcField(QStringLiteral("row"), db::FieldType::Integer, 0, QStringLiteral("رديف"));
    ds->OnCalcFields = [](db::DataSet& d) { d.FieldByName(QStringLiteral("row"))->SetValue(d.RecNo()); };
    ds->Open();
    DBGrid grid;
    grid.setLayoutDirection(Qt::RightToLeft);
    grid.horizontalHeader()->setMinimumSectionSize(1);
    grid.setDataSet(ds.get());
    grid.setColumns({{QStringLiteral("row"), QStringLiteral("رديف"), 12, true}, {QStringLiteral("Esm"), QStringLiteral("نام مالک"), 120, true}});
    grid.resize(400, 200);
    grid.show();
    ds->Last();
    QApplication::processEvents();
    const QModelIndex last = grid.model()->index(1199, 0);
    EXPECT_EQ(grid.shownText(last), QStringLiteral("1200")) << grid.columnWidth(0);
    // the layout keeps the wider column; the others keep their width
    EXPECT_GT(grid.columns()[0].width, 12);
    EXPECT_EQ(grid.columns()[1].width, 120);
}

// A deal condition (kind, amount, rent, terms) keeps its kind and every amount in sight: its
// column widens to them over the first rows; the terms may go. Texts without amounts (phones)
// keep their column's width.
TEST_F(WidgetsFixture, ConditionColumnsWidenToShowEveryAmountWithItsKind)
{
    conn().begin();
    for (int i = 0; i < 1200; ++i)
        add(QStringLiteral("مالک %1").arg(i), i % 3 == 0 ? 500000000 : 1068160000);
    conn().commit();
    ds->addCalcField(QStringLiteral("cond"), db::FieldType::String, 100, QStringLiteral("شرط1"));
    ds->addCalcField(QStringLiteral("tels"), db::FieldType::String, 100, QStringLiteral("تلفن"));
    ds->OnCalcFields = [](db::DataSet& d) {
        const double price = d.FieldByName(QStringLiteral("Price"))->AsFloat();
        d.FieldByName(QStringLiteral("cond"))
            ->SetValue(price < 1e9 ? QStringLiteral("رهن  : 500,000,000   اجاره : 12,000,000   قابل تبديل")
                                   : QStringLiteral("خريد : 1,068,160,000   "));
        d.FieldByName(QStringLiteral("tels"))->SetValue(QStringLiteral(" خانه:02122334455موبايل:09121112233"));
    };
    ds->Open();
    DBGrid grid;
    grid.setLayoutDirection(Qt::RightToLeft);
    grid.setDataSet(ds.get());
    grid.setColumns({{QStringLiteral("Esm"), QStringLiteral("نام مالک"), 120, true},
                     {QStringLiteral("cond"), QStringLiteral("شرط1"), 132, true},
                     {QStringLiteral("tels"), QStringLiteral("تلفن"), 60, true}});
    grid.resize(500, 300);
    grid.show();
    QApplication::processEvents();
    EXPECT_GT(grid.columns()[1].width, 132);
    EXPECT_EQ(grid.columns()[2].width, 60);
    for (int row : {0, 1, 2, 3}) {
        const QString shown = grid.shownText(grid.model()->index(row, 1));
        SCOPED_TRACE(shown.toStdString());
        if (row % 3 == 0) {
            EXPECT_TRUE(shown.startsWith(QStringLiteral("رهن"))) ;
            EXPECT_TRUE(shown.contains(QStringLiteral("500,000,000")));
            EXPECT_TRUE(shown.contains(QStringLiteral("اجاره : 12,000,000")));
        } else {
            EXPECT_EQ(shown, QStringLiteral("خريد : 1,068,160,000   "));
        }
    }
    // the rows arriving later do not narrow it, and a reopen looks again
    ds->Last();
    QApplication::processEvents();
    EXPECT_GT(grid.columns()[1].width, 132);
}

TEST_F(WidgetsFixture, CutCellsCarryTheWholeTextAsToolTip)
{
    add(QStringLiteral("احمد رضايي"), 1500000);
    add(QStringLiteral("بهرام کريمي نيک انديش فرزند محمد علي"), 98765432100.0);
    ds->Open();
    DBGrid grid;
    grid.setLayoutDirection(Qt::RightToLeft);
    grid.setDataSet(ds.get());
    grid.setColumns({{QStringLiteral("Esm"), QStringLiteral("نام مالک"), 120, true},
                     {QStringLiteral("Price"), QStringLiteral("قيمت"), 40, true},
                     {QStringLiteral("Dt"), QStringLiteral("تاريخ"), 300, true}});
    grid.resize(600, 200);
    grid.show();
    QApplication::processEvents();

    const auto index = [&](int row, int column) { return grid.model()->index(row, column); };
    const struct {
        int row;
        int column;
        bool cut;
    } cells[] = {{0, 0, false}, {1, 0, true}, {0, 1, true}, {1, 1, true}, {0, 2, false}};
    for (const auto& c : cells) {
        SCOPED_TRACE(std::to_string(c.row) + "," + std::to_string(c.column));
        const QString full = index(c.row, c.column).data().toString();
        const QString shown = grid.shownText(index(c.row, c.column));
        EXPECT_EQ(grid.cellToolTip(index(c.row, c.column)), c.cut ? full : QString());
        EXPECT_EQ(shown == full, !c.cut);
        const auto [start, end] = keptSpan(full, shown);
        EXPECT_FALSE(cutsANumber(full, start));
        EXPECT_FALSE(cutsANumber(full, end));
    }
    // "98,765,432,100" in 40 pixels shows no part of the number
    EXPECT_EQ(grid.shownText(index(1, 1)), QString(Ellipsis));

    // resting on a cut cell shows the tool tip
    const QRect cutRect = grid.visualRect(index(1, 0));
    QHelpEvent help(QEvent::ToolTip, cutRect.center(), grid.viewport()->mapToGlobal(cutRect.center()));
    QApplication::sendEvent(grid.viewport(), &help);
    EXPECT_EQ(QToolTip::text(), index(1, 0).data().toString());
}

TEST_F(WidgetsFixture, TheLastColumnFillsTheGridWithoutTakingTheWidthAsItsOwn)
{
    addFive();
    ds->Open();
    DBGrid grid;
    grid.setDataSet(ds.get());
    const QVector<GridColumn> cols = {{QStringLiteral("Esm"), QStringLiteral("نام"), 150, true},
                                      {QStringLiteral("Price"), QStringLiteral("قيمت"), 100, true},
                                      {QStringLiteral("Dt"), QStringLiteral("تاريخ"), 80, false}};
    grid.setColumns(cols);
    grid.resize(700, 200);
    grid.show();
    QApplication::processEvents();
    // the last visible column reaches the grid's edge
    EXPECT_EQ(grid.horizontalHeader()->length(), grid.viewport()->width());
    EXPECT_GT(grid.columnWidth(1), 100);
    EXPECT_EQ(grid.columnWidth(0), 150);
    EXPECT_EQ(grid.columns(), cols);
    // a user's resize of another column is kept; the last one fills again
    grid.horizontalHeader()->resizeSection(0, 200);
    EXPECT_EQ(grid.columns()[0].width, 200);
    EXPECT_EQ(grid.columns()[1].width, 100);
    EXPECT_EQ(grid.horizontalHeader()->length(), grid.viewport()->width());
    // narrower than its columns: nothing fills, widths are the columns' own
    grid.resize(200, 200);
    QApplication::processEvents();
    EXPECT_EQ(grid.columnWidth(1), 100);
}

TEST_F(WidgetsFixture, GridCellsAreReadOnlyUnlessSwitchedOn)
{
    addFive();
    ds->Open();
    DBGrid grid;
    grid.setDataSet(ds.get());
    grid.show();
    const QModelIndex esm = grid.model()->index(0, grid.dataModel()->fieldNames().indexOf(QStringLiteral("Esm")));
    EXPECT_FALSE(grid.model()->flags(esm) & Qt::ItemIsEditable);
    EXPECT_FALSE(grid.model()->setData(esm, QStringLiteral("x")));
    grid.setCurrentIndex(esm);
    typeText(&grid, QStringLiteral("x"));
    EXPECT_EQ(grid.cellEditor(), nullptr);
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);

    // switched on: stored fields only; calculated ones, the counter and read-only ones are not
    ds->Close();
    ds->addCalcField(QStringLiteral("calc"), db::FieldType::String, 20, QStringLiteral("محاسبه"));
    ds->fieldDef(QStringLiteral("Nov")).readOnly = true;
    ds->Open();
    grid.resetColumns();
    grid.setEditable(true);
    const struct {
        const char* field;
        bool editable;
    } fields[] = {{"Esm", true}, {"Price", true}, {"Dt", true}, {"ID", false}, {"Nov", false}, {"calc", false}};
    for (const auto& f : fields) {
        const int column = grid.dataModel()->fieldNames().indexOf(QString::fromLatin1(f.field));
        ASSERT_GE(column, 0) << f.field;
        EXPECT_EQ(bool(grid.model()->flags(grid.model()->index(0, column)) & Qt::ItemIsEditable), f.editable) << f.field;
    }
}

TEST_F(WidgetsFixture, TypingIntoAGridCellGoesThroughTheFieldLayer)
{
    addFive();
    ds->Open();
    EditForm form(ds.get());

    // typing opens the cell's editor and puts the record into edit state; Enter writes the
    // cell, keeps the record in edit and never reaches the window's default button
    form.goTo(1, 0);
    form.type(QStringLiteral("مينا"));
    ASSERT_NE(form.grid->cellEditor(), nullptr);
    EXPECT_EQ(ds->State(), db::DataSetState::Edit);
    EXPECT_EQ(form.grid->cellEditor()->text(), QStringLiteral("مينا"));
    form.key(Qt::Key_Return);
    EXPECT_EQ(form.grid->cellEditor(), nullptr);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("مينا"));
    EXPECT_EQ(ds->State(), db::DataSetState::Edit);
    EXPECT_EQ(form.defaultPresses, 0);

    // F2 opens the cell with its edit text
    form.goTo(1, 1);
    form.key(Qt::Key_F2);
    ASSERT_NE(form.grid->cellEditor(), nullptr);
    EXPECT_EQ(form.grid->cellEditor()->text(), QStringLiteral("250.5"));
    form.grid->cellEditor()->selectAll();
    typeText(form.grid->cellEditor(), QStringLiteral("3750000"));
    form.key(Qt::Key_Enter);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Price"))->AsFloat(), 3750000.0);
    EXPECT_EQ(form.defaultPresses, 0);

    // another row: the edited one is posted
    form.goTo(3, 0);
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);
    EXPECT_EQ(ds->CurrentRow(), 3);
    EXPECT_EQ(stored(2, "Esm").toString(), QStringLiteral("مينا"));
    EXPECT_EQ(stored(2, "Price").toDouble(), 3750000.0);

    // a masked date: the typed blanks stay as typed, like a bound edit box
    form.goTo(3, 2);
    form.key(Qt::Key_F2);
    ASSERT_NE(form.grid->cellEditor(), nullptr);
    form.grid->cellEditor()->selectAll();
    QTest::keyClick(form.grid->cellEditor(), Qt::Key_Delete);
    QTest::keyClicks(form.grid->cellEditor(), QStringLiteral("140305"));
    form.key(Qt::Key_Return);
    form.nav->BtnClick(NavButton::Post);
    EXPECT_EQ(stored(4, "Dt").toString(), QStringLiteral("1403/05/__"));
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(WidgetsFixture, ARefusedCellKeepsItsTextAndShowsTheFieldsMessage)
{
    addFive();
    ds->Open();
    EditForm form(ds.get());
    const QString longName = QString(31, QChar(0x0628));

    // the field layer's own message for a typed text
    const auto refusal = [&](const char* field, const QString& typed) {
        db::Field* f = ds->FieldByName(QString::fromLatin1(field));
        try {
            f->Coerce(typed, false);
        } catch (const db::DbError& e) {
            return e.message();
        }
        return f->TooLongMessage();
    };
    const struct {
        int column;
        QString typed;
        QString message;
        QString fixed;
    } cases[] = {
        {0, longName, refusal("Esm", longName), QStringLiteral("بهرام")},
        {1, QStringLiteral("12a"), refusal("Price", QStringLiteral("12a")), QStringLiteral("12")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        prompter.calls.clear();
        form.goTo(0, c.column);
        form.type(c.typed);
        form.key(Qt::Key_Return);
        // the field's message once, the editor still open with the typed text
        ASSERT_EQ(prompter.calls.size(), 1);
        EXPECT_EQ(prompter.calls[0].text, c.message);
        ASSERT_NE(form.grid->cellEditor(), nullptr);
        EXPECT_EQ(form.grid->cellEditor()->text(), c.typed);
        EXPECT_EQ(form.defaultPresses, 0);

        // leaving the row is refused too, quietly: the editor and the row stay
        form.goTo(2, c.column);
        EXPECT_EQ(prompter.calls.size(), 1);
        EXPECT_EQ(ds->CurrentRow(), 0);
        EXPECT_EQ(ds->State(), db::DataSetState::Edit);
        ASSERT_NE(form.grid->cellEditor(), nullptr);
        QApplication::processEvents();

        // Enter again names the fault again
        form.key(Qt::Key_Return);
        EXPECT_EQ(prompter.calls.size(), 2);

        // corrected, the text is written; the navigator posts the row
        form.grid->cellEditor()->selectAll();
        typeText(form.grid->cellEditor(), c.fixed);
        form.nav->BtnClick(NavButton::Post);
        EXPECT_EQ(form.grid->cellEditor(), nullptr);
        EXPECT_EQ(ds->State(), db::DataSetState::Browse);
        EXPECT_EQ(prompter.calls.size(), 2);
    }
    EXPECT_EQ(stored(1, "Esm").toString(), QStringLiteral("بهرام"));
    EXPECT_EQ(stored(1, "Price").toDouble(), 12.0);
}

TEST_F(WidgetsFixture, EscapeDropsTheCellThenTheRowAndTheGateRefusesEdits)
{
    addFive();
    ds->Open();
    EditForm form(ds.get());

    // Escape drops the cell's typing; a second one cancels what the row's other cells took
    form.goTo(0, 1);
    form.type(QStringLiteral("7"));
    form.key(Qt::Key_Return);
    form.goTo(0, 0);
    form.type(QStringLiteral("x"));
    form.key(Qt::Key_Escape);
    EXPECT_EQ(form.grid->cellEditor(), nullptr);
    EXPECT_EQ(ds->State(), db::DataSetState::Edit);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("احمد رضايي"));
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Price"))->AsFloat(), 7.0);
    form.key(Qt::Key_Escape);
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Price"))->AsFloat(), 1500000.0);
    EXPECT_TRUE(form.window.isVisible());

    // a refused edit (no right to change stored rows) opens nothing and changes nothing
    const QString refused = QStringLiteral("امکان حذف يا تغيير دادن اطلاعات براي کاربر فعلي وجود ندارد");
    ds->BeforeEdit = [&](db::DataSet&) { throw db::DbError(db::ErrorCategory::Other, refused); };
    form.goTo(1, 0);
    form.type(QStringLiteral("x"));
    EXPECT_EQ(form.grid->cellEditor(), nullptr);
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);
    EXPECT_EQ(ds->CurrentRow(), 1);
    EXPECT_EQ(prompter.messages(), QStringList{refused});
    // opened with F2, the first typed letter meets the same gate
    form.key(Qt::Key_F2);
    ASSERT_NE(form.grid->cellEditor(), nullptr);
    typeText(form.grid->cellEditor(), QStringLiteral("y"));
    QApplication::processEvents();
    EXPECT_EQ(form.grid->cellEditor(), nullptr);
    EXPECT_EQ(prompter.messages(), (QStringList{refused, refused}));
    EXPECT_EQ(stored(2, "Esm").toString(), QStringLiteral("بهرام کريمي"));

    // inserting is not gated: the navigator's new row takes typing and is posted
    prompter.calls.clear();
    form.nav->BtnClick(NavButton::Insert);
    EXPECT_EQ(ds->State(), db::DataSetState::Insert);
    form.type(QStringLiteral("ژيلا"));
    form.key(Qt::Key_Tab);
    ASSERT_NE(form.grid->cellEditor(), nullptr);
    typeText(form.grid->cellEditor(), QStringLiteral("42"));
    form.nav->BtnClick(NavButton::Post);
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);
    EXPECT_EQ(form.grid->cellEditor(), nullptr);
    EXPECT_EQ(conn().scalar(QStringLiteral("select Price from T_Prop where Esm = $1"), {QStringLiteral("ژيلا")}).toDouble(),
              42.0);
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(WidgetsFixture, TypingSurvivesRowsArrivingWhileACellIsEdited)
{
    addFive();
    ds->Open();
    EditForm form(ds.get());
    form.goTo(2, 0);
    form.type(QStringLiteral("پري"));
    // the dataset tells its views to read everything again (rows arrived, a refresh)
    emit ds->layoutChanged();
    ASSERT_NE(form.grid->cellEditor(), nullptr);
    EXPECT_EQ(form.grid->cellEditor()->index(), form.cell(2, 0));
    EXPECT_EQ(form.grid->cellEditor()->text(), QStringLiteral("پري"));
    form.key(Qt::Key_Return);
    form.nav->BtnClick(NavButton::Post);
    EXPECT_EQ(stored(3, "Esm").toString(), QStringLiteral("پري"));
}
