#pragma once
// The report layout of the grid printout: title block, column headers, one detail row per
// printed dataset row, and the footer with the total.

#include "platform/report/Report.h"

#include <QVector>

namespace db { class DataSet; }
namespace widgets { class DBGrid; }
struct GridPrintSettings;

class TPFrmPrnLv {
public:
    TPFrmPrnLv(const GridPrintSettings& settings, widgets::DBGrid* grid);

    // Lays out the columns from firstColumn on and the rows given (rows of the dataset's order).
    void build(const QString& titleBlock, const QString& dateLine, const QString& footerText, int firstColumn,
               const QVector<int>& rows);
    // Cancellable: throws shell::Cancelled when the user stopped it. Columns too many for the
    // paper print in groups: all pages of the first group (the rightmost columns), then the next.
    report::PreparedReport prepare();

    report::Report QuickRep1;

private:
    widgets::DBGrid* grid_;
    db::DataSet* ds_;
    QVector<int> rows_;
    int groups_ = 1;       // groups of columns, laid out one slot apart
    int slot_ = 0;
};
