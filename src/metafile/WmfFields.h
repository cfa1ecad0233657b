#pragma once

#include "metafile/ByteReader.h"

#include <QColor>
#include <QPolygonF>
#include <QRectF>

// A Windows metafile record is its size in words, its function, then its
// parameters as 16-bit words, most of them listed last one first.
namespace wmf {

constexpr std::size_t Params = 6;

inline std::int16_t word(const ByteReader& r, std::size_t index) { return r.i16(Params + 2 * index); }
inline std::uint16_t uword(const ByteReader& r, std::size_t index) { return r.u16(Params + 2 * index); }

inline QColor colorRef(const ByteReader& r, std::size_t at)
{
    const std::uint32_t v = r.u32(at);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

// y, x at word index, as most records store a point.
inline QPointF pointYX(const ByteReader& r, std::size_t index)
{
    return QPointF(word(r, index + 1), word(r, index));
}

// bottom, right, top, left from word index on.
inline QRectF rectBRTL(const ByteReader& r, std::size_t index)
{
    return QRectF(QPointF(word(r, index + 3), word(r, index + 2)), QPointF(word(r, index + 1), word(r, index)));
}

// count x, y pairs, checked against the record before anything is allocated.
inline QPolygonF points(const ByteReader& r, std::size_t at, std::uint32_t count)
{
    r.requireItems(at, count, 4);
    QPolygonF result;
    result.reserve(static_cast<qsizetype>(count));
    for (std::uint32_t i = 0; i < count; ++i)
        result.append(QPointF(r.i16(at + 4 * std::size_t(i)), r.i16(at + 4 * std::size_t(i) + 2)));
    return result;
}

} // namespace wmf
