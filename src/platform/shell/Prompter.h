#pragma once
// Every modal interaction of the program goes through the current Prompter:
// the program installs one that opens real windows, tests install a scripted one.

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;
namespace report { class PreparedReport; }

namespace shell {

class ProgressSink;
struct ProgressRequest;

// The program's own message dialog (kind, caption, text, buttons, font).
struct MessageRequest {
    int kind = 1;             // 0 error, 1 information, 2 question, other: no picture
    QString caption;
    QString text;
    int buttons = 1;          // bit set: 1 OK, 2 Cancel, 4 Yes, 8 No, 16 Retry, 32 All
    int fontSize = 10;
    QString fontName = QStringLiteral("tahoma");
    bool bold = false;
    bool italic = false;
    bool underline = false;
};

// The one-line input box.
struct InputRequest {
    QString caption;
    QString prompt;
    int maxLength = 255;
    QString initialText;
    int mode = 0;             // 0 text, 1 grouped amount, 2 number, 3 Persian date, 4 password
    QString decimalFlag;
};

// The platform's plain message box (used where the system does not use its own dialog).
struct PlainMessageRequest {
    QString caption;
    QString text;
    enum Buttons { Ok, YesNo, YesNoCancel, OkCancel } buttons = Ok;
    bool error = false;   // an error: shown with the error picture
};

struct FileRequest {
    QString caption;
    QString filter;           // Qt filter text, e.g. "Backup (*.zdc)"
    QString directory;        // where the dialog starts; see StartFolder
    QString fileName;
    bool pictures = false;    // a picture dialog: starts in the pictures folder by default
    bool overwritePrompt = true;
    int* selectedFilter = nullptr;   // when set: receives the index of the filter chosen
    bool* readOnly = nullptr;        // when set: the open dialog offers a read-only tick and reports it
};

// The user's documents folder, or the home folder when there is none.
QString DocumentsFolder();
// The user's pictures folder, or else the documents folder.
QString PicturesFolder();
// The folder a file dialog starts in: the request's folder when it is a folder of this
// machine; otherwise (none given, a folder of another system such as "c:\", or one that is
// gone) the pictures folder for a picture dialog, else the documents folder.
QString StartFolder(const FileRequest& request);
// The file a dialog offers: the request's name in StartFolder (a name with a folder that
// is gone keeps only its name).
QString StartPath(const FileRequest& request);

// Results used by the message dialogs.
enum Result { ResultOk = 1, ResultCancel = 2, ResultRetry = 4, ResultYes = 6, ResultNo = 7, ResultAll = 8 };

class Prompter {
public:
    virtual ~Prompter() = default;

    virtual int messageDlg(const MessageRequest& request) = 0;
    // Empty optional when cancelled.
    virtual std::optional<QString> inputBox(const InputRequest& request) = 0;
    // Returns one of Result.
    virtual int plainMessage(const PlainMessageRequest& request) = 0;

    // Empty string when cancelled.
    virtual QString openFile(const FileRequest& request) = 0;
    virtual QString saveFile(const FileRequest& request) = 0;
    virtual QString chooseDirectory(const FileRequest& request) = 0;
    virtual std::optional<QFont> chooseFont(const QFont& initial) = 0;
    virtual std::optional<QColor> chooseColor(const QColor& initial) = 0;

    // The printer set-up dialog (printer and copies); false when cancelled.
    virtual bool printSetup(QPrinter& printer) = 0;
    // Shows a prepared report in the preview window; true when the user printed it.
    virtual bool preview(report::PreparedReport& report, const QString& caption) = 0;

    // Shell "open" of a file, a folder or a web address; false when nothing could open it.
    virtual bool shellOpen(const QString& pathOrUrl) = 0;

    // The progress window of a long work (see Progress); none by default.
    virtual std::unique_ptr<ProgressSink> beginProgress(const ProgressRequest& request);
};

// The current prompter; never null once the program or a test has installed one.
Prompter& prompter();
// Whether one is installed (tools without windows may run with none).
bool hasPrompter();
// Installs a prompter (not owned); returns the previous one.
Prompter* setPrompter(Prompter* p);

} // namespace shell
