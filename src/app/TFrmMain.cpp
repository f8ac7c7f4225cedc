#include "app/TFrmMain.h"
#include "ui_TFrmMain.h"

#include "app/StartUp.h"
#include "app/TRFrmUsers.h"
#include "core/AppGlobals.h"
#include "core/ProgramFolder.h"
#include "core/ProgramIni.h"
#include "core/TPrefMng.h"
#include "core/TDBUpdate.h"
#include "core/TDm.h"
#include "forms/FormShared.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/FormShow.h"
#include "ui/Dialogs.h"
#include "ui/TTools.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStatusBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>

TFrmMain* FrmMain = nullptr;

const QString TFrmMain::AppCaptionText = ProgramTitle();

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

// A side-panel button follows its action's enabled state and triggers it; its caption
// may differ from the action's.
void bindButton(QToolButton* button, QAction* action, const QString& caption = {})
{
    button->setText(caption.isEmpty() ? action->text() : caption);
    button->setEnabled(action->isEnabled());
    QObject::connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
}

// The picture that opens the picture help: a photograph with a question mark over it and the
// caption under it.
QPixmap pictureHelpImage(const QString& caption, const QFont& font)
{
    QPixmap pm(180, 64);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF photo(66, 2, 48, 36);
    p.setPen(QPen(QColor(60, 90, 140), 2));
    p.setBrush(QColor(215, 232, 250));
    p.drawRoundedRect(photo, 4, 4);
    p.setBrush(QColor(90, 150, 90));
    p.drawPolygon(QPolygonF({{70, 34}, {84, 16}, {94, 27}, {101, 20}, {110, 34}}));
    p.setBrush(QColor(240, 190, 40));
    p.drawEllipse(QPointF(102, 11), 4, 4);
    p.setBrush(QColor(200, 60, 50));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(112, 34), 9, 9);
    p.setPen(Qt::white);
    QFont mark = font;
    mark.setBold(true);
    mark.setPixelSize(13);
    p.setFont(mark);
    p.drawText(QRectF(103, 25, 18, 18), Qt::AlignCenter, QStringLiteral("?"));
    p.setPen(QColor(40, 40, 40));
    p.setFont(font);
    p.setLayoutDirection(Qt::RightToLeft);
    p.drawText(QRectF(0, 42, 180, 22), Qt::AlignCenter, caption);
    return pm;
}

} // namespace

TFrmMain::TFrmMain(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::TFrmMain>())
{
    ui->setupUi(this);
    // the main window opens once a run: the login runs at its first showing only
    widgets::OnFormShow(this, [this] {
        if (!shown_) {
            shown_ = true;
            FormShow();
        }
    });
    StatusPanel = new QLabel(this);
    StatusPanel->setObjectName(QStringLiteral("StatusPanel"));
    StatusPanel->setMinimumWidth(50);
    ui->StatusBar1->addWidget(StatusPanel, 1);
    ui->Image4->setPixmap(pictureHelpImage(ui->Image4->toolTip(), ui->Image4->font()));
    ui->Image4->installEventFilter(this);

    tmrInternetUpdate = new QTimer(this);
    tmrInternetUpdate->setObjectName(QStringLiteral("tmrInternetUpdate"));
    tmrInternetUpdate->setInterval(400000);
    tmrInternetUpdate->setSingleShot(true);

    connect(tmrInternetUpdate, &QTimer::timeout, this, &TFrmMain::tmrInternetUpdateTimer);
    connect(ui->SpUp, &QToolButton::clicked, this, &TFrmMain::SpUpClick);
    connect(ui->SpDown, &QToolButton::clicked, this, &TFrmMain::SpDownClick);
    bindActions();

    FormCreate();
}

TFrmMain::~TFrmMain() = default;

void TFrmMain::bindActions()
{
    Ui::TFrmMain& f = *ui;
    // actions whose windows are provided elsewhere
    for (QAction* a : {f.ActSave, f.ActLoad, f.ActNewMelk, f.ActLstMelk, f.ActNiyaz, f.ActLstNiyaz, f.ActMoameleh,
                       f.ActLstMoameleh, f.ActNewRegion, f.ActLstRegion, f.ActRep, f.ActExSanad, f.ActLstExSanad,
                       f.ActCheck, f.ActLstCheck, f.ActTel, f.ActNewGhovl, f.ActopenGhovl, f.ActLstGhovl, f.Action7,
                       f.ActAbout})
        connect(a, &QAction::triggered, this, [this, a] { open(a); });
    connect(f.ActUser, &QAction::triggered, this, &TFrmMain::ActUserExecute);
    connect(f.ActExit, &QAction::triggered, this, &QWidget::close);
    connect(f.ActPref, &QAction::triggered, this, &TFrmMain::ActPrefExecute);
    connect(f.actTTMS, &QAction::triggered, this, &TFrmMain::actTTMSExecute);
    connect(f.Action1, &QAction::triggered, this, &TFrmMain::Action1Execute);
    connect(f.mnuautopic, &QAction::triggered, this, &TFrmMain::mnuautopicExecute);
    connect(f.Action2, &QAction::triggered, this, &TFrmMain::Action2Execute);
    connect(f.Action5, &QAction::triggered, this, &TFrmMain::Action5Execute);
    connect(f.Action6, &QAction::triggered, this, &TFrmMain::Action6Execute);

    bindButton(f.SbNewRegion, f.ActNewRegion);
    bindButton(f.SbNewMelk, f.ActNewMelk);
    bindButton(f.SbLstMelk, f.ActLstMelk, QStringLiteral("ليست املاک "));
    bindButton(f.SbExSanad, f.ActExSanad);
    bindButton(f.SbCheck, f.ActCheck);
    bindButton(f.SbMoameleh, f.ActMoameleh);
    bindButton(f.SbTel, f.ActTel);
    bindButton(f.SbExit, f.ActExit, QStringLiteral("خروج      "));
}

