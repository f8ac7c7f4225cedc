// Modal windows over the windows they block: every dialog the program creates, and the
// message dialog, opened from every window of the program, is transient for that window and
// stays on top when it does; hidden again, it gets back its own owner and flags.
#include "ScriptedPrompter.h"
#include "startup_fixture.h"

#include "app/StartUp.h"
#include "app/TFrmMain.h"
#include "core/TDm.h"
#include "deals/TFrmAddInfo.h"
#include "deals/TFrmSanad.h"
#include "deals/TfrmTTMS2.h"
#include "ui/Tfrm_dlg.h"
#include "ui/WidgetPrompter.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

using testing_support::ScriptedPrompter;

namespace {

bool onTop(QWidget* w) { return w->windowHandle() && (w->windowHandle()->flags() & Qt::WindowStaysOnTopHint); }

QString nameOf(QWidget* w)
{
    return QString::fromLatin1(w->metaObject()->className()) + QLatin1Char('/') + w->objectName();
}

// The program's own windows (menus and Qt's internal pop-ups aside).
QList<QWidget*> programWindows()
{
    QList<QWidget*> out;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isWindow() && (w->windowType() == Qt::Window || w->windowType() == Qt::Dialog)
            && !qobject_cast<QMenu*>(w))
            out.append(w);
    return out;
}

class ModalWindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallWindowLook(*qApp);
        folder.makeDatabases();
        folder.makeTemplate();
        ASSERT_TRUE(CreateForms());
    }
    void TearDown() override { FreeForms(); }

    // Shows the window as the one the user works in.
    static void work(QWidget* w)
    {
        w->show();
        QApplication::setActiveWindow(w);
        ASSERT_EQ(QApplication::activeWindow(), w) << nameOf(w).toStdString();
    }

    ProgramFolderScope folder;
    ScriptedPrompter prompter;
};

TEST_F(ModalWindowsTest, EveryDialogOpensOverTheWindowItBlocks)
{
    const QList<QWidget*> windows = programWindows();
    QList<QDialog*> dialogs;
    int onTopWindows = 0;
    for (QWidget* w : windows) {
        if (auto* d = qobject_cast<QDialog*>(w))
            dialogs.append(d);
        onTopWindows += (w->windowFlags() & Qt::WindowStaysOnTopHint) ? 1 : 0;
    }
    // the party dialogs, the tax window and the other dialogs made at start; the lists and
    // record windows that stay on top
    ASSERT_GE(dialogs.size(), 3);
    ASSERT_GE(onTopWindows, 8);
    for (QDialog* d : dialogs)
        d->winId();   // the owner each dialog was made with

    for (QWidget* blocker : windows) {
        if (blocker == FrmMain)
            continue;   // shown last: the main window's opening work runs once
        work(blocker);
        const QString b = nameOf(blocker);
        for (QDialog* d : dialogs) {
            if (d == blocker)
                continue;
            const QString n = nameOf(d) + QStringLiteral(" over ") + b;
            QWindow* ownOwner = d->windowHandle() ? d->windowHandle()->transientParent() : nullptr;
            const bool ownTop = d->windowFlags() & Qt::WindowStaysOnTopHint;
            // what exec does before it waits
            d->setAttribute(Qt::WA_ShowModal, true);
            d->show();
            ASSERT_NE(d->windowHandle(), nullptr) << n.toStdString();
            EXPECT_EQ(d->windowHandle()->transientParent(), blocker->windowHandle()) << n.toStdString();
            if (onTop(blocker))
                EXPECT_TRUE(onTop(d)) << n.toStdString();
            d->hide();
            d->setAttribute(Qt::WA_ShowModal, false);
            EXPECT_EQ(d->windowHandle()->transientParent(), ownOwner) << n.toStdString();
            EXPECT_EQ(bool(d->windowFlags() & Qt::WindowStaysOnTopHint), ownTop) << n.toStdString();
            EXPECT_EQ(onTop(d), ownTop) << n.toStdString();
        }
        blocker->hide();
    }
}

// Opened from a window below one that stays on top, the dialog still comes above them both.
TEST_F(ModalWindowsTest, ADialogFromTheMainWindowComesAboveTheWindowsOnTop)
{
    work(FrmMain);
    FrmSanad->show();
    QApplication::setActiveWindow(FrmMain);
    for (QDialog* d : {static_cast<QDialog*>(frmTTMS2), static_cast<QDialog*>(FrmAddInfoCust)}) {
        d->setAttribute(Qt::WA_ShowModal, true);
        d->show();
        EXPECT_EQ(d->windowHandle()->transientParent(), FrmMain->windowHandle()) << nameOf(d).toStdString();
        EXPECT_TRUE(onTop(d)) << nameOf(d).toStdString();
        d->hide();
        d->setAttribute(Qt::WA_ShowModal, false);
        EXPECT_FALSE(onTop(d)) << nameOf(d).toStdString();
    }
    // with nothing on top shown (the first start's help closed too), nothing is put on top
    for (QWidget* w : programWindows())
        if (w != FrmMain)
            w->hide();
    frmTTMS2->setAttribute(Qt::WA_ShowModal, true);
    frmTTMS2->show();
    EXPECT_FALSE(onTop(frmTTMS2));
    frmTTMS2->hide();
}

TEST_F(ModalWindowsTest, MessagesOpenOverEveryWindow)
{
    WidgetPrompter real;
    shell::Prompter* scripted = shell::setPrompter(&real);
    for (QWidget* blocker : programWindows()) {
        if (blocker == FrmMain || qobject_cast<QDialog*>(blocker))
            continue;
        work(blocker);
        Tfrm_dlg* seen = nullptr;
        bool seenOnTop = false;
        QTimer answer;
        QObject::connect(&answer, &QTimer::timeout, [&] {
            seen = qobject_cast<Tfrm_dlg*>(QApplication::activeModalWidget());
            if (!seen)
                return;
            answer.stop();
            if (seen->windowHandle() && seen->windowHandle()->transientParent() == blocker->windowHandle())
                seenOnTop = onTop(seen) || !onTop(blocker);
            seen->done(shell::ResultOk);
        });
        answer.start(5);
        shell::MessageRequest r;
        r.text = QStringLiteral("کلمه عبور اشتباه است");
        EXPECT_EQ(shell::prompter().messageDlg(r), shell::ResultOk) << nameOf(blocker).toStdString();
        ASSERT_NE(seen, nullptr) << nameOf(blocker).toStdString();
        EXPECT_TRUE(seenOnTop) << nameOf(blocker).toStdString();
        blocker->hide();
    }
    shell::setPrompter(scripted);
}

} // namespace
