#include "layer/PictureDecoder.h"
#include "tests/Failure.h"
#include "tests/TestRegistry.h"

#include <QBuffer>
#include <QPainter>
#include <QTest>

namespace {

std::string encoded(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes.toStdString();
}

// Green top-left quarter on blue, so that a shifted or flipped decode shows.
QImage quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, width / 2, height / 2, Qt::green);
    return image;
}

QString messageOf(std::string_view bytes, std::string_view extension)
{
    try {
        decodePicture(bytes, extension);
    } catch (const PictureError& e) {
        return QString::fromUtf8(e.what());
    }
    return {};
}

// A PNG that is only its header: size and kind, then an image data chunk of
// nothing useful.
std::string pngHeaderOnly(quint32 width, quint32 height)
{
    auto crc = [](const std::string& bytes) {
        quint32 c = 0xFFFFFFFFu;
        for (unsigned char b : bytes) {
            c ^= b;
            for (int k = 0; k < 8; ++k)
                c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
        }
        return c ^ 0xFFFFFFFFu;
    };
    auto be = [](quint32 v) {
        return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
    };
    auto chunk = [&](const std::string& type, const std::string& data) {
        return be(quint32(data.size())) + type + data + be(crc(type + data));
    };
    const std::string header = be(width) + be(height) + std::string("\x08\x02\x00\x00\x00", 5);
    return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", "junk")
        + chunk("IEND", "");
}

} // namespace

