#pragma once

#include "metafile/ByteReader.h"

#include <QColor>
#include <QPolygonF>
#include <QRectF>
#include <QTransform>

// Field layouts that recur across the records of an enhanced metafile.
namespace emf {

inline QColor colorRef(const ByteReader& r, std::size_t at)
{
    const std::uint32_t v = r.u32(at);
    return QColor(int(v & 0xFF), int((v >> 8) & 0xFF), int((v >> 16) & 0xFF));
}

inline QPointF pointL(const ByteReader& r, std::size_t at) { return QPointF(r.i32(at), r.i32(at + 4)); }

inline QSizeF sizeL(const ByteReader& r, std::size_t at) { return QSizeF(r.i32(at), r.i32(at + 4)); }

// Left, top, right, bottom.
inline QRectF rectL(const ByteReader& r, std::size_t at)
{
    const double l = r.i32(at), t = r.i32(at + 4), rr = r.i32(at + 8), b = r.i32(at + 12);
    return QRectF(QPointF(l, t), QPointF(rr, b));
}

inline QTransform xform(const ByteReader& r, std::size_t at)
{
    return QTransform(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12), r.f32(at + 16), r.f32(at + 20));
}

// count points of 8 (32-bit) or 4 (16-bit) bytes each, checked against the
// record before anything is allocated.
inline QPolygonF points(const ByteReader& r, std::size_t at, std::uint32_t count, bool small)
{
    const std::size_t size = small ? 4 : 8;
    r.requireItems(at, count, size);
    QPolygonF result;
    result.reserve(static_cast<qsizetype>(count));
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t p = at + std::size_t(i) * size;
        if (small)
            result.append(QPointF(r.i16(p), r.i16(p + 2)));
        else
            result.append(QPointF(r.i32(p), r.i32(p + 4)));
    }
    return result;
}

} // namespace emf
