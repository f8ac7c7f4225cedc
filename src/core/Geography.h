#pragma once
// Provinces and cities of the tax identities, and the lookup of a city by its id.

#include <QString>
#include <memory>

namespace db { class Connection; }

class TProvince {
public:
    // Throws TValidationError "استان را انتخاب نماييد." when the id or the name is empty.
    TProvince(const QString& id, const QString& name);
    QString ProvinceId;
    QString ProvinceName;
};

class TCity {
public:
    // Throws TValidationError "شهر مورد نظر را انتخاب نماييد." when the id or the name is
    // empty, "استان را تعيين نماييد." without a province. The province is copied.
    TCity(const QString& id, const QString& name, const TProvince* province);
    QString CityId;
    QString CityName;
    TProvince Province;
};

// The city with its province; throws TValidationError "شهري با کد وارد شده يافت نشد."
// when no city with a province has that id (an id that is not a number included).
std::unique_ptr<TCity> GetCityById(db::Connection& conn, const QString& cityId);
// The same on the data module's connection.
std::unique_ptr<TCity> GetCityById(const QString& cityId);