const std::vector<TFrmMain::TRight>& TFrmMain::Rights()
{
    static const std::vector<TRight> rights = {
        {"Sve", {"ActSave"}},
        {"lod", {"ActLoad"}},
        {"AMoojod", {"ActNewMelk", "ActLstMelk"}},
        {"ADarkhasti", {"ActNiyaz", "ActLstNiyaz"}},
        {"Moameleh", {"ActMoameleh", "ActLstMoameleh"}},
        {"Manategh", {"ActNewRegion", "ActLstRegion"}},
        {"Reps", {"ActRep"}},
        {"Hazineh", {"ActExSanad", "ActLstExSanad"}},
        {"Dcheck", {"ActCheck", "ActLstCheck"}},
        {"Tels", {"ActTel"}},
        {"pref", {"ActPref"}},
        {"GhForms", {"ActNewGhovl", "ActopenGhovl", "ActLstGhovl"}},
    };
    return rights;
}

void TFrmMain::ApplyUserRights(const db::DataSet& users)
{
    const auto right = [&](const char* column) {
        const db::Field* f = users.FindField(QString::fromLatin1(column));
        return f && f->AsBoolean();
    };
    for (const TRight& r : Rights())
        for (const char* name : r.actions)
            if (auto* a = findChild<QAction*>(QString::fromLatin1(name)))
                a->setEnabled(right(r.column));
    UserCanChange = right("Dels");
}

void TFrmMain::EnableAllRights()
{
    for (const TRight& r : Rights())
        for (const char* name : r.actions)
            if (auto* a = findChild<QAction*>(QString::fromLatin1(name)))
                a->setEnabled(true);
    UserCanChange = true;
}

void TFrmMain::SetOpener(QAction* action, std::function<void()> open)
{
    openers_.insert(action, std::move(open));
}

bool TFrmMain::open(QAction* action)
{
    const auto it = openers_.constFind(action);
    if (it == openers_.constEnd() || !*it)
        return false;
    (*it)();
    return true;
}

void TFrmMain::ActUserExecute()
{
    delete RFrmUsers;
    RFrmUsers = new TRFrmUsers(this);
    RFrmUsers->exec();
}

void TFrmMain::ActPrefExecute()
{
    if (!open(ui->ActPref))
        return;
    LoadPrintSettings();
    LoadBackgroundPicture();
}

void TFrmMain::actTTMSExecute()
{
    if (!TPrefMng::GetVATEnabled()) {
        ShowMessageDlg(dkInfo, QString(),
                       QStringLiteral("لطفا از طريق گزينه \"تنظيمات ماليات ارزش افزوده\" امکانات ماليات ارزش افزوده را فعال نماييد."),
                       dbOk, 8, QStringLiteral("tahoma"), 0);
        return;
    }
    open(ui->actTTMS);
}

void TFrmMain::Action2Execute()
{
    if (Dm && Dm->Conn)
        RunSchemaUpgrade(*Dm->Conn, IsAccess);
}

void TFrmMain::Action5Execute()
{
    if (ShowHelp)
        ShowHelp(QStringLiteral("index"));
}

void TFrmMain::Action6Execute()
{
    shell::prompter().shellOpen(ProgramFolder() + QStringLiteral("help/index.htm"));
}

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
    r.pictures = true;
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

void TFrmMain::FormShow()
{
    setWindowState(windowState() | Qt::WindowMaximized);
    try {
        Dm->UQFree->Close();
        Dm->UQFree->setSQL(QStringLiteral("select * from TUNames"));
        Dm->UQFree->Open();
    } catch (const std::exception& e) {
        // without the users nobody can be given rights: the program ends
        shell::PlainMessageRequest r;
        r.caption = windowTitle();
        r.text = errorText(e);
        r.error = true;
        shell::prompter().plainMessage(r);
        TerminateApplication();
        return;
    }
    if (Dm->UQFree->IsEmpty()) {
        // nobody to log in: every right
        CurrentUserName.clear();
        SetCaptionForUser(QString());
        EnableAllRights();
    } else if (ShowLogin) {
        ShowLogin();
    }
    if (TerminateRequested())
        return;
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
    for (db::DataSet* ds : Dm->DataSets())
        if (!AskSavePending(ds, windowTitle(), true))
            return false;
    return true;
}

bool TFrmMain::closeOtherWindows()
{
    // a modal window that ends the program (the login window) closes itself afterwards
    const QWidget* modal = QApplication::activeModalWidget();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == this || w == modal || !w->isVisible())
            continue;
        if (!w->close())
            return false;
    }
    return true;
}

void TFrmMain::closeEvent(QCloseEvent* event)
{
    // the open windows' save questions first, then the records still being edited
    if (!closeOtherWindows() || !confirmPendingEdits()) {
        event->ignore();
        return;
    }
    if (Dm && Dm->Conn) {
        try {
            while (Dm->Conn->inTransaction())
                Dm->Conn->commit();
        } catch (const db::DbError& e) {
            const QString text = db::textToShow(e);
            if (!text.isEmpty()) {
                shell::PlainMessageRequest r;
                r.caption = windowTitle();
                r.text = text;
                r.error = true;
                shell::prompter().plainMessage(r);
            }
            event->ignore();
            return;
        }
    }
    event->accept();
    // the program ends with the main window, whatever else is left (also from inside the
    // login window's own loop)
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}
