#include "metafile/GdiCanvas.h"

namespace {

// Past this a clip path costs more to combine than a picture is worth;
// further changes to it are ignored.
constexpr int MaxClipElements = 20000;

DeviceClip toDeviceClip(const QRectF& box, const QTransform& toDevice)
{
    if (toDevice.type() <= QTransform::TxScale)
        return DeviceClip::fromRect(toDevice.mapRect(box.normalized()));
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
        if (!current.active)
            result = other;
        else if (current.isRect && other.isRect)
            result = DeviceClip::fromRect(current.rect & other.rect);
        else
            result = DeviceClip::fromPath(current.asPath().intersected(other.asPath()));
        break;
    case gdi::RegionOr:
        // Without a clip everything is visible already.
        if (!current.active)
            return;
        result = DeviceClip::fromPath(current.asPath().united(other.asPath()));
        break;
    case gdi::RegionDiff: {
        const QPainterPath from = current.active ? current.asPath() : DeviceClip::fromRect(mUniverse).asPath();
        result = DeviceClip::fromPath(from.subtracted(other.asPath()));
        break;
    }
    case gdi::RegionXor: {
        const QPainterPath a = current.active ? current.asPath() : DeviceClip::fromRect(mUniverse).asPath();
        const QPainterPath b = other.asPath();
        result = DeviceClip::fromPath(a.united(b).subtracted(a.intersected(b)));
        break;
    }
    default:
        return;
    }
    if (!result.isRect && result.path.elementCount() > MaxClipElements)
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
    if (rects.size() == 1) {
        combineClip(DeviceClip::fromRect(rects.front()), mode);
        return;
    }
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    for (const QRectF& r : rects)
        path.addRect(r.normalized());
    combineClip(DeviceClip::fromPath(path), mode);
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
    mState.clip.rect.translate(delta);
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
    if (mState.clip.isRect)
        mPainter.setClipRect(mState.clip.rect, Qt::IntersectClip);
    else
        mPainter.setClipPath(mState.clip.path, Qt::IntersectClip);
}
