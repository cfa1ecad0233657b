#pragma once

#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>

// The fixed picture of a blank card that lies under the layers of a card
// window: a white card with a black frame and a soft shadow below and to the
// right, transparent elsewhere. Made once, on first use.
class CardPicture
{
public:
    static constexpr QSize Size{350, 199};
    // The card as printed. Its top-left pixel is the origin of every
    // layer's position; the frame lines are its outermost pixels.
    static constexpr QRect Card{0, 0, 340, 190};
    // Where the card box shows the picture: the origin of every layer's
    // left and top in the card box.
    static constexpr QPoint Origin{8, 24};

    static const QImage& image();
    static const QPixmap& pixmap();
    // The card drawn afresh at a zoom for a screen of that device pixel
    // ratio, never the picture above enlarged; kept once made.
    static QPixmap pixmap(int zoomPercent, qreal devicePixelRatio);
};
