// Typed values through the property record's fields and the post, on both engines: a date,
// a whole number of each range, an amount and a text; each either stored as typed or refused
// at the field with a Persian message naming it, the old value kept and the post untroubled.
#include "records_fixture.h"

#include "platform/widgets/FieldLink.h"

namespace {

class TypedInputTest : public RecordsTest {};

QString nulIn(const char* a, const char* b) { return QString::fromUtf8(a) + QChar(0) + QString::fromUtf8(b); }

TEST_P(TypedInputTest, EachKindOfFieldStoresOrRefusesTheWholeTypedText)
{
    const QString date = QStringLiteral("تاريخ وارد شده درست نمي باشد");
    const QString floorNaN = QStringLiteral("«طبقه»: '%1' عدد معتبري نيست");
    const QString floorRange = QStringLiteral("«طبقه» بايد عددي از 0 تا 255 باشد");
    const QString regionRange = QStringLiteral("«MantaghehID» بايد عددي از -2147483648 تا 2147483647 باشد");
    const QString priceNaN = QStringLiteral("«قيمت متري»: '%1' عدد معتبري نيست");
    const QString priceLimit = QStringLiteral("«قيمت متري»: مبلغ وارد شده بيش از حد مجاز است");
    const QString priceDecimals = QStringLiteral("«قيمت متري»: حداکثر 4 رقم اعشار مجاز است");
    const QString ownerLong = QStringLiteral("«نام مالک» بيش از 50 حرف است");
    const QString today = QStringLiteral("1403/01/06");
    const struct {
        const char* field;
        QString typed;
        QVariant stored;    // after the post: the typed value, or the value from before
        QString message;    // empty: none
    } cases[] = {
        // dates: checked whole, never cut first; an emptied date is refused silently
        {"tarikheraeh", QStringLiteral("1403/02/05"), QStringLiteral("1403/02/05"), {}},
        {"tarikheraeh", QStringLiteral("۱۴۰۳/۰۲/۰۵"), QStringLiteral("1403/02/05"), {}},
        {"tarikheraeh", QStringLiteral("١٤٠٣/٠٢/٠٥"), QStringLiteral("1403/02/05"), {}},
        {"tarikheraeh", QStringLiteral("1403/12/30"), QStringLiteral("1403/12/30"), {}},
        {"tarikheraeh", QStringLiteral("1402/01/011"), today, date},
        {"tarikheraeh", QStringLiteral("1403/2/5"), today, date},
        {"tarikheraeh", QStringLiteral("1403/13/01"), today, QStringLiteral("ماه وارد شده درست نمي باشد")},
        {"tarikheraeh", QStringLiteral("1402/12/30"), today, QStringLiteral("روز وارد شده درست نمي باشد")},
        {"tarikheraeh", QString(), today, {}},
        {"tarikheraeh", nulIn("1403/0", "2/05"), QStringLiteral("1403/02/05"), {}},
        // whole numbers: a byte column holds 0 to 255, an integer one the 32-bit range
        {"Tabagheh", QStringLiteral("3"), qint64(3), {}},
        {"Tabagheh", QStringLiteral("3.0"), qint64(3), {}},
        {"Tabagheh", QStringLiteral("255"), qint64(255), {}},
        {"Tabagheh", QStringLiteral("3.7"), qint64(0), floorNaN.arg(QStringLiteral("3.7"))},
        {"Tabagheh", QStringLiteral("70000"), qint64(0), floorRange},
        {"Tabagheh", QStringLiteral("256"), qint64(0), floorRange},
        {"Tabagheh", QStringLiteral("-1"), qint64(0), floorRange},
        {"Tabagheh", QStringLiteral("2e2"), qint64(200), {}},
        {"Tabagheh", QStringLiteral("x"), qint64(0), floorNaN.arg(QStringLiteral("x"))},
        {"Tabagheh", QString(), qint64(0), {}},
        {"MantaghehID", QStringLiteral("2147483647"), qint64(2147483647), {}},
        {"MantaghehID", QStringLiteral("2147483648"), qint64(0), regionRange},
        {"MantaghehID", QStringLiteral("-2147483649"), qint64(0), regionRange},
        // amounts: grouped text taken apart, four decimals, less than 10^15
        {"GhymatHarMeter", QStringLiteral("1,250"), 1250.0, {}},
        {"GhymatHarMeter", QStringLiteral("12.3457"), 12.3457, {}},
        {"GhymatHarMeter", QStringLiteral("12.34567"), 0.0, priceDecimals},
        {"GhymatHarMeter", QStringLiteral("2,500,000,000.55555"), 0.0, priceDecimals},
        {"GhymatHarMeter", QStringLiteral("۱,۲۵۰.۵"), 1250.5, {}},
        {"GhymatHarMeter", QStringLiteral("999,999,999,999,999"), 999999999999999.0, {}},
        {"GhymatHarMeter", QStringLiteral("-999999999999999"), -999999999999999.0, {}},
        {"GhymatHarMeter", QStringLiteral("1000000000000000"), 0.0, priceLimit},
        {"GhymatHarMeter", QStringLiteral("1e20"), 0.0, priceLimit},
        {"GhymatHarMeter", QStringLiteral("inf"), 0.0, priceNaN.arg(QStringLiteral("inf"))},
        {"GhymatHarMeter", QStringLiteral("12a"), 0.0, priceNaN.arg(QStringLiteral("12a"))},
        {"GhymatHarMeter", QStringLiteral("-"), 0.0, {}},
        // texts: up to the column's width, NUL characters dropped
        {"MalekEsm", QString(50, QChar(0x0627)), QString(50, QChar(0x0627)), {}},
        {"MalekEsm", QString(51, QChar(0x0627)), QString(), ownerLong},
        {"MalekEsm", nulIn("O'Ha", "ra"), QStringLiteral("O'Hara"), {}},
    };
    db::DataSet* q = dm->QMelk;
    for (const auto& c : cases) {
        const std::string name = std::string(c.field) + " <- " + c.typed.toStdString();
        q->Append();
        f(q, "ForSell")->SetAsBoolean(true);
        prompter.calls.clear();
        const bool taken = widgets::guarded([&] { f(q, c.field)->SetText(c.typed); });
        EXPECT_EQ(taken, c.message.isEmpty() && !(c.typed.isEmpty() && QByteArray(c.field) == "tarikheraeh")) << name;
        EXPECT_EQ(prompter.messages(), c.message.isEmpty() ? QStringList() : QStringList{c.message}) << name;
        ASSERT_NO_THROW(dm->PostInTransaction(*q)) << name;
        const QVariant stored = scalar(QStringLiteral("select %1 from T_Melk where MID = %2")
                                           .arg(QLatin1String(c.field), s(q, "MID")));
        if (c.stored.typeId() == QMetaType::Double)
            EXPECT_DOUBLE_EQ(stored.toDouble(), c.stored.toDouble()) << name;
        else if (c.stored.typeId() == QMetaType::LongLong)
            EXPECT_EQ(stored.toLongLong(), c.stored.toLongLong()) << name;
        else
            EXPECT_EQ(stored.toString(), c.stored.toString()) << name;
    }
}

DOVIN_INSTANTIATE_ENGINES(TypedInputTest);

} // namespace
