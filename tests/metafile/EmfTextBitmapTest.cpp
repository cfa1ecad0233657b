#include "tests/TestRegistry.h"
#include "tests/metafile/MetafileBuilder.h"
#include "tests/metafile/PixelProbe.h"

#include "metafile/Metafile.h"

#include <QTest>

namespace {

const QColor Red(220, 0, 0);
const QColor Green(0, 160, 0);
const QColor Blue(0, 0, 200);
const QColor Yellow(240, 220, 0);

QImage render(const EmfBuilder& emf) { return renderPicture(emf.finish(), MetafileFormat::Emf, QSize(100, 100)); }

struct FontSpec
{
    int height = -20;
    int weight = 400;
    bool underline = false;
    int escapement = 0;
};

Params fontParams(const FontSpec& f)
{
    Params p;
    p.i32(1).i32(f.height).i32(0).i32(f.escapement).i32(f.escapement).i32(f.weight);
    p.u8(0).u8(f.underline ? 1 : 0).u8(0).u8(0).u8(0).u8(0).u8(0).u8(0);
    QString face = QStringLiteral("DejaVu Sans");
    face.resize(32, QChar(0));
    return p.wide(face);
}

Params textParams(int x, int y, const QString& text)
{
    Params p;
    p.i32(0).i32(0).i32(100).i32(100).i32(1).f32(1).f32(1);  // bounds, mode, scales
    p.i32(x).i32(y).i32(text.size()).i32(76).i32(0);          // reference, chars, offString, options
    p.i32(0).i32(0).i32(0).i32(0).i32(0);                     // rectangle, offDx
    return p.wide(text).pad(4);
}

QImage drawText(const FontSpec& font, std::uint32_t align, int x, int y, const QString& text = QStringLiteral("HHH"))
{
    EmfBuilder emf;
    emf.add(emr::SetBkMode, Params{1});
    emf.add(emr::SetTextAlign, Params{static_cast<std::int32_t>(align)});
    emf.add(emr::CreateFont, fontParams(font));
    emf.add(emr::SelectObject, Params{1});
    emf.add(emr::ExtTextOutW, textParams(x, y, text));
    return render(emf);
}

// A 2 x 2 picture of red, green over blue, yellow, stretched over the image.
EmfBuilder stretched(const TestDib& dib, int ySrc = 0, int height = 2)
{
    EmfBuilder emf;
    Params p;
    p.i32(0).i32(0).i32(100).i32(100);
    p.i32(0).i32(0).i32(0).i32(ySrc).i32(2).i32(height);       // dest x, y, source x, y, w, h
    p.i32(80).i32(static_cast<std::int64_t>(dib.info.size()));
    p.i32(static_cast<std::int64_t>(80 + dib.info.size())).i32(static_cast<std::int64_t>(dib.bits.size()));
    p.i32(0).i32(0x00CC0020).i32(100).i32(100);
    p.bytes(dib.info).bytes(dib.bits);
    emf.add(emr::StretchDiBits, p);
    return emf;
}

QColor quadrant(int x, int y)
{
    if (y == 0)
        return x == 0 ? Red : Green;
    return x == 0 ? Blue : Yellow;
}

} // namespace

class EmfTextBitmapTest : public QObject
{
    Q_OBJECT

private slots:
    void textTakesTheCharacterHeightOfTheFont()
    {
        const QRect box = boxOf(drawText({}, 0, 10, 10), isDark);
        // Capitals of a 20 pixel em stand about 14.6 pixels high.
        QVERIFY2(box.height() >= 13 && box.height() <= 17, qPrintable(QString::number(box.height())));
        QVERIFY(box.left() >= 10 && box.left() <= 13);
        QVERIFY(box.top() >= 12 && box.top() <= 17);
    }

    void positiveHeightIsTheCellAndComesOutSmaller()
    {
        const QRect cell = boxOf(drawText({20}, 0, 10, 10), isDark);
        const QRect character = boxOf(drawText({-20}, 0, 10, 10), isDark);
        QVERIFY(cell.height() < character.height());
        QVERIFY(cell.width() < character.width());
    }

