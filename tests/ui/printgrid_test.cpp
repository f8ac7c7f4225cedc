// The grid printout: layout of the columns, title block, pages, rows chosen, footer total.
#include "platform/widgets_fixture.h"

#include "platform/report/Fonts.h"
#include "platform/report/PreparedReport.h"
#include "platform/report/Renderer.h"
#include "platform/widgets/DBGrid.h"
#include "ui/PrintGrid.h"
#include "ui/TPFrmPrnLv.h"
#include "support/ReportChecks.h"

#include <QMap>
#include <QRegularExpression>

using namespace widgets;
using testing_support::WidgetsFixture;

namespace {

const QString kTitle = QStringLiteral("فهرست املاک");

int widthOf(const report::PreparedReport& r, const QString& name)
{
    const auto hits = r.findNamed(name);
    return hits.isEmpty() ? -1 : hits.first().item->rect.width() + 16;   // with the cell's inner padding
}

} // namespace

class PrintGridTest : public WidgetsFixture {
protected:
    void SetUp() override
    {
        WidgetsFixture::SetUp();
        report::installFontSubstitutions();
        settings.paperOrdinal = 9;
        settings.orientation = 0;
        settings.bodyFont = QFont(QStringLiteral("tahoma"), 10);
        settings.reportTitle = QStringLiteral("آژانس املاک نمونه");
        settings.economicCode = QStringLiteral("411-1234-5678");
        settings.today = QStringLiteral("1403/05/12");
        settings.time = QStringLiteral("14:30");
        prompter.onPreview = [this](report::PreparedReport& r) { shown = r; };
    }

    void openGrid()
    {
        ds->Open();
        grid.setDataSet(ds.get());
        grid.setColumns({{QStringLiteral("Esm"), QStringLiteral("نام مالک"), 160, true},
                         {QStringLiteral("ID"), QStringLiteral("کد"), 50, false},
                         {QStringLiteral("Price"), QStringLiteral("قيمت"), 120, true},
                         {QStringLiteral("Dt"), QStringLiteral("تاريخ"), 100, true}});
    }

    void print(bool allRows, const QString& sumField = {}, const QString& sumLabel = {}, const QString& footer = {})
    {
        PrintGrid(settings, &grid, kTitle, footer, allRows, 0, sumField, sumLabel, true);
    }

    QString textOf(const QString& name) const
    {
        const auto hits = shown.findNamed(name);
        return hits.isEmpty() ? QStringLiteral("<none>") : hits.first().item->text;
    }

    GridPrintSettings settings;
    DBGrid grid;
    report::PreparedReport shown;
};

TEST_F(PrintGridTest, ColumnsFillTheWidthRightToLeft)
{
    addFive();
    openGrid();
    print(true);
    ASSERT_EQ(prompter.previewCount, 1);
    EXPECT_TRUE(prompter.messages().isEmpty());    // all rows: no question
    EXPECT_EQ(shown.paperSize, QSize(2100, 2970));
    // W = 2100 - 100 - 100 - 20 = 1880, shared 160 : 120 : 100 by the visible columns
    const int esm = widthOf(shown, QStringLiteral("hdr_Esm"));
    const int price = widthOf(shown, QStringLiteral("hdr_Price"));
    const int dt = widthOf(shown, QStringLiteral("hdr_Dt"));
    EXPECT_EQ(esm, 1880 * 160 / 380);
    EXPECT_EQ(price, 1880 * 120 / 380);
    EXPECT_EQ(dt, 1880 * 100 / 380);
    EXPECT_NEAR(esm + price + dt, 1880, 2);
    EXPECT_TRUE(shown.findNamed(QStringLiteral("hdr_ID")).isEmpty());
    // the first grid column prints rightmost, the last one at the left margin
    const QRect rEsm = shown.findNamed(QStringLiteral("hdr_Esm")).first().item->rect;
    const QRect rPrice = shown.findNamed(QStringLiteral("hdr_Price")).first().item->rect;
    const QRect rDt = shown.findNamed(QStringLiteral("hdr_Dt")).first().item->rect;
    EXPECT_EQ(rDt.left(), 100 + 8);
    EXPECT_GT(rPrice.left(), rDt.left());
    EXPECT_GT(rEsm.left(), rPrice.left());
    EXPECT_EQ(textOf(QStringLiteral("hdr_Esm")), QStringLiteral("نام مالک"));
    // separators between the columns, not at the rightmost edge
    EXPECT_EQ(shown.findNamed(QStringLiteral("columnLine")).size(), 2);
    // cells show the display text, grouped
    EXPECT_EQ(shown.findNamed(QStringLiteral("cell_Price"))[2].item->text, QStringLiteral("98,000,000"));
}

