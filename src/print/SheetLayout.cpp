#include "print/SheetLayout.h"

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

} // namespace sheet
