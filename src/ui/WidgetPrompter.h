#pragma once
// The program's prompter: every modal question opens a real window.

#include "platform/shell/Prompter.h"

// The extension a save dialog gives a name typed without one under this filter: "mdb" for
// "فايل هاي اکسس (*.mdb)"; none for "(*.*)" or a filter without a single extension.
QString FilterSuffix(const QString& filter);

class WidgetPrompter : public shell::Prompter {
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
    std::unique_ptr<shell::ProgressSink> beginProgress(const shell::ProgressRequest& request) override;
};
