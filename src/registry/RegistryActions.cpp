#include "registry/RegistryActions.h"

#include "forms/FormShared.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBNavigator.h"
#include "registry/TFRmMelk.h"
#include "registry/TFrmLstMelk.h"
#include "core/TDm.h"
#include "registry/TFrmLstNiyaz.h"
#include "registry/TFrmNewMn.h"
#include "registry/TFrmNiyaz.h"
#include "registry/TFrmTels.h"
#include "registry/TfrmlstMn.h"
#include "ui_TFRmMelk.h"
#include "ui_TFrmNiyaz.h"

void ShowNewProperty()
{
    if (!FRmMelk)
        return;
    BringUp(FRmMelk);
    FRmMelk->form()->DBNavigator1->BtnClick(widgets::NavButton::Insert);
}

void ShowPropertyList()
{
    if (!FrmLstMelk)
        return;
    FrmLstMelk->MatchMode = 0;
    // a list already open is only brought forward: its criteria, rows and place stay
    BringUp(FrmLstMelk);
}

void ShowNewDemand()
{
    if (!FrmNiyaz)
        return;
    BringUp(FrmNiyaz);
    FrmNiyaz->form()->DBNavigator1->BtnClick(widgets::NavButton::Insert);
}

void ShowDemandList()
{
    if (!FrmLstNiyaz)
        return;
    FrmLstNiyaz->MatchMode = 0;
    BringUp(FrmLstNiyaz);
}

void ShowNewRegion()
{
    TFrmNewMn form;
    Dm->QMantagheh->Append();
    form.exec();
}

void ShowRegionList()
{
    TfrmlstMn list;
    list.exec();
}

void ShowPhoneBook()
{
    if (FrmTels)
        BringUp(FrmTels);
}
