#include "tests/TestRegistry.h"
#include "tests/metafile/PixelProbe.h"

#include "metafile/Metafile.h"

#include <QTest>

Q_DECLARE_METATYPE(MetafileFormat)

namespace {

const QColor EllipseBlue(0x20, 0x40, 0xC0);
const QColor CheckerRed(0xD0, 0x20, 0x20);
const QColor CheckerYellow(0xF0, 0xD0, 0x10);

} // namespace

// Pictures made by drawing programs: the same card of a hatched box, an
// ellipse, a curve, text and a bitmap, in picture pixels at 96 dpi.
class MetafileFixturesTest : public QObject
{
    Q_OBJECT

private slots:
    void fixturesReportTheirSize_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<MetafileFormat>("format");
        QTest::addColumn<QSize>("pixels");
        QTest::addColumn<QRectF>("bounds");
        QTest::newRow("card-a.emf") << "card-a.emf" << MetafileFormat::Emf << QSize(340, 189) << QRectF(0, 0, 340, 189);
        QTest::newRow("card-a.wmf") << "card-a.wmf" << MetafileFormat::Wmf << QSize(340, 189) << QRectF(0, 0, 9000, 5000);
        QTest::newRow("card-a-bare.wmf")
            << "card-a-bare.wmf" << MetafileFormat::Wmf << QSize(9000, 5000) << QRectF(0, 0, 9000, 5000);
        QTest::newRow("card-b.emf") << "card-b.emf" << MetafileFormat::Emf << QSize(340, 193)
                                    << QRectF(0, 0, 9000 * 1200 / 2540.0, 5100 * 1200 / 2540.0);
        QTest::newRow("card-b.wmf") << "card-b.wmf" << MetafileFormat::Wmf << QSize(340, 189) << QRectF(0, 0, 4251, 2361);
    }

    void fixturesReportTheirSize()
    {
        QFETCH(QString, file);
        QFETCH(MetafileFormat, format);
        QFETCH(QSize, pixels);
        QFETCH(QRectF, bounds);
        const MetafileInfo info = readMetafileInfo(readFixture(file), format);
        QCOMPARE(info.pixels, pixels);
        QVERIFY2(std::abs(info.bounds.width() - bounds.width()) < 0.01 * bounds.width(),
                 qPrintable(QString::number(info.bounds.width())));
        QVERIFY(std::abs(info.bounds.height() - bounds.height()) < 0.01 * bounds.height());
        QCOMPARE(info.bounds.topLeft(), bounds.topLeft());
    }

    void fixturesDrawEveryPart_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<MetafileFormat>("format");
        QTest::addColumn<QColor>("hatch");
        QTest::addColumn<QRect>("hatchBox");
        QTest::addColumn<QPoint>("ellipse");
        QTest::addColumn<QRect>("bitmap");
        QTest::addColumn<QRect>("text");
        const QColor green(0, 0x80, 0);
        const QColor pink(0xFF, 0xC3, 0xC3);
        const QRect boxA(20, 20, 100, 50), bitmapA(275, 116, 50, 50), textA(150, 105, 110, 45);
        const QRect boxB(20, 20, 100, 50), bitmapB(263, 113, 58, 58), textB(150, 110, 100, 40);
        QTest::newRow("card-a.emf") << "card-a.emf" << MetafileFormat::Emf << green << boxA << QPoint(238, 49) << bitmapA << textA;
        QTest::newRow("card-a.wmf") << "card-a.wmf" << MetafileFormat::Wmf << green << boxA << QPoint(238, 49) << bitmapA << textA;
        QTest::newRow("card-a-bare.wmf")
            << "card-a-bare.wmf" << MetafileFormat::Wmf << green << boxA << QPoint(238, 49) << bitmapA << textA;
        QTest::newRow("card-b.emf") << "card-b.emf" << MetafileFormat::Emf << pink << boxB << QPoint(240, 50) << bitmapB << textB;
        QTest::newRow("card-b.wmf") << "card-b.wmf" << MetafileFormat::Wmf << pink << boxB << QPoint(240, 50) << bitmapB << textB;
    }

    void fixturesDrawEveryPart()
    {
        QFETCH(QString, file);
        QFETCH(MetafileFormat, format);
        QFETCH(QColor, hatch);
        QFETCH(QRect, hatchBox);
        QFETCH(QPoint, ellipse);
        QFETCH(QRect, bitmap);
        QFETCH(QRect, text);
        const QImage image = renderPicture(readFixture(file), format, QSize(340, 190));
        QVERIFY(near(image.pixel(ellipse), EllipseBlue, 24));
        QVERIFY(isWhite(image.pixel(ellipse.x(), 5)));

        const int lines = countPixels(image, hatchBox, [&](QRgb p) { return near(p, hatch, 40); });
        const double share = lines / double(hatchBox.width() * hatchBox.height());
        QVERIFY2(share > 0.05 && share < 0.6, qPrintable(QString::number(share)));
        QVERIFY(countPixels(image, hatchBox, isWhite) > hatchBox.width() * hatchBox.height() / 4);

        QVERIFY(countPixels(image, bitmap, [](QRgb p) { return near(p, CheckerRed, 30); }) > 200);
        QVERIFY(countPixels(image, bitmap, [](QRgb p) { return near(p, CheckerYellow, 30); }) > 200);
        QVERIFY(countPixels(image, text, isDark) > 150);
        QVERIFY(countPixels(image, QRect(0, 100, 340, 90), [](QRgb p) { return near(p, QColor(0xC0, 0, 0), 40); }) > 100);
    }
};

REGISTER_TEST(MetafileFixturesTest)
#include "MetafileFixturesTest.moc"
