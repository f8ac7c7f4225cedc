#pragma once
// The deal form: parties, kind, dates and number, commission and discounts over the current row
// of Dm.QSanad, with live totals, the party identity dialogs, both invoices and the contract.

#include <QWidget>
#include <memory>

namespace Ui { class TFrmSanad; }

class TFrmSanad : public QWidget {
    Q_OBJECT
public:
    explicit TFrmSanad(QWidget* parent = nullptr);
    ~TFrmSanad() override;

    struct Totals {
        double discount = 0;   // both discounts
        double after = 0;      // commission less the discounts
        double vat = 0;        // VAT and levy on it
        double total = 0;
    };
    // The totals of the three amount texts at a combined rate (percent); no rounding.
    static Totals ComputeTotals(const QString& ownerDiscount, const QString& custDiscount, const QString& commission,
                                double rate);

    void DBEdit11Change();                 // the totals, after any amount changed
    void ApplyVATVisibility(bool enabled);
    void BitBtn1Click();                   // owner identity
    void BitBtn2Click();                   // buyer identity
    void BitBtn3Click();                   // owner invoice
    void BitBtn4Click();                   // buyer invoice
    void btnprintClick();                  // contract

    // "استان: ... شهر: ..." of a city id followed by the address; an unknown city is left out.
    static QString BuildCityAddress(const QString& cityId, const QString& address);
    void PrintPartyInvoice(const QString& name, const QString& paymentState, double discount, const QString& label,
                           const QString& nationalCode, const QString& economicCode, const QString& address,
                           const QString& phone, const QString& postalCode);

    Ui::TFrmSanad* form() const { return ui.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void connectDataModule();
    // True when the deal is saved; otherwise shows "save or cancel first".
    bool requireSaved();
    void partyInvoice(bool owner);

    std::unique_ptr<Ui::TFrmSanad> ui;
    QString proposedNumber_;   // the number the new row was shown with
};

extern TFrmSanad* FrmSanad;
