#include "app/AppActions.h"

#include "app/TForm2000.h"
#include "app/TForm3.h"
#include "app/TForm4.h"
#include "app/TForm5.h"
#include "app/TFrmMain.h"
#include "app/TLastVer.h"
#include "app/TRfrmPref.h"
#include "app/TfrmChoseWin.h"
#include "app/TfrmHelp.h"
#include "app/Tfrminfo.h"
#include "core/AppGlobals.h"
#include "core/TBackUp.h"
#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "forms/FormShared.h"
#include "ui/TTools.h"
#include "ui_TFrmMain.h"

namespace {

// Every record being typed is saved or dropped as the user answers; false on Cancel.
bool askPendingEdits()
{
    for (db::DataSet* ds : Dm->DataSets())
        if (!AskSavePending(ds, FrmMain ? FrmMain->windowTitle() : QString()))
            return false;
    return true;
}

} // namespace

void ActSaveExecute()
{
    if (!Dm || !Dm->Conn)
        return;
    auto backup = CreateBackUp(IsAccess, DataModuleTarget(*Dm, IsAccess, {}));
    SaveBackUpAs(*backup, IsAccess, *Tools);
}

void ActLoadExecute()
{
    if (!Dm || !Dm->Conn)
        return;
    auto backup = CreateBackUp(IsAccess, DataModuleTarget(*Dm, IsAccess, askPendingEdits));
    LoadBackUpFrom(*backup, IsAccess);
}

void ActPrefExecute()
{
    TRfrmPref pref(FrmMain);
    pref.exec();
}

void ActAboutExecute()
{
    Tfrminfo info(FrmMain);
    info.exec();
}

void ConnectAppActions()
{
    const auto* actions = FrmMain->form();
    FrmMain->SetOpener(actions->ActSave, ActSaveExecute);
    FrmMain->SetOpener(actions->ActLoad, ActLoadExecute);
    FrmMain->SetOpener(actions->ActPref, ActPrefExecute);
    FrmMain->SetOpener(actions->ActAbout, ActAboutExecute);
    FrmMain->ShowHelp = [](const QString& page) { ShowHelpPage(frmHelp, page); };
    FrmMain->ShowPictureHelp = [] { ShowNormal(frmChoseWin); };
    FrmMain->StartUpdateCheck = [] { StartUpdateCheck(FrmMain); };
}

void FreeHelpWindows()
{
    delete frmHelp;
    delete Form5;
    delete Form4;
    delete Form3;
    delete Form2000;
    delete frmChoseWin;
    frmHelp = nullptr;
    Form5 = nullptr;
    Form4 = nullptr;
    Form3 = nullptr;
    Form2000 = nullptr;
    frmChoseWin = nullptr;
}
