// The login window: the list of users, choosing one, the password, the fade of a name,
// the caption and rights after login, and the ways the program ends from it.
#include "ScriptedPrompter.h"
#include "startup_fixture.h"

#include "app/StartUp.h"
#include "app/TFrmMain.h"
#include "app/TRFrmUsers.h"
#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "ui/TTools.h"
#include "ui_TFrmMain.h"
#include "ui_TRFrmUsers.h"

#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using testing_support::ScriptedPrompter;

namespace {

class LoginTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.makeDatabases();
        FrmMain = new TFrmMain;
        dm = std::make_unique<TDm>();
        Dm = dm.get();
        ASSERT_TRUE(dm->DataModuleCreate(true));
        prompter.calls.clear();
        UserCanChange = false;
        CurrentUserName = QStringLiteral("before");
        previous = SetTerminateHandler([this] { ++terminated; });
    }
    void TearDown() override
    {
        delete dlg.data();
        SetTerminateHandler(previous);
        delete FrmMain;
        FrmMain = nullptr;
        Dm = nullptr;
    }
    void addUser(const char* name, const char* password, const char* rights = "")
    {
        QString cols = QStringLiteral("Esm, Passw"), values = QStringLiteral("$1, $2");
        for (const QString& r : QString::fromLatin1(rights).split(',', Qt::SkipEmptyParts)) {
            cols += QStringLiteral(", ") + r;
            values += QStringLiteral(", -1");
        }
        dm->UserConn->exec(QStringLiteral("insert into tunames (%1) values (%2)").arg(cols, values),
                           {QString::fromUtf8(name), QString::fromUtf8(password)});
    }
    void open()
    {
        dlg = new TRFrmUsers(FrmMain);
        dlg->show();
    }
    QLabel* name(int i) { return dlg->NameLabels().at(size_t(i)); }
    void click(QLabel* label) { QTest::mouseClick(label, Qt::LeftButton); }
    QString caption(const QString& user = {})
    {
        QString c = TFrmMain::AppCaptionText + QStringLiteral(" - ") + Tools->TodayShamsi();
        if (!user.isEmpty())
            c += QStringLiteral("    -    ") + user;
        return c;
    }
    static void flush() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

    ProgramFolderScope folder;
    ScriptedPrompter prompter;
    std::unique_ptr<TDm> dm;
    QPointer<TRFrmUsers> dlg;
    std::function<void()> previous;
    int terminated = 0;
};

TEST_F(LoginTest, TheUsersAreListedWithTheirPicturesAndTheLastOneIsCurrent)
{
    addUser("مدير", "", "AMoojod");
    addUser("منشي", "");
    addUser("حسابدار", "", "Hazineh,Dels");
    open();
    EXPECT_EQ(dlg->windowTitle(), caption());
    ASSERT_EQ(dlg->NameLabels().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        QLabel* label = name(i);
        EXPECT_EQ(label->geometry().right() + 1, 390);
        EXPECT_EQ(label->y(), 20 + 58 * i + 10);
        EXPECT_EQ(label->font().pointSize(), 18);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(210, 210, 255));
    }
    EXPECT_EQ(name(1)->text(), QStringLiteral("منشي"));
    EXPECT_EQ(dlg->CurrentLabel(), name(2));
    ASSERT_NE(dlg->CurrentPicture(), nullptr);
    EXPECT_EQ(dlg->CurrentPicture()->geometry(), QRect(400, 20 + 2 * 58, 48, 48));

    // the pointer never moved: the enter button logs the last user in
    dlg->form()->BtnOk->click();
    EXPECT_EQ(CurrentUserName, QStringLiteral("حسابدار"));
    EXPECT_EQ(FrmMain->windowTitle(), caption(QStringLiteral("حسابدار")));
    EXPECT_TRUE(FrmMain->form()->ActExSanad->isEnabled());
    EXPECT_FALSE(FrmMain->form()->ActNewMelk->isEnabled());
    EXPECT_TRUE(UserCanChange);
    flush();
    EXPECT_TRUE(dlg.isNull());   // a login frees the window
    EXPECT_EQ(terminated, 0);
}

