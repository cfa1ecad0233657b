#include "editor/PictureElement.h"

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
    mShown = {};
    update();
}

// What the box shows is kept as a pixmap of the box's size: scaling or
// cutting a large photo on every repaint would slow down dragging other
// layers over it. A box far larger than the card box is painted as it is
// exposed instead, as only a card box's worth of it can be seen.
void PictureElement::paintEvent(QPaintEvent* event)
{
    if (isPlaceholder()) {
        CardElement::paintEvent(event);
        return;
    }
    if ((mItem.picture.isNull() && !mItem.qr) || width() <= 0 || height() <= 0)
        return;
    if (qint64(width()) * height() > qint64(4) * SurfaceSize.width() * SurfaceSize.height()) {
        mShown = {};
        QPainter painter(this);
        paintLayer(painter, mItem, rect());
        return;
    }
    if (mShown.deviceIndependentSize().toSize() != size()) {
        const qreal ratio = devicePixelRatioF();
        QPixmap shown(size() * ratio);
        shown.setDevicePixelRatio(ratio);
        shown.fill(Qt::transparent);
        QPainter painter(&shown);
        paintLayer(painter, mItem, rect());
        painter.end();
        mShown = shown;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, mShown);
}
