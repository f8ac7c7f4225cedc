#include "app/TPictureHelpForm.h"
#include "ui_TPictureHelpForm.h"

TPictureHelpForm::TPictureHelpForm(const QString& caption, const QString& title, const QColor& colour,
                                   const QList<THelpStep>& steps, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint), ui(std::make_unique<Ui::TPictureHelpForm>())
{
    ui->setupUi(this);
    setWindowTitle(caption);
    ui->Image1->setPixmap(DrawPictureHelp(title, colour, steps));
}

TPictureHelpForm::~TPictureHelpForm() = default;

QPixmap TPictureHelpForm::Picture() const { return ui->Image1->pixmap(); }
