#pragma once
// Helpers for SQL text built by hand.

#include <QString>
#include <QStringList>

namespace db {

// The SQL string literal of a text: single quotes around it, inner quotes doubled, NUL
// characters dropped (neither engine keeps them alike).
QString Q(const QString& text);

// The text without NUL characters.
QString WithoutNul(const QString& text);

// "expr like pattern" giving the same rows on both engines: "%" and "_" of the pattern are
// wildcards, every other character (the backslash too) stands for itself, and ASCII
// letters match without regard to case.
QString Like(const QString& expr, const QString& pattern);

// A boolean column tested as the datasets read booleans: any non-zero is true, NULL is
// false ("coalesce(c,0)<>0" or "coalesce(c,0)=0"), whatever true was written as.
QString BoolIs(const QString& column, bool value);

// A statement that gives no order of its own ordered by the table's key, so both engines
// list the same rows in the same order (an edited row keeps its place on the server).
QString OrderedByKey(const QString& sql, const QString& key);

// The columns a statement's rows come in the order of, first to last: its last ORDER BY
// outside parentheses, when nothing follows it and every term is a column (qualified or
// not, the qualifier left out) in ascending order; empty otherwise.
QStringList OrderColumns(const QString& sql);
// The statement without the ORDER BY OrderColumns reads (nor a closing ';'); the statement
// itself when it has no ORDER BY outside parentheses; empty when it has another kind.
QString Unordered(const QString& sql);

// Removes the N of every N'...' that opens a literal (outside literals only):
// a=N'x' becomes a='x'; the text of literals is never touched.
QString stripNationalPrefix(const QString& sql);

} // namespace db
