#pragma once

#include <QImage>
#include <QPicture>
#include <QRect>
#include <QSize>

#include <variant>

class QPainter;

// A layer's picture as it is drawn: pixels, or drawing commands recorded
// from a vector picture, which stay sharp at any resolution.
class LayerPicture
{
public:
    LayerPicture() = default;
    explicit LayerPicture(QImage pixels);
    // The commands draw the picture onto 0,0 .. size, its own size in
    // card pixels.
    LayerPicture(QPicture commands, QSize size);

    bool isNull() const;
    bool isVector() const { return std::holds_alternative<Vector>(mContent); }
    // The picture's own size in card pixels; for pixels decoded at the size
    // they are shown at, that size.
    QSize size() const;
    // Null unless the picture is pixels.
    const QImage& pixels() const;

    // Stretched to the box, or at its own size from the box's top-left
    // corner and cut at the box's edges.
    void paint(QPainter& painter, const QRect& box, bool stretch) const;

private:
    struct Vector
    {
        QPicture commands;
        QSize size;
    };

    std::variant<std::monostate, QImage, Vector> mContent;
};
