#include "layer/LayerPicture.h"

#include <QPainter>

#include <algorithm>

LayerPicture::LayerPicture(QImage pixels)
{
    if (!pixels.isNull())
        mContent = std::move(pixels);
}

LayerPicture::LayerPicture(QPicture commands, QSize size)
{
    if (size.width() > 0 && size.height() > 0)
        mContent = Vector{std::move(commands), size};
}

bool LayerPicture::isNull() const
{
    return std::holds_alternative<std::monostate>(mContent);
}

QSize LayerPicture::size() const
{
    if (const auto* image = std::get_if<QImage>(&mContent))
        return image->size();
    if (const auto* vector = std::get_if<Vector>(&mContent))
        return vector->size;
    return {};
}

const QImage& LayerPicture::pixels() const
{
    static const QImage none;
    const auto* image = std::get_if<QImage>(&mContent);
    return image ? *image : none;
}

void LayerPicture::paint(QPainter& painter, const QRect& box, bool stretch) const
{
    if (isNull() || box.isEmpty())
        return;
    if (const auto* image = std::get_if<QImage>(&mContent)) {
        if (stretch) {
            painter.save();
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            painter.drawImage(QRectF(box), *image);
            painter.restore();
            return;
        }
        const QRect shown(0, 0, std::min(box.width(), image->width()), std::min(box.height(), image->height()));
        painter.drawImage(box.topLeft(), *image, shown);
        return;
    }
    const Vector& vector = std::get<Vector>(mContent);
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.translate(box.topLeft());
    if (stretch)
        painter.scale(qreal(box.width()) / vector.size.width(), qreal(box.height()) / vector.size.height());
    painter.drawPicture(0, 0, vector.commands);
    painter.restore();
}
