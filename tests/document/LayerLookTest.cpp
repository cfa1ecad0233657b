#include "document/LayerLook.h"
#include "document/LayerRecord.h"
#include "tests/TestRegistry.h"

#include <QPainter>
#include <QTest>

namespace {

const QRgb Clear = 0;

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

QImage painted(QSize size, const QRect& box, const ShapeLook& look, qreal scale = 1, qreal unit = 1)
{
    QImage image = canvas(size.width(), size.height());
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintShape(painter, box, look, unit);
    painter.end();
    return image;
}

ShapeLook redBoxBlackOutline(int width = 1)
{
    ShapeLook look;
    look.fill = Qt::red;
    look.outline = Qt::black;
    look.outlineWidth = width;
    return look;
}

QRgb rgb(const QColor& color)
{
    return color.rgba();
}

// A layer table on one record whose fields are written by the caller.
LayerTable oneRecord(const std::vector<std::pair<const char*, FieldValue>>& fields)
{
    LayerTable Tbl = makeLayerTable();
    Tbl.OpenTable();
    Tbl.AddNewRecord();
    for (const auto& [name, value] : fields)
        Tbl.WriteField(name, value);
    Tbl.PostRecord();
    return Tbl;
}

} // namespace

class LayerLookReading : public QObject
{
    Q_OBJECT

private slots:
    void colourBytesAreRedGreenBlueFromTheLowEnd()
    {
        QCOMPARE(colorFromStored(15780518), QColor(166, 202, 240));
        QCOMPARE(colorFromStored(255), QColor(Qt::red));
        QCOMPARE(colorFromStored(WhiteColor), QColor(Qt::white));
        QCOMPARE(storedFromColor(QColor(166, 202, 240)), 15780518);
        QCOMPARE(storedFromColor(QColor(Qt::blue)), 0xFF0000);
        // A foreign file's top byte carries no colour.
        QCOMPARE(colorFromStored(static_cast<std::int32_t>(0x800000FFu)), QColor(Qt::red));
    }

    void hungarianTextSurvivesTheCodePage()
    {
        const QString text = QString::fromUtf8("Árvíztűrő tükörfúrógép");
        QVERIFY(fitsWin1250(text));
        QCOMPARE(toWin1250(QString::fromUtf8("őű")), std::string("\xF5\xFB"));
        QCOMPARE(fromWin1250(toWin1250(text)), text);
        QVERIFY(!fitsWin1250(QString::fromUtf8("日本")));
        QCOMPARE(toWin1250(QString::fromUtf8("a日b")), std::string("ab"));
    }

    // Points become pixels as at 96 dpi, rounded half up.
    void fontSizesArePixelsAt96Dpi()
    {
        const std::pair<int, int> sizes[] = {{6, 8}, {7, 9}, {8, 11}, {9, 12}, {10, 13}, {12, 16}, {36, 48}};
        for (auto [points, pixels] : sizes)
            QCOMPARE(layerFont("Arial", points, false, false, false).pixelSize(), pixels);
        QCOMPARE(layerFont("Arial", 0, false, false, false).pixelSize(), 1);
        // A slip in the size box must still give a line that can be laid out.
        TextLook huge;
        huge.font = layerFont("DejaVu Sans", 99999, false, false, false);
        QVERIFY(textExtent(huge).height() > 1000);
        const QFont font = layerFont("Arial", 8, true, true, true);
        QVERIFY(font.bold() && font.italic() && font.underline());
        QCOMPARE(font.family(), QString("Arial"));
    }

    void textLookFromARecord()
    {
        LayerTable Tbl = oneRecord({{"nev", std::string("\xE1rv\xEDz")}, {"betutipus", std::string("Arial")},
                                    {"betumeret", 12}, {"dolt", true}, {"szin", 255}, {"igazitas", 2}});
        const TextLook look = readTextLook(Tbl);
        QCOMPARE(look.text, QString::fromUtf8("árvíz"));
        QCOMPARE(look.font.pixelSize(), 16);
        QCOMPARE(look.points, 12);
        QVERIFY(look.font.italic() && !look.font.bold());
        QCOMPARE(look.color, QColor(Qt::red));
        QCOMPARE(look.alignment, TextAlignment::Right);
    }

