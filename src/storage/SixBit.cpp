#include "storage/CsvValue.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

// Pictures are stored inline as six-bit text, so a card with a few photos
// means tens of megabytes through these two loops. Both work on 64-bit
// words: six bytes are eight characters.
namespace csv {

namespace {

constexpr std::uint64_t Blanks = 0x2020202020202020;

std::uint64_t byteSwap(std::uint64_t x)
{
    x = ((x & 0x00FF00FF00FF00FF) << 8) | ((x >> 8) & 0x00FF00FF00FF00FF);
    x = ((x & 0x0000FFFF0000FFFF) << 16) | ((x >> 16) & 0x0000FFFF0000FFFF);
    return (x << 32) | (x >> 32);
}

// The word arithmetic below reads the first byte as the lowest.
std::uint64_t loadLittle(const void* from)
{
    std::uint64_t word;
    std::memcpy(&word, from, sizeof word);
    if constexpr (std::endian::native == std::endian::big)
        word = byteSwap(word);
    return word;
}

void storeLittle(void* to, std::uint64_t word, std::size_t bytes)
{
    if constexpr (std::endian::native == std::endian::big)
        word = byteSwap(word);
    std::memcpy(to, &word, bytes);
}

// The low 48 bits of word as eight characters, one six-bit group per byte.
std::uint64_t spreadGroups(std::uint64_t word)
{
    std::uint64_t x = (word & 0xFFFFFF) | ((word & 0xFFFFFF000000) << 8);
    x = (x & 0x00000FFF00000FFF) | ((x & 0x00FFF00000FFF000) << 4);
    x = (x & 0x003F003F003F003F) | ((x & 0x0FC00FC00FC00FC0) << 2);
    return x + Blanks;
}

// Nonzero unless every byte of word lies in 0x20..0x5F.
std::uint64_t outsideRange(std::uint64_t word)
{
    // With the top bits clear no byte carries into the next, and 0x20..0x5F
    // plus 0x20 is exactly 0x40..0x7F: bit 6 set, bit 7 clear.
    return (word & 0x8080808080808080)
         | (((word + Blanks) & 0xC0C0C0C0C0C0C0C0) ^ 0x4040404040404040);
}

// Eight characters known to be in range, as six bytes in the low 48 bits.
std::uint64_t gatherGroups(std::uint64_t word)
{
    std::uint64_t x = word - Blanks;
    x = (x & 0x003F003F003F003F) | ((x & 0x3F003F003F003F00) >> 2);
    x = (x & 0x00000FFF00000FFF) | ((x & 0x0FFF00000FFF0000) >> 4);
    return (x & 0xFFFFFF) | ((x >> 8) & 0xFFFFFF000000);
}

// The decoder's definition, one character at a time. Bytes outside
// 0x20..0x5F add values that are negative or wider than six bits, and the
// carry they leave must come out exactly as defined, so the buffer is signed
// and shifts right arithmetically.
struct BitBuffer
{
    std::int64_t bits = 0;
    int count = 0;

    unsigned char* take(const char* in, std::size_t m, unsigned char* out)
    {
        for (std::size_t i = 0; i < m; ++i) {
            const int value = static_cast<unsigned char>(in[i]) - 0x20;
            bits += static_cast<std::int64_t>(value) * (std::int64_t{1} << count);
            count += 6;
            if (count >= 8) {
                *out++ = static_cast<unsigned char>(bits & 0xFF);
                bits >>= 8;
                count -= 8;
            }
        }
        return out;
    }
};

#if defined(__x86_64__)
// Sixteen characters at a time with byte shuffles: a multiply-add pairs the
// six-bit groups into twelve bits, a second into 24, and a shuffle drops the
// empty top byte of each 32-bit lane. Returns the characters taken, a
// multiple of sixteen; it stops at a chunk with a byte outside 0x20..0x5F.
__attribute__((target("ssse3")))
std::size_t decodeVectors(const char* in, std::size_t m, unsigned char* out)
{
    const __m128i blanks = _mm_set1_epi8(0x20);
    const __m128i topBits = _mm_set1_epi8(static_cast<char>(0xC0));
    const __m128i pairBytes = _mm_set1_epi16(0x4001);
    const __m128i pairWords = _mm_set1_epi32(0x10000001);
    const __m128i packLanes = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    std::size_t i = 0;
    // A 16-byte store writes four bytes past the twelve it means; the bound
    // keeps them inside the output, and behind the unread input in place.
    for (; i + 24 <= m; i += 16, out += 12) {
        __m128i chars = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + i));
        __m128i groups = _mm_sub_epi8(chars, blanks);
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_and_si128(groups, topBits), _mm_setzero_si128())) != 0xFFFF)
            break;
        __m128i twelve = _mm_maddubs_epi16(groups, pairBytes);
        __m128i lanes = _mm_madd_epi16(twelve, pairWords);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(lanes, packLanes));
    }
    return i;
}

