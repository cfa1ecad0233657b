#include "metafile/GdiCanvas.h"

#include "metafile/HatchLines.h"

#include <cmath>
#include <functional>

namespace {

Qt::PenStyle qtStyle(int style)
{
    switch (style) {
    case gdi::PenDash: return Qt::DashLine;
    case gdi::PenDot: return Qt::DotLine;
    case gdi::PenDashDot: return Qt::DashDotLine;
    case gdi::PenDashDotDot: return Qt::DashDotDotLine;
    case gdi::PenAlternate: return Qt::DotLine;
    default: return Qt::SolidLine;
    }
}

} // namespace

namespace {

// Taxicab length of the figure's outline through its control points, in
// pixels of the target, or a little more.
template <class Points>
double outlineLength(const Points& points, const QTransform& toTarget)
{
    double length = 0;
    for (qsizetype i = 1; i < points.size(); ++i) {
        const QPointF a = points[i - 1], b = points[i];
        length += std::abs(a.x() - b.x()) + std::abs(a.y() - b.y());
    }
    const double stretch = std::max(std::abs(toTarget.m11()) + std::abs(toTarget.m12()),
                                    std::abs(toTarget.m21()) + std::abs(toTarget.m22()));
    return length * stretch;
}

struct PathPoints
{
    const QPainterPath& path;
    qsizetype size() const { return path.elementCount(); }
    QPointF operator[](qsizetype i) const { return path.elementAt(i); }
};

} // namespace

void GdiCanvas::paintFigure(const QPainterPath& logical, bool fill, bool stroke)
{
    mBudget.chargeEdgeLength(outlineLength(PathPoints{logical}, logicalToDevice() * mDeviceToTarget), mTarget);
    paintShape(
        logical.controlPointRect(), fill, stroke, logical.elementCount(), [&] { mPainter.drawPath(logical); },
        [&] { return logical; });
}

void GdiCanvas::paintPolygon(const QPolygonF& points, bool closed)
{
    mBudget.chargeEdgeLength(outlineLength(points, logicalToDevice() * mDeviceToTarget), mTarget);
    const Qt::FillRule rule = mState.winding ? Qt::WindingFill : Qt::OddEvenFill;
    const auto draw = [&] {
        if (closed)
            mPainter.drawPolygon(points, rule);
        else
            mPainter.drawPolyline(points);
    };
    const auto asPath = [&] {
        QPainterPath path;
        path.addPolygon(points);
        path.closeSubpath();
        path.setFillRule(rule);
        return path;
    };
    paintShape(points.boundingRect(), closed, true, points.size(), draw, asPath);
}

// Fills with the brush and strokes with the pen in one call where it can;
// draw issues the figure, asPath gives it for a hatch.
void GdiCanvas::paintShape(const QRectF& logicalBounds, bool fill, bool stroke, qsizetype points,
                           const std::function<void()>& draw, const std::function<QPainterPath()>& asPath)
{
    mBudget.chargePoints(points);
    if (!mappable(nullptr))
        return;
    chargeCoverage(logicalBounds);
    syncClip();
    const QTransform full = fullTransform();
    const GdiBrush& brush = mState.brush;
    fill = fill && brush.style != gdi::BrushNull;
    stroke = stroke && mState.pen.style != gdi::PenNull;
    const QBrush fillBrush = fill ? solidBrush(brush.color) : QBrush();
    if (fill && brush.style == gdi::BrushHatched) {
        paintHatch(asPath(), brush, full);
        fill = false;
    }
    if (!fill && !stroke)
        return;
    QPen pen = stroke ? makePen(full) : QPen(Qt::NoPen);
    setTransform(full);
    if (stroke && pen.style() != Qt::SolidLine) {
        // Dashing a line that runs far past the picture costs time for
        // dashes nobody sees.
        const QRectF reach = (full * mPainterToPicture).mapRect(logicalBounds);
        const double limit = 4.0 * (mDevice.pixels.width() + mDevice.pixels.height());
        if (!mPictureInvertible || !(reach.width() + reach.height() < limit)) {
            pen.setStyle(Qt::SolidLine);
        } else if (mState.opaqueBackground) {
            // The gaps of a styled line show the background colour.
            if (fill) {
                mPainter.setPen(Qt::NoPen);
                mPainter.setBrush(fillBrush);
                draw();
                fill = false;
            }
            QPen gaps = pen;
            gaps.setStyle(Qt::SolidLine);
            gaps.setColor(mState.bkColor);
            mPainter.setPen(gaps);
            mPainter.setBrush(Qt::NoBrush);
            draw();
        }
    }
    mPainter.setPen(pen);
    if (fill)
        mPainter.setBrush(fillBrush);
    else
        mPainter.setBrush(Qt::NoBrush);
    draw();
}

