#include "layer/LayerLook.h"
#include "layer/LayerPicture.h"
#include "layer/LayerRecord.h"
#include "tests/TestRegistry.h"
#include "tests/layer/OneRecord.h"

#include <QPainter>
#include <QTest>

namespace {

const QRgb Clear = 0;
const QRgb Red = qRgb(255, 0, 0);
const QRgb Black = qRgb(0, 0, 0);

QImage canvas(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    return image;
}

// A red box with a black outline, painted on a transparent canvas.
QImage painted(QSize size, const QRect& box, int width = 1, ShapeKind kind = ShapeKind::Rectangle,
               FillPattern pattern = FillPattern::Solid, OutlinePattern outline = OutlinePattern::Solid,
               qreal scale = 1)
{
    const ShapeLook look{kind, Qt::red, pattern, Qt::black, outline, width};
    QImage image = canvas(size.width(), size.height());
    QPainter painter(&image);
    painter.scale(scale, scale);
    paintShape(painter, box, look);
    return image;
}


} // namespace

class LayerLookTest : public QObject
{
    Q_OBJECT

private slots:
    // Points become pixels as at 96 dpi, rounded half up.
    void fontSizesArePixelsAt96Dpi()
    {
        const std::pair<int, int> sizes[] = {{0, 1}, {6, 8}, {7, 9}, {8, 11}, {9, 12}, {12, 16}, {36, 48}};
        for (auto [points, pixels] : sizes)
            QCOMPARE(layerFont("Arial", points, false, false, false).pixelSize(), pixels);
    }

    // Windows-1250 text; colours with red in the low byte, where a foreign
    // file's top byte carries no colour; defaults where a field is empty or
    // unknown.
    void looksAreReadFromTheRecord()
    {
        LayerTable Tbl = oneRecord({{"nev", std::string("\xE1rv\xEDz")}, {"betutipus", std::string("Arial")},
                                    {"betumeret", 12}, {"dolt", true}, {"igazitas", 2},
                                    {"szin", static_cast<std::int32_t>(0x80F0CAA6u)}});
        const TextLook look = readTextLook(Tbl);
        QCOMPARE(look.text, QString::fromUtf8("árvíz"));
        QCOMPARE(look.font.pixelSize(), 16);
        QVERIFY(look.points == 12 && look.font.italic() && !look.font.bold());
        QCOMPARE(look.color, QColor(166, 202, 240));
        QCOMPARE(storedFromColor(look.color), 0xF0CAA6);
        QCOMPARE(look.alignment, TextAlignment::Right);

        Tbl = oneRecord({{"nev", std::monostate{}}, {"igazitas", 5}, {"brushcolor", std::monostate{}},
                         {"penwidth", std::monostate{}}, {"shape", 3}, {"brushstyle", 9},
                         {"penstyle", std::monostate{}}});
        QVERIFY(readTextLook(Tbl).text.isEmpty() && readTextLook(Tbl).alignment == TextAlignment::Left);
        const ShapeLook shape = readShapeLook(Tbl);
        QCOMPARE(shape.fill, QColor(Qt::white));
        QCOMPARE(shape.outlineWidth, 1);
        QVERIFY(shape.kind == ShapeKind::Rectangle && shape.pattern == FillPattern::Solid
                && shape.outlinePattern == OutlinePattern::Solid);
    }

