#include "platform/db/Sql.h"

#include <QRegularExpression>
#include <utility>

namespace db {

QString Q(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('\'');
    for (QChar c : text) {
        if (c.unicode() == 0)
            continue;
        if (c == QLatin1Char('\''))
            out += QLatin1Char('\'');
        out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

QString WithoutNul(const QString& text)
{
    if (!text.contains(QChar(0)))
        return text;
    QString out = text;
    out.remove(QChar(0));
    return out;
}

QString Like(const QString& expr, const QString& pattern)
{
    // PostgreSQL reads a backslash as the escape character unless told otherwise, SQLite has
    // none: name one on both and double it in the pattern. PostgreSQL's LIKE heeds case,
    // SQLite's does not for ASCII letters: lower() both sides (ASCII only on both).
    QString p = pattern;
    p.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    return QStringLiteral("lower(") + expr + QStringLiteral(") like lower(") + Q(p) + QStringLiteral(") escape '\\'");
}

namespace {
bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}
} // namespace

QString stripNationalPrefix(const QString& sql)
{
    QString out;
    out.reserve(sql.size());
    bool inLiteral = false;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        QChar c = sql[i];
        if (inLiteral) {
            out += c;
            if (c == QLatin1Char('\'')) {
                if (i + 1 < sql.size() && sql[i + 1] == QLatin1Char('\'')) {
                    out += sql[++i];
                } else {
                    inLiteral = false;
                }
            }
            continue;
        }
        if (c == QLatin1Char('\'')) {
            inLiteral = true;
            out += c;
            continue;
        }
        if ((c == QLatin1Char('N') || c == QLatin1Char('n')) && i + 1 < sql.size() && sql[i + 1] == QLatin1Char('\'')
            && (i == 0 || !isIdentChar(sql[i - 1]))) {
            continue; // drop the N; the quote opens the literal next round
        }
        out += c;
    }
    return out;
}

QString OrderedByKey(const QString& sql, const QString& key)
{
    // literals may hold any words: only the statement's own text counts
    static const QRegularExpression literal(QStringLiteral("'(?:[^']|'')*'"));
    static const QRegularExpression orderBy(QStringLiteral("\\border\\s+by\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    if (QString(sql).remove(literal).contains(orderBy))
        return sql;
    QString s = sql;
    while (s.endsWith(QLatin1Char(' ')))
        s.chop(1);
    return s + QStringLiteral(" order by ") + key;
}

namespace {

// Where the last ORDER BY outside parentheses begins and its terms begin (-1 when none),
// literals left out.
std::pair<qsizetype, qsizetype> lastOrderBy(const QString& sql, QString* masked)
{
    static const QRegularExpression literal(QStringLiteral("'(?:[^']|'')*'"));
    static const QRegularExpression orderBy(QStringLiteral("\\border\\s+by\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    // literals blanked in place: positions stay those of the statement
    QString text = sql;
    for (auto it = literal.globalMatch(sql); it.hasNext();) {
        const auto m = it.next();
        for (qsizetype i = m.capturedStart() + 1; i < m.capturedEnd() - 1; ++i)
            text[i] = QLatin1Char('_');
    }
    std::pair<qsizetype, qsizetype> last{-1, -1};
    for (auto it = orderBy.globalMatch(text); it.hasNext();) {
        const auto m = it.next();
        int depth = 0;
        for (qsizetype i = 0; i < m.capturedStart(); ++i)
            depth += text[i] == QLatin1Char('(') ? 1 : text[i] == QLatin1Char(')') ? -1 : 0;
        if (depth == 0)
            last = {m.capturedStart(), m.capturedEnd()};
    }
    if (masked)
        *masked = text;
    return last;
}

} // namespace

QStringList OrderColumns(const QString& sql)
{
    static const QRegularExpression term(QStringLiteral("^\\s*(?:[A-Za-z_][A-Za-z0-9_]*\\.)?([A-Za-z_][A-Za-z0-9_]*)"
                                                        "(?:\\s+asc)?\\s*$"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString text;
    const qsizetype last = lastOrderBy(sql, &text).second;
    if (last < 0)
        return {};
    QString tail = text.mid(last).trimmed();
    while (tail.endsWith(QLatin1Char(';')))
        tail = tail.chopped(1).trimmed();
    QStringList columns;
    for (const QString& t : tail.split(QLatin1Char(','))) {
        const auto m = term.match(t);
        if (!m.hasMatch())
            return {};
        columns << m.captured(1);
    }
    return columns;
}

QString Unordered(const QString& sql)
{
    QString s = sql.trimmed();
    while (s.endsWith(QLatin1Char(';')))
        s = s.chopped(1).trimmed();
    const qsizetype at = lastOrderBy(s, nullptr).first;
    if (at < 0)
        return s;
    if (OrderColumns(s).isEmpty())
        return {};
    return s.left(at).trimmed();
}

QString BoolIs(const QString& column, bool value)
{
    return QStringLiteral("coalesce(") + column + (value ? QStringLiteral(",0)<>0") : QStringLiteral(",0)=0"));
}

} // namespace db