    void emptyFieldsReadAsTheirDefaults()
    {
        LayerTable Tbl = oneRecord({{"nev", std::monostate{}}, {"igazitas", 5}, {"brushcolor", std::monostate{}},
                                    {"penwidth", std::monostate{}}, {"shape", 3}, {"brushstyle", 9},
                                    {"penstyle", std::monostate{}}});
        const TextLook text = readTextLook(Tbl);
        QCOMPARE(text.text, QString());
        QCOMPARE(text.alignment, TextAlignment::Left);
        const ShapeLook shape = readShapeLook(Tbl);
        QCOMPARE(shape.fill, QColor(Qt::white));
        QCOMPARE(shape.outlineWidth, 1);
        QCOMPARE(shape.kind, ShapeKind::Rectangle);
        QCOMPARE(shape.pattern, FillPattern::Solid);
        QCOMPARE(shape.outlinePattern, OutlinePattern::Solid);
    }

    void textExtentIsOneLineOfTheText()
    {
        TextLook look;
        look.font = layerFont("DejaVu Sans", 12, false, false, false);
        const QFontMetrics metrics(look.font);
        const QSize empty = textExtent(look);
        // Still something to press on the card.
        QCOMPARE(empty.height(), metrics.height());
        QVERIFY(empty.width() > 0);
        look.text = "Anna";
        QCOMPARE(textExtent(look).height(), metrics.height());
        QVERIFY(textExtent(look).width() >= metrics.horizontalAdvance("Anna"));
        look.text = "Anna\nBanna";
        QCOMPARE(textExtent(look).height(), metrics.height());
    }

    // The element is as wide as its extent; ink beyond it would be cut off.
    void italicTextStaysInsideItsExtent()
    {
        TextLook look;
        look.text = "Waff";
        look.font = layerFont("DejaVu Serif", 36, true, true, false);
        look.color = Qt::black;
        const QSize extent = textExtent(look);
        QImage image = canvas(extent.width() + 40, extent.height());
        QPainter painter(&image);
        paintText(painter, QRect(QPoint(0, 0), extent), look);
        painter.end();
        for (int y = 0; y < image.height(); ++y)
            for (int x = extent.width(); x < image.width(); ++x)
                QVERIFY2(qAlpha(image.pixel(x, y)) == 0, qPrintable(QString("ink at %1,%2").arg(x).arg(y)));
    }
};

class ShapePainting : public QObject
{
    Q_OBJECT

private slots:
    void rectangleFillsItsCornersAndEllipseDoesNot()
    {
        const QRect box(0, 0, 40, 30);
        const QImage rect = painted({40, 30}, box, redBoxBlackOutline());
        QCOMPARE(rect.pixel(0, 0), rgb(Qt::black));
        QCOMPARE(rect.pixel(39, 29), rgb(Qt::black));
        QCOMPARE(rect.pixel(1, 1), rgb(Qt::red));

        ShapeLook look = redBoxBlackOutline();
        look.kind = ShapeKind::Ellipse;
        const QImage ellipse = painted({40, 30}, box, look);
        QCOMPARE(ellipse.pixel(0, 0), Clear);
        QCOMPARE(ellipse.pixel(39, 29), Clear);
        QCOMPARE(ellipse.pixel(20, 15), rgb(Qt::red));
        QVERIFY(qAlpha(ellipse.pixel(20, 0)) > 200);  // the outline touches the box's edge
    }

    void outlineLiesInsideTheBox()
    {
        const QImage image = painted({30, 30}, QRect(5, 5, 20, 20), redBoxBlackOutline(3));
        for (int x : {4, 25})
            QCOMPARE(image.pixel(x, 15), Clear);
        for (int x : {5, 6, 7, 22, 23, 24})
            QCOMPARE(image.pixel(x, 15), rgb(Qt::black));
        QCOMPARE(image.pixel(8, 15), rgb(Qt::red));
        QCOMPARE(image.pixel(21, 8), rgb(Qt::red));
    }

    // Zero width (and an empty field, read as 1) still draws a hairline.
    void thinnestOutlineIsOnePixel()
    {
        for (int width : {0, 1}) {
            const QImage image = painted({10, 10}, QRect(0, 0, 10, 10), redBoxBlackOutline(width));
            QCOMPARE(image.pixel(0, 5), rgb(Qt::black));
            QCOMPARE(image.pixel(1, 5), rgb(Qt::red));
        }
    }

    void outlineWiderThanTheBoxCoversIt()
    {
        const QImage image = painted({10, 10}, QRect(0, 0, 10, 10), redBoxBlackOutline(7));
        QCOMPARE(image.pixel(5, 5), rgb(Qt::black));
    }

