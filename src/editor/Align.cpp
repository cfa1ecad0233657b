#include "editor/Align.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>

namespace {

// Halves round towards the smaller coordinate, negative ones included.
int floorHalf(int value)
{
    return value >= 0 ? value / 2 : -((-value + 1) / 2);
}

} // namespace

QRect groupBox(const std::vector<QRect>& boxes)
{
    QRect group;
    for (const QRect& box : boxes)
        group = group.isNull() ? box : group.united(box);
    return group;
}

std::vector<QPoint> aligned(const std::vector<QRect>& boxes, Alignment alignment, const QRect& frame)
{
    std::vector<QPoint> places;
    places.reserve(boxes.size());
    for (const QRect& box : boxes) {
        QPoint at = box.topLeft();
        switch (alignment) {
        case Alignment::Left: at.setX(frame.left()); break;
        case Alignment::HorizontalCentre: at.setX(frame.left() + floorHalf(frame.width() - box.width())); break;
        case Alignment::Right: at.setX(frame.left() + frame.width() - box.width()); break;
        case Alignment::Top: at.setY(frame.top()); break;
        case Alignment::VerticalCentre: at.setY(frame.top() + floorHalf(frame.height() - box.height())); break;
        case Alignment::Bottom: at.setY(frame.top() + frame.height() - box.height()); break;
        }
        places.push_back(at);
    }
    return places;
}

std::vector<QPoint> distributed(const std::vector<QRect>& boxes, Qt::Orientation along)
{
    std::vector<QPoint> places;
    places.reserve(boxes.size());
    for (const QRect& box : boxes)
        places.push_back(box.topLeft());
    if (boxes.size() < 3)
        return places;
    const bool across = along == Qt::Horizontal;
    auto start = [&](const QRect& box) { return across ? box.left() : box.top(); };
    auto length = [&](const QRect& box) { return across ? box.width() : box.height(); };
    std::vector<std::size_t> order(boxes.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return start(boxes[a]) < start(boxes[b]); });
    const QRect& first = boxes[order.front()];
    const QRect& last = boxes[order.back()];
    // 64 bits: a hundred layers far off the card must not overflow.
    std::int64_t lengths = 0;
    for (std::size_t i : order)
        lengths += length(boxes[i]);
    const std::int64_t room = std::int64_t(start(last)) + length(last) - start(first) - lengths;
    const std::int64_t gaps = std::int64_t(order.size()) - 1;
    std::int64_t before = 0;  // the lengths of the boxes already placed
    for (std::size_t n = 0; n < order.size(); ++n) {
        const std::size_t i = order[n];
        // Floor division, so that negative room (overlapping boxes) spreads
        // the same way.
        const std::int64_t share = std::int64_t(n) * room;
        const std::int64_t gap = share >= 0 ? share / gaps : -((-share + gaps - 1) / gaps);
        const int at = int(start(first) + before + gap);
        if (across)
            places[i].setX(at);
        else
            places[i].setY(at);
        before += length(boxes[i]);
    }
    return places;
}

QRect scaledInGroup(const QRect& box, const QRect& from, const QRect& to)
{
    auto edge = [](int at, int fromStart, int fromLength, int toStart, int toLength) {
        if (fromLength <= 0)
            return toStart + (at - fromStart);
        return toStart + int(std::lround(double(at - fromStart) * toLength / fromLength));
    };
    const int left = edge(box.left(), from.left(), from.width(), to.left(), to.width());
    const int top = edge(box.top(), from.top(), from.height(), to.top(), to.height());
    const int right = edge(box.left() + box.width(), from.left(), from.width(), to.left(), to.width());
    const int bottom = edge(box.top() + box.height(), from.top(), from.height(), to.top(), to.height());
    return QRect(left, top, std::max(1, right - left), std::max(1, bottom - top));
}
