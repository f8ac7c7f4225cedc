#pragma once
// Database errors carry a category so that callers retry or report by kind, not by text.
// What the user is shown is Persian; the engine's own words may follow on a line of their
// own; the statement itself is kept for the log and never shown.

#include <QString>
#include <stdexcept>

namespace db {

// ConnectionLost: the link to the database server broke (or could not be made again).
enum class ErrorCategory { Other, Locked, RowNotFound, ConnectionLost };

class DbError : public std::runtime_error {
public:
    // An error of the program's own: the message is shown as it is.
    DbError(ErrorCategory category, const QString& message);
    // An error the engine reported: the message is the category's Persian text with the
    // engine's text on the line below it; the statement is only logged.
    static DbError fromEngine(ErrorCategory category, const QString& engineText, const QString& statement = {});

    ErrorCategory category() const { return category_; }
    // What the user sees.
    const QString& message() const { return message_; }
    // The engine's own words; empty for the program's own errors.
    const QString& engineText() const { return engineText_; }
    // The statement that failed; for the log only.
    const QString& statement() const { return statement_; }

private:
    friend QString textToShow(const DbError& e);
    ErrorCategory category_;
    QString message_;
    QString engineText_;
    QString statement_;
    mutable bool shown_ = false;   // set once a guard has shown it: a rethrown error is not shown again
};

// Thrown by an event handler to refuse an operation without a message.
class Abort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// The texts of the categories, as the user reads them.
QString rowNotFoundText();
QString lockedText();
QString connectionLostText();
// The first line of an engine error of no special category.
QString engineErrorText();

// A user action: an input event of the user starts one. A server found away is looked for
// once per action, not again for every statement of the same action, and reported once.
void beginAction();
quint64 currentAction();

// The text a guard shows for an error it caught; empty when nothing is to be shown: the
// error was shown already (a rethrown one), or the server was reported away in this action
// and the error follows from that. The engine's text and the statement go to the log
// (standard error) either way.
QString textToShow(const DbError& e);

} // namespace db
