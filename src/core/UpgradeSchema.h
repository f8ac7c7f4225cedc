#pragma once
// What the schema upgrade adds to the base tables: the new tables, the new columns
// of T_Sanad, the date columns it widens with their indexes, and the profit view.

#include "platform/db/Catalog.h"

#include <QString>
#include <vector>

namespace db { class Dialect; }

namespace upgrade_schema {

// A column that refers to another table's key, deleting and updating in cascade.
struct Reference {
    QString column;
    QString table;
    QString key;
};

struct NewTable {
    db::TableDef def;
    std::vector<Reference> references;
};

struct AddedColumn {
    db::ColumnDef def;
    QString defaultValue; // SQL literal; empty for none
};

// A date column widened to ten characters; index: the index that carries it, if any.
struct DateColumn {
    QString table;
    QString column;
    QString index;
};

constexpr int DateWidth = 10;

// An index the program's statements read through (date ranges, their sums and months);
// columns: its first column, or several separated by commas.
struct LookupIndex {
    QString table;
    QString columns;
    QString index;
};

const std::vector<NewTable>& NewTables();
const std::vector<AddedColumn>& SanadColumns();
const std::vector<DateColumn>& DateColumns();
const std::vector<LookupIndex>& LookupIndexes();

QString CreateTableSql(const db::Dialect& dialect, const NewTable& table);
QString AddSanadColumnSql(const db::Dialect& dialect, const AddedColumn& column);
QString CreateSoodViewSql();

// Adds the new tables to a catalogue and merges the new columns into its T_Sanad.
// Call it after the base tables are in: the base catalogue must not produce DDL for these.
void AddUpgradeSchema(db::Catalog& catalog);

} // namespace upgrade_schema
