#include "tests/metafile/MetafileBuilder.h"

#include <bit>
#include <cmath>
#include <map>

namespace {

void putU32(std::string& s, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        s[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void putU16(std::string& s, std::size_t at, std::uint16_t v)
{
    s[at] = static_cast<char>(v & 0xFF);
    s[at + 1] = static_cast<char>(v >> 8);
}

} // namespace

Params& Params::i32(std::int64_t v)
{
    for (int i = 0; i < 4; ++i)
        mData += static_cast<char>((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xFF);
    return *this;
}

Params& Params::i16(std::int32_t v)
{
    mData += static_cast<char>(v & 0xFF);
    mData += static_cast<char>((v >> 8) & 0xFF);
    return *this;
}

Params& Params::u8(int v)
{
    mData += static_cast<char>(v & 0xFF);
    return *this;
}

Params& Params::f32(float v) { return i32(std::bit_cast<std::uint32_t>(v)); }

Params& Params::color(QColor c) { return i32(c.red() | (c.green() << 8) | (c.blue() << 16)); }

Params& Params::bytes(const std::string& b)
{
    mData += b;
    return *this;
}

Params& Params::wide(const QString& text)
{
    for (QChar ch : text)
        i16(ch.unicode());
    return *this;
}

Params& Params::pad(std::size_t multiple)
{
    while (mData.size() % multiple)
        mData += '\0';
    return *this;
}

EmfBuilder::EmfBuilder(QSize pixels)
{
    // 96 dpi: a pixel is 2540/96 hundredths of a millimetre.
    const auto hundredths = [](int px) { return static_cast<std::int32_t>(std::lround(px * 2540.0 / 96.0)) - 1; };
    Params h;
    h.i32(1).i32(108);
    h.i32(0).i32(0).i32(pixels.width() - 1).i32(pixels.height() - 1);
    h.i32(0).i32(0).i32(hundredths(pixels.width())).i32(hundredths(pixels.height()));
    h.i32(0x464D4520).i32(0x10000).i32(0).i32(0);  // signature, version, bytes, records
    h.i16(16).i16(0).i32(0).i32(0).i32(0);         // handles, reserved, description, palette
    h.i32(pixels.width()).i32(pixels.height());    // device pixels
    h.i32(std::lround(pixels.width() * 25.4 / 96)).i32(std::lround(pixels.height() * 25.4 / 96));
    h.i32(0).i32(0).i32(0);                        // pixel format, OpenGL
    h.i32(std::lround(pixels.width() * 25400.0 / 96)).i32(std::lround(pixels.height() * 25400.0 / 96));
    mHeader = h.data();
}

EmfBuilder& EmfBuilder::add(std::uint32_t type, const Params& params)
{
    Params record;
    record.i32(type).i32(8 + ((params.size() + 3) & ~std::size_t(3)));
    record.bytes(params.data()).pad(4);
    mRecords += record.data();
    ++mCount;
    return *this;
}

std::string EmfBuilder::finish(bool withEof) const
{
    std::string records = mRecords;
    int count = mCount;
    if (withEof) {
        records += Params{14, 20, 0, 16, 20}.data();
        ++count;
    }
    std::string out = mHeader + records;
    putU32(out, 48, static_cast<std::uint32_t>(out.size()));
    putU32(out, 52, static_cast<std::uint32_t>(count));
    return out;
}

WmfBuilder::WmfBuilder(std::optional<QRect> placeable, int unitsPerInch)
{
    if (!placeable)
        return;
    Params p;
    p.i32(0x9AC6CDD7).i16(0);
    p.i16(placeable->left()).i16(placeable->top()).i16(placeable->right() + 1).i16(placeable->bottom() + 1);
    p.i16(unitsPerInch).i32(0);
    std::uint16_t sum = 0;
    for (std::size_t i = 0; i + 1 < p.size(); i += 2)
        sum ^= static_cast<std::uint16_t>(static_cast<unsigned char>(p.data()[i]) |
                                          (static_cast<unsigned char>(p.data()[i + 1]) << 8));
    p.i16(sum);
    mPlaceable = p.data();
}

WmfBuilder& WmfBuilder::add(std::uint16_t function, std::initializer_list<std::int32_t> words)
{
    Params p;
    for (std::int32_t w : words)
        p.i16(w);
    return add(function, p);
}

WmfBuilder& WmfBuilder::add(std::uint16_t function, const Params& params)
{
    Params padded = params;
    padded.pad(2);
    const std::size_t words = 3 + padded.size() / 2;
    Params record;
    record.i32(static_cast<std::int64_t>(words)).i16(function).bytes(padded.data());
    mRecords += record.data();
    mLargest = std::max(mLargest, words);
    return *this;
}

std::string WmfBuilder::finish() const
{
    const std::string records = mRecords + Params().i32(3).i16(0).data();
    Params header;
    header.i16(1).i16(9).i16(0x0300).i32(static_cast<std::int64_t>(9 + records.size() / 2));
    header.i16(16).i32(static_cast<std::int64_t>(mLargest)).i16(0);
    return mPlaceable + header.data() + records;
}

TestDib makeDib(int width, int height, int bitCount, const std::function<QColor(int, int)>& pixel, bool topDown)
{
    std::map<QRgb, int> palette;
    std::vector<QRgb> order;
    if (bitCount <= 8) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const QRgb c = pixel(x, y).rgb();
                if (palette.emplace(c, static_cast<int>(order.size())).second)
                    order.push_back(c);
            }
        }
    }
    Params info;
    info.i32(40).i32(width).i32(topDown ? -height : height).i16(1).i16(bitCount);
    info.i32(0).i32(0).i32(0).i32(0).i32(bitCount <= 8 ? static_cast<std::int64_t>(order.size()) : 0).i32(0);
    for (QRgb c : order)
        info.u8(qBlue(c)).u8(qGreen(c)).u8(qRed(c)).u8(0);

