// Writes the empty databases of a program folder: mdbDovin.mdb (agency) and
// dbusers.mdb (users), base tables only. Existing files are left alone.
#include "core/Schema.h"
#include "platform/db/Connection.h"

#include <QDir>
#include <QFile>
#include <cstdio>

namespace {

bool make(const QString& folder, const QString& name, TSchemaDb which)
{
    const QString path = QDir(folder).filePath(name);
    if (QFile::exists(path))
        return true;
    const QString tmp = path + QStringLiteral(".tmp");
    QFile::remove(tmp);
    try {
        auto conn = db::Connection::openSqlite(tmp, true);
        CreateBaseSchema(*conn, which);
    } catch (const db::DbError& e) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), qPrintable(e.message()));
        QFile::remove(tmp);
        return false;
    }
    if (!QFile::rename(tmp, path)) {
        std::fprintf(stderr, "%s: cannot rename\n", qPrintable(path));
        QFile::remove(tmp);
        return false;
    }
    std::printf("Created %s\n", qPrintable(path));
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: dovin-mkdb <program folder>\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const bool ok = make(folder, QStringLiteral("mdbDovin.mdb"), TSchemaDb::Agency)
                 && make(folder, QStringLiteral("dbusers.mdb"), TSchemaDb::Users);
    return ok ? 0 : 1;
}
