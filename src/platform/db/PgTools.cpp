#include "platform/db/PgTools.h"

#include "platform/db/Errors.h"
#include "platform/shell/HelperProcess.h"

#include <QProcessEnvironment>
#include <libpq-fe.h>

namespace db::pgtools {

namespace {

QProcessEnvironment environmentOf(const QString& conninfo, const QString& extraOptions)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.toUtf8().constData(), &error);
    if (!options) {
        const QString text = QString::fromUtf8(error ? error : "invalid connection string").trimmed();
        PQfreemem(error);
        throw DbError(ErrorCategory::Other, text);
    }
    QString serverOptions;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        if (!o->val)
            continue;
        if (qstrcmp(o->keyword, "options") == 0)
            serverOptions = QString::fromUtf8(o->val);
        else if (o->envvar)
            env.insert(QString::fromLatin1(o->envvar), QString::fromUtf8(o->val));
    }
    PQconninfoFree(options);
    if (!extraOptions.isEmpty())
        serverOptions += (serverOptions.isEmpty() ? QString() : QStringLiteral(" ")) + extraOptions;
    if (!serverOptions.isEmpty())
        env.insert(QStringLiteral("PGOPTIONS"), serverOptions);
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), env.value(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10")));
    return env;
}

} // namespace

QByteArray run(const QString& program, const QStringList& args, const QString& conninfo, const QString& extraOptions,
               int timeoutMs, const std::function<void()>& poll)
{
    const shell::HelperResult r = shell::RunHelper(program, args, environmentOf(conninfo, extraOptions), poll, timeoutMs);
    if (!r.started)
        throw DbError(ErrorCategory::Other, QStringLiteral("برنامه %1 اجرا نشد: %2").arg(program, r.error));
    if (r.timedOut)
        throw DbError(ErrorCategory::Other, QStringLiteral("%1: زمان اجرا به پايان رسيد").arg(program));
    if (!r.ok()) {
        QString err = QString::fromUtf8(r.err).trimmed();
        if (err.isEmpty())
            err = QStringLiteral("%1: exit code %2").arg(program).arg(r.exitCode);
        throw DbError(ErrorCategory::Other, err);
    }
    return r.out;
}

QList<TocEntry> parseToc(const QByteArray& listing)
{
    // "<id>; <catalog oid> <oid> <TYPE words> <schema> <name> <owner>"; types may hold spaces
    static const QStringList types = {
        QStringLiteral("TABLE DATA"), QStringLiteral("SEQUENCE SET"), QStringLiteral("SEQUENCE OWNED BY"),
        QStringLiteral("DEFAULT ACL"), QStringLiteral("FK CONSTRAINT"), QStringLiteral("INDEX ATTACH"),
        QStringLiteral("MATERIALIZED VIEW DATA"), QStringLiteral("MATERIALIZED VIEW"), QStringLiteral("BLOB DATA"),
        QStringLiteral("LARGE OBJECT"),
    };
    QList<TocEntry> out;
    for (const QByteArray& raw : listing.split('\n')) {
        const QString line = QString::fromUtf8(raw).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char(';')))
            continue;
        const qsizetype semi = line.indexOf(QLatin1Char(';'));
        if (semi < 0)
            continue;
        QStringList words = line.mid(semi + 1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.size() < 5)
            continue;
        words = words.mid(2);   // catalog oid and oid
        TocEntry e;
        e.line = line;
        int typeWords = 1;
        for (const QString& t : types) {
            const int n = int(t.count(QLatin1Char(' '))) + 1;
            if (words.size() > n && words.mid(0, n).join(QLatin1Char(' ')) == t) {
                typeWords = n;
                break;
            }
        }
        e.type = words.mid(0, typeWords).join(QLatin1Char(' '));
        if (words.size() < typeWords + 2)
            continue;
        e.schema = words.at(typeWords);
        e.name = words.at(typeWords + 1);
        out << e;
    }
    return out;
}

QString quoteIdent(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

} // namespace db::pgtools
