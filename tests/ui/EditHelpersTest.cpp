#include "ui/EditHelpers.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

namespace {

enum class Box { Date, Money, Quote };

// A line edit wired the way forms wire it: key handler in an event filter, change handler on textChanged.
class Harness : public QObject {
public:
    Harness(Box box, int maxDigits = 15, QString flag = QStringLiteral("TRUE"))
        : box(box), maxDigits(maxDigits), flag(std::move(flag))
    {
        edit.installEventFilter(this);
        if (box == Box::Money)
            QObject::connect(&edit, &QLineEdit::textChanged, &edit, [this] { MoneyEditChange(&edit); });
        if (box == Box::Date)
            edit.setReadOnly(true);
    }

    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() != QEvent::KeyPress)
            return false;
        auto* k = static_cast<QKeyEvent*>(e);
        switch (box) {
        case Box::Date: return DateEditKeyDown(&edit, k);
        case Box::Money: return MoneyEditKeyDown(&edit, k, maxDigits, flag);
        case Box::Quote: return BlockApostropheKey(&edit, k);
        }
        return false;
    }

    // Keys: digits (any script) and signs as typed, 'B' Backspace, 'D' Delete, '<' Left.
    void type(const QString& keys)
    {
        for (QChar c : keys) {
            if (c == QLatin1Char('B'))
                QTest::keyClick(&edit, Qt::Key_Backspace);
            else if (c == QLatin1Char('D'))
                QTest::keyClick(&edit, Qt::Key_Delete);
            else if (c == QLatin1Char('<'))
                QTest::keyClick(&edit, Qt::Key_Left);
            else
                QTest::sendKeyEvent(QTest::Click, &edit, Qt::Key(c.unicode() < 128 ? c.toUpper().unicode() : 0),
                                    QString(c), Qt::NoModifier);
        }
    }

    void select(int start, int length) { edit.setSelection(start, length); }

    QString text() const { return edit.inputMask().isEmpty() ? edit.text() : edit.displayText(); }

    QLineEdit edit;
    Box box;
    int maxDigits;
    QString flag;
};

struct DateCase {
    const char* name;
    const char* initial;
    int selStart, selLength, caret;
    const char* keys;
    const char* expected;
    int expectedCaret;
};

const DateCase DateCases[] = {
    {"fill all selected", "____/__/__", 0, 10, 0, "12051403", "1403/05/12", 4},
    {"ninth digit ignored", "____/__/__", 0, 10, 0, "120514035", "1403/05/12", 4},
    {"persian digits", "____/__/__", 0, 10, 0, "۱۲۰۵۱۴۰۳", "1403/05/12", 4},
    {"arabic-indic digits", "____/__/__", 0, 10, 0, "١٢٠٥١٤٠٣", "1403/05/12", 4},
    {"backspace mid year", "1403/05/12", 0, 0, 3, "B", "1430/51/2_", 2},
    {"backspace after slash", "1403/05/12", 0, 0, 5, "B", "1400/51/2_", 3},
    {"backspace at start", "1403/05/12", 0, 0, 0, "B", "1403/05/12", 0},
    {"delete at end", "1403/05/12", 0, 0, 10, "D", "1403/05/12", 10},
    {"delete before slash", "1403/05/12", 0, 0, 4, "D", "1403/51/2_", 5},
    {"delete day digit", "1403/05/12", 0, 0, 8, "D", "1403/05/2_", 8},
    {"backspace selection", "1403/05/12", 0, 2, 0, "B", "__03/05/12", 0},
    {"digit over selection", "1403/05/12", 3, 3, 0, "9", "1409/_5/12", 4},
    {"all selected backspace", "1403/05/12", 0, 10, 0, "B", "____/__/__", 8},
    {"digit at caret 4 ignored", "14__/05/12", 0, 0, 4, "7", "14__/05/12", 4},
    {"digit shifts right over slash", "1403/0_/12", 0, 0, 3, "9", "1409/30/12", 4},
    {"digit at caret 10 goes to month", "____/__/__", 0, 0, 10, "3", "____/3_/__", 6},
};

} // namespace

