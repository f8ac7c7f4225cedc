#pragma once
// Item lists of the editable combo boxes, one row of t_CmbItems per combo name
// (names match without regard to case), shared by every workstation.

#include <QString>
#include <QStringList>

class QComboBox;
class TDm;
namespace widgets { class DBComboBox; }

// The stored text split into items, one per line (CR LF, LF or CR); a final line break adds no item.
QStringList ComboItemsFromText(const QString& text);
// Each item followed by a line break.
QString ComboItemsToText(const QStringList& items);

// Replaces the combo's items with its stored list (none stored: an empty list).
// The text shown in the combo stays.
void FillComboItems(TDm& dm, QComboBox* combo);
// Stores the combo's current items as its list; the row is made when missing.
void SaveComboItems(TDm& dm, QComboBox* combo);
// Removes the selected item from the combo and empties the record's value in its field,
// putting the dataset into edit first (through the rights check). Nothing happens when no
// item is selected. The caller then saves the list. False when nothing was removed.
bool DeleteComboItem(TDm& dm, widgets::DBComboBox* combo);