    void dashesShowOnlyAtWidthOne()
    {
        for (int width : {1, 2}) {
            ShapeLook look = redBoxBlackOutline(width);
            look.outlinePattern = OutlinePattern::Dash;
            const QImage image = painted({60, 20}, QRect(0, 0, 60, 20), look);
            int gaps = 0;
            for (int x = 0; x < 60; ++x)
                gaps += image.pixel(x, 0) != rgb(Qt::black);
            QVERIFY2(width == 1 ? gaps > 5 : gaps == 0, qPrintable(QString::number(width)));
            QCOMPARE(image.pixel(30, 10), rgb(Qt::red));
        }
    }

    void hatchLeavesTheGroundShowingBetweenLines()
    {
        ShapeLook look = redBoxBlackOutline();
        look.pattern = FillPattern::Horizontal;
        const QImage image = painted({40, 40}, QRect(0, 0, 40, 40), look);
        int red = 0, clear = 0;
        for (int y = 1; y < 39; ++y) {
            const QRgb pixel = image.pixel(20, y);
            red += pixel == rgb(Qt::red);
            clear += pixel == Clear;
            for (int x = 1; x < 39; ++x)
                QCOMPARE(image.pixel(x, y), pixel);  // horizontal lines only
        }
        QVERIFY(red > 2 && clear > red);
        QCOMPARE(red + clear, 38);
    }

    // Code 1 runs down from left to right, code 2 up.
    void diagonalHatchesRunTheirOwnWay()
    {
        for (auto [pattern, down] : {std::pair{FillPattern::ForwardDiagonal, true},
                                     std::pair{FillPattern::BackwardDiagonal, false}}) {
            ShapeLook look = redBoxBlackOutline();
            look.pattern = pattern;
            const QImage image = painted({40, 40}, QRect(0, 0, 40, 40), look);
            int falling = 0, rising = 0;
            for (int y = 5; y < 30; ++y)
                for (int x = 5; x < 30; ++x)
                    if (image.pixel(x, y) == rgb(Qt::red)) {
                        falling += image.pixel(x + 1, y + 1) == rgb(Qt::red);
                        rising += image.pixel(x + 1, y - 1) == rgb(Qt::red);
                    }
            QVERIFY(down ? falling > 10 * rising : rising > 10 * falling);
        }
    }

    // The printed sheet draws in card pixels on a finer device and gives
    // the outline in the device's own dots.
    void outlineUnitIsOneDeviceDotWhenScaled()
    {
        const QImage image = painted({80, 80}, QRect(0, 0, 20, 20), redBoxBlackOutline(2), 4, 0.25);
        QCOMPARE(image.pixel(0, 40), rgb(Qt::black));
        QCOMPARE(image.pixel(1, 40), rgb(Qt::black));
        QCOMPARE(image.pixel(2, 40), rgb(Qt::red));
    }

    void emptyBoxDrawsNothing()
    {
        const QImage image = painted({10, 10}, QRect(2, 2, -5, 4), redBoxBlackOutline());
        QCOMPARE(image, canvas(10, 10));
    }
};

class PicturePainting : public QObject
{
    Q_OBJECT

private slots:
    void naturalSizeShowsTheTopLeftCutAtTheBox()
    {
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QPainter(&picture).fillRect(0, 0, 100, 100, Qt::green);
        QImage image = canvas(150, 150);
        QPainter painter(&image);
        paintPicture(painter, QRect(10, 10, 100, 100), picture, false);
        painter.end();
        QCOMPARE(image.pixel(10, 10), rgb(Qt::green));
        QCOMPARE(image.pixel(109, 109), rgb(Qt::green));
        QCOMPARE(image.pixel(110, 50), Clear);
        QCOMPARE(image.pixel(50, 110), Clear);
        QCOMPARE(image.pixel(9, 9), Clear);
    }

    void stretchFillsTheBoxExactly()
    {
        QImage picture(2, 1, QImage::Format_RGB32);
        picture.setPixel(0, 0, qRgb(255, 0, 0));
        picture.setPixel(1, 0, qRgb(0, 0, 255));
        QImage image = canvas(120, 60);
        QPainter painter(&image);
        paintPicture(painter, QRect(10, 10, 100, 40), picture, true);
        painter.end();
        QCOMPARE(qAlpha(image.pixel(10, 10)), 255);
        QCOMPARE(qAlpha(image.pixel(109, 49)), 255);
        QCOMPARE(image.pixel(110, 30), Clear);
        QCOMPARE(image.pixel(60, 50), Clear);
        QVERIFY(qRed(image.pixel(12, 30)) > 200);
        QVERIFY(qBlue(image.pixel(107, 30)) > 200);
    }
};

REGISTER_TEST(LayerLookReading)
REGISTER_TEST(ShapePainting)
REGISTER_TEST(PicturePainting)

#include "LayerLookTest.moc"
