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
#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
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

void writeText(const QString& path, const QString& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
}

std::string lines(const QStringList& list)
{
    return list.join(QLatin1Char('\n')).toStdString();
}

QStringList pagesIn(const QString& folder)
{
    return QDir(folder).entryList({QStringLiteral("*.htm")}, QDir::Files, QDir::Name);
}

// A page's links and the anchors it offers, as the help window's browser reads them. The browser
// hangs an anchor on one character of its own: on a letter, it cuts that letter from its word's
// joined shape, so such anchors are listed apart.
struct PageLinks {
    QStringList hrefs;
    QSet<QString> anchors;
    QStringList onLetters;
};

PageLinks readLinks(const QString& file)
{
    QTextBrowser browser;
    browser.setSource(QUrl::fromLocalFile(file));
    PageLinks links;
    for (QTextBlock block = browser.document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (!f.anchorHref().isEmpty())
                links.hrefs << f.anchorHref();
            for (const QString& name : f.anchorNames()) {
                links.anchors.insert(name);
                if (it.fragment().text().front().isLetter())
                    links.onLetters << name;
            }
        }
    return links;
}

// "page: href" for every link of the folder's pages that leads to no page of the folder, or to
// an anchor its page lacks; "page: ..." for a page the index does not list or that has no way
// back to the index.
QStringList brokenLinks(const QString& folder)
{
    const QDir dir(folder);
    const QStringList pages = pagesIn(folder);
    QHash<QString, PageLinks> read;
    for (const QString& page : pages)
        read.insert(page, readLinks(dir.filePath(page)));
    QStringList broken;
    QSet<QString> fromIndex;
    for (const QString& page : pages) {
        const QUrl base = QUrl::fromLocalFile(dir.filePath(page));
        bool back = false;
        for (const QString& href : read.value(page).hrefs) {
            const QUrl target = base.resolved(QUrl(href));
            const QFileInfo file(target.toLocalFile());
            const bool ok = target.isLocalFile() && file.absolutePath() == dir.absolutePath()
                && read.contains(file.fileName())
                && (!target.hasFragment() || read.value(file.fileName()).anchors.contains(target.fragment()));
            if (!ok)
                broken << page + QStringLiteral(": ") + href;
            else if (page == QLatin1String("index.htm"))
                fromIndex.insert(file.fileName());
            back = back || (ok && file.fileName() == QLatin1String("index.htm") && !target.hasFragment());
        }
        if (page != QLatin1String("index.htm") && !back)
            broken << page + QStringLiteral(": no link back to the index");
    }
    for (const QString& page : pages)
        if (page != QLatin1String("index.htm") && !fromIndex.contains(page))
            broken << page + QStringLiteral(": not listed in the index");
    return broken;
}

// What the folder's pages lack: right-to-left, the encoding, a title, anchors off the words, the
// one style sheet.
QStringList pageFaults(const QString& folder)
{
    QStringList faults;
    const QStringList sheets = QDir(folder).entryList({QStringLiteral("*.css")}, QDir::Files);
    if (sheets != QStringList{QStringLiteral("help.css")})
        faults << QStringLiteral("style sheets: ") + sheets.join(QLatin1Char(' '));
    const QString sheet = QStringLiteral("<link rel=\"stylesheet\" type=\"text/css\" href=\"help.css\">");
    for (const QString& page : pagesIn(folder)) {
        const QString html = readText(folder + QLatin1Char('/') + page);
        if (!html.contains(QStringLiteral("<html dir=\"rtl\" lang=\"fa\">")) || !html.contains(QStringLiteral("<body dir=\"rtl\">")))
            faults << page + QStringLiteral(": direction");
        if (!html.contains(QStringLiteral("<meta charset=\"utf-8\">")))
            faults << page + QStringLiteral(": encoding");
        if (!html.contains(QRegularExpression(QStringLiteral("<title>[^<]+</title>"))))
            faults << page + QStringLiteral(": title");
        for (const QString& name : readLinks(folder + QLatin1Char('/') + page).onLetters)
            faults << page + QStringLiteral(": anchor on a letter: ") + name;
        if (html.count(sheet) != 1 || html.count(QStringLiteral("stylesheet")) != 1 || html.contains(QStringLiteral("style=")))
            faults << page + QStringLiteral(": style sheet");
    }
    return faults;
}