// The raster engine redoes its set-up for every new transform or brush,
// even an equal one; most records draw with the same as the one before.
void GdiCanvas::setTransform(const QTransform& transform)
{
    if (mPainter.worldTransform() != transform)
        mPainter.setWorldTransform(transform);
}

const QBrush& GdiCanvas::solidBrush(const QColor& color)
{
    if (mSolidBrush.color() != color || mSolidBrush.style() != Qt::SolidPattern)
        mSolidBrush = QBrush(color);
    return mSolidBrush;
}

void GdiCanvas::chargeCoverage(const QRectF& logicalBounds)
{
    const double targetArea = std::abs(mTarget.width() * mTarget.height());
    if (!(targetArea > 0))
        return;
    const QRectF reach = (logicalToDevice() * mDeviceToTarget).mapRect(logicalBounds);
    const QRectF painted = reach & mTarget.normalized();
    // Curves are flattened over their whole length, seen or not, so a
    // figure far larger than the picture costs by its size too.
    const double span = (reach.width() + reach.height()) / (std::abs(mTarget.width()) + std::abs(mTarget.height()));
    const double oversize = std::isfinite(span) ? std::max(0.0, span - 2.0) : WorkBudget::MaxCoverage + 1;
    mBudget.chargeCoverage(std::abs(painted.width() * painted.height()) / targetArea + oversize + 1e-4);
}

void GdiCanvas::fillArea(const QPainterPath& logical, const GdiBrush& brush, const QTransform& full)
{
    if (brush.style == gdi::BrushNull)
        return;
    if (brush.style == gdi::BrushHatched) {
        paintHatch(logical, brush, full);
        return;
    }
    setTransform(full);
    mPainter.setPen(Qt::NoPen);
    mPainter.setBrush(solidBrush(brush.color));
    mPainter.drawPath(logical);
}

void GdiCanvas::paintHatch(const QPainterPath& logical, const GdiBrush& brush, const QTransform& full)
{
    setTransform(full);
    mPainter.setPen(Qt::NoPen);
    if (mState.opaqueBackground) {
        mPainter.setBrush(solidBrush(mState.bkColor));
        mPainter.drawPath(logical);
    }
    if (!mPictureInvertible)
        return;
    const QPainterPath area = (full * mPainterToPicture).map(logical);
    const QSizeF box(mDevice.pixels);
    const QRectF reach = QRectF(-box.width(), -box.height(), 3 * box.width(), 3 * box.height()) &
                         area.controlPointRect();
    if (reach.isEmpty())
        return;
    mBudget.chargeHatchLines(hatch::lineCount(brush.hatch, reach));
    const QVector<QLineF> lines = hatch::linesInside(area, brush.hatch, reach, mBudget);
    if (lines.isEmpty())
        return;
    // Crisp pixel lines at the picture's own size, as on the screen.
    mPainter.setRenderHint(QPainter::Antialiasing, false);
    setTransform(mPictureToPainter);
    mPainter.setPen(QPen(brush.color, 1.0, Qt::SolidLine, Qt::FlatCap));
    mPainter.drawLines(lines);
    mPainter.setRenderHint(QPainter::Antialiasing, true);
}

