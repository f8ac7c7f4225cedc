#pragma once
// The pictures of the picture-help windows and their chooser, drawn by the program.

#include <QColor>
#include <QPixmap>
#include <QString>
#include <QStringList>

// One step of a picture help: what to do, and the window or menu it happens in.
struct THelpStep {
    QString text;          // Persian instruction
    QString window;        // the title of the window drawn beside it (as Windows shows it)
    QStringList items;     // the entries of that window, the one to pick marked with "*"
};

// The chooser's tile of one Windows version.
QPixmap DrawVersionTile(const QString& version, const QColor& colour);
// The chooser's background.
QPixmap DrawChooserBackground(const QSize& size);
// A tall picture: the title, then each step numbered with its window.
QPixmap DrawPictureHelp(const QString& title, const QColor& colour, const QList<THelpStep>& steps);
