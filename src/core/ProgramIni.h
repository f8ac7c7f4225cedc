#pragma once
// The program's own ini file: the executable's name with ".ini", in the program
// folder. Sections gen (verType, verNO), bg (path) and prn (print settings,
// PrintSettings.h). Each call opens the file, reads or writes, and closes it.

#include <QString>

QString ProgramIniPath();

// gen/verType, default "access", compared lower-cased: true for the file
// database, false for the server database (any other value, also an empty one).
bool ReadIsAccess();

// gen/verNO, the schema version of the database, default 0.
double ReadVerNO();
bool WriteVerNO(double version);

// bg/path, default "0": digits give the next picture of the rotation, anything
// else is a picture file's path.
QString ReadBgPath();
bool WriteBgPath(const QString& path);

// upd/server, default empty (no update check): the address of the maker's web server that
// holds lastver.php and upDareVidid.html.
QString ReadUpdateServer();
