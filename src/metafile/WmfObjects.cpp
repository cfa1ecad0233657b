#include "metafile/WmfPlayer.h"

#include "metafile/ByteReader.h"
#include "metafile/CodePage.h"
#include "metafile/Dib.h"
#include "metafile/WmfFields.h"

namespace {

constexpr std::size_t MaxFaceBytes = 32;

// Pattern brushes fill with the mean colour of their pattern.
QColor meanColor(const QImage& image)
{
    if (image.isNull())
        return Qt::gray;
    const QImage small = image.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return small.isNull() ? QColor(Qt::gray) : QColor(small.pixel(0, 0));
}

} // namespace

bool WmfPlayer::playObjectRecord(std::uint16_t function, const ByteReader& r)
{
    switch (function) {
    case 0x012D: selectObject(wmf::uword(r, 0)); break;
    case 0x01F0: mObjects.remove(wmf::uword(r, 0)); break;
    case 0x02FA: createPen(r); break;
    case 0x02FC: createBrush(r); break;
    case 0x02FB: createFont(r); break;
    case 0x06FF: createRegion(r); break;
    case 0x0142: createPatternBrush(r); break;
    case 0x01F9: {
        GdiBrush brush;
        brush.color = Qt::gray;
        place(brush);
        break;
    }
    case 0x00F7: place(GdiPlaceholder()); break;  // palette
    default: return false;
    }
    return true;
}

// Every create record takes the lowest free slot, also one that fails to
// read, or the indexes of all later objects would shift.
void WmfPlayer::place(GdiObject object)
{
    mObjects.putLowest(std::move(object));
}

void WmfPlayer::selectObject(std::uint16_t index)
{
    const GdiObject* object = mObjects.find(index);
    if (!object)
        return;
    DcState& s = mCanvas->state();
    if (const auto* pen = std::get_if<GdiPen>(object))
        s.pen = *pen;
    else if (const auto* brush = std::get_if<GdiBrush>(object))
        s.brush = *brush;
    else if (const auto* font = std::get_if<std::shared_ptr<const GdiFont>>(object))
        s.font = *font;
    else if (const auto* region = std::get_if<GdiRegion>(object)) {
        // Selecting a region makes it the clip region.
        QTransform toDevice = mCanvas->logicalToDevice();
        QVector<QRectF> rects;
        for (const QRectF& rect : region->rects)
            rects.append(toDevice.mapRect(rect));
        mCanvas->selectDeviceClip(rects, gdi::RegionCopy);
    }
}

void WmfPlayer::createPen(const ByteReader& r)
{
    GdiPen pen;
    if (r.has(wmf::Params, 10)) {
        const std::uint16_t style = wmf::uword(r, 0);
        pen.style = style & gdi::PenStyleMask;
        pen.width = std::abs(double(wmf::word(r, 1)));
        pen.cosmetic = pen.width <= 0;
        pen.color = wmf::colorRef(r, wmf::Params + 6);
        pen.cap = style & gdi::PenEndCapMask;
        pen.join = style & gdi::PenJoinMask;
        if (pen.width > 1 && pen.style != gdi::PenNull)
            pen.style = gdi::PenSolid;
    }
    place(pen);
}

void WmfPlayer::createBrush(const ByteReader& r)
{
    GdiBrush brush;
    if (r.has(wmf::Params, 8)) {
        const std::uint16_t style = wmf::uword(r, 0);
        const std::uint16_t hatch = r.u16(wmf::Params + 6);
        brush.color = wmf::colorRef(r, wmf::Params + 2);
        if (style == gdi::BrushNull)
            brush.style = gdi::BrushNull;
        else if (style == gdi::BrushHatched && hatch <= gdi::HatchDiagonalCross) {
            brush.style = gdi::BrushHatched;
            brush.hatch = hatch;
        }
    }
    place(brush);
}

void WmfPlayer::createFont(const ByteReader& r)
{
    auto font = std::make_shared<GdiFont>();
    if (r.has(wmf::Params, 18)) {
        font->height = wmf::word(r, 0);
        font->width = wmf::word(r, 1);
        font->escapement = wmf::word(r, 2);
        font->weight = wmf::word(r, 4);
        font->italic = r.u8(wmf::Params + 10) != 0;
        font->underline = r.u8(wmf::Params + 11) != 0;
        font->strikeOut = r.u8(wmf::Params + 12) != 0;
        font->charset = r.u8(wmf::Params + 13);
        std::string_view face = r.rest(wmf::Params + 18).substr(0, MaxFaceBytes);
        face = face.substr(0, std::min(face.find('\0'), face.size()));
        font->face = decodeAnsiText(face, font->charset);
    }
    place(std::shared_ptr<const GdiFont>(font));
}

void WmfPlayer::createPatternBrush(const ByteReader& r)
{
    GdiBrush brush;
    if (r.has(wmf::Params, 4))
        brush.color = meanColor(decodePackedDib(r.rest(wmf::Params + 4), wmf::uword(r, 1) == 1, mCanvas->budget()));
    place(brush);
}

// Scans of rectangles that share a top and bottom; the bounding box alone
// when the region lists no scans.
void WmfPlayer::createRegion(const ByteReader& r)
{
    GdiRegion region;
    try {
        readRegion(r, region);
    } catch (const RecordError& e) {
        if (e.endsPlayback())
            throw;
    }
    place(region);
}

void WmfPlayer::readRegion(const ByteReader& r, GdiRegion& region)
{
    if (r.has(wmf::Params, 22)) {
        const std::int16_t scans = wmf::word(r, 5);
        std::size_t at = wmf::Params + 22;
        for (std::int16_t i = 0; i < scans && r.has(at, 6); ++i) {
            const std::uint16_t count = r.u16(at);
            const double top = r.i16(at + 2), bottom = r.i16(at + 4);
            r.requireItems(at + 6, count, 2);
            for (std::uint16_t k = 0; k + 1 < count; k += 2) {
                const double left = r.i16(at + 6 + 2 * std::size_t(k));
                const double right = r.i16(at + 8 + 2 * std::size_t(k));
                region.rects.append(QRectF(QPointF(left, top), QPointF(right, bottom)));
            }
            at += 6 + 2 * std::size_t(count) + 2;
        }
        if (scans <= 0)
            region.rects.append(QRectF(QPointF(wmf::word(r, 7), wmf::word(r, 8)),
                                       QPointF(wmf::word(r, 9), wmf::word(r, 10))));
    }
}

const GdiRegion* WmfPlayer::region(std::uint16_t index) const
{
    const GdiObject* object = mObjects.find(index);
    return object ? std::get_if<GdiRegion>(object) : nullptr;
}
