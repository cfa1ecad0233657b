#include "editor/DragMath.h"

#include <algorithm>
#include <cmath>

QPoint draggedElementPos(QPoint elementPos, QPoint pressedAt, QPoint pointer)
{
    return elementPos + (pointer - pressedAt);
}

QPoint draggedHandlePos(Handle handle, QPoint handleAtPress, QPoint pointerAtPress, QPoint pointerNow,
                        QPoint otherHandle, int handleSize)
{
    const QPoint wanted = handleAtPress + (pointerNow - pointerAtPress);
    // The box is 1 pixel wide when the handles' far edges are 1 apart.
    const int gap = handleSize - 1;
    if (handle == Handle::TopLeft)
        return QPoint(std::min(wanted.x(), otherHandle.x() + gap), std::min(wanted.y(), otherHandle.y() + gap));
    return QPoint(std::max(wanted.x(), otherHandle.x() - gap), std::max(wanted.y(), otherHandle.y() - gap));
}

QRect boxFromHandles(QPoint topLeftHandle, QPoint bottomRightHandle, int handleSize)
{
    return QRect(topLeftHandle, QPoint(bottomRightHandle.x() + handleSize - 1, bottomRightHandle.y() + handleSize - 1));
}

int screenPixels(int card, int zoomPercent)
{
    return int(std::lround(double(card) * zoomPercent / 100.0));
}

int cardPixels(int screen, int zoomPercent)
{
    return int(std::lround(double(screen) * 100.0 / zoomPercent));
}

QRect keptAspect(const QRect& box, QSize aspect, Handle moving)
{
    if (aspect.isEmpty())
        return box;
    const double scale = std::max(double(box.width()) / aspect.width(), double(box.height()) / aspect.height());
    const QSize size(std::max(1, int(std::lround(aspect.width() * scale))),
                     std::max(1, int(std::lround(aspect.height() * scale))));
    if (moving == Handle::BottomRight)
        return QRect(box.topLeft(), size);
    return QRect(QPoint(box.right() + 1 - size.width(), box.bottom() + 1 - size.height()), size);
}
