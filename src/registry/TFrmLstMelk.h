#pragma once
// The list of properties on offer: criteria panel, grid and cards over Dm.QMelk, find bar,
// match panel, change, delete and print buttons.

#include "registry/TRecordList.h"

#include <functional>
#include <memory>

namespace Ui { class TFrmLstMelk; }

class TFrmLstMelk : public TRecordList {
    Q_OBJECT
public:
    explicit TFrmLstMelk(QWidget* parent = nullptr);
    ~TFrmLstMelk() override;

    // The statement the criteria panel gives; empty (after a message) when a typed amount
    // or count is no number.
    QString CriteriaSql() const;
    void btnokClick() override;
    void btndelClick() override;
    void BitBtn1Click() override;

    // The detailed listing of the rows of Dm.QMelk (printPhones, allRows); set by the window
    // that prints listings.
    std::function<void(bool, bool)> ShowPropertyListing;

    Ui::TFrmLstMelk* form() const { return ui.get(); }

private:
    std::unique_ptr<Ui::TFrmLstMelk> ui;
};

extern TFrmLstMelk* FrmLstMelk;
