#include "ui/Dialogs.h"
#include "ui/Tfrm_dlg.h"
#include "ui/Tfrminputbox.h"
#include "ui_Tfrm_dlg.h"
#include "ui_Tfrminputbox.h"

#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using testing_support::ScriptedPrompter;

namespace {

shell::MessageRequest request(int buttons, int kind = 2, int fontSize = 10)
{
    shell::MessageRequest r;
    r.kind = kind;
    r.caption = QStringLiteral("پرسش");
    r.text = QStringLiteral("آيا رديف انتخاب شده حذف شود؟");
    r.buttons = buttons;
    r.fontSize = fontSize;
    return r;
}

// Runs the dialog modally and acts on it once it is up.
int runDialog(Tfrm_dlg& dlg, const std::function<void()>& act)
{
    QTimer::singleShot(0, &dlg, [&] {
        act();
        if (dlg.isVisible())
            dlg.close();
    });
    return dlg.execute();
}

QWidget* focused(QWidget* window) { return window->focusWidget(); }

} // namespace

TEST(MessageDialog, ButtonLayout)
{
    struct Case {
        int set;
        QList<QPair<QString, int>> buttons; // object name, x
    } cases[] = {
        {12, {{"btnYes", 8}, {"btnNo", 90}}},
        {14, {{"btnYes", 8}, {"btnNo", 90}, {"btnCancel", 172}}},
        {0, {}},
        {1, {{"btnOk", 8}}},
        {3, {{"btnOk", 8}, {"btnCancel", 90}}},
        {18, {{"btnRetry", 8}, {"btnCancel", 95}}},
        {32 | 2, {{"btnAll", 8}, {"btnCancel", 90}}},
    };
    for (const auto& c : cases) {
        Tfrm_dlg dlg;
        dlg.setup(request(c.set));
        const auto buttons = dlg.buttons();
        ASSERT_EQ(buttons.size(), c.buttons.size()) << c.set;
        for (int i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i]->objectName(), c.buttons[i].first) << c.set;
            EXPECT_EQ(buttons[i]->x(), c.buttons[i].second) << c.set << " " << i;
            EXPECT_EQ(buttons[i]->y(), 125);
            EXPECT_EQ(buttons[i]->width(), c.buttons[i].first == QLatin1String("btnRetry") ? 80 : 75);
            EXPECT_EQ(buttons[i]->cursor().shape(), Qt::PointingHandCursor);
        }
    }
    Tfrm_dlg dlg;
    dlg.setup(request(1));
    EXPECT_EQ(dlg.size(), QSize(411, 156));
    EXPECT_EQ(dlg.findChild<QPushButton*>(QStringLiteral("btnOk"))->text(), QStringLiteral("&تاييد"));
}

TEST(MessageDialog, Results)
{
    struct Case {
        const char* name;
        int set;
        std::function<void(Tfrm_dlg&)> act;
        int expected;
    } cases[] = {
        {"enter on yes/no", 12, [](Tfrm_dlg& d) { QTest::keyClick(focused(&d), Qt::Key_Return); }, 6},
        {"escape without cancel, then close box", 12,
         [](Tfrm_dlg& d) {
             QTest::keyClick(focused(&d), Qt::Key_Escape);
             EXPECT_TRUE(d.isVisible());
         },
         2},
        {"escape with cancel", 14, [](Tfrm_dlg& d) { QTest::keyClick(focused(&d), Qt::Key_Escape); }, 2},
        {"no buttons: enter does nothing", 0,
         [](Tfrm_dlg& d) {
             QTest::keyClick(&d, Qt::Key_Return);
             QTest::keyClick(&d, Qt::Key_Escape);
             EXPECT_TRUE(d.isVisible());
         },
         2},
        {"enter on ok", 3, [](Tfrm_dlg& d) { QTest::keyClick(focused(&d), Qt::Key_Return); }, 1},
        {"click no", 14, [](Tfrm_dlg& d) { d.findChild<QPushButton*>("btnNo")->click(); }, 7},
        {"click retry", 18, [](Tfrm_dlg& d) { d.findChild<QPushButton*>("btnRetry")->click(); }, 4},
        {"click all", 34, [](Tfrm_dlg& d) { d.findChild<QPushButton*>("btnAll")->click(); }, 8},
        {"tab to no, enter", 12,
         [](Tfrm_dlg& d) {
             QTest::keyClick(focused(&d), Qt::Key_Tab);
             QTest::keyClick(focused(&d), Qt::Key_Return);
         },
         7},
    };
    for (const auto& c : cases) {
        Tfrm_dlg dlg;
        dlg.setup(request(c.set));
        EXPECT_EQ(runDialog(dlg, [&] { c.act(dlg); }), c.expected) << c.name;
    }
}

