#pragma once
// Prints what a list grid shows: its visible columns right to left, all rows or the
// selected ones, under the report title block, with an optional total of one field.

#include <QFont>
#include <QString>

namespace widgets { class DBGrid; }

// The settings a grid printout needs; the callers fill them from the program's settings.
struct GridPrintSettings {
    int paperOrdinal = 9;        // report paper ordinal and orientation of lists
    int orientation = 0;
    QFont bodyFont;              // the report body font
    QString reportTitle;         // CReportTitle
    QString economicCode;        // CEconomicCode
    QString today;               // today's Persian date
    QString time;                // "HH:mm"
};

// sumField: the field whose printed rows are totalled in the footer (empty for none).
// ask: when allRows is false, asks whether every row prints (No prints the selected rows).
void PrintGrid(const GridPrintSettings& settings, widgets::DBGrid* grid, const QString& title,
               const QString& footer, bool allRows, int firstColumn, const QString& sumField,
               const QString& sumLabel, bool ask);
