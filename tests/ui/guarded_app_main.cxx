// The guard in a running event loop: a handler throws, the user sees the message, the loop goes on.
#include "ui/GuardedApplication.h"

#include "support/ScriptedPrompter.h"

#include <QTimer>

#include <cstdio>
#include <stdexcept>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    GuardedApplication app(argc, argv);
    testing_support::ScriptedPrompter prompter;

    int after = 0;
    QTimer::singleShot(0, &app, [] { throw std::runtime_error("شماره اقتصادی درست نیست"); });
    QTimer::singleShot(5, &app, [] { throw 7; });
    QTimer::singleShot(10, &app, [&] {
        ++after;
        QCoreApplication::quit();
    });
    const int rc = app.exec();

    const QStringList messages = prompter.messages();
    const QStringList expected{QStringLiteral("شماره اقتصادی درست نیست"), QStringLiteral("خطايي در روند برنامه پيش آمد")};
    if (rc != 0 || after != 1 || messages != expected || prompter.calls.first().what != QLatin1String("plainMessage")) {
        std::fprintf(stderr, "guard failed: rc %d, after %d, messages:\n%s\n", rc, after,
                     qPrintable(messages.join(QLatin1Char('\n'))));
        return 1;
    }
    std::puts("guard ok");
    return 0;
}
