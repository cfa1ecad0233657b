#include "metafile/GdiCanvas.h"

#include <cmath>
#include <numbers>

namespace {

QPainterPath openPath(const QPolygonF& points)
{
    QPainterPath path;
    if (points.isEmpty())
        return path;
    path.moveTo(points.front());
    for (qsizetype i = 1; i < points.size(); ++i)
        path.lineTo(points[i]);
    return path;
}

void appendBeziers(QPainterPath& path, const QPolygonF& points, qsizetype first)
{
    for (qsizetype i = first; i + 2 < points.size(); i += 3)
        path.cubicTo(points[i], points[i + 1], points[i + 2]);
}

// The angle, as QPainterPath::arcTo counts it, where the ray from the
// centre of box through point meets the ellipse.
double ellipseAngle(const QRectF& box, QPointF point)
{
    const QPointF c = box.center();
    const double rx = box.width() / 2;
    const double ry = box.height() / 2;
    if (rx == 0 || ry == 0)
        return 0.0;
    return std::atan2(-(point.y() - c.y()) / ry, (point.x() - c.x()) / rx) * 180.0 / std::numbers::pi;
}

} // namespace

void GdiCanvas::moveTo(QPointF point)
{
    mState.position = point;
    mFigureOpen = false;
}

void GdiCanvas::lineTo(QPointF point)
{
    QPainterPath path;
    path.moveTo(mState.position);
    path.lineTo(point);
    continueFigure(path, point);
}

void GdiCanvas::polyline(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    if (mInPath) {
        addFigure(openPath(points));
        return;
    }
    paintPolygon(points, false);
}

void GdiCanvas::polylineTo(const QPolygonF& points)
{
    if (points.isEmpty())
        return;
    QPainterPath path;
    path.moveTo(mState.position);
    for (const QPointF& p : points)
        path.lineTo(p);
    continueFigure(path, points.back());
}

void GdiCanvas::polyBezier(const QPolygonF& points)
{
    if (points.size() < 4)
        return;
    QPainterPath path;
    path.moveTo(points.front());
    appendBeziers(path, points, 1);
    if (mInPath) {
        addFigure(path);
        return;
    }
    paintFigure(path, false, true);
}

void GdiCanvas::polyBezierTo(const QPolygonF& points)
{
    if (points.size() < 3)
        return;
    QPainterPath path;
    path.moveTo(mState.position);
    appendBeziers(path, points, 0);
    continueFigure(path, path.currentPosition());
}

void GdiCanvas::polygon(const QPolygonF& points)
{
    if (points.size() < 2)
        return;
    if (!mInPath) {
        paintPolygon(points, true);
        return;
    }
    QPainterPath path = openPath(points);
    path.closeSubpath();
    addFigure(path);
}

void GdiCanvas::polyPolygon(const std::vector<QPolygonF>& polygons)
{
    QPainterPath path;
    path.setFillRule(mState.winding ? Qt::WindingFill : Qt::OddEvenFill);
    for (const QPolygonF& points : polygons) {
        if (points.size() < 2)
            continue;
        path.addPath(openPath(points));
        path.closeSubpath();
    }
    if (path.isEmpty())
        return;
    if (mInPath) {
        addFigure(path);
        return;
    }
    paintFigure(path, true, true);
}

void GdiCanvas::polyPolyline(const std::vector<QPolygonF>& polylines)
{
    QPainterPath path;
    for (const QPolygonF& points : polylines) {
        if (points.size() >= 2)
            path.addPath(openPath(points));
    }
    if (path.isEmpty())
        return;
    if (mInPath) {
        addFigure(path);
        return;
    }
    paintFigure(path, false, true);
}

void GdiCanvas::rectangle(const QRectF& box)
{
    QPainterPath path;
    path.addRect(box.normalized());
    if (mInPath) {
        addFigure(path);
        return;
    }
    paintFigure(path, true, true);
}

