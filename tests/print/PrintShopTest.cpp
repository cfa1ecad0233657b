#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "print/PrintShop.h"
#include "print/SheetPainter.h"
#include "print/TransparencyProbe.h"
#include "print/rptLapora.h"
#include "tests/TestRegistry.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QPainter>
#include <QPdfWriter>
#include <QTest>

#include <cmath>
#include <limits>

using namespace printshop;

namespace {

// Pages are painted at 254 dpi: ten dots to the millimetre.
constexpr int DotsPerMillimetre = 10;

const QRgb White = qRgb(255, 255, 255);
const QRgb Red = qRgb(255, 0, 0);
const QRgb Green = qRgb(0, 255, 0);
const QRgb Blue = qRgb(0, 0, 255);
const QRgb Yellow = qRgb(255, 255, 0);

LayerItem shapeItem(QRect box, QRgb fill, FillPattern pattern = FillPattern::Solid)
{
    LayerItem item;
    item.kind = LayerKind::Shape;
    item.box = box;
    item.shape.fill = QColor(fill);
    item.shape.outline = QColor(fill);
    item.shape.pattern = pattern;
    return item;
}

LayerItem pictureItem(QRect box, const QImage& pixels, bool stretch = true)
{
    LayerItem item;
    item.kind = LayerKind::Picture;
    item.box = box;
    item.picture = LayerPicture(pixels);
    item.pictureSource = pixels.size();
    item.stretch = stretch;
    return item;
}

LayerItem textItem(QPoint at, const QString& text, int points = 8)
{
    LayerItem item;
    item.text.text = text;
    item.text.points = points;
    item.text.font = layerFont(QStringLiteral("DejaVu Sans"), points, false, false, false);
    item.text.color = Qt::black;
    item.box = QRect(at, textExtent(item.text));
    return item;
}

// A code of 21 modules, all dark.
LayerItem qrItem(QRect box)
{
    auto modules = std::make_shared<QrMatrix>();
    modules->size = 21;
    modules->dark.assign(21 * 21, true);
    LayerItem item;
    item.kind = LayerKind::Picture;
    item.box = box;
    item.qr = QrPicture{"{}", modules};
    return item;
}

QImage filled(QSize size, QColor color)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(color);
    return image;
}

QImage pageOf(const std::vector<LayerItem>& layers, const Options& options = {},
              double dotsPerMillimetre = DotsPerMillimetre)
{
    QImage page((geometry(options).media * dotsPerMillimetre).toSize(), QImage::Format_RGB32);
    page.fill(White);
    QPainter painter(&page);
    painter.scale(dotsPerMillimetre, dotsPerMillimetre);
    paintPage(painter, layers, options);
    return page;
}

// The page's colour at a point given in card pixels.
QRgb at(const QImage& page, QPointF cardPixel, const Options& options = {})
{
    const Geometry g = geometry(options);
    const QPointF dot = (g.cardOrigin + cardPixel * g.mmPerPixel) * DotsPerMillimetre;
    return page.pixel(int(dot.x()), int(dot.y())) & 0xFFFFFF | 0xFF000000;
}

bool near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 3 && std::abs(qGreen(a) - qGreen(b)) <= 3
        && std::abs(qBlue(a) - qBlue(b)) <= 3;
}

QByteArray pdfOf(QSizeF media, const std::function<void(QPainter&)>& paint)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(media, QPageSize::Millimeter));
    writer.setPageMargins(QMarginsF());
    QPainter painter(&writer);
    useMillimetres(painter, writer);
    paint(painter);
    painter.end();
    return buffer.data();
}

// What a PDF/X-3 file may not hold: a picture with a soft mask, or a
// constant opacity below one. Qt's own graphics state, which says no mask
// and full opacity, may stay.
bool hasTransparency(const QByteArray& pdf)
{
    static const QRegularExpression transparency(QStringLiteral("/SMask \\d|/(ca|CA) 0"));
    return QString::fromLatin1(pdf).contains(transparency);
}

} // namespace

