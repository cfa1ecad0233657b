#include "metafile/EmfPlayer.h"

#include "metafile/ByteReader.h"
#include "metafile/Dib.h"
#include "metafile/EmfFields.h"

namespace {

constexpr std::uint32_t StockFlag = 0x80000000;
constexpr std::uint32_t MaxStyleEntries = 16;

GdiBrush solidBrush(QColor color)
{
    GdiBrush brush;
    brush.color = color;
    return brush;
}

GdiPen solidPen(QColor color, int style = gdi::PenSolid)
{
    GdiPen pen;
    pen.color = color;
    pen.style = style;
    return pen;
}

std::optional<GdiObject> stockObject(std::uint32_t index)
{
    switch (index) {
    case 0: return solidBrush(Qt::white);
    case 1: return solidBrush(QColor(0xC0, 0xC0, 0xC0));
    case 2: return solidBrush(QColor(0x80, 0x80, 0x80));
    case 3: return solidBrush(QColor(0x40, 0x40, 0x40));
    case 4: return solidBrush(Qt::black);
    case 5: {
        GdiBrush brush;
        brush.style = gdi::BrushNull;
        return brush;
    }
    case 6: return solidPen(Qt::white);
    case 7: return solidPen(Qt::black);
    case 8: return solidPen(Qt::black, gdi::PenNull);
    case 18: return solidBrush(Qt::white);
    case 19: return solidPen(Qt::black);
    default:
        break;
    }
    if (index >= 10 && index <= 17) {
        auto font = std::make_shared<GdiFont>();
        if (index == 10 || index == 11 || index == 16)
            font->face = QStringLiteral("Monospace");
        return std::shared_ptr<const GdiFont>(font);
    }
    return std::nullopt;
}

GdiBrush brushFrom(std::uint32_t style, QColor color, std::uint32_t hatch)
{
    GdiBrush brush;
    brush.color = color;
    if (style == gdi::BrushNull)
        brush.style = gdi::BrushNull;
    else if (style == gdi::BrushHatched && hatch <= gdi::HatchDiagonalCross) {
        brush.style = gdi::BrushHatched;
        brush.hatch = static_cast<int>(hatch);
    }
    return brush;
}

// Pattern brushes fill with the mean colour of their pattern.
QColor meanColor(const QImage& image)
{
    if (image.isNull())
        return Qt::gray;
    const QImage small = image.scaled(1, 1, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return small.isNull() ? QColor(Qt::gray) : QColor(small.pixel(0, 0));
}

} // namespace

bool EmfPlayer::playObjectRecord(std::uint32_t type, const ByteReader& r)
{
    switch (type) {
    case 37: selectObject(r.u32(8)); break;
    case 38: createPen(r); break;
    case 39: createBrush(r); break;
    case 40: mObjects.remove(r.u32(8)); break;
    case 82: createFont(r); break;
    case 93:
    case 94: createPatternBrush(r); break;
    case 95: createExtPen(r); break;
    case 49: mObjects.put(r.u32(8), GdiPlaceholder()); break;  // palette
    default: return false;
    }
    return true;
}

void EmfPlayer::selectObject(std::uint32_t index)
{
    std::optional<GdiObject> stock;
    const GdiObject* object = nullptr;
    if (index & StockFlag) {
        stock = stockObject(index & ~StockFlag);
        object = stock ? &*stock : nullptr;
    } else {
        object = mObjects.find(index);
    }
    if (!object)
        return;
    DcState& s = mCanvas->state();
    if (const auto* pen = std::get_if<GdiPen>(object))
        s.pen = *pen;
    else if (const auto* brush = std::get_if<GdiBrush>(object))
        s.brush = *brush;
    else if (const auto* font = std::get_if<std::shared_ptr<const GdiFont>>(object))
        s.font = *font;
}

void EmfPlayer::createPen(const ByteReader& r)
{
    GdiPen pen;
    const std::uint32_t style = r.u32(12);
    pen.style = static_cast<int>(style & gdi::PenStyleMask);
    pen.width = std::abs(double(r.i32(16)));
    pen.cosmetic = pen.width <= 0;
    pen.color = emf::colorRef(r, 24);
    pen.cap = style & gdi::PenEndCapMask;
    pen.join = style & gdi::PenJoinMask;
    // Wide pens of this kind draw solid lines only.
    if (pen.width > 1 && pen.style != gdi::PenNull)
        pen.style = gdi::PenSolid;
    mObjects.put(r.u32(8), pen);
}

void EmfPlayer::createExtPen(const ByteReader& r)
{
    GdiPen pen;
    const std::uint32_t style = r.u32(28);
    pen.style = static_cast<int>(style & gdi::PenStyleMask);
    pen.cosmetic = !(style & gdi::PenGeometric);
    pen.width = pen.cosmetic ? 0.0 : double(r.u32(32));
    if (r.u32(36) == gdi::BrushNull)
        pen.style = gdi::PenNull;
    pen.color = emf::colorRef(r, 40);
    pen.cap = style & gdi::PenEndCapMask;
    pen.join = style & gdi::PenJoinMask;
    if (pen.style == gdi::PenUserStyle) {
        const std::uint32_t count = r.u32(48);
        if (count > 0 && count <= MaxStyleEntries) {
            r.requireItems(52, count, 4);
            for (std::uint32_t i = 0; i < count; ++i)
                pen.dashes.append(double(r.u32(52 + 4 * i)));
        }
    }
    mObjects.put(r.u32(8), pen);
}

void EmfPlayer::createBrush(const ByteReader& r)
{
    mObjects.put(r.u32(8), brushFrom(r.u32(12), emf::colorRef(r, 16), r.u32(20)));
}

void EmfPlayer::createPatternBrush(const ByteReader& r)
{
    DibParts parts;
    parts.paletteIndices = r.u32(12) == 1;
    parts.info = r.span(r.u32(16), r.u32(20));
    parts.bits = r.span(r.u32(24), r.u32(28));
    GdiBrush brush;
    brush.color = meanColor(decodeDib(parts, mCanvas->budget()));
    mObjects.put(r.u32(8), brush);
}

void EmfPlayer::createFont(const ByteReader& r)
{
    r.require(0, 104);
    auto font = std::make_shared<GdiFont>();
    font->height = r.i32(12);
    font->width = r.i32(16);
    font->escapement = r.i32(20);
    font->weight = r.i32(28);
    font->italic = r.u8(32) != 0;
    font->underline = r.u8(33) != 0;
    font->strikeOut = r.u8(34) != 0;
    font->charset = r.u8(35);
    QString face;
    for (std::size_t i = 0; i < 32; ++i) {
        const char16_t ch = r.u16(40 + 2 * i);
        if (ch == 0)
            break;
        face.append(QChar(ch));
    }
    font->face = face;
    mObjects.put(r.u32(8), std::shared_ptr<const GdiFont>(font));
}
