#include "app/TRFrmUsers.h"
#include "ui_TRFrmUsers.h"

#include "app/StartUp.h"
#include "app/TFrmMain.h"
#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/FormShow.h"
#include "ui/Dialogs.h"
#include "ui/TTools.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

TRFrmUsers* RFrmUsers = nullptr;

namespace {

constexpr int kPictureLeft = 400;
constexpr int kNameRight = 390;
constexpr int kRowHeight = 58;

// A user without a picture: the first letter of the name in a circle.
QPixmap defaultPicture(const QString& name)
{
    QPixmap pic(48, 48);
    pic.fill(Qt::transparent);
    QPainter p(&pic);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(180, 180, 235));
    p.setPen(Qt::NoPen);
    p.drawEllipse(1, 1, 46, 46);
    QFont font = p.font();
    font.setPixelSize(24);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(pic.rect(), Qt::AlignCenter, name.left(1));
    return pic;
}

} // namespace

TRFrmUsers::TRFrmUsers(QWidget* parent) : QDialog(parent), ui(std::make_unique<Ui::TRFrmUsers>())
{
    ui->setupUi(this);
    widgets::OnFormShow(this, [this] { FormShow(); });
    // no title-bar buttons; a fixed size, so that no window manager offers to maximise it
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(size());
    tmrlbl = new QTimer(this);
    tmrlbl->setObjectName(QStringLiteral("tmrlbl"));
    tmrlbl->setInterval(50);
    connect(tmrlbl, &QTimer::timeout, this, &TRFrmUsers::tmrlblTimer);
    connect(ui->BtnOk, &QPushButton::clicked, this, &TRFrmUsers::tryClose);
    connect(ui->btnokpass, &QPushButton::clicked, this, &TRFrmUsers::tryClose);
    connect(ui->BtnCan, &QPushButton::clicked, this, &TRFrmUsers::EndProgram);
    connect(ui->btncanpass, &QPushButton::clicked, this, &TRFrmUsers::ShowListMode);
    // Enter in the password box presses the default button: one press, one decision
}

TRFrmUsers::~TRFrmUsers()
{
    if (RFrmUsers == this)
        RFrmUsers = nullptr;
}

std::vector<QLabel*> TRFrmUsers::NameLabels() const
{
    std::vector<QLabel*> out;
    for (const User& u : users_)
        out.push_back(u.name);
    return out;
}

void TRFrmUsers::clearUsers()
{
    for (const User& u : users_) {
        delete u.picture;
        delete u.name;
    }
    users_.clear();
}

void TRFrmUsers::setNameColour(QLabel* label)
{
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, QColor(red_, green_, 255));
    label->setPalette(pal);
}

void TRFrmUsers::FormShow()
{
    red_ = 210;
    green_ = 210;
    curLabel_ = nullptr;
    curPicture_ = nullptr;
    passMode_ = false;
    int y = 20;
    setWindowTitle(TFrmMain::AppCaptionText + QStringLiteral(" - ") + Tools->TodayShamsi());

    clearUsers();
    QWidget* box = ui->ScrollBox1Contents;
    db::DataSet& uq = *Dm->UQ;
    uq.Close();
    uq.setSQL(QStringLiteral("select * from TUNames"));
    uq.DisableControls();
    try {
        uq.Open();
        for (uq.First(); !uq.Eof(); uq.Next()) {
            const int uid = uq.FieldByName(QStringLiteral("UID"))->AsInteger();
            const QString name = uq.FieldByName(QStringLiteral("Esm"))->AsString();

            auto* picture = new QLabel(box);
            picture->setGeometry(kPictureLeft, y, 48, 48);
            picture->setScaledContents(true);
            QPixmap pic;
            if (!pic.loadFromData(uq.FieldByName(QStringLiteral("Aks"))->AsBytes()))
                pic = defaultPicture(name);
            picture->setPixmap(pic);
            picture->setProperty("tag", uid);
            picture->show();

            auto* label = new QLabel(name, box);
            QFont font = label->font();
            font.setPointSize(18);
            label->setFont(font);
            label->setCursor(Qt::PointingHandCursor);
            setNameColour(label);
            label->adjustSize();
            label->move(kNameRight - label->width(), y + 10);
            label->setProperty("tag", uid);
            label->installEventFilter(this);
            label->show();

            users_.push_back({picture, label});
            y += kRowHeight;
            curLabel_ = label;
            curPicture_ = picture;
        }
    } catch (...) {
        uq.EnableControls();
        throw;
    }
    uq.EnableControls();
    box->setMinimumSize(kPictureLeft + 60, y + 20);
}

