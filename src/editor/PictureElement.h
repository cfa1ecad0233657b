#pragma once

#include "editor/CardElement.h"

#include <QPixmap>

#include <functional>

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

    // Where a finer decode of the layer's picture comes from when the
    // element is shown larger than its pixels (zoomed in, or on a screen of
    // more than one device pixel per pixel): given the box in card pixels
    // and the device pixels per card pixel.
    using PictureSource = std::function<LayerPicture(QSize cardBox, double density)>;
    void setPictureSource(PictureSource source) { mSource = std::move(source); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void fetchFinerPicture();

    PictureSource mSource;
    QSize mAskedFor;
};
