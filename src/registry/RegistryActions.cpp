#include "registry/RegistryActions.h"

#include "platform/db/DataSet.h"
#include "platform/widgets/DBNavigator.h"
#include "registry/TFRmMelk.h"
#include "registry/TFrmLstMelk.h"
#include "registry/TFrmTels.h"
#include "ui_TFRmMelk.h"

namespace {

void bringUp(QWidget* w)
{
    w->show();
    w->raise();
    w->activateWindow();
}

} // namespace

void ShowNewProperty()
{
    if (!FRmMelk)
        return;
    bringUp(FRmMelk);
    FRmMelk->form()->DBNavigator1->BtnClick(widgets::NavButton::Insert);
}

void ShowPropertyList()
{
    if (!FrmLstMelk)
        return;
    FrmLstMelk->MatchMode = 0;
    // showing again runs the default search as a new showing does
    if (FrmLstMelk->isVisible())
        FrmLstMelk->hide();
    bringUp(FrmLstMelk);
}

void ShowPhoneBook()
{
    if (FrmTels)
        bringUp(FrmTels);
}
