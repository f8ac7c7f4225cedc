#include "ui/GuardedApplication.h"

#include "platform/db/Errors.h"
#include "platform/shell/Progress.h"
#include "platform/shell/Prompter.h"
#include "ui/Tfrm_dlg.h"

#include <QMessageBox>
#include <QWidget>
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
        r.error = true;
        shell::prompter().plainMessage(r);
    } catch (...) {
        qWarning("%s", qPrintable(text));
    }
    showing = false;
}

} // namespace

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::startsAction(QObject* receiver, const QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
        break;
    case QEvent::Close:
        if (!event->spontaneous())   // closed by the program, within an action
            return false;
        break;
    default:
        return false;
    }
    // answering a message box goes on with the action that asked
    const auto* w = qobject_cast<const QWidget*>(receiver);
    const QWidget* window = w ? w->window() : nullptr;
    return window && !qobject_cast<const QMessageBox*>(window) && !qobject_cast<const Tfrm_dlg*>(window);
}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    if (startsAction(receiver, event))
        db::beginAction();
    return guarded([&] { return QApplication::notify(receiver, event); });
}

bool GuardedApplication::guarded(const std::function<bool()>& deliver)
{
    try {
        return deliver();
    } catch (const shell::Cancelled&) {
        // stopped by the user: nothing to tell
    } catch (const db::DbError& e) {
        const QString text = db::textToShow(e);
        if (!text.isEmpty())
            showFailure(text);
    } catch (const std::exception& e) {
        showFailure(QString::fromUtf8(e.what()));
    } catch (...) {
        showFailure(QStringLiteral("خطايي در روند برنامه پيش آمد"));
    }
    return false;
}
