#include "ui/WidgetPrompter.h"

#include "platform/report/Preview.h"
#include "ui/Tfrm_dlg.h"
#include "ui/Tfrminputbox.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QMessageBox>
#include <QUrl>

namespace {

QWidget* dialogParent() { return QApplication::activeWindow(); }

void startAt(QFileDialog& dialog, const QString& path)
{
    if (path.isEmpty() || QFileInfo(path).isDir())
        dialog.setDirectory(path);
    else
        dialog.selectFile(path);
}

QString startPath(const shell::FileRequest& r)
{
    if (r.fileName.isEmpty())
        return r.directory;
    if (r.directory.isEmpty() || QFileInfo(r.fileName).isAbsolute())
        return r.fileName;
    return QDir(r.directory).filePath(r.fileName);
}

} // namespace

int WidgetPrompter::messageDlg(const shell::MessageRequest& request)
{
    Tfrm_dlg dlg(dialogParent());
    dlg.setup(request);
    return dlg.execute();
}

std::optional<QString> WidgetPrompter::inputBox(const shell::InputRequest& request)
{
    Tfrminputbox box(dialogParent());
    box.setup(request);
    if (box.exec() != shell::ResultOk)
        return std::nullopt;
    return box.resultText();
}

int WidgetPrompter::plainMessage(const shell::PlainMessageRequest& request)
{
    QMessageBox box(dialogParent());
    box.setLayoutDirection(Qt::RightToLeft);
    box.setWindowTitle(request.caption);
    box.setText(request.text);
    using B = QMessageBox;
    switch (request.buttons) {
    case shell::PlainMessageRequest::Ok: box.setStandardButtons(B::Ok); break;
    case shell::PlainMessageRequest::YesNo: box.setStandardButtons(B::Yes | B::No); break;
    case shell::PlainMessageRequest::YesNoCancel: box.setStandardButtons(B::Yes | B::No | B::Cancel); break;
    case shell::PlainMessageRequest::OkCancel: box.setStandardButtons(B::Ok | B::Cancel); break;
    }
    box.setIcon(request.buttons == shell::PlainMessageRequest::Ok ? B::Information : B::Question);
    box.exec();
    switch (box.standardButton(box.clickedButton())) {
    case B::Ok: return shell::ResultOk;
    case B::Yes: return shell::ResultYes;
    case B::No: return shell::ResultNo;
    default: return shell::ResultCancel;
    }
}

namespace {

// The file dialog with the request's extras: the chosen filter's index and a read-only tick.
QString runFileDialog(const shell::FileRequest& request, QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(dialogParent(), request.caption, QString(), request.filter);
    PrepareFileDialog(dialog);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.overwritePrompt)
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    startAt(dialog, startPath(request));
    QCheckBox* readOnly = nullptr;
    if (request.readOnly) {
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        if (auto* grid = qobject_cast<QGridLayout*>(dialog.layout())) {
            readOnly = new QCheckBox(QStringLiteral("فقط خواندني"), &dialog);
            grid->addWidget(readOnly, grid->rowCount(), 0, 1, grid->columnCount());
        }
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    if (request.selectedFilter)
        *request.selectedFilter = int(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
    if (request.readOnly)
        *request.readOnly = readOnly && readOnly->isChecked();
    return dialog.selectedFiles().first();
}

} // namespace

QString WidgetPrompter::openFile(const shell::FileRequest& request)
{
    return runFileDialog(request, QFileDialog::AcceptOpen);
}

QString WidgetPrompter::saveFile(const shell::FileRequest& request)
{
    return runFileDialog(request, QFileDialog::AcceptSave);
}

QString WidgetPrompter::chooseDirectory(const shell::FileRequest& request)
{
    QFileDialog dialog(dialogParent(), request.caption, request.directory);
    PrepareFileDialog(dialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

std::optional<QFont> WidgetPrompter::chooseFont(const QFont& initial)
{
    bool ok = false;
    const QFont f = QFontDialog::getFont(&ok, initial, dialogParent());
    if (!ok)
        return std::nullopt;
    return f;
}

std::optional<QColor> WidgetPrompter::chooseColor(const QColor& initial)
{
    const QColor c = QColorDialog::getColor(initial, dialogParent());
    if (!c.isValid())
        return std::nullopt;
    return c;
}

bool WidgetPrompter::printSetup(QPrinter& printer) { return report::printSetupDialog(printer, dialogParent()); }

bool WidgetPrompter::preview(report::PreparedReport& report, const QString& caption)
{
    return report::showPreview(report, caption, dialogParent());
}

bool WidgetPrompter::shellOpen(const QString& pathOrUrl)
{
    QUrl url;
    if (QFileInfo::exists(pathOrUrl))
        url = QUrl::fromLocalFile(QFileInfo(pathOrUrl).absoluteFilePath());
    else
        url = QUrl::fromUserInput(pathOrUrl);
    return url.isValid() && QDesktopServices::openUrl(url);
}
