#include "layer/PictureDecoder.h"
#include "layer/ReducedPicture.h"
#include "tests/Failure.h"
#include "tests/TestRegistry.h"

#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QRandomGenerator>
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

// Grain over a gradient, as a photo has, so that the encoder has work.
QImage photoLike(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator noise(7);
    for (int y = 0; y < size.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int grain = int(noise.bounded(40));
            line[x] = qRgb((x * 255 / size.width() + grain) % 256, (y * 255 / size.height() + grain) % 256, grain * 4);
        }
    }
    return image;
}

// The quantisation tables of a JPEG, which its quality chose.
QByteArray quantisationTables(const std::string& jpeg)
{
    QByteArray tables;
    std::size_t at = 2;
    while (at + 4 <= jpeg.size() && quint8(jpeg[at]) == 0xFF) {
        const quint8 marker = quint8(jpeg[at + 1]);
        const std::size_t length = (quint8(jpeg[at + 2]) << 8) | quint8(jpeg[at + 3]);
        if (marker == 0xDB)
            tables += QByteArray::fromStdString(jpeg.substr(at + 4, length - 2));
        if (marker == 0xDA)
            break;
        at += 2 + length;
    }
    return tables;
}

// A photo stored on its side, green in its stored top-left quarter, with
// the orientation tag a phone writes.
std::string phonePhoto(QSize stored, int orientation)
{
    QImage image(stored, QImage::Format_RGB32);
    image.fill(Qt::blue);
    QPainter(&image).fillRect(0, 0, stored.width() / 2, stored.height() / 2, Qt::green);
    const std::string jpeg = encoded(image, "jpeg", 95);
    auto le16 = [](int v) { return std::string{char(v & 0xFF), char((v >> 8) & 0xFF)}; };
    const std::string tiff = std::string("II*\0\x08\0\0\0", 8) + le16(1) + le16(0x0112) + le16(3)
        + std::string("\x01\0\0\0", 4) + le16(orientation) + le16(0) + std::string(4, '\0');
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    return jpeg.substr(0, 2) + "\xFF\xE1" + char(length >> 8) + char(length & 0xFF) + payload + jpeg.substr(2);
}

bool greenAt(const QImage& image, double x, double y)
{
    const QColor c = image.pixelColor(int(x * image.width()), int(y * image.height()));
    return c.green() > 200 && c.blue() < 80;
}

} // namespace

class ReducedPictureTest : public QObject
{
    Q_OBJECT

private slots:
    // 600 dots per inch of a box of card pixels (96 to the inch): each axis
    // on its own, a part of a pixel counting as one.
    void paperPixelsAreSixHundredPpiOfTheBoxRoundedUp()
    {
        QCOMPARE(paperPixels({340, 190}), QSize(2125, 1188));
        QCOMPARE(paperPixels({16, 16}), QSize(100, 100));
        QCOMPARE(paperPixels({1, 3}), QSize(7, 19));
    }

    // Offered only above twice the pixels needed, never enlarged on an
    // axis, and only for a stretched photo, PNG or bitmap.
    void onlyStretchedPicturesOfMoreThanTwiceTheNeededPixelsAreReduced_data()
    {
        QTest::addColumn<QSize>("own");
        QTest::addColumn<QSize>("box");
        QTest::addColumn<bool>("stretch");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QSize>("reduced");  // invalid: not offered
        QTest::newRow("phone photo in the card") << QSize(4000, 3000) << QSize(240, 180) << true << ".jpg"
                                                 << QSize(1500, 1125);
        QTest::newRow("exactly twice") << QSize(200, 100) << QSize(16, 16) << true << ".png" << QSize();
        QTest::newRow("a pixel more than twice") << QSize(201, 100) << QSize(16, 16) << true << ".png"
                                                 << QSize(100, 100);
        QTest::newRow("stretched out of shape") << QSize(4000, 1000) << QSize(100, 100) << true << ".JPEG"
                                                << QSize(625, 625);
        QTest::newRow("short side already coarser") << QSize(8000, 500) << QSize(100, 100) << true << ".jpg"
                                                    << QSize(625, 500);
        QTest::newRow("at its own size") << QSize(4000, 3000) << QSize(240, 180) << false << ".jpg" << QSize();
        QTest::newRow("bitmap") << QSize(4000, 3000) << QSize(240, 180) << true << ".bmp" << QSize(1500, 1125);
        QTest::newRow("emf") << QSize(4000, 3000) << QSize(24, 18) << true << ".emf" << QSize();
        QTest::newRow("wmf") << QSize(4000, 3000) << QSize(24, 18) << true << ".WMF" << QSize();
        QTest::newRow("icon") << QSize(256, 256) << QSize(16, 16) << true << ".ico" << QSize();
        QTest::newRow("empty box") << QSize(4000, 3000) << QSize(0, 180) << true << ".jpg" << QSize();
    }

