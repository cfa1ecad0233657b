#include "app/FramePlacement.h"

#include <QEvent>
#include <QWidget>

void FramePlacement::place(QWidget& window, QPoint topLeft, std::optional<QSize> size)
{
    window.move(topLeft);
    // Until the frame is known the inside takes the whole size.
    if (size)
        window.resize(*size);
    mTopLeft = topLeft;
    mSize = size;
}

void FramePlacement::settle(QWidget& window, const QEvent& event)
{
    if (!mTopLeft)
        return;
    if (event.type() != QEvent::Move && event.type() != QEvent::Resize && event.type() != QEvent::Expose)
        return;
    const QSize margins = window.frameGeometry().size() - window.size();
    if (margins == QSize(0, 0))
        return;
    const QPoint topLeft = *mTopLeft;
    const std::optional<QSize> size = mSize;
    mTopLeft.reset();
    mSize.reset();
    if (window.isMaximized() || window.isFullScreen())
        return;
    if (size)
        window.resize(*size - margins);
    if (window.frameGeometry().topLeft() != topLeft)
        window.move(topLeft);
}
