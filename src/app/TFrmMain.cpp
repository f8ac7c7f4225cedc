#include "app/TFrmMain.h"
#include "ui_TFrmMain.h"

#include "core/AppGlobals.h"
#include "core/ProgramFolder.h"
#include "core/ProgramIni.h"
#include "core/TPrefMng.h"
#include "core/TDBUpdate.h"
#include "core/TDm.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "ui/TTools.h"

#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPixmap>
#include <QStatusBar>
#include <QTimer>

TFrmMain* FrmMain = nullptr;

const QString TFrmMain::AppCaptionText = QStringLiteral("آژانس املاک - گروه مهندسين مشاور زانيت کلوار");

namespace {

bool isDigits(const QString& s)
{
    if (s.isEmpty())
        return false;
    for (QChar c : s)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString bgFile(const QString& number)
{
    return ProgramFolder() + QStringLiteral("bg/") + number + QStringLiteral(".jpg");
}

QString errorText(const std::exception& e)
{
    if (const auto* d = dynamic_cast<const db::DbError*>(&e))
        return d->message();
    return QString::fromUtf8(e.what());
}

int message(int kind, const QString& caption, const QString& text, int buttons, int fontSize)
{
    shell::MessageRequest r;
    r.kind = kind;
    r.caption = caption;
    r.text = text;
    r.buttons = buttons;
    r.fontSize = fontSize;
    return shell::prompter().messageDlg(r);
}

} // namespace

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::TFrmMain>())
{
    ui->setupUi(this);
    StatusPanel = new QLabel(this);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setMinimumWidth(50);
    ui->StatusBar1->addWidget(StatusPanel, 1);
    ui->Image4->setText(ui->Image4->toolTip());
    ui->Image4->installEventFilter(this);

    tmrInternetUpdate = new QTimer(this);
    tmrInternetUpdate->setObjectName(QStringLiteral("tmrInternetUpdate"));
    tmrInternetUpdate->setInterval(400000);
    tmrInternetUpdate->setSingleShot(true);

    connect(tmrInternetUpdate, &QTimer::timeout, this, &TFrmMain::tmrInternetUpdateTimer);
    connect(ui->Action1, &QAction::triggered, this, &TFrmMain::Action1Execute);
    connect(ui->mnuautopic, &QAction::triggered, this, &TFrmMain::mnuautopicExecute);
    connect(ui->SpUp, &QToolButton::clicked, this, &TFrmMain::SpUpClick);
    connect(ui->SpDown, &QToolButton::clicked, this, &TFrmMain::SpDownClick);

    FormCreate();
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::FormCreate()
{
    // numbers are always written with "." and ",", whatever the desktop's locale
    QLocale::setDefault(QLocale::c());
    IsAccess = ReadIsAccess();
    TRUEPREFIX = IsAccess ? QStringLiteral("-") : QString();
    delete Tools;
    Tools = new TTools(IsAccess);
    LoadPrintSettings();
    LoadBackgroundPicture();
}

void TFrmMain::LoadPrintSettings()
{
    PrintSettings = ::LoadPrintSettings();
}

bool TFrmMain::loadPicture(const QString& path)
{
    QPixmap pic;
    if (!pic.load(path))
        return false;
    ui->Image1->setPixmap(pic);
    return true;
}

void TFrmMain::LoadBackgroundPicture()
{
    const QString value = ReadBgPath();
    if (isDigits(value)) {
        loadPicture(bgFile(value));
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        QString next = ok ? QString::number(n + 1) : QStringLiteral("0");
        if (!QFile::exists(bgFile(next)))
            next = QStringLiteral("0");
        WriteBgPath(next);
        ui->mnuautopic->setChecked(true);
    } else {
        if (!value.isEmpty())
            loadPicture(value);
        ui->mnuautopic->setChecked(false);
    }
    ui->Panel1->update();
}

void TFrmMain::Action1Execute()
{
    shell::FileRequest r;
    r.caption = ui->Action1->text();
    r.filter = QStringLiteral("Pictures (*.jpg *.jpeg *.bmp *.png)");
    const QString path = shell::prompter().openFile(r);
    if (!path.isEmpty()) {
        loadPicture(path);
        WriteBgPath(path);
        ui->mnuautopic->setChecked(false);
    }
    LoadBackgroundPicture();
}

void TFrmMain::mnuautopicExecute()
{
    WriteBgPath(QStringLiteral("0"));
    LoadBackgroundPicture();
}

void TFrmMain::SpUpClick()
{
    ui->Panel1->hide();
    ui->SpUp->hide();
    ui->SpDown->show();
}

void TFrmMain::SpDownClick()
{
    ui->Panel1->show();
    ui->SpUp->show();
    ui->SpDown->hide();
}

bool TFrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == ui->Image4 && event->type() == QEvent::MouseButtonRelease) {
        if (ShowPictureHelp)
            ShowPictureHelp();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFrmMain::CheckDbVersionAndUpgrade()
{
    UpgradeSchemaIfOld(*Dm->Conn, IsAccess);
}

QString TFrmMain::StatusText(bool isAccess)
{
    return QStringLiteral("ويرايش: ") + QString::number(kProgramVersion, 'g', QLocale::FloatingPointShortest)
         + (isAccess ? QStringLiteral("A") : QStringLiteral("S"));
}

void TFrmMain::SetCaptionForUser(const QString& userName)
{
    QString caption = AppCaptionText + QStringLiteral(" - ") + Tools->TodayShamsi();
    if (!userName.isEmpty())
        caption += QStringLiteral("    -    ") + userName;
    setWindowTitle(caption);
}

void TFrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (shown_)
        return;
    shown_ = true;
    FormShow();
}

