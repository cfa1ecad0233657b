#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QEvent;
class QWidget;

// Where a top-level window is put, its frame goes. Under a window manager
// the frame exists only once the window is mapped, so the placement asked
// for before is made good once, when the frame is first known, and never
// again: a move, resize or maximise by the user afterwards stands.
class FramePlacement
{
public:
    // Before the window is mapped: its frame's position, and the frame's
    // size where one is given.
    void place(QWidget& window, QPoint topLeft, std::optional<QSize> size = std::nullopt);
    // Called from the window's event() for every event.
    void settle(QWidget& window, const QEvent& event);

private:
    std::optional<QPoint> mTopLeft;
    std::optional<QSize> mSize;
};
