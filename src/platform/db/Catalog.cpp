#include "platform/db/Catalog.h"

namespace db {

const ColumnDef* TableDef::column(const QString& n) const
{
    for (const auto& c : columns)
        if (c.name.compare(n, Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

QString TableDef::keyColumn() const
{
    for (const auto& c : columns)
        if (c.kind == ColumnKind::Counter || c.primaryKey)
            return c.name;
    return {};
}

void Catalog::add(TableDef table)
{
    const QString key = table.name.toLower();
    auto it = index_.find(key);
    if (it != index_.end()) {
        tables_[*it] = std::move(table);
        return;
    }
    index_.insert(key, int(tables_.size()));
    tables_.push_back(std::move(table));
}

const TableDef* Catalog::table(const QString& name) const
{
    auto it = index_.find(name.toLower());
    return it == index_.end() ? nullptr : &tables_[*it];
}

const ColumnDef* Catalog::column(const QString& t, const QString& c) const
{
    const TableDef* td = table(t);
    return td ? td->column(c) : nullptr;
}

QStringList Catalog::tableNames() const
{
    QStringList out;
    for (const auto& t : tables_)
        out << t.name;
    return out;
}

} // namespace db
