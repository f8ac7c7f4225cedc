#pragma once
// The main window: start-up state, background picture, side panel, status text, close.

#include <QHash>
#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QTimer;
namespace db { class Connection; class DataSet; }
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

    // One right of the users table and the actions it enables.
    struct TRight {
        const char* column;
        std::vector<const char*> actions;
    };
    static const std::vector<TRight>& Rights();
    // Enables the actions of each right by the current row of the users query; UserCanChange := Dels.
    void ApplyUserRights(const db::DataSet& users);
    // No user defined: every right.
    void EnableAllRights();

    // The window an action opens when that window is provided elsewhere (the registry and
    // deal windows, backup, preferences, VAT, the tax report, the about window). An action
    // without an opener does nothing.
    void SetOpener(QAction* action, std::function<void()> open);
    bool HasOpener(QAction* action) const { return openers_.contains(action); }

    // Pieces that other windows provide; each stays empty until its window exists.
    std::function<void()> ShowLogin;                             // the login window, modal
    std::function<void(const QString&)> ShowHelp;                // the help window on a page
    std::function<void()> ShowPictureHelp;                       // the picture-help chooser
    std::function<void()> StartUpdateCheck;                      // the update check

    QTimer* tmrInternetUpdate = nullptr;
    QLabel* StatusPanel = nullptr;
    Ui::TFrmMain* form() const { return ui.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void bindActions();
    bool open(QAction* action);
    void ActUserExecute();
    void ActPrefExecute();
    void actTTMSExecute();
    void Action2Execute();
    void Action5Execute();
    void Action6Execute();
    void Action1Execute();
    void mnuautopicExecute();
    void SpUpClick();
    void SpDownClick();
    void tmrInternetUpdateTimer();
    bool loadPicture(const QString& path);
    // Asks the save question for every record being edited; false when the close must stop.
    bool confirmPendingEdits();
    // Closes every other open window (each asks its own save question); false when one stays.
    bool closeOtherWindows();

    std::unique_ptr<Ui::TFrmMain> ui;
    QHash<QAction*, std::function<void()>> openers_;
    bool shown_ = false;
};

extern TFrmMain* FrmMain;
