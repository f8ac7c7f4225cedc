#pragma once
// The detailed listing of properties (the list's "چاپ جزييات").

#include <QString>
#include <memory>

namespace db { class DataSet; }
namespace report { class Report; }
class TListingRow;

class TFrmPrnmoojod {
public:
    // ds: the property dataset (Dm->QMelk when null).
    explicit TFrmPrnmoojod(db::DataSet* ds = nullptr);
    ~TFrmPrnmoojod();

    bool AllRows = false;       // every row, else the rows selected in the list
    bool PrintPhones = false;   // the owner's phones in the address column

    // The report as set up by the two flags; prepare it or preview it.
    std::unique_ptr<report::Report> QuickRep1();
    // Prepares the report and shows it in the preview; true when the user printed it.
    bool Preview();

    static QString ForsText(const TListingRow& r);
    static QString DetailText(const TListingRow& r);
    static QString AddrText(const TListingRow& r, bool printPhones);

private:
    db::DataSet* ds_;
};
