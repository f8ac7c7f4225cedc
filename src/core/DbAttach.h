#pragma once
// Makes sure the server database named by srvpath.txt exists before the main
// connection opens: a missing database is created with the file database's
// collation (byte order) and given the base tables of the empty database.

#include <QString>

struct TServerPath;

// The message shown before the program ends when the server cannot be reached.
QString AttachFailedText();

// False with the error text when the server cannot be reached or the database
// cannot be made; a half-made database is dropped again.
bool AttachSqlDatabase(const TServerPath& server, QString* error);
