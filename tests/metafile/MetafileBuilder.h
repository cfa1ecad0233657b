#pragma once

#include <QColor>
#include <QRect>
#include <QString>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>

// Little-endian parameter bytes of one record.
class Params
{
public:
    Params() = default;
    Params(std::initializer_list<std::int32_t> values)
    {
        for (std::int32_t v : values)
            i32(v);
    }

    Params& i32(std::int64_t v);
    Params& i16(std::int32_t v);
    Params& u8(int v);
    Params& f32(float v);
    Params& color(QColor c);
    Params& bytes(const std::string& b);
    Params& wide(const QString& text);
    Params& pad(std::size_t multiple);

    const std::string& data() const { return mData; }
    std::size_t size() const { return mData.size(); }

private:
    std::string mData;
};

// An enhanced metafile whose device units are pixels at 96 dpi, so that
// logical coordinates in MM_TEXT are pixels of a picture rendered 1:1.
class EmfBuilder
{
public:
    explicit EmfBuilder(QSize pixels = QSize(100, 100));

    EmfBuilder& add(std::uint32_t type, const Params& params = {});
    std::string finish(bool withEof = true) const;

private:
    std::string mHeader;
    std::string mRecords;
    int mCount = 1;
};

// A Windows metafile with or without its placeable header.
class WmfBuilder
{
public:
    explicit WmfBuilder(std::optional<QRect> placeable = std::nullopt, int unitsPerInch = 96);

    // Parameters as 16-bit words, in the order the record stores them.
    WmfBuilder& add(std::uint16_t function, std::initializer_list<std::int32_t> words);
    WmfBuilder& add(std::uint16_t function, const Params& params);
    std::string finish() const;

private:
    std::string mPlaceable;
    std::string mRecords;
    std::size_t mLargest = 3;
};

// A bitmap info header with its colour table, and apart from it the rows,
// padded as the format wants; pixel(x, y) counts y from the top.
struct TestDib
{
    std::string info;
    std::string bits;
};
TestDib makeDib(int width, int height, int bitCount, const std::function<QColor(int, int)>& pixel,
                bool topDown = false);

// Record types the tests assemble.
namespace emr {
constexpr std::uint32_t PolyBezier16 = 85, Polygon16 = 86, Polyline16 = 87, PolyPolygon16 = 91;
constexpr std::uint32_t SetWindowExt = 9, SetWindowOrg = 10, SetViewportExt = 11, SetViewportOrg = 12;
constexpr std::uint32_t SetMapMode = 17, SetBkMode = 18, SetPolyFillMode = 19, SetTextAlign = 22;
constexpr std::uint32_t SetTextColor = 24, SetBkColor = 25, MoveTo = 27, ExcludeClipRect = 29;
constexpr std::uint32_t IntersectClipRect = 30, SaveDc = 33, RestoreDc = 34, SetWorldTransform = 35;
constexpr std::uint32_t ModifyWorldTransform = 36, SelectObject = 37, CreatePen = 38, CreateBrush = 39;
constexpr std::uint32_t DeleteObject = 40, Ellipse = 42, Rectangle = 43, Pie = 47, LineTo = 54;
constexpr std::uint32_t SetArcDirection = 57, BeginPath = 59, EndPath = 60, CloseFigure = 61, FillPath = 62;
constexpr std::uint32_t StrokePath = 64, AbortPath = 68, ExtSelectClipRgn = 75, BitBlt = 76;
constexpr std::uint32_t StretchDiBits = 81, CreateFont = 82, ExtTextOutW = 84;
constexpr std::uint32_t StockNullPen = 0x80000008;
} // namespace emr

namespace meta {
constexpr std::uint16_t SetBkMode = 0x0102, SetMapMode = 0x0103, SetWindowOrg = 0x020B, SetWindowExt = 0x020C;
constexpr std::uint16_t SelectObject = 0x012D, DeleteObject = 0x01F0, CreatePen = 0x02FA;
constexpr std::uint16_t CreateBrush = 0x02FC, CreateFont = 0x02FB, Rectangle = 0x041B, Ellipse = 0x0418;
constexpr std::uint16_t PolyPolygon = 0x0538, TextOut = 0x0521, StretchDib = 0x0F43, SetTextAlign = 0x012E;
} // namespace meta

// Common records, in logical units.
Params rectParams(int left, int top, int right, int bottom);
Params brushParams(std::uint32_t slot, int style, QColor color, int hatch = 0);
void selectNullPen(EmfBuilder& emf);
void selectBrush(EmfBuilder& emf, QColor color, std::uint32_t slot = 1);
void fillRect(EmfBuilder& emf, QColor color, QRect box, std::uint32_t slot = 1);
