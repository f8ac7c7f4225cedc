#pragma once
// The monthly summary reports: one sum per month (yyyy/mm) of expenses, incomes, commission
// after discounts, paid and received documents, or profit.

#include <QString>
#include <QStringList>
#include <vector>

namespace db { class DataSet; }

enum class TMonthlyReport { Expense = 0, Income, Commission, PaidCheque, ReceivedCheque, Profit };

// The report names in the order of the report list.
const QStringList& MonthlyReportTexts();

// The statement of a report: field 0 the sum, field 1 the month, rows in month order.
// With ranged set only the dates from t1 to t2 (full yyyy/mm/dd texts) count.
QString MonthlyReportSql(TMonthlyReport kind, bool ranged, const QString& t1, const QString& t2);

struct TMonthSum {
    QString month;
    double sum = 0;
};

// Runs the statement on ds and returns its rows.
std::vector<TMonthSum> RunMonthlyReport(db::DataSet& ds, TMonthlyReport kind, bool ranged, const QString& t1,
                                        const QString& t2);
