#include "editor/CardPicture.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// The shadow is the card moved down and right, fading out round its edge.
constexpr int ShadowOffset = 2;
constexpr int ShadowFade = 4;
constexpr int ShadowAlpha = 96;
constexpr int ShadowGrey = 64;

int shadowAlpha(int x, int y)
{
    const QRect core = CardPicture::Card.translated(ShadowOffset, ShadowOffset);
    const int dx = std::max({core.left() - x, 0, x - core.right()});
    const int dy = std::max({core.top() - y, 0, y - core.bottom()});
    const double distance = std::hypot(dx, dy);
    if (distance > ShadowFade)
        return 0;
    return int(std::lround(ShadowAlpha * (ShadowFade + 1 - distance) / (ShadowFade + 1)));
}

// Only the margin right of and below the card is walked: the card covers
// the rest, and the picture must cost next to nothing to make.
void paintShadow(QImage& image)
{
    const QRect& card = CardPicture::Card;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = y <= card.bottom() ? card.right() + 1 : 0; x < image.width(); ++x) {
            if (const int alpha = shadowAlpha(x, y))
                line[x] = qPremultiply(qRgba(ShadowGrey, ShadowGrey, ShadowGrey, alpha));
        }
    }
}

QImage makeImage()
{
    QImage image(CardPicture::Size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    paintShadow(image);
    QPainter p(&image);
    p.fillRect(CardPicture::Card, Qt::black);
    p.fillRect(CardPicture::Card.adjusted(1, 1, -1, -1), Qt::white);
    p.end();
    return image;
}

} // namespace

const QImage& CardPicture::image()
{
    static const QImage picture = makeImage();
    return picture;
}

const QPixmap& CardPicture::pixmap()
{
    static const QPixmap picture = QPixmap::fromImage(image());
    return picture;
}
