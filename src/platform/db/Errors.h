#pragma once
// Database errors carry a category so that callers retry or report by kind, not by text.

#include <QString>
#include <stdexcept>

namespace db {

enum class ErrorCategory { Other, Locked, RowNotFound };

class DbError : public std::runtime_error {
public:
    DbError(ErrorCategory category, const QString& message)
        : std::runtime_error(message.toStdString()), category_(category), message_(message) {}
    ErrorCategory category() const { return category_; }
    const QString& message() const { return message_; }

private:
    ErrorCategory category_;
    QString message_;
};

// Thrown by an event handler to refuse an operation without a message.
class Abort : public std::exception {
public:
    const char* what() const noexcept override { return "Operation aborted"; }
};

// The texts the system's callers recognise for the two special categories.
inline const char* rowNotFoundText()
{
    return "Row cannot be located for updating. Some values may have been changed since it was last read.";
}
inline const char* lockedText() { return "Could not update; currently locked."; }

} // namespace db
