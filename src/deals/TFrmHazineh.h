#pragma once
// The expenses and incomes of a date range with their two totals.

#include "deals/BookForms.h"

#include <memory>

namespace Ui { class TFrmHazineh; }

class TFrmHazineh : public TBookList {
    Q_OBJECT
public:
    explicit TFrmHazineh(QWidget* parent = nullptr);
    ~TFrmHazineh() override;

    Ui::TFrmHazineh* form() const { return ui.get(); }

    void BitBtn1Click(); // sums of the selected rows
    void btnprintClick();

private:
    std::unique_ptr<Ui::TFrmHazineh> ui;
};

extern TFrmHazineh* FrmHazineh;
