#include "editor/Snapping.h"

#include <cmath>

namespace {

struct Found
{
    double distance;
    double line;
    double moved;  // where the snapping edge stood
};

// The nearest pair of an edge and a line within reach.
std::optional<Found> nearest(const std::vector<double>& edges, const std::vector<double>& lines, double reach)
{
    std::optional<Found> best;
    for (double edge : edges) {
        for (double line : lines) {
            const double distance = std::abs(line - edge);
            if (distance <= reach && (!best || distance < best->distance))
                best = Found{distance, line, edge};
        }
    }
    return best;
}

} // namespace

SnapLines snapLines(QSize card, const std::vector<QRect>& others)
{
    SnapLines lines;
    lines.xs = {0, card.width() / 2.0, double(card.width())};
    lines.ys = {0, card.height() / 2.0, double(card.height())};
    lines.xs.reserve(3 + 3 * others.size());
    lines.ys.reserve(3 + 3 * others.size());
    for (const QRect& box : others) {
        lines.xs.insert(lines.xs.end(), {double(box.x()), box.x() + box.width() / 2.0, double(box.x() + box.width())});
        lines.ys.insert(lines.ys.end(),
                        {double(box.y()), box.y() + box.height() / 2.0, double(box.y() + box.height())});
    }
    return lines;
}

Snap snapBox(const QRect& box, const SnapLines& lines, double reach, SnapEdges edges)
{
    const double left = box.x(), right = box.x() + box.width(), centreX = box.x() + box.width() / 2.0;
    const double top = box.y(), bottom = box.y() + box.height(), centreY = box.y() + box.height() / 2.0;
    std::vector<double> xs, ys;
    switch (edges) {
    case SnapEdges::Move:
        xs = {left, centreX, right};
        ys = {top, centreY, bottom};
        break;
    case SnapEdges::TopLeft:
        xs = {left};
        ys = {top};
        break;
    case SnapEdges::BottomRight:
        xs = {right};
        ys = {bottom};
        break;
    }
    Snap snap;
    if (const std::optional<Found> x = nearest(xs, lines.xs, reach)) {
        snap.offset.setX(int(std::lround(x->line - x->moved)));
        snap.guideX = x->line;
    }
    if (const std::optional<Found> y = nearest(ys, lines.ys, reach)) {
        snap.offset.setY(int(std::lround(y->line - y->moved)));
        snap.guideY = y->line;
    }
    return snap;
}
