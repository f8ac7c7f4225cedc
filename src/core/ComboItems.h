#pragma once
// Item lists of the editable combo boxes, one row of t_CmbItems per combo name
// (names match without regard to case), shared by every workstation.

#include <QString>
#include <QStringList>

class QComboBox;
class QEvent;
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
// Adds (or removes) one item on the stored list as it is now, read and written in one
// transaction, so other workstations' changes stay; the combo then holds the stored list
// (its shown text stays), which is returned.
QStringList ChangeComboItem(TDm& dm, QComboBox* combo, const QString& item, bool add);
// Whether the text typed into the combo may join its stored list: a combo bound to a
// record only when the record took the change (not when the edit was refused).
bool ComboTextAccepted(const QComboBox* combo);
// Whether a focus-out leaves the control (not the window losing activation to a message
// or a popup while the control keeps its focus).
bool LeavesControl(const QEvent* focusOut);
// Removes the item the combo shows from its list and empties the record's value in its
// field, putting the dataset into edit first (through the rights check). Nothing happens
// when the shown text is no item. The removed item goes to removed, for the caller to take
// off the stored list. False when nothing was removed.
bool DeleteComboItem(TDm& dm, widgets::DBComboBox* combo, QString* removed = nullptr);
