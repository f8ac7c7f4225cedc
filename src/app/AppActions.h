#pragma once
// The main window's backup, restore, preferences, about, help and update actions.

// Backup of the database (ActSave).
void ActSaveExecute();
// Restore of the database (ActLoad); what is being typed is saved or dropped first.
void ActLoadExecute();
// The preferences window, modal (ActPref; the main window reloads the print settings and the
// background afterwards).
void ActPrefExecute();
// The about window, modal (ActAbout).
void ActAboutExecute();

// Gives the main window these actions and its help, picture-help and update pieces; the
// help windows exist already.
void ConnectAppActions();
// Frees the help windows.
void FreeHelpWindows();
