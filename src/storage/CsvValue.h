#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The text form of single values in a card file and the rules that cut a
// line into values.
namespace csv {

constexpr char Quote = '"';
constexpr char FieldDelimiter = ',';
constexpr char RecordDelimiter = ',';
constexpr std::string_view TrueString = "True";
constexpr std::string_view FalseString = "False";

// Q(x): x in double quotes, its own double quotes doubled.
void appendQuoted(std::string& out, std::string_view text);
std::string quoted(std::string_view text);

// Text values: NUL, LF, CR and '%' become "%0", "%n", "%c", "%%".
std::string escapePercent(std::string_view text);
// Undoes the escapes; a lone '%' at the end is dropped, a '%' before any
// other byte stands for that byte.
std::string unescapePercent(std::string_view text);

// Blob values as six-bit text: characters 0x20 to 0x5F, the bit stream read
// least significant bit first.
constexpr std::size_t sixBitEncodedSize(std::size_t bytes) { return (4 * bytes + 2) / 3; }
constexpr std::size_t sixBitDecodedSize(std::size_t chars) { return 3 * chars / 4; }
// Writes sixBitEncodedSize(n) characters to out.
void sixBitEncode(const unsigned char* in, std::size_t n, char* out);
// Writes sixBitDecodedSize(m) bytes to out and returns that count. out may
// be the same buffer as in (decoding in place).
std::size_t sixBitDecode(const char* in, std::size_t m, unsigned char* out);
std::string encodeSixBit(std::string_view bytes);
std::string decodeSixBit(std::string_view text);

// Booleans read true only from "True" exactly.
inline bool parseBoolean(std::string_view text) { return text == TrueString; }

// A 32-bit signed decimal integer: an optional '-', then digits only.
std::optional<std::int32_t> parseInteger(std::string_view text);

// A line being cut into values. Quoted values are unquoted in place, so the
// line's bytes before the position may change.
struct LineCursor
{
    char* data = nullptr;
    std::size_t size = 0;
    std::size_t pos = 0;

    bool atEnd() const { return pos >= size; }
};

struct SplitResult
{
    std::string_view text;  // points into the line
    bool null = false;
};

// The next value of the line: empty text at the end of the line; null at a
// delimiter; a quoted value (the byte after its closing quote is skipped,
// whatever it is); or an unquoted value up to the next delimiter.
SplitResult SplitValue(LineCursor& line);

// The text between the opening quote and the first single closing quote,
// doubled quotes reduced; empty when the line does not begin with a quote.
std::string unquoteDefinition(std::string_view line);

// The items of a definition text after its first '=', by the comma-list rule.
std::vector<std::string> commaList(std::string_view text);

} // namespace csv
