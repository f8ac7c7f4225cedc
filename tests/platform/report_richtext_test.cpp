// The rich-text element keeps an edited document's paragraph lengths on paper.
#include "platform/report/Fonts.h"
#include "platform/report/Report.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <gtest/gtest.h>

namespace {

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

} // namespace
