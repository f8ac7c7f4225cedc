#pragma once
// Checks of a party's tax identity: national code, legal-entity id, postal code, address,
// economic code. A failed check throws TValidationError carrying the Persian message.

#include <QString>
#include <stdexcept>

class TValidationError : public std::runtime_error {
public:
    explicit TValidationError(const QString& message)
        : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// personKind 1: a natural person's 10-digit national code; any other kind: an 11-digit
// legal-entity id. An empty text passes only when emptyAllowed.
void ValidateNationalCode(const QString& text, int personKind, bool emptyAllowed);
// "کد ملي صحيح نمي باشد." unless ten digits whose last is the check digit.
void CheckNationalCode(const QString& code);
// "شناسه ملي صحيح نمي باشد." unless eleven digits whose last is the check digit.
void CheckNationalId(const QString& id);
// Ten digits, none of them 0 or 2 (or empty when allowed).
void ValidatePostalCode(const QString& text, bool emptyAllowed);
// At least 15 characters (or empty when allowed).
bool AddressLengthOk(const QString& text, bool emptyAllowed);
// Every economic code is accepted.
void ValidateEconomicCode(const QString& text, bool emptyAllowed);
