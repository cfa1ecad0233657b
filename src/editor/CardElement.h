#pragma once

#include <QWidget>

class QMenu;

// A visual element of the card surface: one per layer, named by the layer's
// element name and tagged with its stacking number. Mouse presses, moves and
// releases go out as signals for the card window to handle; the pressed
// element keeps the mouse until the button is released.
class CardElement : public QWidget
{
    Q_OBJECT

public:
    explicit CardElement(QWidget* cardBox);

    int tag() const { return mTag; }
    void setTag(int tag) { mTag = tag; }

    // Opens when a right-button press on the element is released.
    void setContextMenu(QMenu* menu) { mContextMenu = menu; }
    QMenu* contextMenu() const { return mContextMenu; }

signals:
    void pressed(CardElement* element, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void moved(CardElement* element, Qt::KeyboardModifiers modifiers, QPoint pos);
    void released(CardElement* element, Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void doubleClicked(CardElement* element);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int mTag = 0;
    QMenu* mContextMenu = nullptr;
};
