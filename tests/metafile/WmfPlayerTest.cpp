#include "tests/TestRegistry.h"
#include "tests/metafile/MetafileBuilder.h"
#include "tests/metafile/PixelProbe.h"

#include "metafile/CodePage.h"
#include "metafile/Metafile.h"

#include <QBuffer>
#include <QImageReader>
#include <QTest>

namespace {

const QColor Red(220, 0, 0);
const QColor Green(0, 160, 0);
const QColor Blue(0, 0, 200);

QImage render(const WmfBuilder& wmf, QSize size = QSize(100, 100))
{
    return renderPicture(wmf.finish(), MetafileFormat::Wmf, size);
}

Params brush(int style, QColor color, int hatch = 0)
{
    Params p;
    p.i16(style).color(color).i16(hatch);
    return p;
}

Params nullPen()
{
    Params p;
    p.i16(5).i16(0).i16(0).color(Qt::black);
    return p;
}

// Slots: 0 the null pen, 1 the brush.
WmfBuilder withBrush(WmfBuilder wmf, const Params& brushParams)
{
    wmf.add(meta::CreatePen, nullPen());
    wmf.add(meta::SelectObject, {0});
    wmf.add(meta::CreateBrush, brushParams);
    wmf.add(meta::SelectObject, {1});
    return wmf;
}

} // namespace

class WmfPlayerTest : public QObject
{
    Q_OBJECT

private slots:
    void placeableHeaderGivesSizeInItsUnitsPerInch()
    {
        const WmfBuilder wmf(QRect(100, 200, 1440, 720), 1440);
        const MetafileInfo info = readMetafileInfo(wmf.finish(), MetafileFormat::Wmf);
        QCOMPARE(info.pixels, QSize(96, 48));
        QCOMPARE(info.bounds, QRectF(100, 200, 1440, 720));
    }

    void withoutPlaceableHeaderTheWindowGivesTheSize()
    {
        WmfBuilder wmf;
        wmf.add(meta::SetWindowOrg, {20, 10});
        wmf.add(meta::SetWindowExt, {100, 200});
        wmf.add(meta::Rectangle, {50, 50, 0, 0});
        wmf.add(meta::SetWindowExt, {1, 1});
        const MetafileInfo info = readMetafileInfo(wmf.finish(), MetafileFormat::Wmf);
        QCOMPARE(info.pixels, QSize(200, 100));
        QCOMPARE(info.bounds, QRectF(10, 20, 200, 100));
    }

    void windowMapsOntoThePicture()
    {
        // The file draws in its own window of 1000 units: a quarter of it is
        // a quarter of the picture, whatever the header's box is in.
        WmfBuilder wmf(QRect(0, 0, 400, 400), 400);
        wmf.add(meta::SetMapMode, {8});
        wmf.add(meta::SetWindowOrg, {0, 0});
        wmf.add(meta::SetWindowExt, {1000, 1000});
        wmf = withBrush(wmf, brush(0, Blue));
        wmf.add(meta::Rectangle, {500, 500, 0, 0});
        const QImage image = render(wmf);
        QVERIFY(near(image.pixel(25, 25), Blue));
        QVERIFY(isWhite(image.pixel(60, 25)));
        QVERIFY(isWhite(image.pixel(25, 60)));
    }

    void windowWithYUpwardsKeepsThePictureUpright()
    {
        WmfBuilder wmf;
        wmf.add(meta::SetMapMode, {8});
        wmf.add(meta::SetWindowOrg, {100, 0});
        wmf.add(meta::SetWindowExt, {-100, 100});
        wmf = withBrush(wmf, brush(0, Blue));
        wmf.add(meta::Rectangle, {100, 50, 50, 0});  // the top half of the window
        const QImage image = render(wmf);
        QVERIFY(near(image.pixel(25, 25), Blue));
        QVERIFY(isWhite(image.pixel(25, 75)));
    }

    void createdObjectsTakeTheLowestFreeSlot()
    {
        WmfBuilder wmf(QRect(0, 0, 96, 96), 96);
        wmf.add(meta::CreatePen, nullPen());            // 0
        wmf.add(meta::CreateBrush, brush(0, Red));      // 1
        wmf.add(meta::CreateBrush, brush(0, Blue));     // 2
        wmf.add(meta::DeleteObject, {1});
        wmf.add(meta::CreateBrush, brush(0, Green));    // 1 again
        wmf.add(meta::SelectObject, {0});
        wmf.add(meta::SelectObject, {1});
        wmf.add(meta::Rectangle, {96, 50, 0, 0});
        wmf.add(meta::SelectObject, {2});
        wmf.add(meta::Rectangle, {96, 96, 0, 50});
        const QImage image = render(wmf, QSize(96, 96));
        QVERIFY(near(image.pixel(20, 20), Green));
        QVERIFY(near(image.pixel(80, 20), Blue));
    }

