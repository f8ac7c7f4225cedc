// Stored numbers beyond what a whole-number reading holds: read as whole numbers they stop
// at the 64-bit range instead of wrapping (an out-of-range conversion is undefined), on both
// engines, through a floating field, a whole-number field and the grid's text.
#include "TestDb.h"

#include "platform/db/DataSet.h"

#include <limits>

using namespace db;
using testing_support::EngineTest;

namespace {

class NumberEdgesTest : public EngineTest {};

TEST_P(NumberEdgesTest, HugeStoredNumbersReadAsWholeNumbersStopAtTheRange)
{
    constexpr qint64 top = std::numeric_limits<qint64>::max(), bottom = std::numeric_limits<qint64>::min();
    const struct {
        double stored;
        qint64 rounded;     // AsLargeInt of the floating field
        qint64 whole;       // the value of a field declared whole
        const char* text;   // the grid's text
    } rows[] = {
        {1e300, top, top, "1E300"},
        {-1e300, bottom, bottom, "-1E300"},
        {1e19, top, top, "1E19"},
        {2.5, 2, 2, "2.5"},
        {-7, -7, -7, "-7"},
    };
    conn().exec(QStringLiteral("create table n (id integer primary key, d double precision)"));
    int id = 0;
    for (const auto& r : rows)
        conn().exec(QStringLiteral("insert into n (id, d) values ($1, $2)"), {++id, r.stored});

    DataSet real(&conn()), whole(&conn());
    for (DataSet* ds : {&real, &whole})
        ds->setSQL(QStringLiteral("select * from n order by id"));
    whole.fieldDef(QStringLiteral("d")).type = FieldType::Integer;
    real.Open();
    whole.Open();
    const int d = real.FieldByName(QStringLiteral("d"))->Index();
    for (int row = 0; row < int(std::size(rows)); ++row) {
        real.SetRecNo(row + 1);
        whole.SetRecNo(row + 1);
        EXPECT_EQ(real.FieldByName(QStringLiteral("d"))->AsLargeInt(), rows[row].rounded) << rows[row].stored;
        EXPECT_EQ(whole.FieldByName(QStringLiteral("d"))->AsLargeInt(), rows[row].whole) << rows[row].stored;
        EXPECT_EQ(real.DisplayTextAt(row, d), QString::fromLatin1(rows[row].text)) << rows[row].stored;
    }
}

DOVIN_INSTANTIATE_ENGINES(NumberEdgesTest);

} // namespace
