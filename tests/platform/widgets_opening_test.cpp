// A window's opening work runs when it opens, never when it comes back from minimised; a
// negative amount keeps its minus before the digits in grid cells and in report lines alike.
#include "WindowChecks.h"

#include "platform/report/Fonts.h"
#include "platform/widgets/BidiText.h"
#include "platform/widgets/FormShow.h"

#include <QDialog>
#include <QGlyphRun>
#include <QLineEdit>
#include <QTextLayout>
#include <gtest/gtest.h>

namespace {

TEST(FormShow, OpeningWorkRunsOnEveryOpeningAndNeverOnARestore)
{
    QDialog window;
    auto* edit = new QLineEdit(&window);
    QStringList order;
    widgets::OnFormShow(&window, [&] {
        order << QStringLiteral("first");
        edit->setText(QStringLiteral("opened"));
    });
    widgets::OnFormShow(&window, [&] { order << QStringLiteral("second"); });

    window.show();
    EXPECT_EQ(order, (QStringList{QStringLiteral("first"), QStringLiteral("second")}));
    edit->setText(QStringLiteral("typed"));
    // minimised and restored twice: what was typed stays
    for (int i = 0; i < 2; ++i) {
        testing_support::MinimiseAndRestore(&window);
        EXPECT_TRUE(window.isVisible());
        EXPECT_EQ(order.size(), 2);
        EXPECT_EQ(edit->text(), QStringLiteral("typed"));
    }
    // closed and opened again: a real opening
    window.close();
    window.show();
    EXPECT_EQ(order.size(), 4);
    EXPECT_EQ(edit->text(), QStringLiteral("opened"));
    // shown while visible: nothing happens
    window.show();
    EXPECT_EQ(order.size(), 4);
}

TEST(NegativeAmounts, OnlyAMinusBeforeANumberIsKeptWithIt)
{
    const QString lre(QChar(0x202A)), pdf(QChar(0x202C));
    const struct {
        const char* text;
        const char* marked;   // "<" and ">" stand for the embedding marks
    } cases[] = {
        {"-3,000", "<-3,000>"},
        {"-25,850,000.5", "<-25,850,000.5>"},
        {"مبلغ: -3,000 ريال", "مبلغ: <-3,000> ريال"},
        {"-1 و -2", "<-1> و <-2>"},
        {"-3,000,", "<-3,000>,"},      // a separator after the last digit is not the number's
        {"1403-1404", "1403-1404"},    // a range
        {"الف-2", "الف-2"},            // a code
        {"- 5", "- 5"},
        {"-", "-"},
        {"", ""},
        {"3,000", "3,000"},
    };
    for (const auto& c : cases) {
        QString expected = QString::fromUtf8(c.marked);
        expected.replace(QLatin1Char('<'), lre).replace(QLatin1Char('>'), pdf);
        EXPECT_EQ(widgets::NegativeNumbersLeftToRight(QString::fromUtf8(c.text)), expected) << c.text;
    }
}

// Where the minus of the text's negative number is drawn against its first digit on a line that
// reads right to left: negative when it stands left of it.
double minusAgainstDigit(const QString& shown)
{
    QTextLayout layout(shown, QFont(QStringLiteral("DejaVu Sans"), 12));
    report::layoutText(layout, 5000, false, Qt::AlignRight, true);
    const int minus = int(shown.indexOf(QLatin1Char('-')));
    const auto centre = [&](int i) {
        const QList<QGlyphRun> runs = layout.glyphRuns(i, 1);
        return runs.isEmpty() ? qQNaN() : runs.first().boundingRect().center().x();
    };
    return centre(minus) - centre(minus + 1);
}

TEST(NegativeAmounts, ReadTheSameInAGridCellAndInAReport)
{
    for (const char* text : {"-3,000", "-25,850,000", "مجموع: -3,000"}) {
        const QString t = QString::fromUtf8(text);
        // unmarked, a right-to-left line puts the minus behind the digits
        EXPECT_GT(minusAgainstDigit(t), 0) << text;
        // the grid shows a cell's text isolated in its own direction
        EXPECT_LT(minusAgainstDigit(widgets::Isolated(t)), 0) << text;
        // a report line lays its text out through the report's own string
        EXPECT_LT(minusAgainstDigit(report::layoutString(t)), 0) << text;
    }
}

} // namespace
