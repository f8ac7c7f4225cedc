#pragma once
// What the main window's deal actions open.

// The deal form on a new row.
void ShowNewDeal();
// The deal list, its criteria back to their defaults.
void ShowDealList();
// The deal form on the current row of the list.
void ShowCurrentDeal();
