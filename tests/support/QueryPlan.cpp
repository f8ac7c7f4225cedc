#include "QueryPlan.h"

#include "platform/db/Connection.h"

namespace testing_support {

QStringList queryPlan(db::Connection& conn, const QString& sql)
{
    auto rows = conn.query(QStringLiteral("explain query plan ") + sql);
    QStringList steps;
    while (rows->next())
        steps << QString::fromUtf8(rows->text(3).data(), qsizetype(rows->text(3).size()));
    return steps;
}

} // namespace testing_support
