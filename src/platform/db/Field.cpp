#include "platform/db/Field.h"

#include "platform/db/DataSet.h"
#include "platform/db/Decimal.h"
#include "platform/db/Errors.h"
#include "platform/db/Format.h"
#include "platform/db/Sql.h"

#include <QScopedValueRollback>
#include <cmath>
#include <limits>

namespace db {

namespace {

QString notANumber(const QString& label, const QString& s)
{
    return QStringLiteral("«%1»: '%2' عدد معتبري نيست").arg(label, s);
}

QString outOfRange(const QString& label, qint64 lo, qint64 hi)
{
    return QStringLiteral("«%1» بايد عددي از %2 تا %3 باشد").arg(label).arg(lo).arg(hi);
}

QString tooLarge(const QString& label)
{
    return QStringLiteral("«%1»: مبلغ وارد شده بيش از حد مجاز است").arg(label);
}

QString tooManyDecimals(const QString& label, int allowed)
{
    return QStringLiteral("«%1»: حداکثر %2 رقم اعشار مجاز است").arg(label).arg(allowed);
}

[[noreturn]] void refuse(const QString& message) { throw DbError(ErrorCategory::Other, message); }

} // namespace

bool Field::IsNumeric() const
{
    switch (def_.type) {
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::SmallInt:
    case FieldType::Float:
    case FieldType::Currency: return true;
    default: return false;
    }
}

Qt::Alignment Field::Alignment() const
{
    if (def_.alignment)
        return def_.alignment;
    return IsNumeric() ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeading | Qt::AlignVCenter;
}

qint64 Field::MinValue() const
{
    if (def_.minValue != 0 || def_.maxValue != 0)
        return def_.minValue;
    return def_.type == FieldType::SmallInt ? -32768 : std::numeric_limits<qint32>::min();
}

qint64 Field::MaxValue() const
{
    if (def_.minValue != 0 || def_.maxValue != 0)
        return def_.maxValue;
    return def_.type == FieldType::SmallInt ? 32767 : std::numeric_limits<qint32>::max();
}

QString Field::TooLongMessage() const
{
    return QStringLiteral("«%1» بيش از %2 حرف است").arg(DisplayLabel()).arg(def_.size);
}

QVariant Field::Value() const { return ds_->fieldValue(this); }

bool Field::IsNull() const
{
    const QVariant v = Value();
    return v.isNull() || !v.isValid();
}

QString Field::AsString() const
{
    const QVariant v = Value();
    if (v.isNull() || !v.isValid())
        return {};
    switch (v.typeId()) {
    case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double: return GeneralFloat(v.toDouble());
    case QMetaType::QByteArray: return QString::fromUtf8(v.toByteArray());
    default: return v.toString();
    }
}

double Field::AsFloat() const
{
    const QVariant v = Value();
    if (v.isNull() || !v.isValid())
        return 0;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1 : 0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    return ok ? d : 0;
}

qint64 Field::AsLargeInt() const
{
    const QVariant v = Value();
    if (v.isNull() || !v.isValid())
        return 0;
    if (v.typeId() == QMetaType::Double)
        return RoundToInt64(v.toDouble());
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1 : 0;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (ok)
        return n;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? RoundToInt64(d) : 0;
}

bool Field::AsBoolean() const
{
    const QVariant v = Value();
    if (v.isNull() || !v.isValid())
        return false;
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        return s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || (s.toDouble() != 0);
    }
    return v.toDouble() != 0;
}

QByteArray Field::AsBytes() const { return ds_->fieldBytes(this); }

QString Field::DisplayText() const
{
    const QVariant v = Value();
    if (v.isNull() || !v.isValid())
        return {};
    if (IsNumeric() && !def_.displayFormat.isEmpty())
        return formatNumber(v.toDouble(), def_.displayFormat);
    return AsString();
}

QString Field::Text() const { return AsString(); }

// inside OnSetText the value is still the typed one: checked whole, never cut
void Field::SetValue(const QVariant& v) { ds_->setFieldValue(this, v, settingText_); }

