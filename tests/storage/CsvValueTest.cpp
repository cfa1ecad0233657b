#include <gtest/gtest.h>

#include "storage/CsvValue.h"

#include <random>

using namespace std::string_literals;

namespace {

std::vector<csv::SplitResult> splitAll(std::string& line, std::size_t values)
{
    csv::LineCursor cursor{line.data(), line.size()};
    std::vector<csv::SplitResult> out;
    for (std::size_t i = 0; i < values; ++i)
        out.push_back(csv::SplitValue(cursor));
    return out;
}

// The decoder's definition, character by character, to hold the word path to.
std::string referenceDecode(std::string_view text)
{
    std::string out;
    std::int64_t bits = 0;
    int count = 0;
    for (const char c : text) {
        bits += std::int64_t{static_cast<unsigned char>(c) - 0x20} * (std::int64_t{1} << count);
        count += 6;
        if (count >= 8) {
            out += static_cast<char>(bits & 0xFF);
            bits >>= 8;
            count -= 8;
        }
    }
    return out;
}

std::string randomBytes(std::size_t n, unsigned seed)
{
    std::mt19937 random(seed);
    std::string out(n, '\0');
    for (char& c : out)
        c = static_cast<char>(random());
    return out;
}

} // namespace

TEST(CsvPercent, EveryByteSurvivesTheRoundTrip)
{
    EXPECT_EQ(csv::escapePercent("50% a\r\nb\0"s), "50%% a%c%nb%0");
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    const std::string escaped = csv::escapePercent(all);
    EXPECT_EQ(escaped.find_first_of("\r\n\0"s), std::string::npos);
    EXPECT_EQ(csv::unescapePercent(escaped), all);
    // Never written, but a hand-edited file may hold them.
    EXPECT_EQ(csv::unescapePercent("50%"), "50");
    EXPECT_EQ(csv::unescapePercent("%x%"), "x");
}

TEST(CsvInteger, AcceptsPlainDecimalWithinInt32Only)
{
    EXPECT_EQ(csv::parseInteger("2147483647"), 2147483647);
    EXPECT_EQ(csv::parseInteger("-2147483648"), INT32_MIN);

    for (const char* text : {"", "-", "+1", " 1", "1a", "0x10", "2147483648", "-2147483649"})
        EXPECT_EQ(csv::parseInteger(text), std::nullopt) << text;
}

TEST(CsvSplitValue, LinesGiveValuesNullsAndEnd)
{
    std::string line = "\"1\",,\"a\"\"b\",x,";
    const auto values = splitAll(line, 6);
    EXPECT_EQ(values[0].text, "1");
    EXPECT_TRUE(values[1].null);
    EXPECT_EQ(values[2].text, "a\"b");
    EXPECT_EQ(values[3].text, "x");
    // At the end of the line: empty text, not null, again and again.
    EXPECT_FALSE(values[4].null || values[5].null);
    EXPECT_EQ(values[5].text, "");

    std::string commas = ",,";
    const auto nulls = splitAll(commas, 3);
    EXPECT_TRUE(nulls[0].null && nulls[1].null && !nulls[2].null);

    // The byte after a closing quote is skipped, whatever it is; an unclosed
    // value keeps what comes up to its last doubled quote.
    for (const auto& [text, first] : std::vector<std::pair<std::string, std::string>>{
             {"\"\"x", ""}, {"\"ab\"\"cd", "ab\""}, {"\"abc", ""}}) {
        std::string quotes = text;
        const auto two = splitAll(quotes, 2);
        EXPECT_EQ(two[0].text, first) << text;
        EXPECT_TRUE(!two[0].null && !two[1].null && two[1].text.empty()) << text;
    }
}