TEST_F(PrintGridTest, TitleBlockWithAndWithoutReportTitle)
{
    addFive();
    openGrid();
    print(true);
    EXPECT_EQ(textOf(QStringLiteral("QTltFirstLine")),
              QStringLiteral("آژانس املاک نمونه\r\nکد اقتصادي: 411-1234-5678\r\nفهرست املاک"));
    EXPECT_EQ(textOf(QStringLiteral("QRLabel1")), QStringLiteral("1403/05/12-14:30"));
    settings.reportTitle.clear();
    settings.economicCode.clear();
    print(true);
    EXPECT_EQ(textOf(QStringLiteral("QTltFirstLine")), QStringLiteral("کد اقتصادي: \r\nفهرست املاک"));
}

TEST_F(PrintGridTest, ManyRowsRunOverPagesWithHeadersRepeated)
{
    conn().exec(QStringLiteral("BEGIN"));
    for (int i = 1; i <= 200; ++i)
        add(QStringLiteral("مالک شماره %1").arg(i), i * 1000.0);
    conn().exec(QStringLiteral("COMMIT"));
    openGrid();
    ds->SetRecNo(37);
    int scrolls = 0;
    ds->AfterScroll = [&](db::DataSet&) { ++scrolls; };
    print(true, QStringLiteral("Price"), QStringLiteral("مجموع: "));
    const int pages = shown.pageCount();
    ASSERT_GE(pages, 3);
    EXPECT_EQ(shown.findNamed(QStringLiteral("hdr_Esm")).size(), pages);
    const auto titles = shown.findNamed(QStringLiteral("QTltFirstLine"));
    ASSERT_EQ(titles.size(), 1);
    EXPECT_EQ(titles.first().page, 0);
    const auto cells = shown.findNamed(QStringLiteral("cell_Esm"));
    ASSERT_EQ(cells.size(), 200);
    EXPECT_EQ(cells.first().item->text, QStringLiteral("مالک شماره 1"));
    EXPECT_EQ(cells.last().item->text, QStringLiteral("مالک شماره 200"));
    EXPECT_EQ(cells.last().page, pages - 1);
    // rows stay inside the page's margins
    for (const auto& hit : cells)
        EXPECT_LE(hit.item->rect.bottom(), 2970 - 100);
    EXPECT_EQ(textOf(QStringLiteral("QLblTasMoneys")), QStringLiteral("مجموع: 20,100,000"));
    // the shared current row did not move
    EXPECT_EQ(ds->RecNo(), 37);
    EXPECT_EQ(scrolls, 0);

    const QString dir = qEnvironmentVariable("DOVIN_SHOT_DIR");
    if (!dir.isEmpty())
        report::renderPageImage(shown, 0, 100).save(dir + QStringLiteral("/printgrid_page1.png"));

    // every third row selected: 67 rows over three pages, the total of those rows only
    double expected = 0;
    for (int row = 0; row < 200; row += 3) {
        ds->SelectRow(row, true);
        expected += (row + 1) * 1000.0;
    }
    prompter.answer(shell::ResultNo);
    print(false, QStringLiteral("Price"), QStringLiteral("مجموع: "));
    EXPECT_EQ(shown.findNamed(QStringLiteral("cell_Esm")).size(), 67);
    EXPECT_EQ(shown.findNamed(QStringLiteral("cell_Esm"))[1].item->text, QStringLiteral("مالک شماره 4"));
    EXPECT_EQ(textOf(QStringLiteral("QLblTasMoneys")), QStringLiteral("مجموع: ") + QStringLiteral("6,700,000"));
    EXPECT_EQ(expected, 6700000.0);
    EXPECT_EQ(shown.pageCount(), 3);
    if (!dir.isEmpty())
        EXPECT_TRUE(report::writePdf(shown, dir + QStringLiteral("/printgrid.pdf")));
}

