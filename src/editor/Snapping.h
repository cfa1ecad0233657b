#pragma once

#include <QRect>
#include <QSize>

#include <optional>
#include <vector>

// The lines a moving box snaps to, in card pixels: the card's edges and
// centre lines, and the edges and centres of the other layers.
struct SnapLines
{
    std::vector<double> xs;  // vertical lines
    std::vector<double> ys;  // horizontal lines
};

SnapLines snapLines(QSize card, const std::vector<QRect>& others);

// Which edges of the box may snap: all of them and the centres while the
// box is dragged; the moving edges only while it is resized.
enum class SnapEdges { Move, TopLeft, BottomRight };

struct Snap
{
    QPoint offset;                 // what to add to the box's left and top (or moving edges)
    std::optional<double> guideX;  // the vertical line snapped to
    std::optional<double> guideY;  // the horizontal line snapped to
};

// For each direction, the nearest of the box's edges or centre that lies
// within reach (card pixels) of a line, brought onto it; a box's right edge
// is its left plus its width, its centre the middle of the two.
Snap snapBox(const QRect& box, const SnapLines& lines, double reach, SnapEdges edges);
