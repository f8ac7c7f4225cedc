// Painting prepared pages: image and PDF output, alignment, frames.
#include "platform/report/Fonts.h"
#include "platform/report/Renderer.h"
#include "platform/report/Report.h"

#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace report;

namespace {

constexpr double kDpi = 254.0;   // one pixel per unit

// Bounding box of the dark pixels inside region.
QRect inkBox(const QImage& image, const QRect& region)
{
    QRect box;
    const QRect r = region.intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

// An invoice-like page: framed header, aligned texts, a two-column table, a page number.
void buildSample(Report& rep)
{
    rep.title = QStringLiteral("فاکتور");
    rep.font = QFont(QStringLiteral("tahoma"), 12);
    Band& title = rep.band(BandType::Title, 200);
    title.frame = Frame::all(3);
    auto& shop = title.addText("shop", QRect(0, 20, 1900, 100), QStringLiteral("آژانس املاک زانيت کلوار"));
    shop.alignment = Qt::AlignHCenter | Qt::AlignTop;
    shop.font = QFont(QStringLiteral("tahoma"), 16, QFont::Bold);
    title.addText("right", QRect(1000, 130, 880, 60), QStringLiteral("شماره: 125"));
    auto& left = title.addText("left", QRect(20, 130, 880, 60), QStringLiteral("تاريخ: 1403/05/12"));
    left.alignment = Qt::AlignLeft | Qt::AlignTop;

    Band& detail = rep.band(BandType::Detail, 80);
    detail.frame.bottom = true;
    const QStringList captions{QStringLiteral("حق بنگاه"), QStringLiteral("تخفيف"), QStringLiteral("مبلغ قابل پرداخت (با ماليات و عوارض)")};
    const QStringList values{"1,000,000", "100,000", "990,000"};
    auto& caption = detail.addText("caption", QRect(1100, 10, 780, 60));
    caption.onPrint = [&rep, captions] { return captions.at(rep.currentRow()); };
    caption.frame = Frame::all(2);
    auto& value = detail.addText("value", QRect(20, 10, 1060, 60));
    value.onPrint = [&rep, values] { return values.at(rep.currentRow()); };
    value.alignment = Qt::AlignLeft | Qt::AlignVCenter;
    value.rightToLeft = false;
    detail.addLine("divider", QPoint(1090, 0), QPoint(1090, 80), 3);
    rep.rowCount = captions.size();
    rep.band(BandType::PageFooter, 60).addPageNumber("pageNo", QRect(0, 0, 1900, 60), QStringLiteral("صفحه %1 از %2")).alignment = Qt::AlignHCenter;
}

QRect unitsToPixels(const QRect& r, double scale) { return QRect(int(r.x() * scale), int(r.y() * scale), int(r.width() * scale), int(r.height() * scale)); }

void checkPage(const QImage& page, const PreparedReport& r, double scale)
{
    const ReportItem* right = r.findNamed("right").first().item;
    const ReportItem* left = r.findNamed("left").first().item;
    const QRect rightInk = inkBox(page, unitsToPixels(right->rect, scale));
    const QRect leftInk = inkBox(page, unitsToPixels(left->rect, scale));
    ASSERT_FALSE(rightInk.isEmpty());
    ASSERT_FALSE(leftInk.isEmpty());
    // Right-aligned text ends at its box's right edge, left-aligned starts at its left edge.
    EXPECT_LE(std::abs(rightInk.right() - (right->rect.right() + 1) * scale), 15 * scale);
    EXPECT_GT(rightInk.left(), (right->rect.left() + 300) * scale);
    EXPECT_LE(std::abs(leftInk.left() - left->rect.left() * scale), 15 * scale);
    EXPECT_LT(leftInk.right(), (left->rect.right() - 300) * scale);
    // The title band's frame: dark along its top and both sides.
    const int top = int(100 * scale), l = int(100 * scale + 2), rgt = int(2000 * scale);
    for (int x = l; x < rgt; x += 37) {
        const int darkest = std::min({qGray(page.pixel(x, top - 1)), qGray(page.pixel(x, top)), qGray(page.pixel(x, top + 1))});
        EXPECT_LT(darkest, 160) << x;
    }
    // Frames of the caption cells share one right edge.
    const auto captions = r.findNamed("caption");
    ASSERT_EQ(captions.size(), 3);
    for (const auto& c : captions) {
        const QRect ink = inkBox(page, unitsToPixels(c.item->rect.adjusted(-5, -5, 5, 5), scale));
        EXPECT_NEAR(ink.right(), (captions[0].item->rect.right() + 1) * scale, 3 * scale + 2);
    }
}

} // namespace

TEST(ReportRender, PersianFontsAreSubstituted)
{
    installFontSubstitutions();
    for (const char* family : {"tahoma", "Arial"}) {
        const QStringList subs = QFont::substitutes(QString::fromLatin1(family));
        ASSERT_EQ(subs.size(), 2) << family;   // Qt keeps the names in lower case
        EXPECT_EQ(subs[0].compare("Noto Sans Arabic", Qt::CaseInsensitive), 0) << family;
        EXPECT_EQ(subs[1].compare("DejaVu Sans", Qt::CaseInsensitive), 0) << family;
    }
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("tahoma"), 10)).family(), QStringLiteral("Noto Sans Arabic"));
}

