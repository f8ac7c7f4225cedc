#include "core/Geography.h"

#include "TestDb.h"
#include "ui/Validators.h"

namespace {

using testing_support::EngineTest;

const char* NotFound = "شهري با کد وارد شده يافت نشد.";

class GeographyTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        // no foreign key, so a city without its province can be stored
        conn().exec(QStringLiteral("create table province (provinceId integer primary key, proviceName varchar(50))"));
        conn().exec(QStringLiteral("create table city (CityId integer primary key, provinceId integer, CityName varchar(50))"));
        conn().exec(QStringLiteral("insert into province values (10, 'آذربایجان شرقی')"));
        conn().exec(QStringLiteral("insert into province values (23, 'تهران')"));
        conn().exec(QStringLiteral("insert into city values (100001, 10, 'تبریز')"));
        conn().exec(QStringLiteral("insert into city values (230001, 23, 'تهران')"));
        conn().exec(QStringLiteral("insert into city values (990001, 99, 'بی استان')"));
    }

    QString lookup(const QString& id)
    {
        try {
            auto city = GetCityById(conn(), id);
            return city->CityId + QLatin1Char('|') + city->CityName + QLatin1Char('|') + city->Province.ProvinceId +
                   QLatin1Char('|') + city->Province.ProvinceName;
        } catch (const TValidationError& e) {
            return e.message();
        }
    }
};

TEST_P(GeographyTest, CityByIdWithItsProvince)
{
    const struct {
        const char* id;
        const char* result;
    } cases[] = {
        {"100001", "100001|تبریز|10|آذربایجان شرقی"},
        {"230001", "230001|تهران|23|تهران"},
        {" 230001", "230001|تهران|23|تهران"},
        {"990001", NotFound},          // a city whose province is missing
        {"100002", NotFound},
        {"", NotFound},
        {"-1", NotFound},
        {"10 or 1=1", NotFound},       // never reaches the statement as text
        {"100001; drop table city", NotFound},
        {"abc", NotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(lookup(QString::fromUtf8(c.id)), QString::fromUtf8(c.result));
    }
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from city")).toInt(), 3);
}

TEST_P(GeographyTest, ProvinceAndCityNeedTheirParts)
{
    const auto message = [](auto fn) {
        try {
            fn();
        } catch (const TValidationError& e) {
            return e.message();
        }
        return QString();
    };
    const TProvince p(QStringLiteral("10"), QStringLiteral("x"));
    const QString chooseProvince = QStringLiteral("استان را انتخاب نماييد.");
    const QString chooseCity = QStringLiteral("شهر مورد نظر را انتخاب نماييد.");
    EXPECT_EQ(message([] { TProvince(QString(), QStringLiteral("x")); }), chooseProvince);
    EXPECT_EQ(message([] { TProvince(QStringLiteral("10"), QString()); }), chooseProvince);
    EXPECT_EQ(message([&] { TCity(QString(), QStringLiteral("y"), &p); }), chooseCity);
    EXPECT_EQ(message([&] { TCity(QStringLiteral("1"), QString(), &p); }), chooseCity);
    EXPECT_EQ(message([] { TCity(QStringLiteral("1"), QStringLiteral("y"), nullptr); }),
              QStringLiteral("استان را تعيين نماييد."));
    EXPECT_EQ(TCity(QStringLiteral("1"), QStringLiteral("y"), &p).Province.ProvinceId, QStringLiteral("10"));
}

DOVIN_INSTANTIATE_ENGINES(GeographyTest);

} // namespace
