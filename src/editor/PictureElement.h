#pragma once

#include "editor/CardElement.h"

#include <QPixmap>

// A picture in its layer's box: stretched to the box, or at its own size from
// the box's top-left corner and cut at the box's edges. An empty picture (one
// that could not be decoded) shows an empty box.
class PictureElement : public CardElement
{
    Q_OBJECT

public:
    explicit PictureElement(QWidget* cardBox);

    void setItem(const LayerItem& item) override;
    bool stretch() const { return mItem.stretch; }
    void setStretch(bool stretch);
    const LayerPicture& picture() const { return mItem.picture; }
    void setPicture(const LayerPicture& picture);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap mShown;  // the box as last painted, at its size
};
