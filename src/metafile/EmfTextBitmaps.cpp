#include "metafile/EmfPlayer.h"

#include "metafile/ByteReader.h"
#include "metafile/CodePage.h"
#include "metafile/Dib.h"
#include "metafile/EmfFields.h"

namespace {

constexpr std::uint32_t NoRect = 0x0100;
constexpr std::uint32_t SmallChars = 0x0200;
constexpr std::uint8_t SourceAlpha = 0x01;

int ropCode(std::uint32_t rop) { return static_cast<int>((rop >> 16) & 0xFF); }

QString wideText(std::string_view bytes)
{
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size() / 2));
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(char16_t(static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8))));
    return text;
}

int charsetOf(const DcState& s) { return s.font ? s.font->charset : gdi::CharsetDefault; }

// The source rectangle in rows counted from the top of the decoded image.
QRectF sourceRect(double x, double y, double w, double h, const QImage& image, bool fromBottom)
{
    if (fromBottom)
        y = image.height() - y - h;
    return QRectF(x, y, w, h);
}

QImage keyedOut(const QImage& image, QColor key)
{
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb match = key.rgb() & 0xFFFFFF;
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if ((line[x] & 0xFFFFFF) == match)
                line[x] = 0;
        }
    }
    return out;
}

} // namespace

bool EmfPlayer::playTextRecord(std::uint32_t type, const ByteReader& r)
{
    switch (type) {
    case 83: extTextOut(r, false); break;
    case 84: extTextOut(r, true); break;
    case 108: smallTextOut(r); break;
    default: return false;
    }
    return true;
}

void EmfPlayer::extTextOut(const ByteReader& r, bool wide)
{
    GdiCanvas::TextRun run;
    run.reference = emf::pointL(r, 36);
    const std::uint32_t chars = r.u32(44);
    const std::uint32_t offString = r.u32(48);
    run.options = r.u32(52);
    run.rect = emf::rectL(r, 56);
    const std::uint32_t offDx = r.u32(72);
    r.requireItems(offString, chars, wide ? 2 : 1);
    const std::string_view bytes = r.span(offString, std::size_t(chars) * (wide ? 2 : 1));
    if (run.options & gdi::TextGlyphIndex) {
        run.glyphIndexes = true;
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
            run.glyphs.append(r.u16(offString + i));
    } else {
        run.text = wide ? wideText(bytes) : decodeAnsiText(bytes, charsetOf(mCanvas->state()));
    }
    // A spacing array that is not all there is left out, the text is not.
    const std::size_t step = (run.options & gdi::TextPdy) ? 8 : 4;
    if (offDx != 0 && r.has(offDx, std::size_t(chars) * step)) {
        run.dx.reserve(static_cast<qsizetype>(chars));
        for (std::uint32_t i = 0; i < chars; ++i)
            run.dx.append(r.i32(offDx + std::size_t(i) * step));
    }
    mCanvas->text(run);
}

void EmfPlayer::smallTextOut(const ByteReader& r)
{
    GdiCanvas::TextRun run;
    run.reference = emf::pointL(r, 8);
    const std::uint32_t chars = r.u32(16);
    run.options = r.u32(20);
    std::size_t at = 36;
    if (!(run.options & NoRect)) {
        run.rect = emf::rectL(r, at);
        at += 16;
    }
    const bool narrow = run.options & SmallChars;
    r.requireItems(at, chars, narrow ? 1 : 2);
    const std::string_view bytes = r.span(at, std::size_t(chars) * (narrow ? 1 : 2));
    run.text = narrow ? decodeAnsiText(bytes, charsetOf(mCanvas->state())) : wideText(bytes);
    run.options &= ~gdi::TextGlyphIndex;
    mCanvas->text(run);
}

bool EmfPlayer::playBitmapRecord(std::uint32_t type, const ByteReader& r)
{
    switch (type) {
    case 76:
    case 77:
    case 114:
    case 116: bitBlt(type, r); break;
    case 80: setDiBitsToDevice(r); break;
    case 81: stretchDiBits(r); break;
    default: return false;
    }
    return true;
}

void EmfPlayer::stretchDiBits(const ByteReader& r)
{
    const QRectF box(r.i32(24), r.i32(28), r.i32(72), r.i32(76));
    const std::uint32_t rop = r.u32(68);
    DibParts parts;
    parts.info = r.span(r.u32(48), r.u32(52));
    parts.bits = r.span(r.u32(56), r.u32(60));
    parts.paletteIndices = r.u32(64) == 1;
    if (parts.info.empty()) {
        mCanvas->patternBlt(box, ropCode(rop));
        return;
    }
    const QImage image = decodeDib(parts, mCanvas->budget());
    if (image.isNull())
        return;
    const QRectF source = sourceRect(r.i32(32), r.i32(36), r.i32(40), r.i32(44), image, dibIsBottomUp(parts.info));
    mCanvas->drawImage(image, box, source);
}

void EmfPlayer::setDiBitsToDevice(const ByteReader& r)
{
    DibParts parts;
    parts.info = r.span(r.u32(48), r.u32(52));
    parts.bits = r.span(r.u32(56), r.u32(60));
    parts.paletteIndices = r.u32(64) == 1;
    const QImage image = decodeDib(parts, mCanvas->budget());
    if (image.isNull())
        return;
    const double w = r.i32(40), h = r.i32(44);
    const QRectF box(r.i32(24), r.i32(28), w, h);
    mCanvas->drawImage(image, box, sourceRect(r.i32(32), r.i32(36), w, h, image, dibIsBottomUp(parts.info)));
}

void EmfPlayer::bitBlt(std::uint32_t type, const ByteReader& r)
{
    const QRectF box(r.i32(24), r.i32(28), r.i32(32), r.i32(36));
    const std::uint32_t rop = r.u32(40);
    const std::uint32_t cbBmi = r.u32(88);
    if (cbBmi == 0) {
        if (type == 76 || type == 77)
            mCanvas->patternBlt(box, ropCode(rop));
        return;
    }
    DibParts parts;
    parts.info = r.span(r.u32(84), cbBmi);
    parts.bits = r.span(r.u32(92), r.u32(96));
    parts.paletteIndices = r.u32(80) == 1;
    const bool blend = type == 114;
    parts.keepAlpha = blend && (r.u8(43) & SourceAlpha);
    QImage image = decodeDib(parts, mCanvas->budget());
    if (image.isNull())
        return;
    const bool stretched = type != 76;
    const double sw = stretched ? r.i32(100) : box.width();
    const double sh = stretched ? r.i32(104) : box.height();
    // The source of a blit counts rows from the top, whatever the bitmap's order.
    const QRectF source(r.i32(44), r.i32(48), sw, sh);
    if (type == 116)
        image = keyedOut(image, emf::colorRef(r, 40));
    mCanvas->drawImage(image, box, source, blend ? r.u8(42) / 255.0 : 1.0);
}
