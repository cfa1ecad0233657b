#include "editor/ResizeHandle.h"

#include <QMouseEvent>
#include <QPainter>

ResizeHandle::ResizeHandle(QWidget* cardBox, int tag)
    : QWidget(cardBox)
    , mTag(tag)
{
    resize(Size, Size);
    setCursor(Qt::SizeFDiagCursor);
    setFocusPolicy(Qt::NoFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setMouseTracking(true);
    hide();
}

void ResizeHandle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
}

// Screen positions, because the handle moves under the pointer while it is
// dragged and positions inside it would move along.
void ResizeHandle::mousePressEvent(QMouseEvent* event)
{
    emit pressed(this, event->button(), event->modifiers(), event->globalPosition().toPoint());
}

void ResizeHandle::mouseMoveEvent(QMouseEvent* event)
{
    emit moved(this, event->buttons(), event->modifiers(), event->globalPosition().toPoint());
}

void ResizeHandle::mouseReleaseEvent(QMouseEvent* event)
{
    emit released(this, event->button(), event->modifiers(), event->globalPosition().toPoint());
}