    const int stride = ((width * bitCount + 31) / 32) * 4;
    std::string bits(static_cast<std::size_t>(stride) * height, '\0');
    for (int row = 0; row < height; ++row) {
        const int y = topDown ? row : height - 1 - row;
        auto* line = reinterpret_cast<unsigned char*>(bits.data()) + std::size_t(row) * stride;
        for (int x = 0; x < width; ++x) {
            const QColor c = pixel(x, y);
            if (bitCount == 24 || bitCount == 32) {
                const int bytes = bitCount / 8;
                line[x * bytes] = static_cast<unsigned char>(c.blue());
                line[x * bytes + 1] = static_cast<unsigned char>(c.green());
                line[x * bytes + 2] = static_cast<unsigned char>(c.red());
            } else {
                const int index = palette[c.rgb()];
                const int perByte = 8 / bitCount;
                const int shift = 8 - bitCount * (1 + x % perByte);
                line[x / perByte] |= static_cast<unsigned char>(index << shift);
            }
        }
    }
    return {info.data(), bits};
}

Params rectParams(int left, int top, int right, int bottom) { return Params{left, top, right, bottom}; }

Params brushParams(std::uint32_t slot, int style, QColor color, int hatch)
{
    Params p;
    p.i32(slot).i32(style).color(color).i32(hatch);
    return p;
}

void selectNullPen(EmfBuilder& emf) { emf.add(emr::SelectObject, Params().i32(emr::StockNullPen)); }

void selectBrush(EmfBuilder& emf, QColor color, std::uint32_t slot)
{
    emf.add(emr::CreateBrush, brushParams(slot, 0, color));
    emf.add(emr::SelectObject, Params().i32(slot));
    selectNullPen(emf);
}

void fillRect(EmfBuilder& emf, QColor color, QRect box, std::uint32_t slot)
{
    selectBrush(emf, color, slot);
    emf.add(emr::Rectangle, rectParams(box.left(), box.top(), box.right() + 1, box.bottom() + 1));
}
