#include "deals/DealContract.h"

#include "core/TDm.h"
#include "deals/TMainForm.h"
#include "platform/db/DataSet.h"

bool ContractEditorVisible() { return MainForm && MainForm->isVisible(); }

void BringContractEditorToFront()
{
    if (!MainForm)
        return;
    MainForm->show();
    MainForm->raise();
    MainForm->activateWindow();
}

void OpenDealContract()
{
    if (!MainForm || !Dm || !Dm->QSanad->Active() || Dm->QSanad->IsEmpty())
        return;
    const db::Field* text = Dm->QSanad->FieldByName(QStringLiteral("ghovLnameh"));
    if (!text->IsNull()) {
        MainForm->SetEditorContent(text->AsString());
    } else if (!MainForm->ToolButton3Click()) {
        return;
    }
    MainForm->PrepareDealMode();
    MainForm->ToolButton7Click();
    MainForm->ShowModal();
}
