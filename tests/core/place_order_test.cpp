// Provinces and cities are listed in Persian alphabetical order on both engines.
#include "records_fixture.h"

namespace {

using PlaceOrderTest = RecordsTest;

QStringList names(db::DataSet* ds, const char* field)
{
    QStringList out;
    for (ds->First(); !ds->Eof(); ds->Next())
        out << ds->FieldByName(QString::fromLatin1(field))->AsString();
    return out;
}

TEST_P(PlaceOrderTest, ProvincesAndCitiesInPersianAlphabeticalOrder)
{
    dm->Conn->exec(QStringLiteral("delete from city"));
    dm->Conn->exec(QStringLiteral("delete from province"));
    // Arabic and Persian yeh and kaf both occur in stored names
    const char* provinces[] = {"همدان", "گیلان", "کردستان", "چهارمحال و بختیاری", "تهران", "آذربايجان شرقي", "يزد",
                               "اصفهان", "ژاپن", "پارس"};
    int id = 0;
    for (const char* p : provinces)
        dm->Conn->exec(QStringLiteral("insert into province (provinceId, proviceName) values ($1, $2)"),
                       {++id, QString::fromUtf8(p)});
    for (const char* c : {"کرج", "گرگان", "چالوس", "بابل", "زنجان", "ژیان"})
        dm->Conn->exec(QStringLiteral("insert into city (cityId, provinceId, cityName) values ($1, 1, $2)"),
                       {++id, QString::fromUtf8(c)});
    dm->QProvince->Close();
    dm->QProvince->Open();
    EXPECT_EQ(names(dm->QProvince, "proviceName"),
              (QStringList{"آذربايجان شرقي", "اصفهان", "پارس", "تهران", "چهارمحال و بختیاری", "ژاپن", "کردستان", "گیلان",
                           "همدان", "يزد"}));
    dm->tblCity->Close();
    dm->tblCity->Open();
    dm->tblCity->setFilter(QStringLiteral("provinceId = 1"));
    dm->tblCity->setFiltered(true);
    EXPECT_EQ(names(dm->tblCity, "cityName"), (QStringList{"بابل", "چالوس", "زنجان", "ژیان", "کرج", "گرگان"}));
}

DOVIN_INSTANTIATE_ENGINES(PlaceOrderTest);

} // namespace
