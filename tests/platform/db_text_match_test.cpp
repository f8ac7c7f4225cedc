// Texts that reach a statement or a filter: LIKE with %, _ and \ in pattern and data gives
// the same rows on both engines and in the client filter; NUL characters are dropped on every
// way in; a lock met while rows are fetched is told apart from other errors.
#include "TestDb.h"

#include "platform/db/DataSet.h"
#include "platform/db/FilterExpr.h"
#include "platform/db/Sql.h"

#include <QSet>

using namespace db;
using testing_support::EngineTest;

namespace {

class TextMatchTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        conn().exec(QStringLiteral("create table t (id integer primary key, s varchar(20))"));
        const char* rows[] = {"%", "_", "\\", "%ab", "a%b", "x_y", "a\\b", "ABC", "abc", "آپارتمان", ""};
        int id = 0;
        for (const char* r : rows)
            conn().exec(QStringLiteral("insert into t (id, s) values ($1, $2)"), {++id, QString::fromUtf8(r)});
    }
    QSet<int> ids(const QString& sql)
    {
        QSet<int> out;
        auto cur = conn().query(sql);
        while (cur->next())
            out.insert(int(cur->toInt64(0)));
        return out;
    }
};

TEST_P(TextMatchTest, LikeGivesTheSameRowsOnBothEnginesAndInTheFilter)
{
    // rows: 1 "%", 2 "_", 3 "\", 4 "%ab", 5 "a%b", 6 "x_y", 7 "a\b", 8 "ABC", 9 "abc", 10 "آپارتمان", 11 ""
    const struct {
        const char* pattern;
        QSet<int> rows;
    } cases[] = {
        {"%", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}},
        {"%_%", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},    // a type "%" is found by a partial "_"
        {"%b%", {4, 5, 7, 8, 9}},                    // "%ab" found by a partial "b"
        {"%%%", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}, // a type "%" matches every type
        {"%\\%", {3, 7}},                            // a type "\" matches only a backslash
        {"\\%", {3}},
        {"%\\_%", {7}},                              // backslash, then any one character
        {"a_b", {5, 7}},
        {"_", {1, 2, 3}},
        {"abc", {8, 9}},                             // ASCII letters without regard to case
        {"%پار%", {10}},
        {"%a%b", {4, 5, 7}},
        {"x\\_y", {}},
    };
    DataSet ds(&conn());
    ds.setSQL(QStringLiteral("select * from t"));
    ds.Open();
    for (const auto& c : cases) {
        const QString pattern = QString::fromUtf8(c.pattern);
        EXPECT_EQ(ids(QStringLiteral("select id from t where ") + Like(QStringLiteral("s"), pattern)), c.rows)
            << "statement " << c.pattern;
        ds.setFilter(QStringLiteral("s like ") + Q(pattern));
        ds.setFiltered(true);
        QSet<int> filtered;
        for (ds.First(); !ds.Eof(); ds.Next())
            filtered.insert(ds.FieldByName(QStringLiteral("id"))->AsInteger());
        EXPECT_EQ(filtered, c.rows) << "filter " << c.pattern;
    }
}

TEST(FilterDigits, DigitsOfEveryScriptMatchAlike)
{
    const struct {
        const char* stored;
        const char* filter;
        bool match;
    } cases[] = {
        {"12", "s like '%۱۲%'", true},           // Persian digits typed into a search
        {"12", "s like '%١٢%'", true},           // Arabic-Indic
        {"پلاک ۱۲", "s like '%12%'", true},     // stored in Persian digits, typed in ASCII
        {"12", "s = '۱۲'", true},
        {"120", "s = '۱۲'", false},
        {"12", "s like '%۱۳%'", false},
        {"ABC۱", "s like 'abc1'", true},
    };
    for (const auto& c : cases) {
        const auto e = FilterExpr::parse(QString::fromUtf8(c.filter));
        EXPECT_EQ(e->eval([&](const QString&) { return QVariant(QString::fromUtf8(c.stored)); }), c.match)
            << c.stored << " " << c.filter;
    }
}

TEST_P(TextMatchTest, NulCharactersAreDroppedOnEveryWayIn)
{
    const QString nul = QStringLiteral("n") + QChar(0) + QStringLiteral("ul");
    const struct {
        const char* way;
        std::function<void(int id)> write;
    } ways[] = {
        {"literal", [&](int id) { conn().exec(QStringLiteral("insert into t (id, s) values (%1, %2)").arg(id).arg(Q(nul))); }},
        {"parameter", [&](int id) { conn().exec(QStringLiteral("insert into t (id, s) values ($1, $2)"), {id, nul}); }},
        {"statement text", [&](int id) {
             conn().exec(QStringLiteral("insert into t (id, s) values (%1, 'n").arg(id) + QChar(0) + QStringLiteral("ul')"));
         }},
        {"typed into a field", [&](int id) {
             conn().exec(QStringLiteral("insert into t (id, s) values ($1, '')"), {id});
             DataSet ds(&conn());
             ds.setSQL(QStringLiteral("select * from t where id = %1").arg(id));
             ds.Open();
             ds.Edit();
             ds.FieldByName(QStringLiteral("s"))->SetText(nul);
             ds.Post();
         }},
    };
    int id = 100;
    for (const auto& w : ways) {
        ASSERT_NO_THROW(w.write(++id)) << w.way;
        EXPECT_EQ(conn().scalar(QStringLiteral("select s from t where id = $1"), {id}).toString(), QStringLiteral("nul"))
            << w.way;
    }
    // a find text and a match text with a NUL find the same rows
    EXPECT_EQ(ids(QStringLiteral("select id from t where ") + Like(QStringLiteral("s"), QStringLiteral("%") + nul)),
              (QSet<int>{101, 102, 103, 104}));
    EXPECT_EQ(ids(QStringLiteral("select id from t where s = ") + Q(nul)), (QSet<int>{101, 102, 103, 104}));
}

TEST_P(TextMatchTest, ALockMetWhileFetchingIsALock)
{
    auto holder = testDb().open();
    holder->begin();
    holder->exec(QStringLiteral("update t set s = 'held' where id = 1"));
    auto other = isFile() ? Connection::openSqlite(testDb().location(), false, 50) : testDb().open();
    if (!isFile())
        other->exec(QStringLiteral("SET lock_timeout = '50ms'"));
    try {
        auto cur = other->query(QStringLiteral("update t set s = 'other' where id = 1 returning id"));
        while (cur->next()) {
        }
        ADD_FAILURE() << "the row was not locked";
    } catch (const DbError& e) {
        EXPECT_EQ(e.category(), ErrorCategory::Locked) << e.message().toStdString();
    }
    holder->rollback();
}

DOVIN_INSTANTIATE_ENGINES(TextMatchTest);

} // namespace
