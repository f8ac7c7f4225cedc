#include "app/StartUp.h"
#include "app/TFrmMain.h"
#include "platform/report/Fonts.h"
#include "ui/GuardedApplication.h"
#include "ui/TTools.h"
#include "ui/WidgetPrompter.h"
#include "ui/WindowLook.h"

#include <QApplication>

int main(int argc, char** argv)
{
    GuardedApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zanit Kolvar (Dovin)"));
    QApplication::setLayoutDirection(Qt::RightToLeft);
    InstallWindowLook(app);
    report::installFontSubstitutions();
    WidgetPrompter prompter;
    shell::setPrompter(&prompter);

    if (!CreateForms()) {
        FreeForms();
        return 1;
    }
    FrmMain->showMaximized();
    if (TerminateRequested()) {
        FreeForms();
        return 1;
    }
    const int rc = app.exec();
    FreeForms();
    delete Tools;
    Tools = nullptr;
    return rc;
}
