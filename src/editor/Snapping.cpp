#include "editor/Snapping.h"

#include <QRectF>

#include <algorithm>
#include <cmath>

namespace {

struct Found
{
    double distance;
    SnapLine line;
    double moved;  // where the snapping edge stood
};

// The nearest pair of an edge and a line within reach; of pairs as near,
// the first line's (the card's own lines come first).
std::optional<Found> nearest(const std::vector<double>& edges, const std::vector<SnapLine>& lines, double reach)
{
    std::optional<Found> best;
    for (const SnapLine& line : lines) {
        for (double edge : edges) {
            const double distance = std::abs(line.at - edge);
            if (distance <= reach && (!best || distance < best->distance))
                best = Found{distance, line, edge};
        }
    }
    return best;
}

// The guide runs along the line over its source and the box.
Guide guideOver(const SnapLine& line, double boxFrom, double boxTo)
{
    return {line.at, std::min(line.from, boxFrom), std::max(line.to, boxTo)};
}

} // namespace

SnapLines snapLines(QSize card, const std::vector<QRect>& others)
{
    SnapLines lines;
    const double width = card.width(), height = card.height();
    lines.xs = {{0, 0, height}, {width / 2, 0, height}, {width, 0, height}};
    lines.ys = {{0, 0, width}, {height / 2, 0, width}, {height, 0, width}};
    lines.xs.reserve(3 + 3 * others.size());
    lines.ys.reserve(3 + 3 * others.size());
    for (const QRect& box : others) {
        const double left = box.x(), right = box.x() + box.width(), top = box.y(), bottom = box.y() + box.height();
        lines.xs.insert(lines.xs.end(), {{left, top, bottom}, {(left + right) / 2, top, bottom}, {right, top, bottom}});
        lines.ys.insert(lines.ys.end(), {{top, left, right}, {(top + bottom) / 2, left, right}, {bottom, left, right}});
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
    const std::optional<Found> x = nearest(xs, lines.xs, reach);
    const std::optional<Found> y = nearest(ys, lines.ys, reach);
    if (x)
        snap.offset.setX(int(std::lround(x->line.at - x->moved)));
    if (y)
        snap.offset.setY(int(std::lround(y->line.at - y->moved)));
    // Along each guide, the box where it ends up (a resized box's fixed
    // edges stay).
    QRectF placed(box);
    switch (edges) {
    case SnapEdges::Move:
        placed.translate(snap.offset);
        break;
    case SnapEdges::TopLeft:
        placed.setTopLeft(placed.topLeft() + snap.offset);
        break;
    case SnapEdges::BottomRight:
        placed.setBottomRight(placed.bottomRight() + snap.offset);
        break;
    }
    if (x)
        snap.guideX = guideOver(x->line, placed.top(), placed.bottom());
    if (y)
        snap.guideY = guideOver(y->line, placed.left(), placed.right());
    return snap;
}
