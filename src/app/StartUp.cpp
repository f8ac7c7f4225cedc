#include "app/StartUp.h"

#include "app/TFrmMain.h"
#include "app/TfrmTTMS.h"
#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "registry/TFrmLstNiyaz.h"
#include "registry/TFrmNiyaz.h"

// The order: TFrmMain, TFRmMelk, TDm, TFrmNiyaz, TFrmSanad, TFrmRepMoameleh, TFrmLstMelk,
// TMainForm, TFrmLstNiyaz, TRFrmUsers, TFrmHazineh, TFrmHazinehNew, TFrmReps, TFrmCheck,
// Tfrmlstcheck, TFrmTels, TfrmChoseWin, TForm2000, TForm3, TForm4, TForm5, TfrmHelp,
// TFrmAddInfoOwner, TFrmAddInfoCust, TfrmTTMS, TfrmTTMS2. Each window is created at its
// place in this list; the main window's creation runs before the data module exists.
bool CreateForms()
{
    FrmMain = new TFrmMain;

    Dm = new TDm;
    Dm->CheckDbVersion = [] { FrmMain->CheckDbVersionAndUpgrade(); };
    if (!Dm->DataModuleCreate(IsAccess))
        return false;
    FrmNiyaz = new TFrmNiyaz;

    FrmLstNiyaz = new TFrmLstNiyaz;
    ConnectPropertyListMatching();

    frmTTMS = new TfrmTTMS;
    return true;
}

void FreeForms()
{
    delete frmTTMS;
    frmTTMS = nullptr;
    delete FrmLstNiyaz;
    FrmLstNiyaz = nullptr;
    delete FrmNiyaz;
    FrmNiyaz = nullptr;
    delete FrmMain;
    FrmMain = nullptr;
    delete Dm;
    Dm = nullptr;
}
