#pragma once
// The deal list: the deals of a date range and of the chosen kinds with commission, discounts,
// VAT and levy, their sums, a find bar, sums of the selected rows, print, delete, refresh and
// the way to the deal form. Shows Dm.QSanad and Dm.QSumHagh.

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

namespace Ui { class TFrmRepMoameleh; }
class QMenu;
class TListFrame;
struct DealCriteria;

class TFrmRepMoameleh : public QWidget {
    Q_OBJECT
public:
    explicit TFrmRepMoameleh(QWidget* parent = nullptr);
    ~TFrmRepMoameleh() override;

    // Sums of afterDiscount, VAT, Municipal and totalVAT over the selected rows, grouped.
    struct Sums {
        QString after, vat, levy, total;
    };

    DealCriteria Criteria() const;
    void SetDefaults();            // the criteria of a new showing
    void btnokClick();             // runs both statements
    void btnrefreshClick();
    void btnchangeClick();
    void btndelClick();
    void btnprintClick();
    void BitBtn1Click();           // sums of the selected rows
    void N1Click();                // column chooser
    void N2Click();                // layout reset
    void ApplyVATColumns(bool enabled);
    Sums SumSelectedDeals();

    // The deal form on the current row; set by the start-up.
    static std::function<void()> ShowDealForm;
    // Closes the program as its main window's close does; false when the user stayed.
    static std::function<bool()> CloseProgram;

    const QString& Subtitle() const { return subtitle_; }
    Ui::TFrmRepMoameleh* form() const { return ui.get(); }
    TListFrame* frame() const { return frame_; }
    QMenu* gridMenu() const { return gridMenu_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void FormShow();
    // The save question before the deals are read again; false when the user stays.
    bool savePending();
    void runQueries();
    void reopenSums();

    std::unique_ptr<Ui::TFrmRepMoameleh> ui;
    TListFrame* frame_ = nullptr;
    QMenu* gridMenu_ = nullptr;
    QString subtitle_;
    bool layoutReset_ = false;
};

extern TFrmRepMoameleh* FrmRepMoameleh;