TEST_F(LoginTest, AUserWithoutPasswordLogsInAtTheFirstClick)
{
    addUser("مدير", "secret");
    addUser("منشي", "", "AMoojod");
    open();
    click(name(1));
    EXPECT_EQ(CurrentUserName, QStringLiteral("منشي"));
    EXPECT_TRUE(FrmMain->form()->ActNewMelk->isEnabled());
    EXPECT_FALSE(UserCanChange);
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(LoginTest, APasswordIsAskedAndComparedExactly)
{
    addUser("مدير", "Abc1", "Dels");
    addUser("منشي", "");
    open();
    QLabel* label = name(0);
    const QPoint labelAt = label->pos();
    const QPoint pictureAt(400, 20);
    click(label);
    ASSERT_TRUE(dlg->PasswordMode());
    EXPECT_EQ(CurrentUserName, QStringLiteral("before"));
    EXPECT_EQ(label->pos(), labelAt + QPoint(0, 50));
    EXPECT_EQ(dlg->CurrentPicture()->pos(), pictureAt - QPoint(30, 0));
    const Ui::TRFrmUsers& f = *dlg->form();
    EXPECT_TRUE(f.edtpass->isVisible());
    EXPECT_FALSE(f.edtpass->isReadOnly());
    EXPECT_EQ(f.edtpass->echoMode(), QLineEdit::Password);
    EXPECT_EQ(f.edtpass->y(), dlg->CurrentPicture()->y() + 10);
    EXPECT_EQ(f.btnokpass->pos(), QPoint(f.edtpass->x(), f.edtpass->y() + f.edtpass->height() + 5));
    EXPECT_EQ(f.btncanpass->pos(), QPoint(f.btnokpass->geometry().right() + 1 + 5, f.btnokpass->y()));
    EXPECT_FALSE(name(1)->isVisible());

    // case counts: a wrong password keeps the window in password mode with the text
    QTest::keyClicks(f.edtpass, QStringLiteral("abc1"));
    f.btnokpass->click();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("کلمه عبور اشتباه است"));
    EXPECT_EQ(prompter.calls[0].kind, 0);
    EXPECT_TRUE(dlg->PasswordMode());
    EXPECT_EQ(f.edtpass->text(), QStringLiteral("abc1"));
    EXPECT_FALSE(UserCanChange);

    // back to the list, and again
    f.btncanpass->click();
    EXPECT_FALSE(dlg->PasswordMode());
    EXPECT_EQ(label->pos(), labelAt);
    EXPECT_EQ(dlg->CurrentPicture()->pos(), pictureAt);
    EXPECT_FALSE(f.edtpass->isVisible());
    EXPECT_TRUE(f.edtpass->isReadOnly());
    EXPECT_TRUE(name(1)->isVisible());
    click(label);
    ASSERT_TRUE(dlg->PasswordMode());
    // a click on the name in password mode also goes back
    click(label);
    EXPECT_FALSE(dlg->PasswordMode());
    click(label);
    f.edtpass->clear();
    QTest::keyClicks(f.edtpass, QStringLiteral("Abc1"));
    QTest::keyClick(f.edtpass, Qt::Key_Return);
    EXPECT_EQ(CurrentUserName, QStringLiteral("مدير"));
    EXPECT_TRUE(UserCanChange);
    EXPECT_EQ(FrmMain->windowTitle(), caption(QStringLiteral("مدير")));
}

// No title-bar buttons: none asked of the window manager, and a fixed size so that none
// offers to maximise it.
TEST_F(LoginTest, TheWindowHasNoTitleBarButtons)
{
    open();
    const Qt::WindowFlags flags = dlg->windowFlags();
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    for (Qt::WindowType button : {Qt::WindowMinimizeButtonHint, Qt::WindowMaximizeButtonHint,
                                  Qt::WindowCloseButtonHint, Qt::WindowSystemMenuHint})
        EXPECT_FALSE(flags & button) << button;
    EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize());
}

