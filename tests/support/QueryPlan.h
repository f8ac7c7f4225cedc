#pragma once
// The steps the file database's planner chooses for a statement.

#include <QString>
#include <QStringList>

namespace db { class Connection; }

namespace testing_support {

// One line per step of "explain query plan", e.g. "SEARCH t_check USING COVERING INDEX ...".
QStringList queryPlan(db::Connection& conn, const QString& sql);

} // namespace testing_support
