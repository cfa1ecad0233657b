#include "metafile/GdiCanvas.h"

#include <QGlyphRun>

#include <cmath>
#include <numbers>

namespace {

// The size of text whose font gives no height, in pixels of the picture.
constexpr double DefaultEmPixels = 12.0;
constexpr qsizetype MaxGlyphRunSizes = 64;
constexpr double MaxCachedEm = 256.0;

double horizontalOffset(std::uint32_t align, double width)
{
    const std::uint32_t h = align & gdi::AlignCenter;
    if (h == gdi::AlignCenter)
        return -width / 2;
    if (h == gdi::AlignRight)
        return -width;
    return 0.0;
}

double verticalOffset(std::uint32_t align, const QRawFont& raw)
{
    const std::uint32_t v = align & gdi::AlignBaseline;
    if (v == gdi::AlignBaseline)
        return 0.0;
    if (v == gdi::AlignBottom)
        return -raw.descent();
    return raw.ascent();
}

// The raster engine renders cached glyphs for any transform it is given
// and fails on huge or badly stretched ones; those are drawn as outlines.
bool cacheableGlyphs(const QTransform& glyphToDevice)
{
    const QPointF origin = glyphToDevice.map(QPointF(0, 0));
    const QPointF x = glyphToDevice.map(QPointF(GlyphCache::ReferenceSize, 0)) - origin;
    const QPointF y = glyphToDevice.map(QPointF(0, GlyphCache::ReferenceSize)) - origin;
    const double width = std::hypot(x.x(), x.y());
    const double height = std::hypot(y.x(), y.y());
    return width > 0.5 && height > 0.5 && width <= MaxCachedEm && height <= MaxCachedEm && width <= 4 * height &&
           height <= 4 * width;
}

} // namespace

