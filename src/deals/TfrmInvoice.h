#pragma once
// The commission invoice of one party of a deal: header text, number and date, the party's
// identity, the amounts table (half commission, discount, after discount, VAT, levy, payable),
// payment state, remark and footer text. Always shown through the print preview.

#include <QString>
#include <memory>

namespace report {
class Report;
class TextElement;
class PreparedReport;
}

struct TInvoiceAmounts {
    double half = 0;      // the half commission shown, to three decimals
    double discount = 0;
    double after = 0;     // the rounded half commission less the discount
    double vat = 0;
    double levy = 0;
    double payable = 0;
};
// Computed on the exact decimal values; rounding to whole numbers and to three decimals
// takes ties to even.
TInvoiceAmounts InvoiceAmounts(double commission, double discount, double vatRate, double levyRate);

struct TInvoiceParty {
    QString label;          // "مالک" or "خريدار/مستاجر"
    QString name;
    QString paymentState;
    double discount = 0;
    QString nationalCode;
    QString economicCode;
    QString address;
    QString phone;
    QString postalCode;
};

struct TInvoiceDeal {
    double commission = 0;
    QString nov;
    QString number;
    QString date;
    QString remark;
};

// What the invoice takes from the settings.
struct TInvoiceSettings {
    QString header;
    QString footer;
    QString economicCode;
    double vatRate = 0;
    double levyRate = 0;
    int paperOrdinal = 10;
    int orientation = 0;
    // Read from the settings file and the print settings now.
    static TInvoiceSettings Current();
};

class TfrmInvoice {
public:
    TfrmInvoice();
    ~TfrmInvoice();

    // Fills every text of the layout for the party of the deal.
    void Fill(const TInvoiceDeal& deal, const TInvoiceParty& party, const TInvoiceSettings& settings);
    report::PreparedReport Prepare();
    // Through the program's preview; true when printed there.
    bool Preview();

    report::Report& QuickRep1() { return *rep_; }
    // An element's text by its name ("" when none).
    QString text(const QString& name) const;

private:
    void FormCreate();
    void QuickRep1BeforePrint();
    report::TextElement* label(const char* name) const;

    std::unique_ptr<report::Report> rep_;
};

// "نام مالک: ..." and the lines of the party's codes, address, postal code and phone.
QString InvoicePersonInfo(const TInvoiceParty& party);
