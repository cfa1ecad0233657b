#include "editor/ShapeElement.h"

#include <QPainter>

ShapeElement::ShapeElement(QWidget* cardBox)
    : CardElement(cardBox)
{
}

void ShapeElement::setLook(const ShapeLook& look)
{
    mLook = look;
    update();
}

// Hatched fills leave the card and the layers below showing, so nothing
// is painted behind the shape.
void ShapeElement::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    paintShape(painter, rect(), mLook);
}
