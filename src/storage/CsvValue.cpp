#include "storage/CsvValue.h"

#include <algorithm>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace csv {

namespace {

bool isBlank(char c)
{
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x01 && byte <= 0x20;
}

std::size_t skipBlanks(std::string_view text, std::size_t pos)
{
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    return pos;
}

// Reads a quoted text whose opening quote is just before pos into out, and
// returns the position after its closing quote (the end when there is none).
std::size_t readQuoted(std::string_view text, std::size_t pos, std::string& out)
{
    for (;;) {
        const std::size_t quote = text.find(Quote, pos);
        if (quote == std::string_view::npos) {
            out.append(text.substr(pos));
            return text.size();
        }
        out.append(text.substr(pos, quote - pos));
        if (quote + 1 < text.size() && text[quote + 1] == Quote) {
            out += Quote;
            pos = quote + 2;
            continue;
        }
        return quote + 1;
    }
}

} // namespace

void appendQuoted(std::string& out, std::string_view text)
{
    out.reserve(out.size() + text.size() + 2);
    out += Quote;
    // Copy whole runs between quotes: picture values run to megabytes.
    for (;;) {
        const std::size_t quote = text.find(Quote);
        if (quote == std::string_view::npos)
            break;
        out.append(text.data(), quote + 1);
        out += Quote;
        text.remove_prefix(quote + 1);
    }
    out.append(text);
    out += Quote;
}

std::string quoted(std::string_view text)
{
    std::string out;
    appendQuoted(out, text);
    return out;
}

std::string escapePercent(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '\0': out += "%0"; break;
        case '\n': out += "%n"; break;
        case '\r': out += "%c"; break;
        case '%': out += "%%"; break;
        default: out += c; break;
        }
    }
    return out;
}

std::string unescapePercent(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            break;
        switch (text[i]) {
        case '0': out += '\0'; break;
        case 'n': out += '\n'; break;
        case 'c': out += '\r'; break;
        default: out += text[i]; break; // "%%" and any byte we never write
        }
    }
    return out;
}

std::optional<std::int32_t> parseInteger(std::string_view text)
{
    const bool negative = !text.empty() && text.front() == '-';
    if (negative)
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;

    // Stop as soon as the magnitude leaves the int32 range, so a long run of
    // digits cannot overflow the accumulator.
    constexpr std::int64_t MaxMagnitude = std::int64_t{1} << 31;
    std::int64_t magnitude = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > MaxMagnitude)
            return std::nullopt;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value >= MaxMagnitude)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

namespace {

// Moves the bytes from read up to the next quote down to write, advancing
// write past them; returns the quote, or null when there is none (everything
// up to end then moved). A picture's text has a quote about every 64 bytes,
// so the common stretch goes sixteen bytes at a time.
char* moveToQuote(char*& write, char* read, char* end)
{
#if defined(__SSE2__)
    const __m128i quotes = _mm_set1_epi8(Quote);
    while (end - read >= 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(read));
        const int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(chunk, quotes));
        if (mask != 0) {
            const int before = __builtin_ctz(static_cast<unsigned>(mask));
            // A whole store is fine once it ends behind the read position;
            // before that, the quote and what follows must stay readable.
            if (read - write >= 16)
                _mm_storeu_si128(reinterpret_cast<__m128i*>(write), chunk);
            else
                std::memmove(write, read, before);
            write += before;
            return read + before;
        }
        // write never passes read, so this store ends inside the chunk just read.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(write), chunk);
        write += 16;
        read += 16;
    }
#endif
    auto* quote = static_cast<char*>(std::memchr(read, Quote, end - read));
    char* const stop = quote ? quote : end;
    std::memmove(write, read, stop - read);
    write += stop - read;
    return quote;
}

} // namespace

SplitResult SplitValue(LineCursor& line)
{
    if (line.atEnd())
        return {};

    char* const end = line.data + line.size;
    char* const start = line.data + line.pos;

    if (*start == FieldDelimiter) {
        ++line.pos;
        return {{}, true};
    }

    if (*start != Quote) {
        auto* comma = static_cast<char*>(std::memchr(start, FieldDelimiter, end - start));
        char* const stop = comma ? comma : end;
        line.pos = comma ? static_cast<std::size_t>(comma + 1 - line.data) : line.size;
        return {std::string_view(start, stop - start), false};
    }

    // Unquote in place: each doubled quote shortens the value by one byte,
    // so the write position never passes the read position and a picture
    // line is never copied.
    char* const value = start + 1;
    char* write = value;
    char* read = value;
    for (;;) {
        char* const collected = write;
        char* quote = moveToQuote(write, read, end);
        if (!quote) {
            // Unterminated: only what ended in a doubled quote counts.
            line.pos = line.size;
            return {std::string_view(value, collected - value), false};
        }
        if (quote + 1 < end && quote[1] == Quote) {
            *write++ = Quote;
            read = quote + 2;
            continue;
        }
        // The byte after the closing quote goes too, whatever it is.
        line.pos = std::min(static_cast<std::size_t>(quote + 2 - line.data), line.size);
        return {std::string_view(value, write - value), false};
    }
}

std::string unquoteDefinition(std::string_view line)
{
    std::string out;
    if (line.empty() || line.front() != Quote)
        return out;
    readQuoted(line, 1, out);
    return out;
}

std::vector<std::string> commaList(std::string_view text)
{
    std::vector<std::string> items;
    const std::size_t equals = text.find('=');
    if (equals == std::string_view::npos)
        return items;
    text.remove_prefix(equals + 1);
    // A NUL ends the text; otherwise the scan below would stand still on it.
    text = text.substr(0, text.find('\0'));

    std::size_t pos = skipBlanks(text, 0);
    while (pos < text.size()) {
        std::string item;
        if (text[pos] == Quote) {
            pos = readQuoted(text, pos + 1, item);
        } else {
            const std::size_t begin = pos;
            while (pos < text.size() && text[pos] != ','
                   && static_cast<unsigned char>(text[pos]) > 0x20)
                ++pos;
            item.assign(text.substr(begin, pos - begin));
        }
        items.push_back(std::move(item));

        pos = skipBlanks(text, pos);
        if (pos < text.size() && text[pos] == ',') {
            if (pos + 1 == text.size())
                items.emplace_back();
            pos = skipBlanks(text, pos + 1);
        }
    }
    return items;
}

} // namespace csv
