#pragma once
// VAT settings: the switch, the VAT and municipal levy percentages; switching on first needs
// the terms to be accepted.

#include <QDialog>
#include <memory>

namespace Ui { class TfrmVAT; }

class TfrmVAT : public QDialog {
    Q_OBJECT
public:
    // Runs FormCreate: the stored rates and switch.
    explicit TfrmVAT(QWidget* parent = nullptr);
    ~TfrmVAT() override;

    Ui::TfrmVAT* form() const { return ui.get(); }

    void chkActivationClick();
    void edtVATChange();
    // Checks, asks, stores the three settings, closes, and closes a visible deal list.
    void BitBtn1Click();

    // Empty when each rate and their sum lie between 1 and 90, else the refusal's text.
    static QString RatesProblem(const QString& vat, const QString& levy);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();

    std::unique_ptr<Ui::TfrmVAT> ui;
    bool movedUp_ = false;
};

// Closes the deal list when it is shown, so that it is reopened with the new rates.
void CloseVisibleDealList();

// The main window's VAT settings action: the window, modal, freed on return.
void ShowVATSettings();
