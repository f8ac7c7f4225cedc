#pragma once
// The program's prompter until the shared message dialogs are in place: plain Qt
// message boxes and file dialogs; the other requests are answered as cancelled.

#include "platform/shell/Prompter.h"

class AppPrompter : public shell::Prompter {
public:
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
};
