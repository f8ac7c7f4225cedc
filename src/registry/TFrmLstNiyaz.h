#pragma once
// The list of customers' demands: criteria panel, grid and cards over Dm.QNiyaz, find bar,
// match panel, change, delete and print buttons.

#include "registry/TRecordList.h"

#include <memory>

namespace Ui { class TFrmLstNiyaz; }
struct TDemandCriteria;
struct TMatchTarget;

class TFrmLstNiyaz : public TRecordList {
    Q_OBJECT
public:
    explicit TFrmLstNiyaz(QWidget* parent = nullptr);
    ~TFrmLstNiyaz() override;

    TDemandCriteria Criteria() const;
    void btnokClick() override;
    void btndelClick() override;
    void BitBtn1Click() override;
    // Matches the current demand against the properties and shows the property list.
    void BitBtn5Click();

    // The demand list as the target of a property's match run.
    TMatchTarget MatchTarget();

    Ui::TFrmLstNiyaz* form() const { return ui.get(); }

private:
    std::unique_ptr<Ui::TFrmLstNiyaz> ui;
};

extern TFrmLstNiyaz* FrmLstNiyaz;

// The property list's match run (its BitBtn5) and its detailed listing, joined to the demand
// list once both windows exist.
void ConnectPropertyListMatching();
