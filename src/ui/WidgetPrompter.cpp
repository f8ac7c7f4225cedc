#include "ui/WidgetPrompter.h"

#include "platform/report/Preview.h"
#include "platform/shell/Progress.h"
#include "ui/Dialogs.h"
#include "ui/Tfrm_dlg.h"
#include "ui/Tfrminputbox.h"
#include "ui/WindowLook.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <QUrl>

namespace {

QWidget* dialogParent() { return QApplication::activeWindow(); }

void startAt(QFileDialog& dialog, const QString& path)
{
    if (QFileInfo(path).isDir())
        dialog.setDirectory(path);
    else
        dialog.selectFile(path);
}

} // namespace

QString FilterSuffix(const QString& filter)
{
    // "فايل هاي اکسس (*.mdb)" gives "mdb"; "(*.*)", "(*)" and several patterns give none
    const qsizetype open = filter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = filter.lastIndexOf(QLatin1Char(')'));
    QString pattern = open >= 0 && close > open ? filter.mid(open + 1, close - open - 1).trimmed() : filter.trimmed();
    pattern = pattern.section(QLatin1Char(' '), 0, 0).section(QLatin1Char(';'), 0, 0);
    if (!pattern.startsWith(QLatin1String("*.")))
        return {};
    const QString suffix = pattern.mid(2);
    for (const QChar c : suffix)
        if (!c.isLetterOrNumber() && c != QLatin1Char('_'))
            return {};
    return suffix;
}

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
    // the title in Persian, as the rest of the box
    box.setWindowTitle(HasArabicLetters(request.caption) ? request.caption : ProgramTitle());
    box.setText(request.text);
    using B = QMessageBox;
    switch (request.buttons) {
    case shell::PlainMessageRequest::Ok: box.setStandardButtons(B::Ok); break;
    case shell::PlainMessageRequest::YesNo: box.setStandardButtons(B::Yes | B::No); break;
    case shell::PlainMessageRequest::YesNoCancel: box.setStandardButtons(B::Yes | B::No | B::Cancel); break;
    case shell::PlainMessageRequest::OkCancel: box.setStandardButtons(B::Ok | B::Cancel); break;
    }
    box.setIcon(request.error ? B::Critical
                              : request.buttons == shell::PlainMessageRequest::Ok ? B::Information : B::Question);
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
    if (mode == QFileDialog::AcceptSave) {
        // a name typed without extension gets the chosen filter's one before the dialog
        // checks it, so the overwrite question sees the file really written
        const auto useSuffix = [&dialog](int filter) {
            dialog.setDefaultSuffix(FilterSuffix(dialog.nameFilters().value(filter)));
        };
        useSuffix(0);
        if (auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
            QObject::connect(types, qOverload<int>(&QComboBox::currentIndexChanged), &dialog, useSuffix);
    }
    startAt(dialog, shell::StartPath(request));
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
    if (request.selectedFilter) {
        // the list shows the filters with direction marks: the index comes from the list itself
        auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        *request.selectedFilter = types ? types->currentIndex()
                                        : int(dialog.nameFilters().indexOf(dialog.selectedNameFilter()));
    }
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
    QFileDialog dialog(dialogParent(), request.caption, shell::StartFolder(request));
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

namespace {

// The progress window: the work's name, a bar and, while the work may stop, "انصراف".
class ProgressWindow : public QDialog {
public:
    explicit ProgressWindow(const QString& title) : QDialog(dialogParent())
    {
        setWindowTitle(title);
        setLayoutDirection(Qt::RightToLeft);
        setWindowModality(Qt::ApplicationModal);
        setWindowFlag(Qt::WindowContextHelpButtonHint, false);
        auto* box = new QVBoxLayout(this);
        auto* label = new QLabel(title, this);
        label->setWordWrap(true);
        box->addWidget(label);
        bar_ = new QProgressBar(this);
        bar_->setCursor(Qt::BusyCursor);
        box->addWidget(bar_);
        cancel_ = new QPushButton(QStringLiteral("انصراف"), this);
        cancel_->setAutoDefault(false);
        box->addWidget(cancel_, 0, Qt::AlignHCenter);
        connect(cancel_, &QPushButton::clicked, this, [this] { cancelled_ = true; });
        setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('x')) * 50);
    }
    void show(qint64 done, qint64 total, bool cancellable)
    {
        cancel_->setVisible(cancellable);
        if (total > 0) {
            // the bar counts in thousandths so that any total fits its int range
            bar_->setRange(0, 1000);
            bar_->setValue(int(std::min<qint64>(1000, done * 1000 / total)));
        } else {
            bar_->setRange(0, 0);
        }
        if (!isVisible())
            QDialog::show();
    }
    bool cancelled() const { return cancelled_; }

protected:
    void reject() override
    {
        if (cancel_->isVisible())
            cancelled_ = true;   // Escape and the close box cancel where cancelling is allowed
    }

private:
    QProgressBar* bar_;
    QPushButton* cancel_;
    bool cancelled_ = false;
};

class WindowProgress : public shell::ProgressSink {
public:
    explicit WindowProgress(const QString& title) : title_(title)
    {
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    }
    ~WindowProgress() override
    {
        if (!window_)
            QGuiApplication::restoreOverrideCursor();
    }
    bool update(qint64 done, qint64 total, bool cancellable, qint64 elapsedMs) override
    {
        if (elapsedMs < 500 && !window_)
            return true;
        if (!window_) {
            QGuiApplication::restoreOverrideCursor();
            window_ = std::make_unique<ProgressWindow>(title_);
        }
        window_->show(done, total, cancellable);
        QCoreApplication::processEvents(QEventLoop::AllEvents, 30);
        return !window_->cancelled();
    }

private:
    QString title_;
    std::unique_ptr<ProgressWindow> window_;
};

} // namespace

std::unique_ptr<shell::ProgressSink> WidgetPrompter::beginProgress(const shell::ProgressRequest& request)
{
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    return std::make_unique<WindowProgress>(request.title);
}
