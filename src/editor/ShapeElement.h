#pragma once

#include "editor/CardElement.h"

// A rectangle or an inscribed ellipse filling its layer's box.
class ShapeElement : public CardElement
{
    Q_OBJECT

public:
    explicit ShapeElement(QWidget* cardBox);

    const ShapeLook& look() const { return mItem.shape; }
    void setLook(const ShapeLook& look);
};
