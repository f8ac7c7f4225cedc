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
#include "core/ProgramFolder.h"
#include "core/TBackUp.h"
#include "core/TDm.h"
#include "deals/DealActions.h"
#include "deals/TFrmAddInfo.h"
#include "deals/TFrmRepMoameleh.h"
#include "deals/TFrmSanad.h"
#include "deals/TfrmTTMS2.h"
#include "deals/TfrmVAT.h"
#include "deals/TFrmReps.h"
#include "deals/ContractActions.h"
#include "deals/TMainForm.h"
#include "ui_TFrmMain.h"
#include "registry/RegistryActions.h"
#include "registry/TFRmMelk.h"
#include "registry/TFrmLstMelk.h"
#include "registry/TFrmLstNiyaz.h"
#include "registry/TFrmNiyaz.h"
#include "registry/TFrmTels.h"
#include "deals/MoneyActions.h"
#include "deals/TFrmCheck.h"
#include "deals/TFrmHazineh.h"
#include "deals/TFrmHazinehNew.h"
#include "deals/Tfrmlstcheck.h"

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
    // the road of closing the main window: the save questions, the commit, every window
    // closed; the user may stop it there
    if (FrmMain && !FrmMain->close()) {
        terminateRequested = false;
        return;
    }
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
    RemoveBackUpLeftovers(*Dm->Conn, ProgramFolder());
    FRmMelk->ConnectDataModule();

    FrmNiyaz = new TFrmNiyaz;
    FrmSanad = new TFrmSanad;
    FrmRepMoameleh = new TFrmRepMoameleh;
    TFrmRepMoameleh::ShowDealForm = ShowCurrentDeal;
    TFrmRepMoameleh::CloseProgram = [] {
        if (!FrmMain->close())
            return false;
        QCoreApplication::quit();
        return true;
    };

    FrmLstMelk = new TFrmLstMelk;

    MainForm = new TMainForm;

    FrmLstNiyaz = new TFrmLstNiyaz;
    ConnectPropertyListMatching();

    RFrmUsers = new TRFrmUsers(FrmMain);
    FrmMain->ShowLogin = [] {
        if (!RFrmUsers)
            RFrmUsers = new TRFrmUsers(FrmMain);
        RFrmUsers->exec();
    };

    // the entry forms first: each list opens its entry form on the current row
    FrmHazinehNew = new TFrmHazinehNew;
    FrmHazineh = new TFrmHazineh;
    FrmReps = new TFrmReps;
    FrmCheck = new TFrmCheck;
    frmlstcheck = new Tfrmlstcheck;

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
    FrmMain->SetOpener(actions->ActMoameleh, ShowNewDeal);
    FrmMain->SetOpener(actions->ActLstMoameleh, ShowDealList);

    FrmAddInfoOwner = new TFrmAddInfo(QStringLiteral("owner"));
    FrmAddInfoCust = new TFrmAddInfo(QStringLiteral("cust"));
    FrmMain->SetOpener(actions->ActExSanad, ShowNewHazineh);
    FrmMain->SetOpener(actions->ActLstExSanad, ShowHazinehList);
    FrmMain->SetOpener(actions->ActCheck, ShowNewCheck);
    FrmMain->SetOpener(actions->ActLstCheck, ShowChequeList);
    FrmMain->SetOpener(actions->ActRep, [] {
        FrmReps->close();
        FrmReps->show();
        FrmReps->raise();
        FrmReps->activateWindow();
    });
    FrmMain->SetOpener(actions->ActNewGhovl, ShowNewContractTemplate);
    FrmMain->SetOpener(actions->ActopenGhovl, ShowOpenContractTemplate);
    FrmMain->SetOpener(actions->ActLstGhovl, ShowManageContractTemplates);

    frmTTMS = new TfrmTTMS;
    frmTTMS2 = new TfrmTTMS2(FrmMain);
    FrmMain->SetOpener(actions->Action7, ShowVATSettings);
    FrmMain->SetOpener(actions->actTTMS, ShowTaxReport);
    return true;
}

void FreeForms()
{
    delete frmTTMS2;
    frmTTMS2 = nullptr;
    delete frmTTMS;
    frmTTMS = nullptr;
    delete FrmAddInfoCust;
    FrmAddInfoCust = nullptr;
    delete FrmAddInfoOwner;
    FrmAddInfoOwner = nullptr;
    FreeHelpWindows();
    delete FrmTels;
    FrmTels = nullptr;
    delete frmlstcheck;
    frmlstcheck = nullptr;
    delete FrmCheck;
    FrmCheck = nullptr;
    delete FrmHazineh;
    FrmHazineh = nullptr;
    delete FrmHazinehNew;
    FrmHazinehNew = nullptr;
    delete FrmReps;
    FrmReps = nullptr;
    delete RFrmUsers;
    RFrmUsers = nullptr;
    delete FrmLstNiyaz;
    FrmLstNiyaz = nullptr;
    delete MainForm;
    MainForm = nullptr;
    delete FrmLstMelk;
    FrmLstMelk = nullptr;
    delete FrmRepMoameleh;
    FrmRepMoameleh = nullptr;
    delete FrmSanad;
    FrmSanad = nullptr;
    delete FrmNiyaz;
    FrmNiyaz = nullptr;
    delete FRmMelk;
    FRmMelk = nullptr;
    delete FrmMain;
    FrmMain = nullptr;
    delete Dm;
    Dm = nullptr;
}