TEST_F(PrintGridTest, SelectedRowsOnlyOrNone)
{
    addFive();
    openGrid();
    // No with nothing selected (the current row's highlight taken away): title, headers and footer, no rows
    ds->SelectRow(ds->CurrentRow(), false);
    prompter.answer(shell::ResultNo);
    print(false, QStringLiteral("Price"), QStringLiteral("مجموع: "));
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].what, QStringLiteral("preview"));
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("آيا تمامي رديف ها چاپ شوند؟"));
    EXPECT_EQ(prompter.calls[0].kind, 2);
    EXPECT_EQ(prompter.calls[0].buttons, 4 | 8 | 2);
    ASSERT_EQ(prompter.previewCount, 1);
    EXPECT_EQ(shown.pageCount(), 1);
    EXPECT_EQ(shown.findNamed(QStringLiteral("hdr_Esm")).size(), 1);
    EXPECT_TRUE(shown.findNamed(QStringLiteral("cell_Esm")).isEmpty());
    EXPECT_EQ(textOf(QStringLiteral("QLblTasMoneys")), QStringLiteral("مجموع: 0"));

    // No with two rows selected: only those, and the total of the hidden-or-not sum field
    ds->SelectRow(0, true);
    ds->SelectRow(1, true);
    grid.setColumns({{QStringLiteral("Esm"), QStringLiteral("نام مالک"), 160, true},
                     {QStringLiteral("Price"), QStringLiteral("قيمت"), 120, false}});
    prompter.answer(shell::ResultNo);
    print(false, QStringLiteral("Price"), QStringLiteral("مجموع: "), QStringLiteral("هزينه ها"));
    const auto cells = shown.findNamed(QStringLiteral("cell_Esm"));
    ASSERT_EQ(cells.size(), 2);
    EXPECT_EQ(cells[1].item->text, QStringLiteral("بهرام کريمي"));
    EXPECT_TRUE(shown.findNamed(QStringLiteral("cell_Price")).isEmpty());
    EXPECT_EQ(textOf(QStringLiteral("QLblTasMoneys")), QStringLiteral("هزينه ها\rمجموع: 1,500,250.5"));
    // a single printed column takes the whole width
    EXPECT_EQ(widthOf(shown, QStringLiteral("hdr_Esm")), 1880);

    // Yes prints every row
    prompter.answer(shell::ResultYes);
    print(false);
    EXPECT_EQ(shown.findNamed(QStringLiteral("cell_Esm")).size(), 5);
    EXPECT_EQ(textOf(QStringLiteral("QLblTasMoneys")), QString());
}

TEST_F(PrintGridTest, CancelOrNoRowsOpensNothing)
{
    openGrid();
    print(false);
    EXPECT_TRUE(prompter.calls.isEmpty());
    EXPECT_EQ(prompter.previewCount, 0);
    ds->Close();
    addFive();
    openGrid();
    prompter.answer(shell::ResultCancel);
    print(false);
    EXPECT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.previewCount, 0);
}

namespace {

// n columns over the same field: a grid as wide as the deal list's.
QVector<GridColumn> repeated(const QString& field, const QString& title, int n, int width)
{
    QVector<GridColumn> cols;
    for (int i = 0; i < n; ++i)
        cols.append({field, title, width, true});
    return cols;
}

} // namespace

