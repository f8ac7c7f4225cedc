#include "core/Counters.h"

#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"

#include <QDeadlineTimer>
#include <QRandomGenerator>
#include <QThread>

namespace {

bool isCounterColumn(const QString& column)
{
    return column.compare(QLatin1String("snum"), Qt::CaseInsensitive) == 0
        || column.compare(QLatin1String("hnum"), Qt::CaseInsensitive) == 0;
}

void checkColumn(const QString& column)
{
    if (!isCounterColumn(column))
        throw db::DbError(db::ErrorCategory::Other, QStringLiteral("Unknown counter: ") + column);
}

// Reads the counters row afresh; empty when the row is missing.
QString readCounter(db::DataSet& qnums, const QString& column)
{
    qnums.Close();
    qnums.Open();
    if (qnums.IsEmpty())
        return {};
    return qnums.FieldByName(column)->AsString();
}

QString claimOnce(db::DataSet& qnums, const QString& column)
{
    const QString stored = readCounter(qnums, column);
    if (!IsCounterNumber(stored))
        return stored;
    const QString next = NextCounterText(stored);
    qnums.Edit();
    try {
        qnums.FieldByName(column)->SetAsString(next);
        qnums.Post();   // updates by key and the value read: a row changed meanwhile is not found
    } catch (...) {
        qnums.Cancel();
        throw;
    }
    return next;
}

bool retryable(const db::DbError& e)
{
    return e.category() == db::ErrorCategory::Locked || e.category() == db::ErrorCategory::RowNotFound;
}

} // namespace

bool IsCounterNumber(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString NextCounterText(const QString& stored)
{
    if (!IsCounterNumber(stored))
        return stored;
    // decimal addition on the text: any length, no overflow
    QString digits = stored;
    int i = int(digits.size()) - 1;
    while (i >= 0 && digits[i] == QLatin1Char('9'))
        digits[i--] = QLatin1Char('0');
    if (i < 0)
        digits.prepend(QLatin1Char('1'));
    else
        digits[i] = QChar(digits[i].unicode() + 1);
    int lead = 0;
    while (lead < digits.size() - 1 && digits[lead] == QLatin1Char('0'))
        ++lead;
    return digits.mid(lead);
}

QString NextNumber(db::DataSet& qnums, const QString& column)
{
    checkColumn(column);
    return NextCounterText(readCounter(qnums, column));
}

QString IncrementCounter(db::DataSet& qnums, const QString& column, int retryMs)
{
    checkColumn(column);
    db::Connection& conn = *qnums.connection();
    const QDeadlineTimer deadline(retryMs);
    for (;;) {
        const bool joined = conn.inTransaction();
        try {
            QString result;
            if (joined) {
                conn.exec(QStringLiteral("SAVEPOINT dovin_counter"));
                try {
                    result = claimOnce(qnums, column);
                } catch (...) {
                    try {
                        conn.exec(QStringLiteral("ROLLBACK TO SAVEPOINT dovin_counter"));
                        conn.exec(QStringLiteral("RELEASE SAVEPOINT dovin_counter"));
                    } catch (const db::DbError&) {
                    }
                    throw;
                }
                conn.exec(QStringLiteral("RELEASE SAVEPOINT dovin_counter"));
            } else {
                db::inTransaction(conn, [&] { result = claimOnce(qnums, column); });
            }
            return result;
        } catch (const db::DbError& e) {
            if (!retryable(e) || deadline.hasExpired())
                throw;
        }
        QThread::msleep(10 + QRandomGenerator::global()->bounded(40));
    }
}

bool CounterNumberAbove(const QString& a, const QString& b)
{
    const auto digits = [](const QString& t) {
        int lead = 0;
        while (lead < t.size() - 1 && t[lead] == QLatin1Char('0'))
            ++lead;
        return t.mid(lead);
    };
    const QString x = digits(a), y = digits(b);
    return x.size() != y.size() ? x.size() > y.size() : x > y;
}

bool WriteBackCounter(db::Connection& conn, const QString& column, const QString& typed)
{
    checkColumn(column);
    if (!IsCounterNumber(typed))
        return false;
    const QString col = column.toLower();
    bool written = false;
    const auto write = [&] {
        // the row is locked first, so a claim of another workstation cannot slip in between
        conn.exec(QStringLiteral("update t_snums set %1=%1 where akey=1").arg(col));
        const QString stored = conn.scalar(QStringLiteral("select %1 from t_snums where akey=1").arg(col)).toString();
        if (IsCounterNumber(stored) && !CounterNumberAbove(typed, stored))
            return;   // never backwards: numbers already handed out are not handed out again
        conn.exec(QStringLiteral("update t_snums set %1=N%2 where akey=1").arg(col, db::Q(typed)));
        written = true;
    };
    if (conn.inTransaction())
        write();
    else
        db::inTransaction(conn, write);
    return written;
}
