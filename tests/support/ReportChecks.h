#pragma once
// Checks on prepared pages as a reader sees them: every text laid out as the renderer lays
// it out, no word, number or date broken over two lines, nothing beyond its box.

#include <QString>
#include <QStringList>

namespace report {
class PreparedReport;
struct ReportItem;
}

namespace testing_support {

// What is wrong with the item's text on paper: a word split over lines, a line wider than
// its box, lines below its box. Empty when the text is whole and inside.
QStringList textFaults(const report::ReportItem& item);

// The faults of every text item of every page, each prefixed with its page and item name.
QStringList reportTextFaults(const report::PreparedReport& report);

// The lines of a text item as laid out on paper.
QStringList laidOutLines(const report::ReportItem& item);

} // namespace testing_support
