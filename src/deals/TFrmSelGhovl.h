#pragma once
// The contract templates of T_Ghovl by name: pick one (from the editor) or delete them
// (from the main window).

#include <QDialog>
#include <memory>

namespace Ui { class TFrmSelGhovl; }

class TFrmSelGhovl : public QDialog {
    Q_OBJECT
public:
    // manage false: the pick button shows; true: the delete button shows instead.
    TFrmSelGhovl(QWidget* owner, bool manage);
    ~TFrmSelGhovl() override;

    // Every template, oldest first.
    void FormShow();
    void BitBtn3Click();

    Ui::TFrmSelGhovl* form() const { return ui.get(); }

protected:
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    std::unique_ptr<Ui::TFrmSelGhovl> ui;
};
