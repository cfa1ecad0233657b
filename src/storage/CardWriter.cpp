#include "storage/CardFile.h"

#include "storage/CsvValue.h"
#include "storage/LayerTable.h"
#include "storage/SafeWrite.h"

#include <algorithm>
#include <cstring>
#include <memory>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

constexpr std::string_view LineEnd = "\r\n";

// Six-bit text is encoded in slices that stay in cache, then copied out with
// its double quotes doubled.
constexpr std::size_t EncodeSlice = 48 * 1024;
constexpr std::size_t SliceChars = csv::sixBitEncodedSize(EncodeSlice);
constexpr std::size_t BufferSize = 4 * SliceChars;

char* copyDoublingQuotesScalar(const char* in, std::size_t n, char* out)
{
    for (std::size_t i = 0; i < n; ++i) {
        *out++ = in[i];
        if (in[i] == csv::Quote)
            *out++ = csv::Quote;
    }
    return out;
}

#if defined(__x86_64__)
// For each pattern of quotes among eight characters, the shuffle that spreads
// them over up to sixteen bytes with each quote repeated, and the length.
struct QuoteSpread
{
    alignas(16) char shuffle[256][16];
    unsigned char length[256];

    QuoteSpread()
    {
        for (int mask = 0; mask < 256; ++mask) {
            int out = 0;
            for (int i = 0; i < 8; ++i) {
                shuffle[mask][out++] = static_cast<char>(i);
                if (mask & (1 << i))
                    shuffle[mask][out++] = static_cast<char>(i);
            }
            length[mask] = static_cast<unsigned char>(out);
            while (out < 16)
                shuffle[mask][out++] = -1;
        }
    }
};

// About one character in 64 is a quote; a shuffle per eight characters
// doubles them without a branch.
__attribute__((target("ssse3")))
char* copyDoublingQuotesVector(const char* in, std::size_t n, char* out)
{
    static const QuoteSpread spread;
    const __m128i quotes = _mm_set1_epi8(csv::Quote);
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        __m128i chars = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + i));
        int mask = _mm_movemask_epi8(_mm_cmpeq_epi8(chars, quotes)) & 0xFF;
        __m128i spreadOut = _mm_shuffle_epi8(chars, _mm_load_si128(reinterpret_cast<const __m128i*>(spread.shuffle[mask])));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), spreadOut);
        out += spread.length[mask];
    }
    return copyDoublingQuotesScalar(in + i, n - i, out);
}
#endif

// Copies six-bit text to out with every double quote doubled and returns the
// end; out needs room for 2 n + 8 bytes.
char* copyDoublingQuotes(const char* in, std::size_t n, char* out)
{
#if defined(__x86_64__)
    static const bool vector = __builtin_cpu_supports("ssse3");
    if (vector)
        return copyDoublingQuotesVector(in, n, out);
#endif
    return copyDoublingQuotesScalar(in, n, out);
}

class CardSink;
void appendValue(CardSink& sink, const FieldDef& field, const FieldValue& value);

int defaultDisplayWidth(const FieldDef& field)
{
    switch (field.Type) {
    case FieldType::String:
        return field.Size;
    case FieldType::Boolean:
        return static_cast<int>(std::max(csv::TrueString.size(), csv::FalseString.size()));
    default:
        return 10;
    }
}

std::string definitionText(const FieldDef& field)
{
    std::string text = field.FieldName + "=";
    text += fieldTypeName(field.Type);
    text += "," + std::to_string(field.Size) + ",";
    csv::appendQuoted(text, field.displayName());
    text += ",";
    csv::appendQuoted(text, field.EditMask);
    text += ",";
    text += std::to_string(field.DisplayWidth > 0 ? field.DisplayWidth : defaultDisplayWidth(field));
    if (field.Required)
        text += ",REQ";
    if (field.ReadOnly)
        text += ",RO";
    if (!field.Visible)
        text += ",INV";
    text += ",";
    text += fieldKindName(field.Kind);
    text += ",";
    csv::appendQuoted(text, field.DefaultExpression);
    return text;
}

// Lines are buffered and go to the file through the safe writer, so a
// failed save never costs the user the card that was there. A picture's line
// goes out in pieces instead of being built whole in memory.
class CardSink
{
public:
    explicit CardSink(const std::string& path)
        : mFile(path), mBuffer(new char[BufferSize])
    {
    }

