#pragma once

#include <QPoint>
#include <QRect>

#include <optional>
#include <vector>

// The numbers of placing several layers at once, as plain values in card
// pixels, so that they can be checked without a window. Each function
// gives the new top-left corner of every box, in the order given; a box
// keeps its size.

enum class Alignment { Left, HorizontalCentre, Right, Top, VerticalCentre, Bottom };

// The smallest box holding every box; an empty one for none.
QRect groupBox(const std::vector<QRect>& boxes);

// The boxes lined up against a frame: their group box, or the card where a
// single layer is aligned. A centre lands on the frame's centre, a half
// pixel rounded left or up, as the card's centring does.
std::vector<QPoint> aligned(const std::vector<QRect>& boxes, Alignment alignment, const QRect& frame);

// Three or more boxes spaced evenly along the direction: the first and the
// last (by their left or top edge, the earlier box first on a tie) stay,
// and the gaps between neighbours differ by at most one pixel, the larger
// ones coming last. Fewer than three boxes stay where they are.
std::vector<QPoint> distributed(const std::vector<QRect>& boxes, Qt::Orientation along);

// A box inside a group box that is resized from `from` to `to`: its edges
// keep their share of the group's width and height, on whole pixels, and
// it never shrinks below one pixel.
QRect scaledInGroup(const QRect& box, const QRect& from, const QRect& to);
