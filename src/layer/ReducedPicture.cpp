#include "layer/ReducedPicture.h"

#include "layer/LayerItem.h"
#include "layer/PictureDecoder.h"

#include <QBuffer>
#include <QImageWriter>

#include <cmath>

namespace {

std::string lowered(std::string_view extension)
{
    std::string name(extension.starts_with('.') ? extension.substr(1) : extension);
    for (char& c : name)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return name;
}

// The writer's format for a picture that may be reduced; empty for the rest.
QByteArray writerFormat(std::string_view extension)
{
    const std::string name = lowered(extension);
    if (name == "jpg" || name == "jpeg")
        return "jpeg";
    if (name == "png" || name == "bmp")
        return QByteArray::fromStdString(name);
    return {};
}

qint64 area(QSize size)
{
    return qint64(size.width()) * size.height();
}

} // namespace

QSize paperPixels(QSize box)
{
    return QSize(int(std::ceil(box.width() * PaperDotsPerPixel)), int(std::ceil(box.height() * PaperDotsPerPixel)));
}

std::optional<QSize> reducedSize(QSize own, QSize box, bool stretch, std::string_view extension)
{
    if (!stretch || writerFormat(extension).isEmpty() || own.isEmpty() || box.isEmpty())
        return std::nullopt;
    const QSize needed = paperPixels(box);
    if (area(own) <= 2 * area(needed))
        return std::nullopt;
    return own.boundedTo(needed);
}

std::string reducedPicture(std::string_view bytes, std::string_view extension, QSize size)
{
    const QByteArray format = writerFormat(extension);
    if (format.isEmpty())
        throw PictureError("The ." + lowered(extension) + " picture cannot be reduced");
    // Decoded straight at the new size (a photo decoder does most of that
    // work as it reads) and upright: the tag that turned the photo is not
    // written again, so the new photo is drawn as the old one was.
    QImage image = decodePicture(bytes, extension, size);
    if (format == "png")
        image = image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    QByteArray written;
    QBuffer buffer(&written);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (format == "jpeg")
        writer.setQuality(ReducedJpegQuality);
    if (!writer.write(image) || written.isEmpty())
        throw PictureError("The reduced ." + lowered(extension) + " picture cannot be written");
    return written.toStdString();
}
