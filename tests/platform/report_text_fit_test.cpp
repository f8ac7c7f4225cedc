// Text elements on paper: lines break between words only, text that does not fit its box
// prints smaller (not below the minimum) and is never cut; preparing is cancellable.
#include "platform/report/Fonts.h"
#include "platform/report/Report.h"
#include "support/ReportChecks.h"
#include "support/ScriptedPrompter.h"

#include <QLocale>
#include <QSet>
#include <gtest/gtest.h>

using namespace report;
using testing_support::laidOutLines;
using testing_support::textFaults;

namespace {

class ReportTextFit : public ::testing::Test {
protected:
    void SetUp() override { installFontSubstitutions(); }

    // One element on a title band, prepared; its printed item.
    ReportItem printed(const QString& text, const QRect& box, bool wrap, bool stretch, bool breakLong = false, int points = 10)
    {
        rep = std::make_unique<Report>();
        auto& e = rep->band(BandType::Title, box.height()).addText(QStringLiteral("e"), box, text);
        e.font = QFont(QStringLiteral("tahoma"), points);
        e.wordWrap = wrap;
        e.autoStretch = stretch;
        e.breakLongWords = breakLong;
        prepared = rep->prepare();
        const auto hits = prepared.findNamed(QStringLiteral("e"));
        return hits.isEmpty() ? ReportItem() : *hits.first().item;
    }

    std::unique_ptr<Report> rep;
    PreparedReport prepared;
};

} // namespace

TEST_F(ReportTextFit, LinesBreakBetweenWordsOnly)
{
    const QFont f(QStringLiteral("tahoma"), 10);
    struct Case {
        const char* text;
        QStringList words;   // each must stand whole on one line
    } cases[] = {
        {"مبلغ 498,800,000 ريال بابت حق بنگاه", {"498,800,000"}},
        {"تاريخ 1401/09/30 تا 1402/01/15", {"1401/09/30", "1402/01/15"}},
        {"بدهي -3,000 و 25,850,000- و 1,234,567,890.125", {"-3,000", "25,850,000-", "1,234,567,890.125"}},
        {"حساب 0101-123456 شعبه مرکزي", {"0101-123456"}},
        {"آپارتمان دوخوابه با پارکينگ و انباري در طبقه سوم", {"آپارتمان", "دوخوابه", "پارکينگ"}},
    };
    for (const Case& c : cases) {
        const QString text = QString::fromUtf8(c.text);
        // as narrow as the widest word: every word on a line of its own at most
        int narrow = 0;
        for (const QString& w : text.split(QLatin1Char(' ')))
            narrow = std::max(narrow, textWidth(f, w) + 2);
        const ReportItem item = printed(text, QRect(0, 0, narrow, 40), true, true);
        EXPECT_EQ(item.font.pointSizeF(), 10) << c.text;   // the words fit: no smaller font
        EXPECT_TRUE(textFaults(item).isEmpty()) << c.text << textFaults(item).join(QLatin1Char('\n')).toStdString();
        const QStringList lines = laidOutLines(item);
        EXPECT_GT(lines.size(), 1) << c.text;
        for (const QString& w : c.words)
            EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.contains(w); }))
                << c.text << " " << w.toStdString() << " in " << lines.join(QLatin1String(" | ")).toStdString();
    }
}

TEST_F(ReportTextFit, AWordWiderThanItsBoxPrintsSmallerNeverCut)
{
    const QString amount = QStringLiteral("1,234,567,890,123");
    const QFont ten(QStringLiteral("tahoma"), 10);
    const int full = textWidth(ten, amount);
    const int atMinimum = textWidth(fontAtPoints(ten, kMinFontPoints), amount);
    struct Case {
        const char* what;
        int width;
        bool wrap, stretch, breakLong;
        bool smaller;        // printed below 10 pt
        bool atFloor;        // printed at the minimum and still too wide
    } cases[] = {
        {"fits", full + 5, false, false, false, false, false},
        {"a little too narrow, one line", full * 8 / 10, false, false, false, true, false},
        {"a little too narrow, wrapping", full * 8 / 10, true, true, false, true, false},
        {"narrower than the minimum allows", atMinimum * 7 / 10, true, true, false, true, true},
        {"narrower than the minimum, fixed box", atMinimum * 7 / 10, false, false, false, true, true},
    };
    for (const Case& c : cases) {
        const ReportItem item = printed(amount, QRect(0, 0, c.width, 60), c.wrap, c.stretch, c.breakLong);
        EXPECT_EQ(item.font.pointSizeF() < 10, c.smaller) << c.what;
        EXPECT_GE(item.font.pointSizeF(), kMinFontPoints) << c.what;
        const QStringList lines = laidOutLines(item);
        ASSERT_EQ(lines.size(), 1) << c.what << " " << lines.join(QLatin1String(" | ")).toStdString();   // never split
        EXPECT_EQ(lines.first(), amount) << c.what;
        if (c.atFloor) {
            EXPECT_EQ(item.font.pointSizeF(), kMinFontPoints) << c.what;
            EXPECT_FALSE(item.clip) << c.what;         // printed whole beyond the box, not cut
        } else {
            EXPECT_TRUE(textFaults(item).isEmpty()) << c.what;
        }
    }
    // a font already below the minimum is not made larger, nor smaller
    const ReportItem small = printed(amount, QRect(0, 0, 40, 60), true, true, false, 6);
    EXPECT_EQ(small.font.pointSizeF(), 6);
    // where words may give way, a word too wide even at the minimum breaks inside its box
    const QString word = QStringLiteral("عبدالحسينزادهخراسانيتبريزي");
    const ReportItem broken = printed(word, QRect(0, 0, 60, 60), true, true, true);
    EXPECT_TRUE(broken.breakWords);
    EXPECT_EQ(broken.font.pointSizeF(), kMinFontPoints);
    EXPECT_GT(laidOutLines(broken).size(), 1);
    EXPECT_EQ(laidOutLines(broken).join(QString()), word);
}

