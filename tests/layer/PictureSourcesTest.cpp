#include "layer/LayerFields.h"
#include "layer/LayerItem.h"
#include "layer/PictureDecoder.h"
#include "tests/TestRegistry.h"
#include "tests/layer/OneRecord.h"

#include <QBuffer>
#include <QPainter>
#include <QTest>

namespace {

std::string le16(int v)
{
    return {char(v & 0xFF), char((v >> 8) & 0xFF)};
}

std::string le32(quint32 v)
{
    return {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char((v >> 24) & 0xFF)};
}

std::string encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 100);
    return bytes.toStdString();
}

// A 40 × 20 photo as a camera stores it, green in its top-left quarter,
// with the orientation tag a phone writes after the start of the file.
std::string phonePhoto(int orientation)
{
    QImage stored(40, 20, QImage::Format_RGB32);
    stored.fill(Qt::blue);
    QPainter(&stored).fillRect(0, 0, 20, 10, Qt::green);
    const std::string jpeg = encoded(stored, "jpeg");
    const std::string tiff = std::string("II*\0", 4) + le32(8) + le16(1) + le16(0x0112) + le16(3) + le32(1)
        + le16(orientation) + le16(0) + le32(0);
    const std::string payload = std::string("Exif\0\0", 6) + tiff;
    const int length = int(payload.size()) + 2;
    const std::string segment = std::string("\xFF\xE1", 2) + char(length >> 8) + char(length & 0xFF) + payload;
    return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

// Which quarter of an upright picture is green.
QString greenQuarter(const QImage& image)
{
    const int w = image.width(), h = image.height();
    const QPoint centres[] = {{w / 4, h / 4}, {3 * w / 4, h / 4}, {w / 4, 3 * h / 4}, {3 * w / 4, 3 * h / 4}};
    const char* names[] = {"top left", "top right", "bottom left", "bottom right"};
    QString found;
    for (int i = 0; i < 4; ++i) {
        const QColor c = image.pixelColor(centres[i]);
        if (c.green() > 200 && c.blue() < 80)
            found += (found.isEmpty() ? "" : ", ") + QString(names[i]);
    }
    return found;
}

// An icon file holding the same picture at several sizes, each its own
// colour, as PNG entries.
std::string iconFile(const std::vector<std::pair<int, QColor>>& entries)
{
    std::string directory = le16(0) + le16(1) + le16(int(entries.size()));
    std::string images;
    const std::size_t start = 6 + 16 * entries.size();
    for (const auto& [side, colour] : entries) {
        QImage image(side, side, QImage::Format_ARGB32);
        image.fill(colour);
        const std::string png = encoded(image, "png");
        directory += std::string{char(side & 0xFF), char(side & 0xFF), 0, 0} + le16(1) + le16(32)
            + le32(quint32(png.size())) + le32(quint32(start + images.size()));
        images += png;
    }
    return directory + images;
}

} // namespace

class PictureSourcesTest : public QObject
{
    Q_OBJECT

private slots:
    // Every orientation a phone writes: the picture is upright at its own
    // size, decoded small for the screen, and cut from its upright
    // top-left corner; its own size is the upright one.
    void phonePhotosAreDrawnTheWayTheirTagSays_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<QSize>("upright");
        QTest::addColumn<QString>("green");
        QTest::newRow("1 as stored") << 1 << QSize(40, 20) << "top left";
        QTest::newRow("2 mirrored") << 2 << QSize(40, 20) << "top right";
        QTest::newRow("3 upside down") << 3 << QSize(40, 20) << "bottom right";
        QTest::newRow("4 flipped") << 4 << QSize(40, 20) << "bottom left";
        QTest::newRow("5 transposed") << 5 << QSize(20, 40) << "top left";
        QTest::newRow("6 turned right") << 6 << QSize(20, 40) << "top right";
        QTest::newRow("7 transversed") << 7 << QSize(20, 40) << "bottom right";
        QTest::newRow("8 turned left") << 8 << QSize(20, 40) << "bottom left";
    }

    void phonePhotosAreDrawnTheWayTheirTagSays()
    {
        QFETCH(int, orientation);
        QFETCH(QSize, upright);
        QFETCH(QString, green);
        const std::string photo = phonePhoto(orientation);

        QCOMPARE(pictureOwnSize(photo, ".jpg"), upright);
        QCOMPARE(pictureHeaderSize(photo, ".JPG"), upright);
        const QImage whole = decodePicture(photo, ".jpg");
        QCOMPARE(whole.size(), upright);
        QCOMPARE(greenQuarter(whole), green);
        const QImage small = decodePicture(photo, ".jpeg", upright / 2);
        QCOMPARE(small.size(), upright / 2);
        QCOMPARE(greenQuarter(small), green);

        // At its own size in a box of its upright top-left quarter, the
        // box shows that quarter alone.
        const QImage part = decodePicture(photo, ".jpg", QSize(), upright / 2);
        QCOMPARE(part.size(), upright / 2);
        const QColor corner = part.pixelColor(part.width() / 2, part.height() / 2);
        QCOMPARE(corner.green() > 200, green == "top left");

        // On the card and on paper alike.
        for (PictureScale scale : {PictureScale::Display, PictureScale::Paper}) {
            LayerTable Tbl = oneRecord({{"tipus", 1}, {"kep", Blob{photo}}, {"keptip", std::string(".jpg")},
                                        {"width", upright.width() * 2}, {"height", upright.height() * 2},
                                        {"strech", true}});
            const LayerItem item = *readLayerItem(Tbl, scale);
            QVERIFY(item.pictureError.empty());
            QCOMPARE(greenQuarter(item.picture.pixels()), green);
        }
    }

    // An icon file is drawn from the smallest of its pictures that is not
    // smaller than the box, else from the largest; its own size, which a
    // new layer takes, is its largest picture's.
    void iconsAreDrawnFromTheirBestFittingSize()
    {
        const std::string icon = iconFile({{16, Qt::red}, {64, Qt::blue}, {32, Qt::green}});
        QCOMPARE(pictureOwnSize(icon, ".ico"), QSize(64, 64));
        auto colourFor = [&](QSize box) { return decodePicture(icon, ".ico", box).pixelColor(box.width() / 2, 0); };
        QCOMPARE(colourFor({16, 16}), QColor(Qt::red));
        QCOMPARE(colourFor({20, 12}), QColor(Qt::green));
        QCOMPARE(colourFor({32, 32}), QColor(Qt::green));
        QCOMPARE(colourFor({40, 40}), QColor(Qt::blue));
        QCOMPARE(colourFor({300, 100}), QColor(Qt::blue));
        const QImage own = decodePicture(icon, ".ico");
        QCOMPARE(own.size(), QSize(64, 64));
        QCOMPARE(own.pixelColor(0, 0), QColor(Qt::blue));

        LayerTable Tbl = oneRecord({{"tipus", 1}, {"kep", Blob{icon}}, {"keptip", std::string(".ico")},
                                    {"width", 30}, {"height", 30}, {"strech", true}});
        QCOMPARE(readLayerItem(Tbl, PictureScale::Display)->picture.pixels().pixelColor(15, 15), QColor(Qt::green));
    }
};

REGISTER_TEST(PictureSourcesTest)

#include "PictureSourcesTest.moc"