TEST_F(PrintGridTest, AmountsDatesAndWordsPrintWholeTheFontShrinkingOnlyWhenNeeded)
{
    const QString longWord = QStringLiteral("عبدالحسين‌زاده‌خراساني‌تبريزي");
    add(QStringLiteral("احمد رضايي"), 498800000, QStringLiteral("1401/09/30"));
    add(longWord + QStringLiteral(" نيک"), -3000, QStringLiteral("1402/12/29"));
    add(QStringLiteral("پروين صادقي"), 12345678901.5, QStringLiteral("1403/01/06"));
    add(QStringLiteral("ب"), -25850000.125, QStringLiteral("1399/01/01"));
    ds->Open();
    grid.setDataSet(ds.get());
    const QStringList amounts{QStringLiteral("498,800,000"), QStringLiteral("-3,000"), QStringLiteral("12,345,678,901.5"),
                              QStringLiteral("-25,850,000.125")};
    const QStringList dates{QStringLiteral("1401/09/30"), QStringLiteral("1402/12/29"), QStringLiteral("1403/01/06"),
                            QStringLiteral("1399/01/01")};

    struct Case {
        const char* what;
        int orientation;
        int amountColumns;
        int screenWidth;       // of each amount column; the name column is 160, the date 100
        int fontPoints;
        bool smaller;          // the table prints below the report font
        int groups;            // groups of columns, each on pages of its own
    } cases[] = {
        {"three columns", 0, 1, 120, 10, false, 1},
        {"narrow on screen, room on paper", 0, 3, 20, 10, false, 1},
        {"eight columns, portrait", 0, 6, 90, 10, true, 1},
        {"eight columns, landscape", 1, 6, 90, 10, false, 1},
        {"eight columns, large font", 1, 6, 90, 16, true, 1},
        // the amounts cannot stand side by side even at the minimum: groups of columns
        {"twenty-five amounts, portrait", 0, 23, 90, 10, true, 4},
        {"twenty-five amounts, landscape", 1, 23, 90, 10, true, 3},
    };
    for (const Case& c : cases) {
        settings.orientation = c.orientation;
        settings.bodyFont = QFont(QStringLiteral("tahoma"), c.fontPoints);
        QVector<GridColumn> cols{{QStringLiteral("Esm"), QStringLiteral("نام مالک"), 160, true}};
        cols += repeated(QStringLiteral("Price"), QStringLiteral("قيمت"), c.amountColumns, c.screenWidth);
        cols.append({QStringLiteral("Dt"), QStringLiteral("تاريخ"), 100, true});
        grid.setColumns(cols);
        print(true);
        SCOPED_TRACE(c.what);
        const QStringList faults = testing_support::reportTextFaults(shown);
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();

        // every amount and date stands whole on one line of its own cell
        const auto prices = shown.findNamed(QStringLiteral("cell_Price"));
        ASSERT_EQ(prices.size(), 4 * c.amountColumns);
        QMap<QString, int> printed;
        for (const auto& hit : prices) {
            EXPECT_EQ(testing_support::laidOutLines(*hit.item), QStringList{hit.item->text});
            ++printed[hit.item->text];
        }
        for (const QString& amount : amounts)
            EXPECT_EQ(printed.value(amount), c.amountColumns) << amount.toStdString();
        const auto dts = shown.findNamed(QStringLiteral("cell_Dt"));
        ASSERT_EQ(dts.size(), 4);
        for (int i = 0; i < 4; ++i)
            EXPECT_EQ(testing_support::laidOutLines(*dts[i].item), QStringList{dates[i]});

        const double points = prices.first().item->font.pointSizeF();
        EXPECT_EQ(points < c.fontPoints, c.smaller) << points;
        EXPECT_GE(points, report::kMinFontPoints);
        // the whole table shares one size, the titles two points larger
        for (const QString& name : {QStringLiteral("cell_Esm"), QStringLiteral("cell_Dt")})
            EXPECT_EQ(shown.findNamed(name).first().item->font.pointSizeF(), points) << name.toStdString();
        EXPECT_EQ(shown.findNamed(QStringLiteral("hdr_Price")).first().item->font.pointSizeF(), points + 2);
        // a page for each group, the first column (here the name) repeated on each
        EXPECT_EQ(shown.pageCount(), c.groups);
        EXPECT_EQ(shown.findNamed(QStringLiteral("hdr_Esm")).size(), c.groups);
        EXPECT_EQ(shown.findNamed(QStringLiteral("hdr_Dt")).size(), 1);
        EXPECT_EQ(shown.findNamed(QStringLiteral("hdr_Dt")).first().page, c.groups - 1);
        // the page stays the user's
        EXPECT_EQ(shown.orientation, c.orientation);

        // the long name stays one word while the font can shrink for it
        const QStringList nameLines = testing_support::laidOutLines(*shown.findNamed(QStringLiteral("cell_Esm"))[1].item);
        const bool whole = std::any_of(nameLines.begin(), nameLines.end(), [&](const QString& l) { return l.contains(longWord); });
        EXPECT_TRUE(whole) << nameLines.join(QLatin1String(" | ")).toStdString();
        EXPECT_EQ(nameLines.join(QString()).remove(QLatin1Char(' ')), longWord + QStringLiteral("نيک"));
    }
}

