#include "registry/ComboLists.h"

// placeholder until the data module's combo lists land
void LoadComboList(QComboBox*) {}
void StoreComboList(QComboBox*) {}
void RemoveComboItem(widgets::DBComboBox*) {}
bool SaveDefaultAmenityTitles(const QHash<QString, QString>&) { return true; }
