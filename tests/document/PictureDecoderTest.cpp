#include "document/PictureDecoder.h"
#include "tests/TestRegistry.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTest>

namespace {

std::string encoded(const QImage& image, const char* format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(image);
    return bytes.toStdString();
}

// Green top-left quarter on blue, so that a shifted or flipped decode shows.
QImage quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::blue);
    for (int y = 0; y < height / 2; ++y)
        for (int x = 0; x < width / 2; ++x)
            image.setPixel(x, y, qRgb(0, 255, 0));
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

} // namespace

class PictureDecoding : public QObject
{
    Q_OBJECT

private slots:
    void formatFollowsTheExtensionInAnyCase()
    {
        const QImage original = quarters(40, 30);
        const std::pair<const char*, std::vector<const char*>> cases[] = {
            {"png", {".png", ".PNG"}}, {"jpeg", {".jpg", ".JPEG", ".Jpeg"}}, {"bmp", {".bmp", ".BMP"}}};
        for (const auto& [format, extensions] : cases) {
            const std::string bytes = encoded(original, format, 100);
            for (const char* extension : extensions) {
                const QImage image = decodePicture(bytes, extension);
                QCOMPARE(image.size(), QSize(40, 30));
                QVERIFY(qGreen(image.pixel(5, 5)) > 200 && qBlue(image.pixel(35, 25)) > 200);
                QCOMPARE(pictureSize(bytes, extension), QSize(40, 30));
            }
        }
    }

    void iconsDecode()
    {
        QImage icon(32, 32, QImage::Format_ARGB32);
        icon.fill(Qt::transparent);
        icon.setPixel(3, 3, qRgba(255, 0, 0, 255));
        const QImage image = decodePicture(encoded(icon, "ico"), ".ico");
        QCOMPARE(image.size(), QSize(32, 32));
        QCOMPARE(qAlpha(image.pixel(10, 10)), 0);
        QCOMPARE(image.pixel(3, 3), qRgb(255, 0, 0));
    }

    void pngKeepsItsTransparencyAndPhotosAreOpaque()
    {
        QImage picture(20, 20, QImage::Format_ARGB32);
        picture.fill(Qt::transparent);
        picture.setPixel(1, 1, qRgba(255, 0, 0, 255));
        const QImage png = decodePicture(encoded(picture, "png"), ".png");
        QVERIFY(png.hasAlphaChannel());
        QCOMPARE(qAlpha(png.pixel(10, 10)), 0);
        QCOMPARE(png.pixel(1, 1), qRgb(255, 0, 0));
        QVERIFY(!decodePicture(encoded(picture, "jpeg"), ".jpg").hasAlphaChannel());
    }

    void unknownExtensionsAreNamedAsWritten()
    {
        const std::string bytes = encoded(quarters(4, 4), "png");
        QCOMPARE(messageOf(bytes, ".gif"), QString("Unknown picture file extension (.gif)"));
        QCOMPARE(messageOf(bytes, ".Tiff"), QString("Unknown picture file extension (.Tiff)"));
        QCOMPARE(messageOf(bytes, ""), QString("Unknown picture file extension (.)"));
        QCOMPARE(messageOf(bytes, ".k\xE9p"), QString::fromUtf8("Unknown picture file extension (.kép)"));
        QCOMPARE(messageOf(bytes, ".EMF"), QString("Pictures of type .EMF cannot be shown on this system"));
        QVERIFY_THROWS_EXCEPTION(PictureError, pictureSize(bytes, ".wmf"));
    }

    void brokenBytesFailWithTheReason()
    {
        const QString broken = messageOf("not a picture at all", ".png");
        QVERIFY2(broken.startsWith("The .png picture cannot be read: ") && broken.size() > 35, qPrintable(broken));
        QVERIFY(messageOf("", ".JPG").startsWith("The .JPG picture cannot be read: "));
        // A PNG under a JPEG name is not guessed at.
        QVERIFY(!messageOf(encoded(quarters(4, 4), "png"), ".jpg").isEmpty());
    }

    void displaySizeIsKeptExactly()
    {
        for (const char* format : {"jpeg", "png"}) {
            const std::string bytes = encoded(quarters(640, 480), format, 90);
            const QString extension = QString(".") + format;
            for (QSize size : {QSize(160, 120), QSize(100, 33), QSize(700, 500)}) {
                const QImage image = decodePicture(bytes, extension.toStdString(), size);
                QCOMPARE(image.size(), size);
                QVERIFY(qGreen(image.pixel(2, 2)) > 200);
                QVERIFY(qBlue(image.pixel(size.width() - 3, size.height() - 3)) > 200);
            }
        }
    }
};

class PictureCaching : public QObject
{
    Q_OBJECT

private slots:
    void init() { clearPictureCache(); }
    void cleanupTestCase() { clearPictureCache(); }

    // A shared image proves that nothing was decoded the second time.
    void sameBytesAndSizeComeFromTheCache()
    {
        const std::string bytes = encoded(quarters(64, 48), "png");
        const QImage first = cachedPicture(bytes, ".png", QSize(32, 24));
        QCOMPARE(cachedPicture(bytes, ".PNG", QSize(32, 24)).cacheKey(), first.cacheKey());
        QCOMPARE(cachedPicture(std::string(bytes), ".png", QSize(32, 24)).cacheKey(), first.cacheKey());

        const QImage full = cachedPicture(bytes, ".png");
        QCOMPARE(full.size(), QSize(64, 48));
        QVERIFY(full.cacheKey() != first.cacheKey());

        const std::string other = encoded(quarters(64, 40), "png");
        QCOMPARE(cachedPicture(other, ".png", QSize(32, 24)).size(), QSize(32, 24));
        QVERIFY(cachedPicture(other, ".png", QSize(32, 24)).cacheKey() != first.cacheKey());

        clearPictureCache();
        QVERIFY(cachedPicture(bytes, ".png", QSize(32, 24)).cacheKey() != first.cacheKey());
    }

    void failuresAreNotRemembered()
    {
        QVERIFY_THROWS_EXCEPTION(PictureError, cachedPicture("junk", ".png"));
        QVERIFY_THROWS_EXCEPTION(PictureError, cachedPicture("junk", ".png"));
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
REGISTER_TEST(PictureCaching)

#include "PictureDecoderTest.moc"
