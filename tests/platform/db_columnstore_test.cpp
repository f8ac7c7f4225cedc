// Column storage: values survive chunk boundaries, large values, late nulls and rewrites.
#include "platform/db/ColumnStore.h"

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
