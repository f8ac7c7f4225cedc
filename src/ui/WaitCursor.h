#pragma once
// The hourglass for the duration of a scope, when there is a screen.

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>

class WaitCursor {
public:
    WaitCursor() : on_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr)
    {
        if (on_)
            QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
    }
    ~WaitCursor()
    {
        if (on_)
            QGuiApplication::restoreOverrideCursor();
    }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    bool on_;
};