bool hasByteShuffles()
{
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

// Decodes words of eight in-range characters from the start of in and
// returns how many characters it took (a multiple of eight); it stops at the
// first word holding a byte outside 0x20..0x5F. Stores stay behind the next
// unread character, so out may equal in.
std::size_t decodeWords(const char* in, std::size_t m, unsigned char* out)
{
    std::size_t i = 0;
#if defined(__x86_64__)
    if (hasByteShuffles()) {
        i = decodeVectors(in, m, out);
        out += i / 4 * 3;
    }
#endif
    // Whole 8-byte stores, the last two bytes of each overwritten by the
    // next word; the bound keeps those two bytes inside the output.
    for (; i + 20 <= m; i += 16, out += 12) {
        const std::uint64_t a = loadLittle(in + i);
        const std::uint64_t b = loadLittle(in + i + 8);
        if ((outsideRange(a) | outsideRange(b)) != 0)
            break;
        storeLittle(out, gatherGroups(a), 8);
        storeLittle(out + 6, gatherGroups(b), 8);
    }
    for (; i + 8 <= m; i += 8, out += 6) {
        const std::uint64_t word = loadLittle(in + i);
        if (outsideRange(word) != 0)
            break;
        storeLittle(out, gatherGroups(word), 6);
    }
    return i;
}

} // namespace

void sixBitEncode(const unsigned char* in, std::size_t n, char* out)
{
    std::size_t i = 0;
    // Two independent words per round: the shifts of one hide the latency of
    // the other.
    for (; i + 14 <= n; i += 12, out += 16) {
        const std::uint64_t first = spreadGroups(loadLittle(in + i));
        const std::uint64_t second = spreadGroups(loadLittle(in + i + 6));
        storeLittle(out, first, 8);
        storeLittle(out + 8, second, 8);
    }
    for (; i + 8 <= n; i += 6, out += 8)
        storeLittle(out, spreadGroups(loadLittle(in + i)), 8);

    std::uint32_t bits = 0;
    int count = 0;
    for (; i < n; ++i) {
        bits |= std::uint32_t{in[i]} << count;
        count += 8;
        while (count >= 6) {
            *out++ = static_cast<char>(0x20 + (bits & 0x3F));
            bits >>= 6;
            count -= 6;
        }
    }
    if (count > 0)
        *out = static_cast<char>(0x20 + bits);
}

namespace {

// Decodes a run of characters into out, continuing the buffer's bits. The
// word loops apply wherever the buffer is empty at a four-character
// boundary; elsewhere, and for characters outside 0x20..0x5F, the exact path
// takes over until it is empty again.
unsigned char* decodeRun(BitBuffer& buffer, const char* in, std::size_t n, unsigned char* out)
{
    std::size_t i = 0;
    while (i < n) {
        if (buffer.count == 0 && buffer.bits == 0 && n - i >= 8) {
            const std::size_t done = decodeWords(in + i, n - i, out);
            i += done;
            out += done / 4 * 3;
            const std::size_t step = std::min<std::size_t>(4, n - i);
            out = buffer.take(in + i, step, out);
            i += step;
        } else {
            out = buffer.take(in + i, 1, out);
            ++i;
        }
    }
    return out;
}

} // namespace

std::size_t sixBitDecode(const char* in, std::size_t m, unsigned char* out)
{
    BitBuffer buffer;
    return static_cast<std::size_t>(decodeRun(buffer, in, m, out) - out);
}

std::string encodeSixBit(std::string_view bytes)
{
    std::string text(sixBitEncodedSize(bytes.size()), '\0');
    sixBitEncode(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), text.data());
    return text;
}

std::string decodeSixBit(std::string_view text)
{
    std::string bytes(sixBitDecodedSize(text.size()), '\0');
    sixBitDecode(text.data(), text.size(), reinterpret_cast<unsigned char*>(bytes.data()));
    return bytes;
}

} // namespace csv
