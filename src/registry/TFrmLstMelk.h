#pragma once
// The list of properties on offer: criteria panel, grid and cards over Dm.QMelk, find bar,
// match panel, change, delete and print buttons.

#include "registry/RegistryShared.h"

#include <QPixmap>
#include <QWidget>
#include <functional>
#include <memory>

namespace Ui { class TFrmLstMelk; }
class TListFrame;

class TFrmLstMelk : public QWidget {
    Q_OBJECT
public:
    explicit TFrmLstMelk(QWidget* parent = nullptr);
    ~TFrmLstMelk() override;

    // 0: list mode; 1: the rows of Dm.QMelk come from a match run and are kept on showing.
    int MatchMode = 0;

    // The statement the criteria panel gives; empty (after a message) when a typed amount
    // or count is no number.
    QString CriteriaSql() const;
    // Runs the criteria search (the search button).
    void btnokClick();
    void btnchangeClick();
    void btndelClick();
    void btnprintClick();
    void BitBtn1Click();
    void btnrefreshClick();

    // The detailed listing of the rows of Dm.QMelk (printPhones, allRows); set by the window
    // that prints listings.
    std::function<void(bool, bool)> ShowPropertyListing;

    Ui::TFrmLstMelk* form() const { return ui.get(); }
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

    std::unique_ptr<Ui::TFrmLstMelk> ui;
    TListFrame* frame_ = nullptr;
    PanelDesign panel1Design_;
    QPixmap yes_, no_;
    bool dealBoxesFromRe_ = false;
};

extern TFrmLstMelk* FrmLstMelk;
