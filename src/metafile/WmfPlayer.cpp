#include "metafile/WmfPlayer.h"

#include "metafile/ByteReader.h"
#include "metafile/WmfFields.h"

#include <QPainter>
#include <QPicture>

#include <cmath>

namespace {

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr std::size_t PlaceableSize = 22;
constexpr std::size_t HeaderSize = 18;
constexpr int MaxPixels = 30000;
constexpr std::uint16_t MetaEof = 0x0000;
constexpr std::uint16_t MetaSetWindowOrg = 0x020B;
constexpr std::uint16_t MetaSetWindowExt = 0x020C;

const char* const NotWmf = "The picture is not a WMF metafile, or its header is damaged.";

int clampPixels(double px)
{
    if (!std::isfinite(px))
        return 1;
    return static_cast<int>(std::clamp(std::round(std::abs(px)), 1.0, double(MaxPixels)));
}

// Records that only set up the device context; the first record of any
// other kind draws.
bool setsUpOnly(std::uint16_t function)
{
    switch (function) {
    case 0x0102: case 0x0103: case 0x0104: case 0x0105: case 0x0106: case 0x0107: case 0x0108:
    case 0x0127: case 0x012D: case 0x012E: case 0x001E: case 0x01F0: case 0x0201: case 0x0209:
    case 0x020A: case 0x020B: case 0x020C: case 0x020D: case 0x020E: case 0x020F: case 0x0211:
    case 0x0231: case 0x0234: case 0x0035: case 0x0037: case 0x0139: case 0x0142: case 0x0149:
    case 0x00F7: case 0x01F9: case 0x02FA: case 0x02FB: case 0x02FC: case 0x0410: case 0x0412:
    case 0x0626: case 0x06FF:
        return true;
    default:
        return false;
    }
}

} // namespace

WmfPlayer::WmfPlayer(std::string_view bytes) : mBytes(bytes)
{
    ByteReader r(bytes);
    std::size_t header = 0;
    const bool placeable = r.has(0, 4) && r.u32(0) == PlaceableKey;
    if (placeable)
        header = PlaceableSize;
    if (!r.has(header, HeaderSize))
        throw MetafileError(NotWmf);
    const std::uint16_t type = r.u16(header);
    const std::uint16_t words = r.u16(header + 2);
    const std::uint16_t version = r.u16(header + 4);
    if ((type != 1 && type != 2) || words != 9 || (version != 0x0100 && version != 0x0300))
        throw MetafileError(NotWmf);
    mFirstRecord = header + HeaderSize;

    QRectF window;
    if (placeable) {
        const QRectF box(QPointF(r.i16(6), r.i16(8)), QPointF(r.i16(10), r.i16(12)));
        const double inch = r.u16(14) == 0 ? 1440.0 : double(r.u16(14));
        if (box.width() != 0 && box.height() != 0) {
            mDevice.bounds = box.normalized();
            mDevice.pixels = QSize(clampPixels(box.width() / inch * 96), clampPixels(box.height() / inch * 96));
            mDevice.unitsPerMmX = mDevice.unitsPerMmY = inch / 25.4;
        }
    }
    if (mDevice.pixels.isEmpty()) {
        if (readWindow(&window)) {
            mDevice.bounds = window.normalized();
            mDevice.pixels = QSize(clampPixels(window.width()), clampPixels(window.height()));
        } else {
            measure();
        }
    }
    mInfo.pixels = mDevice.pixels;
    mInfo.bounds = mDevice.bounds;
}

// The window that is set when the first drawing record comes.
bool WmfPlayer::readWindow(QRectF* window) const
{
    ByteReader file(mBytes);
    QPointF origin;
    QSizeF extent;
    std::size_t offset = mFirstRecord;
    for (int seen = 0; file.has(offset, 6) && seen < 100000; ++seen) {
        const std::uint32_t words = file.u32(offset);
        const std::uint16_t function = file.u16(offset + 4);
        if (words < 3 || words > (file.size() - offset) / 2 || function == MetaEof || !setsUpOnly(function))
            break;
        const ByteReader r(file.span(offset, std::size_t(words) * 2));
        if (function == MetaSetWindowOrg && r.has(6, 4))
            origin = wmf::pointYX(r, 0);
        if (function == MetaSetWindowExt && r.has(6, 4))
            extent = QSizeF(wmf::word(r, 1), wmf::word(r, 0));
        offset += std::size_t(words) * 2;
    }
    if (extent.width() == 0 || extent.height() == 0)
        return false;
    *window = QRectF(origin, extent);
    return true;
}

