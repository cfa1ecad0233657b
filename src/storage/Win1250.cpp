#include "storage/Win1250.h"

#include <algorithm>
#include <array>

namespace {

// Bytes 0x80..0xFF; below them the code page is ASCII.
constexpr std::array<char16_t, 128> HighBytes = {
    // 0x80
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    // 0x90
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    // 0xA0
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    // 0xB0
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    // 0xC0
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    // 0xD0
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    // 0xE0
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    // 0xF0
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

struct CharacterByte
{
    char16_t character;
    unsigned char byte;
};

// The high half sorted by character, for the way back.
constexpr std::array<CharacterByte, 128> sortedByCharacter()
{
    std::array<CharacterByte, 128> table{};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = {HighBytes[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(table.begin(), table.end(),
              [](CharacterByte a, CharacterByte b) { return a.character < b.character; });
    return table;
}

constexpr auto ByCharacter = sortedByCharacter();

constexpr char32_t Replacement = 0xFFFD;

void appendUtf8(std::string& out, char32_t ch)
{
    if (ch < 0x80) {
        out += static_cast<char>(ch);
    } else if (ch < 0x800) {
        out += static_cast<char>(0xC0 | (ch >> 6));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        // Every character of the code page lies in the first plane.
        out += static_cast<char>(0xE0 | (ch >> 12));
        out += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (ch & 0x3F));
    }
}

// The character starting at text[pos]; pos moves past it. A broken sequence
// gives one U+FFFD for its longest valid beginning (at least one byte), so
// the bytes after it still decode.
char32_t nextCharacter(std::string_view text, std::size_t& pos)
{
    const auto lead = static_cast<unsigned char>(text[pos++]);
    if (lead < 0x80)
        return lead;

    int following = 0;
    char32_t ch = 0;
    // Second-byte limits exclude overlong forms, surrogates and code
    // points above U+10FFFF.
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        following = 1;
        ch = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        following = 2;
        ch = lead & 0x0F;
        if (lead == 0xE0)
            low = 0xA0;
        if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        following = 3;
        ch = lead & 0x07;
        if (lead == 0xF0)
            low = 0x90;
        if (lead == 0xF4)
            high = 0x8F;
    } else {
        return Replacement;
    }

    for (; following > 0; --following) {
        if (pos == text.size())
            return Replacement;
        const auto next = static_cast<unsigned char>(text[pos]);
        if (next < low || next > high)
            return Replacement;
        ch = (ch << 6) | (next & 0x3F);
        low = 0x80;
        high = 0xBF;
        ++pos;
    }
    return ch;
}

} // namespace

char32_t win1250ToUnicode(unsigned char byte)
{
    return byte < 0x80 ? char32_t{byte} : char32_t{HighBytes[byte - 0x80]};
}

int unicodeToWin1250(char32_t ch)
{
    if (ch < 0x80)
        return static_cast<int>(ch);
    if (ch > 0xFFFF)
        return -1;
    const auto found = std::lower_bound(
        ByCharacter.begin(), ByCharacter.end(), ch,
        [](CharacterByte entry, char32_t wanted) { return entry.character < wanted; });
    if (found == ByCharacter.end() || found->character != ch)
        return -1;
    return found->byte;
}

std::string win1250ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 8);
    for (const char c : bytes)
        appendUtf8(out, win1250ToUnicode(static_cast<unsigned char>(c)));
    return out;
}

Win1250Result utf8ToWin1250(std::string_view utf8)
{
    Win1250Result result;
    result.bytes.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const char32_t ch = nextCharacter(utf8, pos);
        const int byte = unicodeToWin1250(ch);
        if (byte < 0)
            result.unmappable += ch;
        else
            result.bytes += static_cast<char>(byte);
    }
    return result;
}

std::string win1250ForMessage(std::string_view bytes)
{
    if (bytes.size() <= MessageQuoteLength)
        return win1250ToUtf8(bytes);
    return win1250ToUtf8(bytes.substr(0, MessageQuoteLength)) + "\u2026";
}