// Long values go through the wide copy; quotes at every spacing, closed and
// unclosed, must come out as the byte-by-byte rule gives them.
TEST(CsvSplitValue, LongValuesWithQuotesAtEverySpacing)
{
    for (int spacing : {1, 3, 15, 16, 17, 40}) {
        std::string value;
        for (int i = 0; i < 3000; ++i)
            value += i % spacing == 0 ? '"' : static_cast<char>('a' + i % 26);
        std::string quoted = csv::quoted(value);

        std::string closed = quoted + ",x";
        csv::LineCursor cursor{closed.data(), closed.size()};
        EXPECT_EQ(csv::SplitValue(cursor).text, value) << spacing;
        EXPECT_EQ(csv::SplitValue(cursor).text, "x") << spacing;

        std::string open = quoted.substr(0, quoted.size() - 1);
        csv::LineCursor unclosed{open.data(), open.size()};
        EXPECT_EQ(csv::SplitValue(unclosed).text, value.substr(0, value.rfind('"') + 1)) << spacing;
    }
}

TEST(CsvDefinition, LinesGiveTheirItems)
{
    const std::string text =
        csv::unquoteDefinition("\"sorszam=Integer,0,\"\"#\"\",\"\"\"\",10,Data,\"\"\"\"\"");
    EXPECT_EQ(text, "sorszam=Integer,0,\"#\",\"\",10,Data,\"\"");
    EXPECT_EQ(csv::commaList(text),
              (std::vector<std::string>{"Integer", "0", "#", "", "10", "Data", ""}));
    EXPECT_EQ(csv::unquoteDefinition("sorszam=Integer"), "");

    EXPECT_EQ(csv::commaList("n= \t a , \"b, \"\"c\"\"\" ,d e"),
              (std::vector<std::string>{"a", "b, \"c\"", "d", "e"}));
    EXPECT_EQ(csv::commaList("n=a,"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(csv::commaList("n=a, "), (std::vector<std::string>{"a"}));
    EXPECT_EQ(csv::commaList("n=a\0b"s), (std::vector<std::string>{"a"}));
}

TEST(SixBit, WorkedValuesAndRoundTripsAtEveryLengthAndWordBoundary)
{
    EXPECT_EQ(csv::encodeSixBit("abc"), "A)V8");
    EXPECT_EQ(csv::encodeSixBit("\x89\x50\x4E\x47"), "\x29\x22\x45\x33\x27\x21");
    EXPECT_EQ(csv::encodeSixBit("\0"s), "  ");
    EXPECT_EQ(csv::encodeSixBit("\xFF\xFF\xFF"), "____");

    std::vector<std::size_t> sizes{1021, 1023, 4093, 4095, 4097, 65537};
    for (std::size_t n = 0; n <= 64; ++n)
        sizes.push_back(n);
    for (const std::size_t n : sizes) {
        const std::string bytes = randomBytes(n, static_cast<unsigned>(n));
        const std::string text = csv::encodeSixBit(bytes);
        ASSERT_EQ(text.size(), csv::sixBitEncodedSize(n));
        for (const char c : text)
            ASSERT_TRUE(c >= 0x20 && c <= 0x5F) << n;
        ASSERT_EQ(csv::decodeSixBit(text), bytes) << n;
    }
}

TEST(SixBit, OutOfRangeCharactersDecodeAsDefined)
{
    // Mostly valid text with stray bytes, so runs of words, carries left
    // by stray bytes and the way back to words all get exercised.
    std::mt19937 random(42);
    for (int round = 0; round < 200; ++round) {
        std::string text = csv::encodeSixBit(randomBytes(random() % 200, random()));
        for (int k = random() % 4; k > 0 && !text.empty(); --k)
            text[random() % text.size()] = static_cast<char>(random());
        ASSERT_EQ(csv::decodeSixBit(text), referenceDecode(text)) << text;
    }
    // A carry of -1 rides over in-range words that add nothing to it.
    const std::string blanksAfterStray = "\x1F" + std::string(40, ' ');
    EXPECT_EQ(csv::decodeSixBit(blanksAfterStray), referenceDecode(blanksAfterStray));
}
