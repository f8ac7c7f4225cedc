#pragma once
// The program's message dialog: picture per kind, the message, and a chosen set of buttons.

#include <QDialog>

#include <memory>

namespace Ui { class Tfrm_dlg; }
namespace shell { struct MessageRequest; }
class QPushButton;

class Tfrm_dlg : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_dlg(QWidget* parent = nullptr);
    ~Tfrm_dlg() override;

    // Fills the dialog from the request (font sizes below 10 are raised to 10).
    void setup(const shell::MessageRequest& request);
    // Shows it modally and returns the pressed button's result; the close box gives 2.
    int execute();

    Ui::Tfrm_dlg* form() const { return ui.get(); }
    // The buttons of the set, left to right.
    QList<QPushButton*> buttons() const { return buttonList; }

protected:
    void keyPressEvent(QKeyEvent* event) override;

public slots:
    void reject() override;

private:
    void FormShow();
    void fitText();

    std::unique_ptr<Ui::Tfrm_dlg> ui;
    QList<QPushButton*> buttonList;
    bool hasCancel = false;
};