class PrintShopGeometryTest : public QObject
{
    Q_OBJECT

private slots:
    void pageHoldsTrimBleedAndMarks_data()
    {
        QTest::addColumn<double>("bleed");
        QTest::addColumn<bool>("marks");
        QTest::addColumn<QSizeF>("media");
        QTest::addColumn<double>("trimAt");
        QTest::newRow("3 mm") << 3.0 << false << QSizeF(96, 56) << 3.0;
        QTest::newRow("none") << 0.0 << false << QSizeF(90, 50) << 0.0;
        QTest::newRow("5 mm") << 5.0 << false << QSizeF(100, 60) << 5.0;
        QTest::newRow("3 mm, marks") << 3.0 << true << QSizeF(106, 66) << 8.0;
        QTest::newRow("none, marks") << 0.0 << true << QSizeF(106, 66) << 8.0;
        QTest::newRow("5 mm, marks outside it") << 5.0 << true << QSizeF(110, 70) << 10.0;
    }

    // The trim sits in the middle, the bleed around it, and each of the
    // eight marks starts outside both and ends on the paper.
    void pageHoldsTrimBleedAndMarks()
    {
        QFETCH(double, bleed);
        QFETCH(bool, marks);
        QFETCH(QSizeF, media);
        QFETCH(double, trimAt);
        const Options options{bleed, marks};
        const Geometry page = geometry(options);
        const auto close = [](double a, double b) { return std::abs(a - b) < 0.01; };
        QVERIFY(close(page.media.width(), media.width()) && close(page.media.height(), media.height()));
        QCOMPARE(page.trim, QRectF(trimAt, trimAt, 90, 50));
        QCOMPARE(page.bleed, QRectF(trimAt - bleed, trimAt - bleed, 90 + 2 * bleed, 50 + 2 * bleed));
        QVERIFY(close(page.cardOrigin.x(), trimAt) && close(page.cardOrigin.y(), trimAt - 0.15));
        QVERIFY(close(340 * page.mmPerPixel, 90) && close(190 * page.mmPerPixel, 50.29));

        // How far outside the trim a point on the line of one of its edges is.
        const auto outside = [&](QPointF p) {
            const QRectF& trim = page.trim;
            return std::max({trim.left() - p.x(), p.x() - trim.right(), trim.top() - p.y(), p.y() - trim.bottom()});
        };
        const std::vector<QLineF> lines = cropMarks(options);
        QCOMPARE(lines.size(), size_t(marks ? 8 : 0));
        for (const QLineF& line : lines) {
            QVERIFY(close(outside(line.p1()), std::max(CropMarkOffset, bleed)));
            QVERIFY(close(outside(line.p2()), std::max(CropMarkOffset, bleed) + CropMarkLength));
            QVERIFY(close(line.length(), CropMarkLength));
            QVERIFY(QRectF(QPointF(0, 0), page.media).adjusted(-0.001, -0.001, 0.001, 0.001).contains(line.p2()));
        }
    }

    // 3 mm are 11.33 card pixels; the card's extra height leaves 10.78 above and below.
    void bleedInCardPixels()
    {
        const QRectF bleed = bleedInCard({});
        QVERIFY(std::abs(bleed.left() + 11.333) < 0.01 && std::abs(bleed.top() + 10.778) < 0.01);
        QVERIFY(std::abs(bleed.right() - 351.333) < 0.01 && std::abs(bleed.bottom() - 200.778) < 0.01);
    }

    void bleedsInHalfMillimetres()
    {
        for (const double bleed : {0.0, 0.5, 3.0, 5.0})
            QVERIFY(validBleed(bleed));
        for (const double bleed : {-0.5, 0.3, 5.5, std::numeric_limits<double>::quiet_NaN()})
            QVERIFY(!validBleed(bleed));
    }
};

class PrintShopPaintTest : public QObject
{
    Q_OBJECT

private slots:
    // A card-sized shape covers the bleed box to its corners and nothing
    // beyond; one inside the card stays where it is.
    void shapesAtTheEdgeFillTheBleed()
    {
        const Options marks{DefaultBleed, true};
        const QImage page = pageOf({shapeItem(QRect(0, 0, 340, 190), Red)}, marks);
        const QRectF bleed = geometry(marks).bleed;
        for (const QPointF corner : {bleed.topLeft(), bleed.topRight(), bleed.bottomLeft(), bleed.bottomRight()}) {
            const QPointF inwards = (bleed.center() - corner) / 100;
            const QPointF outwards = (corner - bleed.center()) / 100;
            QCOMPARE(page.pixel(((corner + inwards) * DotsPerMillimetre).toPoint()), Red);
            QCOMPARE(page.pixel(((corner + outwards) * DotsPerMillimetre).toPoint()), White);
        }
        const QImage inset = pageOf({shapeItem(QRect(10, 10, 320, 170), Red)});
        QCOMPARE(at(inset, {5, 95}), White);
        QCOMPARE(at(inset, {-5, 95}), White);
        QCOMPARE(at(inset, {12, 95}), Red);
    }

