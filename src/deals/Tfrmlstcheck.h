#pragma once
// The book of cheques and other payment documents with the totals received and paid and
// the documents that fall due marked.

#include "deals/BookForms.h"

#include <memory>

namespace Ui { class Tfrmlstcheck; }

class Tfrmlstcheck : public TBookList {
    Q_OBJECT
public:
    explicit Tfrmlstcheck(QWidget* parent = nullptr);
    ~Tfrmlstcheck() override;

    Ui::Tfrmlstcheck* form() const { return ui.get(); }

    void BitBtn1Click(); // sums of the selected rows
    void btnprintClick();

private:
    std::unique_ptr<Ui::Tfrmlstcheck> ui;
};

extern Tfrmlstcheck* frmlstcheck;
