#pragma once
// The login window: every user of the users database as a picture and a name; a click on a
// name (or the enter button) logs that user in, after the password when there is one.

#include <QDialog>
#include <memory>
#include <vector>

class QLabel;
class QTimer;
namespace Ui { class TRFrmUsers; }

class TRFrmUsers : public QDialog {
    Q_OBJECT
public:
    explicit TRFrmUsers(QWidget* parent = nullptr);
    ~TRFrmUsers() override;

    // Fills the list of users (runs when the window is shown).
    void FormShow();
    // The close decision for the current user: true when the window may close (logged in,
    // or nobody to log in); false while it stays open (password asked or wrong).
    bool FormClose();

    bool PasswordMode() const { return passMode_; }
    QLabel* CurrentLabel() const { return curLabel_; }
    QLabel* CurrentPicture() const { return curPicture_; }
    // The name labels, in the users' order.
    std::vector<QLabel*> NameLabels() const;
    QTimer* tmrlbl = nullptr;
    Ui::TRFrmUsers* form() const { return ui.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void tryClose();
    // BtnCan and a chosen user deleted meanwhile: the program ends as when the main window closes.
    void EndProgram();
    void nameEntered(QLabel* label);
    void nameLeft();
    void tmrlblTimer();
    void ShowPasswordMode();
    void ShowListMode();
    void clearUsers();
    void setNameColour(QLabel* label);

    std::unique_ptr<Ui::TRFrmUsers> ui;
    struct User {
        QLabel* picture;
        QLabel* name;
    };
    std::vector<User> users_;
    QLabel* curLabel_ = nullptr;
    QLabel* curPicture_ = nullptr;
    int red_ = 210;
    int green_ = 210;
    bool passMode_ = false;
    bool closing_ = false;
};

// The current login window; null once a login has freed it.
extern TRFrmUsers* RFrmUsers;
