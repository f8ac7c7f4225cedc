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
    // a text the editor cannot take (too large, reading cancelled) is left as it is stored
    if (!text->IsNull()) {
        if (!MainForm->SetEditorContent(text->AsBytes()))
            return;
    } else if (!MainForm->ToolButton3Click()) {
        return;
    }
    MainForm->PrepareDealMode();
    // a stored text with parts the editor leaves out stays as it is until the user saves
    if (text->IsNull() || !MainForm->DroppedParts)
        MainForm->ToolButton7Click();
    MainForm->ShowModal();
}
