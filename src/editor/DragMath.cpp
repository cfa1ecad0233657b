#include "editor/DragMath.h"

#include <algorithm>

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
