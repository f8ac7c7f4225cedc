#pragma once
// The base tables of the agency database and of the users database, as delivered
// with the empty databases: one catalogue for both engines' DDL and for the
// datasets' field types, widths, labels, masks and display formats.

#include <QString>
#include <QStringList>

namespace db {
class Catalog;
class Connection;
class Dialect;
}

enum class TSchemaDb { Agency, Users };

// Every table the program knows: the base tables and what the upgrade adds.
const db::Catalog& SchemaCatalog();
// The tables as delivered, before any upgrade: what new databases are created from.
const db::Catalog& BaseCatalog();

// The base tables of one database, in creation order.
QStringList BaseTables(TSchemaDb which);

// The script that creates a database's base tables on one engine, with the
// counters row of the agency database (akey 1, both counters '0').
QString BaseSchemaScript(const db::Dialect& dialect, TSchemaDb which);

// Runs BaseSchemaScript on an empty database, in one transaction.
void CreateBaseSchema(db::Connection& conn, TSchemaDb which);
