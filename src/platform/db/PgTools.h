#pragma once
// The PostgreSQL client programs (pg_dump, pg_restore, psql) run against the database of a
// libpq connection string. The string's parameters reach the program through its
// environment, so a password never shows on a command line.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

namespace db::pgtools {

// Runs program with args; extraOptions are added to the server options (PGOPTIONS).
// Returns its standard output; throws DbError with its error output when it cannot start,
// fails or runs longer than timeoutMs (-1: no limit). The program ends with ours; poll is
// called while it runs and may throw to stop it (see shell::RunHelper).
QByteArray run(const QString& program, const QStringList& args, const QString& conninfo,
               const QString& extraOptions = {}, int timeoutMs = -1, const std::function<void()>& poll = {});

// A table of contents entry of a custom-format archive ("pg_restore -l").
struct TocEntry {
    QString line;      // the line as listed
    QString type;      // "TABLE", "TABLE DATA", "SCHEMA", "SEQUENCE", "VIEW", ...
    QString schema;    // "-" for entries outside a schema
    QString name;
};
// The entries of a listing; comment lines are skipped.
QList<TocEntry> parseToc(const QByteArray& listing);

// A name as a quoted identifier.
QString quoteIdent(const QString& name);

} // namespace db::pgtools
