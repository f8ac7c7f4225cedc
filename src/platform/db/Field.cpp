#include "platform/db/Field.h"

#include "platform/db/DataSet.h"
#include "platform/db/Errors.h"
#include "platform/db/Format.h"

#include <cmath>

namespace db {

namespace {

// General float text: up to 15 significant digits, no exponent below 1e15, "E" exponents.
QString generalFloat(double v)
{
    if (v == std::floor(v) && std::fabs(v) < 1e15)
        return QString::number(qint64(v));
    QString s = QString::number(v, 'g', 15);
    s.replace(QLatin1String("e+"), QLatin1String("E"));
    s.replace(QLatin1Char('e'), QLatin1Char('E'));
    return s;
}

QString notANumber(const QString& s)
{
    return QStringLiteral("'%1' عدد معتبري نيست").arg(s);
}

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
    case QMetaType::Double: return generalFloat(v.toDouble());
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
        return qint64(std::nearbyint(v.toDouble()));
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1 : 0;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (ok)
        return n;
    const double d = v.toString().trimmed().toDouble(&ok);
    return ok ? qint64(std::nearbyint(d)) : 0;
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

QByteArray Field::AsBytes() const
{
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QByteArray)
        return v.toByteArray();
    return v.toString().toUtf8();
}

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

void Field::SetValue(const QVariant& v) { ds_->setFieldValue(this, v); }

void Field::SetText(const QString& text)
{
    if (OnSetText) {
        OnSetText(*this, text);
        return;
    }
    if (text.isEmpty() && !IsText())
        SetValue(QVariant());
    else
        SetValue(QVariant(text));
}

QVariant Field::Coerce(const QVariant& v) const
{
    if (v.isNull() || !v.isValid())
        return {};
    const bool isText = v.typeId() == QMetaType::QString;
    switch (def_.type) {
    case FieldType::Integer:
    case FieldType::AutoInc:
    case FieldType::SmallInt: {
        if (v.typeId() == QMetaType::Bool)
            return QVariant(qint64(v.toBool() ? 1 : 0));
        if (isText) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return {};
            bool ok = false;
            qint64 n = s.toLongLong(&ok);
            if (!ok) {
                const double d = s.toDouble(&ok);
                if (!ok || std::fabs(d) > 9.2e18)
                    throw DbError(ErrorCategory::Other, notANumber(s));
                n = qint64(std::nearbyint(d));
            }
            return QVariant(n);
        }
        if (v.typeId() == QMetaType::Double)
            return QVariant(qint64(std::nearbyint(v.toDouble())));
        return QVariant(v.toLongLong());
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
        double d;
        if (isText) {
            const QString s = v.toString().trimmed();
            if (s.isEmpty())
                return {};
            bool ok = false;
            d = s.toDouble(&ok);
            if (!ok)
                throw DbError(ErrorCategory::Other, notANumber(s));
        } else if (v.typeId() == QMetaType::Bool) {
            d = v.toBool() ? 1 : 0;
        } else {
            d = v.toDouble();
        }
        if (def_.type == FieldType::Currency && std::fabs(d) < 1e14)
            d = double(std::nearbyint(static_cast<long double>(d) * 10000.0L) / 10000.0L);
        return QVariant(d);
    }
    case FieldType::String: {
        QString s = v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString();
        if (def_.size > 0 && s.size() > def_.size)
            s.truncate(def_.size);
        return QVariant(s);
    }
    case FieldType::Memo:
        return QVariant(v.typeId() == QMetaType::QByteArray ? QString::fromUtf8(v.toByteArray()) : v.toString());
    case FieldType::Blob: return QVariant(v.typeId() == QMetaType::QByteArray ? v.toByteArray() : v.toString().toUtf8());
    case FieldType::Unknown: return v;
    }
    return v;
}

} // namespace db
