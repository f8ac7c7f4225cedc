// The preferences window: what it shows, what closing and saving store, the users page, and
// the main window's reload after it.
#include "ScriptedPrompter.h"
#include "WindowChecks.h"
#include "startup_fixture.h"

#include <gtest/gtest.h>

#include "app/AppActions.h"
#include "app/TFrmMain.h"
#include "app/TRfrmPref.h"
#include "core/AppGlobals.h"
#include "core/ProgramIni.h"
#include "core/TDm.h"
#include "core/TPrefMng.h"
#include "platform/db/DataSet.h"
#include "platform/ini/IniFile.h"
#include "platform/widgets/DBNavigator.h"
#include "ui_TFrmMain.h"
#include "ui_TRfrmPref.h"

#include <QFileInfo>
#include <QImage>
#include <QToolButton>

using testing_support::ScriptedPrompter;
using widgets::NavButton;

namespace {

class PrefWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.makeDatabases();
        dm = std::make_unique<TDm>();
        Dm = dm.get();
        ASSERT_TRUE(dm->DataModuleCreate(true));
        prompter.calls.clear();
    }
    void TearDown() override
    {
        pref.reset();
        Dm = nullptr;
    }
    TRfrmPref& open()
    {
        pref = std::make_unique<TRfrmPref>();
        pref->show();
        return *pref;
    }
    QString prn(const char* key) const
    {
        return ini::IniFile(ProgramIniPath()).readString(QStringLiteral("prn"), QLatin1String(key), QStringLiteral("<none>"));
    }
    void writeIni(const QByteArray& text) const { folder.write(QFileInfo(ProgramIniPath()).fileName(), text); }
    void addUsers()
    {
        dm->UserConn->exec(QStringLiteral("insert into tunames (Esm, Passw, AMoojod, Dels) values ('علي', '12', -1, 0), "
                                          "('رضا', '', 0, -1)"));
    }
    QVariant aks()
    {
        return dm->UserConn->scalar(QStringLiteral("select Aks from tunames where Esm = 'علي'"));
    }

    ProgramFolderScope folder;
    ScriptedPrompter prompter;
    std::unique_ptr<TDm> dm;
    std::unique_ptr<TRfrmPref> pref;
};

