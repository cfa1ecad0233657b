#include "tests/TestRegistry.h"
#include "tests/metafile/MetafileBuilder.h"
#include "tests/metafile/PixelProbe.h"

#include "metafile/Metafile.h"

#include <QBuffer>
#include <QPainter>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QTest>

namespace {

const QColor Red(220, 0, 0);

bool isRed(QRgb p) { return near(p, Red); }

std::string textPicture()
{
    EmfBuilder emf(QSize(200, 100));
    emf.add(emr::SetBkMode, Params{1});
    Params font;
    font.i32(1).i32(-30).i32(0).i32(0).i32(0).i32(400).i32(0);
    QString face = QStringLiteral("DejaVu Sans");
    face.resize(32, QChar(0));
    font.wide(face);
    emf.add(emr::CreateFont, font);
    emf.add(emr::SelectObject, Params{1});
    const QString text = QStringLiteral("Lapora");
    Params out;
    out.i32(0).i32(0).i32(200).i32(100).i32(1).f32(1).f32(1).i32(20).i32(30).i32(text.size()).i32(76).i32(0);
    out.i32(0).i32(0).i32(0).i32(0).i32(0).wide(text).pad(4);
    emf.add(emr::ExtTextOutW, out);
    return emf.finish();
}

std::string hatchPicture()
{
    EmfBuilder emf;
    emf.add(emr::SetBkMode, Params{1});
    emf.add(emr::CreateBrush, brushParams(1, 2, Red, 0));
    emf.add(emr::SelectObject, Params{1});
    selectNullPen(emf);
    emf.add(emr::Rectangle, rectParams(10, 10, 90, 90));
    return emf.finish();
}

QImage imageAt(QSize pixels, int dpi)
{
    const double scale = dpi / 96.0;
    QImage image(QSize(qRound(pixels.width() * scale), qRound(pixels.height() * scale)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(qRound(dpi / 0.0254));
    image.setDotsPerMeterY(qRound(dpi / 0.0254));
    image.fill(Qt::white);
    return image;
}

// The recorded picture filling an image at that resolution.
QImage replay(const RecordedMetafile& recorded, int dpi)
{
    QImage image = imageAt(recorded.info.pixels, dpi);
    QPainter painter(&image);
    drawRecordedMetafile(painter, QRectF(image.rect()), recorded);
    return image;
}

void compareScaled(const QRect& small, const QRect& large, double scale)
{
    QVERIFY(!small.isEmpty());
    QVERIFY2(std::abs(large.width() / scale - small.width()) <= 2, qPrintable(QString::number(large.width())));
    QVERIFY2(std::abs(large.height() / scale - small.height()) <= 2, qPrintable(QString::number(large.height())));
    QVERIFY(std::abs(large.left() / scale - small.left()) <= 2);
    QVERIFY(std::abs(large.top() / scale - small.top()) <= 2);
}

// The PDF's content streams, inflated.
QByteArray pdfContent(const QByteArray& pdf)
{
    QByteArray all;
    qsizetype at = 0;
    while ((at = pdf.indexOf("stream", at)) >= 0) {
        qsizetype begin = at + 6;
        if (pdf.mid(begin, 2) == "\r\n")
            begin += 2;
        else if (pdf.mid(begin, 1) == "\n")
            begin += 1;
        else {
            at = begin;
            continue;
        }
        const qsizetype end = pdf.indexOf("endstream", begin);
        if (end < 0)
            break;
        QByteArray zipped = pdf.mid(begin, end - begin);
        QByteArray sized(4, '\0');
        sized[0] = 0x01;  // room for 16 MB
        const QByteArray inflated = qUncompress(sized + zipped);
        all += inflated.isEmpty() ? zipped : inflated;
        at = end + 9;
    }
    return all;
}

QByteArray toPdf(const std::string& bytes, MetafileFormat format)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setResolution(1200);
    {
        QPainter painter(&writer);
        playMetafile(painter, QRectF(0, 0, 4000, 2000), bytes, format);
    }
    return buffer.data();
}

} // namespace

class MetafileDevicesTest : public QObject
{
    Q_OBJECT

private slots:
    void recordedTextKeepsItsPlaceAtAnyResolution()
    {
        const RecordedMetafile recorded = recordMetafile(textPicture(), MetafileFormat::Emf);
        QCOMPARE(recorded.picture.boundingRect(), QRect(0, 0, 200, 100));
        const double scale = 300.0 / 96.0;
        const QRect at96 = boxOf(replay(recorded, 96), isDark);
        compareScaled(at96, boxOf(replay(recorded, 300), isDark), scale);

        // Played as it is, the picture grows with the device's dpi, and its
        // text grows with it.
        QImage direct = imageAt(recorded.info.pixels, 300);
        {
            QPainter painter(&direct);
            painter.drawPicture(0, 0, recorded.picture);
        }
        compareScaled(at96, boxOf(direct, isDark), scale);
    }

