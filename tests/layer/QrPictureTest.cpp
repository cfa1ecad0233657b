#include "layer/QrPicture.h"
#include "tests/TestRegistry.h"

#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImageReader>
#include <QTest>

namespace {

const QString Contents = QStringLiteral(R"({"ecc":"M","text":"Lapora"})");

// A code's PNG as ours are made, a grid of modules at scale pixels each:
// the three finder corners dark, the rest light, which is all the reader
// looks for.
std::string codePng(int modules, int scale)
{
    const int side = (modules + 2 * QrQuietZone) * scale;
    QImage image(side, side, QImage::Format_Mono);
    image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    image.fill(0);
    for (const auto [mx, my] : {std::pair{0, 0}, {modules - 1, 0}, {0, modules - 1}})
        for (int y = 0; y < scale; ++y) {
            uchar* line = image.scanLine((my + QrQuietZone) * scale + y);
            for (int x = 0; x < scale; ++x) {
                const int px = (mx + QrQuietZone) * scale + x;
                line[px >> 3] |= uchar(0x80 >> (px & 7));
            }
        }
    image.setText(QString::fromLatin1(QrTextKey), Contents);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

std::string fixture(const QString& name)
{
    QFile file(QStringLiteral(LAYER_DATA_DIR "/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(file.fileName()));
    return file.readAll().toStdString();
}

} // namespace

class QrPictureTest : public QObject
{
    Q_OBJECT

private slots:
    // Our largest code, version 40 at 8 pixels a module, is 1,480 pixels
    // a side and reads; a picture larger than that is no code of ours and
    // is refused from its header, before its pixels are unpacked.
    void sizeBound()
    {
        QCOMPARE(QrLargestSide, 1480);
        const std::optional<QrPicture> largest = readQrPicture(codePng(177, 8), ".png");
        QVERIFY(largest);
        QCOMPARE(largest->modules->size, 177);
        QCOMPARE(largest->contents, Contents.toUtf8());
        QVERIFY(readQrPicture(codePng(21, 51), ".png"));   // 1,479 pixels
        QVERIFY(!readQrPicture(codePng(21, 52), ".png"));  // 1,508
        QVERIFY(!readQrPicture(codePng(177, 9), ".png"));

        // 4,350 pixels a side: a code by its grid, which the decoder would
        // unpack to 76 MB.
        const std::string huge = codePng(21, 150);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!readQrPicture(huge, ".png"));
        const qint64 refused = timer.nsecsElapsed();
        timer.restart();
        QByteArray data = QByteArray::fromStdString(huge);
        QBuffer buffer(&data);
        QImageReader reader(&buffer, "png");
        QCOMPARE(reader.read().width(), 4'350);
        const qint64 decoded = timer.nsecsElapsed();
        QVERIFY2(refused * 10 < decoded, qPrintable(QString("%1 ns against %2 ns").arg(refused).arg(decoded)));
    }

    // A chunk that says it runs past the end of the file is refused before
    // the decoder sets its length aside, and so is a file cut before its
    // end chunk; what follows the end chunk is not looked at.
    void chunksPastTheEnd()
    {
        std::string png = codePng(21, 8);
        QVERIFY(readQrPicture(png + "junk", ".png"));
        QVERIFY(!readQrPicture(png.substr(0, png.size() - 6), ".png"));
        QVERIFY(!readQrPicture(png.substr(0, png.size() - 20), ".png"));
        const std::size_t text = png.find("tEXt") - 4;
        png[text] = '\x20';  // 512 MB and the chunk's own length
        QVERIFY(!readQrPicture(png, ".png"));
    }

    // The fuzzing seeds are codes our own code made, and every input that
    // once broke the reader is now read without fault.
    void seedsAndFuzzFindings()
    {
        for (const QString& name : {QStringLiteral("qr-text.png"), QStringLiteral("qr-contact.png")}) {
            const std::optional<QrPicture> seed = readQrPicture(fixture(name), ".png");
            QVERIFY2(seed, qPrintable(name));
            QVERIFY(seed->contents.startsWith('{'));
        }
        const QDir crashes(QStringLiteral(LAYER_DATA_DIR "/crashes"));
        const QStringList names = crashes.entryList(QDir::Files);
        QVERIFY(!names.isEmpty());
        for (const QString& name : names)
            readQrPicture(fixture("crashes/" + name), ".png");
    }
};

REGISTER_TEST(QrPictureTest)

#include "QrPictureTest.moc"