class PictureDecoding : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearPictureCache(); }
    void cleanupTestCase() { clearPictureCache(); }

    // At its own size or straight at the display size, exactly.
    void formatFollowsTheExtensionInAnyCase()
    {
        const std::pair<const char*, std::vector<const char*>> cases[] = {
            {"png", {".png", ".PNG"}}, {"jpeg", {".jpg", ".JPEG", ".Jpeg"}}, {"bmp", {".bmp", ".BMP"}}};
        for (const auto& [format, extensions] : cases) {
            const std::string bytes = encoded(quarters(640, 480), format, 90);
            for (const char* extension : extensions) {
                for (QSize size : {QSize(), QSize(100, 33), QSize(700, 500)}) {
                    const QImage image = decodePicture(bytes, extension, size);
                    QCOMPARE(image.size(), size.isValid() ? size : QSize(640, 480));
                    QVERIFY(qGreen(image.pixel(2, 2)) > 200);
                    QVERIFY(qBlue(image.pixel(image.width() - 3, image.height() - 3)) > 200);
                }
            }
        }
    }

    // Icons and PNGs keep their transparency; photos are opaque.
    void transparencyIsKeptWhereTheFormatHasIt()
    {
        QImage picture(32, 32, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        picture.setPixel(3, 3, qRgba(255, 0, 0, 255));
        for (const char* format : {"png", "ico"}) {
            const QImage image = decodePicture(encoded(picture, format), std::string(".") + format);
            QCOMPARE(image.size(), QSize(32, 32));
            QCOMPARE(qAlpha(image.pixel(10, 10)), 0);
            QCOMPARE(image.pixel(3, 3), qRgb(255, 0, 0));
        }
        QVERIFY(!decodePicture(encoded(picture, "jpeg"), ".jpg").hasAlphaChannel());
    }

    void failuresNameTheExtensionAsWritten()
    {
        const std::string bytes = encoded(quarters(4, 4), "png");
        QCOMPARE(messageOf(bytes, ".Tiff"), QString("Unknown picture file extension (.Tiff)"));
        QCOMPARE(messageOf(bytes, ""), QString("Unknown picture file extension (.)"));
        QCOMPARE(messageOf(bytes, ".k\xE9p"), QString::fromUtf8("Unknown picture file extension (.kép)"));
        QCOMPARE(messageOf(bytes, ".EMF"),
                 QString("The .EMF picture cannot be read: its data is damaged or is not a .EMF picture"));
        QCOMPARE(failureOf([&] { decodePicture(bytes, ".wmf"); }),
                 std::string("The .wmf picture cannot be read: its data is damaged or is not a .wmf picture"));

        QCOMPARE(messageOf("not a picture at all", ".png"),
                 QString("The .png picture cannot be read: its data is damaged or is not a .png picture"));
        QCOMPARE(messageOf("", ".JPG"),
                 QString("The .JPG picture cannot be read: its data is damaged or is not a .JPG picture"));
        // A PNG under a JPEG name is not guessed at, nor is a failure cached.
        QCOMPARE(messageOf(bytes, ".jpg"),
                 QString("The .jpg picture cannot be read: its data is damaged or is not a .jpg picture"));
        for (int attempt = 0; attempt < 2; ++attempt)
            QCOMPARE(failureOf([] { cachedPicture("junk", ".png"); }),
                     std::string("The .png picture cannot be read: its data is damaged or is not a .png picture"));
    }

    // A few hundred bytes that promise 20000 × 20000 pixels are refused
    // before anything is decoded, and the message says why.
    void picturesTooLargeToDecodeSaySo()
    {
        const std::string huge = pngHeaderOnly(20000, 20000);
        const QString tooLarge = QString::fromUtf8("The .png picture is too large: 20000 × 20000 pixels");
        QCOMPARE(messageOf(huge, ".png"), tooLarge);
        QCOMPARE(QString::fromStdString(failureOf([&] { decodePicture(huge, ".png", QSize(100, 100)); })),
                 tooLarge);
        QCOMPARE(QString::fromStdString(failureOf([&] { decodePicture(huge, ".png", {}, QSize(10, 10)); })),
                 tooLarge);
    }

    // Only the part a box shows is kept of a picture at its own size.
    void shownPartIsTheTopLeftCorner()
    {
        for (const char* format : {"png", "jpeg"}) {
            const std::string bytes = encoded(quarters(640, 480), format, 95);
            const QImage part = decodePicture(bytes, std::string(".") + format, {}, QSize(100, 900));
            QCOMPARE(part.size(), QSize(100, 480));
            QCOMPARE(decodePicture(bytes, std::string(".") + format).copy(0, 0, 100, 480).pixel(50, 50),
                     part.pixel(50, 50));
        }
    }

    // A shared image proves that nothing was decoded the second time.
    void sameBytesAndSizeComeFromTheCache()
    {
        const std::string bytes = encoded(quarters(64, 48), "png");
        const QImage first = cachedPicture(bytes, ".png", QSize(32, 24));
        QCOMPARE(cachedPicture(std::string(bytes), ".PNG", QSize(32, 24)).cacheKey(), first.cacheKey());
        const QImage full = cachedPicture(bytes, ".png");
        QVERIFY(full.size() == QSize(64, 48) && full.cacheKey() != first.cacheKey());
        const std::string other = encoded(quarters(64, 40), "png");
        QVERIFY(cachedPicture(other, ".png", QSize(32, 24)).cacheKey() != first.cacheKey());
        clearPictureCache();
        QVERIFY(cachedPicture(bytes, ".png", QSize(32, 24)).cacheKey() != first.cacheKey());
    }

    // Three pictures of 48 MB each do not fit in the cache together: the
    // least recently used one goes.
    void oldestPictureMakesRoom()
    {
        std::vector<std::string> pictures;
        for (QColor colour : {Qt::red, Qt::green, Qt::blue}) {
            QImage image(4096, 3000, QImage::Format_RGB32);
            image.fill(colour);
            pictures.push_back(encoded(image, "bmp"));
        }
        const qint64 first = cachedPicture(pictures[0], ".bmp").cacheKey();
        const qint64 second = cachedPicture(pictures[1], ".bmp").cacheKey();
        QCOMPARE(cachedPicture(pictures[0], ".bmp").cacheKey(), first);  // now the most recent
        cachedPicture(pictures[2], ".bmp");
        QCOMPARE(cachedPicture(pictures[0], ".bmp").cacheKey(), first);
        QVERIFY(cachedPicture(pictures[1], ".bmp").cacheKey() != second);
    }
};

REGISTER_TEST(PictureDecoding)

#include "PictureDecoderTest.moc"
