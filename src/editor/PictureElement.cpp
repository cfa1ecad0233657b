#include "editor/PictureElement.h"

#include "document/LayerLook.h"

#include <QPainter>

PictureElement::PictureElement(QWidget* cardBox)
    : CardElement(cardBox)
{
}

void PictureElement::setStretch(bool stretch)
{
    if (stretch == mStretch)
        return;
    mStretch = stretch;
    mShown = {};
    update();
}

void PictureElement::setPicture(const QImage& picture)
{
    mPicture = picture;
    mShown = {};
    update();
}

// What the box shows is kept as a pixmap of the box's size: scaling or
// cutting a large photo on every repaint would slow down dragging other
// layers over it.
void PictureElement::paintEvent(QPaintEvent*)
{
    if (mPicture.isNull() || width() <= 0 || height() <= 0)
        return;
    if (mShown.deviceIndependentSize().toSize() != size()) {
        const qreal ratio = devicePixelRatioF();
        QPixmap shown(size() * ratio);
        shown.setDevicePixelRatio(ratio);
        shown.fill(Qt::transparent);
        QPainter painter(&shown);
        paintPicture(painter, rect(), mPicture, mStretch);
        painter.end();
        mShown = shown;
    }
    QPainter painter(this);
    painter.drawPixmap(0, 0, mShown);
}
