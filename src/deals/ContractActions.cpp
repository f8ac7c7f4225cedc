#include "deals/ContractActions.h"

#include "deals/TFrmSelGhovl.h"
#include "deals/TMainForm.h"

#include <QApplication>

namespace {

void showForTemplates()
{
    MainForm->PrepareTemplateMode();
    MainForm->show();
    MainForm->raise();
    MainForm->activateWindow();
}

} // namespace

void ShowNewContractTemplate()
{
    if (!MainForm)
        return;
    showForTemplates();
    MainForm->FileNew();
}

void ShowOpenContractTemplate()
{
    if (!MainForm)
        return;
    showForTemplates();
    MainForm->ToolButton3Click();
}

void ShowManageContractTemplates()
{
    if (!MainForm)
        return;
    TFrmSelGhovl picker(QApplication::activeWindow(), true);
    MainForm->DealMode = false;
    picker.exec();
}
