#include "print/PrintShop.h"

#include "print/SheetLayout.h"
#include "print/TransparencyProbe.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <algorithm>
#include <cmath>
#include <optional>

namespace printshop {

namespace {

constexpr double MillimetresPerInch = 25.4;

// A shape carried on into the bleed grows by whole repeats of what repeats
// along it, so that its hatch lines and the dashes of its outline (3, 6, 9
// or 12 card pixels to a repeat) run on across the card's edge in step;
// what grows beyond the bleed is cut off.
constexpr int ShapeRepeat = 72;
static_assert(ShapeRepeat % HatchSpacing == 0);

// Marks start outside the bleed as well as CropMarkOffset outside the
// trim: a mark on what is printed into the bleed could not be seen on a
// dark picture, and the shop wants the bleed as the card has it.
double cropMarkStart(double bleed)
{
    return std::max(CropMarkOffset, bleed);
}

// Text and QR codes stay as placed: moved text would read wrong, and a QR
// code mirrored into the bleed is no code.
bool carriesOn(const LayerItem& layer)
{
    return layer.kind == LayerKind::Shape || (layer.kind == LayerKind::Picture && !layer.qr);
}

// Where a layer carried on into the bleed ends, in card pixels: each side
// of its box that reaches the card's edge, or beyond, but not the bleed's
// outer edge, moves out to that edge.
QRectF reach(const LayerItem& layer, const QRectF& bleed)
{
    QRectF reached(layer.box);
    if (!carriesOn(layer) || layer.box.isEmpty())
        return reached;
    const QRectF box(layer.box);
    if (box.left() <= Card.left() && box.left() > bleed.left())
        reached.setLeft(bleed.left());
    if (box.top() <= Card.top() && box.top() > bleed.top())
        reached.setTop(bleed.top());
    if (box.right() >= Card.right() && box.right() < bleed.right())
        reached.setRight(bleed.right());
    if (box.bottom() >= Card.bottom() && box.bottom() < bleed.bottom())
        reached.setBottom(bleed.bottom());
    return reached;
}

int wholeRepeats(double distance)
{
    return int(std::ceil(distance / ShapeRepeat)) * ShapeRepeat;
}

QRect extendedShape(const QRect& box, const QRectF& reached)
{
    const QRectF from(box);
    return box.adjusted(-wholeRepeats(from.left() - reached.left()), -wholeRepeats(from.top() - reached.top()),
                        wholeRepeats(reached.right() - from.right()), wholeRepeats(reached.bottom() - from.bottom()));
}

// Beyond each edge of the box that moved out, the picture mirrored across
// that edge, and in the corners mirrored both ways. Each copy stays within
// its mirrored box, so the copies only meet the picture; the bleed box cuts
// them.
void paintMirrored(QPainter& painter, const LayerItem& layer, const QRectF& reached)
{
    const QRectF box(layer.box);
    // The lines the picture is mirrored across, not mirrored first.
    std::vector<std::optional<double>> across{std::nullopt}, down{std::nullopt};
    if (reached.left() < box.left())
        across.push_back(box.left());
    if (reached.right() > box.right())
        across.push_back(box.right());
    if (reached.top() < box.top())
        down.push_back(box.top());
    if (reached.bottom() > box.bottom())
        down.push_back(box.bottom());
    for (const std::optional<double>& x : across) {
        for (const std::optional<double>& y : down) {
            if (!x && !y)
                continue;
            painter.save();
            if (x) {
                painter.translate(2 * *x, 0);
                painter.scale(-1, 1);
            }
            if (y) {
                painter.translate(0, 2 * *y);
                painter.scale(1, -1);
            }
            paintLayer(painter, layer, layer.box);
            painter.restore();
        }
    }
}

// Beyond the edges of the box that moved out, the shape grown to the
// bleed's edge; its outline on those sides goes with it, out of the trim.
// A solid shape's strips reach a pixel under the shape as placed, which is
// drawn over them: where the two only met, a screen's smoothing would show
// a light seam along the card's edge. Hatches and dashed outlines let what
// is under them show through, so theirs only meet the shape.
void paintGrown(QPainter& painter, const LayerItem& layer, const QRectF& reached)
{
    const bool solid =
        layer.shape.pattern == FillPattern::Solid && layer.shape.outlinePattern == OutlinePattern::Solid;
    const int under = solid ? 1 : 0;
    QPainterPath strips;
    strips.addRect(reached);
    QPainterPath placed;
    placed.addRect(QRectF(layer.box).adjusted(under, under, -under, -under));
    painter.save();
    painter.setClipPath(strips.subtracted(placed), Qt::IntersectClip);
    paintLayer(painter, layer, extendedShape(layer.box, reached));
    painter.restore();
}

// One layer on a painter in card pixels, carried on into the bleed. Its box
// shows it as placed, so nothing changes inside the trim: a frame along the
// card's edge stays on the card, and only the bleed beyond it is added.
void paintCarriedOn(QPainter& painter, const LayerItem& layer, const QRectF& bleed)
{
    const QRectF reached = reach(layer, bleed);
    if (reached != QRectF(layer.box) && layer.kind == LayerKind::Shape)
        paintGrown(painter, layer, reached);
    paintLayer(painter, layer, layer.box);
    if (reached != QRectF(layer.box) && layer.kind != LayerKind::Shape)
        paintMirrored(painter, layer, reached);
}

// The card's layers from first up to end on a painter in page millimetres,
// cut at the bleed box.
void paintLayers(QPainter& painter, const std::vector<LayerItem>& layers, std::size_t first, std::size_t end,
                 const Geometry& page, const QRectF& bleed)
{
    painter.save();
    painter.setClipRect(page.bleed, Qt::IntersectClip);
    painter.translate(page.cardOrigin);
    painter.scale(page.mmPerPixel, page.mmPerPixel);
    for (std::size_t i = first; i < end; ++i)
        paintCarriedOn(painter, layers[i], bleed);
    painter.restore();
}

// A layer that is not opaque, with everything beneath it, as one opaque
// picture over the part of the page it covers: its transparent parts show
// what lies below as paper would, and the page itself has none.
void paintFlattened(QPainter& painter, const std::vector<LayerItem>& layers, std::size_t layer, const Geometry& page,
                    const QRectF& bleed)
{
    const QRectF covered = reach(layers[layer], bleed) & bleed;
    if (covered.isEmpty())
        return;
    const QRectF area(page.cardOrigin + covered.topLeft() * page.mmPerPixel, covered.size() * page.mmPerPixel);
    const double dotsPerMillimetre = FlattenDpi / MillimetresPerInch;
    // Whole dots, so the picture reaches a little past the area; what it
    // shows there is what lies there.
    const QSize dots(int(std::ceil(area.width() * dotsPerMillimetre - 1e-6)),
                     int(std::ceil(area.height() * dotsPerMillimetre - 1e-6)));
    QImage flat(dots, QImage::Format_RGB32);
    const int dotsPerMetre = int(std::lround(FlattenDpi / MillimetresPerInch * 1000));
    flat.setDotsPerMeterX(dotsPerMetre);
    flat.setDotsPerMeterY(dotsPerMetre);
    flat.fill(Qt::white);
    {
        QPainter onFlat(&flat);
        onFlat.scale(dotsPerMillimetre, dotsPerMillimetre);
        onFlat.translate(-area.topLeft());
        paintLayers(onFlat, layers, 0, layer + 1, page, bleed);
    }
    painter.save();
    painter.setClipRect(page.bleed, Qt::IntersectClip);
    painter.drawImage(QRectF(area.topLeft(), QSizeF(dots) / dotsPerMillimetre), flat);
    painter.restore();
}

} // namespace

bool validBleed(double millimetres)
{
    // Written so that NaN fails.
    if (!(millimetres >= 0 && millimetres <= MaxBleed))
        return false;
    const double steps = millimetres / BleedStep;
    return std::abs(steps - std::round(steps)) < 1e-9;
}

Geometry geometry(const Options& options)
{
    const double margin = options.cropMarks ? cropMarkStart(options.bleed) + CropMarkLength : options.bleed;
    Geometry page;
    page.media = QSizeF(TrimWidth + 2 * margin, TrimHeight + 2 * margin);
    page.trim = QRectF(margin, margin, TrimWidth, TrimHeight);
    page.bleed = page.trim.adjusted(-options.bleed, -options.bleed, options.bleed, options.bleed);
    page.mmPerPixel = TrimWidth / Card.width();
    page.cardOrigin = QPointF(page.trim.left(), page.trim.center().y() - Card.height() * page.mmPerPixel / 2);
    return page;
}

QRectF bleedInCard(const Options& options)
{
    const Geometry page = geometry(options);
    return QRectF((page.bleed.topLeft() - page.cardOrigin) / page.mmPerPixel, page.bleed.size() / page.mmPerPixel);
}

std::vector<QLineF> cropMarks(const Options& options)
{
    if (!options.cropMarks)
        return {};
    const QRectF trim = geometry(options).trim;
    const double start = cropMarkStart(options.bleed);
    const double end = start + CropMarkLength;
    std::vector<QLineF> lines;
    for (const QPointF corner : {trim.topLeft(), trim.topRight(), trim.bottomLeft(), trim.bottomRight()}) {
        const double outwards = corner.x() < trim.center().x() ? -1 : 1;
        const double downwards = corner.y() < trim.center().y() ? -1 : 1;
        lines.emplace_back(corner + QPointF(outwards * start, 0), corner + QPointF(outwards * end, 0));
        lines.emplace_back(corner + QPointF(0, downwards * start), corner + QPointF(0, downwards * end));
    }
    return lines;
}

std::vector<int> flattenedLayers(const std::vector<LayerItem>& layers)
{
    std::vector<int> flattened;
    for (std::size_t i = 0; i < layers.size(); ++i) {
        const LayerItem& layer = layers[i];
        if (paintsTransparency([&](QPainter& painter) { paintLayer(painter, layer, layer.box); }))
            flattened.push_back(int(i));
    }
    return flattened;
}

// The paper is white, so the card's white is not drawn.
void paintPage(QPainter& painter, const std::vector<LayerItem>& layers, const Options& options)
{
    const Geometry page = geometry(options);
    const QRectF bleed = bleedInCard(options);
    const std::vector<int> flattened = flattenedLayers(layers);
    std::size_t next = 0;
    for (const int layer : flattened) {
        paintLayers(painter, layers, next, std::size_t(layer), page, bleed);
        paintFlattened(painter, layers, std::size_t(layer), page, bleed);
        next = std::size_t(layer) + 1;
    }
    paintLayers(painter, layers, next, layers.size(), page, bleed);

    const std::vector<QLineF> marks = cropMarks(options);
    if (marks.empty())
        return;
    painter.save();
    painter.setPen(QPen(QColor(0, 0, 0), CropMarkWidthPt * sheet::MillimetresPerPoint, Qt::SolidLine,
                        Qt::FlatCap));
    painter.drawLines(marks.data(), int(marks.size()));
    painter.restore();
}

} // namespace printshop
