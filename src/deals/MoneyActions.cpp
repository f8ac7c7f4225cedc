#include "deals/MoneyActions.h"

#include "core/TDm.h"
#include "deals/TFrmCheck.h"
#include "deals/TFrmHazineh.h"
#include "deals/TFrmHazinehNew.h"
#include "deals/Tfrmlstcheck.h"
#include "forms/FormShared.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/FieldLink.h"

namespace {

void newEntry(QWidget* form, db::DataSet* ds)
{
    if (!form || !ds)
        return;
    BringUp(form);
    // a row still being entered is saved or dropped first
    if (!AskSavePending(ds, form->windowTitle()))
        return;
    widgets::guarded([&] {
        if (!ds->Active())
            ds->Open();
        ds->Insert();
    });
}

} // namespace

void ShowNewHazineh() { newEntry(FrmHazinehNew, Dm ? Dm->QHazineh : nullptr); }

void ShowHazinehList()
{
    if (FrmHazineh)
        BringUp(FrmHazineh);
}

void ShowNewCheck() { newEntry(FrmCheck, Dm ? Dm->QCheck : nullptr); }

void ShowChequeList()
{
    if (frmlstcheck)
        BringUp(frmlstcheck);
}
