#include "print/SheetLayout.h"

#include <algorithm>

namespace sheet {

QPointF copyOrigin(int copy)
{
    const int column = (copy - 1) / CopiesPerColumn;
    const int row = (copy - 1) % CopiesPerColumn;
    return {LeftMargin + column * ColumnWidth, TopMargin + row * CopyStep};
}

std::array<CornerMark, 4> cornerMarks()
{
    return {{
        {"QRImage2", {0, 0, 1.323, 1.323}, true, true, false, false},
        {"QRImage4", {88.9, 0, 1.323, 1.323}, true, false, true, false},
        {"QRImage3", {0, 49.213, 1.323, 1.323}, false, true, false, true},
        {"QRImage1", {88.9, 49.213, 1.058, 1.058}, false, false, true, true},
    }};
}

std::array<QRectF, 2> markLines(const CornerMark& mark)
{
    const QRectF& box = mark.box;
    const double w = MarkLineWidth;
    const QRectF horizontal(box.left(), mark.top ? box.top() : box.bottom() - w, box.width(), w);
    const QRectF vertical(mark.left ? box.left() : box.right() - w, box.top(), w, box.height());
    return {horizontal, vertical};
}

std::vector<Placement> placements(int copies, int start)
{
    std::vector<Placement> placed;
    placed.reserve(std::max(0, copies));
    for (int i = 0; i < copies; ++i) {
        const int slot = start - 1 + i;
        placed.push_back({slot / Copies, slot % Copies + 1});
    }
    return placed;
}

int sheetCount(int copies, int start)
{
    return copies <= 0 ? 0 : (start - 1 + copies - 1) / Copies + 1;
}

QPointF backOrigin(int position, Flip flip)
{
    const QPointF front = copyOrigin(position);
    if (flip == Flip::Long)
        return {Paper.width() - front.x() - CardBand.width(), front.y()};
    return {front.x(), Paper.height() - front.y() - CardBand.height()};
}

bool withinLimits(const Calibration& calibration)
{
    auto offsetFits = [](double mm) { return mm >= -MaxOffset && mm <= MaxOffset; };
    auto scaleFits = [](double percent) { return percent >= MinScale && percent <= MaxScale; };
    return offsetFits(calibration.offset.x()) && offsetFits(calibration.offset.y())
        && scaleFits(calibration.scale.x()) && scaleFits(calibration.scale.y());
}

QPointF calibrated(const Calibration& calibration, QPointF point)
{
    return {point.x() * calibration.scale.x() / 100 + calibration.offset.x(),
            point.y() * calibration.scale.y() / 100 + calibration.offset.y()};
}

// The printer puts the crosses at a = A k + d and b = B k + d; drawing
// p × (1 / k) − d / k puts every point where it belongs.
Calibration calibrationFromReadings(QPointF topLeft, QPointF bottomRight)
{
    const QPointF a = topLeft;
    const QPointF b(Paper.width() - bottomRight.x(), Paper.height() - bottomRight.y());
    const QPointF nominal = CalibrationBottomRight - CalibrationTopLeft;
    const double kx = (b.x() - a.x()) / nominal.x();
    const double ky = (b.y() - a.y()) / nominal.y();
    if (kx <= 0 || ky <= 0)
        throw CalibrationError("A mért értékek nem lehetnek ilyenek: a jobb alsó kereszt nem eshet a bal felső "
                               "elé. Mérje meg újra a két keresztet.");
    const double dx = a.x() - CalibrationTopLeft.x() * kx;
    const double dy = a.y() - CalibrationTopLeft.y() * ky;
    const Calibration result{{-dx / kx, -dy / ky}, {100 / kx, 100 / ky}};
    if (!withinLimits(result))
        throw CalibrationError("A mért értékekből adódó eltolás vagy nagyítás a megengedetten (±20 mm, 90–110 %) "
                               "kívül esik. Mérje meg újra a két keresztet, a papír széleitől.");
    return result;
}

} // namespace sheet