void GdiCanvas::text(const TextRun& run)
{
    QTransform toDevice;
    if (!mappable(&toDevice) || !toDevice.isInvertible())
        return;
    syncClip();
    const QTransform full = toDevice * mDeviceToPainter;
    if ((run.options & gdi::TextOpaque) && !run.rect.normalized().isEmpty()) {
        mPainter.setTransform(full);
        mPainter.fillRect(run.rect.normalized(), mState.bkColor);
    }

    static const GdiFont defaultFont;
    const GdiFont& font = mState.font ? *mState.font : defaultFont;
    GlyphCache::Face& face = mGlyphs.face(font);
    if (!face.raw.isValid())
        return;
    QVector<quint32> glyphs = run.glyphIndexes ? run.glyphs : face.raw.glyphIndexesForString(run.text);
    if (run.glyphIndexes) {
        // Indexes name glyphs of the font the file was made with; past the
        // end of this one they draw its missing-glyph box.
        for (quint32& glyph : glyphs)
            glyph = glyph < face.glyphCount ? glyph : 0;
    }
    if (glyphs.isEmpty())
        return;
    mBudget.chargeGlyphs(glyphs.size());

    // How long one logical unit is on the device, along x and along y.
    const QPointF origin = toDevice.map(QPointF(0, 0));
    const QPointF ex = toDevice.map(QPointF(1, 0)) - origin;
    const QPointF ey = toDevice.map(QPointF(0, 1)) - origin;
    const double sx = std::hypot(ex.x(), ex.y());
    const double sy = std::hypot(ey.x(), ey.y());
    if (!(sx > 0 && sy > 0))
        return;
    double em = DefaultEmPixels * std::abs(mDevice.bounds.width()) / std::max(1, mDevice.pixels.width());
    if (font.height < 0)
        em = -double(font.height) * sy;
    else if (font.height > 0)
        em = font.height * face.cellToEm * sy;
    if (!(em > 0 && em < 1e7))
        return;
    const double k = em / GlyphCache::ReferenceSize;
    double stretch = 1.0;
    if (font.width > 0 && face.raw.averageCharWidth() > 0)
        stretch = std::clamp(font.width * sx / (face.raw.averageCharWidth() * k), 0.05, 20.0);

    const QVector<QPointF> advances = face.raw.advancesForGlyphIndexes(glyphs);
    const bool spaced = run.dx.size() >= glyphs.size();
    QVector<double> xs(glyphs.size());
    double width = 0;
    for (qsizetype i = 0; i < glyphs.size(); ++i) {
        xs[i] = width;
        width += spaced ? run.dx[i] * sx / (k * stretch) : advances.value(i).x();
    }

    const std::uint32_t align = mState.textAlign;
    const bool updateCp = align & gdi::AlignUpdateCp;
    const QPointF anchor = toDevice.map(updateCp ? mState.position : run.reference);
    // Text stays upright whichever way the mapping runs y; it turns with
    // the world transform and by its escapement.
    const double angle = std::atan2(ex.y(), ex.x()) - font.escapement * std::numbers::pi / 1800.0;
    const QPointF u(std::cos(angle), std::sin(angle));
    const QPointF v(-std::sin(angle), std::cos(angle));
    const QTransform glyphToDevice(u.x() * k * stretch, u.y() * k * stretch, v.x() * k, v.y() * k, anchor.x(),
                                   anchor.y());
    const double xOffset = horizontalOffset(align, width);
    const QTransform placed =
        QTransform::fromTranslate(xOffset, verticalOffset(align, face.raw)) * glyphToDevice;

    const QRectF box(0, -face.raw.ascent(), width, face.raw.ascent() + face.raw.descent());
    chargeCoverage(toDevice.inverted().mapRect(placed.mapRect(box)));

    // Some fonts report lines too thin and too close to see at small sizes.
    QPainterPath lines;
    const double thickness = std::max(face.raw.lineThickness(), 0.06 * GlyphCache::ReferenceSize);
    if (font.underline) {
        const double below = std::max(face.raw.underlinePosition(), 0.12 * GlyphCache::ReferenceSize);
        lines.addRect(QRectF(0, below, width, thickness));
    }
    if (font.strikeOut)
        lines.addRect(QRectF(0, -face.raw.xHeight() / 2 - thickness / 2, width, thickness));

    mPainter.save();
    if (run.options & gdi::TextClipped) {
        mPainter.setTransform(full);
        mPainter.setClipRect(run.rect.normalized(), Qt::IntersectClip);
    }
    mPainter.setTransform(placed * mDeviceToPainter);
    mPainter.setPen(Qt::NoPen);
    if (mState.opaqueBackground && !(run.options & gdi::TextOpaque))
        mPainter.fillRect(box, mState.bkColor);
    mPainter.setBrush(mState.textColor);
    if (!lines.isEmpty())
        mPainter.drawPath(lines);
    // A recorded picture keeps outlines, which every device it is replayed
    // on draws alike. Straight onto a device the font engine draws the
    // glyphs, much faster, and as text in a PDF file; it caches them for
    // every size it meets, so a file with endless sizes gets outlines past
    // the first few.
    const QPaintDevice* device = mPainter.device();
    const bool recording = device && device->devType() == QInternal::Picture;
    const bool raster = device && (device->devType() == QInternal::Image || device->devType() == QInternal::Pixmap);
    const auto size = qRound64(std::min(em * 16.0, 1e12));
    if (!mGlyphRunSizes.contains(size) && mGlyphRunSizes.size() < MaxGlyphRunSizes)
        mGlyphRunSizes.insert(size);
    if (recording || !mGlyphRunSizes.contains(size) || (raster && !cacheableGlyphs(placed * mDeviceToPainter))) {
        QPainterPath outlines;
        outlines.setFillRule(Qt::WindingFill);
        for (qsizetype i = 0; i < glyphs.size(); ++i)
            outlines.addPath(mGlyphs.outline(face, glyphs[i]).translated(xs[i], 0));
        mPainter.drawPath(outlines);
    } else {
        QVector<QPointF> positions;
        positions.reserve(glyphs.size());
        for (double x : xs)
            positions.append(QPointF(x, 0));
        QGlyphRun glyphRun;
        glyphRun.setRawFont(face.raw);
        glyphRun.setGlyphIndexes(glyphs);
        glyphRun.setPositions(positions);
        mPainter.setPen(mState.textColor);
        mPainter.drawGlyphRun(QPointF(0, 0), glyphRun);
    }
    mPainter.restore();

    if (updateCp) {
        const double advance = width * k * stretch;
        const double along = xOffset == 0 ? advance : (xOffset == -width ? -advance : 0.0);
        mState.position = toDevice.inverted().map(anchor + u * along);
    }
}
