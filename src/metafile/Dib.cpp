#include "metafile/Dib.h"

#include "metafile/ByteReader.h"
#include "metafile/WorkBudget.h"

#include <QBuffer>
#include <QImageReader>

#include <array>
#include <bit>
#include <cstdint>
#include <optional>

namespace {

constexpr std::uint32_t BiRgb = 0;
constexpr std::uint32_t BiBitfields = 3;
constexpr std::uint32_t BiJpeg = 4;
constexpr std::uint32_t BiPng = 5;
constexpr std::uint32_t BiAlphaBitfields = 6;
constexpr std::int64_t MaxDimension = 1 << 20;
// What a compressed bitmap's pixels may take, at 32 bits each. Checked here
// rather than through the reader's allocation limit, which is one setting
// for the whole program: lowering it would refuse the card's own photos
// for the rest of the session.
constexpr std::int64_t MaxCompressedBytes = 64 * 1024 * 1024;

struct DibHeader
{
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    int bitCount = 0;
    std::uint32_t compression = BiRgb;
    std::uint64_t tableEntries = 0;
    std::size_t entrySize = 4;
    std::size_t tableOffset = 0;
    std::array<std::uint32_t, 4> masks{};
};

std::uint64_t tableEntriesFor(int bitCount, std::uint32_t colorsUsed)
{
    if (bitCount == 0)
        return 0;
    if (bitCount <= 8) {
        const std::uint64_t full = std::uint64_t(1) << bitCount;
        return colorsUsed == 0 ? full : colorsUsed;
    }
    return colorsUsed;
}

std::optional<DibHeader> readHeader(std::string_view info, bool paletteIndices)
{
    ByteReader r(info);
    if (!r.has(0, 4))
        return std::nullopt;
    DibHeader h;
    const std::uint32_t size = r.u32(0);
    if (size == 12 && r.has(0, 12)) {
        h.width = r.u16(4);
        h.height = r.u16(6);
        h.bitCount = r.u16(10);
        h.entrySize = 3;
        h.tableOffset = 12;
        h.tableEntries = h.bitCount <= 8 ? (std::uint64_t(1) << h.bitCount) : 0;
    } else if (size >= 40 && r.has(0, size)) {
        h.width = r.i32(4);
        const std::int64_t height = r.i32(8);
        h.topDown = height < 0;
        h.height = height < 0 ? -height : height;
        h.bitCount = r.u16(14);
        h.compression = r.u32(16);
        h.tableOffset = size;
        if (h.compression == BiBitfields || h.compression == BiAlphaBitfields) {
            const std::size_t count = h.compression == BiAlphaBitfields ? 4 : 3;
            // A plain info header is followed by the masks; later headers hold them.
            const std::size_t at = size >= 52 ? 40 : size;
            if (!r.has(at, count * 4))
                return std::nullopt;
            for (std::size_t i = 0; i < count; ++i)
                h.masks[i] = r.u32(at + 4 * i);
            if (size < 52)
                h.tableOffset += count * 4;
        }
        h.tableEntries = tableEntriesFor(h.bitCount, r.u32(32));
    } else {
        return std::nullopt;
    }
    if (paletteIndices)
        h.entrySize = 2;
    if (h.width <= 0 || h.height <= 0 || h.width > MaxDimension || h.height > MaxDimension)
        return std::nullopt;
    return h;
}

struct Channel
{
    std::uint32_t mask = 0;
    int shift = 0;
    std::uint64_t max = 1;

