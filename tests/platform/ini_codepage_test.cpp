// The Windows-1256 table against the C library's own converter, and the
// fallback to it when a settings text is not UTF-8.
#include "platform/ini/TextFile.h"
#include "platform/richtext/Windows1256.h"

#include <gtest/gtest.h>
#include <iconv.h>

using namespace richtext;

namespace {

// The character iconv gives for one CP1256 byte; 0 when it refuses.
char16_t iconvDecode(unsigned char byte)
{
    iconv_t cd = iconv_open("UTF-16LE", "CP1256");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return 0;
    char in[1] = {static_cast<char>(byte)};
    unsigned char out[4] = {};
    char* pin = in;
    char* pout = reinterpret_cast<char*>(out);
    size_t inLeft = 1, outLeft = sizeof out;
    const size_t r = iconv(cd, &pin, &inLeft, &pout, &outLeft);
    iconv_close(cd);
    if (r == size_t(-1) || sizeof out - outLeft != 2)
        return 0;
    return char16_t(out[0] | (out[1] << 8));
}

} // namespace

TEST(Windows1256, EveryByteMatchesIconv)
{
    if (iconvDecode('A') != u'A')
        GTEST_SKIP() << "iconv has no CP1256";
    for (int b = 0; b < 256; ++b)
        EXPECT_EQ(int(windows1256ToUnicode(b)), int(iconvDecode(b))) << "byte " << b;
}

TEST(Windows1256, EveryByteRoundTrips)
{
    for (int b = 0; b < 256; ++b) {
        unsigned char back = 0;
        ASSERT_TRUE(unicodeToWindows1256(windows1256ToUnicode(b), &back)) << b;
        EXPECT_EQ(back, b);
    }
}

TEST(Windows1256, PersianLettersAndMissingCharacters)
{
    struct Case { const char* utf8; QByteArray bytes; bool complete; };
    const Case cases[] = {
        {"پچژگ", QByteArray("\x81\x8D\x8E\x90"), true},
        {"ک", QByteArray("\x98"), true},
        {"سلام", QByteArray("\xD3\xE1\xC7\xE3"), true},
        {"a\u200Cb", QByteArray("a\x9D" "b"), true},          // zero-width non-joiner
        {"\u06CC", QByteArray("?"), false},                  // Persian yeh is not in the code page
        {"x\U0001F600y", QByteArray("x?y"), false},          // one '?' for a surrogate pair
    };
    for (const Case& c : cases) {
        bool complete = !c.complete;
        EXPECT_EQ(encodeWindows1256(QString::fromUtf8(c.utf8), &complete), c.bytes) << c.utf8;
        EXPECT_EQ(complete, c.complete) << c.utf8;
        if (c.complete)
            EXPECT_EQ(decodeWindows1256(c.bytes), QString::fromUtf8(c.utf8));
    }
}

TEST(SettingsText, Utf8ElseWindows1256)
{
    const QString persian = QString::fromUtf8("سربرگ");
    EXPECT_EQ(ini::decodeSettingsText(persian.toUtf8()), persian);
    EXPECT_EQ(ini::decodeSettingsText("\xEF\xBB\xBF" + persian.toUtf8()), persian);
    EXPECT_EQ(ini::decodeSettingsText(encodeWindows1256(persian)), persian);
    EXPECT_EQ(ini::decodeSettingsText("plain"), QStringLiteral("plain"));
}
