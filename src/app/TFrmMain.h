#pragma once
// The main window: start-up state, background picture, side panel, status text, close.

#include <QMainWindow>
#include <functional>
#include <memory>

class QLabel;
class QTimer;
namespace db { class Connection; }
namespace Ui { class TFrmMain; }

class TFrmMain : public QMainWindow {
    Q_OBJECT
public:
    // Runs FormCreate.
    explicit TFrmMain(QWidget* parent = nullptr);
    ~TFrmMain() override;

    static const QString AppCaptionText;

    void FormCreate();
    void FormShow();
    void LoadPrintSettings();
    void LoadBackgroundPicture();
    // Runs the schema upgrade when the stored schema version is older than the program's.
    void CheckDbVersionAndUpgrade();

    // "ويرايش: " + version + "A" (file database) or "S" (server database).
    static QString StatusText(bool isAccess);
    // The caption after login: AppCaptionText, today's date and the user's name when there is one.
    void SetCaptionForUser(const QString& userName);

    // Pieces that other windows provide; each stays empty until its window exists.
    std::function<void()> ShowLogin;                             // the login window, modal
    std::function<void()> EnableAllRights;                       // no users: every action enabled
    std::function<void(const QString&)> ShowHelp;                // the help window on a page
    std::function<void()> ShowPictureHelp;                       // the picture-help chooser
    std::function<void()> StartUpdateCheck;                      // the update check

    QTimer* tmrInternetUpdate = nullptr;
    QLabel* StatusPanel = nullptr;
    Ui::TFrmMain* form() const { return ui.get(); }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Action1Execute();
    void mnuautopicExecute();
    void SpUpClick();
    void SpDownClick();
    void tmrInternetUpdateTimer();
    bool loadPicture(const QString& path);
    // Asks the save question for every record being edited; false when the close must stop.
    bool confirmPendingEdits();

    std::unique_ptr<Ui::TFrmMain> ui;
    bool shown_ = false;
};

extern TFrmMain* FrmMain;
