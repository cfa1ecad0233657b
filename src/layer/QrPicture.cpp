#include "layer/QrPicture.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

bool isPng(std::string_view extension)
{
    std::string name(extension);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name == ".png" || name == "png";
}

// Whether the bytes are a PNG whose chunks all lie within them, up to its
// end chunk. The decoder sets aside what a chunk's length says before it
// reads the chunk, so a file of a few hundred bytes whose text chunk claims
// half a gigabyte would take that much memory.
bool chunksFit(std::string_view png)
{
    if (png.substr(0, 8) != std::string_view("\x89PNG\r\n\x1a\n", 8))
        return false;
    std::size_t at = 8;
    while (png.size() - at >= 12) {
        const auto byte = [&](std::size_t i) { return std::uint32_t(static_cast<unsigned char>(png[at + i])); };
        const std::uint32_t length = byte(0) << 24 | byte(1) << 16 | byte(2) << 8 | byte(3);
        if (length > png.size() - at - 12)
            return false;
        if (png.substr(at + 4, 4) == "IEND")
            return true;
        at += 12 + length;
    }
    return false;  // cut off before its end, which the decoder refuses too
}

} // namespace

// Black first in the colours, as a PDF keeps such a picture as one bit a
// pixel.
const QImage& QrMatrix::picture() const
{
    if (!mPicture.isNull() || size <= 0)
        return mPicture;
    const QrMatrix& modules = *this;
    const int side = modules.size + 2 * QrQuietZone;
    QImage image(side, side, QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    image.fill(1);
    for (int y = 0; y < modules.size; ++y) {
        uchar* line = image.scanLine(y + QrQuietZone);  // the leftmost pixel in the top bit
        for (int x = 0; x < modules.size; ++x) {
            const int at = x + QrQuietZone;
            if (modules.at(x, y))
                line[at >> 3] &= uchar(~(0x80 >> (at & 7)));
        }
    }
    mPicture = image;
    return mPicture;
}

// The modules are read at the centres of the cells a whole number of
// pixels wide: the picture is the code at that scale with its quiet zone.
std::optional<QrPicture> readQrPicture(std::string_view pngBytes, std::string_view extension)
{
    if (!isPng(extension) || !chunksFit(pngBytes))
        return std::nullopt;
    QByteArray data = QByteArray::fromRawData(pngBytes.data(), qsizetype(pngBytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAutoDetectImageFormat(false);
    const QString contents = reader.text(QString::fromLatin1(QrTextKey));
    if (contents.isEmpty())
        return std::nullopt;
    // Every PNG layer comes through here: the header's size, read without
    // decoding, keeps a hostile picture of a huge side from being unpacked.
    const QSize side = reader.size();
    if (!side.isValid() || side.width() != side.height() || side.width() > QrLargestSide)
        return std::nullopt;
    // Only the cells' centres are looked at, in the picture's own format.
    const QImage image = reader.read();
    if (image.isNull() || image.width() != image.height())
        return std::nullopt;
    // The side holds size + 8 cells; the code's size is 17 + 4 × version.
    for (int version = 1; version <= 40; ++version) {
        const int size = 17 + 4 * version;
        const int cells = size + 2 * QrQuietZone;
        if (image.width() % cells != 0)
            continue;
        const int scale = image.width() / cells;
        auto matrix = std::make_shared<QrMatrix>();
        matrix->size = size;
        matrix->dark.resize(std::size_t(size) * size);
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const int px = (x + QrQuietZone) * scale + scale / 2;
                const int py = (y + QrQuietZone) * scale + scale / 2;
                matrix->dark[std::size_t(y) * size + x] = qGray(image.pixel(px, py)) < 128;
            }
        // The finder pattern's corner is dark: a picture of some other grid
        // is not taken for a code.
        if (!matrix->at(0, 0) || !matrix->at(size - 1, 0) || !matrix->at(0, size - 1) || matrix->at(7, 7))
            continue;
        return QrPicture{contents.toUtf8(), std::move(matrix)};
    }
    return std::nullopt;
}

QRectF qrSquare(const QRectF& box)
{
    const double side = std::min(box.width(), box.height());
    return QRectF(box.center() - QPointF(side / 2, side / 2), QSizeF(side, side));
}

// The code is one picture of a pixel per module, scaled without
// smoothing: at any resolution every module is a sharp square whose edges
// lie within a dot of the exact grid, and a PDF (and the printer, which
// gets one) keeps it as a few hundred bytes of one bit a pixel.
void paintQr(QPainter& painter, const QrMatrix& modules, const QRectF& box)
{
    if (modules.size <= 0 || box.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setRenderHint(QPainter::LosslessImageRendering, true);
    painter.drawImage(qrSquare(box), modules.picture());
    painter.restore();
}
