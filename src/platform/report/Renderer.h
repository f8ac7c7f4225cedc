#pragma once
// Paints prepared pages: on screen, on a printer (or PDF) and into images.

#include <QImage>
#include <QRectF>

class QPainter;
class QPrinter;
class QString;

namespace report {

class PreparedReport;

// Paints page pageIndex (0-based) into target, given in the painter's coordinates;
// the whole paper is scaled into target.
void paintPage(const PreparedReport& report, int pageIndex, QPainter& painter, const QRectF& target);

// The page as an image at the given resolution (dots per inch).
QImage renderPageImage(const PreparedReport& report, int pageIndex, double dpi = 150);

// Sets the printer's paper and orientation to the report's.
void applyPageLayout(const PreparedReport& report, QPrinter& printer);

// Prints every page (and the copies the printer cannot make itself); false when printing failed.
bool printReport(const PreparedReport& report, QPrinter& printer);

// Writes the report as a PDF file; false when the file could not be written.
bool writePdf(const PreparedReport& report, const QString& fileName);

} // namespace report