void GdiCanvas::roundRect(const QRectF& box, QSizeF corner)
{
    QPainterPath path;
    path.addRoundedRect(box.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    if (mInPath) {
        addFigure(path);
        return;
    }
    paintFigure(path, true, true);
}

void GdiCanvas::ellipse(const QRectF& box)
{
    QPainterPath path;
    path.addEllipse(box.normalized());
    if (mInPath) {
        addFigure(path);
        return;
    }
    paintFigure(path, true, true);
}

void GdiCanvas::arc(ArcKind kind, const QRectF& rawBox, QPointF start, QPointF end)
{
    const QRectF box = rawBox.normalized();
    if (box.isEmpty())
        return;
    const double from = ellipseAngle(box, start);
    double sweep = ellipseAngle(box, end) - from;
    // The direction is the one seen on the device, whichever way y runs.
    QTransform toDevice;
    if (!mappable(&toDevice))
        return;
    const bool flipped = toDevice.determinant() < 0;
    const bool clockwise = mState.clockwise != flipped;
    if (clockwise) {
        while (sweep >= 0)
            sweep -= 360.0;
    } else {
        while (sweep <= 0)
            sweep += 360.0;
    }
    QPainterPath path;
    if (kind == ArcKind::Pie)
        path.moveTo(box.center());
    else if (kind == ArcKind::ArcTo)
        path.moveTo(mState.position);
    else
        path.arcMoveTo(box, from);
    path.arcTo(box, from, sweep);
    const QPointF arcEnd = path.currentPosition();
    if (kind == ArcKind::Pie || kind == ArcKind::Chord)
        path.closeSubpath();

    if (kind == ArcKind::ArcTo) {
        continueFigure(path, arcEnd);
        return;
    }
    if (mInPath) {
        addFigure(path);
        return;
    }
    paintFigure(path, kind != ArcKind::Arc, true);
}

void GdiCanvas::angleArc(QPointF center, double radius, double startDegrees, double sweepDegrees)
{
    if (!std::isfinite(startDegrees) || !std::isfinite(sweepDegrees) || radius <= 0)
        return;
    const QRectF box(center.x() - radius, center.y() - radius, 2 * radius, 2 * radius);
    QPainterPath path;
    path.moveTo(mState.position);
    path.arcTo(box, std::fmod(startDegrees, 360.0), std::clamp(sweepDegrees, -360.0, 360.0));
    continueFigure(path, path.currentPosition());
}

void GdiCanvas::polyDraw(const QPolygonF& points, const QVector<quint8>& types)
{
    constexpr quint8 CloseFigure = 0x01;
    constexpr quint8 LineTo = 0x02;
    constexpr quint8 BezierTo = 0x04;
    constexpr quint8 MoveTo = 0x06;
    QPainterPath path;
    path.moveTo(mState.position);
    QPointF figureStart = mState.position;
    for (qsizetype i = 0; i < points.size() && i < types.size(); ++i) {
        const quint8 type = types[i] & ~CloseFigure;
        if (type == MoveTo) {
            path.moveTo(points[i]);
            figureStart = points[i];
        } else if (type == LineTo) {
            path.lineTo(points[i]);
        } else if (type == BezierTo && i + 2 < points.size()) {
            path.cubicTo(points[i], points[i + 1], points[i + 2]);
            i += 2;
        } else {
            continue;
        }
        if (types[i] & CloseFigure)
            path.lineTo(figureStart);
    }
    continueFigure(path, path.currentPosition());
}

void GdiCanvas::addFigure(const QPainterPath& logical)
{
    QTransform toDevice;
    if (!mappable(&toDevice))
        return;
    mPath.addPath(toDevice.map(logical));
    mFigureOpen = false;
}

// Lines and curves that start at the current position and move it along.
void GdiCanvas::continueFigure(const QPainterPath& logical, QPointF newPosition)
{
    const QPointF from = mState.position;
    mState.position = newPosition;
    if (!mInPath) {
        paintFigure(logical, false, true);
        return;
    }
    QTransform toDevice;
    if (!mappable(&toDevice))
        return;
    const QPainterPath device = toDevice.map(logical);
    if (mFigureOpen && mPath.elementCount() > 0 && mPath.currentPosition() == toDevice.map(from))
        mPath.connectPath(device);
    else
        mPath.addPath(device);
    mFigureOpen = true;
}

void GdiCanvas::beginPath()
{
    mPath = QPainterPath();
    mInPath = true;
    mFigureOpen = false;
}

void GdiCanvas::endPath() { mInPath = false; }

void GdiCanvas::closeFigure()
{
    if (mInPath && mPath.elementCount() > 0)
        mPath.closeSubpath();
    mFigureOpen = false;
}

void GdiCanvas::abortPath()
{
    mPath = QPainterPath();
    mInPath = false;
}

// The closed path in logical units of the present mapping, emptied.
QPainterPath GdiCanvas::takePath()
{
    QPainterPath device = mPath;
    mPath = QPainterPath();
    mInPath = false;
    QTransform toDevice;
    if (device.isEmpty() || !mappable(&toDevice) || !toDevice.isInvertible())
        return {};
    QPainterPath logical = toDevice.inverted().map(device);
    logical.setFillRule(mState.winding ? Qt::WindingFill : Qt::OddEvenFill);
    return logical;
}

void GdiCanvas::fillPath()
{
    const QPainterPath path = takePath();
    if (!path.isEmpty())
        paintFigure(path, true, false);
}

void GdiCanvas::strokePath()
{
    const QPainterPath path = takePath();
    if (!path.isEmpty())
        paintFigure(path, false, true);
}

void GdiCanvas::strokeAndFillPath()
{
    const QPainterPath path = takePath();
    if (!path.isEmpty())
        paintFigure(path, true, true);
}

void GdiCanvas::selectClipPath(int mode)
{
    QPainterPath device = mPath;
    mPath = QPainterPath();
    mInPath = false;
    if (device.isEmpty())
        return;
    device.setFillRule(mState.winding ? Qt::WindingFill : Qt::OddEvenFill);
    combineClip(DeviceClip::fromPath(device), mode);
}