TEST(EditHelpers, DateEditKeys)
{
    // plain read-only box; optional-digit mask; required-digit mask
    for (const char* mask : {"", "0000/00/00;_", "9999/99/99;_"}) {
        const bool masked = *mask;
        for (const auto& c : DateCases) {
            Harness h(Box::Date);
            if (masked) {
                h.edit.setReadOnly(false);
                h.edit.setInputMask(QLatin1String(mask));
            }
            // a masked box never shows its caret just before a "/"
            const auto beforeSlash = [](int caret) { return caret == 4 || caret == 7; };
            if (masked && !c.selLength && beforeSlash(c.caret))
                continue;
            h.edit.setText(QString::fromUtf8(c.initial));
            ASSERT_EQ(h.text(), QString::fromUtf8(c.initial)) << c.name;
            if (c.selLength)
                h.select(c.selStart, c.selLength);
            else
                h.edit.setCursorPosition(c.caret);
            h.type(QString::fromUtf8(c.keys));
            EXPECT_EQ(h.text(), QString::fromUtf8(c.expected)) << c.name << " " << mask;
            if (!masked || !beforeSlash(c.expectedCaret))
                EXPECT_EQ(h.edit.cursorPosition(), c.expectedCaret) << c.name << " " << mask;
        }
    }
}

TEST(EditHelpers, DateEditIgnoresOtherKeys)
{
    Harness h(Box::Date);
    h.edit.setReadOnly(false);
    h.edit.setInputMask(QStringLiteral("9999/99/99;_"));
    h.edit.setText(QStringLiteral("1403/05/12"));
    h.edit.setCursorPosition(3);
    QTest::keyClick(&h.edit, Qt::Key_Left);
    EXPECT_EQ(h.edit.cursorPosition(), 2);
    EXPECT_EQ(h.text(), QLatin1String("1403/05/12"));
}

struct MoneyCase {
    const char* name;
    const char* initial;
    int selStart, selLength, caret; // caret -1: end
    const char* keys;
    int maxDigits;
    const char* flag;
    const char* expected;
    int expectedCaret; // -1: end
};

const MoneyCase MoneyCases[] = {
    {"grouped while typed", "", 0, 0, 0, "1234567", 15, "TRUE", "1,234,567", -1},
    {"sign and decimals", "", 0, 0, 0, "-1234.5", 15, "TRUE", "-1,234.5", -1},
    {"persian digits stored ascii", "", 0, 0, 0, "۱۲۳۴", 15, "TRUE", "1,234", -1},
    {"backspace over separator", "1,234", 0, 0, 2, "B", 15, "TRUE", "234", 0},
    {"delete over separator", "1,234", 0, 0, 1, "D", 15, "TRUE", "134", 1},
    {"digit limit", "123,456,789,012,345", 0, 0, -1, "6", 15, "TRUE", "123,456,789,012,345", -1},
    {"digit limit with selection", "123,456,789,012,345", 0, 1, 0, "9", 15, "TRUE", "923,456,789,012,345", 1},
    {"digit limit selected separator", "123,456,789,012,345", 3, 1, 0, "9", 15, "TRUE", "123,456,789,012,345", 4},
    {"three decimals", "12.345", 0, 0, -1, "6", 15, "TRUE", "12.345", -1},
    {"digit before decimals", "12.345", 0, 0, 2, "6", 15, "TRUE", "126.345", 3},
    {"minus after a digit", "1", 0, 0, 1, "-", 15, "TRUE", "1", 1},
    {"minus at front", "1", 0, 0, 0, "-", 15, "TRUE", "-1", 1},
    {"second sign", "-1", 0, 0, 0, "+", 15, "TRUE", "-1", 0},
    {"digit before sign", "-1", 0, 0, 0, "5", 15, "TRUE", "-1", 0},
    {"decimals forbidden", "12", 0, 0, -1, ".", 15, "false", "12", -1},
    {"decimals allowed", "12", 0, 0, -1, ".5", 15, "TRUE", "12.5", -1},
    {"decimal too far left", "12,345", 0, 0, 1, ".", 15, "TRUE", "12,345", 1},
    {"letters refused", "12", 0, 0, -1, "a=", 15, "TRUE", "12", -1},
    {"small limit", "", 0, 0, 0, "123", 2, "FALSE", "12", -1},
};

