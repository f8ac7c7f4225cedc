#include "app/AppPrompter.h"
#include "app/StartUp.h"
#include "app/TFrmMain.h"
#include "platform/report/Fonts.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zanit Kolvar (Dovin)"));
    QApplication::setLayoutDirection(Qt::RightToLeft);
    report::installFontSubstitutions();
    AppPrompter prompter;
    shell::setPrompter(&prompter);

    if (!CreateForms()) {
        FreeForms();
        return 1;
    }
    FrmMain->showMaximized();
    const int rc = app.exec();
    FreeForms();
    return rc;
}
