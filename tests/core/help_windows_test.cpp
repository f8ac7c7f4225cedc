// The help window and its pages, the picture-help chooser and its windows, the about window,
// and their place among the windows made at start-up.
#include "ScriptedPrompter.h"
#include "WindowChecks.h"
#include "startup_fixture.h"

#include "app/StartUp.h"
#include "app/TForm2000.h"
#include "app/TForm3.h"
#include "app/TForm4.h"
#include "app/TForm5.h"
#include "app/TFrmMain.h"
#include "app/TfrmChoseWin.h"
#include "app/TfrmHelp.h"
#include "app/Tfrminfo.h"
#include "core/AppGlobals.h"
#include "core/TPrefMng.h"
#include "ui_TFrmMain.h"
#include "ui_TfrmChoseWin.h"
#include "ui_TfrmHelp.h"
#include "ui_Tfrminfo.h"

#include <QDir>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>

using testing_support::ScriptedPrompter;

namespace {

const QString kHelpSource = QStringLiteral(DOVIN_SOURCE_DIR "/resources/help");

QString readText(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return QString::fromUtf8(f.readAll());
}

TEST(HelpPages, EveryPageIsRightToLeftAndEveryLinkLeadsToAPage)
{
    const QStringList pages = QDir(kHelpSource).entryList({QStringLiteral("*.htm")}, QDir::Files);
    ASSERT_TRUE(pages.contains(QStringLiteral("index.htm")));
    ASSERT_GE(pages.size(), 8);
    const QStringList files = QDir(kHelpSource).entryList(QDir::Files);
    const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    QStringList fromIndex;
    for (const QString& page : pages) {
        SCOPED_TRACE(page.toStdString());
        const QString html = readText(kHelpSource + QLatin1Char('/') + page);
        EXPECT_TRUE(html.contains(QStringLiteral("<html dir=\"rtl\"")));
        EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
        EXPECT_TRUE(html.contains(QRegularExpression(QStringLiteral("<title>[^<]+</title>"))));
        for (auto it = href.globalMatch(html); it.hasNext();) {
            const QString target = it.next().captured(1);
            EXPECT_TRUE(files.contains(target)) << target.toStdString();
            if (page == QLatin1String("index.htm") && target.endsWith(QLatin1String(".htm")))
                fromIndex << target;
        }
        if (page != QLatin1String("index.htm"))
            EXPECT_TRUE(html.contains(QStringLiteral("href=\"index.htm\"")));
    }
    for (const QString& page : pages)
        if (page != QLatin1String("index.htm"))
            EXPECT_TRUE(fromIndex.contains(page)) << page.toStdString();
}

class HelpWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(folder.path(QStringLiteral("help")));
        for (const QString& page : QDir(kHelpSource).entryList({QStringLiteral("*.htm")}, QDir::Files))
            QFile::copy(kHelpSource + QLatin1Char('/') + page, folder.path(QStringLiteral("help/") + page));
    }
    ProgramFolderScope folder;
    ScriptedPrompter prompter;
};

TEST_F(HelpWindowTest, ShowsAPageAndFollowsItsLinks)
{
    TfrmHelp help;
    QTextBrowser* browser = help.form()->WebBrowser1;
    const struct {
        const char* page;
        const char* shows;
    } cases[] = {
        {"index", "آموزش نرم‌افزار آژانس املاک"},
        {"settings", "بازیابی اطلاعات"},
        {"nothing", "صفحه آموزش پيدا نشد"},
    };
    for (const auto& c : cases) {
        ShowHelpPage(&help, QLatin1String(c.page));
        EXPECT_TRUE(help.isVisible());
        EXPECT_TRUE(browser->toPlainText().contains(QString::fromUtf8(c.shows))) << c.page;
    }
    EXPECT_TRUE(help.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(help.windowTitle(), QStringLiteral("آموزش"));

    ShowHelpPage(&help, QStringLiteral("index"));
    emit browser->anchorClicked(QUrl(QStringLiteral("melk.htm")));
    EXPECT_TRUE(browser->source().toLocalFile().endsWith(QStringLiteral("help/melk.htm")));
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("شرایط معامله")));
    EXPECT_TRUE(prompter.opened.isEmpty());
    emit browser->anchorClicked(QUrl(QStringLiteral("http://example.org/dovin")));
    EXPECT_EQ(prompter.opened, QStringList{QStringLiteral("http://example.org/dovin")});
}

