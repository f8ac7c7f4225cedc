// The rich-text element keeps an edited document's lengths on paper, starts a new page at a
// page break and keeps table rows whole on a page, their lines shown on both sides of a cut.
#include "platform/report/Fonts.h"
#include "platform/report/Renderer.h"
#include "platform/report/Report.h"
#include "platform/richtext/Rtf.h"
#include "platform/richtext/RtfUnits.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QImage>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

QList<report::PreparedReport::Hit> flow(const QTextDocument& source, report::PreparedReport& out)
{
    report::installFontSubstitutions();
    report::Report rep(10, report::Portrait);
    rep.band(report::BandType::Title, 0).addRichText(QStringLiteral("rt"), QRect(0, 0, rep.printableWidth(), 0), &source);
    out = rep.prepare();
    return out.findNamed(QStringLiteral("rt"));
}

TEST(ReportRichText, ScreenLengthsOfParagraphsBecomeTheSameLengthsOnPaper)
{
    report::installFontSubstitutions();
    QTextDocument source;
    QTextCursor c(&source);
    QTextBlockFormat indented;
    indented.setLeftMargin(96);      // one inch on the screen
    indented.setRightMargin(48);
    indented.setTextIndent(-24);
    c.setBlockFormat(indented);
    c.insertText(QStringLiteral("بند با تورفتگي"));
    c.insertBlock(QTextBlockFormat());
    c.insertText(QStringLiteral("بند ساده"));

    report::Report rep(10, report::Portrait);
    rep.band(report::BandType::Title, 0).addRichText(QStringLiteral("rt"), QRect(0, 0, rep.printableWidth(), 0), &source);
    const report::PreparedReport r = rep.prepare();
    const auto parts = r.findNamed(QStringLiteral("rt"));
    ASSERT_EQ(parts.size(), 1);
    const QTextDocument* printed = parts[0].item->document.get();
    const QTextBlockFormat f = printed->begin().blockFormat();
    EXPECT_NEAR(f.leftMargin(), 254, 0.01) << "an inch in tenths of a millimetre";
    EXPECT_NEAR(f.rightMargin(), 127, 0.01);
    EXPECT_NEAR(f.textIndent(), -63.5, 0.01);
    EXPECT_EQ(printed->begin().next().blockFormat().leftMargin(), 0);
    EXPECT_EQ(printed->rootFrame()->frameFormat().leftMargin(), 0) << "the element's rectangle is the text's";
    EXPECT_EQ(printed->rootFrame()->frameFormat().topMargin(), 0);
    // the source is left as it was
    EXPECT_EQ(source.begin().blockFormat().leftMargin(), 96);
}

TEST(ReportRichText, PageBreaksStartNewPages)
{
    QTextDocument source;
    ASSERT_EQ(richtext::readRtf(&source, "{\\rtf1 first\\par second\\page third\\par\\pard\\pagebb fourth\\par}"),
              richtext::LoadResult::Loaded);
    report::PreparedReport r;
    const auto parts = flow(source, r);
    ASSERT_EQ(r.pageCount(), 3);
    ASSERT_EQ(parts.size(), 3);
    const QTextDocument& printed = *parts[0].item->document;
    const auto topOf = [&](int block) { return printed.documentLayout()->blockBoundingRect(printed.findBlockByNumber(block)).top(); };
    EXPECT_EQ(parts[0].item->documentTop, 0);
    EXPECT_NEAR(parts[1].item->documentTop, topOf(2), 1.0) << "third starts the second page";
    EXPECT_NEAR(parts[2].item->documentTop, topOf(3), 1.0) << "fourth starts the third";
    EXPECT_NEAR(parts[0].item->rect.height(), topOf(2), 1.0);
}