TEST_F(PrintGridTest, HeaderCaptionsWrapBetweenWordsAndTheRowsStartBelowThem)
{
    addFive();
    ds->Open();
    grid.setDataSet(ds.get());
    const QString longTitle = QStringLiteral("مبلغ قابل پرداخت با ماليات و عوارض");
    QVector<GridColumn> cols{{QStringLiteral("Esm"), QStringLiteral("نام مالک"), 400, true},
                             {QStringLiteral("Price"), longTitle, 40, true},
                             {QStringLiteral("Dt"), QStringLiteral("تاريخ سند"), 40, true}};
    grid.setColumns(cols);
    print(true);
    const auto faults = testing_support::reportTextFaults(shown);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
    const report::ReportItem& head = *shown.findNamed(QStringLiteral("hdr_Price")).first().item;
    const QStringList lines = testing_support::laidOutLines(head);
    EXPECT_GT(lines.size(), 1);
    EXPECT_EQ(lines.join(QLatin1Char(' ')), longTitle);
    EXPECT_EQ(head.font.pointSizeF(), 12);    // wrapping, not shrinking
    // the header band holds every caption line, and the first row starts below it
    const QRect firstRow = shown.findNamed(QStringLiteral("cell_Price")).first().item->rect;
    EXPECT_LE(head.rect.bottom(), firstRow.top());
    const auto frames = shown.findNamed(QStringLiteral("ColumnHeaderBand1"));
    ASSERT_EQ(frames.size(), 1);
    EXPECT_GE(frames.first().item->rect.bottom(), head.rect.bottom());
}

TEST_F(PrintGridTest, ACancelledPrintoutOpensNoPreview)
{
    conn().exec(QStringLiteral("BEGIN"));
    for (int i = 1; i <= 300; ++i)
        add(QStringLiteral("مالک شماره %1").arg(i), i * 1000.0);
    conn().exec(QStringLiteral("COMMIT"));
    openGrid();
    prompter.cancelWork = true;
    print(true);
    EXPECT_EQ(prompter.previewCount, 0);
    EXPECT_EQ(prompter.progressTitles, QStringList{QStringLiteral("چاپ ") + kTitle});
    // the list is as it was: the next printout runs to its end
    prompter.cancelWork = false;
    print(true);
    EXPECT_EQ(prompter.previewCount, 1);
    EXPECT_EQ(shown.findNamed(QStringLiteral("cell_Esm")).size(), 300);
}