bool TRFrmUsers::eventFilter(QObject* watched, QEvent* event)
{
    auto* label = qobject_cast<QLabel*>(watched);
    if (label && label->property("tag").isValid()) {
        switch (event->type()) {
        case QEvent::Enter: nameEntered(label); break;
        case QEvent::Leave: nameLeft(); break;
        case QEvent::MouseButtonRelease:
            if (passMode_) {
                ShowListMode();
            } else {
                if (curLabel_ != label)
                    nameEntered(label);
                tryClose();
            }
            return true;
        default: break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TRFrmUsers::nameEntered(QLabel* label)
{
    curLabel_ = label;
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    for (const User& u : users_)
        if (u.picture->property("tag") == label->property("tag"))
            curPicture_ = u.picture;
    tmrlbl->start();
}

void TRFrmUsers::nameLeft()
{
    tmrlbl->stop();
    red_ = 210;
    green_ = 210;
    if (!curLabel_)
        return;
    setNameColour(curLabel_);
    QFont font = curLabel_->font();
    font.setBold(false);
    curLabel_->setFont(font);
}

void TRFrmUsers::tmrlblTimer()
{
    if (!curLabel_)
        return;
    if (red_ > 0)
        red_ = qMax(0, red_ - 6);
    if (green_ > 0)
        green_ = qMax(0, green_ - 6);
    setNameColour(curLabel_);
    if (red_ == 0 && green_ == 0)
        tmrlbl->stop();
}

void TRFrmUsers::ShowPasswordMode()
{
    for (QWidget* w : ui->ScrollBox1Contents->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        w->hide();
    curLabel_->move(curLabel_->x(), curLabel_->y() + 50);
    curPicture_->move(curPicture_->x() - 30, curPicture_->y());
    ui->Image1->setGeometry(ui->ScrollBox1Contents->rect());
    ui->Image1->show();
    ui->Image1->lower();
    curLabel_->show();
    curPicture_->show();
    ui->edtpass->move(ui->edtpass->x(), curPicture_->y() + 10);
    ui->lblpass->move(ui->lblpass->x(), ui->edtpass->y());
    ui->btnokpass->move(ui->edtpass->x(), ui->edtpass->y() + ui->edtpass->height() + 5);
    ui->btncanpass->move(ui->btnokpass->x() + ui->btnokpass->width() + 5, ui->btnokpass->y());
    for (QWidget* w : {static_cast<QWidget*>(ui->lblpass), static_cast<QWidget*>(ui->edtpass),
                       static_cast<QWidget*>(ui->btnokpass), static_cast<QWidget*>(ui->btncanpass)})
        w->show();
    ui->btnokpass->setDefault(true);
    ui->edtpass->setReadOnly(false);
    ui->edtpass->setFocus();
    passMode_ = true;
}

void TRFrmUsers::ShowListMode()
{
    if (!passMode_)
        return;
    for (QWidget* w : ui->ScrollBox1Contents->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        w->show();
    curLabel_->move(curLabel_->x(), curLabel_->y() - 50);
    curPicture_->move(curPicture_->x() + 30, curPicture_->y());
    for (QWidget* w : {static_cast<QWidget*>(ui->Image1), static_cast<QWidget*>(ui->lblpass),
                       static_cast<QWidget*>(ui->edtpass), static_cast<QWidget*>(ui->btnokpass),
                       static_cast<QWidget*>(ui->btncanpass)})
        w->hide();
    ui->btnokpass->setDefault(false);
    ui->edtpass->setReadOnly(true);
    passMode_ = false;
}

bool TRFrmUsers::FormClose()
{
    if (users_.empty()) {
        CurrentUserName.clear();
        if (FrmMain) {
            FrmMain->SetCaptionForUser(QString());
            FrmMain->EnableAllRights();
        }
        return true;
    }
    db::DataSet& uq = *Dm->UQ;
    uq.Close();
    uq.setSQL(QStringLiteral("select * from TUNames where UID=") + QString::number(curLabel_->property("tag").toInt()));
    uq.Open();
    if (uq.IsEmpty()) {
        ShowMessageDlg(dkInfo, QString(), QStringLiteral("کاربر مورد نظر يافت نشد"), dbOk, 8, QStringLiteral("tahoma"), 0);
        EndProgram();
        return true;
    }
    const QString password = uq.FieldByName(QStringLiteral("Passw"))->AsString();
    if (passMode_) {
        if (ui->edtpass->text() != password) {
            ShowMessageDlg(dkError, QString(), QStringLiteral("کلمه عبور اشتباه است"), dbOk, 8, QStringLiteral("tahoma"), 0);
            return false;
        }
    } else if (!password.isEmpty()) {
        ShowPasswordMode();
        return false;
    }
    CurrentUserName = uq.FieldByName(QStringLiteral("Esm"))->AsString();
    if (FrmMain) {
        FrmMain->SetCaptionForUser(CurrentUserName);
        FrmMain->ApplyUserRights(uq);
    }
    return true;
}

void TRFrmUsers::EndProgram()
{
    // the main window's close closes this window with the others
    closing_ = true;
    TerminateApplication();
    if (!TerminateRequested())
        closing_ = false;
}

void TRFrmUsers::tryClose()
{
    if (!FormClose())
        return;
    if (!TerminateRequested())
        setAttribute(Qt::WA_DeleteOnClose);   // a login frees the window
    closing_ = true;
    accept();
}

void TRFrmUsers::closeEvent(QCloseEvent* event)
{
    if (closing_) {
        // QDialog's own close would reject, which here returns to the list
        event->accept();
        return;
    }
    event->ignore();
}

void TRFrmUsers::reject()
{
    // Escape returns from the password to the list; the list itself stays
    ShowListMode();
}

void TRFrmUsers::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Alt) {
        for (QWidget* w : findChildren<QWidget*>())
            w->update();
    }
    QDialog::keyReleaseEvent(event);
}
