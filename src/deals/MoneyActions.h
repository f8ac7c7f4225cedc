#pragma once
// What the main window's actions do with the expense and cheque windows.

// F10: shows the expense form, then inserts a row into QHazineh.
void ShowNewHazineh();
// F11: the expense list (its default search runs when it is not yet visible).
void ShowHazinehList();
// Shift+F1: shows the cheque form, then inserts a row into QCheck.
void ShowNewCheck();
// Shift+F2: the cheque book.
void ShowChequeList();
