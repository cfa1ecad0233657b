#pragma once

#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

// A line a moving box snaps to, in card pixels: where it lies, and the
// stretch along it that the card or the layer it comes from covers.
struct SnapLine
{
    double at;
    double from;
    double to;

    friend bool operator==(const SnapLine&, const SnapLine&) = default;
};

// The card's edges and centre lines, and the edges and centres of the
// other layers.
struct SnapLines
{
    std::vector<SnapLine> xs;  // vertical lines
    std::vector<SnapLine> ys;  // horizontal lines
};

// A guide drawn where a box snapped: the line, from the box to what it
// snapped to (across the card for the card's own lines).
using Guide = SnapLine;

SnapLines snapLines(QSize card, const std::vector<QRect>& others);

// Which edges of the box may snap: all of them and the centres while the
// box is dragged; the moving edges only while it is resized.
enum class SnapEdges { Move, TopLeft, BottomRight };

struct Snap
{
    QPoint offset;                 // what to add to the box's left and top (or moving edges)
    std::optional<Guide> guideX;  // the vertical line snapped to
    std::optional<Guide> guideY;  // the horizontal line snapped to
};

// For each direction, the nearest of the box's edges or centre that lies
// within reach (card pixels) of a line, brought onto it; a box's right edge
// is its left plus its width, its centre the middle of the two.
Snap snapBox(const QRect& box, const SnapLines& lines, double reach, SnapEdges edges);