TEST(MessageDialog, FontPictureAndText)
{
    struct Case {
        int kind;
        int size;
        const char* visible;
        int shownSize;
    } cases[] = {{0, 8, "error", 10}, {1, 12, "info", 12}, {2, 10, "question", 10}, {7, 9, "", 10}};
    for (const auto& c : cases) {
        Tfrm_dlg dlg;
        auto r = request(1, c.kind, c.size);
        r.bold = true;
        dlg.setup(r);
        EXPECT_EQ(dlg.form()->memmess->font().pointSize(), c.shownSize);
        EXPECT_TRUE(dlg.form()->memmess->font().bold());
        EXPECT_EQ(dlg.form()->error->isVisibleTo(&dlg), QLatin1String(c.visible) == QLatin1String("error"));
        EXPECT_EQ(dlg.form()->info->isVisibleTo(&dlg), QLatin1String(c.visible) == QLatin1String("info"));
        EXPECT_EQ(dlg.form()->question->isVisibleTo(&dlg), QLatin1String(c.visible) == QLatin1String("question"));
        EXPECT_EQ(dlg.form()->memmess->toPlainText(), r.text);
        EXPECT_TRUE(dlg.form()->memmess->isReadOnly());
        EXPECT_EQ(dlg.form()->memmess->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(dlg.windowTitle(), r.caption);
    }
}

TEST(MessageDialog, ShowMessageDlgGoesThroughThePrompter)
{
    ScriptedPrompter p;
    p.answer(7);
    EXPECT_EQ(ShowMessageDlg(dkQuestion, QStringLiteral("c"), QStringLiteral("t"), dbYes | dbNo, 8,
                             QStringLiteral("arial"), fsBold | fsUnderline),
              7);
    ASSERT_EQ(p.calls.size(), 1);
    EXPECT_EQ(p.calls[0].fontSize, 10);
    EXPECT_EQ(p.calls[0].buttons, 12);
    EXPECT_EQ(p.calls[0].kind, 2);
    EXPECT_TRUE(ShowInputBox(QStringLiteral("c"), QStringLiteral("p"), 50).isEmpty());
    p.answerInput(QStringLiteral("نام"));
    EXPECT_EQ(ShowInputBox(QStringLiteral("c"), QStringLiteral("p"), 50), QStringLiteral("نام"));
}

namespace {

shell::InputRequest inputRequest(int mode, const QString& initial = {}, int maxLength = 50,
                                 const QString& flag = {})
{
    shell::InputRequest r;
    r.caption = QStringLiteral("ورود");
    r.prompt = QStringLiteral("مقدار را وارد كنيد");
    r.mode = mode;
    r.initialText = initial;
    r.maxLength = maxLength;
    r.decimalFlag = flag;
    return r;
}

} // namespace

TEST(InputBox, NumberModesAnswerZero)
{
    struct Case {
        int mode;
        const char* initial;
        const char* expected;
    } cases[] = {{2, "0", "0"}, {2, "0.0", "0"}, {2, "12", "12"}, {1, "0.000", "0"}, {1, "1234", "1,234"},
                 {0, "0.0", "0.0"}};
    for (const auto& c : cases) {
        Tfrminputbox box;
        box.setup(inputRequest(c.mode, QString::fromUtf8(c.initial)));
        box.show();
        box.form()->BitBtn1->click();
        EXPECT_EQ(box.result(), 1) << c.initial;
        EXPECT_EQ(box.resultText(), QString::fromUtf8(c.expected)) << c.initial;
    }
}

TEST(InputBox, CancelAndBlanks)
{
    ScriptedPrompter p;
    Tfrminputbox box;
    box.setup(inputRequest(0, QStringLiteral("   ")));
    box.show();
    EXPECT_TRUE(box.form()->edttext->text().isEmpty()); // leading blanks removed on change
    QTest::keyClicks(box.form()->edttext, QStringLiteral("  "));
    box.form()->BitBtn1->click();
    EXPECT_TRUE(box.isVisible());
    ASSERT_EQ(p.calls.size(), 1);
    EXPECT_EQ(p.calls[0].caption, QStringLiteral("اطلاعات وارد نشده"));
    EXPECT_EQ(p.calls[0].text, QStringLiteral(" هيچ اطلاعاتي وارد نشده"));
    EXPECT_EQ(p.calls[0].kind, 0);
    EXPECT_EQ(p.calls[0].buttons, 1);
    EXPECT_EQ(box.focusWidget(), box.form()->edttext);
    QTest::keyClick(box.form()->edttext, Qt::Key_Escape);
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), 2);
}

