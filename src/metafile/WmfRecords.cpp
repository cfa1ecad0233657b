#include "metafile/WmfPlayer.h"

#include "metafile/ByteReader.h"
#include "metafile/CodePage.h"
#include "metafile/Dib.h"
#include "metafile/WmfFields.h"

namespace {

int ropCode(std::uint32_t rop) { return static_cast<int>((rop >> 16) & 0xFF); }

// A blit record without a bitmap is exactly this long.
bool hasNoBitmap(std::uint16_t function, const ByteReader& r)
{
    return r.size() == (std::size_t((function >> 8) + 3)) * 2;
}

int charsetOf(const DcState& s) { return s.font ? s.font->charset : gdi::CharsetDefault; }

} // namespace

bool WmfPlayer::playFigureRecord(std::uint16_t function, const ByteReader& r)
{
    GdiCanvas& c = *mCanvas;
    switch (function) {
    case 0x0213: c.lineTo(wmf::pointYX(r, 0)); break;
    case 0x0324:
    case 0x0325: {
        const std::int16_t count = wmf::word(r, 0);
        if (count < 0)
            throw RecordError::skip("negative point count");
        const QPolygonF points = wmf::points(r, wmf::Params + 2, static_cast<std::uint32_t>(count));
        if (function == 0x0324)
            c.polygon(points);
        else
            c.polyline(points);
        break;
    }
    case 0x0538: polyPolygon(r); break;
    case 0x0418: c.ellipse(wmf::rectBRTL(r, 0)); break;
    case 0x041B: c.rectangle(wmf::rectBRTL(r, 0)); break;
    case 0x061C: c.roundRect(wmf::rectBRTL(r, 2), QSizeF(wmf::word(r, 1), wmf::word(r, 0))); break;
    case 0x0817:
    case 0x081A:
    case 0x0830: {
        const auto kind = function == 0x0817   ? GdiCanvas::ArcKind::Arc
                          : function == 0x081A ? GdiCanvas::ArcKind::Pie
                                               : GdiCanvas::ArcKind::Chord;
        c.arc(kind, wmf::rectBRTL(r, 4), wmf::pointYX(r, 2), wmf::pointYX(r, 0));
        break;
    }
    case 0x041F: c.setPixel(wmf::pointYX(r, 2), wmf::colorRef(r, wmf::Params)); break;
    case 0x061D: {
        const QRectF box(wmf::word(r, 5), wmf::word(r, 4), wmf::word(r, 3), wmf::word(r, 2));
        c.patternBlt(box, ropCode(r.u32(wmf::Params)));
        break;
    }
    case 0x0228: {
        const GdiRegion* area = region(wmf::uword(r, 0));
        const GdiObject* object = mObjects.find(wmf::uword(r, 1));
        const auto* brush = object ? std::get_if<GdiBrush>(object) : nullptr;
        if (area && brush)
            c.fillRegion(area->rects, *brush);
        break;
    }
    case 0x012B:
        if (const GdiRegion* area = region(wmf::uword(r, 0)))
            c.fillRegion(area->rects, c.state().brush);
        break;
    default: return false;
    }
    return true;
}

void WmfPlayer::polyPolygon(const ByteReader& r)
{
    const std::uint16_t figures = wmf::uword(r, 0);
    r.requireItems(wmf::Params + 2, figures, 2);
    std::size_t at = wmf::Params + 2 + std::size_t(figures) * 2;
    std::vector<QPolygonF> parts;
    parts.reserve(figures);
    for (std::uint16_t i = 0; i < figures; ++i) {
        const std::uint16_t count = wmf::uword(r, 1 + std::size_t(i));
        parts.push_back(wmf::points(r, at, count));
        at += std::size_t(count) * 4;
    }
    mCanvas->polyPolygon(parts);
}

bool WmfPlayer::playClipRecord(std::uint16_t function, const ByteReader& r)
{
    GdiCanvas& c = *mCanvas;
    switch (function) {
    case 0x0416: c.intersectClipRect(wmf::rectBRTL(r, 0)); break;
    case 0x0415: c.excludeClipRect(wmf::rectBRTL(r, 0)); break;
    case 0x0220: c.offsetClip(wmf::pointYX(r, 0)); break;
    case 0x012C: selectObject(wmf::uword(r, 0)); break;
    default: return false;
    }
    return true;
}

bool WmfPlayer::playTextRecord(std::uint16_t function, const ByteReader& r)
{
    switch (function) {
    case 0x0521: textOut(r); break;
    case 0x0A32: extTextOut(r); break;
    default: return false;
    }
    return true;
}

