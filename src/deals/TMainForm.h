#pragma once
// The contract editor: contract templates (T_Ghovl) and the contract text of a deal
// (T_Sanad.ghovLnameh), rich text with fonts, alignment, indents and bullets.

#include <QMainWindow>
#include <memory>

class QComboBox;
class QEventLoop;
class QLabel;
class QSpinBox;
class QTextCharFormat;
class QTextEdit;
namespace Ui { class TMainForm; }

class TMainForm : public QMainWindow {
    Q_OBJECT
public:
    explicit TMainForm(QWidget* parent = nullptr);
    ~TMainForm() override;

    static const QString UntitledName;
    static const QString UntitledCaption;   // what the user sees for it

    QString DocName;
    int TemplateId = -1;
    bool DealMode = false;
    bool DealSaved = false;
    bool Updating = false;
    // The program's first command-line argument; loaded on the first showing when it names a file.
    QString CommandLineFile;

    QTextEdit* Editor() const;
    Ui::TMainForm* form() const { return ui.get(); }
    QComboBox* FontName = nullptr;
    QSpinBox* FontSize = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QSpinBox* Edit1 = nullptr;
    QLabel* StatusPanels[3] = {};

    // The editor's whole content as stored in the database and in files (RTF).
    QString EditorContent() const;
    // Stored content (RTF or plain text), the bytes as the file or column holds them, into the
    // editor. False, with the editor as it was, when the text is too large (after a message)
    // or its reading was cancelled.
    // Parts of the text it cannot hold (notes, headers, other pictures) are told of once.
    bool SetEditorContent(const QByteArray& content);
    // The richtext::Dropped parts the text last set held and the editor left out; saving it
    // leaves them out of the stored text.
    unsigned DroppedParts = 0;
    // The message telling which parts would not be kept.
    static QString DroppedPartsMessage(unsigned dropped);

    void SetEditorDocName(const QString& name);
    // The save question when the text is modified; false when the asking operation must stop
    // (Cancel, or a save that did not succeed).
    bool ConfirmSaveChanges();
    void FileNew();
    void FileOpen();
    bool LoadEditorFile(const QString& path);
    bool FileSave();
    bool FileSaveAs();
    bool ToolButton3Click();     // pick a template; true when one was picked
    bool N7Click();              // save to a file
    bool ToolButton7Click();     // save into the deal
    void ToolButton8Click();     // print the deal's contract
    void FilePrint();
    void FilesDropped(const QStringList& paths);

    // The main window's template entries and the deal form's entry.
    void PrepareTemplateMode();
    void PrepareDealMode();
    // Shows the window modally and returns when it is closed.
    void ShowModal();

    // A file name given in the save dialog with the extension its filter asks for.
    static QString FileNameWithExtension(const QString& name, int filterIndex);
    // "خط: %3d   ستون: %3d" of a caret position (both from 1).
    static QString CaretText(int line, int column);
    // The caret's line and column (both from 1).
    QPoint CaretPos() const;

    // Formatting: on the selection, or on the text typed next.
    void SetBold(bool on);
    void SetItalic(bool on);
    void SetUnderline(bool on);
    void SetFontName(const QString& family);
    void SetFontSize(int points);
    void SetAlignment(int tag);  // 0 left, 1 right, 2 centre
    void SetBullets(bool on);
    void EditFont();
    void SelectionChange();

    // The ruler's markers from the current paragraph, and a marker dropped at x.
    void UpdateRuler();
    void DropMarker(QWidget* marker, int x);

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormShow();
    void bindActions();
    void buildFontBoxes();
    void mergeFormat(const QTextCharFormat& format);
    bool writeFile(const QString& path);
    void showStatus();
    void showLeaders();
    QString questionName() const;

    std::unique_ptr<Ui::TMainForm> ui;
    QEventLoop* modalLoop = nullptr;
    bool shownOnce = false;
    int dragOffset = 0;
    bool leadersDue = false;    // the tabs' leaders are shown again once the change is laid out
};

extern TMainForm* MainForm;