    // Beyond the box's edge, the picture mirrored: its green left strip, its
    // yellow top strip and its red corner lie against the edges they show
    // at, and blue further out.
    void picturesAtTheEdgeAreMirrored()
    {
        QImage pixels = filled(QSize(60, 60), Blue);
        QPainter(&pixels).fillRect(0, 0, 4, 60, QColor(Green));
        QPainter(&pixels).fillRect(0, 0, 60, 4, QColor(Yellow));
        QPainter(&pixels).fillRect(0, 0, 4, 4, QColor(Red));
        const QImage page = pageOf({pictureItem(QRect(0, 0, 60, 60), pixels)});
        QCOMPARE(at(page, {-2, 30}), Green);
        QCOMPARE(at(page, {-8, 30}), Blue);
        QCOMPARE(at(page, {30, -2}), Yellow);
        QCOMPARE(at(page, {30, -8}), Blue);
        QCOMPARE(at(page, {-2, -2}), Red);
        QCOMPARE(at(page, {-8, -8}), Blue);
        QCOMPARE(at(page, {-2, 70}), White);
    }

    // Nothing of a text or a QR code at the card's edge reaches the bleed.
    void textAndCodesStayAsPlaced()
    {
        const QImage page = pageOf({textItem(QPoint(0, 0), QStringLiteral("MMMM"), 30), qrItem(QRect(0, 100, 40, 40))});
        const QRectF bleed = geometry({}).bleed;
        const QRect strip = QRectF(bleed.left(), bleed.top(), geometry({}).trim.left() - bleed.left() - 0.2,
                                   bleed.height()).toRect();
        const QImage left = page.copy(QRect(strip.topLeft() * DotsPerMillimetre, strip.size() * DotsPerMillimetre));
        const QImage white = filled(left.size(), Qt::white).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(left, white);
        const QPoint onCard = strip.topLeft() * DotsPerMillimetre + QPoint(left.width() + 10, 0);
        QVERIFY(page.copy(QRect(onCard, left.size())) != white);
    }

    // Hatch lines carry on into the bleed eight card pixels apart: at four
    // dots to a card pixel, a band of the bleed shows what a band 24 card
    // pixels further in does.
    void hatchesCarryOnInStep()
    {
        LayerItem hatched = shapeItem(QRect(0, 0, 340, 190), Blue, FillPattern::Vertical);
        hatched.shape.outline = Qt::black;
        const Geometry page = geometry({});
        const QImage image = pageOf({hatched}, {}, 4 / page.mmPerPixel);
        const int edge = int(std::lround(page.cardOrigin.x() / page.mmPerPixel * 4));
        const QRect band(edge - 40, 100, 32, 200);
        QCOMPARE(image.copy(band), image.copy(band.translated(96, 0)));
    }

    // Carried into the bleed, hatches, dashes and mirrored pictures still
    // lie inside the trim as they would without it.
    void insideTheTrimNothingChanges()
    {
        LayerItem hatched = shapeItem(QRect(0, 0, 200, 130), Blue, FillPattern::DiagonalCross);
        hatched.shape.outline = Qt::black;
        hatched.shape.outlinePattern = OutlinePattern::DashDot;
        QImage pixels = filled(QSize(30, 30), Green);
        QPainter(&pixels).fillRect(10, 0, 5, 30, QColor(Red));
        const std::vector<LayerItem> card{hatched, pictureItem(QRect(310, 100, 30, 90), pixels)};
        const QImage none = pageOf(card, {0, false});
        const QImage wide = pageOf(card, {MaxBleed, false});
        const int bleed = int(MaxBleed) * DotsPerMillimetre;
        const QRect trim = none.rect().adjusted(1, 1, -1, -1);
        QCOMPARE(wide.copy(trim.translated(bleed, bleed)), none.copy(trim));
        const QImage strip = wide.copy(0, bleed, bleed - 5, 100);
        QVERIFY(strip != filled(strip.size(), Qt::white).convertToFormat(QImage::Format_RGB32));
    }
};

