#include "layer/QrPicture.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>

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
    const QImage image = reader.read().convertToFormat(QImage::Format_Grayscale8);
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

// Each run of dark modules in a row is one rectangle, and the module edges
// are put on whole device pixels, so that at any resolution a module has
// no grey inside and its edges sit within a dot of the exact grid.
void paintQr(QPainter& painter, const QrMatrix& modules, const QRectF& box)
{
    if (modules.size <= 0 || box.isEmpty())
        return;
    const QRectF square = qrSquare(box);
    const double cell = square.width() / (modules.size + 2 * QrQuietZone);
    const QTransform toDevice = painter.deviceTransform();
    const QTransform back = toDevice.inverted();
    auto snapped = [&](double x, double y) {
        const QPointF device = toDevice.map(QPointF(x, y));
        return back.map(QPointF(std::round(device.x()), std::round(device.y())));
    };
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(square, Qt::white);
    QPainterPath dark;
    dark.setFillRule(Qt::WindingFill);
    const double left = square.left() + QrQuietZone * cell;
    const double top = square.top() + QrQuietZone * cell;
    for (int y = 0; y < modules.size; ++y) {
        for (int x = 0; x < modules.size;) {
            if (!modules.at(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < modules.size && modules.at(end, y))
                ++end;
            const QPointF from = snapped(left + x * cell, top + y * cell);
            const QPointF to = snapped(left + end * cell, top + (y + 1) * cell);
            dark.addRect(QRectF(from, to));
            x = end;
        }
    }
    painter.fillPath(dark, Qt::black);
    painter.restore();
}
