#pragma once
// The one-line connection files of the program folder: srvpath.txt names the
// server database, upath.txt the users database.

#include <QString>

// The server database of srvpath.txt's first line, written as ADO-style pairs
// "key=value;": Data Source or Server (host, optionally ",port"), Initial Catalog
// or Database, User ID, Password. Keys match without regard to case; values stay
// as written; a value holding ';' is quoted with " or ' (a doubled quote inside
// stands for one).
struct TServerPath {
    QString Host;
    QString Port;
    QString Database;
    QString User;
    QString Password;

    // libpq connection string of this database.
    QString conninfo() const;
    // libpq connection string of another database on the same server.
    QString conninfo(const QString& database) const;
};

// False with a Persian message in *error when the line names no database or is malformed.
bool ParseServerPath(const QString& line, TServerPath* server, QString* error);

// Reads srvpath.txt of the program folder; only the server database needs it.
// False with a Persian message the caller shows before ending the program.
bool ReadServerPath(TServerPath* server, QString* error);

// The users database from upath.txt: the text "dbusers.mdb" (exact case), an
// empty first line or no file at all mean dbusers.mdb in the program folder;
// any other text is the path as written. False with a Persian message when the
// file exists but cannot be read.
bool ReadUsersDatabasePath(QString* path, QString* error);
