#include "core/ProgramFolder.h"

#include "ui/TTools.h"

QString ProgramFolder() { return TTools::AppPath(); }