void TFrmMain::FormShow()
{
    setWindowState(windowState() | Qt::WindowMaximized);
    try {
        Dm->UQFree->Close();
        Dm->UQFree->setSQL(QStringLiteral("select * from TUNames"));
        Dm->UQFree->Open();
        if (Dm->UQFree->IsEmpty()) {
            // nobody to log in: every right
            SetCaptionForUser(QString());
            if (EnableAllRights)
                EnableAllRights();
        } else if (ShowLogin) {
            ShowLogin();
        }
    } catch (const std::exception& e) {
        shell::PlainMessageRequest r;
        r.caption = windowTitle();
        r.text = errorText(e);
        shell::prompter().plainMessage(r);
    }
    StatusPanel->setText(StatusText(IsAccess));
    if (TPrefMng::GetAutoShowHlp() && ShowHelp)
        ShowHelp(QStringLiteral("index"));
    tmrInternetUpdate->start();
}

void TFrmMain::tmrInternetUpdateTimer()
{
    tmrInternetUpdate->stop();
    if (StartUpdateCheck)
        StartUpdateCheck();
}

bool TFrmMain::confirmPendingEdits()
{
    if (!Dm)
        return true;
    for (db::DataSet* ds : Dm->DataSets()) {
        if (ds->State() != db::DataSetState::Edit && ds->State() != db::DataSetState::Insert)
            continue;
        const int answer = message(2, windowTitle(), QStringLiteral("آيا تغييرات ذخيره شوند؟"),
                                   4 | 8 | 2, 10);  // Yes, No, Cancel
        if (answer == shell::ResultYes) {
            try {
                Dm->PostInTransaction(*ds);
            } catch (const db::Abort&) {
                return false;
            } catch (const std::exception& e) {
                message(0, windowTitle(), QStringLiteral("خطايي در روند برنامه پيش آمد") + QLatin1Char('\n') + errorText(e),
                        1, 8);
                return false;
            }
            message(1, windowTitle(), QStringLiteral("تغييرات با موفقيت ذخيره شدند"), 1, 8);
        } else if (answer == shell::ResultNo) {
            ds->Cancel();
        } else {
            return false;
        }
    }
    return true;
}

void TFrmMain::closeEvent(QCloseEvent* event)
{
    if (!confirmPendingEdits()) {
        event->ignore();
        return;
    }
    if (Dm && Dm->Conn) {
        try {
            while (Dm->Conn->inTransaction())
                Dm->Conn->commit();
        } catch (const db::DbError& e) {
            shell::PlainMessageRequest r;
            r.caption = windowTitle();
            r.text = e.message();
            shell::prompter().plainMessage(r);
            event->ignore();
            return;
        }
    }
    event->accept();
}