    void centreBaselineAlignmentCentresOnTheReference()
    {
        const QRect box = boxOf(drawText({}, 6 | 24, 50, 60), isDark);
        QVERIFY2(std::abs(box.center().x() - 50) <= 2, qPrintable(QString::number(box.center().x())));
        QVERIFY2(std::abs(box.bottom() - 59) <= 1, qPrintable(QString::number(box.bottom())));
    }

    void escapementTurnsTheTextUpwards()
    {
        const QRect flat = boxOf(drawText({}, 0, 20, 80), isDark);
        const QRect turned = boxOf(drawText({-20, 400, false, 900}, 0, 20, 80), isDark);
        QVERIFY(flat.width() > flat.height());
        QVERIFY(turned.height() > turned.width());
        QVERIFY(turned.bottom() <= 82);
    }

    void weightAndUnderlineAddInk()
    {
        const auto ink = [](const QImage& image) { return countPixels(image, image.rect(), isDark); };
        const int regular = ink(drawText({}, 24, 10, 50));
        QVERIFY(ink(drawText({-20, 700}, 24, 10, 50)) > regular * 1.2);
        const QImage underlined = drawText({-20, 400, true}, 24, 10, 50);
        QVERIFY(countPixels(underlined, QRect(10, 51, 60, 4), isDark) > 30);
        QVERIFY(ink(underlined) > regular);
    }

    void dibRowsComeOutTopFirst_data()
    {
        QTest::addColumn<int>("bitCount");
        QTest::addColumn<bool>("topDown");
        QTest::newRow("24-bit bottom-up") << 24 << false;
        QTest::newRow("24-bit top-down") << 24 << true;
        QTest::newRow("8-bit") << 8 << false;
        QTest::newRow("4-bit") << 4 << false;
        QTest::newRow("1-bit") << 1 << false;
        QTest::newRow("32-bit") << 32 << false;
    }

    void dibRowsComeOutTopFirst()
    {
        QFETCH(int, bitCount);
        QFETCH(bool, topDown);
        // One bit holds two colours: red and blue.
        const auto pixel = [&](int x, int y) { return bitCount == 1 ? (y == 0 ? Red : Blue) : quadrant(x, y); };
        const QImage image = render(stretched(makeDib(2, 2, bitCount, pixel, topDown)));
        QVERIFY(near(image.pixel(25, 25), pixel(0, 0)));
        QVERIFY(near(image.pixel(75, 25), pixel(1, 0)));
        QVERIFY(near(image.pixel(25, 75), pixel(0, 1)));
        QVERIFY(near(image.pixel(75, 75), pixel(1, 1)));
    }

    void sourceRowsOfABottomUpDibCountFromTheBottom()
    {
        // Source y 0 with height 1 is the last row: blue and yellow.
        const QImage image = render(stretched(makeDib(2, 2, 24, quadrant), 0, 1));
        QVERIFY(near(image.pixel(25, 50), Blue));
        QVERIFY(near(image.pixel(75, 50), Yellow));
    }

    void blitWithoutBitmapFillsByItsOperation()
    {
        EmfBuilder emf;
        fillRect(emf, Blue, QRect(0, 65, 100, 30), 2);
        selectBrush(emf, Red);
        for (auto [rop, y] : {std::pair{0x00F00021u, 0}, {0x00000042u, 40}, {0x00FF0062u, 70}}) {
            Params p;
            p.i32(0).i32(0).i32(100).i32(100).i32(0).i32(y).i32(100).i32(20).i32(rop).i32(0).i32(0);
            p.f32(1).f32(0).f32(0).f32(1).f32(0).f32(0).i32(0).i32(0).i32(0).i32(0).i32(0).i32(0);
            emf.add(emr::BitBlt, p);
        }
        const QImage image = render(emf);
        QVERIFY(near(image.pixel(50, 10), Red));
        QVERIFY(isWhite(image.pixel(50, 30)));
        QVERIFY(near(image.pixel(50, 50), Qt::black));
        QVERIFY(isWhite(image.pixel(50, 80)));
        QVERIFY(near(image.pixel(50, 92), Blue));
    }
};

REGISTER_TEST(EmfTextBitmapTest)
#include "EmfTextBitmapTest.moc"
