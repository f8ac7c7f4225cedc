#include "app/TfrmHelp.h"
#include "ui_TfrmHelp.h"

#include "core/ProgramFolder.h"
#include "core/TPrefMng.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/FormShow.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>

TfrmHelp* frmHelp = nullptr;

TfrmHelp::TfrmHelp(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TfrmHelp>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    ui->WebBrowser1->setSearchPaths({ProgramFolder() + QStringLiteral("help")});
    connect(ui->WebBrowser1, &QTextBrowser::anchorClicked, this, &TfrmHelp::linkClicked);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmHelp::~TfrmHelp()
{
    if (frmHelp == this)
        frmHelp = nullptr;
}

QString TfrmHelp::PageFile(const QString& page)
{
    return ProgramFolder() + QStringLiteral("help/") + page + QStringLiteral(".htm");
}

void TfrmHelp::linkClicked(const QUrl& url)
{
    // pages of the help folder open here, anything else in the user's browser
    if (url.isRelative() || url.isLocalFile()) {
        const QUrl target = ui->WebBrowser1->source().resolved(url);
        if (QFileInfo::exists(target.toLocalFile())) {
            ui->WebBrowser1->setSource(target);
            return;
        }
    }
    shell::prompter().shellOpen(url.toString());
}

void TfrmHelp::FormShow()
{
    ui->CheckBox1->setChecked(TPrefMng::GetAutoShowHlp());
}

void TfrmHelp::closeEvent(QCloseEvent* event)
{
    FormClose();
    QWidget::closeEvent(event);
}

void TfrmHelp::FormClose()
{
    TPrefMng::SetAutoShowHlp(ui->CheckBox1->isChecked());
}

void ShowHelpPage(TfrmHelp* help, const QString& page)
{
    if (!help)
        return;
    QTextBrowser* browser = help->form()->WebBrowser1;
    const QString file = TfrmHelp::PageFile(page);
    if (QFileInfo::exists(file))
        browser->setSource(QUrl::fromLocalFile(file));
    else
        browser->setHtml(QStringLiteral("<html dir=\"rtl\"><body><p>صفحه آموزش پيدا نشد:</p><p dir=\"ltr\">%1</p></body></html>")
                             .arg(file.toHtmlEscaped()));
    help->showNormal();
    help->raise();
    help->activateWindow();
}
