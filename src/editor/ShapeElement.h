#pragma once

#include "document/LayerLook.h"
#include "editor/CardElement.h"

// A rectangle or an inscribed ellipse filling its layer's box.
class ShapeElement : public CardElement
{
    Q_OBJECT

public:
    explicit ShapeElement(QWidget* cardBox);

    const ShapeLook& look() const { return mLook; }
    void setLook(const ShapeLook& look);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ShapeLook mLook;
};
