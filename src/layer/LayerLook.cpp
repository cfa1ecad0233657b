#include "layer/LayerLook.h"

#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "layer/Win1250Text.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

// Screen pixels per inch that the card is designed at.
constexpr int CardDpi = 96;
constexpr int PointsPerInch = 72;
// Far beyond any card, and below the sizes where the font engine's line
// metrics overflow into negative heights.
constexpr int MaxFontPixels = 10000;

// a * b / c rounded half away from zero, as the platform's font sizing
// rounds points to pixels.
int mulDiv(int a, int b, int c)
{
    const long long product = static_cast<long long>(a) * b;
    const long long half = c / 2;
    return static_cast<int>(product >= 0 ? (product + half) / c : (product - half) / c);
}

// Line breaks a card file may smuggle into a text would make a second
// line; a text element has only one.
QString oneLine(const QString& text)
{
    QString line = text;
    for (QChar& c : line)
        if (c == u'\n' || c == u'\r' || c == u'\t')
            c = u' ';
    return line;
}

// Hatch lines are drawn as lines one card pixel wide and eight apart, as
// the toolkit's patterns look on the screen; unlike those, they scale with
// everything else, so a 600 dpi sheet shows the card's hatches and not a
// grey tint.

void hatchLines(QPainter& painter, const QRectF& area, FillPattern pattern)
{
    const bool across = pattern == FillPattern::Horizontal || pattern == FillPattern::Cross;
    const bool down = pattern == FillPattern::Vertical || pattern == FillPattern::Cross;
    const bool falling = pattern == FillPattern::ForwardDiagonal || pattern == FillPattern::DiagonalCross;
    const bool rising = pattern == FillPattern::BackwardDiagonal || pattern == FillPattern::DiagonalCross;
    const qreal left = std::floor(area.left() / HatchSpacing) * HatchSpacing;
    const qreal top = std::floor(area.top() / HatchSpacing) * HatchSpacing;
    const qreal span = area.width() + area.height() + 2 * HatchSpacing;
    // One call for all the lines, and only those that cross the area: a
    // printed sheet of ten hatched cards stays one path per card.
    QVector<QLineF> lines;
    for (qreal y = top; across && y <= area.bottom(); y += HatchSpacing)
        lines.append(QLineF(QPointF(area.left(), y), QPointF(area.right() + 1, y)));
    for (qreal x = left; down && x <= area.right(); x += HatchSpacing)
        lines.append(QLineF(QPointF(x, area.top()), QPointF(x, area.bottom() + 1)));
    // Diagonals through every eighth point of the top edge, far enough left
    // and right to cross the whole area.
    for (qreal start = left - span; (falling || rising) && start <= left + span; start += HatchSpacing) {
        const qreal fallingAt = start - top;          // x - y along the line
        const qreal risingAt = start + top + span;    // x + y along the line
        if (falling && fallingAt >= area.left() - area.bottom() - 1 && fallingAt <= area.right() - area.top() + 1)
            lines.append(QLineF(QPointF(start, top), QPointF(start + span, top + span)));
        if (rising && risingAt >= area.left() + area.top() - 1 && risingAt <= area.right() + area.bottom() + 1)
            lines.append(QLineF(QPointF(start, top + span), QPointF(start + span, top)));
    }
    painter.drawLines(lines);
}

// The inside of a shape: solid, or hatch lines in the fill colour with
// whatever lies below showing between them. The lines start at the box's
// corner, wherever the box is drawn.
void fillInside(QPainter& painter, const QPainterPath& path, const QRectF& box, const ShapeLook& look)
{
    if (look.pattern == FillPattern::Solid) {
        painter.fillPath(path, look.fill);
        return;
    }
    painter.save();
    painter.setClipPath(path, Qt::IntersectClip);
    painter.translate(box.topLeft());
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(look.fill, 1, Qt::SolidLine, Qt::FlatCap));
    hatchLines(painter, path.boundingRect().translated(-box.topLeft()), look.pattern);
    painter.restore();
}

Qt::PenStyle penStyle(OutlinePattern pattern)
{
    switch (pattern) {
    case OutlinePattern::Dot: return Qt::DotLine;
    case OutlinePattern::DashDot: return Qt::DashDotLine;
    case OutlinePattern::Dash: return Qt::DashLine;
    case OutlinePattern::DashDotDot: return Qt::DashDotDotLine;
    case OutlinePattern::Solid: break;
    }
    return Qt::SolidLine;
}

QPainterPath shapePath(ShapeKind kind, const QRectF& box)
{
    QPainterPath path;
    if (box.isEmpty())
        return path;
    if (kind == ShapeKind::Ellipse)
        path.addEllipse(box);
    else
        path.addRect(box);
    return path;
}

