// Banded report layout: paper, page flow, stretching, rich text, page numbers.
#include "platform/report/Fonts.h"
#include "platform/report/Report.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace report;

namespace {

class ReportLayout : public ::testing::Test {
protected:
    void SetUp() override { installFontSubstitutions(); }
};

int pageOf(const PreparedReport& r, const QString& text)
{
    const auto hits = r.findText(text);
    return hits.size() == 1 ? hits.first().page : -1;
}

// Title, column header, page footer "n of m", 120 detail rows and a summary.
void buildList(Report& rep, int rows)
{
    rep.band(BandType::Title, 150).addText("title", QRect(0, 0, 1900, 150), QStringLiteral("فهرست املاک"));
    Band& columns = rep.band(BandType::ColumnHeader, 60);
    columns.frame = Frame::all(2);
    columns.addText("hdrRow", QRect(1700, 0, 200, 60), QStringLiteral("رديف"));
    Band& detail = rep.band(BandType::Detail, 50);
    auto& cell = detail.addText("cellRow", QRect(1700, 0, 200, 50));
    cell.onPrint = [&rep] { return QStringLiteral("row %1").arg(rep.currentRow() + 1); };
    detail.columnLines.push_back({1700, 5});
    rep.band(BandType::Summary, 80).addText("sum", QRect(0, 0, 1900, 80), QStringLiteral("مجموع: 120"));
    rep.band(BandType::PageFooter, 60).addPageNumber("pageNo", QRect(0, 0, 1900, 60), QStringLiteral("صفحه %1 از %2"));
    rep.rowCount = rows;
}

} // namespace

