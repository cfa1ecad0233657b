#include "metafile/GdiCanvas.h"

#include <cmath>
#include <optional>

namespace {

// Past these a clip costs more to combine than a picture is worth; further
// changes to it are ignored.
constexpr int MaxClipElements = 2000;
constexpr int MaxClipRects = 2000;
constexpr double MaxRegionCoordinate = 1 << 28;

// Device units are whole numbers to the device context.
std::optional<QRect> deviceRect(const QRectF& r)
{
    const QRectF n = r.normalized();
    const double values[] = {n.left(), n.top(), n.right(), n.bottom()};
    for (double v : values) {
        if (!(std::abs(v) < MaxRegionCoordinate))
            return std::nullopt;
    }
    const QPoint topLeft(static_cast<int>(std::lround(n.left())), static_cast<int>(std::lround(n.top())));
    const QPoint bottomRight(static_cast<int>(std::lround(n.right())), static_cast<int>(std::lround(n.bottom())));
    return QRect(topLeft, bottomRight - QPoint(1, 1));
}

DeviceClip rectClip(const QRectF& deviceBox)
{
    if (const auto rect = deviceRect(deviceBox))
        return DeviceClip::fromRegion(QRegion(*rect));
    QPainterPath path;
    path.addRect(deviceBox.normalized());
    return DeviceClip::fromPath(path);
}

DeviceClip toDeviceClip(const QRectF& box, const QTransform& toDevice)
{
    if (toDevice.type() <= QTransform::TxScale)
        return rectClip(toDevice.mapRect(box.normalized()));
    QPainterPath path;
    path.addPolygon(toDevice.map(QPolygonF(box.normalized())));
    path.closeSubpath();
    return DeviceClip::fromPath(path);
}

} // namespace

void GdiCanvas::combineClip(const DeviceClip& other, int mode)
{
    const DeviceClip& current = mState.clip;
    DeviceClip result;
    switch (mode) {
    case gdi::RegionCopy:
        result = other;
        break;
    case gdi::RegionAnd:
    case gdi::RegionOr:
    case gdi::RegionDiff:
    case gdi::RegionXor: {
        // Without a clip the whole device is visible.
        if (!current.active && mode == gdi::RegionOr)
            return;
        const DeviceClip from = current.active ? current : rectClip(mUniverse);
        if (from.isRegion && other.isRegion) {
            const QRegion& a = from.region;
            const QRegion& b = other.region;
            const QRegion r = mode == gdi::RegionAnd  ? a.intersected(b)
                              : mode == gdi::RegionOr ? a.united(b)
                              : mode == gdi::RegionDiff ? a.subtracted(b)
                                                        : a.xored(b);
            result = DeviceClip::fromRegion(r);
        } else {
            const QPainterPath a = from.asPath();
            const QPainterPath b = other.asPath();
            const QPainterPath r = mode == gdi::RegionAnd  ? a.intersected(b)
                                   : mode == gdi::RegionOr ? a.united(b)
                                   : mode == gdi::RegionDiff ? a.subtracted(b)
                                                             : a.united(b).subtracted(a.intersected(b));
            result = DeviceClip::fromPath(r);
        }
        break;
    }
    default:
        return;
    }
    if (result.isRegion ? result.region.rectCount() > MaxClipRects : result.path.elementCount() > MaxClipElements)
        return;
    mState.clip = result;
    mClipDirty = true;
}

void GdiCanvas::intersectClipRect(const QRectF& box)
{
    QTransform toDevice;
    if (mappable(&toDevice))
        combineClip(toDeviceClip(box, toDevice), gdi::RegionAnd);
}

void GdiCanvas::excludeClipRect(const QRectF& box)
{
    QTransform toDevice;
    if (mappable(&toDevice))
        combineClip(toDeviceClip(box, toDevice), gdi::RegionDiff);
}

void GdiCanvas::selectDeviceClip(const QVector<QRectF>& rects, int mode)
{
    if (rects.isEmpty()) {
        // Only a copy of no region means anything: no clipping at all.
        if (mode == gdi::RegionCopy)
            resetClip();
        return;
    }
    QRegion region;
    for (const QRectF& r : rects) {
        const auto rect = deviceRect(r);
        if (!rect)
            return;
        region += *rect;
        if (region.rectCount() > MaxClipRects)
            return;
    }
    combineClip(DeviceClip::fromRegion(region), mode);
}

void GdiCanvas::resetClip()
{
    mState.clip = DeviceClip();
    mClipDirty = true;
}

void GdiCanvas::offsetClip(QPointF by)
{
    QTransform toDevice;
    if (!mState.clip.active || !mappable(&toDevice))
        return;
    const QPointF delta = toDevice.map(by) - toDevice.map(QPointF(0, 0));
    if (!(std::abs(delta.x()) < MaxRegionCoordinate && std::abs(delta.y()) < MaxRegionCoordinate))
        return;
    mState.clip.region.translate(static_cast<int>(std::lround(delta.x())), static_cast<int>(std::lround(delta.y())));
    mState.clip.path.translate(delta);
    mClipDirty = true;
}

void GdiCanvas::syncClip()
{
    if (!mClipDirty)
        return;
    mClipDirty = false;
    // Back to the caller's clip, then narrow it to the picture's.
    mPainter.restore();
    mPainter.save();
    if (!mState.clip.active)
        return;
    mPainter.setTransform(mDeviceToPainter);
    if (mState.clip.isRegion)
        mPainter.setClipRegion(mState.clip.region, Qt::IntersectClip);
    else
        mPainter.setClipPath(mState.clip.path, Qt::IntersectClip);
}