TEST(ReportRichText, TableRowsStayWholeAndTheirLinesShowOnBothPages)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 Tahoma;}}";
    for (int row = 1; row <= 60; ++row) {
        rtf += "\\trowd\\trgaph108\\rtlrow";
        for (int c = 1; c <= 3; ++c)
            rtf += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx"
                + QByteArray::number(c * 3000);
        // the second cell has two lines, so rows are taller than a line
        rtf += "\\pard\\intbl\\rtlpar\\f0 \\u1587?\\u1591?\\u1585? " + QByteArray::number(row) + "\\cell\\pard\\intbl x\\par y\\cell"
               "\\pard\\intbl z\\cell\\row ";
    }
    rtf += "}";
    QTextDocument source;
    ASSERT_EQ(richtext::readRtf(&source, rtf), richtext::LoadResult::Loaded);
    report::PreparedReport r;
    const auto parts = flow(source, r);
    ASSERT_GE(parts.size(), 2);
    const QTextDocument& printed = *parts[0].item->document;
    QTextTable* table = nullptr;
    for (QTextFrame* f : printed.rootFrame()->childFrames())
        table = table ? table : qobject_cast<QTextTable*>(f);
    ASSERT_NE(table, nullptr);
    // lengths on paper: three columns of 3000 twips are 158.75 mm wide
    EXPECT_NEAR(printed.documentLayout()->frameBoundingRect(table).width(), 3 * 3000 / 1440.0 * 254, 30);
    // the rows' text: no page ends between two lines of one row
    std::vector<std::pair<double, double>> rows;
    for (int row = 0; row < table->rows(); ++row) {
        double top = 1e9, bottom = 0;
        for (int c = 0; c < table->columns(); ++c)
            for (QTextBlock b = table->cellAt(row, c).firstCursorPosition().block();
                 b.isValid() && b.position() <= table->cellAt(row, c).lastPosition(); b = b.next()) {
                const QRectF br = printed.documentLayout()->blockBoundingRect(b);
                top = std::min(top, br.top());
                bottom = std::max(bottom, br.bottom());
            }
        rows.emplace_back(top, bottom);
    }
    for (int i = 0; i + 1 < parts.size(); ++i) {
        const double end = parts[i].item->documentTop + parts[i].item->rect.height();
        for (const auto& [top, bottom] : rows)
            EXPECT_FALSE(top < end - 0.5 && bottom > end + 0.5) << "page " << i << " ends inside a row at " << end;
        // the next page starts a little above the cut: the line between the rows shows again
        EXPECT_LT(parts[i + 1].item->documentTop, end);
        EXPECT_GT(parts[i + 1].item->documentTop, end - 20);
    }
    EXPECT_NEAR(parts.last().item->documentTop + parts.last().item->rect.height(), printed.size().height(), 1.0);
}

} // namespace

// A line taller than the page is cut over pages; every page moves the text on and the print ends.
TEST(ReportRichText, LinesTallerThanThePageStillEndTheirPrint)
{
    const char* texts[] = {
        "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\pard\\sa57\\fs24 a\\par\\fs2000 b\\par}",
        "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\pard\\fs2000 b\\par\\fs24 a\\par}",
        "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\pard\\fs24 a\\par\\fs4000 b\\par\\fs24 c\\par\\fs3000 d\\par}",
    };
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        QTextDocument source;
        ASSERT_EQ(richtext::readRtf(&source, text), richtext::LoadResult::Loaded);
        report::PreparedReport r;
        const auto parts = flow(source, r);
        ASSERT_GE(r.pageCount(), 2);
        ASSERT_LE(r.pageCount(), 20);
        ASSERT_EQ(parts.size(), r.pageCount());
        const double total = parts.last().item->document->size().height();
        int below = 0;
        for (const auto& p : parts) {
            EXPECT_GT(p.item->rect.height(), 0) << "each page shows part of the text";
            EXPECT_GE(p.item->documentTop, below) << "each page goes on from the one before";
            below = p.item->documentTop + p.item->rect.height();
        }
        EXPECT_GE(below + 1, total) << "the whole text is printed";
    }
}