QPen GdiCanvas::makePen(const QTransform& full) const
{
    const GdiPen& gp = mState.pen;
    QPen pen(gp.color);
    // A pen no wider than a pixel of the device draws one pixel, as on the
    // device the picture was made for. A recorded picture does not know
    // its device yet.
    const QPaintDevice* device = mPainter.device();
    const bool recording = device && device->devType() == QInternal::Picture;
    const bool hairline = !recording && gp.width * std::sqrt(std::abs(full.determinant())) <= 1.05;
    if (gp.cosmetic || gp.width <= 0 || hairline) {
        pen.setWidthF(0);
        pen.setCosmetic(true);
    } else {
        pen.setWidthF(gp.width);
    }
    pen.setStyle(qtStyle(gp.style));
    if (gp.style == gdi::PenUserStyle && !gp.dashes.isEmpty()) {
        // Qt counts dashes in pen widths, the file in logical units.
        const double unit = pen.isCosmetic() ? 1.0 : gp.width;
        QVector<qreal> pattern;
        for (qreal d : gp.dashes)
            pattern.append(std::max(d / unit, 0.1));
        if (pattern.size() % 2)
            pattern.append(pattern.back());
        pen.setDashPattern(pattern);
    }
    switch (gp.cap) {
    case gdi::PenEndCapSquare: pen.setCapStyle(Qt::SquareCap); break;
    case gdi::PenEndCapFlat: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(Qt::RoundCap); break;
    }
    switch (gp.join) {
    case gdi::PenJoinBevel: pen.setJoinStyle(Qt::BevelJoin); break;
    case gdi::PenJoinMiter:
        pen.setJoinStyle(Qt::MiterJoin);
        pen.setMiterLimit(std::clamp(mState.miterLimit / 2, 0.5, 50.0));
        break;
    default: pen.setJoinStyle(Qt::RoundJoin); break;
    }
    return pen;
}

void GdiCanvas::setPixel(QPointF point, const QColor& color)
{
    QTransform toDevice;
    if (!mappable(&toDevice))
        return;
    syncClip();
    const QPointF at = toDevice.map(point);
    mPainter.setTransform(mDeviceToPainter);
    mPainter.fillRect(QRectF(std::floor(at.x()), std::floor(at.y()), 1, 1), color);
}

void GdiCanvas::patternBlt(const QRectF& box, int rop)
{
    GdiBrush brush = mState.brush;
    if (rop == gdi::RopBlackness || rop == gdi::RopWhiteness) {
        brush.style = gdi::BrushSolid;
        brush.color = rop == gdi::RopBlackness ? Qt::black : Qt::white;
    } else if (rop != gdi::RopPatCopy) {
        // Operations that read the destination are left out.
        return;
    }
    QPainterPath path;
    path.addRect(box.normalized());
    if (!mappable(nullptr))
        return;
    mBudget.chargePoints(4);
    chargeCoverage(box.normalized());
    syncClip();
    fillArea(path, brush, fullTransform());
}

void GdiCanvas::fillRegion(const QVector<QRectF>& rects, const GdiBrush& brush)
{
    QPainterPath path;
    for (const QRectF& r : rects)
        path.addRect(r.normalized());
    if (path.isEmpty())
        return;
    const GdiBrush selected = mState.brush;
    mState.brush = brush;
    try {
        paintFigure(path, true, false);
    } catch (...) {
        mState.brush = selected;
        throw;
    }
    mState.brush = selected;
}

void GdiCanvas::drawImage(const QImage& image, const QRectF& box, const QRectF& source, double opacity)
{
    if (image.isNull() || !mappable(nullptr))
        return;
    const QRectF src = source.normalized() & QRectF(image.rect());
    if (src.isEmpty() || box.width() == 0 || box.height() == 0)
        return;
    const bool mirrorX = (box.width() < 0) != (source.width() < 0);
    const bool mirrorY = (box.height() < 0) != (source.height() < 0);
    QImage part = image.copy(src.toAlignedRect());
    if (mirrorX || mirrorY)
        part = part.mirrored(mirrorX, mirrorY);
    chargeCoverage(box.normalized());
    syncClip();
    mPainter.save();
    mPainter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    mPainter.setTransform(fullTransform());
    mPainter.setOpacity(std::clamp(opacity, 0.0, 1.0));
    mPainter.drawImage(box.normalized(), part);
    mPainter.restore();
}