    void hatchedBrushDrawsLines()
    {
        WmfBuilder wmf(QRect(0, 0, 100, 100), 96);
        wmf.add(meta::SetBkMode, {1});
        wmf = withBrush(wmf, brush(2, Red, 1));
        wmf.add(meta::Rectangle, {90, 90, 10, 10});
        const QImage image = render(wmf);
        const QRect inside(20, 20, 60, 60);
        const int red = countPixels(image, inside, [](QRgb p) { return near(p, Red); });
        QVERIFY(red > 200 && red < 1500);
        const int inRow = countPixels(image, QRect(20, 50, 60, 1), [](QRgb p) { return near(p, Red); });
        QVERIFY2(inRow >= 6 && inRow <= 16, qPrintable(QString::number(inRow)));
    }

    void polyPolygonLeavesTheInnerRingOpen()
    {
        WmfBuilder wmf(QRect(0, 0, 100, 100), 96);
        wmf = withBrush(wmf, brush(0, Blue));
        Params p;
        p.i16(2).i16(4).i16(4);
        for (auto [x, y] : {std::pair{10, 10}, {90, 10}, {90, 90}, {10, 90}, {30, 30}, {70, 30}, {70, 70}, {30, 70}})
            p.i16(x).i16(y);
        wmf.add(meta::PolyPolygon, p);
        const QImage image = render(wmf);
        QVERIFY(near(image.pixel(20, 50), Blue));
        QVERIFY(isWhite(image.pixel(50, 50)));
    }

    void stretchDibDrawsTheBitmap()
    {
        WmfBuilder wmf(QRect(0, 0, 100, 100), 96);
        const TestDib dib = makeDib(2, 1, 8, [](int x, int) { return x == 0 ? Red : Blue; });
        Params p;
        p.i32(0x00CC0020).i16(0).i16(1).i16(2).i16(0).i16(0).i16(100).i16(100).i16(0).i16(0);
        p.bytes(dib.info).bytes(dib.bits);
        wmf.add(meta::StretchDib, p);
        const QImage image = render(wmf);
        QVERIFY(near(image.pixel(25, 50), Red));
        QVERIFY(near(image.pixel(75, 50), Blue));
    }

    // A bitmap kept as a PNG draws, and leaves the picture reader's memory
    // limit, which the card's photos go by, as it was.
    void stretchDibDrawsAPngBitmap()
    {
        const int limit = QImageReader::allocationLimit();
        QImage pixels(2, 1, QImage::Format_RGB32);
        pixels.setPixel(0, 0, QColor(Red).rgb());
        pixels.setPixel(1, 0, QColor(Blue).rgb());
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        pixels.save(&buffer, "PNG");
        Params info;
        info.i32(40).i32(2).i32(1).i16(1).i16(0).i32(5).i32(png.size()).i32(0).i32(0).i32(0).i32(0);
        WmfBuilder wmf(QRect(0, 0, 100, 100), 96);
        Params p;
        p.i32(0x00CC0020).i16(0).i16(1).i16(2).i16(0).i16(0).i16(100).i16(100).i16(0).i16(0);
        p.bytes(info.data()).bytes(png.toStdString());
        wmf.add(meta::StretchDib, p);
        const QImage image = render(wmf);
        QVERIFY(near(image.pixel(25, 50), Red));
        QVERIFY(near(image.pixel(75, 50), Blue));
        QCOMPARE(QImageReader::allocationLimit(), limit);
    }

    void textOutDrawsAtItsReference()
    {
        WmfBuilder wmf(QRect(0, 0, 100, 100), 96);
        Params font;
        font.i16(-20).i16(0).i16(0).i16(0).i16(700).u8(0).u8(0).u8(0).u8(238).u8(0).u8(0).u8(0).u8(0);
        font.bytes(std::string("DejaVu Sans") + '\0');
        wmf.add(meta::CreateFont, font);
        wmf.add(meta::SelectObject, {0});
        wmf.add(meta::SetBkMode, {1});
        wmf.add(meta::SetTextAlign, {24});
        Params text;
        text.i16(3).bytes("H\xF5H").pad(2).i16(60).i16(20);
        wmf.add(meta::TextOut, text);
        const QRect box = boxOf(render(wmf), isDark);
        QVERIFY(box.left() >= 20 && box.left() <= 23);
        QVERIFY2(std::abs(box.bottom() - 59) <= 1, qPrintable(QString::number(box.bottom())));
    }

    void eightBitTextFollowsTheFontsCodePage()
    {
        QCOMPARE(decodeAnsiText("\xF5\xFB", 238), QString::fromUtf8("őű"));
        QCOMPARE(decodeAnsiText("\x80\xE9", 0), QString::fromUtf8("€é"));
        QCOMPARE(decodeAnsiText("\x80\xE9", 1), QString::fromUtf8("€é"));
        QCOMPARE(decodeAnsiText("\xF5", 0), QString::fromUtf8("õ"));
    }
};

REGISTER_TEST(WmfPlayerTest)
#include "WmfPlayerTest.moc"
