#pragma once
// A picture-help window: one tall picture in a scrolling window that stays on top. TForm2000,
// TForm3, TForm4 and TForm5 are its four windows, one per Windows version.

#include "app/HelpPictures.h"

#include <QWidget>
#include <memory>

namespace Ui { class TPictureHelpForm; }

class TPictureHelpForm : public QWidget {
    Q_OBJECT
public:
    ~TPictureHelpForm() override;
    // The picture shown.
    QPixmap Picture() const;
    Ui::TPictureHelpForm* form() const { return ui.get(); }

protected:
    TPictureHelpForm(const QString& caption, const QString& title, const QColor& colour, const QList<THelpStep>& steps,
                     QWidget* parent);

private:
    std::unique_ptr<Ui::TPictureHelpForm> ui;
};
