#pragma once
// The region list: find bar, sort, print, delete with the in-use check, and the region form
// for the current region.

#include <QDialog>
#include <memory>

namespace Ui { class TfrmlstMn; }
class TListFrame;

class TfrmlstMn : public QDialog {
    Q_OBJECT
public:
    explicit TfrmlstMn(QWidget* parent = nullptr);
    ~TfrmlstMn() override;

    void btnrefreshClick();
    void btnchangeClick();
    void btndelClick();
    void btnprintClick();

    Ui::TfrmlstMn* form() const { return ui.get(); }
    TListFrame* frame() const { return frame_; }

protected:
    void done(int result) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    void FormShow();
    std::unique_ptr<Ui::TfrmlstMn> ui;
    TListFrame* frame_ = nullptr;
};
