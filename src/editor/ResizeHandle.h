#pragma once

#include <QWidget>

// One of the two 7 × 7 black squares that frame the current picture or shape.
// Positions go out in screen coordinates: the handle moves under the pointer.
class ResizeHandle : public QWidget
{
    Q_OBJECT

public:
    static constexpr int Size = 7;

    ResizeHandle(QWidget* cardBox, int tag);
    int tag() const { return mTag; }

signals:
    void pressed(ResizeHandle* handle, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint globalPos);
    void moved(ResizeHandle* handle, Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint globalPos);
    void released(ResizeHandle* handle, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    int mTag;
};
