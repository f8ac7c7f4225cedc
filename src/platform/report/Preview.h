#pragma once
// Window-level entry points of the report layer, called by the program's prompter.

#include <QString>

class QPrinter;
class QWidget;

namespace report {

class PreparedReport;

// Shows the prepared report in the preview window (modal); true when the user printed it.
bool showPreview(PreparedReport& report, const QString& caption, QWidget* parent = nullptr);

// The printer set-up dialog (printer and copies); false when cancelled.
bool printSetupDialog(QPrinter& printer, QWidget* parent = nullptr);

} // namespace report
