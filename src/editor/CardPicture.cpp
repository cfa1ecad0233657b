#include "editor/CardPicture.h"

#include <QPainter>

#include <algorithm>
#include <map>
#include <cmath>

namespace {

// The shadow is the card moved down and right, fading out round its edge.
constexpr int ShadowOffset = 2;
constexpr int ShadowFade = 4;
constexpr int ShadowAlpha = 96;
constexpr int ShadowGrey = 64;

// At a scale of dots per card pixel, distances in dots.
int shadowAlpha(int x, int y, const QRect& card, double scale)
{
    const int offset = int(std::lround(ShadowOffset * scale));
    const QRect core = card.translated(offset, offset);
    const int dx = std::max({core.left() - x, 0, x - core.right()});
    const int dy = std::max({core.top() - y, 0, y - core.bottom()});
    const double distance = std::hypot(dx, dy) / scale;
    if (distance > ShadowFade)
        return 0;
    return int(std::lround(ShadowAlpha * (ShadowFade + 1 - distance) / (ShadowFade + 1)));
}

// Only the margin right of and below the card is walked: the card covers
// the rest, and the picture must cost next to nothing to make.
void paintShadow(QImage& image, const QRect& card, double scale)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = y <= card.bottom() ? card.right() + 1 : 0; x < image.width(); ++x) {
            if (const int alpha = shadowAlpha(x, y, card, scale))
                line[x] = qPremultiply(qRgba(ShadowGrey, ShadowGrey, ShadowGrey, alpha));
        }
    }
}

// The card drawn afresh at a scale: its frame a card pixel wide at any
// scale, the shadow as far out.
QImage makeImage(double scale)
{
    auto dots = [scale](int pixels) { return int(std::lround(pixels * scale)); };
    QImage image(dots(CardPicture::Size.width()), dots(CardPicture::Size.height()), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QRect card(0, 0, dots(CardPicture::Card.width()), dots(CardPicture::Card.height()));
    paintShadow(image, card, scale);
    QPainter p(&image);
    const int frame = std::max(1, dots(1));
    p.fillRect(card, Qt::black);
    p.fillRect(card.adjusted(frame, frame, -frame, -frame), Qt::white);
    p.end();
    return image;
}

} // namespace

const QImage& CardPicture::image()
{
    static const QImage picture = makeImage(1);
    return picture;
}

QPixmap CardPicture::pixmap(int zoomPercent, qreal devicePixelRatio)
{
    static std::map<std::pair<int, qreal>, QPixmap> made;
    QPixmap& picture = made[{zoomPercent, devicePixelRatio}];
    if (picture.isNull()) {
        picture = QPixmap::fromImage(makeImage(zoomPercent / 100.0 * devicePixelRatio));
        picture.setDevicePixelRatio(devicePixelRatio);
    }
    return picture;
}

const QPixmap& CardPicture::pixmap()
{
    static const QPixmap picture = QPixmap::fromImage(image());
    return picture;
}