class PrintShopFlattenTest : public QObject
{
    Q_OBJECT

private slots:
    // A half-transparent picture over a blue card shows the blend, also
    // mirrored into the bleed, under the green shape painted after it; the
    // PDF holds no transparency, which it would with the picture as it is.
    void transparentPicturesAreFlattened()
    {
        const QImage halfRed = filled(QSize(100, 100), QColor(255, 0, 0, 128));
        const std::vector<LayerItem> card{shapeItem(QRect(0, 0, 340, 190), Blue),
                                          pictureItem(QRect(0, 0, 100, 100), halfRed),
                                          shapeItem(QRect(50, 50, 100, 100), Green)};
        QCOMPARE(flattenedLayers(card), std::vector<int>{1});
        const QImage page = pageOf(card);
        QVERIFY(near(at(page, {20, 20}), qRgb(128, 0, 127)));
        QVERIFY(near(at(page, {-5, 20}), qRgb(128, 0, 127)));
        QCOMPARE(at(page, {70, 70}), Green);
        QCOMPARE(at(page, {120, 20}), Blue);

        const QSizeF media = geometry({}).media;
        QVERIFY(!hasTransparency(pdfOf(media, [&](QPainter& painter) { paintPage(painter, card, {}); })));
        QVERIFY(hasTransparency(
            pdfOf(media, [&](QPainter& painter) { painter.drawImage(QRectF(10, 10, 20, 20), halfRed); })));
    }

    // Every other kind of layer, and the marks, go to the PDF opaque as
    // they are.
    void opaqueLayersStayAsTheyAre()
    {
        LayerItem ellipse = shapeItem(QRect(200, 20, 100, 60), Red, FillPattern::ForwardDiagonal);
        ellipse.shape.kind = ShapeKind::Ellipse;
        ellipse.shape.outlinePattern = OutlinePattern::Dot;
        const std::vector<LayerItem> card{shapeItem(QRect(0, 0, 340, 190), Yellow, FillPattern::Cross), ellipse,
                                          textItem(QPoint(20, 20), QStringLiteral("Kovács Éva")),
                                          qrItem(QRect(20, 100, 60, 60)),
                                          pictureItem(QRect(100, 100, 50, 50), filled(QSize(5, 5), Qt::blue))};
        QVERIFY(flattenedLayers(card).empty());
        const Options marks{DefaultBleed, true};
        const QByteArray pdf =
            pdfOf(geometry(marks).media, [&](QPainter& painter) { paintPage(painter, card, marks); });
        QVERIFY(!hasTransparency(pdf));
    }

    void probeSeesOpacityAndTranslucentColours()
    {
        QVERIFY(paintsTransparency([](QPainter& painter) {
            painter.setOpacity(0.5);
            painter.drawImage(QPointF(0, 0), filled(QSize(2, 2), Qt::blue));
        }));
        QVERIFY(paintsTransparency([](QPainter& painter) { painter.fillRect(0, 0, 5, 5, QColor(0, 0, 0, 10)); }));
        QVERIFY(paintsTransparency([](QPainter& painter) {
            painter.setPen(QColor(0, 0, 0, 200));
            painter.drawText(QPointF(0, 10), QStringLiteral("a"));
        }));
        QVERIFY(!paintsTransparency([](QPainter& painter) {
            painter.setPen(Qt::black);
            painter.setBrush(Qt::red);
            painter.drawEllipse(0, 0, 5, 5);
        }));
    }
};

class PrintShopPreflightTest : public QObject
{
    Q_OBJECT

private slots:
    // Layers running off the edges, text, a sharp picture and a code of
    // large modules well inside: nothing to object to.
    void aCleanCardPasses()
    {
        LayerItem hairline = shapeItem(QRect(0, 150, 340, 40), Blue);
        hairline.shape.outlineWidth = 0;
        const std::vector<LayerItem> card{shapeItem(QRect(0, 0, 340, 190), Yellow), hairline,
                                          textItem(QPoint(12, 12), QStringLiteral("Kovács Éva"), 6),
                                          textItem(QPoint(0, 100), QStringLiteral("a szélén"), 6),
                                          pictureItem(QRect(200, 0, 140, 100), filled(QSize(700, 500), Qt::red)),
                                          qrItem(QRect(230, 90, 80, 80)),
                                          textItem(QPoint(-300, 20), QStringLiteral("nem látszik"), 4)};
        QCOMPARE(preflight(card, {}).size(), size_t(0));
    }