namespace {

QByteArray escaped(const QString& s)
{
    QByteArray out;
    for (const QChar c : s)
        out += c.unicode() < 0x80 ? QByteArray(1, char(c.unicode())) : "\\u" + QByteArray::number(c.unicode()) + '?';
    return out;
}

constexpr double kDpi = 150;

// Dark pixels of the printed page in a rectangle of the printed document's coordinates.
int inkIn(const QImage& page, const report::ReportItem& item, const QRectF& inDocument)
{
    const QRectF r = inDocument.translated(item.rect.x(), item.rect.y() - item.documentTop);
    const QRect px(QPoint(int(r.left() * kDpi / 254), int(r.top() * kDpi / 254)),
                   QPoint(int(r.right() * kDpi / 254), int(r.bottom() * kDpi / 254)));
    int ink = 0;
    for (int y = std::max(0, px.top()); y <= std::min(page.height() - 1, px.bottom()); ++y)
        for (int x = std::max(0, px.left()); x <= std::min(page.width() - 1, px.right()); ++x)
            ink += qGray(page.pixel(x, y)) < 160;
    return ink;
}

} // namespace

// The dots of a tab stop's leader fill the space between the signatures; a stop without one
// leaves it blank.
TEST(ReportRichText, TabLeadersArePrinted)
{
    const QString line = QStringLiteral("امضای موجر") + QLatin1Char('\t') + QStringLiteral("امضای مستأجر");
    for (const char* leader : {"\\tldot", "\\tlhyph", "\\tlul", ""}) {
        SCOPED_TRACE(leader);
        QTextDocument source;
        const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 Tahoma;}}\\pard\\rtlpar\\qr"
            + QByteArray(leader) + "\\tx6000\\f0\\fs28 " + escaped(line).replace("\t", "\\tab ") + "\\par}";
        ASSERT_EQ(richtext::readRtf(&source, rtf), richtext::LoadResult::Loaded);
        report::PreparedReport r;
        const auto parts = flow(source, r);
        ASSERT_EQ(parts.size(), 1);
        const QTextDocument& printed = *parts[0].item->document;
        const QTextBlock b = printed.begin();
        ASSERT_EQ(b.text(), line);
        const QTextLine l = b.layout()->lineAt(0);
        const QRectF br = printed.documentLayout()->blockBoundingRect(b);
        const int tab = int(b.text().indexOf(QLatin1Char('\t')));
        const double from = std::min(l.cursorToX(tab), l.cursorToX(tab + 1)), to = std::max(l.cursorToX(tab), l.cursorToX(tab + 1));
        ASSERT_GT(to - from, 500) << "the tab reaches its stop, 6000 twips from the right";
        const QImage page = report::renderPageImage(r, 0, kDpi);
        const QRectF space(br.left() + from + 20, br.top() + l.y(), to - from - 40, l.height());
        const int ink = inkIn(page, *parts[0].item, space);
        if (*leader)
            EXPECT_GT(ink, 15) << "the leader is drawn";
        else
            EXPECT_EQ(ink, 0) << "nothing between the words";
        // the words themselves are printed on either side
        EXPECT_GT(inkIn(page, *parts[0].item, QRectF(br.left() + to, br.top() + l.y(), 300, l.height())), 0);
        EXPECT_GT(inkIn(page, *parts[0].item, QRectF(br.left() + from - 300, br.top() + l.y(), 300, l.height())), 0);
        if (!qEnvironmentVariableIsEmpty("DOVIN_TEST_KEEP_PAGES"))
            page.save(QStringLiteral("/tmp/leader-%1.png").arg(QLatin1String(leader + (*leader ? 1 : 0))));
    }
}

