#include "app/StartUp.h"

#include "app/AppActions.h"
#include "app/TForm2000.h"
#include "app/TForm3.h"
#include "app/TForm4.h"
#include "app/TForm5.h"
#include "app/TFrmMain.h"
#include "app/TRFrmUsers.h"
#include "app/TfrmChoseWin.h"
#include "app/TfrmHelp.h"
#include "app/TfrmTTMS.h"
#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "ui_TFrmMain.h"
#include "registry/RegistryActions.h"
#include "registry/TFRmMelk.h"
#include "registry/TFrmLstMelk.h"
#include "registry/TFrmLstNiyaz.h"
#include "registry/TFrmNiyaz.h"
#include "registry/TFrmTels.h"

#include <QCoreApplication>

namespace {

bool terminateRequested = false;

std::function<void()>& terminateHandler()
{
    static std::function<void()> handler = [] { QCoreApplication::exit(1); };
    return handler;
}

} // namespace

void TerminateApplication()
{
    terminateRequested = true;
    if (terminateHandler())
        terminateHandler()();
}

bool TerminateRequested() { return terminateRequested; }

std::function<void()> SetTerminateHandler(std::function<void()> handler)
{
    terminateRequested = false;
    std::function<void()> previous = std::move(terminateHandler());
    terminateHandler() = std::move(handler);
    return previous;
}

// The order: TFrmMain, TFRmMelk, TDm, TFrmNiyaz, TFrmSanad, TFrmRepMoameleh, TFrmLstMelk,
// TMainForm, TFrmLstNiyaz, TRFrmUsers, TFrmHazineh, TFrmHazinehNew, TFrmReps, TFrmCheck,
// Tfrmlstcheck, TFrmTels, TfrmChoseWin, TForm2000, TForm3, TForm4, TForm5, TfrmHelp,
// TFrmAddInfoOwner, TFrmAddInfoCust, TfrmTTMS, TfrmTTMS2. Each window is created at its
// place in this list; the main window's creation runs before the data module exists.
bool CreateForms()
{
    FrmMain = new TFrmMain;
    FRmMelk = new TFRmMelk;

    Dm = new TDm;
    Dm->CheckDbVersion = [] { FrmMain->CheckDbVersionAndUpgrade(); };
    if (!Dm->DataModuleCreate(IsAccess))
        return false;
    FRmMelk->ConnectDataModule();

    FrmNiyaz = new TFrmNiyaz;

    FrmLstMelk = new TFrmLstMelk;

    FrmLstNiyaz = new TFrmLstNiyaz;
    ConnectPropertyListMatching();

    RFrmUsers = new TRFrmUsers(FrmMain);
    FrmMain->ShowLogin = [] {
        if (!RFrmUsers)
            RFrmUsers = new TRFrmUsers(FrmMain);
        RFrmUsers->exec();
    };

    FrmTels = new TFrmTels;

    frmChoseWin = new TfrmChoseWin;
    Form2000 = new TForm2000;
    Form3 = new TForm3;
    Form4 = new TForm4;
    Form5 = new TForm5;
    frmHelp = new TfrmHelp;
    ConnectAppActions();

    // the main window's actions that open the registry windows
    const auto* actions = FrmMain->form();
    FrmMain->SetOpener(actions->ActNewMelk, ShowNewProperty);
    FrmMain->SetOpener(actions->ActLstMelk, ShowPropertyList);
    FrmMain->SetOpener(actions->ActNiyaz, ShowNewDemand);
    FrmMain->SetOpener(actions->ActLstNiyaz, ShowDemandList);
    FrmMain->SetOpener(actions->ActNewRegion, ShowNewRegion);
    FrmMain->SetOpener(actions->ActLstRegion, ShowRegionList);
    FrmMain->SetOpener(actions->ActTel, ShowPhoneBook);

    frmTTMS = new TfrmTTMS;
    return true;
}

void FreeForms()
{
    delete frmTTMS;
    frmTTMS = nullptr;
    FreeHelpWindows();
    delete FrmTels;
    FrmTels = nullptr;
    delete RFrmUsers;
    RFrmUsers = nullptr;
    delete FrmLstNiyaz;
    FrmLstNiyaz = nullptr;
    delete FrmLstMelk;
    FrmLstMelk = nullptr;
    delete FrmNiyaz;
    FrmNiyaz = nullptr;
    delete FRmMelk;
    FRmMelk = nullptr;
    delete FrmMain;
    FrmMain = nullptr;
    delete Dm;
    Dm = nullptr;
}
