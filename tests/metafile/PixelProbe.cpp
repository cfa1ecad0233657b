#include "tests/metafile/PixelProbe.h"

#include <QFile>
#include <QPainter>

#include <cstdlib>

QImage renderPicture(const std::string& bytes, MetafileFormat format, QSize size, WorkBudget* spent)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    playMetafile(painter, QRectF(QPointF(0, 0), QSizeF(size)), bytes, format, spent);
    return image;
}

bool near(QRgb pixel, QColor expected, int tolerance)
{
    return std::abs(qRed(pixel) - expected.red()) <= tolerance &&
           std::abs(qGreen(pixel) - expected.green()) <= tolerance &&
           std::abs(qBlue(pixel) - expected.blue()) <= tolerance;
}

bool isDark(QRgb pixel) { return qGray(pixel) < 100; }

bool isWhite(QRgb pixel) { return near(pixel, Qt::white, 8); }

int countPixels(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test)
{
    int count = 0;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            count += test(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

int countRows(const QImage& image, const QRect& area, const std::function<bool(QRgb)>& test)
{
    int rows = 0;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        rows += countPixels(image, QRect(clipped.left(), y, clipped.width(), 1), test) > 0 ? 1 : 0;
    return rows;
}

QRect boxOf(const QImage& image, const std::function<bool(QRgb)>& test)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (test(image.pixel(x, y)))
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

std::string readFixture(const QString& name)
{
    QFile file(QStringLiteral(TEST_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}
