#pragma once
// What the dataset's source files share.

#include <QVariant>

namespace db {

inline bool isNull(const QVariant& v) { return v.isNull() || !v.isValid(); }

} // namespace db