TEST(ReportRender, PageToImage)
{
    installFontSubstitutions();
    Report rep;
    buildSample(rep);
    const PreparedReport r = rep.prepare();
    ASSERT_EQ(r.pageCount(), 1);
    EXPECT_EQ(r.findNamed("pageNo").first().item->text, QStringLiteral("صفحه 1 از 1"));
    const QImage page = renderPageImage(r, 0, kDpi);
    ASSERT_EQ(page.size(), QSize(2100, 2970));
    checkPage(page, r, 1.0);
    const QString out = QDir::temp().filePath("report_page.png");
    page.scaled(1050, 1485, Qt::KeepAspectRatio, Qt::SmoothTransformation).save(out);
    // Nothing is painted outside the page's items.
    EXPECT_TRUE(inkBox(page, QRect(0, 0, 2100, 95)).isEmpty());
    EXPECT_TRUE(renderPageImage(r, 1, 50).isNull() || inkBox(renderPageImage(r, 1, 50), QRect(0, 0, 500, 600)).isEmpty());
}

TEST(ReportRender, PdfThroughPrinter)
{
    installFontSubstitutions();
    if (QStandardPaths::findExecutable("pdftoppm").isEmpty())
        GTEST_SKIP() << "pdftoppm not installed";
    Report rep(9, Portrait);
    buildSample(rep);
    const PreparedReport r = rep.prepare();
    QTemporaryDir dir;
    const QString pdf = dir.filePath("page.pdf");
    ASSERT_TRUE(writePdf(r, pdf));
    ASSERT_EQ(QProcess::execute("pdftoppm", {"-r", "127", "-png", "-singlefile", pdf, dir.filePath("page")}), 0);
    const QImage page(dir.filePath("page.png"));
    // A4 at 127 dpi: half a pixel per unit
    ASSERT_EQ(page.width(), 1050);
    ASSERT_NEAR(page.height(), 1485, 1);
    checkPage(page, r, 0.5);
    QFile::remove(QDir::temp().filePath("report_pdf_page.png"));
    QFile::copy(dir.filePath("page.png"), QDir::temp().filePath("report_pdf_page.png"));
    EXPECT_FALSE(writePdf(r, "/nonexistent-dir/x.pdf"));
}

TEST(ReportRender, RichTextPagesInImages)
{
    installFontSubstitutions();
    QTextDocument doc;
    doc.setHtml(QStringLiteral("<p dir='rtl' style='font-size:14pt'><b>ماده 1</b> موضوع قرارداد</p>").repeated(60));
    Report rep(11, Portrait);   // A5
    rep.band(BandType::Title, 40).addRichText("rt", QRect(0, 0, rep.printableWidth(), 40), &doc);
    const PreparedReport r = rep.prepare();
    ASSERT_GE(r.pageCount(), 2);
    for (int p = 0; p < r.pageCount(); ++p) {
        const QImage page = renderPageImage(r, p, kDpi);
        const QRect ink = inkBox(page, page.rect());
        ASSERT_FALSE(ink.isEmpty()) << p;
        // Right to left: every page's text hugs the right margin, inside the margins.
        EXPECT_NEAR(ink.right(), 1480 - 100, 25) << p;
        EXPECT_GE(ink.top(), 100) << p;
        EXPECT_LE(ink.bottom(), 2100 - 100) << p;
        if (p == 1)
            page.scaled(740, 1050, Qt::KeepAspectRatio, Qt::SmoothTransformation).save(QDir::temp().filePath("report_rich_p2.png"));
    }
}
