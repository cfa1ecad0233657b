#pragma once

#include "layer/LayerCodes.h"
#include "layer/LayerRecord.h"
#include "storage/LayerTable.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>

#include <cstdint>
#include <string>

class QPainter;

// How one layer looks, read from the record at the table's cursor. The card
// surface and the printed sheet draw the same looks with the same functions,
// so what is printed is what was on screen.

struct TextLook
{
    QString text;
    QFont font;       // sized in pixels, as the card shows it
    int points = 8;   // the size the layer stores
    QColor color;
    TextAlignment alignment = TextAlignment::Left;
};

struct ShapeLook
{
    ShapeKind kind = ShapeKind::Rectangle;
    QColor fill;
    FillPattern pattern = FillPattern::Solid;
    QColor outline;
    OutlinePattern outlinePattern = OutlinePattern::Solid;
    int outlineWidth = 1;
};

// Hatch lines lie this many card pixels apart, counted from the shape's
// top-left corner.
inline constexpr int HatchSpacing = 8;

// Stored colours hold red in the low byte, then green, then blue.
QColor colorFromStored(std::int32_t value);
std::int32_t storedFromColor(const QColor& color);

// A layer font: face, size in points at 96 pixels per inch, style.
QFont layerFont(const QString& face, int points, bool bold, bool italic, bool underline);
int pointsToPixels(int points);

TextLook readTextLook(LayerRef table);
ShapeLook readShapeLook(LayerRef table);

// The size of a text element: exactly as wide as its text, one line high.
QSize textExtent(const TextLook& look);

void paintText(QPainter& painter, const QRect& rect, const TextLook& look);
// Rectangle or inscribed ellipse, outline inside the box; dotted and dashed
// outlines only at width 1; hatches in the fill colour over what lies below.
// Everything is measured in card pixels, so the printed sheet, scaled to
// paper, shows outlines, dashes and hatches as the card window does.
void paintShape(QPainter& painter, const QRect& box, const ShapeLook& look);
