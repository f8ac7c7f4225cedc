// The grid printout: layout of the columns, title block, pages, rows chosen, footer total.
#include "platform/widgets_fixture.h"

#include "platform/report/Fonts.h"
#include "platform/report/PreparedReport.h"
#include "platform/report/Renderer.h"
#include "platform/widgets/DBGrid.h"
#include "ui/PrintGrid.h"

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
    // No with nothing selected: title, headers and footer, no rows
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
