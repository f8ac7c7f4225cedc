#include "core/AppGlobals.h"

bool IsAccess = true;
QString TRUEPREFIX = QStringLiteral("-");
TPrintSettings PrintSettings;
