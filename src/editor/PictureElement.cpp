#include "editor/PictureElement.h"

#include <QPaintEvent>
#include <QPainter>

PictureElement::PictureElement(QWidget* cardBox)
    : CardElement(cardBox)
{
    mItem.kind = LayerKind::Picture;
    mItem.stretch = true;
}

void PictureElement::setItem(const LayerItem& item)
{
    mShown = {};
    mAskedFor = {};
    CardElement::setItem(item);
}

void PictureElement::setStretch(bool stretch)
{
    if (stretch == mItem.stretch)
        return;
    mItem.stretch = stretch;
    mShown = {};
    update();
}

void PictureElement::setPicture(const LayerPicture& picture)
{
    mItem.picture = picture;
    mAskedFor = {};
    mShown = {};
    update();
}

// What the box shows is kept as a pixmap of the box's size: scaling or
// cutting a large photo on every repaint would slow down dragging other
// layers over it. A box far larger than the card box at the zoom is painted
// as it is exposed instead, as only a card box's worth of it can be seen.
void PictureElement::paintEvent(QPaintEvent* event)
{
    if (isPlaceholder()) {
        CardElement::paintEvent(event);
        return;
    }
    if ((mItem.picture.isNull() && !mItem.qr) || width() <= 0 || height() <= 0)
        return;
    fetchFinerPicture();
    const qint64 cardBox = qint64(SurfaceSize.width()) * SurfaceSize.height() * zoom() / 100 * zoom() / 100;
    if (qint64(width()) * height() > 4 * cardBox) {
        mShown = {};
        QPainter painter(this);
        paintItem(painter);
        return;
    }
    if (mShown.deviceIndependentSize().toSize() != size()) {
        const qreal ratio = devicePixelRatioF();
        QPixmap shown(size() * ratio);
        shown.setDevicePixelRatio(ratio);
        shown.fill(Qt::transparent);
        QPainter painter(&shown);
        paintItem(painter);
        painter.end();
        mShown = shown;
    }
    QPainter painter(this);
    for (const QRect& dirty : event->region())
        paintKept(painter, dirty, mShown);
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
        mShown = {};
    }
}
