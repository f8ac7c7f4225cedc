// Start-up and the main window: database kind, status text, background rotation,
// the first show with and without users, the version check, closing with an open
// transaction, and the whole start on a fresh program folder.
#include "ScriptedPrompter.h"
#include "startup_fixture.h"

#include "ui/TTools.h"
#include "app/StartUp.h"
#include "app/TFrmMain.h"
#include "app/TfrmTTMS.h"
#include "core/AppGlobals.h"
#include "core/ProgramIni.h"
#include "core/TDm.h"
#include "deals/TfrmTTMS2.h"
#include "deals/TFrmReps.h"
#include "platform/db/DataSet.h"
#include "platform/ini/IniFile.h"
#include "ui_TFrmMain.h"

#include <QDir>
#include <QImage>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

using testing_support::ScriptedPrompter;

namespace {

void writeIni(const char* section, const char* key, const QString& value)
{
    ini::IniFile ini(ProgramIniPath());
    ini.writeString(QString::fromLatin1(section), QString::fromLatin1(key), value);
    ASSERT_TRUE(ini.save());
}

TEST(StartUp, DatabaseKindFromTheProgramIni)
{
    const struct {
        const char* verType;   // nullptr: no key
        bool access;
    } cases[] = {{nullptr, true}, {"access", true}, {"ACCESS", true}, {"sql", false}, {"", false}};
    for (const auto& c : cases) {
        ProgramFolderScope folder;
        if (c.verType)
            writeIni("gen", "verType", QString::fromLatin1(c.verType));
        TFrmMain w;
        EXPECT_EQ(IsAccess, c.access) << (c.verType ? c.verType : "(none)");
        EXPECT_EQ(TRUEPREFIX, c.access ? QStringLiteral("-") : QString());
        EXPECT_EQ(TFrmMain::StatusText(c.access), c.access ? QStringLiteral("ويرايش: 9.45A") : QStringLiteral("ويرايش: 9.45S"));
        EXPECT_EQ(PrintSettings.PaperSizeContract, 10);
        EXPECT_EQ(PrintSettings.OrientationContract, 1);
    }
}

TEST(StartUp, BackgroundRotationShowsOnePictureAndStoresTheNext)
{
    const struct {
        const char* stored;
        int pictures;         // files 0.jpg .. (pictures - 1).jpg
        const char* next;
        bool shown;
        bool automatic;
    } cases[] = {
        {"3", 4, "0", true, true},
        {"3", 6, "4", true, true},
        {"0", 0, "0", false, true},
        {"7", 3, "0", false, true},
        {"", 2, "", false, false},
        {"no such file.jpg", 2, "no such file.jpg", false, false},
    };
    for (const auto& c : cases) {
        ProgramFolderScope folder;
        QDir().mkpath(folder.path(QStringLiteral("bg")));
        for (int i = 0; i < c.pictures; ++i) {
            QImage img(8, 8, QImage::Format_RGB32);
            img.fill(Qt::darkCyan);
            ASSERT_TRUE(img.save(folder.path(QStringLiteral("bg/%1.jpg").arg(i))));
        }
        writeIni("bg", "path", QString::fromUtf8(c.stored));
        TFrmMain w;
        EXPECT_EQ(ReadBgPath(), QString::fromUtf8(c.next)) << c.stored;
        EXPECT_EQ(!w.form()->Image1->pixmap().isNull(), c.shown) << c.stored;
        EXPECT_EQ(w.form()->mnuautopic->isChecked(), c.automatic) << c.stored;
    }
}

TEST(StartUp, AChosenPictureStaysUntilTheRotationIsTurnedBackOn)
{
    ProgramFolderScope folder;
    QDir().mkpath(folder.path(QStringLiteral("bg")));
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(folder.path(QStringLiteral("bg/0.jpg"))));
    ASSERT_TRUE(img.save(folder.path(QStringLiteral("mine.png"))));
    ScriptedPrompter prompter;
    TFrmMain w;
    prompter.answerFile(folder.path(QStringLiteral("mine.png")));
    w.form()->Action1->trigger();
    EXPECT_EQ(ReadBgPath(), folder.path(QStringLiteral("mine.png")));
    EXPECT_FALSE(w.form()->mnuautopic->isChecked());
    w.form()->mnuautopic->trigger();
    EXPECT_EQ(ReadBgPath(), QStringLiteral("0"));   // picture 0 shown, no picture 1
    EXPECT_TRUE(w.form()->mnuautopic->isChecked());
}