// A pattern only shows on the thinnest outline; a dashed outline is a
// stroke along the box's edge, one card pixel wide, its dashes as long as
// the card shows them.
void paintPatternedShape(QPainter& painter, const QRectF& box, const ShapeLook& look)
{
    const QRectF inner = box.adjusted(1, 1, -1, -1);
    fillInside(painter, shapePath(look.kind, inner), box, look);
    const qreal half = 0.5;
    QPen pen(look.outline, 1, penStyle(look.outlinePattern), Qt::FlatCap, Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(shapePath(look.kind, box.adjusted(half, half, -half, -half)));
}

// The outline is the ring between the box and the box inset by its width,
// so it never spills out of the box, and an outline wider than half the
// box simply covers it.
void paintSolidShape(QPainter& painter, const QRectF& box, const ShapeLook& look, qreal width)
{
    const QPainterPath outer = shapePath(look.kind, box);
    const QPainterPath inner = shapePath(look.kind, box.adjusted(width, width, -width, -width));
    if (look.pattern == FillPattern::Solid) {
        painter.fillPath(outer, look.outline);
        painter.fillPath(inner, look.fill);
        return;
    }
    // Between the hatch lines whatever lies below must show, so the ring
    // is cut out rather than covered.
    painter.fillPath(outer.subtracted(inner), look.outline);
    fillInside(painter, inner, box, look);
}

} // namespace

QColor colorFromStored(std::int32_t value)
{
    const auto bits = static_cast<std::uint32_t>(value);
    return QColor(bits & 0xFF, (bits >> 8) & 0xFF, (bits >> 16) & 0xFF);
}

std::int32_t storedFromColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return rgb.red() | (rgb.green() << 8) | (rgb.blue() << 16);
}

int pointsToPixels(int points)
{
    return mulDiv(points, CardDpi, PointsPerInch);
}

// Pixels rather than points, so that the card looks the same whatever the
// screen's resolution. A size of 0 would leave the face at the toolkit's
// default size and a negative one is refused, so both become the size meant
// as nearly as can be; whatever the size box lets through stays drawable.
QFont layerFont(const QString& face, int points, bool bold, bool italic, bool underline)
{
    QFont font(face);
    font.setPixelSize(std::clamp(std::abs(pointsToPixels(points)), 1, MaxFontPixels));
    font.setBold(bold);
    font.setItalic(italic);
    font.setUnderline(underline);
    return font;
}

TextLook readTextLook(LayerRef table)
{
    TextLook look;
    look.text = fromWin1250(ReadStr(table, Field::nev));
    look.points = ReadLayerInt(table, Field::betumeret);
    look.font = layerFont(fromWin1250(ReadStr(table, Field::betutipus)), look.points, ReadBool(table, Field::felkover),
                          ReadBool(table, Field::dolt), ReadBool(table, Field::alahuzott));
    look.color = colorFromStored(ReadLayerInt(table, Field::szin));
    look.alignment = alignmentFromCode(ReadLayerInt(table, Field::igazitas));
    return look;
}

ShapeLook readShapeLook(LayerRef table)
{
    ShapeLook look;
    look.kind = shapeFromCode(ReadLayerInt(table, Field::shape));
    look.fill = colorFromStored(ReadLayerInt(table, Field::brushcolor));
    look.pattern = fillFromCode(ReadLayerInt(table, Field::brushstyle));
    look.outline = colorFromStored(ReadLayerInt(table, Field::pencolor));
    look.outlinePattern = outlineFromCode(ReadLayerInt(table, Field::penstyle));
    look.outlineWidth = ReadLayerInt(table, Field::penwidth);
    return look;
}

// An empty text measures as one space: an element of no width could not
// be found again under the mouse. The last letter's overhang (italics) is
// added so that it is not cut off at the element's edge.
QSize textExtent(const TextLook& look)
{
    const QFontMetrics metrics(look.font);
    const QString text = look.text.isEmpty() ? QStringLiteral(" ") : oneLine(look.text);
    int width = metrics.horizontalAdvance(text);
    width += std::max(0, -metrics.rightBearing(text.back()));
    return {width, metrics.height()};
}

void paintText(QPainter& painter, const QRect& rect, const TextLook& look)
{
    if (look.text.isEmpty())
        return;
    Qt::Alignment alignment = Qt::AlignLeft;
    if (look.alignment == TextAlignment::Center)
        alignment = Qt::AlignHCenter;
    else if (look.alignment == TextAlignment::Right)
        alignment = Qt::AlignRight;
    painter.save();
    painter.setFont(look.font);
    painter.setPen(look.color);
    painter.drawText(rect, int(alignment | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip),
                     oneLine(look.text));
    painter.restore();
}

// A zero or negative width still draws the thinnest outline, as a
// zero-width pen does.
void paintShape(QPainter& painter, const QRect& box, const ShapeLook& look)
{
    if (box.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, look.kind == ShapeKind::Ellipse);
    const int width = std::max(1, look.outlineWidth);
    if (width == 1 && look.outlinePattern != OutlinePattern::Solid)
        paintPatternedShape(painter, QRectF(box), look);
    else
        paintSolidShape(painter, QRectF(box), look, width);
    painter.restore();
}
