#include "core/DbAttach.h"

#include "core/ConnectionFiles.h"
#include "core/Schema.h"
#include "platform/db/Connection.h"

namespace {

QString quotedIdentifier(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

} // namespace

QString AttachFailedText()
{
    return QStringLiteral("خطاي اتصال به پايگاه داده\r\nبه صورت دستي بايستي \r\n به پايگاه داده متصل شويد\r\n");
}

bool AttachSqlDatabase(const TServerPath& server, QString* error)
{
    try {
        auto admin = db::Connection::openPostgres(server.conninfo(QStringLiteral("postgres")));
        const auto exists = [&] {
            return admin->scalar(QStringLiteral("select count(*) from pg_database where datname = $1"),
                                 {server.Database})
                       .toLongLong()
                > 0;
        };
        if (exists())
            return true;
        const QString name = quotedIdentifier(server.Database);
        try {
            admin->exec(QStringLiteral("CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8' "
                                       "LC_COLLATE 'C' LC_CTYPE 'C'")
                            .arg(name));
        } catch (const db::DbError&) {
            if (exists())   // another workstation made it meanwhile
                return true;
            throw;
        }
        try {
            auto conn = db::Connection::openPostgres(server.conninfo());
            CreateBaseSchema(*conn, TSchemaDb::Agency);
        } catch (...) {
            admin->tryExec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(name));
            throw;
        }
        return true;
    } catch (const db::DbError& e) {
        *error = e.message();
        return false;
    }
}
