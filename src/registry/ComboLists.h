#pragma once
// The registry windows' access to the stored combo lists and the default amenity titles.

#include <QHash>
#include <QString>

class QComboBox;
namespace widgets { class DBComboBox; }

// The combo's items from its stored list (by its object name).
void LoadComboList(QComboBox* combo);
// Stores the combo's items as its list.
void StoreComboList(QComboBox* combo);
// Removes the selected item and empties the row's value (edit state first).
void RemoveComboItem(widgets::DBComboBox* combo);
// The titles (by amenity column) become the defaults of new properties and are written to
// Anavin.ini; false when the file could not be written (the reason has been shown).
bool SaveDefaultAmenityTitles(const QHash<QString, QString>& titles);
