#pragma once

#include <QLineF>
#include <QPainterPath>
#include <QVector>

class WorkBudget;

// The lines of a hatch pattern inside an area, in pixels of the picture:
// every eight pixels, as on the screen the picture was drawn for, cut to
// the area by its own fill rule. Drawn as lines, a hatch stays a hatch on a
// printer at any resolution and in a PDF file.
namespace hatch {

constexpr double Spacing = 8.0;
// Tests look for lines at pixel rows and columns this far into each cell.
constexpr int Offset = 3;

// How many lines cross a box that size, to charge before cutting them.
qint64 lineCount(int style, const QRectF& box);

// Lines outside limit are left out. Every point where a line meets an edge
// is charged to the budget before any is kept.
QVector<QLineF> linesInside(const QPainterPath& area, int style, const QRectF& limit, WorkBudget& budget);

} // namespace hatch