    // Each problem once, in layer order, for the layer it is in.
    void eachProblemIsFoundOnce()
    {
        const std::vector<LayerItem> card{pictureItem(QRect(100, 40, 100, 100), filled(QSize(150, 150), Qt::red)),
                                          pictureItem(QRect(20, 20, 200, 150), filled(QSize(50, 50), Qt::red), false),
                                          textItem(QPoint(100, 20), QStringLiteral("apró"), 5),
                                          textItem(QPoint(5, 120), QStringLiteral("szélén")),
                                          qrItem(QRect(250, 50, 40, 40)),
                                          pictureItem(QRect(20, 20, 80, 80),
                                                      filled(QSize(800, 800), QColor(0, 0, 0, 1)))};
        const std::vector<Finding> found = preflight(card, {});
        QStringList lines;
        for (const Finding& finding : found)
            lines << QString::number(finding.layer) + " " + finding.problem;
        QCOMPARE(lines, QStringList({
                            "0 a kép felbontása nyomtatott méretén 143 ppi; legalább 300 ppi kell",
                            "1 a kép felbontása nyomtatott méretén 95 ppi; legalább 300 ppi kell",
                            "2 a betűméret nyomtatva 5 pt; legalább 6 pt kell",
                            "3 csak 1,32 mm-re van a vágási vonaltól; legalább 3 mm kell",
                            "4 a QR-kód egy modulja 0,36 mm; legalább 0,4 mm kell",
                            "5 átlátszó részei vannak: 600 ppi-s képként kerül a PDF-be",
                        }));
    }

    // A picture read for the surface, at its box's size, is judged by the
    // pixels of its file; the report names its layers as the list does.
    void picturesAndNamesComeFromTheCard()
    {
        QImage photo = filled(QSize(800, 800), Qt::green).convertToFormat(QImage::Format_RGB32);
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        photo.save(&png, "PNG");
        LayerTable table = makeLayerTable();
        table.OpenTable();
        using Fields = std::vector<std::pair<std::string_view, FieldValue>>;
        const Fields text{{Field::sorszam, 1}, {Field::tipus, 0}, {Field::nev, std::string("Kov\xE1" "cs \xC9va")},
                          {Field::left, 1}, {Field::top, 30}, {Field::betumeret, 8},
                          {Field::betutipus, std::string("DejaVu Sans")}};
        const Fields picture{{Field::sorszam, 2}, {Field::tipus, 1}, {Field::left, 100}, {Field::top, 40},
                             {Field::width, 100}, {Field::height, 100}, {Field::kep, Blob{png.data().toStdString()}},
                             {Field::keptip, std::string(".png")}, {Field::strech, true}};
        for (const Fields& fields : {text, picture}) {
            table.AddNewRecord();
            for (const auto& [name, value] : fields)
                table.WriteField(name, value);
            table.PostRecord();
        }
        const std::optional<LayerItem> shown = readLayerItem(table, PictureScale::Display);
        QCOMPARE(shown->picture.size(), QSize(100, 100));
        QCOMPARE(shown->pictureSource, QSize(800, 800));
        QVERIFY(preflight({*shown}, {}).empty());

        std::vector<std::vector<FieldValue>> records;
        for (int row = 0; row < table.StoredCount(); ++row)
            records.push_back(table.StoredRecord(row));
        const auto report = cardReport(table.Fields(), std::move(records));
        QCOMPARE(report->PrintableNames, (std::vector<QString>{QStringLiteral("Kovács Éva"), QString()}));
        const std::vector<Finding> found = preflight(report->Printables, {});
        QCOMPARE(found.size(), size_t(1));
        QCOMPARE(describe(found[0], report->PrintableNames),
                 QStringLiteral("„Kovács Éva”: csak 0,26 mm-re van a vágási vonaltól; legalább 3 mm kell"));
        QCOMPARE(describe({1, QStringLiteral("baj")}, report->PrintableNames), QStringLiteral("2. réteg: baj"));
    }
};

REGISTER_TEST(PrintShopGeometryTest)
REGISTER_TEST(PrintShopPaintTest)
REGISTER_TEST(PrintShopFlattenTest)
REGISTER_TEST(PrintShopPreflightTest)

#include "PrintShopTest.moc"