TEST_F(HelpWindowTest, TheTickMirrorsTheAutomaticHelpSetting)
{
    TfrmHelp help;
    QCheckBox* box = help.form()->CheckBox1;
    const bool cases[] = {false, true, false};
    for (bool stored : cases) {
        TPrefMng::SetAutoShowHlp(stored);
        ShowHelpPage(&help, QStringLiteral("index"));
        EXPECT_EQ(box->isChecked(), stored);
        box->setChecked(!stored);
        help.close();
        EXPECT_EQ(TPrefMng::GetAutoShowHlp(), !stored);
    }
}

TEST_F(HelpWindowTest, ARestoreFromMinimisedKeepsTheUntickedBox)
{
    TfrmHelp help;
    QCheckBox* box = help.form()->CheckBox1;
    TPrefMng::SetAutoShowHlp(true);
    ShowHelpPage(&help, QStringLiteral("index"));
    box->setChecked(false);
    testing_support::MinimiseAndRestore(&help);
    EXPECT_FALSE(box->isChecked());
    help.close();
    EXPECT_FALSE(TPrefMng::GetAutoShowHlp());
}

TEST_F(HelpWindowTest, EachChooserPictureOpensItsWindow)
{
    frmChoseWin = new TfrmChoseWin;
    Form2000 = new TForm2000;
    Form3 = new TForm3;
    Form4 = new TForm4;
    Form5 = new TForm5;
    Ui::TfrmChoseWin& f = *frmChoseWin->form();
    const struct {
        QLabel* image;
        QWidget* window;
        const char* caption;
    } cases[] = {
        {f.Image2, Form5, "Win 8 Help"},
        {f.Image4, Form4, "Windows 7 Help"},
        {f.Image5, Form3, "Windows XP Help"},
        {f.Image3, Form2000, "Windows 2000 Help"},
    };
    frmChoseWin->show();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.caption);
        EXPECT_FALSE(c.window->isVisible());
        EXPECT_EQ(c.image->cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(c.image, Qt::LeftButton);
        EXPECT_TRUE(c.window->isVisible());
        EXPECT_EQ(c.window->windowTitle(), QLatin1String(c.caption));
        EXPECT_TRUE(c.window->windowFlags() & Qt::WindowStaysOnTopHint);
        const QPixmap pic = static_cast<TPictureHelpForm*>(c.window)->Picture();
        EXPECT_GT(pic.height(), pic.width());   // one tall picture to scroll
    }
    delete Form5;
    delete Form4;
    delete Form3;
    delete Form2000;
    delete frmChoseWin;
    EXPECT_EQ(frmChoseWin, nullptr);
}

TEST_F(HelpWindowTest, TheAboutWindowNamesTheVersion)
{
    for (bool access : {true, false}) {
        IsAccess = access;
        Tfrminfo info;
        EXPECT_EQ(info.windowTitle(), QStringLiteral("آژانس املاک"));
        EXPECT_EQ(info.form()->Label2->text(), access ? QStringLiteral("ويرايش 9.45A") : QStringLiteral("ويرايش 9.45S"));
    }
    IsAccess = true;
}

TEST(HelpAtStartUp, TheWindowsAreMadeAndTheMainWindowReachesThem)
{
    ProgramFolderScope folder;
    folder.makeDatabases();
    folder.makeTemplate();
    ScriptedPrompter prompter;
    ASSERT_TRUE(CreateForms());
    for (QWidget* w : std::initializer_list<QWidget*>{frmChoseWin, Form2000, Form3, Form4, Form5, frmHelp})
        ASSERT_NE(w, nullptr);
    TPrefMng::SetAutoShowHlp(false);
    FrmMain->show();
    EXPECT_FALSE(frmHelp->isVisible());   // not wanted at start
    FrmMain->form()->Action5->trigger();
    EXPECT_TRUE(frmHelp->isVisible());
    EXPECT_TRUE(frmHelp->form()->WebBrowser1->toPlainText().contains(QStringLiteral("help/index.htm")));   // no pages here
    QTest::mouseClick(FrmMain->form()->Image4, Qt::LeftButton);
    EXPECT_TRUE(frmChoseWin->isVisible());
    FreeForms();
    EXPECT_EQ(frmHelp, nullptr);
    EXPECT_EQ(frmChoseWin, nullptr);
}

} // namespace
