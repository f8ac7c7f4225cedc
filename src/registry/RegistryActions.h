#pragma once
// What the main window's actions do with the registry windows.

// F1: shows the property form and inserts a new row through its navigator.
void ShowNewProperty();
// F2: the property list in list mode (its default search runs on showing).
void ShowPropertyList();
// F3: shows the demand form and inserts a new row through its navigator.
void ShowNewDemand();
// F4: the demand list in list mode.
void ShowDemandList();
// F7: a new region in the region form, shown modally.
void ShowNewRegion();
// F8: the region list, shown modally.
void ShowRegionList();
// The phone book.
void ShowPhoneBook();
