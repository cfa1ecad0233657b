#pragma once

#include <string>
#include <string_view>

// Windows-1250 (Central European) text is what the table and the card files
// hold; the GUI and lapora-cli convert at their edges through these.

// Every byte maps to a character; the five bytes the code page leaves
// undefined map to the C1 control of the same value, as Windows does.
char32_t win1250ToUnicode(unsigned char byte);

// The byte for a character, or -1 when Windows-1250 cannot hold it.
int unicodeToWin1250(char32_t ch);

std::string win1250ToUtf8(std::string_view bytes);

struct Win1250Result
{
    std::string bytes;
    // The characters that have no Windows-1250 byte, in order of appearance
    // (as UTF-8); empty when the conversion is exact.
    std::u32string unmappable;
    bool ok() const { return unmappable.empty(); }
};

// Invalid UTF-8 sequences count as unmappable U+FFFD characters. Unmappable
// characters are left out of bytes.
Win1250Result utf8ToWin1250(std::string_view utf8);

// Text from the table or a file for an error message, as UTF-8: at most
// MessageQuoteLength characters, then "…", so that a huge value cannot make a
// message no one can read (or a box that takes minutes to lay out).
constexpr std::size_t MessageQuoteLength = 80;
std::string win1250ForMessage(std::string_view bytes);