TEST_F(PrefWindowTest, AFreshInstallationStoresTheShownValues)
{
    TRfrmPref& w = open();
    EXPECT_EQ(w.form()->PageControl1->currentIndex(), 0);
    EXPECT_EQ(w.form()->cmbPaperGharar->count(), 26);
    EXPECT_EQ(w.form()->cmbOrientationInv->count(), 2);
    EXPECT_TRUE(w.close());

    const struct {
        const char* key;
        const char* value;
    } stored[] = {
        {"C_PaperSize_Gharar", "8"}, {"C_Oriention_Gharar", "1"}, {"C_PaperSize", "8"}, {"C_Oriention", "0"},
        {"C_PaperSize_Inv", "8"},    {"C_Oriention_Inv", "0"},    {"fntbodyn", "arial"}, {"fntbodys", "11"},
        {"fntbodyb", "1"},           {"fntbodyi", "0"},           {"fntHeaderInvn", "tahoma"}, {"fntHeaderInvs", "12"},
        {"fntFooterInvn", "tahoma"}, {"fntFooterInvs", "10"},
    };
    for (const auto& s : stored)
        EXPECT_EQ(prn(s.key), QLatin1String(s.value)) << s.key;
    EXPECT_EQ(TPrefMng::GetInvoiceHeader(), QStringLiteral("سربرگ فاکتور"));
    EXPECT_TRUE(QFileInfo::exists(folder.path(QStringLiteral("CInvoiceHeader"))));
    EXPECT_EQ(TPrefMng::GetInvoiceFooter(), QStringLiteral("ته برگ فاکتور"));
    EXPECT_EQ(TPrefMng::ReadStringSetting(QStringLiteral("CReportTitle"), QStringLiteral("<none>")),
              QStringLiteral("عنوان گزارش"));
    // printing now uses A4 (ordinal 9) rather than its own default
    EXPECT_EQ(LoadPrintSettings().PaperSizeReport, 9);
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(PrefWindowTest, StoredValuesAreShownAndEditsAreSaved)
{
    writeIni("[prn]\r\nC_PaperSize_Gharar=3\r\nC_Oriention_inv=1\r\nfntHeaderInvn=DejaVu Serif\r\nfntHeaderInvs=14\r\n"
             "fntHeaderInvb=0\r\nfntHeaderInvi=1\r\n");
    TPrefMng::SaveInvoiceFooter(QStringLiteral("خط اول\nخط دوم"));
    TPrefMng::SetEconomicCode(QStringLiteral("411111111111"));
    TRfrmPref& w = open();
    Ui::TRfrmPref& f = *w.form();
    EXPECT_EQ(f.cmbPaperGharar->currentIndex(), 3);
    EXPECT_EQ(f.cmbOrientationInv->currentIndex(), 1);
    EXPECT_EQ(f.cmbPaperRep->currentIndex(), 8);
    EXPECT_EQ(w.FntDlgH1.family(), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(w.FntDlgH1.pointSize(), 14);
    EXPECT_TRUE(w.FntDlgH1.italic());
    EXPECT_FALSE(w.FntDlgH1.bold());
    EXPECT_EQ(f.memInvoiceFooter->toPlainText(), QStringLiteral("خط اول\nخط دوم"));
    EXPECT_EQ(f.edtEconomoCode->text(), QStringLiteral("411111111111"));

    f.cmbPaperRep->setCurrentIndex(10);
    f.CmbOrientionGharar->setCurrentIndex(0);
    f.edtTitle->setText(QStringLiteral("املاک نمونه"));
    f.memInvoiceHeader->setPlainText(QStringLiteral("A\nB"));
    prompter.answerFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    f.BtnFntBody->click();
    f.btnInvoiceFooterFnt->click();   // cancelled: the font stays
    f.BitBtn2->click();

    EXPECT_EQ(prn("C_PaperSize"), QStringLiteral("10"));
    EXPECT_EQ(prn("C_Oriention_Gharar"), QStringLiteral("0"));
    EXPECT_EQ(prn("C_PaperSize_Gharar"), QStringLiteral("3"));
    EXPECT_EQ(prn("fntbodyn"), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(prn("fntbodys"), QStringLiteral("9"));
    EXPECT_EQ(prn("fntFooterInvn"), QStringLiteral("tahoma"));
    EXPECT_EQ(TPrefMng::GetReportTitle(), QStringLiteral("املاک نمونه"));
    EXPECT_EQ(TPrefMng::GetInvoiceHeader(), QStringLiteral("A\r\nB"));
    const TPrintSettings ps = LoadPrintSettings();
    EXPECT_EQ(ps.PaperSizeReport, 11);
    EXPECT_EQ(ps.OrientationContract, 0);
    EXPECT_EQ(ps.BodyFont.family(), QStringLiteral("DejaVu Sans"));
}

TEST_F(PrefWindowTest, TheUsersPageShowsEveryUserAndTheirRights)
{
    addUsers();
    TRfrmPref& w = open();
    Ui::TRfrmPref& f = *w.form();
    ASSERT_TRUE(dm->UQ->Active());
    EXPECT_EQ(dm->UQ->RecordCount(), 2);
    EXPECT_EQ(f.DBGrid2->model()->rowCount(), 2);
    EXPECT_FALSE(f.DBCheckBox14->isVisibleTo(&w));
    dm->UQ->First();
    EXPECT_TRUE(f.DBCheckBox5->isChecked());    // AMoojod
    EXPECT_FALSE(f.DBCheckBox1->isChecked());   // Dels
    dm->UQ->Next();
    EXPECT_FALSE(f.DBCheckBox5->isChecked());
    EXPECT_TRUE(f.DBCheckBox1->isChecked());

    const struct {
        NavButton button;
        bool visible;
        const char* caption;
    } buttons[] = {{NavButton::Insert, true, "جديد"}, {NavButton::Delete, true, "حذف"},
                   {NavButton::Post, true, "ذخيره"},  {NavButton::Cancel, true, "انصراف"},
                   {NavButton::First, false, ""},      {NavButton::Edit, false, ""},
                   {NavButton::Refresh, false, ""}};
    for (const auto& b : buttons) {
        EXPECT_EQ(f.DBNavigator2->isButtonVisible(b.button), b.visible);
        if (b.visible)
            EXPECT_EQ(f.DBNavigator2->button(b.button)->text(), QString::fromUtf8(b.caption));
    }
}

TEST_F(PrefWindowTest, ANewUserStartsInTheNameColumnWithTheDefaultPicture)
{
    addUsers();
    TRfrmPref& w = open();
    Ui::TRfrmPref& f = *w.form();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        f.DBGrid2->setCurrentIndex(f.DBGrid2->model()->index(0, 1));   // the password column
        f.DBNavigator2->BtnClick(NavButton::Insert);
        ASSERT_EQ(dm->UQ->State(), db::DataSetState::Insert);
        EXPECT_EQ(f.DBGrid2->currentIndex().column(), 0);
        QImage picture;
        ASSERT_TRUE(picture.loadFromData(dm->UQ->FieldByName(QStringLiteral("Aks"))->AsBytes()));
        EXPECT_EQ(picture.size(), QSize(48, 48));
        f.DBNavigator2->BtnClick(NavButton::Cancel);
    }
}

TEST_F(PrefWindowTest, ARestoreFromMinimisedKeepsTheUserBeingTyped)
{
    addUsers();
    TRfrmPref& w = open();
    db::DataSet& uq = *dm->UQ;
    uq.Insert();
    uq.FieldByName(QStringLiteral("Esm"))->SetText(QStringLiteral("مريم"));
    testing_support::MinimiseAndRestore(&w);
    EXPECT_EQ(uq.State(), db::DataSetState::Insert);
    EXPECT_EQ(uq.FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("مريم"));
    EXPECT_TRUE(prompter.calls.isEmpty());
    uq.Post();
    EXPECT_EQ(dm->UserConn->scalar(QStringLiteral("select count(*) from tunames")).toInt(), 3);
}

TEST_F(PrefWindowTest, APictureIsStoredOnlyWhenTheUserSaysSo)
{
    addUsers();
    const QString bmp = folder.path(QStringLiteral("face.bmp"));
    QImage face(48, 48, QImage::Format_RGB32);
    face.fill(Qt::red);
    ASSERT_TRUE(face.save(bmp));
    folder.write(QStringLiteral("not-a-picture.bmp"), "text");

    const struct {
        int answer;
        bool closes;
        bool stored;
    } cases[] = {
        {shell::ResultNo, true, false},
        {shell::ResultCancel, false, false},
        {shell::ResultYes, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        dm->UserConn->exec(QStringLiteral("update tunames set Aks = null"));
        TRfrmPref& w = open();
        dm->UQ->First();
        prompter.calls.clear();
        prompter.answerFile(folder.path(QStringLiteral("not-a-picture.bmp")));
        w.form()->BitBtn3->click();
        EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("فايل انتخاب شده تصوير نيست")});
        EXPECT_EQ(dm->UQ->State(), db::DataSetState::Browse);

        prompter.answerFile(bmp);
        w.form()->BitBtn3->click();
        EXPECT_EQ(dm->UQ->State(), db::DataSetState::Edit);
        prompter.calls.clear();
        prompter.answer(c.answer);
        EXPECT_EQ(w.FormClose(), c.closes);
        ASSERT_FALSE(prompter.calls.isEmpty());
        EXPECT_EQ(prompter.calls[0].text, QStringLiteral("آيا تغييرات ذخيره شوند؟"));
        EXPECT_EQ(aks().isNull() || aks().toByteArray().isEmpty(), !c.stored);
        // settings are saved only when the window closes
        EXPECT_EQ(QFileInfo::exists(folder.path(QStringLiteral("CInvoiceHeader"))), c.closes);
        if (!c.closes)
            dm->UQ->Cancel();
        QFile::remove(folder.path(QStringLiteral("CInvoiceHeader")));
        pref.reset();
    }
}

TEST_F(PrefWindowTest, TheMainWindowReloadsThePrintSettingsAfterward)
{
    TFrmMain main;
    FrmMain = &main;
    ConnectAppActions();
    for (QAction* a : {main.form()->ActSave, main.form()->ActLoad, main.form()->ActPref, main.form()->ActAbout})
        EXPECT_TRUE(main.HasOpener(a)) << a->objectName().toStdString();
    EXPECT_EQ(PrintSettings.PaperSizeReport, 10);
    // the window's place taken by one that stores other paper, as saving the window does
    main.SetOpener(main.form()->ActPref, [this] { writeIni("[prn]\r\nC_PaperSize=4\r\nC_Oriention=1\r\n"); });
    main.EnableAllRights();
    main.form()->ActPref->trigger();
    EXPECT_EQ(PrintSettings.PaperSizeReport, 5);
    EXPECT_EQ(PrintSettings.OrientationReport, 1);
    FrmMain = nullptr;
}

} // namespace
