#include "core/Geography.h"

#include "core/TDm.h"
#include "platform/db/Connection.h"
#include "ui/Validators.h"

namespace {

QString cellText(db::Cursor& cur, int c)
{
    const std::string_view v = cur.text(c);
    return QString::fromUtf8(v.data(), qsizetype(v.size()));
}

} // namespace

TProvince::TProvince(const QString& id, const QString& name) : ProvinceId(id), ProvinceName(name)
{
    if (id.isEmpty() || name.isEmpty())
        throw TValidationError(QStringLiteral("استان را انتخاب نماييد."));
}

TCity::TCity(const QString& id, const QString& name, const TProvince* province)
    : CityId(id), CityName(name), Province(province ? *province : TProvince(QStringLiteral("-"), QStringLiteral("-")))
{
    if (id.isEmpty() || name.isEmpty())
        throw TValidationError(QStringLiteral("شهر مورد نظر را انتخاب نماييد."));
    if (!province)
        throw TValidationError(QStringLiteral("استان را تعيين نماييد."));
}

std::unique_ptr<TCity> GetCityById(db::Connection& conn, const QString& cityId)
{
    const QString notFound = QStringLiteral("شهري با کد وارد شده يافت نشد.");
    bool ok = false;
    const qint64 id = cityId.trimmed().toLongLong(&ok);
    if (!ok)
        throw TValidationError(notFound);
    auto cur = conn.query(QStringLiteral("select a.cityId as cityId, a.cityName as cityName, b.provinceId as provinceId, "
                                         "b.proviceName as proviceName from city a inner join province b on "
                                         "a.provinceId = b.provinceId where a.cityId = $1"),
                          {QVariant(id)});
    if (!cur->next())
        throw TValidationError(notFound);
    const TProvince province(cellText(*cur, 2), cellText(*cur, 3));
    return std::make_unique<TCity>(cellText(*cur, 0), cellText(*cur, 1), &province);
}

std::unique_ptr<TCity> GetCityById(const QString& cityId)
{
    return GetCityById(*Dm->Conn, cityId);
}
