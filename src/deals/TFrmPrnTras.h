#pragma once
// The two-column printout of a monthly report: title, one row per month (month at the
// right, sum at the left, a line between them) and the total.

#include "platform/report/Report.h"

#include <QString>

class QFont;
class QTreeWidget;

class TFrmPrnTras {
public:
    TFrmPrnTras() = default;

    // Lays the report out on the paper and font given.
    void Build(int paperOrdinal, int orientation, const QFont& font);
    // Builds the report and prepares its pages.
    report::PreparedReport Prepare(int paperOrdinal, int orientation, const QFont& font);
    // Prepares it and shows it in the preview; true when the user printed.
    bool Preview(int paperOrdinal, int orientation, const QFont& font);

    int RowIndex = 0;
    QTreeWidget* ListRight = nullptr;   // months
    QTreeWidget* ListLeft = nullptr;    // sums
    QString Title;
    QString SummaryCaption;
    QString SummaryValue;

    report::Report QuickRep1;
};
