#pragma once
// The monthly summary reports: one kind of money flow summed per month, the months and sums
// side by side with their total, a two-column printout and the chart window.

#include "deals/MonthlyReports.h"

#include <QWidget>
#include <memory>

namespace Ui { class TFrmReps; }
class QTreeWidget;

class TFrmReps : public QWidget {
    Q_OBJECT
public:
    explicit TFrmReps(QWidget* parent = nullptr);
    ~TFrmReps() override;

    void btnreportClick();
    void btnchartClick();
    void btnprinttrazClick();

    void RunExpenseReport() { runReport(TMonthlyReport::Expense); }
    void RunIncomeReport() { runReport(TMonthlyReport::Income); }
    void RunCommissionReport() { runReport(TMonthlyReport::Commission); }
    void RunPaidChequeReport() { runReport(TMonthlyReport::PaidCheque); }
    void RunReceivedChequeReport() { runReport(TMonthlyReport::ReceivedCheque); }
    void RunProfitReport() { runReport(TMonthlyReport::Profit); }

    // A row chosen in one list view chooses the same row in the other.
    void ListSelect(QTreeWidget* from);

    Ui::TFrmReps* form() const { return ui.get(); }

protected:

private:
    void FormShow();
    void runReport(TMonthlyReport kind);

    std::unique_ptr<Ui::TFrmReps> ui;
};

extern TFrmReps* FrmReps;
