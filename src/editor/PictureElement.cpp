#include "editor/PictureElement.h"

PictureElement::PictureElement(QWidget* cardBox)
    : CardElement(cardBox)
{
    mItem.kind = LayerKind::Picture;
    mItem.stretch = true;
}

void PictureElement::setItem(const LayerItem& item)
{
    mAskedFor = {};
    CardElement::setItem(item);
}

void PictureElement::setStretch(bool stretch)
{
    if (stretch == mItem.stretch)
        return;
    mItem.stretch = stretch;
    redraw();
}

void PictureElement::setPicture(const LayerPicture& picture)
{
    mItem.picture = picture;
    mAskedFor = {};
    redraw();
}

// Drawn and kept as every element is, once the photo has the pixels the
// box shows.
void PictureElement::paintEvent(QPaintEvent* event)
{
    if (!isPlaceholder()) {
        if ((mItem.picture.isNull() && !mItem.qr) || width() <= 0 || height() <= 0)
            return;
        fetchFinerPicture();
    }
    CardElement::paintEvent(event);
}

// A stretched photo is decoded at the size it is shown at; one shown at its
// own size already has all its pixels, and a drawing is drawn afresh.
void PictureElement::fetchFinerPicture()
{
    if (!mSource || !mItem.stretch || mItem.qr || mItem.picture.isVector() || mItem.picture.isNull())
        return;
    const double density = zoom() / 100.0 * devicePixelRatioF();
    const QSize card = cardSize();
    const QSize wanted = (QSizeF(card) * density).toSize().boundedTo(SurfaceSize * density);
    const QSize has = mItem.picture.pixels().size();
    if ((has.width() + 1 >= wanted.width() && has.height() + 1 >= wanted.height()) || wanted == mAskedFor)
        return;
    mAskedFor = wanted;  // a picture with fewer pixels is asked once
    const LayerPicture finer = mSource(card, density);
    if (!finer.isNull() && finer.pixels().size() != has) {
        mItem.picture = finer;
        forgetDrawing();
    }
}
