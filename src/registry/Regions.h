#pragma once
// Regions (t_manategh) through the data module's QMantagheh: saving one, the in-use check,
// deleting one, and the region lookups behind the lists' region names.

#include <QString>

// Closes and opens QMn and Qmn2, so that the property and demand lists show new, changed
// and deleted region names at once.
void ReopenRegionLookups();

// True when a property or a demand refers to the region (queries on Dm.QFree).
bool RegionInUse(const QString& id);

// Posts the current row of QMantagheh and reopens the lookups. False when the post was
// refused (its message has been shown, the row stays in edit or insert state).
bool SaveCurrentRegion(const QString& caption);

// The region list's delete: nothing on an empty list; the question; the in-use warning;
// then the current region goes and the lookups are reopened. True when it was deleted.
bool DeleteCurrentRegion(const QString& caption);