TEST(StartUp, SidePanelFoldsAndUnfolds)
{
    ProgramFolderScope folder;
    TFrmMain w;
    EXPECT_TRUE(w.form()->SpDown->isHidden());
    w.form()->SpUp->click();
    EXPECT_TRUE(w.form()->Panel1->isHidden());
    EXPECT_TRUE(w.form()->SpUp->isHidden());
    EXPECT_FALSE(w.form()->SpDown->isHidden());
    w.form()->SpDown->click();
    EXPECT_FALSE(w.form()->Panel1->isHidden());
    EXPECT_TRUE(w.form()->SpDown->isHidden());
    EXPECT_FALSE(w.form()->SpUp->isHidden());
}

// The main window over a data module on a fresh program folder.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.makeDatabases();
        dm = std::make_unique<TDm>();
        Dm = dm.get();
        ASSERT_TRUE(dm->DataModuleCreate(true));
        prompter.calls.clear();
        UserCanChange = false;
        w = std::make_unique<TFrmMain>();
        w->ShowLogin = [this] { ++logins; };
        w->ShowHelp = [this](const QString& page) { helpPages << page; };
    }
    void TearDown() override
    {
        w.reset();
        Dm = nullptr;
    }

    ProgramFolderScope folder;
    ScriptedPrompter prompter;
    std::unique_ptr<TDm> dm;
    std::unique_ptr<TFrmMain> w;
    int logins = 0;
    QStringList helpPages;
};

