#include "editor/ShapeElement.h"

ShapeElement::ShapeElement(QWidget* cardBox)
    : CardElement(cardBox)
{
    mItem.kind = LayerKind::Shape;
}

void ShapeElement::setLook(const ShapeLook& look)
{
    mItem.shape = look;
    redraw();
}
