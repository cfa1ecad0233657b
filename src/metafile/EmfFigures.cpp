#include "metafile/EmfPlayer.h"

#include "metafile/ByteReader.h"
#include "metafile/EmfFields.h"

namespace {

enum class Poly { Bezier, Polygon, Polyline, BezierTo, LineTo };

std::optional<Poly> polyKind(std::uint32_t type)
{
    switch (type) {
    case 2:
    case 85: return Poly::Bezier;
    case 3:
    case 86: return Poly::Polygon;
    case 4:
    case 87: return Poly::Polyline;
    case 5:
    case 88: return Poly::BezierTo;
    case 6:
    case 89: return Poly::LineTo;
    default: return std::nullopt;
    }
}

// Region data: a 32-byte header, then its rectangles.
QVector<QRectF> regionRects(const ByteReader& r, std::size_t at, std::uint32_t size)
{
    QVector<QRectF> rects;
    if (size < 32)
        return rects;
    const ByteReader region(r.span(at, size));
    const std::uint32_t count = region.u32(8);
    region.requireItems(32, count, 16);
    rects.reserve(static_cast<qsizetype>(count));
    for (std::uint32_t i = 0; i < count; ++i)
        rects.append(emf::rectL(region, 32 + 16 * std::size_t(i)));
    return rects;
}

} // namespace

bool EmfPlayer::playFigureRecord(std::uint32_t type, const ByteReader& r)
{
    GdiCanvas& c = *mCanvas;
    if (const auto kind = polyKind(type)) {
        const bool small = type >= 85;
        const QPolygonF points = emf::points(r, 28, r.u32(24), small);
        switch (*kind) {
        case Poly::Bezier: c.polyBezier(points); break;
        case Poly::Polygon: c.polygon(points); break;
        case Poly::Polyline: c.polyline(points); break;
        case Poly::BezierTo: c.polyBezierTo(points); break;
        case Poly::LineTo: c.polylineTo(points); break;
        }
        return true;
    }
    switch (type) {
    case 7:
    case 8:
    case 90:
    case 91: polyPoly(type, r); break;
    case 15: c.setPixel(emf::pointL(r, 8), emf::colorRef(r, 16)); break;
    case 41: c.angleArc(emf::pointL(r, 8), r.u32(16), r.f32(20), r.f32(24)); break;
    case 42: c.ellipse(emf::rectL(r, 8)); break;
    case 43: c.rectangle(emf::rectL(r, 8)); break;
    case 44: c.roundRect(emf::rectL(r, 8), emf::sizeL(r, 24)); break;
    case 45: c.arc(GdiCanvas::ArcKind::Arc, emf::rectL(r, 8), emf::pointL(r, 24), emf::pointL(r, 32)); break;
    case 46: c.arc(GdiCanvas::ArcKind::Chord, emf::rectL(r, 8), emf::pointL(r, 24), emf::pointL(r, 32)); break;
    case 47: c.arc(GdiCanvas::ArcKind::Pie, emf::rectL(r, 8), emf::pointL(r, 24), emf::pointL(r, 32)); break;
    case 55: c.arc(GdiCanvas::ArcKind::ArcTo, emf::rectL(r, 8), emf::pointL(r, 24), emf::pointL(r, 32)); break;
    case 54: c.lineTo(emf::pointL(r, 8)); break;
    case 56:
    case 92: {
        const bool small = type == 92;
        const std::uint32_t count = r.u32(24);
        const QPolygonF points = emf::points(r, 28, count, small);
        const std::string_view types = r.span(28 + std::size_t(count) * (small ? 4 : 8), count);
        c.polyDraw(points, QVector<quint8>(types.begin(), types.end()));
        break;
    }
    default: return false;
    }
    return true;
}

void EmfPlayer::polyPoly(std::uint32_t type, const ByteReader& r)
{
    const bool small = type >= 90;
    const std::uint32_t figures = r.u32(24);
    const std::uint32_t total = r.u32(28);
    r.requireItems(32, figures, 4);
    const std::size_t pointsAt = 32 + std::size_t(figures) * 4;
    const QPolygonF all = emf::points(r, pointsAt, total, small);
    std::vector<QPolygonF> parts;
    parts.reserve(figures);
    std::uint64_t used = 0;
    for (std::uint32_t i = 0; i < figures; ++i) {
        const std::uint32_t count = r.u32(32 + 4 * std::size_t(i));
        if (count > total - used)
            throw RecordError::skip("figure counts exceed the points");
        parts.push_back(all.mid(static_cast<qsizetype>(used), count));
        used += count;
    }
    if (type == 8 || type == 91)
        mCanvas->polyPolygon(parts);
    else
        mCanvas->polyPolyline(parts);
}

bool EmfPlayer::playPathAndClipRecord(std::uint32_t type, const ByteReader& r)
{
    GdiCanvas& c = *mCanvas;
    switch (type) {
    case 59: c.beginPath(); break;
    case 60: c.endPath(); break;
    case 61: c.closeFigure(); break;
    case 62: c.fillPath(); break;
    case 63: c.strokeAndFillPath(); break;
    case 64: c.strokePath(); break;
    case 67: c.selectClipPath(r.i32(8)); break;
    case 68: c.abortPath(); break;
    case 26: c.offsetClip(emf::pointL(r, 8)); break;
    case 29: c.excludeClipRect(emf::rectL(r, 8)); break;
    case 30: c.intersectClipRect(emf::rectL(r, 8)); break;
    case 75: {
        const std::uint32_t size = r.u32(8);
        c.selectDeviceClip(regionRects(r, 16, size), r.i32(12));
        break;
    }
    case 71: {
        // The brush of a region fill comes from the table, not the context.
        const GdiObject* object = mObjects.find(r.u32(28));
        const auto* brush = object ? std::get_if<GdiBrush>(object) : nullptr;
        if (brush)
            c.fillRegion(regionRects(r, 32, r.u32(24)), *brush);
        break;
    }
    case 74: c.fillRegion(regionRects(r, 28, r.u32(24)), c.state().brush); break;
    default: return false;
    }
    return true;
}
