#pragma once
// Helpers the list and record forms share: the column chooser, grid layout files, panel
// state in ini files, Enter as Tab, sums over the selected rows and date prefixes.

#include <QChar>
#include <QString>

class QWidget;

namespace widgets {
class DBGrid;
class DBLookupComboBox;
}

// The program folder: $DOVIN_HOME when set, else the executable's folder; ends with "/".
QString AppFolder();

// Lets the user show and hide the grid's columns.
void ChooseGridColumns(widgets::DBGrid* grid);

// The grid's column layout in the file named key in the folder. Errors are silent: a missing,
// unreadable or garbage file leaves the grid as it is.
void SaveGridColumns(widgets::DBGrid* grid, const QString& key, const QString& folder = AppFolder());
void LoadGridColumns(widgets::DBGrid* grid, const QString& key, const QString& folder = AppFolder());

// The check boxes and plain edit boxes directly on the panel, by their object names, in one
// section of an ini file. Missing keys load as checked and "0". Saving gives false on failure.
bool SavePanelState(const QString& iniPath, const QString& section, QWidget* panel);
void LoadPanelState(const QString& iniPath, const QString& section, QWidget* panel);

// Enter (13) moves the focus to the next control of the window and clears the key. A button
// reached so ("تاييد" after the last field) is pressed by the next Enter; from a radio button or
// check box reached so, the next Enter moves on.
void EnterAsTab(QWidget* formOrControl, QChar& key);

// The sum of the field over the rows selected in the grid, grouped; the current row stays.
void SumSelectedRows(widgets::DBGrid* grid, const QString& fieldName, QString& outText);

// The leading complete parts of a partly typed date "1403/05/__" -> "1403/05".
QString DatePrefixFromMask(const QString& date);

// True when the combo box's key value, as text, is set and not "-1".
bool ComboValueSet(const widgets::DBLookupComboBox* combo);

QChar GetDecimalSeparator();
QChar GetThousandSeparator();
