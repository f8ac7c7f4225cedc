#include "ScriptedPrompter.h"
#include "startup_fixture.h"
#include "app/StartUp.h"
#include "app/TFrmMain.h"
#include "core/TDm.h"
#include "deals/TFrmAddInfo.h"
#include "deals/TFrmRepMoameleh.h"
#include "deals/TFrmSanad.h"
#include "platform/db/DataSet.h"
#include "ui_TFrmMain.h"

#include <gtest/gtest.h>

namespace {

using testing_support::ScriptedPrompter;

TEST(StartUpDeals, TheDealActionsOpenTheLongLivedDealWindows)
{
    ProgramFolderScope folder;
    folder.makeDatabases();
    folder.makeTemplate();
    ScriptedPrompter prompter;
    ASSERT_TRUE(CreateForms());
    ASSERT_TRUE(FrmSanad && FrmRepMoameleh && FrmAddInfoOwner && FrmAddInfoCust);
    EXPECT_EQ(FrmAddInfoOwner->prefix(), QStringLiteral("owner"));
    EXPECT_EQ(FrmAddInfoCust->prefix(), QStringLiteral("cust"));

    FrmMain->show();   // no users yet: every right
    FrmMain->form()->ActMoameleh->trigger();
    EXPECT_TRUE(FrmSanad->isVisible());
    EXPECT_EQ(Dm->QSanad->State(), db::DataSetState::Insert);
    Dm->QSanad->Cancel();
    FrmMain->form()->ActLstMoameleh->trigger();
    EXPECT_TRUE(FrmRepMoameleh->isVisible());

    // the layout reset closes the program through the main window
    prompter.calls.clear();
    ASSERT_TRUE(TFrmRepMoameleh::CloseProgram);
    EXPECT_TRUE(TFrmRepMoameleh::CloseProgram());
    EXPECT_FALSE(FrmMain->isVisible());
    FreeForms();
    EXPECT_EQ(FrmSanad, nullptr);
    EXPECT_EQ(FrmRepMoameleh, nullptr);
}

} // namespace
