#pragma once
// The program folder, where the settings files live.

#include <QString>

// $DOVIN_HOME when set, else the executable's folder; always ends with "/".
QString ProgramFolder();
