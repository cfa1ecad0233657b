#include "metafile/GdiCanvas.h"

#include <cmath>

namespace {

bool finite(const QTransform& t)
{
    const double values[] = {t.m11(), t.m12(), t.m13(), t.m21(), t.m22(), t.m23(), t.m31(), t.m32(), t.m33()};
    for (double v : values) {
        if (!std::isfinite(v) || std::abs(v) > 1e12)
            return false;
    }
    return true;
}

QTransform rectToRect(const QRectF& from, const QRectF& to)
{
    const double sx = from.width() != 0 ? to.width() / from.width() : 1.0;
    const double sy = from.height() != 0 ? to.height() / from.height() : 1.0;
    return QTransform(sx, 0, 0, sy, to.left() - from.left() * sx, to.top() - from.top() * sy);
}

// Logical units per millimetre of the metric and imperial mapping modes.
double unitsPerMm(int mode)
{
    switch (mode) {
    case gdi::MapLoMetric: return 10.0;
    case gdi::MapHiMetric: return 100.0;
    case gdi::MapLoEnglish: return 100.0 / 25.4;
    case gdi::MapHiEnglish: return 1000.0 / 25.4;
    case gdi::MapTwips: return 1440.0 / 25.4;
    default: return 0.0;
    }
}

} // namespace

GdiCanvas::GdiCanvas(QPainter& painter, const QRectF& target, const Device& device, const DcState& initial,
                     std::size_t fileBytes)
    : mPainter(painter), mTarget(target), mDevice(device), mState(initial), mBudget(fileBytes)
{
    mPainter.save();
    mPainter.setRenderHint(QPainter::Antialiasing, true);
    // Hatch textures must stay crisp; bitmaps turn smoothing on for themselves.
    mPainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QTransform base = mPainter.worldTransform();
    // The clip of the picture lives one save level down, so that a new clip
    // starts again from the caller's.
    mPainter.save();

    mDeviceToTarget = rectToRect(device.bounds, target);
    mDeviceToPainter = mDeviceToTarget * base;
    const QRectF pictureBox(QPointF(0, 0), QSizeF(device.pixels));
    mPictureToPainter = rectToRect(pictureBox, target) * base;
    mPainterToPicture = mPictureToPainter.inverted(&mPictureInvertible);
    const QRectF b = device.bounds.normalized();
    mUniverse = b.adjusted(-4 * b.width() - 1, -4 * b.height() - 1, 4 * b.width() + 1, 4 * b.height() + 1);
    mClipDirty = mState.clip.active;
}

GdiCanvas::~GdiCanvas()
{
    mPainter.restore();
    mPainter.restore();
}

QTransform GdiCanvas::logicalToDevice() const
{
    double sx = 1.0;
    double sy = 1.0;
    const int mode = mState.mapMode;
    if (const double perMm = unitsPerMm(mode); perMm > 0) {
        // These modes count y upwards.
        sx = mDevice.unitsPerMmX / perMm;
        sy = -mDevice.unitsPerMmY / perMm;
    } else if (mode == gdi::MapIsotropic || mode == gdi::MapAnisotropic) {
        sx = mState.viewportExt.width() / mState.windowExt.width();
        sy = mState.viewportExt.height() / mState.windowExt.height();
        if (mode == gdi::MapIsotropic) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
    }
    const QPointF w = mState.windowOrg;
    const QPointF v = mState.viewportOrg;
    const QTransform page(sx, 0, 0, sy, v.x() - w.x() * sx, v.y() - w.y() * sy);
    return mState.world * page;
}

bool GdiCanvas::mappable(QTransform* toDevice) const
{
    const QTransform t = logicalToDevice();
    if (!finite(t))
        return false;
    if (toDevice)
        *toDevice = t;
    return true;
}

void GdiCanvas::setMapMode(int mode)
{
    if (mode >= gdi::MapText && mode <= gdi::MapAnisotropic)
        mState.mapMode = mode;
}

void GdiCanvas::setWindowOrg(QPointF origin) { mState.windowOrg = origin; }
void GdiCanvas::setViewportOrg(QPointF origin) { mState.viewportOrg = origin; }
void GdiCanvas::offsetWindowOrg(QPointF by) { mState.windowOrg += by; }
void GdiCanvas::offsetViewportOrg(QPointF by) { mState.viewportOrg += by; }

void GdiCanvas::setWindowExt(QSizeF extent)
{
    // A zero extent would map everything onto a line; the call fails there too.
    if (extent.width() != 0 && extent.height() != 0)
        mState.windowExt = extent;
}

void GdiCanvas::setViewportExt(QSizeF extent)
{
    if (extent.width() != 0 && extent.height() != 0)
        mState.viewportExt = extent;
}

void GdiCanvas::scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom)
{
    if (xDenom != 0 && yDenom != 0)
        setWindowExt(QSizeF(mState.windowExt.width() * xNum / xDenom, mState.windowExt.height() * yNum / yDenom));
}

void GdiCanvas::scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom)
{
    if (xDenom != 0 && yDenom != 0)
        setViewportExt(
            QSizeF(mState.viewportExt.width() * xNum / xDenom, mState.viewportExt.height() * yNum / yDenom));
}

void GdiCanvas::setWorldTransform(const QTransform& transform)
{
    if (finite(transform) && transform.isInvertible())
        mState.world = transform;
}

void GdiCanvas::modifyWorldTransform(const QTransform& transform, int mode)
{
    constexpr int Identity = 1;
    constexpr int LeftMultiply = 2;
    constexpr int RightMultiply = 3;
    constexpr int Set = 4;
    switch (mode) {
    case Identity: mState.world = QTransform(); break;
    case LeftMultiply: setWorldTransform(transform * mState.world); break;
    case RightMultiply: setWorldTransform(mState.world * transform); break;
    case Set: setWorldTransform(transform); break;
    default: break;
    }
}

void GdiCanvas::saveDc()
{
    // Deeper nesting than any drawing program writes only costs memory.
    if (mSaved.size() < MaxSaveDepth)
        mSaved.push_back(mState);
}

void GdiCanvas::restoreDc(int which)
{
    const auto depth = static_cast<std::int64_t>(mSaved.size());
    // Negative counts back from the newest save, positive names one by number.
    const std::int64_t keep = which < 0 ? depth + which : std::int64_t(which) - 1;
    if (which == 0 || keep < 0 || keep >= depth)
        return;
    mState = mSaved[static_cast<std::size_t>(keep)];
    mSaved.resize(static_cast<std::size_t>(keep));
    mClipDirty = true;
}