// Without a header or window that gives the size, the picture is as large
// as what it draws.
void WmfPlayer::measure()
{
    mDevice.bounds = QRectF(0, 0, 1, 1);
    mDevice.pixels = QSize(1, 1);
    QPicture picture;
    {
        QPainter painter(&picture);
        play(painter, mDevice.bounds);
    }
    const QRect drawn = picture.boundingRect();
    if (drawn.isValid() && !drawn.isEmpty()) {
        mDevice.bounds = QRectF(drawn);
        mDevice.pixels = QSize(clampPixels(drawn.width()), clampPixels(drawn.height()));
    }
}

WorkBudget WmfPlayer::play(QPainter& painter, const QRectF& target)
{
    // The window starts on the picture's own box, as the records expect
    // from the program that plays them.
    DcState initial;
    initial.mapMode = gdi::MapAnisotropic;
    initial.windowOrg = initial.viewportOrg = mDevice.bounds.topLeft();
    initial.windowExt = initial.viewportExt = mDevice.bounds.size();
    mObjects = ObjectTable();
    mCanvas = std::make_unique<GdiCanvas>(painter, target, mDevice, initial, mBytes.size());
    playRecords();
    const WorkBudget spent = mCanvas->budget();
    mCanvas.reset();
    return spent;
}

void WmfPlayer::playRecords()
{
    ByteReader file(mBytes);
    std::size_t offset = mFirstRecord;
    while (file.has(offset, 6)) {
        const std::uint32_t words = file.u32(offset);
        const std::uint16_t function = file.u16(offset + 4);
        // A broken frame leaves no way to find the next record.
        if (words < 3 || words > (file.size() - offset) / 2 || function == MetaEof)
            break;
        const std::size_t size = std::size_t(words) * 2;
        try {
            mCanvas->budget().chargeRecord();
            playRecord(function, ByteReader(file.span(offset, size)));
        } catch (const RecordError& e) {
            if (e.endsPlayback())
                break;
        }
        offset += size;
    }
}

void WmfPlayer::playRecord(std::uint16_t function, const ByteReader& r)
{
    playStateRecord(function, r) || playObjectRecord(function, r) || playFigureRecord(function, r) ||
        playClipRecord(function, r) || playTextRecord(function, r) || playBitmapRecord(function, r);
}

bool WmfPlayer::playStateRecord(std::uint16_t function, const ByteReader& r)
{
    GdiCanvas& c = *mCanvas;
    DcState& s = c.state();
    switch (function) {
    case 0x0102: s.opaqueBackground = wmf::uword(r, 0) == gdi::BkOpaque; break;
    case 0x0103: c.setMapMode(wmf::word(r, 0)); break;
    case 0x0106: s.winding = wmf::uword(r, 0) == gdi::FillWinding; break;
    case 0x012E: s.textAlign = wmf::uword(r, 0); break;
    case 0x0201: s.bkColor = wmf::colorRef(r, wmf::Params); break;
    case 0x0209: s.textColor = wmf::colorRef(r, wmf::Params); break;
    case 0x020B: c.setWindowOrg(wmf::pointYX(r, 0)); break;
    case 0x020C: c.setWindowExt(QSizeF(wmf::word(r, 1), wmf::word(r, 0))); break;
    case 0x020D: c.setViewportOrg(wmf::pointYX(r, 0)); break;
    case 0x020E: c.setViewportExt(QSizeF(wmf::word(r, 1), wmf::word(r, 0))); break;
    case 0x020F: c.offsetWindowOrg(wmf::pointYX(r, 0)); break;
    case 0x0211: c.offsetViewportOrg(wmf::pointYX(r, 0)); break;
    case 0x0410:
        c.scaleWindowExt(wmf::word(r, 3), wmf::word(r, 2), wmf::word(r, 1), wmf::word(r, 0));
        break;
    case 0x0412:
        c.scaleViewportExt(wmf::word(r, 3), wmf::word(r, 2), wmf::word(r, 1), wmf::word(r, 0));
        break;
    case 0x001E: c.saveDc(); break;
    case 0x0127: c.restoreDc(wmf::word(r, 0)); break;
    case 0x0214: c.moveTo(wmf::pointYX(r, 0)); break;
    default: return false;
    }
    return true;
}
