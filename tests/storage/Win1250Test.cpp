#include <gtest/gtest.h>

#include "storage/Win1250.h"

#include <set>

TEST(Win1250, EveryByteHasItsOwnCharacterAndBack)
{
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        const char32_t ch = win1250ToUnicode(static_cast<unsigned char>(b));
        EXPECT_TRUE(seen.insert(ch).second) << std::hex << b;
        EXPECT_EQ(unicodeToWin1250(ch), b) << std::hex << b;
    }
}

TEST(Win1250, CentralEuropeanLettersSitAtTheirBytes)
{
    EXPECT_EQ(win1250ToUnicode(0x8A), U'Š');
    EXPECT_EQ(win1250ToUnicode(0xA3), U'Ł');
    EXPECT_EQ(win1250ToUnicode(0x80), U'€');
    EXPECT_EQ(win1250ToUnicode(0x81), U'\u0081');
    EXPECT_EQ(unicodeToWin1250(U'õ'), -1); // Latin-1 0xF5 is not ő
    EXPECT_EQ(unicodeToWin1250(U'\U0001F600'), -1);
}

TEST(Win1250, HungarianTextRoundTrips)
{
    for (const std::string utf8 : {"árvíztűrő tükörfúrógép", "ÁRVÍZTŰRŐ TÜKÖRFÚRÓGÉP"}) {
        const Win1250Result result = utf8ToWin1250(utf8);
        EXPECT_TRUE(result.ok());
        EXPECT_EQ(result.bytes.size(), 22u);
        EXPECT_EQ(win1250ToUtf8(result.bytes), utf8);
    }
    EXPECT_EQ(utf8ToWin1250("őűŐŰ").bytes, "\xF5\xFB\xD5\xDB");
}

TEST(Win1250, UnmappableAndInvalidCharactersAreReportedInOrderAndLeftOut)
{
    EXPECT_EQ(utf8ToWin1250("aΩb中c€").unmappable, U"Ω中");
    // A stray continuation byte, an overlong NUL, an encoded surrogate and a
    // sequence cut off at the end; the bytes between them still convert.
    const Win1250Result result = utf8ToWin1250("a\x80" "b\xC0\x80" "cΩ\xED\xA0\x80" "d€\xE2\x82");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.bytes, "abcd\x80");
    EXPECT_EQ(result.unmappable, U"\uFFFD\uFFFD\uFFFDΩ\uFFFD\uFFFD\uFFFD\uFFFD");
}