    void onlyStretchedPicturesOfMoreThanTwiceTheNeededPixelsAreReduced()
    {
        QFETCH(QSize, own);
        QFETCH(QSize, box);
        QFETCH(bool, stretch);
        QFETCH(QString, extension);
        QFETCH(QSize, reduced);
        const std::optional<QSize> size = reducedSize(own, box, stretch, extension.toStdString());
        QCOMPARE(size.value_or(QSize()), reduced);
    }

    // A photo stays a photo at quality 90 (the tables of quality 90, not
    // those of the photo it came from), at the size asked.
    void photosStayJpegAtQualityNinety()
    {
        const std::string photo = encoded(photoLike({800, 600}), "jpeg", 100);
        const std::string reduced = reducedPicture(photo, ".JPG", {200, 150});
        QVERIFY(reduced.starts_with("\xFF\xD8\xFF"));
        QCOMPARE(pictureOwnSize(reduced, ".jpg"), QSize(200, 150));
        QVERIFY(reduced.size() < photo.size() / 4);
        const QImage sample = photoLike({64, 64});
        const QByteArray ninety = quantisationTables(encoded(sample, "jpeg", ReducedJpegQuality));
        QVERIFY(!ninety.isEmpty());
        QCOMPARE(quantisationTables(reduced), ninety);
        QVERIFY(quantisationTables(photo) != ninety);
        QVERIFY(quantisationTables(encoded(sample, "jpeg", 75)) != ninety);
    }

    // A PNG stays a PNG, and what was see-through stays so.
    void pngStaysPngWithItsTransparency()
    {
        QImage logo(400, 400, QImage::Format_ARGB32);
        logo.fill(Qt::transparent);
        QPainter(&logo).fillRect(0, 0, 200, 400, QColor(200, 30, 30));
        const std::string reduced = reducedPicture(encoded(logo, "png"), ".png", {100, 100});
        QVERIFY(reduced.starts_with("\x89PNG"));
        const QImage back = QImage::fromData(QByteArray::fromStdString(reduced), "PNG");
        QCOMPARE(back.size(), QSize(100, 100));
        QVERIFY(back.hasAlphaChannel());
        QCOMPARE(back.pixelColor(90, 50).alpha(), 0);
        QCOMPARE(back.pixelColor(10, 50), QColor(200, 30, 30));

        const std::string bitmap = reducedPicture(encoded(photoLike({300, 300}), "bmp"), ".bmp", {50, 50});
        QVERIFY(bitmap.starts_with("BM"));
        QCOMPARE(pictureOwnSize(bitmap, ".bmp"), QSize(50, 50));
    }

    // A photo the phone stored turned is stored upright, as it was drawn:
    // the tag that turned it is gone, so the photo reads the same with or
    // without it.
    void turnedPhotosAreStoredAsTheyWereDrawn()
    {
        const std::string photo = phonePhoto({400, 200}, 6);
        QCOMPARE(pictureOwnSize(photo, ".jpg"), QSize(200, 400));
        QVERIFY(greenAt(decodePicture(photo, ".jpg"), 0.75, 0.25));
        const std::string reduced = reducedPicture(photo, ".jpg", {50, 100});
        const QImage shown = decodePicture(reduced, ".jpg");
        QCOMPARE(shown.size(), QSize(50, 100));
        QVERIFY(greenAt(shown, 0.75, 0.25) && !greenAt(shown, 0.25, 0.25) && !greenAt(shown, 0.75, 0.75));
        QByteArray data = QByteArray::fromStdString(reduced);
        QBuffer buffer(&data);
        QImageReader plain(&buffer, "jpeg");
        plain.setAutoTransform(false);
        QCOMPARE(plain.read().size(), QSize(50, 100));
    }

    // What cannot be decoded, or is of no kind that is reduced, fails with
    // a message; nothing comes back half made.
    void whatCannotBeReducedFails()
    {
        QCOMPARE(failureOf([] { reducedPicture("\xFF\xD8\xFF junk", ".jpg", {10, 10}); }),
                 std::string("The .jpg picture cannot be read: its data is damaged or is not a .jpg picture"));
        QCOMPARE(failureOf([] { reducedPicture("whatever", ".emf", {10, 10}); }),
                 std::string("The .emf picture cannot be reduced"));
    }
};

REGISTER_TEST(ReducedPictureTest)

#include "ReducedPictureTest.moc"
