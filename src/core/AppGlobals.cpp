#include "core/AppGlobals.h"

bool IsAccess = true;
QString TRUEPREFIX = QStringLiteral("-");
TPrintSettings PrintSettings;
QString CurrentUserName;
bool UserCanChange = false;
TLastChequeValues LastChequeValues;