TEST_F(ReportLayout, PaperByOrdinalAndOrientation)
{
    struct Case { int ordinal; int orientation; QSize size; };
    const Case cases[] = {
        {9, Portrait, {2100, 2970}},  {9, Landscape, {2970, 2100}}, {10, Portrait, {2100, 2970}},
        {1, Portrait, {2159, 2794}},  {8, Portrait, {2970, 4200}},  {11, Landscape, {2100, 1480}},
        {19, Portrait, {984, 2254}},  {26, Portrait, {1000, 1000}}, {99, Portrait, {2100, 2970}},
        {-1, Landscape, {2970, 2100}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(paperSize(c.ordinal, c.orientation), c.size) << c.ordinal << " " << c.orientation;
    ASSERT_EQ(paperList().size(), 26);
    EXPECT_EQ(paperList().at(8).text, QStringLiteral("210.0 * 297.0 { A4 }"));
    EXPECT_EQ(paperList().at(21).text, QStringLiteral("101.6 * 279.4 { Envelope #12 - might be wrong !! }"));
    for (int i = 0; i < paperList().size(); ++i)
        EXPECT_EQ(paperList().at(i).ordinal, i + 1);

    Report a4(9, Portrait);
    EXPECT_EQ(a4.printableWidth(), 1900);
    a4.setPaper(9, Landscape);
    EXPECT_EQ(a4.printableWidth(), 2770);
    EXPECT_EQ(a4.prepare().paperSize, QSize(2970, 2100));
}

TEST_F(ReportLayout, BandsFlowOverPages)
{
    Report rep;
    buildList(rep, 120);
    const PreparedReport r = rep.prepare();
    const int pages = r.pageCount();
    ASSERT_GE(pages, 3);

    EXPECT_EQ(r.findText(QStringLiteral("فهرست املاک")).size(), 1);
    EXPECT_EQ(pageOf(r, QStringLiteral("فهرست املاک")), 0);
    // Column header on every page: after the title on page 1, at the top margin after that.
    const auto headers = r.findNamed("hdrRow");
    ASSERT_EQ(headers.size(), pages);
    EXPECT_EQ(headers[0].item->rect.top(), 100 + 150);
    for (int p = 1; p < pages; ++p) {
        EXPECT_EQ(headers[p].page, p);
        EXPECT_EQ(headers[p].item->rect.top(), 100);
    }
    // Every row once, in order, contiguous, above the footer.
    int lastPage = 0, lastBottom = 0;
    for (int i = 1; i <= 120; ++i) {
        QList<PreparedReport::Hit> hits;
        for (const auto& h : r.findText(QStringLiteral("row %1").arg(i)))
            if (h.item->text == QStringLiteral("row %1").arg(i))
                hits << h;
        ASSERT_EQ(hits.size(), 1) << i;
        const QRect rc = hits.first().item->rect;
        EXPECT_LE(rc.bottom() + 1, 2970 - 100 - 60) << i;
        if (hits.first().page == lastPage && i > 1)
            EXPECT_EQ(rc.top(), lastBottom) << i;
        else if (i > 1)
            EXPECT_EQ(rc.top(), 100 + 60) << i;   // right below the repeated header
        EXPECT_GE(hits.first().page, lastPage);
        lastPage = hits.first().page;
        lastBottom = rc.bottom() + 1;
    }
    // Summary once, on the last page, below the last row.
    const auto sum = r.findText(QStringLiteral("مجموع: 120"));
    ASSERT_EQ(sum.size(), 1);
    EXPECT_EQ(sum.first().page, pages - 1);
    EXPECT_EQ(sum.first().item->rect.top(), lastBottom);
    // Page numbers "n of m" at the bottom margin of every page.
    const auto numbers = r.findNamed("pageNo");
    ASSERT_EQ(numbers.size(), pages);
    for (int p = 0; p < pages; ++p) {
        EXPECT_EQ(numbers[p].item->text, QStringLiteral("صفحه %1 از %2").arg(p + 1).arg(pages));
        EXPECT_EQ(numbers[p].item->rect.bottom() + 1, 2970 - 100);
    }
    // Column lines run from the header's top to the last row of each page.
    const auto lines = r.findNamed("columnLine");
    ASSERT_EQ(lines.size(), pages);
    EXPECT_EQ(lines[0].item->line.p1(), QPoint(1800, 250));
    EXPECT_EQ(lines[1].item->line.p1().y(), 100);
    EXPECT_EQ(lines.last().item->line.p2().y(), lastBottom);
}

TEST_F(ReportLayout, PageFrameAroundThePrintableAreaOfEveryPage)
{
    Report rep;
    rep.pageFrame = Frame::all(3);
    buildList(rep, 120);
    const PreparedReport r = rep.prepare();
    const auto frames = r.findNamed("page");
    ASSERT_EQ(frames.size(), r.pageCount());
    for (int p = 0; p < r.pageCount(); ++p) {
        EXPECT_EQ(frames[p].page, p);
        EXPECT_EQ(frames[p].item->rect, QRect(100, 100, 1900, 2970 - 200));
        EXPECT_TRUE(frames[p].item->frame.left && frames[p].item->frame.right && frames[p].item->frame.top
                    && frames[p].item->frame.bottom);
    }
    Report plain;
    buildList(plain, 3);
    EXPECT_TRUE(plain.prepare().findNamed("page").isEmpty());
}

TEST_F(ReportLayout, FirstPageHeaderAndLastPageFooterOptions)
{
    for (bool onFirst : {true, false}) {
        for (bool onLast : {true, false}) {
            Report rep;
            buildList(rep, 120);
            rep.band(BandType::PageHeader, 40).addText("phead", QRect(0, 0, 1900, 40), "header");
            rep.firstPageHeader = onFirst;
            rep.lastPageFooter = onLast;
            const PreparedReport r = rep.prepare();
            const int pages = r.pageCount();
            const auto heads = r.findNamed("phead");
            ASSERT_EQ(heads.size(), onFirst ? pages : pages - 1);
            EXPECT_EQ(heads.first().page, onFirst ? 0 : 1);
            EXPECT_EQ(r.findNamed("title").first().item->rect.top(), onFirst ? 140 : 100);
            const auto feet = r.findNamed("pageNo");
            ASSERT_EQ(feet.size(), onLast ? pages : pages - 1);
            EXPECT_EQ(feet.last().page, onLast ? pages - 1 : pages - 2);
        }
    }
}

TEST_F(ReportLayout, NoRowsStillPrintsTitleHeaderAndSummary)
{
    Report rep;
    buildList(rep, 0);
    const PreparedReport r = rep.prepare();
    ASSERT_EQ(r.pageCount(), 1);
    EXPECT_EQ(r.pageTexts(0), QStringList({QStringLiteral("فهرست املاک"), QStringLiteral("رديف"),
                                           QStringLiteral("مجموع: 120"), QStringLiteral("صفحه 1 از 1")}));
    EXPECT_TRUE(r.findNamed("columnLine").isEmpty());
}

TEST_F(ReportLayout, SkippedRowsAndMoreDataFromCode)
{
    Report rep;
    QStringList data{"a", "b", "c", "d", "e"};
    int current = 0;
    QList<bool> printedFlags;
    Band& detail = rep.band(BandType::Detail, 50);
    detail.addText("cell", QRect(0, 0, 500, 50)).onPrint = [&] { return data[current]; };
    detail.beforePrint = [&] { return current % 2 == 0; };
    detail.afterPrint = [&](bool printed) { printedFlags << printed; ++current; };
    rep.moreData = [&] { return current < data.size(); };
    const PreparedReport r = rep.prepare();
    EXPECT_EQ(r.pageTexts(0), QStringList({"a", "c", "e"}));
    EXPECT_EQ(printedFlags, QList<bool>({true, false, true, false, true}));
    EXPECT_EQ(r.findNamed("cell")[1].item->rect.top(), 150);   // no gap for skipped rows
}

TEST_F(ReportLayout, WrappedTextStretchesItsBand)
{
    Report rep;
    const QString longText = QStringLiteral("آپارتمان دو خوابه با پارکينگ و انباري، طبقه سوم، نزديک به مترو و بازار. ").repeated(6);
    Band& detail = rep.band(BandType::Detail, 50);
    auto& memo = detail.addText("memo", QRect(0, 0, 600, 50), longText);
    memo.wordWrap = memo.autoStretch = true;
    auto& side = detail.addText("side", QRect(600, 0, 300, 50), "1");
    side.frame = Frame::all();
    side.stretchWithBand = true;
    detail.addText("fixed", QRect(900, 0, 300, 50), "2");
    rep.rowCount = 2;
    const PreparedReport r = rep.prepare();

    const auto memos = r.findNamed("memo");
    ASSERT_EQ(memos.size(), 2);
    const QRect first = memos[0].item->rect;
    const int oneLine = textHeight(rep.font, QStringLiteral("آ"));
    EXPECT_GE(first.height(), 4 * oneLine);                 // several lines
    EXPECT_LE(first.height(), 30 * oneLine);
    EXPECT_EQ(memos[1].item->rect.top(), first.top() + first.height());   // next row below the stretched one
    EXPECT_EQ(r.findNamed("side")[0].item->rect.height(), first.height()); // framed cell follows the band
    EXPECT_EQ(r.findNamed("fixed")[0].item->rect.height(), 50);
    EXPECT_FALSE(memos[0].item->clip);
}

TEST_F(ReportLayout, RichTextFlowsOverPagesWithoutCuttingLines)
{
    QTextDocument source;
    QString html;
    for (int i = 1; i <= 150; ++i)
        html += QStringLiteral("<p dir='rtl'>بند %1: فروشنده متعهد است ملک را در تاريخ مقرر تحويل دهد.</p>").arg(i);
    source.setHtml(html);

    Report rep(9, Portrait);
    Band& title = rep.band(BandType::Title, 100);
    title.addText("caption", QRect(0, 0, 1900, 60), "contract");
    title.addRichText("QRRichText1", QRect(0, 60, rep.printableWidth(), 40), &source);
    rep.band(BandType::Summary, 50).addText("end", QRect(0, 0, 1900, 50), "end");
    const PreparedReport r = rep.prepare();

    const auto parts = r.findNamed("QRRichText1");
    ASSERT_GE(parts.size(), 2);
    EXPECT_EQ(parts.size(), r.pageCount());
    const QTextDocument& doc = *parts[0].item->document;
    // Lines of the laid-out copy: no cut may run through one.
    QList<QPair<double, double>> lines;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QRectF br = doc.documentLayout()->blockBoundingRect(b);
        for (int i = 0; i < b.layout()->lineCount(); ++i) {
            const QTextLine l = b.layout()->lineAt(i);
            lines.append({br.top() + l.y(), br.top() + l.y() + l.height()});
        }
    }
    ASSERT_EQ(lines.size(), 150);
    int expectedTop = 0;
    for (int i = 0; i < parts.size(); ++i) {
        const ReportItem& part = *parts[i].item;
        EXPECT_EQ(parts[i].page, i);
        EXPECT_EQ(part.documentTop, expectedTop);
        EXPECT_EQ(part.rect.top(), i == 0 ? 160 : 100);
        EXPECT_LE(part.rect.bottom() + 1, 2970 - 100);
        for (const auto& [top, bottom] : lines)
            EXPECT_FALSE(top < part.documentTop - 1 && bottom > part.documentTop + 1) << part.documentTop;
        expectedTop += part.rect.height();
    }
    EXPECT_NEAR(expectedTop, doc.size().height(), 1.0);
    EXPECT_EQ(pageOf(r, "end"), r.pageCount() - 1);
    EXPECT_EQ(pageOf(r, "contract"), 0);
    EXPECT_EQ(r.findText("end").first().item->rect.top(), parts.last().item->rect.bottom() + 1);
    // The copy is laid out for the page width, the caller's document is untouched.
    EXPECT_EQ(doc.textWidth(), 1900);
    EXPECT_NE(source.textWidth(), 1900);
}

TEST_F(ReportLayout, LandscapeWidthForRichText)
{
    QTextDocument source;
    source.setPlainText(QStringLiteral("متن قرارداد ").repeated(400));
    int heights[2];
    for (int o : {Portrait, Landscape}) {
        Report rep(9, o);
        rep.band(BandType::Title, 50).addRichText("rt", QRect(0, 0, rep.printableWidth(), 50), &source);
        const PreparedReport r = rep.prepare();
        heights[o] = int(r.findNamed("rt").first().item->document->size().height());
        EXPECT_EQ(r.findNamed("rt").first().item->rect.width(), o == Portrait ? 1900 : 2770);
    }
    EXPECT_GT(heights[Portrait], heights[Landscape]);
}
