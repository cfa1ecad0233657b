#include "layer/LayerPicture.h"

#include <QPainter>

#include <algorithm>

LayerPicture::LayerPicture(QImage pixels)
{
    if (!pixels.isNull())
        mContent = std::move(pixels);
}

LayerPicture::LayerPicture(MetafilePicture vector)
{
    if (vector.bytes && !vector.info.pixels.isEmpty())
        mContent = std::move(vector);
}

bool LayerPicture::isNull() const
{
    return std::holds_alternative<std::monostate>(mContent);
}

QSize LayerPicture::size() const
{
    if (const auto* image = std::get_if<QImage>(&mContent))
        return image->size();
    if (const auto* vector = std::get_if<MetafilePicture>(&mContent))
        return vector->info.pixels;
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
    const MetafilePicture& vector = std::get<MetafilePicture>(mContent);
    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF target = stretch ? QRectF(box) : QRectF(box.topLeft(), QSizeF(vector.info.pixels));
    try {
        playMetafile(painter, target, *vector.bytes, vector.format);
    } catch (const MetafileError&) {
        // Only a file that is no metafile at all is refused, and its
        // header was read when the picture was made.
    }
    painter.restore();
}
