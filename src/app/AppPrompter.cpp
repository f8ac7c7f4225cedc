#include "app/AppPrompter.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QUrl>

namespace {

int ask(QMessageBox::Icon icon, const QString& caption, const QString& text, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, caption, text, buttons, QApplication::activeWindow());
    box.setLayoutDirection(Qt::RightToLeft);
    switch (box.exec()) {
    case QMessageBox::Ok: return shell::ResultOk;
    case QMessageBox::Yes: return shell::ResultYes;
    case QMessageBox::No: return shell::ResultNo;
    case QMessageBox::Retry: return shell::ResultRetry;
    case QMessageBox::YesToAll: return shell::ResultAll;
    default: return shell::ResultCancel;
    }
}

} // namespace

int AppPrompter::messageDlg(const shell::MessageRequest& r)
{
    static const QMessageBox::Icon icons[] = {QMessageBox::Critical, QMessageBox::Information, QMessageBox::Question};
    QMessageBox::StandardButtons b;
    if (r.buttons & 1) b |= QMessageBox::Ok;
    if (r.buttons & 2) b |= QMessageBox::Cancel;
    if (r.buttons & 4) b |= QMessageBox::Yes;
    if (r.buttons & 8) b |= QMessageBox::No;
    if (r.buttons & 16) b |= QMessageBox::Retry;
    if (r.buttons & 32) b |= QMessageBox::YesToAll;
    return ask(r.kind >= 0 && r.kind <= 2 ? icons[r.kind] : QMessageBox::NoIcon, r.caption, r.text, b);
}

std::optional<QString> AppPrompter::inputBox(const shell::InputRequest& r)
{
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), r.caption, r.prompt,
                                               r.mode == 4 ? QLineEdit::Password : QLineEdit::Normal, r.initialText, &ok);
    return ok ? std::optional<QString>(text) : std::nullopt;
}

int AppPrompter::plainMessage(const shell::PlainMessageRequest& r)
{
    static const QMessageBox::StandardButtons sets[] = {
        QMessageBox::Ok, QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
        QMessageBox::Ok | QMessageBox::Cancel};
    return ask(r.buttons == shell::PlainMessageRequest::Ok ? QMessageBox::Warning : QMessageBox::Question, r.caption,
               r.text, sets[r.buttons]);
}

QString AppPrompter::openFile(const shell::FileRequest& r)
{
    return QFileDialog::getOpenFileName(QApplication::activeWindow(), r.caption,
                                        QFileInfo(r.directory, r.fileName).filePath(), r.filter);
}

QString AppPrompter::saveFile(const shell::FileRequest& r)
{
    return QFileDialog::getSaveFileName(QApplication::activeWindow(), r.caption,
                                        QFileInfo(r.directory, r.fileName).filePath(), r.filter, nullptr,
                                        r.overwritePrompt ? QFileDialog::Options() : QFileDialog::DontConfirmOverwrite);
}

QString AppPrompter::chooseDirectory(const shell::FileRequest& r)
{
    return QFileDialog::getExistingDirectory(QApplication::activeWindow(), r.caption, r.directory);
}

std::optional<QFont> AppPrompter::chooseFont(const QFont&) { return std::nullopt; }
std::optional<QColor> AppPrompter::chooseColor(const QColor&) { return std::nullopt; }
bool AppPrompter::printSetup(QPrinter&) { return false; }
bool AppPrompter::preview(report::PreparedReport&, const QString&) { return false; }

bool AppPrompter::shellOpen(const QString& pathOrUrl)
{
    const QUrl url = QUrl::fromUserInput(pathOrUrl);
    return QDesktopServices::openUrl(url);
}
