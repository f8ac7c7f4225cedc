#pragma once
// The list of customers' demands: criteria panel, grid and cards over Dm.QNiyaz, find bar,
// match panel, change, delete and print buttons.

#include "registry/RegistryShared.h"

#include <QPixmap>
#include <QWidget>
#include <memory>

namespace Ui { class TFrmLstNiyaz; }
class TListFrame;
struct TDemandCriteria;
struct TMatchTarget;

class TFrmLstNiyaz : public QWidget {
    Q_OBJECT
public:
    explicit TFrmLstNiyaz(QWidget* parent = nullptr);
    ~TFrmLstNiyaz() override;

    // 0: list mode; 1: the rows of Dm.QNiyaz come from a match run and are kept on showing.
    int MatchMode = 0;

    TDemandCriteria Criteria() const;
    void btnokClick();
    void btnchangeClick();
    void btndelClick();
    void btnprintClick();
    void BitBtn1Click();
    void btnrefreshClick();
    // Matches the current demand against the properties and shows the property list.
    void BitBtn5Click();

    // The demand list as the target of a property's match run.
    TMatchTarget MatchTarget();

    Ui::TFrmLstNiyaz* form() const { return ui.get(); }
    TListFrame* frame() const { return frame_; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void setupGrid();
    void setupCards();
    void setupCriteria();
    void setupMatchPanel();

    std::unique_ptr<Ui::TFrmLstNiyaz> ui;
    TListFrame* frame_ = nullptr;
    PanelDesign panel1Design_;
    QPixmap yes_, no_;
    bool dealBoxesFromRe_ = false;
};

extern TFrmLstNiyaz* FrmLstNiyaz;

// The property list's match run (its BitBtn5) and its detailed listing, joined to the demand
// list once both windows exist.
void ConnectPropertyListMatching();