TEST_F(ReportTextFit, LinesOfAFixedBoxFitInIt)
{
    // three lines in a box two and a half lines high, wide enough for all words: a smaller
    // font fits them
    const QString text = QStringLiteral("مبلغ قابل پرداخت\r\nبا ماليات و عوارض\r\n990,000");
    const QFont ten(QStringLiteral("tahoma"), 10);
    const int line = textHeight(ten, QStringLiteral("آ"));
    const ReportItem item = printed(text, QRect(0, 0, 800, line * 5 / 2), true, false);
    EXPECT_LT(item.font.pointSizeF(), 10) << laidOutLines(item).join(QLatin1String(" | ")).toStdString() << item.rect.height();
    EXPECT_GE(item.font.pointSizeF(), kMinFontPoints);
    EXPECT_TRUE(item.clip);
    EXPECT_TRUE(textFaults(item).isEmpty()) << textFaults(item).join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(laidOutLines(item).size(), 3);
    // the same text in a stretching box keeps its size and grows instead
    const ReportItem grown = printed(text, QRect(0, 0, 800, line * 5 / 2), true, true);
    EXPECT_EQ(grown.font.pointSizeF(), 10);
    EXPECT_GE(grown.rect.height(), 3 * line);
}

TEST_F(ReportTextFit, NumbersMeasuredOnceByTheirShapeFitAsEachMeasuredByItself)
{
    // amounts down a list in boxes they fit, boxes they shrink in, and boxes they do not fit
    // even at the smallest size; beside letters, signs and Latin letters, and wrapping
    auto prepare = [](bool alike) {
        Report rep;
        rep.measureAlike = alike;
        Band& detail = rep.band(BandType::Detail, 60);
        const struct {
            int width;
            bool wrap;
            const char* format;
        } boxes[] = {{400, false, "%1"}, {150, false, "-%1"}, {60, false, "%1"}, {250, true, "مبلغ %1ريال X%1 از 1403/%2"}};
        for (const auto& b : boxes) {
            auto& e = detail.addText(QStringLiteral("e%1").arg(b.width), QRect(0, 0, b.width, 50));
            e.wordWrap = b.wrap;
            e.autoStretch = b.wrap;
            e.breakLongWords = b.wrap;
            e.onPrint = [&rep, format = QString::fromUtf8(b.format)] {
                const qint64 n = qint64(rep.currentRow() + 1) * 7919 * (rep.currentRow() % 4 + 1);
                return format.arg(QLocale(QLocale::English).toString(n * n)).arg(rep.currentRow() % 12 + 1);
            };
        }
        rep.rowCount = 1000;
        return rep.prepare();
    };
    const PreparedReport once = prepare(true);
    const PreparedReport each = prepare(false);
    ASSERT_EQ(once.pageCount(), each.pageCount());
    QSet<double> sizes;
    for (int p = 0; p < once.pageCount(); ++p) {
        const auto a = once.pages.page(p);
        const auto b = each.pages.page(p);
        ASSERT_EQ(a->items.size(), b->items.size());
        for (qsizetype i = 0; i < a->items.size(); ++i) {
            const ReportItem& x = a->items[i];
            const ReportItem& y = b->items[i];
            ASSERT_TRUE(x.rect == y.rect && x.text == y.text && x.font == y.font && x.clip == y.clip && x.breakWords == y.breakWords)
                << "page " << p << " " << x.text.toStdString();
            sizes.insert(x.font.pointSizeF());
        }
    }
    // the report's size, sizes in between and the smallest
    EXPECT_GE(sizes.size(), 3);
    EXPECT_TRUE(sizes.contains(kMinFontPoints));
}

TEST_F(ReportTextFit, CancelledPreparingOpensNoPreview)
{
    testing_support::ScriptedPrompter prompter;
    auto build = [](Report& r) {
        r.title = QStringLiteral("ليست هزينه ها\r\nاز 1403/01/01");
        r.band(BandType::Detail, 50).addText(QStringLiteral("cell"), QRect(0, 0, 500, 50), QStringLiteral("1,000"));
        r.rowCount = 500;
    };
    {
        Report r;
        build(r);
        prompter.cancelWork = true;
        EXPECT_FALSE(r.preview(QStringLiteral("ليست هزينه ها")));
        EXPECT_EQ(prompter.previewCount, 0);
        EXPECT_EQ(prompter.progressTitles, QStringList{QStringLiteral("چاپ ليست هزينه ها")});
        EXPECT_EQ(r.currentRow(), -1);
        // a preparing that is not cancellable goes to its end
        EXPECT_EQ(r.prepare().findNamed(QStringLiteral("cell")).size(), 500);
    }
    {
        Report r;
        build(r);
        prompter.cancelWork = false;
        prompter.answerPrinted(true);
        EXPECT_TRUE(r.preview(QStringLiteral("ليست هزينه ها")));
        EXPECT_EQ(prompter.previewCount, 1);
    }
}