// One Enter, one decision: a wrong password typed and confirmed with Enter (or the keypad's
// Enter) gives one message, and the window stays in password mode.
TEST_F(LoginTest, OneEnterOnAWrongPasswordGivesOneMessage)
{
    addUser("مدير", "Abc1");
    open();
    click(name(0));
    ASSERT_TRUE(dlg->PasswordMode());
    const Ui::TRFrmUsers& f = *dlg->form();
    QTest::keyClicks(f.edtpass, QStringLiteral("wrong"));
    int expected = 0;
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(f.edtpass, key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        ++expected;
        ASSERT_EQ(prompter.calls.size(), expected) << prompter.messages().join(QLatin1Char('|')).toStdString();
        EXPECT_EQ(prompter.calls.back().text, QStringLiteral("کلمه عبور اشتباه است"));
        EXPECT_TRUE(dlg->PasswordMode());
        EXPECT_EQ(CurrentUserName, QStringLiteral("before"));
    }
}

TEST_F(LoginTest, ANameFadesToBlueWhilePointedAt)
{
    addUser("مدير", "");
    addUser("منشي", "");
    open();
    QLabel* label = name(0);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(label, &enter);
    EXPECT_EQ(dlg->CurrentLabel(), label);
    EXPECT_TRUE(label->font().bold());
    EXPECT_TRUE(dlg->tmrlbl->isActive());
    EXPECT_EQ(dlg->tmrlbl->interval(), 50);
    for (int i = 0; i < 34; ++i)
        QMetaObject::invokeMethod(dlg->tmrlbl, "timeout", Qt::DirectConnection);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(6, 6, 255));
    EXPECT_TRUE(dlg->tmrlbl->isActive());
    QMetaObject::invokeMethod(dlg->tmrlbl, "timeout", Qt::DirectConnection);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    EXPECT_FALSE(dlg->tmrlbl->isActive());

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(label, &leave);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(210, 210, 255));
    EXPECT_FALSE(label->font().bold());
    EXPECT_EQ(dlg->CurrentLabel(), label);   // pointed at last: the current user

    dlg->form()->BtnOk->click();
    EXPECT_EQ(CurrentUserName, QStringLiteral("مدير"));
}

TEST_F(LoginTest, NoUsersLogsNobodyInWithEveryRight)
{
    open();
    EXPECT_TRUE(dlg->NameLabels().empty());
    dlg->form()->BtnOk->click();
    EXPECT_EQ(CurrentUserName, QString());
    EXPECT_EQ(FrmMain->windowTitle(), caption());
    EXPECT_TRUE(FrmMain->form()->ActLstGhovl->isEnabled());
    EXPECT_TRUE(UserCanChange);
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(LoginTest, AUserDeletedMeanwhileOrTheExitButtonEndTheProgram)
{
    addUser("مدير", "");
    open();
    dm->UserConn->exec(QStringLiteral("delete from tunames"));
    click(name(0));
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("کاربر مورد نظر يافت نشد"));
    EXPECT_EQ(prompter.calls[0].kind, 1);
    EXPECT_EQ(terminated, 1);
    EXPECT_FALSE(UserCanChange);

    SetTerminateHandler([this] { ++terminated; });
    addUser("منشي", "");
    open();
    dlg->form()->BtnCan->click();
    EXPECT_EQ(terminated, 2);
    EXPECT_EQ(CurrentUserName, QStringLiteral("before"));
    EXPECT_TRUE(TerminateRequested());
}

TEST_F(LoginTest, TheMainWindowAsksForTheLoginAtItsFirstShowAndOnChangeOfUser)
{
    addUser("مدير", "", "Tels");
    addUser("منشي", "", "Reps");
    int logins = 0;
    FrmMain->ShowLogin = [&] { ++logins; };
    FrmMain->FormShow();
    EXPECT_EQ(logins, 1);
    EXPECT_FALSE(FrmMain->form()->ActTel->isEnabled());

    // change of user: a new login window, modal
    QTimer::singleShot(0, [this] {
        ASSERT_NE(RFrmUsers, nullptr);
        QTest::mouseClick(RFrmUsers->NameLabels().at(0), Qt::LeftButton);
    });
    FrmMain->form()->ActUser->trigger();
    EXPECT_EQ(CurrentUserName, QStringLiteral("مدير"));
    EXPECT_TRUE(FrmMain->form()->ActTel->isEnabled());
    EXPECT_FALSE(FrmMain->form()->ActRep->isEnabled());
    flush();
    EXPECT_EQ(RFrmUsers, nullptr);
}

} // namespace
