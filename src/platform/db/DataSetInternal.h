#pragma once
// What the dataset's source files share.

#include <QString>
#include <QVariant>

namespace db {

inline bool isNull(const QVariant& v) { return v.isNull() || !v.isValid(); }

// The progress window's title while rows are read or put in order.
inline QString readingTitle() { return QStringLiteral("خواندن اطلاعات"); }

} // namespace db
