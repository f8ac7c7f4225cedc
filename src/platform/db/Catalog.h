#pragma once
// One catalogue of tables and columns: it produces the DDL of both engines and
// gives the datasets their field types, widths, labels, masks and formats.

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace db {

enum class ColumnKind { Counter, Boolean, Money, Decimal, Double, Byte, SmallInt, Integer, Text, Memo, Binary };

struct ColumnDef {
    QString name;
    ColumnKind kind = ColumnKind::Text;
    int size = 0;               // width of Text columns, precision of Decimal
    QString label;
    QString editMask;
    QString displayFormat;
    bool primaryKey = false;    // a non-counter key (e.g. akey of t_snums)
};

struct TableDef {
    QString name;
    std::vector<ColumnDef> columns;

    const ColumnDef* column(const QString& name) const;
    QString keyColumn() const;
};

class Catalog {
public:
    void add(TableDef table);
    const TableDef* table(const QString& name) const;
    const ColumnDef* column(const QString& table, const QString& column) const;
    QStringList tableNames() const;

private:
    std::vector<TableDef> tables_;
    QHash<QString, int> index_; // lower-case name -> position
};

} // namespace db