// A right-to-left table wider than portrait paper is fitted to the page: every cell stays inside
// the printed area and the table's first column stands on the right; numbers too long for
// their share of the page get smaller text, never cut.
TEST(ReportRichText, WideRightToLeftTablesFitThePage)
{
    const QString words[] = {QStringLiteral("ردیف"), QStringLiteral("شماره چک"), QStringLiteral("بانک"), QStringLiteral("شعبه")};
    for (const bool longNumbers : {false, true}) {
        SCOPED_TRACE(longNumbers);
        QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 Tahoma;}}";
        for (int row = 1; row <= 6; ++row) {
            rtf += "\\trowd\\trgaph108\\rtlrow";
            for (int c = 1; c <= 12; ++c)
                rtf += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx"
                    + QByteArray::number(c * 1500);
            for (int c = 1; c <= 12; ++c)
                rtf += "\\pard\\intbl\\rtlpar\\qr\\f0\\fs20 " + escaped(c <= 4 ? words[c - 1] : QStringLiteral("مبلغ"))
                    + ' ' + QByteArray::number(row * 100 + c) + (longNumbers && c == 2 ? "0000000000000000" : "") + "\\cell";
            rtf += "\\row\n";
        }
        rtf += "}";
        QTextDocument source;
        ASSERT_EQ(richtext::readRtf(&source, rtf), richtext::LoadResult::Loaded);
        report::PreparedReport r;
        const auto parts = flow(source, r);
        ASSERT_GE(parts.size(), 1);
        const QTextDocument& printed = *parts[0].item->document;
        const double width = parts[0].item->rect.width();
        ASSERT_LT(width, 18000 / 1440.0 * 254) << "the table is wider than the paper's text";
        QTextTable* table = nullptr;
        for (QTextFrame* f : printed.rootFrame()->childFrames())
            table = table ? table : qobject_cast<QTextTable*>(f);
        ASSERT_NE(table, nullptr);
        EXPECT_LE(printed.documentLayout()->frameBoundingRect(table).width(), width + 0.5);
        double right = 0;
        for (int row = 0; row < table->rows(); ++row)
            for (int c = 0; c < table->columns(); ++c) {
                const QTextBlock b = table->cellAt(row, c).firstCursorPosition().block();
                const QRectF br = printed.documentLayout()->blockBoundingRect(b);
                for (int i = 0; i < b.layout()->lineCount(); ++i) {
                    const QRectF text = b.layout()->lineAt(i).naturalTextRect().translated(br.topLeft());
                    EXPECT_GE(text.left(), 0) << row << ',' << c;
                    EXPECT_LE(text.right(), width) << row << ',' << c;
                    right = std::max(right, text.right());
                }
                // the row number, cheque number, bank and branch on the right
                if (c >= 8)
                    EXPECT_TRUE(b.text().startsWith(words[11 - c])) << row << ',' << c;
                // numbers are never broken
                const int digits = int(b.text().lastIndexOf(QLatin1Char(' '))) + 1;
                EXPECT_EQ(b.layout()->lineForTextPosition(digits).lineNumber(),
                          b.layout()->lineForTextPosition(int(b.text().size()) - 1).lineNumber()) << row << ',' << c;
            }
        EXPECT_GT(right, width - 60) << "the table stands on the right";
        // the source keeps its own widths and sizes
        QTextCursor first = source.rootFrame()->childFrames().value(0) ? qobject_cast<QTextTable*>(source.rootFrame()->childFrames()[0])->cellAt(0, 0).firstCursorPosition() : QTextCursor();
        first.movePosition(QTextCursor::NextCharacter);
        EXPECT_EQ(first.charFormat().fontPointSize(), 10);
        if (!qEnvironmentVariableIsEmpty("DOVIN_TEST_KEEP_PAGES"))
            report::renderPageImage(r, 0, kDpi).save(QStringLiteral("/tmp/wide-table-%1.png").arg(longNumbers));
    }
}