void Field::SetText(const QString& typed)
{
    // numbers and masked texts (dates) take Persian and Arabic-Indic digits as ASCII digits
    const QString text = IsNumeric() || !def_.editMask.isEmpty() ? ToAsciiDigits(WithoutNul(typed)) : WithoutNul(typed);
    QScopedValueRollback<bool> typing(settingText_, true);
    if (OnSetText) {
        OnSetText(*this, text);
        return;
    }
    if (text.isEmpty() && !IsText())
        SetValue(QVariant());
    else
        ds_->setFieldValue(this, QVariant(text), true);
}

QVariant Field::Coerce(const QVariant& v, bool cut) const
{
    if (v.isNull() || !v.isValid())
        return {};
    const bool isText = v.typeId() == QMetaType::QString;
    // calculated and lookup values are the program's own and never stored
    const bool checked = def_.kind == FieldKind::Data;
    switch (def_.type) {
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::SmallInt: {
        qint64 n;
        if (v.typeId() == QMetaType::Bool) {
            n = v.toBool() ? 1 : 0;
        } else if (isText || v.typeId() == QMetaType::Double) {
            const QString s = isText ? v.toString().trimmed() : QString();
            if (isText && s.isEmpty())
                return {};
            bool ok = false;
            n = isText ? s.toLongLong(&ok) : 0;
            if (!ok) {
                double d = isText ? s.toDouble(&ok) : v.toDouble();
                // a typed fraction is no whole number; the program's own values are rounded
                if (isText ? (!ok || !std::isfinite(d) || d != std::floor(d)) : !std::isfinite(d))
                    refuse(notANumber(DisplayLabel(), isText ? s : QString::number(d)));
                d = std::nearbyint(d);
                if (std::fabs(d) >= 9.2e18)
                    refuse(outOfRange(DisplayLabel(), MinValue(), MaxValue()));
                n = qint64(d);
            }
        } else {
            n = v.toLongLong();
        }
        if (checked && (n < MinValue() || n > MaxValue()))
            refuse(outOfRange(DisplayLabel(), MinValue(), MaxValue()));
        return QVariant(n);
    }
    case FieldType::Boolean: {
        if (isText) {
            const QString s = v.toString().trimmed();
            return QVariant(s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || s.toDouble() != 0);
        }
        return QVariant(v.toDouble() != 0);
    }
    case FieldType::Float:
    case FieldType::Currency: {
        const bool amount = def_.type == FieldType::Currency;
        double d;
        if (isText) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return {};
            bool ok = false;
            d = s.toDouble(&ok);
            if (!ok || (checked && !std::isfinite(d)))
                refuse(notANumber(DisplayLabel(), s));
            if (amount && checked && std::fabs(d) < AmountLimit) {
                // typed amounts are stored exactly or refused, never rounded
                Decimal typed;
                if (!Decimal::FromText(s, &typed))
                    typed = Decimal::FromDouble(d);
                if (typed.Decimals() > AmountDecimals)
                    refuse(tooManyDecimals(DisplayLabel(), AmountDecimals));
                d = typed.ToDouble();
            }
        } else if (v.typeId() == QMetaType::Bool) {
            d = v.toBool() ? 1 : 0;
        } else {
            d = v.toDouble();
            if (checked && !std::isfinite(d))
                refuse(notANumber(DisplayLabel(), QString::number(d)));
        }
        // the program's own values are held at the column's scale, rounded on their decimal value
        if (amount && std::isfinite(d))
            d = RoundDecimal(d, AmountDecimals);
        if (checked && amount && std::fabs(d) >= AmountLimit)
            refuse(tooLarge(DisplayLabel()));
        return QVariant(d);
    }
    case FieldType::String: {
        QString s = WithoutNul(v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString());
        if (cut && def_.size > 0 && s.size() > def_.size) {
            // never half a surrogate pair
            const bool split = s.at(def_.size - 1).isHighSurrogate();
            s.truncate(split ? def_.size - 1 : def_.size);
        }
        return QVariant(s);
    }
    case FieldType::Memo:
        return QVariant(WithoutNul(v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString()));
    case FieldType::Blob: return QVariant(v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8());
    case FieldType::Unknown: return v;
    }
    return v;
}

} // namespace db
