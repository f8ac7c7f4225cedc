#pragma once
// What the main window's actions do with the registry windows.

// F1: shows the property form and inserts a new row through its navigator.
void ShowNewProperty();
// F2: the property list in list mode (its default search runs on showing).
void ShowPropertyList();
// The phone book.
void ShowPhoneBook();
