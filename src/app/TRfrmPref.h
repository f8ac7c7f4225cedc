#pragma once
// The preferences window: users and their rights, print paper, report titles, fonts and the
// invoice header and footer texts.

#include <QDialog>
#include <QFont>
#include <memory>

namespace Ui { class TRfrmPref; }

class TRfrmPref : public QDialog {
    Q_OBJECT
public:
    // Runs FormCreate.
    explicit TRfrmPref(QWidget* parent = nullptr);
    ~TRfrmPref() override;

    // Loads the paper, font and text settings.
    void FormCreate();
    // Shows every user.
    void FormShow();
    // Writes the paper, font and text settings; false (after a message) when a file could
    // not be written.
    bool Save();
    // Closing: the user row being typed is saved or dropped after the question, then the
    // settings are saved; false when the user chose to stay.
    bool FormClose();

    // The fonts the three font buttons edit.
    QFont fntdlgbody;
    QFont FntDlgH1;
    QFont fntdlgfooter;

    Ui::TRfrmPref* form() const { return ui.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void reject() override;

private:
    void BitBtn3Click();
    void chooseFont(QFont& font);

    std::unique_ptr<Ui::TRfrmPref> ui;
    bool closing_ = false;
};
