#pragma once
// The application object: an exception thrown by an event handler is shown to the user
// (plain message through the prompter) and the program goes on.

#include <QApplication>

#include <functional>

class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Runs deliver; an exception it throws is shown and false returned.
    static bool guarded(const std::function<bool()>& deliver);
};
