#pragma once
// Helpers for SQL text built by hand.

#include <QString>

namespace db {

// The SQL string literal of a text: single quotes around it, inner quotes doubled.
QString Q(const QString& text);

// Removes the N of every N'...' that opens a literal (outside literals only):
// a=N'x' becomes a='x'; the text of literals is never touched.
QString stripNationalPrefix(const QString& sql);

} // namespace db
