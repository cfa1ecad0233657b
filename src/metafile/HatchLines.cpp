#include "metafile/HatchLines.h"

#include "metafile/GdiConstants.h"
#include "metafile/WorkBudget.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// One family of parallel lines: points p with normal . p = c, c running
// over the multiples of the spacing (plus the offset), ordered along dir.
struct Family
{
    QPointF normal;
    QPointF dir;
    double step;
};

double dot(QPointF a, QPointF b) { return a.x() * b.x() + a.y() * b.y(); }

std::vector<Family> familiesOf(int style)
{
    const double diagonal = std::sqrt(0.5);
    const Family horizontal{{0, 1}, {1, 0}, hatch::Spacing};
    const Family vertical{{1, 0}, {0, 1}, hatch::Spacing};
    // Down to the right is x - y constant, up to the right x + y constant.
    const Family down{{diagonal, -diagonal}, {diagonal, diagonal}, hatch::Spacing * diagonal};
    const Family up{{diagonal, diagonal}, {diagonal, -diagonal}, hatch::Spacing * diagonal};
    switch (style) {
    case gdi::HatchHorizontal: return {horizontal};
    case gdi::HatchVertical: return {vertical};
    case gdi::HatchForwardDiagonal: return {down};
    case gdi::HatchBackwardDiagonal: return {up};
    case gdi::HatchCross: return {horizontal, vertical};
    case gdi::HatchDiagonalCross: return {down, up};
    default: return {};
    }
}

struct Crossing
{
    double along;
    int winding;
};

void cutFamily(const QList<QPolygonF>& rings, const Family& f, Qt::FillRule rule, const QRectF& limit,
               WorkBudget& budget, QVector<QLineF>& out)
{
    double low = 1e300, high = -1e300;
    for (const QPolygonF& ring : rings) {
        for (const QPointF& p : ring) {
            low = std::min(low, dot(f.normal, p));
            high = std::max(high, dot(f.normal, p));
        }
    }
    double limitLow = 1e300, limitHigh = -1e300;
    for (QPointF corner : {limit.topLeft(), limit.topRight(), limit.bottomLeft(), limit.bottomRight()}) {
        limitLow = std::min(limitLow, dot(f.normal, corner));
        limitHigh = std::max(limitHigh, dot(f.normal, corner));
    }
    low = std::max(low, limitLow);
    high = std::min(high, limitHigh);
    if (!(low <= high))
        return;
    const double offset = (hatch::Offset + 0.5) * f.step / hatch::Spacing;
    const double first = std::ceil((low - offset) / f.step);
    const double last = std::floor((high - offset) / f.step);
    if (!(first <= last))
        return;
    // A figure that zigzags across the whole picture meets every line at
    // every edge; count that before keeping any of it.
    double crossings = 0;
    for (const QPolygonF& ring : rings) {
        for (qsizetype i = 0; i < ring.size(); ++i) {
            const double sa = dot(f.normal, ring[i]), sb = dot(f.normal, ring[(i + 1) % ring.size()]);
            const double from = std::max(std::ceil((std::min(sa, sb) - offset) / f.step), first);
            const double to = std::min(std::ceil((std::max(sa, sb) - offset) / f.step), last + 1);
            crossings += std::max(0.0, to - from);
        }
    }
    budget.chargeHatchLines(static_cast<qint64>(std::min(crossings, 1e15)));
    std::vector<std::vector<Crossing>> lines(static_cast<std::size_t>(last - first + 1));
    for (const QPolygonF& ring : rings) {
        for (qsizetype i = 0; i < ring.size(); ++i) {
            const QPointF a = ring[i];
            const QPointF b = ring[(i + 1) % ring.size()];
            const double sa = dot(f.normal, a), sb = dot(f.normal, b);
            if (sa == sb)
                continue;
            const double from = std::ceil((std::min(sa, sb) - offset) / f.step);
            const double to = std::ceil((std::max(sa, sb) - offset) / f.step);
            // Each line meets the edge once; the upper end belongs to the next edge.
            for (double k = std::max(from, first); k < to && k <= last; ++k) {
                const double t = (k * f.step + offset - sa) / (sb - sa);
                const QPointF p = a + (b - a) * t;
                lines[static_cast<std::size_t>(k - first)].push_back({dot(f.dir, p), sb > sa ? 1 : -1});
            }
        }
    }
    for (std::size_t k = 0; k < lines.size(); ++k) {
        std::vector<Crossing>& crossings = lines[k];
        std::sort(crossings.begin(), crossings.end(), [](Crossing x, Crossing y) { return x.along < y.along; });
        const QPointF base = f.normal * ((first + double(k)) * f.step + offset);
        int winding = 0;
        for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
            winding += crossings[i].winding;
            const bool inside = rule == Qt::WindingFill ? winding != 0 : (i % 2) == 0;
            if (inside && crossings[i + 1].along > crossings[i].along)
                out.append(QLineF(base + f.dir * crossings[i].along, base + f.dir * crossings[i + 1].along));
        }
    }
}

} // namespace

namespace hatch {

qint64 lineCount(int style, const QRectF& box)
{
    const double across = (box.width() + box.height()) / (Spacing * std::sqrt(0.5)) + 2;
    const auto perFamily = static_cast<qint64>(std::min(across, 1e15));
    return perFamily * static_cast<qint64>(familiesOf(style).size());
}

QVector<QLineF> linesInside(const QPainterPath& area, int style, const QRectF& limit, WorkBudget& budget)
{
    QVector<QLineF> out;
    const QList<QPolygonF> rings = area.toSubpathPolygons();
    for (const Family& family : familiesOf(style))
        cutFamily(rings, family, area.fillRule(), limit, budget, out);
    return out;
}

} // namespace hatch
