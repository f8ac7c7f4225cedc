#pragma once
// The terms of use of the VAT functions: accepted (result 1) or refused (result 2).

#include <QDialog>
#include <memory>

namespace Ui { class TfrmVATContract; }

class TfrmVATContract : public QDialog {
    Q_OBJECT
public:
    explicit TfrmVATContract(QWidget* parent = nullptr);
    ~TfrmVATContract() override;

    Ui::TfrmVATContract* form() const { return ui.get(); }

private:
    std::unique_ptr<Ui::TfrmVATContract> ui;
};