void WmfPlayer::textOut(const ByteReader& r)
{
    const std::int16_t length = wmf::word(r, 0);
    if (length < 0)
        throw RecordError::skip("negative text length");
    const std::size_t padded = (std::size_t(length) + 1) & ~std::size_t(1);
    GdiCanvas::TextRun run;
    run.text = decodeAnsiText(r.span(wmf::Params + 2, std::size_t(length)), charsetOf(mCanvas->state()));
    const std::size_t at = wmf::Params + 2 + padded;
    run.reference = QPointF(r.i16(at + 2), r.i16(at));
    mCanvas->text(run);
}

void WmfPlayer::extTextOut(const ByteReader& r)
{
    GdiCanvas::TextRun run;
    run.reference = wmf::pointYX(r, 0);
    const std::int16_t length = wmf::word(r, 2);
    if (length < 0)
        throw RecordError::skip("negative text length");
    run.options = wmf::uword(r, 3);
    std::size_t at = wmf::Params + 8;
    if (run.options & (gdi::TextOpaque | gdi::TextClipped)) {
        run.rect = QRectF(QPointF(r.i16(at), r.i16(at + 2)), QPointF(r.i16(at + 4), r.i16(at + 6)));
        at += 8;
    }
    run.text = decodeAnsiText(r.span(at, std::size_t(length)), charsetOf(mCanvas->state()));
    at += (std::size_t(length) + 1) & ~std::size_t(1);
    if (r.has(at, std::size_t(length) * 2)) {
        for (std::int16_t i = 0; i < length; ++i)
            run.dx.append(r.i16(at + 2 * std::size_t(i)));
    }
    run.options &= ~gdi::TextGlyphIndex;
    mCanvas->text(run);
}

bool WmfPlayer::playBitmapRecord(std::uint16_t function, const ByteReader& r)
{
    switch (function) {
    case 0x0940:
    case 0x0B41: dibBlt(function, r); break;
    case 0x0F43: stretchDib(r); break;
    case 0x0D33: setDibToDevice(r); break;
    default: return false;
    }
    return true;
}

void WmfPlayer::dibBlt(std::uint16_t function, const ByteReader& r)
{
    const std::uint32_t rop = r.u32(wmf::Params);
    const bool stretch = function == 0x0B41;
    // Without a bitmap one reserved word sits before the destination.
    const bool noBitmap = hasNoBitmap(function, r);
    const std::size_t dest = (stretch ? 4 : 2) + (noBitmap ? 3 : 2);
    const QRectF box(wmf::word(r, dest + 3), wmf::word(r, dest + 2), wmf::word(r, dest + 1), wmf::word(r, dest));
    if (noBitmap) {
        mCanvas->patternBlt(box, ropCode(rop));
        return;
    }
    const QImage image = decodePackedDib(r.rest(wmf::Params + 2 * (dest + 4)), false, mCanvas->budget());
    if (image.isNull())
        return;
    const double sx = wmf::word(r, stretch ? 5 : 3), sy = wmf::word(r, stretch ? 4 : 2);
    const double sw = stretch ? wmf::word(r, 3) : box.width();
    const double sh = stretch ? wmf::word(r, 2) : box.height();
    mCanvas->drawImage(image, box, QRectF(sx, sy, sw, sh));
}

void WmfPlayer::stretchDib(const ByteReader& r)
{
    const QRectF box(wmf::word(r, 10), wmf::word(r, 9), wmf::word(r, 8), wmf::word(r, 7));
    const std::string_view packed = r.rest(wmf::Params + 22);
    const QImage image = decodePackedDib(packed, wmf::uword(r, 2) == 1, mCanvas->budget());
    if (image.isNull())
        return;
    const double w = wmf::word(r, 4), h = wmf::word(r, 3);
    double y = wmf::word(r, 5);
    // A bottom-up bitmap counts the source from its last row.
    if (dibIsBottomUp(packed))
        y = image.height() - y - h;
    mCanvas->drawImage(image, box, QRectF(wmf::word(r, 6), y, w, h));
}

void WmfPlayer::setDibToDevice(const ByteReader& r)
{
    const std::string_view packed = r.rest(wmf::Params + 18);
    const QImage image = decodePackedDib(packed, wmf::uword(r, 0) == 1, mCanvas->budget());
    if (image.isNull())
        return;
    const double w = wmf::word(r, 6), h = wmf::word(r, 5);
    double y = wmf::word(r, 3);
    if (dibIsBottomUp(packed))
        y = image.height() - y - h;
    const QRectF box(wmf::word(r, 8), wmf::word(r, 7), w, h);
    mCanvas->drawImage(image, box, QRectF(wmf::word(r, 4), y, w, h));
}
