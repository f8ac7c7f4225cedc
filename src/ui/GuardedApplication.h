#pragma once
// The application object: an exception thrown by an event handler is shown to the user
// (plain message through the prompter) and the program goes on. Each input of the user
// starts a new action (outside the message boxes themselves), so that the errors of one
// action reach the user as one message.

#include <QApplication>

#include <functional>

class GuardedApplication : public QApplication {
    Q_OBJECT
public:
    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Runs deliver; an exception it throws is shown and false returned.
    static bool guarded(const std::function<bool()>& deliver);

    // Whether an event, delivered to receiver, is the user starting something new.
    static bool startsAction(QObject* receiver, const QEvent* event);
};
