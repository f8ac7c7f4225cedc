#pragma once
// The detailed listing of demands (the demand list's "چاپ جزييات").

#include <QString>
#include <memory>

namespace db { class DataSet; }
namespace report { class Report; }
class TListingRow;

class TFrmDarkhasti {
public:
    // ds: the demand dataset (Dm->QNiyaz when null).
    explicit TFrmDarkhasti(db::DataSet* ds = nullptr);
    ~TFrmDarkhasti();

    bool AllRows = false;       // every row, else the rows selected in the list

    std::unique_ptr<report::Report> QuickRep1();
    bool Preview();

    static QString ForsText(const TListingRow& r);
    static QString DetailText(const TListingRow& r);
    static QString AddrText(const TListingRow& r);

private:
    db::DataSet* ds_;
};
