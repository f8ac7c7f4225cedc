#include "platform/db/Errors.h"

#include <QtGlobal>
#include <atomic>
#include <limits>

namespace db {

namespace {

constexpr quint64 kNoAction = std::numeric_limits<quint64>::max();

std::atomic<quint64> action{0};
std::atomic<quint64> lostReportedIn{kNoAction};   // the action in which the server was reported away

QString headline(ErrorCategory category)
{
    switch (category) {
    case ErrorCategory::Locked: return lockedText();
    case ErrorCategory::RowNotFound: return rowNotFoundText();
    case ErrorCategory::ConnectionLost: return connectionLostText();
    case ErrorCategory::Other: break;
    }
    return engineErrorText();
}

} // namespace

DbError::DbError(ErrorCategory category, const QString& message)
    : std::runtime_error(message.toStdString()), category_(category), message_(message)
{
}

DbError DbError::fromEngine(ErrorCategory category, const QString& engineText, const QString& statement)
{
    const QString text = engineText.trimmed();
    QString shown = headline(category);
    if (!text.isEmpty())
        shown += QLatin1Char('\n') + text;
    DbError e(category, shown);
    e.engineText_ = text;
    e.statement_ = statement;
    return e;
}

QString rowNotFoundText()
{
    return QStringLiteral("اين رديف در جاي ديگري حذف يا تغيير داده شده است و چيزي ذخيره نشد.\n"
                          "ليست را به روز کنيد و دوباره سعي کنيد.");
}

QString lockedText()
{
    return QStringLiteral("اين اطلاعات در همين لحظه در دست کاربر ديگري است و کار انجام نشد.\n"
                          "چند لحظه بعد دوباره سعي کنيد.");
}

QString connectionLostText() { return QStringLiteral("ارتباط با سرور پايگاه داده برقرار نيست"); }

QString engineErrorText() { return QStringLiteral("خطايي در پايگاه داده پيش آمد"); }

void beginAction() { ++action; }

quint64 currentAction() { return action; }

QString textToShow(const DbError& e)
{
    if (e.shown_)
        return {};
    e.shown_ = true;
    if (!e.statement().isEmpty() || !e.engineText().isEmpty())
        qWarning("database error: %s\n  statement: %s", qPrintable(e.engineText()), qPrintable(e.statement()));
    if (lostReportedIn == action)
        return {};
    if (e.category() == ErrorCategory::ConnectionLost)
        lostReportedIn = action.load();
    return e.message();
}

} // namespace db