    // One line high, something to press on even when empty, and as wide as
    // the ink: italic ink beyond the extent would be cut off. A slip in the
    // size box must still give a line that can be laid out.
    void textExtentHoldsTheWholeLine()
    {
        TextLook look;
        look.font = layerFont("DejaVu Sans", 12, false, false, false);
        const int line = QFontMetrics(look.font).height();
        QVERIFY(textExtent(look).width() > 0 && textExtent(look).height() == line);
        look.text = "Anna\nBanna";
        QCOMPARE(textExtent(look).height(), line);
        look.font = layerFont("DejaVu Sans", 99999, false, false, false);
        QVERIFY(textExtent(look).height() > 1000);

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

    void rectangleFillsItsCornersAndEllipseDoesNot()
    {
        const QImage rect = painted({40, 30}, QRect(0, 0, 40, 30));
        QVERIFY(rect.pixel(0, 0) == Black && rect.pixel(39, 29) == Black && rect.pixel(1, 1) == Red);
        const QImage ellipse = painted({40, 30}, QRect(0, 0, 40, 30), 1, ShapeKind::Ellipse);
        QVERIFY(ellipse.pixel(0, 0) == Clear && ellipse.pixel(39, 29) == Clear && ellipse.pixel(20, 15) == Red);
        QVERIFY(qAlpha(ellipse.pixel(20, 0)) > 200);  // the outline touches the box's edge
        QCOMPARE(painted({10, 10}, QRect(2, 2, -5, 4)), canvas(10, 10));  // an empty box draws nothing
    }

    // Width 0 still draws a hairline; a width beyond half the box covers it.
    // Drawn four times finer, as on paper, the outline is four times wider.
    void outlineLiesInsideTheBox()
    {
        const QImage image = painted({30, 30}, QRect(5, 5, 20, 20), 3);
        for (int x = 4; x <= 25; ++x)
            QCOMPARE(image.pixel(x, 15), x == 4 || x == 25 ? Clear : x < 8 || x > 21 ? Black : Red);
        const QImage hairline = painted({10, 10}, QRect(0, 0, 10, 10), 0);
        QVERIFY(hairline.pixel(0, 5) == Black && hairline.pixel(1, 5) == Red);
        QCOMPARE(painted({10, 10}, QRect(0, 0, 10, 10), 7).pixel(5, 5), Black);
        const QImage printed = painted({80, 80}, QRect(0, 0, 20, 20), 2, ShapeKind::Rectangle, FillPattern::Solid,
                                       OutlinePattern::Solid, 4);
        QVERIFY(printed.pixel(7, 40) == Black && printed.pixel(8, 40) == Red);
    }

    void dashesShowOnlyAtWidthOne()
    {
        for (int width : {1, 2}) {
            const QImage image = painted({60, 20}, QRect(0, 0, 60, 20), width, ShapeKind::Rectangle,
                                         FillPattern::Solid, OutlinePattern::Dash);
            int gaps = 0;
            for (int x = 0; x < 60; ++x)
                gaps += image.pixel(x, 0) != Black;
            QVERIFY2(width == 1 ? gaps > 5 : gaps == 0, qPrintable(QString::number(width)));
        }
    }

    // Hatch lines in the fill colour run their own way (code 1 down from
    // left to right, code 2 up), with the ground showing between them.
    void hatchesRunTheirOwnWay()
    {
        const FillPattern patterns[] = {FillPattern::Horizontal, FillPattern::ForwardDiagonal,
                                        FillPattern::BackwardDiagonal};
        const QPoint steps[] = {{1, 0}, {1, 1}, {1, -1}};
        for (int way = 0; way < 3; ++way) {
            const QImage image = painted({40, 40}, QRect(0, 0, 40, 40), 1, ShapeKind::Rectangle, patterns[way]);
            int along[3] = {};
            for (int y = 5; y < 30; ++y)
                for (int x = 5; x < 30; ++x)
                    for (int i = 0; i < 3; ++i)
                        along[i] += image.pixel(x, y) == Red && image.pixel(QPoint(x, y) + steps[i]) == Red;
            QVERIFY2(along[way] > 10 * (along[0] + along[1] + along[2] - along[way]), qPrintable(QString::number(way)));
        }
    }

    // At its own size from the box's top-left corner, or stretched; cut
    // at the box's edges either way.
    void pictureIsCutOrStretchedToTheBox()
    {
        QImage picture(400, 300, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QPainter(&picture).fillRect(0, 0, 100, 100, Qt::green);
        for (bool stretch : {false, true}) {
            QImage image = canvas(150, 150);
            QPainter painter(&image);
            LayerPicture(picture).paint(painter, QRect(10, 10, 100, 100), stretch);
            painter.end();
            QCOMPARE(image.pixel(10, 10), qRgb(0, 255, 0));
            QCOMPARE(image.pixel(109, 109), stretch ? qRgb(0, 0, 255) : qRgb(0, 255, 0));
            for (QPoint at : {QPoint(110, 50), QPoint(50, 110), QPoint(9, 9)})
                QCOMPARE(image.pixel(at), Clear);
        }
    }
};

REGISTER_TEST(LayerLookTest)

#include "LayerLookTest.moc"
