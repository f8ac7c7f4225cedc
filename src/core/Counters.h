#pragma once
// Document counters of the row akey = 1 of t_snums: snum (deals), hnum (expenses
// and incomes). A counter holding digits only is a number; any other text (also
// an empty one) is handed out unchanged and never advanced.

#include <QString>

namespace db {
class Connection;
class DataSet;
}

// True for a non-empty text of ASCII digits only.
bool IsCounterNumber(const QString& text);

// The text after a counter's value: digits give the number plus one in shortest
// form ("124" -> "125", "0099" -> "100"), any other text stays as it is.
QString NextCounterText(const QString& stored);

// The number the next document would get; reads the counters row afresh through
// qnums (select * from t_snums where akey=1) and writes nothing.
QString NextNumber(db::DataSet& qnums, const QString& column);

// Claims the next number and returns it. Inside a transaction that is open on the
// connection the claim joins it (so it is undone with it); otherwise it runs in a
// transaction of its own. A row changed or locked by another writer is read again
// and retried for at most retryMs; then, like any other failure, the DbError is thrown.
QString IncrementCounter(db::DataSet& qnums, const QString& column, int retryMs = 5000);

// Whether the digits a stand for a larger number than the digits b ("0100" > "99").
bool CounterNumberAbove(const QString& a, const QString& b);

// Moves a counter forward to a document number the user typed, so numbering continues
// after it; a counter never moves backwards (a typed number at or below it leaves it), and
// only a number of digits is written. False when nothing was written.
bool WriteBackCounter(db::Connection& conn, const QString& column, const QString& typed);
