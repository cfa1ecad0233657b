#pragma once

#include "metafile/Metafile.h"

#include <QImage>
#include <QRect>
#include <QSize>

#include <memory>
#include <string>
#include <variant>

class QPainter;

// A metafile whose header has been read: played straight onto each painter
// it is drawn on, so it stays sharp at any resolution and goes to PDF files
// and printers as paths and text. Playing is quicker than recording it once
// and replaying the recording (a 1 MB drawing plays in a fifth of the time).
// The bytes are shared, not copied, between the layer items of a card.
struct MetafilePicture
{
    std::shared_ptr<const std::string> bytes;
    MetafileFormat format = MetafileFormat::Emf;
    MetafileInfo info;
};

// A layer's picture as it is drawn: pixels, or a vector picture.
class LayerPicture
{
public:
    LayerPicture() = default;
    explicit LayerPicture(QImage pixels);
    // Its own size in card pixels is the metafile's at 96 pixels per inch.
    explicit LayerPicture(MetafilePicture vector);

    bool isNull() const;
    bool isVector() const { return std::holds_alternative<MetafilePicture>(mContent); }
    // The picture's own size in card pixels; for pixels decoded at the size
    // they are shown at, that size.
    QSize size() const;
    // Null unless the picture is pixels.
    const QImage& pixels() const;

    // Stretched to the box, or at its own size from the box's top-left
    // corner and cut at the box's edges.
    void paint(QPainter& painter, const QRect& box, bool stretch) const;

private:
    std::variant<std::monostate, QImage, MetafilePicture> mContent;
};
