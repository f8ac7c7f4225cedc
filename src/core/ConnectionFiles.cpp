#include "core/ConnectionFiles.h"

#include "core/ProgramFolder.h"
#include "platform/ini/TextFile.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

const QString kServerFile = QStringLiteral("srvpath.txt");
const QString kUsersFile = QStringLiteral("upath.txt");
const QString kUsersDefault = QStringLiteral("dbusers.mdb");

QString firstLine(const QString& text)
{
    const int end = text.indexOf(QRegularExpression(QStringLiteral("[\\r\\n]")));
    return end < 0 ? text : text.left(end);
}

// A value of a libpq connection string, quoted and escaped.
QString pqValue(const QString& value)
{
    QString v = value;
    v.replace(QLatin1Char('\\'), QLatin1String("\\\\")).replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

QString normalisedKey(const QString& key)
{
    return key.simplified().toLower();
}

QString malformed()
{
    return QStringLiteral("متن اتصال در فايل srvpath.txt درست نيست");
}

} // namespace

QString TServerPath::conninfo() const
{
    return conninfo(Database);
}

QString TServerPath::conninfo(const QString& database) const
{
    QStringList parts;
    const auto add = [&parts](const char* key, const QString& value) {
        if (!value.isEmpty())
            parts << QLatin1String(key) + QLatin1Char('=') + pqValue(value);
    };
    add("host", Host);
    add("port", Port);
    add("dbname", database);
    add("user", User);
    add("password", Password);
    return parts.join(QLatin1Char(' '));
}

bool ParseServerPath(const QString& line, TServerPath* server, QString* error)
{
    *server = TServerPath();
    QString dataSource;
    int i = 0;
    const int n = line.size();
    while (i < n) {
        const int eq = line.indexOf(QLatin1Char('='), i);
        const int semi = line.indexOf(QLatin1Char(';'), i);
        if (eq < 0 || (semi >= 0 && semi < eq)) {
            // A piece without "=": only blanks may stand there.
            const int end = semi < 0 ? n : semi;
            if (!line.mid(i, end - i).trimmed().isEmpty()) {
                *error = malformed();
                return false;
            }
            i = end + 1;
            continue;
        }
        const QString key = normalisedKey(line.mid(i, eq - i));
        int j = eq + 1;
        while (j < n && line.at(j).isSpace())
            ++j;
        QString value;
        if (j < n && (line.at(j) == QLatin1Char('"') || line.at(j) == QLatin1Char('\''))) {
            const QChar quote = line.at(j++);
            bool closed = false;
            while (j < n) {
                if (line.at(j) == quote) {
                    if (j + 1 < n && line.at(j + 1) == quote) {
                        value += quote;
                        j += 2;
                        continue;
                    }
                    closed = true;
                    ++j;
                    break;
                }
                value += line.at(j++);
            }
            while (j < n && line.at(j).isSpace())
                ++j;
            if (!closed || (j < n && line.at(j) != QLatin1Char(';'))) {
                *error = malformed();
                return false;
            }
        } else {
            const int end = line.indexOf(QLatin1Char(';'), j);
            value = line.mid(j, (end < 0 ? n : end) - j).trimmed();
            j = end < 0 ? n : end;
        }
        i = j + 1;

        if (key == QLatin1String("data source") || key == QLatin1String("server"))
            dataSource = value;
        else if (key == QLatin1String("initial catalog") || key == QLatin1String("database"))
            server->Database = value;
        else if (key == QLatin1String("user id"))
            server->User = value;
        else if (key == QLatin1String("password"))
            server->Password = value;
    }

    const int comma = dataSource.lastIndexOf(QLatin1Char(','));
    server->Host = (comma < 0 ? dataSource : dataSource.left(comma)).trimmed();
    if (comma >= 0) {
        server->Port = dataSource.mid(comma + 1).trimmed();
        static const QRegularExpression digits(QStringLiteral("^[0-9]{1,5}$"));
        const int port = server->Port.toInt();
        if (!digits.match(server->Port).hasMatch() || port < 1 || port > 65535) {
            *error = QStringLiteral("شماره پورت در فايل srvpath.txt درست نيست: ") + server->Port;
            return false;
        }
    }
    if (server->Database.isEmpty()) {
        *error = QStringLiteral("نام پايگاه داده (Initial Catalog) در فايل srvpath.txt نيامده است");
        return false;
    }
    return true;
}

bool ReadServerPath(TServerPath* server, QString* error)
{
    *server = TServerPath();
    QString text;
    switch (ini::readSettingsText(ProgramFolder() + kServerFile, &text)) {
    case ini::ReadStatus::Missing:
        *error = QStringLiteral("فايل srvpath.txt (نشاني پايگاه داده سرور) در پوشه برنامه پيدا نشد:\n")
                 + ProgramFolder();
        return false;
    case ini::ReadStatus::Unreadable:
        *error = QStringLiteral("فايل srvpath.txt خوانده نشد");
        return false;
    case ini::ReadStatus::Ok:
        break;
    }
    const QString line = firstLine(text);
    if (line.trimmed().isEmpty()) {
        *error = QStringLiteral("سطر اول فايل srvpath.txt خالي است");
        return false;
    }
    return ParseServerPath(line, server, error);
}

bool ReadUsersDatabasePath(QString* path, QString* error)
{
    QString text;
    switch (ini::readSettingsText(ProgramFolder() + kUsersFile, &text)) {
    case ini::ReadStatus::Unreadable:
        path->clear();
        *error = QStringLiteral("فايل upath.txt خوانده نشد");
        return false;
    case ini::ReadStatus::Missing:
        break;
    case ini::ReadStatus::Ok:
        text = firstLine(text);
        break;
    }
    *path = text.trimmed().isEmpty() || text == kUsersDefault ? ProgramFolder() + kUsersDefault : text;
    return true;
}