    void append(std::string_view bytes)
    {
        if (bytes.size() > BufferSize - mLength) {
            flush();
            if (bytes.size() > BufferSize) {
                mFile.write(bytes.data(), bytes.size());
                return;
            }
        }
        std::memcpy(mBuffer.get() + mLength, bytes.data(), bytes.size());
        mLength += bytes.size();
    }

    void append(char c) { append(std::string_view(&c, 1)); }

    void appendQuoted(std::string_view text)
    {
        std::string quoted;
        csv::appendQuoted(quoted, text);
        append(quoted);
    }

    void appendQuotedSixBit(const std::string& bytes)
    {
        static thread_local std::unique_ptr<char[]> slice(new char[SliceChars]);
        append(csv::Quote);
        const auto* in = reinterpret_cast<const unsigned char*>(bytes.data());
        for (std::size_t done = 0; done < bytes.size(); done += EncodeSlice) {
            const std::size_t n = std::min(EncodeSlice, bytes.size() - done);
            const std::size_t chars = csv::sixBitEncodedSize(n);
            csv::sixBitEncode(in + done, n, slice.get());
            if (2 * chars + 16 > BufferSize - mLength)
                flush();
            char* end = copyDoublingQuotes(slice.get(), chars, mBuffer.get() + mLength);
            mLength = static_cast<std::size_t>(end - mBuffer.get());
        }
        append(csv::Quote);
    }

    void endLine() { append(LineEnd); }

    void commit()
    {
        flush();
        mFile.commit();
    }

private:
    // The disk writes of a large card start while the rest is still being
    // encoded, so that the final flush has little left to wait for.
    void flush()
    {
        mFile.write(mBuffer.get(), mLength);
        mLength = 0;
        mFile.startWriteback();
    }

    SafeWrite mFile;
    std::unique_ptr<char[]> mBuffer;
    std::size_t mLength = 0;
};

void appendValue(CardSink& sink, const FieldDef& field, const FieldValue& value)
{
    if (auto* number = std::get_if<std::int32_t>(&value)) {
        sink.appendQuoted(std::to_string(*number));
    } else if (auto* flag = std::get_if<bool>(&value)) {
        sink.appendQuoted(*flag ? csv::TrueString : csv::FalseString);
    } else if (auto* blob = std::get_if<Blob>(&value)) {
        sink.appendQuotedSixBit(blob->bytes());
    } else if (auto* text = std::get_if<std::string>(&value)) {
        if (field.Type == FieldType::Blob)
            sink.appendQuotedSixBit(*text);
        else
            sink.appendQuoted(csv::escapePercent(*text));
    }
}

class ControlsPaused
{
public:
    explicit ControlsPaused(LayerTable& table) : mTable(table) { mTable.DisableControls(); }
    ~ControlsPaused() { mTable.EnableControls(); }

private:
    LayerTable& mTable;
};

} // namespace

void WriteCardFile(LayerTable& table, const std::string& path)
{
    if (!table.IsOpen())
        throw TableError(table.Name() + ": Cannot perform this operation on a closed dataset");

    CardSink sink(path);
    ControlsPaused paused(table);

    std::vector<int> stored;
    const auto& fields = table.Fields();
    for (int i = 0; i < static_cast<int>(fields.size()); ++i) {
        if (fields[i].isStored())
            stored.push_back(i);
    }

    auto marker = [&](std::string_view text) {
        sink.appendQuoted(text);
        sink.endLine();
    };
    sink.appendQuoted("@@FILE VERSION@@");
    sink.append(csv::FieldDelimiter);
    sink.appendQuoted("251");
    sink.endLine();
    marker("@@TABLEDEF START@@");
    for (int i : stored)
        marker(definitionText(fields[i]));
    marker("@@INDEXDEF START@@");
    marker("@@INDEXDEF END@@");
    marker("@@TABLEDEF END@@");

    for (int i : stored) {
        sink.appendQuoted(fields[i].displayName());
        sink.append(csv::FieldDelimiter);
    }
    sink.endLine();

    const bool calculated = table.HasCalculatedFields();
    for (int row = 0; row < table.StoredCount(); ++row) {
        if (calculated)
            table.CalculateRow(row);
        for (int i : stored) {
            appendValue(sink, fields[i], table.StoredValue(row, i));
            sink.append(csv::RecordDelimiter);
        }
        sink.endLine();
    }
    sink.commit();
}
