#pragma once
// A prompter for tests: records every modal call and answers from a script.

#include "platform/shell/Prompter.h"

#include <QList>
#include <QString>
#include <deque>
#include <functional>
#include <optional>

namespace testing_support {

struct PromptCall {
    QString what;      // "messageDlg", "inputBox", "plainMessage", "openFile", "saveFile", ...
    QString caption;
    QString text;
    int kind = -1;
    int buttons = 0;
    int fontSize = 0;
    QString directory; // a file dialog's start folder (shell::StartFolder)
};

class ScriptedPrompter : public shell::Prompter {
public:
    ScriptedPrompter();
    ~ScriptedPrompter() override;

    // Answers are consumed in order; with none left, dialogs answer their first button
    // (OK or Yes), input boxes and file dialogs are cancelled.
    void answer(int result) { results.push_back(result); }
    void answerInput(std::optional<QString> text) { inputs.push_back(std::move(text)); }
    void answerFile(QString path) { files.push_back(std::move(path)); }
    // The next file dialog is confirmed with the folder and name it offers (shell::StartPath).
    void acceptOfferedFile() { files.push_back(kOffered); }
    // The filter index and read-only tick the next file dialog reports (0 and false by default).
    void answerFileOptions(int filterIndex, bool readOnly) { fileOptions.push_back({filterIndex, readOnly}); }
    void answerPrinted(bool printed) { printedAnswers.push_back(printed); }
    // The font dialog's answers; with none left it is cancelled.
    void answerFont(QFont font) { fonts.push_back(std::move(font)); }

    // The names of the long works started (outermost ones); with cancelWork set, the first
    // report of a cancellable work asks to cancel it. progressUpdates counts the reports.
    QStringList progressTitles;
    bool cancelWork = false;
    int progressUpdates = 0;
    // Called at each report of a long work.
    std::function<void()> onProgress;

    // Called as each message is shown, as a modal box would take the focus meanwhile.
    std::function<void()> onMessage;

    // Called with each prepared report shown in the preview.
    std::function<void(report::PreparedReport&)> onPreview;

    QList<PromptCall> calls;
    int previewCount = 0;
    QStringList opened;

    int messageDlg(const shell::MessageRequest& request) override;
    std::optional<QString> inputBox(const shell::InputRequest& request) override;
    int plainMessage(const shell::PlainMessageRequest& request) override;
    QString openFile(const shell::FileRequest& request) override;
    QString saveFile(const shell::FileRequest& request) override;
    QString chooseDirectory(const shell::FileRequest& request) override;
    std::optional<QFont> chooseFont(const QFont& initial) override;
    std::optional<QColor> chooseColor(const QColor& initial) override;
    bool printSetup(QPrinter& printer) override;
    bool preview(report::PreparedReport& report, const QString& caption) override;
    bool shellOpen(const QString& pathOrUrl) override;
    std::unique_ptr<shell::ProgressSink> beginProgress(const shell::ProgressRequest& request) override;

    // Texts of all message calls, in order.
    QStringList messages() const;

private:
    static inline const QString kOffered = QStringLiteral("\x01offered");
    QString takeFile(const shell::FileRequest& r);
    std::deque<int> results;
    std::deque<std::optional<QString>> inputs;
    std::deque<QString> files;
    std::deque<std::pair<int, bool>> fileOptions;
    void takeFileOptions(const shell::FileRequest& r);
    std::deque<bool> printedAnswers;
    std::deque<QFont> fonts;
    shell::Prompter* previous = nullptr;
};

} // namespace testing_support
