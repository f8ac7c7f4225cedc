#include "app/TfrmChoseWin.h"
#include "ui_TfrmChoseWin.h"

#include "app/HelpPictures.h"
#include "app/TForm2000.h"
#include "app/TForm3.h"
#include "app/TForm4.h"
#include "app/TForm5.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

TfrmChoseWin* frmChoseWin = nullptr;

TfrmChoseWin::TfrmChoseWin(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<Ui::TfrmChoseWin>())
{
    ui->setupUi(this);
    setFixedSize(size());
    ui->Image1->setPixmap(DrawChooserBackground(size()));
    ui->Image2->setPixmap(DrawVersionTile(QStringLiteral("Windows 8"), QColor(0, 130, 153)));
    ui->Image4->setPixmap(DrawVersionTile(QStringLiteral("Windows 7"), QColor(37, 98, 160)));
    ui->Image5->setPixmap(DrawVersionTile(QStringLiteral("Windows XP"), QColor(0, 84, 227)));
    ui->Image3->setPixmap(DrawVersionTile(QStringLiteral("Windows 2000"), QColor(10, 36, 106)));
    for (QLabel* image : {ui->Image2, ui->Image3, ui->Image4, ui->Image5})
        image->installEventFilter(this);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmChoseWin::~TfrmChoseWin()
{
    if (frmChoseWin == this)
        frmChoseWin = nullptr;
}

QWidget* TfrmChoseWin::WindowOf(QLabel* image) const
{
    if (image == ui->Image2)
        return Form5;
    if (image == ui->Image4)
        return Form4;
    if (image == ui->Image5)
        return Form3;
    if (image == ui->Image3)
        return Form2000;
    return nullptr;
}

bool TfrmChoseWin::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonRelease) {
        if (auto* image = qobject_cast<QLabel*>(watched)) {
            ShowNormal(WindowOf(image));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ShowNormal(QWidget* window)
{
    if (!window)
        return;
    window->showNormal();
    window->raise();
    window->activateWindow();
}
