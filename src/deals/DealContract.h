#pragma once
// The deal form's contract button: the contract text of the current deal in the editor.

// True while the contract editor window is visible.
bool ContractEditorVisible();
// Brings the contract editor window to the front.
void BringContractEditorToFront();
// On the current row of Dm->QSanad (browse state): loads its contract text, or lets the user
// pick a template when it has none, switches the editor to deal mode, saves the text into the
// deal and shows the editor modally. A cancelled pick, or a stored text the editor does not
// take (too large, its reading cancelled), stops here and saves nothing.
void OpenDealContract();
