#pragma once
// Process-wide state that the main window prepares at start-up, before the data module exists.

#include "core/PrintSettings.h"

#include <QString>

// True when the agency's data live in the file database, false for the server database.
extern bool IsAccess;
// "-" on the file database, empty on the server one: hand-built SQL writes true as TRUEPREFIX + "1".
extern QString TRUEPREFIX;
// The six print bytes and the three report fonts, loaded at start-up and after the preferences window.
extern TPrintSettings PrintSettings;

// The logged-in user's name; empty when nobody logged in.
extern QString CurrentUserName;
// The logged-in user's right to change and delete stored rows (false until a login grants it).
extern bool UserCanChange;

// What the next new cheque of this run takes over from the last one entered.
struct TLastChequeValues {
    QString vaziyat;
    QString nov;
    QString novsanad;
    QString shoomareh;
    QString hesabno;
    bool set = false;
};
extern TLastChequeValues LastChequeValues;

// The program's version, which is also the schema version it expects.
inline constexpr double kProgramVersion = 9.45;
