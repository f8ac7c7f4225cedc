#pragma once
// Paper sizes by the report engine's ordinal (0 = the printer's default paper).

#include <QSize>
#include <QString>
#include <QVector>

namespace report {

struct PaperEntry {
    int ordinal;        // engine ordinal; a settings index is ordinal - 1
    QString text;       // text shown in the preferences window
    double widthMm;     // portrait width
    double heightMm;    // portrait height
};

enum Orientation { Portrait = 0, Landscape = 1 };

// The paper list in settings-index order (index 0 is ordinal 1).
const QVector<PaperEntry>& paperList();

// Page size in tenths of a millimetre for an ordinal and orientation (0 portrait, 1 landscape).
// Ordinal 0 is the default printer's paper (A4 without a printer); an unknown ordinal gives A4.
QSize paperSize(int ordinal, int orientation);

} // namespace report
