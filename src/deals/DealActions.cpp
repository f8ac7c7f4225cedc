#include "deals/DealActions.h"

#include "forms/FormShared.h"
#include "deals/TFrmRepMoameleh.h"
#include "deals/TFrmSanad.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBNavigator.h"
#include "ui_TFrmSanad.h"

void ShowNewDeal()
{
    if (!FrmSanad)
        return;
    BringUp(FrmSanad);
    FrmSanad->form()->DBNavigator1->BtnClick(widgets::NavButton::Insert);
    FrmSanad->form()->DBEdit1->setFocus();
}

void ShowDealList()
{
    if (!FrmRepMoameleh)
        return;
    // a list already open is only brought forward: its criteria, rows and place stay
    BringUp(FrmRepMoameleh);
}

void ShowCurrentDeal()
{
    if (FrmSanad)
        BringUp(FrmSanad);
}