TEST(InputBox, TextModeLowerCasesAndBlocksDoubleQuote)
{
    Tfrminputbox box;
    box.setup(inputRequest(0, QStringLiteral("Ab"), 6));
    box.show();
    QLineEdit* e = box.form()->edttext;
    EXPECT_EQ(e->text(), QLatin1String("ab"));
    EXPECT_EQ(e->layoutDirection(), Qt::RightToLeft);
    e->end(false);
    QTest::keyClicks(e, QStringLiteral("CD"));
    QTest::sendKeyEvent(QTest::Click, e, Qt::Key_QuoteDbl, QStringLiteral("\""), Qt::ShiftModifier);
    QTest::keyClicks(e, QStringLiteral("EFG"));
    EXPECT_EQ(e->text(), QLatin1String("abcdef"));
}

TEST(InputBox, EnterMovesFocus)
{
    Tfrminputbox box;
    box.setup(inputRequest(0));
    box.show();
    auto* ui = box.form();
    QTest::keyClick(ui->edttext, Qt::Key_Return);
    EXPECT_EQ(box.focusWidget(), ui->BitBtn1);
    QTest::keyClick(ui->BitBtn1, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(box.focusWidget(), ui->edttext);
    QTest::keyClick(ui->edttext, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(box.focusWidget(), ui->BitBtn2);
    QTest::keyClick(ui->BitBtn2, Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(box.focusWidget(), ui->BitBtn1);
    EXPECT_TRUE(box.isVisible());
}

TEST(InputBox, DateModeTypesIntoTheMask)
{
    ScriptedPrompter p;
    Tfrminputbox box;
    box.setup(inputRequest(3, QStringLiteral("kept out")));
    box.show();
    QLineEdit* e = box.form()->edttext;
    EXPECT_EQ(e->text(), QLatin1String("____/__/__"));
    EXPECT_TRUE(e->isReadOnly());
    QTest::keyClicks(e, QStringLiteral("01131403"));
    EXPECT_EQ(e->text(), QLatin1String("1403/13/01"));
    box.form()->BitBtn1->click();
    EXPECT_TRUE(box.isVisible());
    ASSERT_EQ(p.calls.size(), 1);
    EXPECT_EQ(p.calls[0].text, QStringLiteral("ماه وارد شده درست نمي باشد"));

    e->selectAll();
    QTest::keyClicks(e, QStringLiteral("12051403"));
    box.form()->BitBtn1->click();
    EXPECT_EQ(box.result(), 1);
    EXPECT_EQ(box.resultText(), QLatin1String("1403/05/12"));
}

TEST(InputBox, AmountModeGroupsAndLimitsDigits)
{
    Tfrminputbox box;
    box.setup(inputRequest(1, {}, 5, QStringLiteral("FALSE")));
    box.show();
    QLineEdit* e = box.form()->edttext;
    QTest::keyClicks(e, QStringLiteral("1234567.8"));
    EXPECT_EQ(e->text(), QLatin1String("12,345"));
    EXPECT_EQ(e->layoutDirection(), Qt::LeftToRight);
}

TEST(InputBox, PasswordModeHidesText)
{
    Tfrminputbox box;
    box.setup(inputRequest(4, QStringLiteral("Secret")));
    EXPECT_EQ(box.form()->edttext->echoMode(), QLineEdit::Password);
    EXPECT_EQ(box.form()->edttext->text(), QLatin1String("secret"));
}
