#pragma once

#include "metafile/DcState.h"
#include "metafile/GlyphCache.h"
#include "metafile/WorkBudget.h"

#include <QImage>
#include <QPainter>
#include <QPolygonF>

#include <QHash>
#include <QSet>

#include <functional>
#include <optional>
#include <vector>

// The device context that both players draw through: mapping modes and
// transforms, the selected objects, the path bracket, clipping, and the
// painting of figures, text and bitmaps onto a QPainter. Coordinates given
// to it are logical units unless a name says device.
class GdiCanvas
{
public:
    // What a picture's header says about the device it was made on.
    struct Device
    {
        QRectF bounds;               // device units that fill the target
        QSize pixels;                // the picture's own size at 96 dpi
        double unitsPerMmX = 96.0 / 25.4;
        double unitsPerMmY = 96.0 / 25.4;
    };

    enum class ArcKind { Arc, ArcTo, Chord, Pie };

    struct TextRun
    {
        QPointF reference;
        QString text;
        QVector<quint32> glyphs;     // used instead of text when glyphIndexes
        bool glyphIndexes = false;
        QVector<double> dx;          // advance of each character, logical units
        std::uint32_t options = 0;   // gdi::Text*
        QRectF rect;                 // for gdi::TextOpaque and gdi::TextClipped
    };

    static constexpr int MaxSaveDepth = 1024;

    GdiCanvas(QPainter& painter, const QRectF& target, const Device& device, const DcState& initial,
              std::size_t fileBytes);
    ~GdiCanvas();
    GdiCanvas(const GdiCanvas&) = delete;
    GdiCanvas& operator=(const GdiCanvas&) = delete;

    DcState& state() { return mState; }
    WorkBudget& budget() { return mBudget; }

    // Mapping.
    void setMapMode(int mode);
    void setWindowOrg(QPointF origin);
    void setWindowExt(QSizeF extent);
    void setViewportOrg(QPointF origin);
    void setViewportExt(QSizeF extent);
    void offsetWindowOrg(QPointF by);
    void offsetViewportOrg(QPointF by);
    void scaleWindowExt(double xNum, double xDenom, double yNum, double yDenom);
    void scaleViewportExt(double xNum, double xDenom, double yNum, double yDenom);
    void setWorldTransform(const QTransform& transform);
    void modifyWorldTransform(const QTransform& transform, int mode);
    void saveDc();
    void restoreDc(int which);
    QTransform logicalToDevice() const;

    // Figures; inside a path bracket they add to the path instead.
    void moveTo(QPointF point);
    void lineTo(QPointF point);
    void polyline(const QPolygonF& points);
    void polylineTo(const QPolygonF& points);
    void polyBezier(const QPolygonF& points);
    void polyBezierTo(const QPolygonF& points);
    void polygon(const QPolygonF& points);
    void polyPolygon(const std::vector<QPolygonF>& polygons);
    void polyPolyline(const std::vector<QPolygonF>& polylines);
    void rectangle(const QRectF& box);
    void roundRect(const QRectF& box, QSizeF corner);
    void ellipse(const QRectF& box);
    void arc(ArcKind kind, const QRectF& box, QPointF start, QPointF end);
    void angleArc(QPointF center, double radius, double startDegrees, double sweepDegrees);
    void setPixel(QPointF point, const QColor& color);
    void patternBlt(const QRectF& box, int rop);
    void fillRegion(const QVector<QRectF>& rects, const GdiBrush& brush);
    void polyDraw(const QPolygonF& points, const QVector<quint8>& types);

    // The path bracket.
    void beginPath();
    void endPath();
    void closeFigure();
    void abortPath();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();
    void selectClipPath(int mode);

    // Clipping.
    void intersectClipRect(const QRectF& box);
    void excludeClipRect(const QRectF& box);
    void selectDeviceClip(const QVector<QRectF>& rects, int mode);
    void resetClip();
    void offsetClip(QPointF by);

    void text(const TextRun& run);
    // source is in pixels of the image, top row first; negative extents mirror.
    void drawImage(const QImage& image, const QRectF& box, const QRectF& source, double opacity = 1.0);

private:
    QTransform fullTransform() const { return logicalToDevice() * mDeviceToPainter; }
    bool mappable(QTransform* toDevice) const;
    void addFigure(const QPainterPath& logical);
    void continueFigure(const QPainterPath& logical, QPointF newPosition);
    void paintFigure(const QPainterPath& logical, bool fill, bool stroke);
    void paintPolygon(const QPolygonF& points, bool closed);
    void paintShape(const QRectF& logicalBounds, bool fill, bool stroke, qsizetype points,
                    const std::function<void()>& draw, const std::function<QPainterPath()>& asPath);
    void fillArea(const QPainterPath& logical, const GdiBrush& brush, const QTransform& full);
    void paintHatch(const QPainterPath& logical, const GdiBrush& brush, const QTransform& full);
    QPen makePen(const QTransform& full) const;
    void setTransform(const QTransform& transform);
    const QBrush& solidBrush(const QColor& color);
    void chargeCoverage(const QRectF& logicalBounds);
    void combineClip(const DeviceClip& other, int mode);
    void syncClip();
    QPainterPath takePath();

    QPainter& mPainter;
    QRectF mTarget;
    Device mDevice;
    QTransform mDeviceToPainter;
    QTransform mDeviceToTarget;
    QTransform mPictureToPainter;
    QTransform mPainterToPicture;
    bool mPictureInvertible = false;
    QRectF mUniverse;

    DcState mState;
    std::vector<DcState> mSaved;
    bool mClipDirty = false;

    QPainterPath mPath;         // device units
    bool mInPath = false;
    bool mFigureOpen = false;

    WorkBudget mBudget;
    GlyphCache mGlyphs;
    QBrush mSolidBrush;
    QSet<qint64> mGlyphRunSizes;
};
