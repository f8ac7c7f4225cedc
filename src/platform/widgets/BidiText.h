#pragma once
// Left-to-right texts (paths, dates and numbers with slashes or signs) inside right-to-left
// windows: marked so that they keep their order.

#include <QString>

namespace widgets {

// The text embedded left to right: "/tmp/a.jpg" never shows as "tmp/a.jpg/".
QString LeftToRight(const QString& text);
// The text in the direction of its first strong letter (left to right when it has none):
// Persian stays as it is, paths and numbers keep their order, a negative amount inside Persian
// keeps its minus before the digits.
QString Isolated(const QString& text);
// Each negative number of the text ("-3,000", "-1,250.5") embedded left to right: in a line
// that reads right to left its minus stays before the digits, as "-3,000", never "3,000-".
QString NegativeNumbersLeftToRight(const QString& text);

} // namespace widgets