TEST_F(PrintGridTest, ColumnGroupsKeepTheRowsTheTotalAndTheSelection)
{
    // a thousand rows and more; one remark is a single word wider than the paper
    const QString endless = QString(400, QChar(0x0628));
    conn().exec(QStringLiteral("BEGIN"));
    for (int i = 1; i <= 1200; ++i)
        add(i % 2 ? QStringLiteral("فاطمه محمدي %1").arg(i) : QStringLiteral("عبدالحسين‌زاده‌خراساني"), i * 1000.0);
    conn().exec(QStringLiteral("update T_Prop set Note = 'قرارداد اجاره واحد تجاري' where ID > 1"));
    conn().exec(QStringLiteral("update T_Prop set Note = $1 where ID = 1"), {endless});
    conn().exec(QStringLiteral("COMMIT"));
    ds->Open();
    grid.setDataSet(ds.get());
    QVector<GridColumn> cols{{QStringLiteral("ID"), QStringLiteral("رديف"), 40, true},
                             {QStringLiteral("Esm"), QStringLiteral("نام مالک"), 160, true}};
    for (int i = 1; i <= 10; ++i)
        cols.append({QStringLiteral("Price"), QStringLiteral("قيمت %1").arg(i), 100, true});
    cols.append({QStringLiteral("Dt"), QStringLiteral("تاريخ"), 100, true});
    cols.append({QStringLiteral("Note"), QStringLiteral("توضيحات"), 200, true});
    grid.setColumns(cols);

    // groups: runs of pages with the same titles, right to left
    struct Group {
        QStringList titles;
        QList<int> pages;
    };
    auto groupsOf = [](const report::PreparedReport& r) {
        QList<Group> groups;
        for (int p = 0; p < r.pageCount(); ++p) {
            QList<const report::ReportItem*> heads;
            for (const report::ReportItem& item : r.pages[p].items)
                if (item.name.startsWith(QLatin1String("hdr_")))
                    heads.append(&item);
            std::sort(heads.begin(), heads.end(), [](auto a, auto b) { return a->rect.left() > b->rect.left(); });
            QStringList titles;
            for (const report::ReportItem* h : heads)
                titles << h->text;
            if (groups.isEmpty() || groups.last().titles != titles)
                groups.append({titles, {}});
            groups.last().pages.append(p);
        }
        return groups;
    };

    struct Case {
        const char* what;
        bool allRows;
        int rows;
        const char* total;
    } cases[] = {
        {"all rows", true, 1200, "مجموع: 720,600,000"},
        {"every third row", false, 400, "مجموع: 239,800,000"},
    };
    for (int row = 0; row < 1200; ++row)
        ds->SelectRow(row, row % 3 == 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        if (!c.allRows)
            prompter.answer(shell::ResultNo);
        print(c.allRows, QStringLiteral("Price"), QStringLiteral("مجموع: "));
        ASSERT_EQ(shown.orientation, 0);
        // only the word wider than the paper breaks, in its own column
        const QStringList faults = testing_support::reportTextFaults(shown);
        for (const QString& f : faults)
            EXPECT_TRUE(f.startsWith(QStringLiteral("page ")) && f.contains(QStringLiteral(", cell_Note: split")) &&
                        f.contains(QString(20, QChar(0x0628))))
                << f.toStdString();
        EXPECT_FALSE(faults.isEmpty());

        const QList<Group> groups = groupsOf(shown);
        ASSERT_GE(groups.size(), 2);
        QStringList seen;
        QList<QStringList> rowsOf;
        for (int k = 0; k < groups.size(); ++k) {
            const Group& g = groups[k];
            EXPECT_EQ(g.titles.value(0), QStringLiteral("رديف"));
            seen += g.titles.mid(1);
            QStringList rows;
            for (int page : g.pages)
                for (const report::ReportItem& item : shown.pages[page].items)
                    if (item.name == QLatin1String("cell_ID"))
                        rows << item.text + QLatin1Char('@') + QString::number(page - g.pages.first());
            EXPECT_EQ(rows.size(), c.rows);
            rowsOf << rows;
            // the footer with the total closes every group
            const auto totals = shown.findNamed(QStringLiteral("QLblTasMoneys"));
            ASSERT_EQ(totals.size(), groups.size());
            EXPECT_EQ(totals[k].page, g.pages.last());
            EXPECT_EQ(totals[k].item->text, QString::fromUtf8(c.total));
        }
        // the same rows on the same pages of every group
        for (const QStringList& rows : rowsOf)
            EXPECT_EQ(rows, rowsOf.first());
        QStringList expected;
        for (int i = 1; i < cols.size(); ++i)
            expected << cols[i].title;
        EXPECT_EQ(seen, expected);
        // the word wider than the paper breaks only in its own group
        const auto notes = shown.findNamed(QStringLiteral("cell_Note"));
        ASSERT_EQ(notes.size(), c.rows);
        EXPECT_TRUE(notes.first().item->breakWords);
        for (const auto& hit : shown.findNamed(QStringLiteral("cell_Esm")))
            ASSERT_FALSE(hit.item->breakWords);
    }
}