TEST_F(MainWindowTest, FirstShowWithoutUsersGrantsEveryRightAndSetsTheTexts)
{
    w->FormShow();
    EXPECT_EQ(logins, 0);
    EXPECT_TRUE(w->form()->ActNewMelk->isEnabled());
    EXPECT_TRUE(UserCanChange);
    EXPECT_EQ(w->windowTitle(), TFrmMain::AppCaptionText + QStringLiteral(" - ") + Tools->TodayShamsi());
    EXPECT_EQ(w->StatusPanel->text(), QStringLiteral("ويرايش: 9.45A"));
    EXPECT_EQ(helpPages, QStringList{QStringLiteral("index")});
    EXPECT_TRUE(w->tmrInternetUpdate->isActive());
    EXPECT_EQ(w->tmrInternetUpdate->interval(), 400000);
    EXPECT_TRUE(w->tmrInternetUpdate->isSingleShot());
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(MainWindowTest, FirstShowWithUsersAsksForTheLoginAndNoAutomaticHelp)
{
    dm->UserConn->exec(QStringLiteral("insert into tunames (Esm, Passw) values ('مدير', '')"));
    folder.write(QStringLiteral("configFile.ini"), "[gen]\r\nAutoShowHlp=0\r\n");
    w->FormShow();
    EXPECT_EQ(logins, 1);
    EXPECT_FALSE(w->form()->ActNewMelk->isEnabled());
    EXPECT_EQ(w->windowTitle(), QStringLiteral("آژانس املاک"));
    EXPECT_TRUE(helpPages.isEmpty());
}

TEST_F(MainWindowTest, TheUpgradeRunsOnlyForAnOlderSchema)
{
    ASSERT_TRUE(WriteVerNO(9.45));
    w->CheckDbVersionAndUpgrade();
    EXPECT_FALSE(dm->Conn->tableExists(QStringLiteral("T_EstateDocs")));
    ASSERT_TRUE(WriteVerNO(9.4));
    w->CheckDbVersionAndUpgrade();
    EXPECT_TRUE(dm->Conn->tableExists(QStringLiteral("T_EstateDocs")));
}

TEST_F(MainWindowTest, ClosingCommitsAnOpenTransaction)
{
    dm->Conn->begin();
    dm->Conn->exec(QStringLiteral("insert into t_Tels (Esm) values ('x')"));
    EXPECT_TRUE(w->close());
    EXPECT_FALSE(dm->Conn->inTransaction());
    auto other = db::Connection::openSqlite(folder.path(QStringLiteral("mdbDovin.mdb")));
    EXPECT_EQ(other->scalar(QStringLiteral("select count(*) from t_Tels")).toInt(), 1);
}

TEST(StartUpSequence, StartsOnAFreshProgramFolder)
{
    ProgramFolderScope folder;
    folder.makeDatabases();
    folder.makeTemplate();
    ScriptedPrompter prompter;
    ASSERT_TRUE(CreateForms());
    ASSERT_NE(FrmMain, nullptr);
    ASSERT_NE(Dm, nullptr);
    ASSERT_NE(frmTTMS, nullptr);
    ASSERT_NE(frmTTMS2, nullptr);
    EXPECT_TRUE(FrmMain->HasOpener(FrmMain->form()->Action7));
    EXPECT_TRUE(FrmMain->HasOpener(FrmMain->form()->actTTMS));
    // the first start upgrades the base tables, so every dataset opens without a message
    for (db::DataSet* ds : {Dm->QMelk, Dm->QNiyaz, Dm->QSanad, Dm->QMantagheh, Dm->QGhovL, Dm->QMn, Dm->Qmn2,
                            Dm->QHazineh, Dm->QCheck, Dm->QProvince, Dm->tblCity, Dm->QTTMS})
        EXPECT_TRUE(ds->Active()) << ds->SQL().toStdString();
    // the one message is the notice before the geography import, no error
    ASSERT_EQ(prompter.calls.size(), 1) << prompter.messages().join(QStringLiteral("\n")).toStdString();
    EXPECT_NE(prompter.calls[0].kind, 0);
    EXPECT_TRUE(prompter.calls[0].text.contains(QStringLiteral("استان ها")));
    EXPECT_EQ(Dm->Conn->scalar(QStringLiteral("select count(*) from province")).toInt(), 31);
    EXPECT_NEAR(ReadVerNO(), 9.45, 1e-9);
    FrmMain->show();
    EXPECT_EQ(FrmMain->windowTitle(), TFrmMain::AppCaptionText + QStringLiteral(" - ") + Tools->TodayShamsi());
    EXPECT_EQ(FrmMain->StatusPanel->text(), QStringLiteral("ويرايش: 9.45A"));
    EXPECT_EQ(FrmMain->layoutDirection(), Qt::RightToLeft);
    // the monthly reports exist from the start; the report action shows them afresh
    ASSERT_NE(FrmReps, nullptr);
    EXPECT_FALSE(FrmReps->isVisible());
    FrmMain->form()->ActRep->trigger();
    EXPECT_TRUE(FrmReps->isVisible());
    EXPECT_EQ(FrmReps->findChild<QLabel*>(QStringLiteral("Label7"))->text(), QStringLiteral("0"));
    FreeForms();
    EXPECT_EQ(Dm, nullptr);
    EXPECT_EQ(FrmReps, nullptr);
}

TEST(StartUpSequence, AMissingDatabaseEndsTheStartUp)
{
    ProgramFolderScope folder;
    ScriptedPrompter prompter;
    EXPECT_FALSE(CreateForms());
    EXPECT_EQ(prompter.calls.size(), 1);
    FreeForms();
}

} // namespace
