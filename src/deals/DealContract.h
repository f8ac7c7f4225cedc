#pragma once
// The contract editor as the deal form uses it.

// Whether the contract editor window is open.
bool ContractEditorVisible();
// Brings the open contract editor to the front.
void BringContractEditorToFront();
// Loads the contract text of the current deal of Dm->QSanad (or lets the user pick a template),
// switches the editor to deal mode, saves the text into the deal and shows the editor modally.
void OpenDealContract();
