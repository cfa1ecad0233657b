#include "layer/QrPicture.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

bool isPng(std::string_view extension)
{
    std::string name(extension);
    for (char& c : name)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name == ".png" || name == "png";
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
    if (!isPng(extension) || pngBytes.size() < 8)
        return std::nullopt;
    QByteArray data = QByteArray::fromRawData(pngBytes.data(), qsizetype(pngBytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "png");
    reader.setAutoDetectImageFormat(false);
    const QString contents = reader.text(QString::fromLatin1(QrTextKey));
    if (contents.isEmpty())
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
