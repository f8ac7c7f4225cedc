#include "ui/GuardedApplication.h"

#include "platform/shell/Prompter.h"

#include <exception>

namespace {

void showFailure(const QString& text)
{
    static bool showing = false;
    if (showing) {
        qWarning("%s", qPrintable(text));
        return;
    }
    showing = true;
    try {
        shell::PlainMessageRequest r;
        r.caption = QCoreApplication::applicationName();
        r.text = text;
        shell::prompter().plainMessage(r);
    } catch (...) {
        qWarning("%s", qPrintable(text));
    }
    showing = false;
}

} // namespace

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    return guarded([&] { return QApplication::notify(receiver, event); });
}

bool GuardedApplication::guarded(const std::function<bool()>& deliver)
{
    try {
        return deliver();
    } catch (const std::exception& e) {
        showFailure(QString::fromUtf8(e.what()));
    } catch (...) {
        showFailure(QStringLiteral("خطايي در روند برنامه پيش آمد"));
    }
    return false;
}