    explicit Channel(std::uint32_t m) : mask(m)
    {
        if (m == 0)
            return;
        shift = std::countr_zero(m);
        max = (std::uint64_t(1) << std::popcount(m >> shift)) - 1;
        if (max == 0)
            max = 1;
    }
    int value(std::uint32_t pixel) const
    {
        if (mask == 0)
            return 0;
        return static_cast<int>((std::uint64_t((pixel & mask) >> shift) * 255 + max / 2) / max);
    }
};

QVector<QRgb> readTable(const DibHeader& h, std::string_view info)
{
    ByteReader r(info);
    const std::uint64_t usable = h.bitCount <= 8 ? std::min<std::uint64_t>(h.tableEntries, 256) : 0;
    QVector<QRgb> table;
    table.reserve(static_cast<qsizetype>(usable));
    for (std::uint64_t i = 0; i < usable; ++i) {
        const std::size_t at = h.tableOffset + static_cast<std::size_t>(i) * h.entrySize;
        if (h.entrySize == 2) {
            // No logical palette is kept, so indexes become a grey ramp.
            const int level = r.u16(at) & 0xFF;
            table.push_back(qRgb(level, level, level));
        } else {
            table.push_back(qRgb(r.u8(at + 2), r.u8(at + 1), r.u8(at)));
        }
    }
    return table;
}

QImage decodeCompressed(std::string_view bits, WorkBudget& budget)
{
    QByteArray data = QByteArray::fromRawData(bits.data(), static_cast<qsizetype>(bits.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid() || size.width() > MaxDimension || size.height() > MaxDimension)
        return {};
    // Compressed rows still have to account for the picture's size: a few
    // bytes claiming a vast image is an attack, not a photo.
    const std::int64_t pixels = std::int64_t(size.width()) * size.height();
    if (pixels > std::int64_t(bits.size()) * 1024 + 65536 || pixels * 4 > MaxCompressedBytes)
        return {};
    budget.chargeBitmapPixels(std::int64_t(size.width()) * size.height());
    return reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

void decodeRow(const DibHeader& h, const unsigned char* src, QRgb* dst, const QVector<QRgb>& table,
               const std::array<Channel, 4>& channels, bool keepAlpha)
{
    const auto lookup = [&](unsigned index) { return index < unsigned(table.size()) ? table[index] : qRgb(0, 0, 0); };
    for (std::int64_t x = 0; x < h.width; ++x) {
        switch (h.bitCount) {
        case 1: dst[x] = lookup((src[x >> 3] >> (7 - (x & 7))) & 1); break;
        case 2: dst[x] = lookup((src[x >> 2] >> (6 - 2 * (x & 3))) & 3); break;
        case 4: dst[x] = lookup((src[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF); break;
        case 8: dst[x] = lookup(src[x]); break;
        case 16: {
            const std::uint32_t p = src[2 * x] | (src[2 * x + 1] << 8);
            dst[x] = qRgb(channels[0].value(p), channels[1].value(p), channels[2].value(p));
            break;
        }
        case 24: dst[x] = qRgb(src[3 * x + 2], src[3 * x + 1], src[3 * x]); break;
        case 32: {
            const std::uint32_t p = src[4 * x] | (src[4 * x + 1] << 8) | (src[4 * x + 2] << 16) |
                                    (std::uint32_t(src[4 * x + 3]) << 24);
            const int alpha = keepAlpha ? (channels[3].mask ? channels[3].value(p) : int(p >> 24)) : 255;
            dst[x] = qRgba(channels[0].value(p), channels[1].value(p), channels[2].value(p), alpha);
            break;
        }
        }
    }
}

} // namespace

QImage decodeDib(const DibParts& parts, WorkBudget& budget)
{
    const auto header = readHeader(parts.info, parts.paletteIndices);
    if (!header)
        return {};
    DibHeader h = *header;
    if (h.compression == BiJpeg || h.compression == BiPng)
        return decodeCompressed(parts.bits, budget);
    const bool fields = h.compression == BiBitfields || h.compression == BiAlphaBitfields;
    if (!(h.compression == BiRgb || (fields && (h.bitCount == 16 || h.bitCount == 32))))
        return {};
    if (h.bitCount != 1 && h.bitCount != 2 && h.bitCount != 4 && h.bitCount != 8 && h.bitCount != 16 &&
        h.bitCount != 24 && h.bitCount != 32)
        return {};
    if (h.bitCount <= 8 && !ByteReader(parts.info).has(h.tableOffset, 0))
        return {};
    if (h.bitCount <= 8) {
        const std::uint64_t usable = std::min<std::uint64_t>(h.tableEntries, 256);
        if ((parts.info.size() - h.tableOffset) / h.entrySize < usable)
            return {};
    }
    if (!fields) {
        if (h.bitCount == 16)
            h.masks = {0x7C00, 0x03E0, 0x001F, 0};
        else if (h.bitCount == 32)
            h.masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0};
    }

    const std::uint64_t stride = ((std::uint64_t(h.width) * h.bitCount + 31) / 32) * 4;
    if (stride == 0 || stride > parts.bits.size() || std::uint64_t(h.height) > parts.bits.size() / stride)
        return {};
    budget.chargeBitmapPixels(h.width * h.height);

    const QVector<QRgb> table = readTable(h, parts.info);
    const std::array<Channel, 4> channels = {Channel(h.masks[0]), Channel(h.masks[1]), Channel(h.masks[2]),
                                             Channel(h.masks[3])};
    QImage image(static_cast<int>(h.width), static_cast<int>(h.height),
                 parts.keepAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return {};
    const auto* bits = reinterpret_cast<const unsigned char*>(parts.bits.data());
    for (std::int64_t row = 0; row < h.height; ++row) {
        const std::int64_t source = h.topDown ? row : h.height - 1 - row;
        decodeRow(h, bits + source * stride, reinterpret_cast<QRgb*>(image.scanLine(static_cast<int>(row))), table,
                  channels, parts.keepAlpha);
    }
    return parts.keepAlpha ? image.convertToFormat(QImage::Format_ARGB32_Premultiplied) : image;
}

bool dibIsBottomUp(std::string_view info)
{
    const auto header = readHeader(info, false);
    return header && !header->topDown;
}

QImage decodePackedDib(std::string_view packed, bool paletteIndices, WorkBudget& budget)
{
    const auto header = readHeader(packed, paletteIndices);
    if (!header)
        return {};
    std::uint64_t table = header->tableEntries;
    if (table > packed.size())
        return {};
    const std::uint64_t offset = header->tableOffset + table * header->entrySize;
    if (offset > packed.size())
        return {};
    DibParts parts;
    parts.info = packed.substr(0, static_cast<std::size_t>(offset));
    parts.bits = packed.substr(static_cast<std::size_t>(offset));
    parts.paletteIndices = paletteIndices;
    return decodeDib(parts, budget);
}