QList<QList<QTextOption::TabType>> tabKinds(const QTextDocument& doc)
{
    QList<QList<QTextOption::TabType>> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        QList<QTextOption::TabType> kinds;
        for (const QTextOption::Tab& t : b.blockFormat().tabPositions())
            kinds << t.type;
        out << kinds;
    }
    return out;
}

// A signature line and amounts as another word processor writes them: dotted leaders before a
// centre and an end stop, and the amounts' decimal points one above the other.
TEST(ReportRichText, SignatureLeadersAndDecimalTabsOfAnotherWordProcessor)
{
    QFile file(QStringLiteral(DOVIN_SOURCE_DIR "/tests/platform/rtf_corpus/signature_tabs.rtf"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QTextDocument source;
    ASSERT_EQ(richtext::readRtf(&source, file.readAll()), richtext::LoadResult::Loaded);
    report::PreparedReport r;
    const auto parts = flow(source, r);
    ASSERT_EQ(parts.size(), 1);
    const QTextDocument& printed = *parts[0].item->document;
    const double width = parts[0].item->rect.width();
    const QImage page = report::renderPageImage(r, 0, kDpi);
    if (!qEnvironmentVariableIsEmpty("DOVIN_TEST_KEEP_PAGES"))
        page.save(QStringLiteral("/tmp/signature-tabs.png"));

    // the three signatures: at the start, about the middle and at the end of the line, dots between
    const QTextBlock signatures = printed.begin();
    ASSERT_EQ(signatures.text().count(QLatin1Char('\t')), 2);
    const QTextLine line = signatures.layout()->lineAt(0);
    ASSERT_EQ(signatures.layout()->lineCount(), 1);
    const QRectF br = printed.documentLayout()->blockBoundingRect(signatures);
    std::vector<std::pair<double, double>> gaps;
    for (int i = signatures.text().indexOf(QLatin1Char('\t')); i >= 0; i = signatures.text().indexOf(QLatin1Char('\t'), i + 1))
        gaps.emplace_back(std::min(line.cursorToX(i), line.cursorToX(i + 1)), std::max(line.cursorToX(i), line.cursorToX(i + 1)));
    for (const auto& [from, to] : gaps) {
        ASSERT_GT(to - from, 200);
        EXPECT_GT(inkIn(page, *parts[0].item, QRectF(br.left() + from + 20, br.top() + line.y(), to - from - 40, line.height())), 15);
    }
    // the line is as long as its last stop, 9354 twips, as the other word processor shows it
    EXPECT_NEAR(line.naturalTextWidth(), 9354 / 1440.0 * 254, 25);
    EXPECT_LE(line.naturalTextRect().right(), width);
    // the file's amounts: right-to-left lines with a decimal stop
    EXPECT_EQ(tabKinds(printed), (QList<QList<QTextOption::TabType>>{
                                     {QTextOption::CenterTab, QTextOption::LeftTab}, {QTextOption::RightTab},
                                     {QTextOption::RightTab}}));

    // amounts at a decimal stop in right-to-left lines: their decimal points one above the other
    QTextDocument amounts;
    ASSERT_EQ(richtext::readRtf(&amounts, "{\\rtf1\\ansi\\pard\\rtlpar\\tqdec\\tx6803 " + escaped(QStringLiteral("ودیعه"))
                                           + "\\tab 150000000.50\\par " + escaped(QStringLiteral("اجاره ماهانه"))
                                           + "\\tab 12000000.25\\par}"),
              richtext::LoadResult::Loaded);
    const auto amountParts = flow(amounts, r);
    ASSERT_EQ(amountParts.size(), 1);
    std::vector<double> points;
    for (QTextBlock b = amountParts[0].item->document->begin(); b.isValid(); b = b.next())
        if (const int dot = int(b.text().indexOf(QLatin1Char('.'))); dot >= 0)
            points.push_back(b.layout()->lineAt(0).cursorToX(dot));
    ASSERT_EQ(points.size(), 2u);
    EXPECT_NEAR(points[0], points[1], 3);
}
