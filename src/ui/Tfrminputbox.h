#pragma once
// The one-line input box: free text, grouped amount, number, Persian date or password.

#include <QDialog>

#include <memory>

namespace Ui { class Tfrminputbox; }
namespace shell { struct InputRequest; }

class Tfrminputbox : public QDialog {
    Q_OBJECT
public:
    explicit Tfrminputbox(QWidget* parent = nullptr);
    ~Tfrminputbox() override;

    void setup(const shell::InputRequest& request);
    // The answer once closed with OK: in the number modes "0" for a zero value.
    QString resultText() const;

    Ui::Tfrminputbox* form() const { return ui.get(); }

public slots:
    // Cancel, Escape and the close box answer 2.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void textChanged();
    void okClicked();

    std::unique_ptr<Ui::Tfrminputbox> ui;
    int mode = 0;
    int maxLength = 255;
    QString decimalFlag;
};