TEST(EditHelpers, MoneyEditKeys)
{
    for (const auto& c : MoneyCases) {
        Harness h(Box::Money, c.maxDigits, QString::fromUtf8(c.flag));
        h.edit.setText(QString::fromUtf8(c.initial));
        if (c.selLength)
            h.select(c.selStart, c.selLength);
        else
            h.edit.setCursorPosition(c.caret < 0 ? h.edit.text().size() : c.caret);
        h.type(QString::fromUtf8(c.keys));
        EXPECT_EQ(h.edit.text(), QString::fromUtf8(c.expected)) << c.name;
        const int caret = c.expectedCaret < 0 ? h.edit.text().size() : c.expectedCaret;
        EXPECT_EQ(h.edit.cursorPosition(), caret) << c.name;
    }
}

TEST(EditHelpers, MoneyEditRefusalKeepsNavigation)
{
    Harness h(Box::Money);
    h.edit.setText(QStringLiteral("1,234"));
    h.edit.setCursorPosition(5);
    QTest::keyClick(&h.edit, Qt::Key_Exclam, Qt::ShiftModifier);
    EXPECT_EQ(h.edit.text(), QLatin1String("1,234"));
    QTest::keyClick(&h.edit, Qt::Key_Left);
    QTest::keyClick(&h.edit, Qt::Key_Home);
    EXPECT_EQ(h.edit.cursorPosition(), 0);
    EXPECT_FALSE(h.edit.isReadOnly());
    QTest::keyClick(&h.edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(h.edit.text(), QLatin1String("1,234"));
}

TEST(EditHelpers, PasteHoldsTheLimits)
{
    struct Case {
        const char* clip;
        int maxDigits;
        const char* flag;
        const char* expected;
    } cases[] = {
        {"1234567", 5, "TRUE", ""}, {"12345", 5, "TRUE", "12,345"}, {"۱۲۳", 5, "TRUE", "123"},
        {"12a", 5, "TRUE", ""},     {"1.5", 5, "FALSE", ""},       {"-1,234.5", 15, "TRUE", "-1,234.5"},
    };
    for (const auto& c : cases) {
        Harness h(Box::Money);
        SetMoneyEditLimit(&h.edit, c.maxDigits, QString::fromUtf8(c.flag));
        QApplication::clipboard()->setText(QString::fromUtf8(c.clip));
        h.edit.paste();
        EXPECT_EQ(h.edit.text(), QString::fromUtf8(c.expected)) << c.clip;
    }
}

TEST(EditHelpers, MoneyEditChangeRegroups)
{
    struct Case {
        const char* text;
        int caret;
        const char* expected;
        int expectedCaret;
    } cases[] = {
        {"1234567", 7, "1,234,567", 9}, {"-1234.5", 7, "-1,234.5", 8}, {",123", 0, "123", 0},
        {"+1,2345", 7, "+12,345", 7},   {"", 0, "", 0},                {"1,234", 5, "1,234", 5},
    };
    for (const auto& c : cases) {
        QLineEdit e;
        e.setText(QString::fromUtf8(c.text));
        e.setCursorPosition(c.caret);
        MoneyEditChange(&e);
        EXPECT_EQ(e.text(), QString::fromUtf8(c.expected)) << c.text;
        EXPECT_EQ(e.cursorPosition(), c.expectedCaret) << c.text;
    }
}

TEST(EditHelpers, BlockApostropheKey)
{
    Harness h(Box::Quote);
    h.type(QStringLiteral("a'b"));
    QTest::sendKeyEvent(QTest::Click, &h.edit, Qt::Key_QuoteDbl, QStringLiteral("\""), Qt::ShiftModifier);
    h.type(QStringLiteral("سلام"));
    EXPECT_EQ(h.edit.text(), QStringLiteral("a'bسلام"));
}
