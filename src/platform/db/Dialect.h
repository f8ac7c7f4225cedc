#pragma once
// What differs between the two engines: DDL, booleans, catalogue queries.

#include "platform/db/Catalog.h"

#include <QString>

namespace db {

enum class Engine { SQLite, PostgreSQL };

class Dialect {
public:
    explicit Dialect(Engine e) : engine_(e) {}
    Engine engine() const { return engine_; }
    bool isFile() const { return engine_ == Engine::SQLite; }

    // The stored value of true: -1 in the file database, 1 in the server one.
    int trueValue() const { return engine_ == Engine::SQLite ? -1 : 1; }
    // Prefix that hand-built SQL puts before "1" to write true.
    QString truePrefix() const { return engine_ == Engine::SQLite ? QStringLiteral("-") : QString(); }

    QString columnType(const ColumnDef& c) const;
    QString columnDefinition(const ColumnDef& c) const;
    QString createTable(const TableDef& t) const;
    QString addColumn(const QString& table, const ColumnDef& c) const;
    QString createIndex(const QString& table, const QString& index, const QString& column) const;
    QString dropIndex(const QString& table, const QString& index) const;
    // A table read in the order of its key whatever else the statement filters on: the file
    // database's planner would take an index of the filter and sort every row it found before
    // handing over the first.
    QString inKeyOrder(const QString& table) const
    {
        return engine_ == Engine::SQLite ? table + QStringLiteral(" NOT INDEXED") : table;
    }

    // Catalogue queries; each returns a count (0 or more) and takes the name as $1 (and $2).
    QString tableExistsQuery() const;
    QString viewExistsQuery() const;
    QString columnExistsQuery() const;
    QString indexExistsQuery() const;

private:
    Engine engine_;
};

} // namespace db