// Every text of the program's sources, as the program shows it: entities of the forms'
// files decoded, accelerator marks dropped.
QString programTexts()
{
    QString all;
    QDirIterator it(QStringLiteral(DOVIN_SOURCE_DIR "/src"), {QStringLiteral("*.cpp"), QStringLiteral("*.h"), QStringLiteral("*.ui")},
                    QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        all += readText(it.next()) + QLatin1Char('\n');
    all.replace(QStringLiteral("&lt;"), QStringLiteral("<")).replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    all.replace(QStringLiteral("&quot;"), QStringLiteral("\"")).replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return all.remove(QLatin1Char('&'));
}

// The pages' texts between « and », which name the program's captions and messages, that the
// program does not hold to the letter (a retyped ی for ي, a changed caption): "page: text".
QStringList foreignQuotes(const QString& folder, const QString& program)
{
    QStringList foreign;
    const QRegularExpression quoted(QStringLiteral("«([^»]*)»"));
    for (const QString& page : pagesIn(folder))
        for (auto m = quoted.globalMatch(readText(folder + QLatin1Char('/') + page)); m.hasNext();) {
            const QString text = m.next().captured(1);
            if (text.isEmpty() || !program.contains(text))
                foreign << page + QStringLiteral(": ") + text;
        }
    return foreign;
}

TEST(HelpPages, EveryShippedPageIsRightToLeftAndNamesTheOneStyleSheet)
{
    const QStringList pages = pagesIn(kHelpSource);
    ASSERT_TRUE(pages.contains(QStringLiteral("index.htm")));
    ASSERT_GE(pages.size(), 12);
    EXPECT_EQ(lines(pageFaults(kHelpSource)), "");
}

TEST(HelpPages, EveryLinkLeadsToAShippedPageAndItsAnchor)
{
    EXPECT_EQ(lines(brokenLinks(kHelpSource)), "");
    // the index reaches the subjects' own sections
    const QStringList hrefs = readLinks(kHelpSource + QStringLiteral("/index.htm")).hrefs;
    for (const char* href : {"moameleh.htm#totals", "check.htm#colours", "users.htm#rights", "users.htm#login"})
        EXPECT_TRUE(hrefs.contains(QLatin1String(href))) << href;
}

TEST(HelpPages, TheChecksFindBrokenLinksAnchorsAndStyleSheets)
{
    QTemporaryDir folder;
    for (const QString& file : QDir(kHelpSource).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(kHelpSource + QLatin1Char('/') + file, folder.filePath(file)));
    QString check = readText(folder.filePath(QStringLiteral("check.htm")));
    check.replace(QStringLiteral("href=\"reports.htm\""), QStringLiteral("href=\"report.htm\""));
    check.replace(QStringLiteral("href=\"index.htm\""), QStringLiteral("href=\"index.htm#nowhere\""));
    writeText(folder.filePath(QStringLiteral("check.htm")), check);
    QString vat = readText(folder.filePath(QStringLiteral("vat.htm")));
    vat.replace(QStringLiteral("<link rel=\"stylesheet\" type=\"text/css\" href=\"help.css\">\n"), QString());
    writeText(folder.filePath(QStringLiteral("vat.htm")), vat);
    QString users = readText(folder.filePath(QStringLiteral("users.htm")));
    // empty, or around the heading's text, the anchor lands on its first letter
    users.replace(QStringLiteral("<a name=\"login\">&zwnj;</a>"), QStringLiteral("<a name=\"login\"></a>"));
    users.replace(QStringLiteral("<a name=\"add\">&zwnj;</a>افزودن کاربر</h2>"), QStringLiteral("<a name=\"add\">افزودن کاربر</a></h2>"));
    writeText(folder.filePath(QStringLiteral("users.htm")), users);
    writeText(folder.filePath(QStringLiteral("extra.css")), QStringLiteral("p { }"));

    EXPECT_EQ(lines(brokenLinks(folder.path())),
              "check.htm: report.htm\ncheck.htm: index.htm#nowhere\ncheck.htm: no link back to the index");
    EXPECT_EQ(lines(pageFaults(folder.path())),
              "style sheets: extra.css help.css\nusers.htm: anchor on a letter: add\n"
              "users.htm: anchor on a letter: login\nvat.htm: style sheet");
}

TEST(HelpPages, QuotedCaptionsAndMessagesAreTheProgramsOwnToTheLetter)
{
    const QString program = programTexts();
    EXPECT_EQ(lines(foreignQuotes(kHelpSource, program)), "");

    QTemporaryDir folder;
    writeText(folder.filePath(QStringLiteral("page.htm")),
              QStringLiteral("<p>«ذخيره اطلاعات» «ذخیره اطلاعات» «چاپ» «مجموع حق بنگاه»</p>"));
    // the second is retyped with a Persian ی; «چاپ» is the button "چ&اپ"
    EXPECT_EQ(lines(foreignQuotes(folder.path(), program)), "page.htm: ذخیره اطلاعات");
}

class HelpWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(folder.path(QStringLiteral("help")));
        for (const QString& file : QDir(kHelpSource).entryList(QDir::Files))
            QFile::copy(kHelpSource + QLatin1Char('/') + file, folder.path(QStringLiteral("help/") + file));
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
        {"backup", "نسخه پیش از بازیابی"},
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
    EXPECT_TRUE(browser->toPlainText().contains(QStringLiteral("فهرست املاک")));
    EXPECT_EQ(browser->verticalScrollBar()->value(), 0);
    // a link to a section opens its page there
    emit browser->anchorClicked(QUrl(QStringLiteral("moameleh.htm#list")));
    EXPECT_TRUE(browser->source().toLocalFile().endsWith(QStringLiteral("help/moameleh.htm")));
    EXPECT_EQ(browser->source().fragment(), QStringLiteral("list"));
    EXPECT_GT(browser->verticalScrollBar()->value(), 0);
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
