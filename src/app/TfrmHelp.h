#pragma once
// The help window: the program's local help pages, and whether it opens at start.

#include <QWidget>
#include <memory>

class QUrl;
namespace Ui { class TfrmHelp; }

class TfrmHelp : public QWidget {
    Q_OBJECT
public:
    explicit TfrmHelp(QWidget* parent = nullptr);
    ~TfrmHelp() override;

    // The check box mirrors AutoShowHlp.
    void FormShow();
    // Stores the check box as AutoShowHlp.
    void FormClose();

    // The file of a help page: program folder + "help/" + page + ".htm".
    static QString PageFile(const QString& page);

    Ui::TfrmHelp* form() const { return ui.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void linkClicked(const QUrl& url);

    std::unique_ptr<Ui::TfrmHelp> ui;
};

// Navigates the help window to a page, shows it and brings it to the front.
void ShowHelpPage(TfrmHelp* help, const QString& page);

extern TfrmHelp* frmHelp;
