#include "print/TransparencyProbe.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>

#include <climits>

namespace {

bool opaque(const QImage& image, const QRectF& part)
{
    if (!image.hasAlphaChannel())
        return true;
    const bool argb = image.format() == QImage::Format_ARGB32 || image.format() == QImage::Format_ARGB32_Premultiplied;
    const QImage pixels = argb ? image : image.convertToFormat(QImage::Format_ARGB32);
    // Only the part drawn counts: a picture cut at its box may hide its
    // transparent margin.
    const QRect area = part.toAlignedRect() & pixels.rect();
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(pixels.constScanLine(y));
        for (int x = area.left(); x <= area.right(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

bool opaque(const QBrush& brush)
{
    switch (brush.style()) {
    case Qt::NoBrush:
        return true;
    case Qt::TexturePattern:
        return opaque(brush.textureImage(), brush.textureImage().rect());
    case Qt::LinearGradientPattern:
    case Qt::RadialGradientPattern:
    case Qt::ConicalGradientPattern:
        for (const QGradientStop& stop : brush.gradient()->stops())
            if (stop.second.alpha() != 255)
                return false;
        return true;
    default:
        return brush.color().alpha() == 255;
    }
}

// Draws nothing: it only notes whether anything drawn is not opaque.
class ProbeEngine : public QPaintEngine
{
public:
    ProbeEngine() : QPaintEngine(AllFeatures) {}

    bool found = false;

    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    Type type() const override { return User; }

    void updateState(const QPaintEngineState& state) override
    {
        if (state.state() & DirtyPen)
            mPen = state.pen();
        if (state.state() & DirtyBrush)
            mBrush = state.brush();
        if (state.state() & DirtyOpacity)
            mOpacity = state.opacity();
    }

    void drawPath(const QPainterPath&) override { note(true, true); }
    void drawPolygon(const QPointF*, int, PolygonDrawMode mode) override { note(true, mode != PolylineMode); }
    void drawTextItem(const QPointF&, const QTextItem&) override { note(true, false); }

    void drawImage(const QRectF&, const QImage& image, const QRectF& part, Qt::ImageConversionFlags) override
    {
        found = found || mOpacity < 1 || !opaque(image, part);
    }
    void drawPixmap(const QRectF&, const QPixmap& pixmap, const QRectF& part) override
    {
        found = found || mOpacity < 1 || (pixmap.hasAlphaChannel() && !opaque(pixmap.toImage(), part));
    }
    void drawTiledPixmap(const QRectF&, const QPixmap& pixmap, const QPointF&) override
    {
        found = found || mOpacity < 1 || (pixmap.hasAlphaChannel() && !opaque(pixmap.toImage(), pixmap.rect()));
    }

private:
    void note(bool stroked, bool filled)
    {
        const bool pen = stroked && mPen.style() != Qt::NoPen && !opaque(mPen.brush());
        const bool brush = filled && !opaque(mBrush);
        found = found || mOpacity < 1 || pen || brush;
    }

    QPen mPen;
    QBrush mBrush;
    qreal mOpacity = 1;
};

// A page of any size at 96 pixels per inch; where things land on it does
// not matter, as nothing is cut at its edges.
class ProbeDevice : public QPaintDevice
{
public:
    QPaintEngine* paintEngine() const override { return &engine; }

    mutable ProbeEngine engine;

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        constexpr int Side = 1 << 16;
        switch (metric) {
        case PdmWidth:
        case PdmHeight: return Side;
        case PdmWidthMM:
        case PdmHeightMM: return Side * 254 / 960;
        case PdmNumColors: return INT_MAX;
        case PdmDepth: return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY: return 96;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return QPaintDevice::metric(metric);
        }
    }
};

} // namespace

bool paintsTransparency(const std::function<void(QPainter&)>& paint)
{
    ProbeDevice device;
    {
        QPainter painter(&device);
        paint(painter);
    }
    return device.engine.found;
}
