#pragma once
// What the main window's contract-template actions do with the contract editor.

// Ctrl+F1: a new template in the editor.
void ShowNewContractTemplate();
// Ctrl+F2: the editor on a template picked from the list.
void ShowOpenContractTemplate();
// Ctrl+F3: the template list, to delete templates.
void ShowManageContractTemplates();
