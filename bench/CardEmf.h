#pragma once

// A 1 MB enhanced metafile of a few thousand records, laid out as drawing
// programs write them: one photo of about 400 KB, filled polygons with a
// null pen and every fourth one outlined, hatched boxes, and a line of text
// every few figures.
#include <QString>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

namespace cardemf {

class Records
{
public:
    Records& i32(std::int64_t v)
    {
        for (int i = 0; i < 4; ++i)
            mBytes += static_cast<char>((static_cast<std::uint64_t>(v) >> (8 * i)) & 0xFF);
        return *this;
    }
    Records& i16(int v)
    {
        mBytes += static_cast<char>(v & 0xFF);
        mBytes += static_cast<char>((v >> 8) & 0xFF);
        return *this;
    }
    Records& f32(float v)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &v, 4);
        return i32(bits);
    }
    void begin(std::uint32_t type) { mStart = mBytes.size(); i32(type).i32(0); ++mCount; }
    void end()
    {
        while (mBytes.size() % 4)
            mBytes += '\0';
        const auto size = static_cast<std::uint32_t>(mBytes.size() - mStart);
        for (int i = 0; i < 4; ++i)
            mBytes[mStart + 4 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
    }
    std::string& bytes() { return mBytes; }
    int count() const { return mCount; }

private:
    std::string mBytes;
    std::size_t mStart = 0;
    int mCount = 0;
};

enum Part { Polygons = 1, Text = 2, Boxes = 4, Bitmap = 8, Everything = 15 };

// Logical units are pixels of a 340 x 190 picture at 96 dpi.
inline std::string makeCardEmf(int parts)
{
    Records r;
    r.begin(1);
    r.i32(0).i32(0).i32(339).i32(189).i32(0).i32(0).i32(8995).i32(5027);
    r.i32(0x464D4520).i32(0x10000).i32(0).i32(0).i16(16).i16(0).i32(0).i32(0).i32(0);
    r.i32(340).i32(190).i32(90).i32(50);
    r.end();

    r.begin(39);  // a solid brush in slot 1
    r.i32(1).i32(0).i32(0x00C08020).i32(0);
    r.end();
    r.begin(39);  // a hatched one in slot 2
    r.i32(2).i32(2).i32(0x00008000).i32(5);
    r.end();
    r.begin(38);  // a pen in slot 4
    r.i32(4).i32(0).i32(1).i32(0).i32(0x00202020);
    r.end();
    r.begin(82);  // a font in slot 3
    r.i32(3).i32(-12).i32(0).i32(0).i32(0).i32(400).i32(0);
    for (QChar c : QStringLiteral("DejaVu Sans").leftJustified(32, QChar(0)))
        r.i16(c.unicode());
    r.end();

    if (parts & Bitmap) {
    r.begin(81);  // the photo: 400 x 330, 24 bits
    const int w = 400, h = 330, stride = w * 3;
    r.i32(0).i32(0).i32(340).i32(190).i32(20).i32(20).i32(0).i32(0).i32(w).i32(h);
    r.i32(80).i32(40).i32(120).i32(stride * h).i32(0).i32(0x00CC0020).i32(120).i32(100);
    r.i32(40).i32(w).i32(h).i16(1).i16(24).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0);
    for (int i = 0; i < stride * h; ++i)
        r.bytes() += static_cast<char>(i * 7);
    r.end();
    }

    for (int i = 0; r.bytes().size() < 1'000'000; ++i) {
        r.begin(37);
        r.i32(i % 7 == 0 ? 2 : 1);
        r.end();
        r.begin(37);  // the outline pen, or the null pen
        r.i32(i % 4 == 0 ? 4 : 0x80000008);
        r.end();
        if (i % 5 == 0 && (parts & Boxes)) {
            r.begin(43);
            r.i32(10 + i % 300).i32(10 + i % 150).i32(40 + i % 300).i32(40 + i % 150);
            r.end();
        }
        if (parts & Polygons) {
        r.begin(86);  // a polygon of 50 points
        constexpr int points = 50;
        r.i32(0).i32(0).i32(340).i32(190).i32(points);
        const double cx = 20 + (i * 37) % 300, cy = 20 + (i * 53) % 150;
        for (int k = 0; k < points; ++k) {
            const double a = k * 6.2831853 / points;
            // A wavy blob, as a traced outline comes out.
            const double radius = 1 + 0.2 * std::sin(5 * a);
            r.i16(static_cast<int>(cx + 15 * radius * std::cos(a))).i16(static_cast<int>(cy + 10 * radius * std::sin(a)));
        }
        r.end();
        } else {
            r.begin(70);  // a comment of the same size keeps the file at 1 MB
            r.i32(220).bytes() += std::string(220, '\0');
            r.end();
        }
        if (i % 4 == 0 && (parts & Text)) {
            r.begin(37);
            r.i32(3);
            r.end();
            r.begin(84);
            const QString text = QStringLiteral("Lapora %1").arg(i);
            r.i32(0).i32(0).i32(340).i32(190).i32(1).f32(1).f32(1);
            r.i32((i * 13) % 300).i32((i * 29) % 180).i32(text.size()).i32(76).i32(0);
            r.i32(0).i32(0).i32(0).i32(0).i32(0);
            for (QChar c : text)
                r.i16(c.unicode());
            r.end();
        }
    }
    r.begin(14);
    r.i32(0).i32(16).i32(20);
    r.end();
    std::string& bytes = r.bytes();
    const auto size = static_cast<std::uint32_t>(bytes.size());
    const auto count = static_cast<std::uint32_t>(r.count());
    for (int i = 0; i < 4; ++i) {
        bytes[48 + i] = static_cast<char>((size >> (8 * i)) & 0xFF);
        bytes[52 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
    }
    return bytes;
}

} // namespace cardemf