    void hatchStaysALinePatternOnAPrinter()
    {
        const RecordedMetafile recorded = recordMetafile(hatchPicture(), MetafileFormat::Emf);
        const QImage image = replay(recorded, 600);
        const double scale = 600.0 / 96.0;
        const QRect inside(QPointF(20 * scale, 20 * scale).toPoint(), QPointF(80 * scale, 80 * scale).toPoint());
        // Eight pixels apart at 96 dpi, so about 7 lines across 60 pixels.
        int lines = 0;
        bool previous = false;
        for (int y = inside.top(); y <= inside.bottom(); ++y) {
            const bool red = isRed(image.pixel(inside.center().x(), y));
            lines += red && !previous ? 1 : 0;
            previous = red;
        }
        QVERIFY2(lines >= 6 && lines <= 9, qPrintable(QString::number(lines)));
        QVERIFY(countPixels(image, inside, isWhite) > inside.width() * inside.height() / 2);
    }

    void pdfHoldsVectorsAndOnlyRealBitmapsAsImages()
    {
        const QByteArray vectors = toPdf(hatchPicture(), MetafileFormat::Emf);
        const QByteArray content = pdfContent(vectors);
        QVERIFY(content.contains(" re") || content.contains(" l\n") || content.contains(" l "));
        QVERIFY(QRegularExpression(QStringLiteral("\\b[fS]\\*?\\b")).match(QString::fromLatin1(content)).hasMatch());
        QVERIFY(!vectors.contains("/Subtype /Image"));

        const QByteArray text = toPdf(textPicture(), MetafileFormat::Emf);
        QVERIFY(!text.contains("/Subtype /Image"));
        // Text stays text, with its font embedded.
        QVERIFY(text.contains("/FontFile"));

        const QByteArray withBitmap = toPdf(readFixture(QStringLiteral("card-a.emf")), MetafileFormat::Emf);
        QVERIFY(withBitmap.contains("/Subtype /Image"));
    }

    void painterStateIsRestoredAndTargetRespected()
    {
        QImage image(200, 200, QImage::Format_ARGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        painter.translate(5, 5);
        painter.setPen(QPen(Qt::green, 3));
        painter.setBrush(Qt::yellow);
        painter.setClipRect(QRect(0, 0, 150, 150));
        const QTransform before = painter.worldTransform();
        const QRegion clip = painter.clipRegion();
        playMetafile(painter, QRectF(45, 45, 100, 100), hatchPicture(), MetafileFormat::Emf);
        QCOMPARE(painter.worldTransform(), before);
        QCOMPARE(painter.pen(), QPen(Qt::green, 3));
        QCOMPARE(painter.brush(), QBrush(Qt::yellow));
        QCOMPARE(painter.clipRegion(), clip);
        painter.end();
        // The hatch covers 10..90 of the picture, mapped onto 50..150.
        QCOMPARE(countPixels(image, QRect(0, 0, 200, 58), isRed), 0);
        QVERIFY(countPixels(image, QRect(60, 60, 80, 80), isRed) > 300);
        QCOMPARE(countPixels(image, QRect(142, 0, 58, 200), isRed), 0);
    }
};

REGISTER_TEST(MetafileDevicesTest)
#include "MetafileDevicesTest.moc"