TEST_F(PrintGridTest, NumbersMeasuredOnceByTheirShapePrintAsEachMeasuredByItself)
{
    // amounts, dates, telephones beside letters, Latin codes, negative amounts, a word wider
    // than the paper (its column broken) and texts wrapping over lines
    conn().exec(QStringLiteral("BEGIN"));
    for (int i = 1; i <= 1200; ++i) {
        const QString phones = QStringLiteral("خانه:0912%1موبايل:0935%2 محل کار:021%3").arg(1000000 + i * 7919 % 9000000).arg(i * 31).arg(i % 97);
        const QString name = i % 3 == 0 ? phones
                             : i % 3 == 1 ? QStringLiteral("AB%1C مالک %2").arg(i * 13).arg(i)
                                          : QStringLiteral("واحد %1 طبقه %2 پلاک -%3").arg(i % 40).arg(i % 9).arg(i);
        add(name, (i % 5 == 0 ? -1.0 : 1.0) * i * 104729.25, QStringLiteral("14%1/%2/%3").arg(i % 100, 2, 10, QLatin1Char('0'))
                .arg(i % 12 + 1, 2, 10, QLatin1Char('0')).arg(i % 29 + 1, 2, 10, QLatin1Char('0')));
    }
    conn().exec(QStringLiteral("update T_Prop set Note = 'قرارداد ' || ID || ' ماهه از 1403/0' || (ID % 9 + 1) || '/1' || (ID % 10) || ' به مبلغ ' || (ID * 7727) || ' ريال' where ID % 2 = 0"));
    conn().exec(QStringLiteral("update T_Prop set Note = $1 where ID % 300 = 0"),
                {QStringLiteral("خانه:09121234567موبايل:09351234 محل کار:02144").repeated(6).remove(QLatin1Char(' '))});
    conn().exec(QStringLiteral("COMMIT"));
    ds->Open();
    grid.setDataSet(ds.get());
    QVector<int> rows;
    for (int r = 0; r < 1200; ++r)
        rows.append(r);

    struct Case {
        const char* what;
        int orientation;
        int amountColumns;
        int nameWidth;
    } cases[] = {
        {"portrait", 0, 1, 60},
        {"landscape", 1, 2, 200},
        {"groups of columns", 0, 16, 40},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        settings.orientation = c.orientation;
        QVector<GridColumn> cols{{QStringLiteral("ID"), QStringLiteral("رديف"), 40, true},
                                 {QStringLiteral("Esm"), QStringLiteral("نام مالک"), c.nameWidth, true}};
        cols += repeated(QStringLiteral("Price"), QStringLiteral("قيمت"), c.amountColumns, 90);
        cols.append({QStringLiteral("Dt"), QStringLiteral("تاريخ"), 60, true});
        cols.append({QStringLiteral("Note"), QStringLiteral("توضيحات"), 120, c.amountColumns > 10});
        grid.setColumns(cols);
        auto prepared = [&](bool alike) {
            TPFrmPrnLv form(settings, &grid);
            form.QuickRep1.measureAlike = alike;
            form.build(kTitle, QStringLiteral("1403/05/12-14:30"), QStringLiteral("مجموع: 0"), 0, rows);
            return form.prepare();
        };
        const report::PreparedReport once = prepared(true);
        const report::PreparedReport each = prepared(false);
        ASSERT_EQ(once.pageCount(), each.pageCount());
        ASSERT_GT(once.pageCount(), 2);
        // the groups' pages, and texts both broken and shrunk in them
        EXPECT_EQ(once.findNamed(QStringLiteral("hdr_ID")).size() > once.findNamed(QStringLiteral("hdr_Dt")).size(),
                  c.amountColumns > 10);
        int broken = 0;
        for (int p = 0; p < once.pageCount(); ++p) {
            const auto a = once.pages.page(p);
            const auto b = each.pages.page(p);
            ASSERT_EQ(a->items.size(), b->items.size()) << p;
            for (qsizetype i = 0; i < a->items.size(); ++i) {
                const report::ReportItem& x = a->items[i];
                const report::ReportItem& y = b->items[i];
                ASSERT_TRUE(x.name == y.name && x.rect == y.rect && x.text == y.text && x.font == y.font &&
                            x.breakWords == y.breakWords && x.clip == y.clip && x.line == y.line)
                    << "page " << p << " " << x.name.toStdString() << " " << x.text.toStdString();
                broken += x.breakWords;
            }
        }
        EXPECT_EQ(broken > 0, c.amountColumns > 10);
        for (int p : {0, once.pageCount() / 2, once.pageCount() - 1})
            EXPECT_TRUE(report::renderPageImage(once, p, 100) == report::renderPageImage(each, p, 100)) << p;
    }
}
