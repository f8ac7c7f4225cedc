#pragma once
// The detailed listing shared by the property and demand listings: one block per row
// (row number, deal type, description, name with address and phones) under a title,
// with three lines between the four columns. Rows are read without moving the dataset.

#include <QString>
#include <functional>
#include <memory>

namespace db { class DataSet; }
namespace report {
class Report;
class PreparedReport;
}

// Reads one row of a dataset by field name without making it current; a missing field reads empty.
class TListingRow {
public:
    TListingRow(db::DataSet& ds, int row) : ds_(ds), row_(row) {}
    QString text(const char* field) const;
    // The display text (amounts grouped by their display format).
    QString display(const char* field) const;
    bool flag(const char* field) const;
    double number(const char* field) const;

private:
    db::DataSet& ds_;
    int row_;
};

struct TListingLayout {
    QString title;          // the fixed part of the title, before today's date
    QString addrHeader;     // "نام مالک/آدرس و تلفن" or "نام خريدار/آدرس و تلفن"
    std::function<QString(const TListingRow&)> fors;
    std::function<QString(const TListingRow&)> detail;
    std::function<QString(const TListingRow&)> addr;
};

// The report over ds: every row when allRows, else the rows selected in the list's grid.
// Row numbers count printed rows only. The caller prepares the report while ds stays as it is.
std::unique_ptr<report::Report> BuildListingReport(db::DataSet& ds, bool allRows, const TListingLayout& layout);

// The deal-condition pieces of a description (" ، قيمت ...") over the three conditions.
QString ListingConditions(const TListingRow& r, const char* const types[3], const char* const amounts[3],
                          const char* const amounts2[3], const char* const notes[3]);

// Prepares the report and shows it in the preview under caption; true when it was printed.
bool PreviewListing(report::Report& rep, const QString& caption);
