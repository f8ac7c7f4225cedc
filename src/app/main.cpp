#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zanit Kolvar (Dovin)"));
    QApplication::setLayoutDirection(Qt::RightToLeft);
    QMainWindow w;
    w.setWindowTitle(QStringLiteral("آژانس املاک - گروه مهندسين مشاور زانيت کلوار"));
    w.setCentralWidget(new QLabel(QStringLiteral("آژانس املاک")));
    w.showMaximized();
    return app.exec();
}
