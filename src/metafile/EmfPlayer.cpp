#include "metafile/EmfPlayer.h"

#include "metafile/ByteReader.h"
#include "metafile/EmfFields.h"

#include <cmath>

namespace {

constexpr std::uint32_t EmrHeader = 1;
constexpr std::uint32_t EmrEof = 14;
constexpr std::uint32_t Signature = 0x464D4520;  // " EMF"
constexpr std::size_t MinHeaderSize = 88;
constexpr int MaxPixels = 30000;

const char* const NotEmf = "The picture is not an EMF metafile, or its header is damaged.";

int toPixels(double hundredthsMm)
{
    const double px = std::round(std::abs(hundredthsMm) / 2540.0 * 96.0);
    return static_cast<int>(std::clamp(px, 1.0, double(MaxPixels)));
}

double perMm(std::int32_t units, std::int32_t mm, double fallback)
{
    if (units <= 0 || mm <= 0)
        return fallback;
    return std::clamp(double(units) / mm, 1e-3, 1e6);
}

} // namespace

EmfPlayer::EmfPlayer(std::string_view bytes) : mBytes(bytes)
{
    ByteReader r(bytes);
    if (!r.has(0, MinHeaderSize) || r.u32(0) != EmrHeader || r.u32(40) != Signature)
        throw MetafileError(NotEmf);
    const std::uint32_t headerSize = r.u32(4);
    if (headerSize < MinHeaderSize || headerSize > bytes.size() || headerSize % 4 != 0)
        throw MetafileError(NotEmf);
    // The size the header claims, where it is smaller than what is there.
    const std::uint32_t claimed = r.u32(48);
    if (claimed >= headerSize && claimed < bytes.size())
        mBytes = bytes.substr(0, claimed);

    const double fallback = 96.0 / 25.4;
    mDevice.unitsPerMmX = perMm(r.i32(72), r.i32(80), fallback);
    mDevice.unitsPerMmY = perMm(r.i32(76), r.i32(84), fallback);
    if (headerSize >= 108 && r.i32(100) > 0 && r.i32(104) > 0) {
        // Micrometres say the same more precisely.
        mDevice.unitsPerMmX = std::clamp(r.i32(72) * 1000.0 / r.i32(100), 1e-3, 1e6);
        mDevice.unitsPerMmY = std::clamp(r.i32(76) * 1000.0 / r.i32(104), 1e-3, 1e6);
        if (r.i32(72) <= 0 || r.i32(76) <= 0)
            mDevice.unitsPerMmX = mDevice.unitsPerMmY = fallback;
    }

    const QRectF bounds = emf::rectL(r, 8);
    const QRectF frame = emf::rectL(r, 24);
    // Both rectangles include their right and bottom edges.
    if (frame.width() > 0 && frame.height() > 0) {
        const double w = frame.width() + 1, h = frame.height() + 1;
        mDevice.bounds = QRectF(frame.left() * mDevice.unitsPerMmX / 100, frame.top() * mDevice.unitsPerMmY / 100,
                                w * mDevice.unitsPerMmX / 100, h * mDevice.unitsPerMmY / 100);
        mDevice.pixels = QSize(toPixels(w), toPixels(h));
    } else if (bounds.width() >= 0 && bounds.height() >= 0) {
        mDevice.bounds = QRectF(bounds.left(), bounds.top(), bounds.width() + 1, bounds.height() + 1);
        mDevice.pixels = QSize(toPixels(mDevice.bounds.width() / mDevice.unitsPerMmX * 100),
                               toPixels(mDevice.bounds.height() / mDevice.unitsPerMmY * 100));
    } else {
        mDevice.bounds = QRectF(0, 0, 1, 1);
        mDevice.pixels = QSize(1, 1);
    }
    mInfo.pixels = mDevice.pixels;
    mInfo.bounds = mDevice.bounds;
}

WorkBudget EmfPlayer::play(QPainter& painter, const QRectF& target)
{
    mObjects = ObjectTable();
    mCanvas = std::make_unique<GdiCanvas>(painter, target, mDevice, DcState(), mBytes.size());
    ByteReader file(mBytes);
    std::size_t offset = 0;
    while (file.has(offset, 8)) {
        const std::uint32_t type = file.u32(offset);
        const std::uint32_t size = file.u32(offset + 4);
        // A broken frame leaves no way to find the next record.
        if (size < 8 || size % 4 != 0 || !file.has(offset, size))
            break;
        try {
            mCanvas->budget().chargeRecord();
            if (!(type == EmrHeader && offset == 0))
                playRecord(type, ByteReader(file.span(offset, size)));
        } catch (const RecordError& e) {
            if (e.endsPlayback())
                break;
        }
        if (type == EmrEof)
            break;
        offset += size;
    }
    const WorkBudget spent = mCanvas->budget();
    mCanvas.reset();
    return spent;
}

void EmfPlayer::playRecord(std::uint32_t type, const ByteReader& r)
{
    playStateRecord(type, r) || playObjectRecord(type, r) || playFigureRecord(type, r) ||
        playPathAndClipRecord(type, r) || playTextRecord(type, r) || playBitmapRecord(type, r);
}

bool EmfPlayer::playStateRecord(std::uint32_t type, const ByteReader& r)
{
    GdiCanvas& c = *mCanvas;
    DcState& s = c.state();
    switch (type) {
    case 9: c.setWindowExt(emf::sizeL(r, 8)); break;
    case 10: c.setWindowOrg(emf::pointL(r, 8)); break;
    case 11: c.setViewportExt(emf::sizeL(r, 8)); break;
    case 12: c.setViewportOrg(emf::pointL(r, 8)); break;
    case 17: c.setMapMode(r.i32(8)); break;
    case 18: s.opaqueBackground = r.u32(8) == gdi::BkOpaque; break;
    case 19: s.winding = r.u32(8) == gdi::FillWinding; break;
    case 22: s.textAlign = r.u32(8); break;
    case 24: s.textColor = emf::colorRef(r, 8); break;
    case 25: s.bkColor = emf::colorRef(r, 8); break;
    case 27: c.moveTo(emf::pointL(r, 8)); break;
    case 31: c.scaleViewportExt(r.i32(8), r.i32(12), r.i32(16), r.i32(20)); break;
    case 32: c.scaleWindowExt(r.i32(8), r.i32(12), r.i32(16), r.i32(20)); break;
    case 33: c.saveDc(); break;
    case 34: c.restoreDc(r.i32(8)); break;
    case 35: c.setWorldTransform(emf::xform(r, 8)); break;
    case 36: c.modifyWorldTransform(emf::xform(r, 8), r.i32(32)); break;
    case 57: s.clockwise = r.u32(8) == gdi::ArcClockwise; break;
    case 58: {
        // Some writers store the limit as a float.
        const std::uint32_t raw = r.u32(8);
        const double limit = raw > 0xFFFF ? double(r.f32(8)) : double(raw);
        s.miterLimit = std::isfinite(limit) ? std::clamp(limit, 1.0, 100.0) : 10.0;
        break;
    }
    default: return false;
    }
    return true;
}
