// Column storage: values survive chunk boundaries, large values, late nulls and rewrites.
#include "platform/db/ColumnStore.h"

#include <functional>
#include <gtest/gtest.h>

using db::ColumnStore;

TEST(ColumnStore, TextAcrossChunksLargeValuesAndSharing)
{
    ColumnStore s(ColumnStore::Rep::Text);
    std::vector<QString> expect;
    for (int i = 0; i < 20000; ++i) {
        // repeats, fresh values and growing lengths cross many chunk boundaries
        const QString v = i % 3 == 0 ? QStringLiteral("آپارتمان") : QStringLiteral("مقدار %1 ").arg(i).repeated(1 + i % 7);
        const QByteArray b = v.toUtf8();
        s.fastText(b.constData(), size_t(b.size()));
        expect.push_back(v);
    }
    const QByteArray big(700 * 1024, 'x');
    s.fastText(big.constData(), size_t(big.size()));
    s.fastText("", 0);
    s.fastText("tail", 4);
    ASSERT_EQ(s.size(), expect.size() + 3);
    for (size_t i = 0; i < expect.size(); ++i)
        ASSERT_EQ(s.text(i), expect[i]) << i;
    EXPECT_EQ(s.get(expect.size()).toString().size(), big.size());
    EXPECT_EQ(s.text(expect.size() + 1), QString());
    EXPECT_FALSE(s.isNull(expect.size() + 1));
    EXPECT_EQ(s.text(expect.size() + 2), QStringLiteral("tail"));
}

TEST(ColumnStore, NullsArriveLateAndRewritesKeepOtherRows)
{
    ColumnStore n(ColumnStore::Rep::Real);
    for (int i = 0; i < 1000; ++i)
        n.fastReal(i * 0.5);
    n.fastNull();
    n.fastReal(7);
    EXPECT_FALSE(n.isNull(999));
    EXPECT_TRUE(n.isNull(1000));
    EXPECT_DOUBLE_EQ(n.number(1001), 7.0);
    n.set(10, QVariant());
    n.set(1000, QVariant(2.5));
    EXPECT_TRUE(n.isNull(10));
    EXPECT_FALSE(n.isNull(1000));
    EXPECT_DOUBLE_EQ(n.get(1000).toDouble(), 2.5);
    EXPECT_DOUBLE_EQ(n.get(11).toDouble(), 5.5);

    ColumnStore t(ColumnStore::Rep::Text);
    t.fastText("a", 1);
    t.fastText("a", 1);
    t.set(0, QStringLiteral("b"));
    EXPECT_EQ(t.text(0), QStringLiteral("b"));
    EXPECT_EQ(t.text(1), QStringLiteral("a")); // a shared value is not changed through another row

    ColumnStore u; // type unknown until the first value
    u.appendNull();
    u.appendInt(5);
    EXPECT_EQ(u.rep(), ColumnStore::Rep::Int);
    EXPECT_TRUE(u.isNull(0));
    EXPECT_EQ(u.get(1).toLongLong(), 5);
}

TEST(ColumnStore, LargeColumnsKeepEveryValueWhileGrowing)
{
    // a few hundred thousand values move from the heap into a mapping of their own and grow there
    ColumnStore s(ColumnStore::Rep::Int);
    const qint64 n = 300000;
    for (qint64 i = 0; i < n; ++i) {
        if (i % 1000 == 999)
            s.fastNull();
        else
            s.fastInt(i * 7);
    }
    ASSERT_EQ(s.size(), size_t(n));
    for (qint64 i = 0; i < n; ++i) {
        if (i % 1000 == 999)
            ASSERT_TRUE(s.isNull(size_t(i))) << i;
        else
            ASSERT_EQ(s.get(size_t(i)).toLongLong(), i * 7) << i;
    }
}

TEST(ColumnStore, TextsKeepTheirValuesAsTheirStorageWidens)
{
    // few values, many values that repeat, values that never repeat: each stays what it was,
    // also through rewrites and nulls on the way
    const struct {
        const char* what;
        int rows;
        std::function<QString(int)> value;
    } cases[] = {
        {"few values", 5000, [](int i) { return QStringLiteral("نوع %1").arg(i % 7); }},
        {"repeating values", 20000, [](int i) { return QStringLiteral("1403/%1").arg(i % 900); }},
        {"values that never repeat", 70000, [](int i) { return QStringLiteral("0912%1").arg(i); }},
        {"repeating, then never", 80000,
         [](int i) { return i < 5000 ? QStringLiteral("ب%1").arg(i % 300) : QStringLiteral("ج%1").arg(i); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ColumnStore s(ColumnStore::Rep::Text);
        std::vector<QString> expect;
        for (int i = 0; i < c.rows; ++i) {
            if (i % 997 == 5) {
                s.fastNull();
                expect.push_back(QString());
                continue;
            }
            const QByteArray b = c.value(i).toUtf8();
            s.fastText(b.constData(), size_t(b.size()));
            expect.push_back(c.value(i));
            if (i % 1009 == 3) {
                // a rewrite of an earlier row, with a value that may be new
                s.set(size_t(i / 2), QStringLiteral("تغيير %1").arg(i));
                expect[size_t(i / 2)] = QStringLiteral("تغيير %1").arg(i);
            }
        }
        s.appendNulls(3);
        ASSERT_EQ(s.size(), expect.size() + 3);
        for (size_t i = 0; i < expect.size(); ++i) {
            ASSERT_EQ(s.isNull(i), expect[i].isNull() && i % 997 == 5) << i;
            ASSERT_EQ(s.text(i), expect[i]) << i;
        }
        EXPECT_TRUE(s.isNull(expect.size() + 2));
        EXPECT_EQ(s.text(expect.size() + 2), QString());
    }
}
