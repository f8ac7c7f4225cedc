#include "app/StartUp.h"

#include "app/TFrmMain.h"
#include "app/TfrmTTMS.h"
#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "registry/TFRmMelk.h"
#include "registry/TFrmLstMelk.h"
#include "registry/TFrmTels.h"

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

    FrmLstMelk = new TFrmLstMelk;
    FrmTels = new TFrmTels;

    frmTTMS = new TfrmTTMS;
    return true;
}

void FreeForms()
{
    delete frmTTMS;
    frmTTMS = nullptr;
    delete FrmTels;
    FrmTels = nullptr;
    delete FrmLstMelk;
    FrmLstMelk = nullptr;
    delete FRmMelk;
    FRmMelk = nullptr;
    delete FrmMain;
    FrmMain = nullptr;
    delete Dm;
    Dm = nullptr;
}
