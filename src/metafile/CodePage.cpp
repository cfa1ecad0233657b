#include "metafile/CodePage.h"

#include "metafile/GdiConstants.h"
#include "storage/Win1250.h"

#include <array>

namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the page is Latin-1.
constexpr std::array<char16_t, 32> WesternHigh = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char16_t western(unsigned char byte)
{
    if (byte >= 0x80 && byte < 0xA0)
        return WesternHigh[byte - 0x80];
    return byte;
}

// Every Windows-1250 character lies in the basic plane.
char16_t central(unsigned char byte)
{
    return static_cast<char16_t>(win1250ToUnicode(byte));
}

} // namespace

QString decodeAnsiText(std::string_view bytes, int charset)
{
    // DEFAULT_CHARSET means the code page of the machine that made the file;
    // the cards come from Central European machines.
    const bool centralEuropean = charset == gdi::CharsetEastEurope || charset == gdi::CharsetDefault;
    const bool latin1 = charset == gdi::CharsetSymbol;
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size()));
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (latin1)
            text.append(QChar(char16_t(byte)));
        else
            text.append(QChar(centralEuropean ? central(byte) : western(byte)));
    }
    return text;
}
