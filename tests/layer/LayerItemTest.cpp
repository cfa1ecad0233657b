#include "layer/LayerItem.h"
#include "layer/LayerRecord.h"
#include "tests/TestRegistry.h"
#include "tests/metafile/MetafileBuilder.h"
#include "tests/layer/OneRecord.h"

#include <QBuffer>
#include <QPainter>
#include <QTest>

namespace {

// A green picture with a red top-left quarter.
Blob quarteredPng(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter(&image).fillRect(0, 0, size.width() / 2, size.height() / 2, Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return Blob{bytes.toStdString()};
}

QImage paintedOnCard(const LayerItem& item)
{
    QImage card(340, 190, QImage::Format_RGB32);
    card.fill(Qt::white);
    QPainter painter(&card);
    paintLayer(painter, item, item.box);
    return card;
}

} // namespace

class LayerItemTest : public QObject
{
    Q_OBJECT

private slots:
    void textItemIsAsLargeAsItsTextAtTheLayersPlace()
    {
        LayerTable Tbl = oneRecord({{"tipus", 0}, {"nev", std::string("Anna")}, {"left", 30}, {"top", 40},
                                    {"betutipus", std::string("Liberation Sans")}, {"betumeret", 20},
                                    {"szin", 255}, {"width", 5}, {"height", 5}});
        const std::optional<LayerItem> item = readLayerItem(Tbl, PictureScale::Display);
        QVERIFY(item && item->kind == LayerKind::Text);
        QCOMPARE(item->box, QRect(QPoint(30, 40), textExtent(item->text)));
        QVERIFY(item->box.width() > 40 && item->box.height() > 20);

        const QImage card = paintedOnCard(*item);
        int red = 0;
        for (int y = 0; y < card.height(); ++y)
            for (int x = 0; x < card.width(); ++x)
                if (card.pixel(x, y) != qRgb(255, 255, 255)) {
                    QVERIFY2(item->box.contains(x, y), qPrintable(QString("%1,%2").arg(x).arg(y)));
                    red += qRed(card.pixel(x, y)) > 200 && qGreen(card.pixel(x, y)) < 60;
                }
        QVERIFY(red > 20);
    }

    void shapeItemFillsItsBox()
    {
        LayerTable Tbl = oneRecord({{"tipus", 2}, {"left", 100}, {"top", 50}, {"width", 40}, {"height", 20},
                                    {"brushcolor", 255}, {"pencolor", 0}, {"penwidth", 2}});
        const std::optional<LayerItem> item = readLayerItem(Tbl, PictureScale::Display);
        QVERIFY(item && item->kind == LayerKind::Shape);
        QCOMPARE(item->box, QRect(100, 50, 40, 20));
        const QImage card = paintedOnCard(*item);
        QCOMPARE(card.pixel(100, 50), qRgb(0, 0, 0));
        QCOMPARE(card.pixel(101, 69), qRgb(0, 0, 0));
        QCOMPARE(card.pixel(120, 60), qRgb(255, 0, 0));
        QCOMPARE(card.pixel(99, 60), qRgb(255, 255, 255));
        QCOMPARE(card.pixel(140, 60), qRgb(255, 255, 255));
    }

    // The surface decodes a stretched picture at its box's size and keeps
    // it; the paper takes the picture's own pixels. Either way the box is
    // the layer's.
    void pictureItemDecodesForItsUse()
    {
        LayerTable Tbl = oneRecord({{"tipus", 1}, {"left", 10}, {"top", 20}, {"width", 60}, {"height", 30},
                                    {"kep", quarteredPng({200, 100})}, {"keptip", std::string(".PNG")},
                                    {"strech", true}});
        const std::optional<LayerItem> shown = readLayerItem(Tbl, PictureScale::Display);
        QVERIFY(shown && shown->kind == LayerKind::Picture && shown->stretch);
        QCOMPARE(shown->box, QRect(10, 20, 60, 30));
        QCOMPARE(shown->picture.size(), QSize(60, 30));
        const std::optional<LayerItem> paper = readLayerItem(Tbl, PictureScale::Paper);
        QCOMPARE(paper->picture.size(), QSize(200, 100));

        for (const LayerItem& item : {*shown, *paper}) {
            const QImage card = paintedOnCard(item);
            QCOMPARE(card.pixel(12, 22), qRgb(255, 0, 0));
            QCOMPARE(card.pixel(67, 47), qRgb(0, 255, 0));
            QCOMPARE(card.pixel(70, 35), qRgb(255, 255, 255));
        }

        Tbl.EditRecord();
        Tbl.WriteField("strech", false);
        Tbl.PostRecord();
        const QImage natural = paintedOnCard(*readLayerItem(Tbl, PictureScale::Display));
        QCOMPARE(natural.pixel(67, 47), qRgb(255, 0, 0));  // still in the red quarter
    }

    // However large its box, no more of a picture is decoded for the
    // surface than the card box can show.
    void surfacePicturesAreDecodedNoLargerThanTheCardBox()
    {
        LayerTable Tbl = oneRecord({{"tipus", 1}, {"width", 30000}, {"height", 30000},
                                    {"kep", quarteredPng({640, 480})}, {"keptip", std::string(".png")},
                                    {"strech", true}});
        QCOMPARE(readLayerItem(Tbl, PictureScale::Display)->picture.size(), SurfaceSize);
        QCOMPARE(readLayerItem(Tbl, PictureScale::Paper)->picture.size(), QSize(640, 480));
        Tbl.EditRecord();
        Tbl.WriteField("strech", false);
        Tbl.WriteField("width", 30);
        Tbl.WriteField("height", 20);
        Tbl.PostRecord();
        QCOMPARE(readLayerItem(Tbl, PictureScale::Display)->picture.size(), QSize(30, 20));
    }

    // A picture that cannot be shown leaves the layer standing, with the
    // decoder's message; codes that draw nothing give no item.
    void brokenPicturesAndOtherKinds()
    {
        LayerTable Tbl = oneRecord({{"tipus", 1}, {"kep", Blob{"not a picture"}}, {"keptip", std::string(".gif")}});
        const std::optional<LayerItem> item = readLayerItem(Tbl, PictureScale::Display);
        QVERIFY(item && item->picture.isNull());
        QCOMPARE(QString::fromStdString(item->pictureError), QString("Unknown picture file extension (.gif)"));

        QVERIFY(!readLayerItem(oneRecord({{"tipus", 7}}), PictureScale::Display));
        QVERIFY(!readLayerItem(oneRecord({{"tipus", std::monostate{}}}), PictureScale::Display));
    }

    // A metafile layer is drawn from its commands on every surface: scaled
    // to the box, or at its own size from the top-left corner, cut at the box.
    void metafilePicturesStretchOrAreCut()
    {
        EmfBuilder emf(QSize(40, 10));
        fillRect(emf, Qt::blue, QRect(0, 0, 20, 10));
        fillRect(emf, Qt::red, QRect(20, 0, 20, 10), 2);
        const std::string bytes = emf.finish();

        for (const PictureScale scale : {PictureScale::Display, PictureScale::Paper}) {
            for (bool stretch : {true, false}) {
                const LayerTable Tbl = oneRecord({{"tipus", 1}, {"kep", Blob{bytes}}, {"keptip", std::string(".EMF")},
                                                  {"left", 10}, {"top", 10}, {"width", 30}, {"height", 40},
                                                  {"strech", stretch}});
                const std::optional<LayerItem> item = readLayerItem(Tbl, scale);
                QVERIFY(item && item->pictureError.empty());
                QVERIFY(item->picture.isVector());
                QCOMPARE(item->picture.size(), QSize(40, 10));

                QImage image(100, 100, QImage::Format_RGB32);
                image.fill(Qt::white);
                QPainter painter(&image);
                paintLayer(painter, *item, item->box);
                painter.end();
                QCOMPARE(image.pixel(12, 12), qRgb(0, 0, 255));
                QCOMPARE(image.pixel(38, stretch ? 48 : 12), qRgb(255, 0, 0));
                QCOMPARE(image.pixel(38, 30), stretch ? qRgb(255, 0, 0) : qRgb(255, 255, 255));
                // Never beyond the box, though the picture is wider.
                QCOMPARE(image.pixel(45, 12), qRgb(255, 255, 255));
            }
        }

        // Bytes that are no metafile are a damaged picture, not a crash.
        const std::optional<LayerItem> broken = readLayerItem(
            oneRecord({{"tipus", 1}, {"kep", Blob{"EMF? no"}}, {"keptip", std::string(".wmf")}, {"width", 9},
                       {"height", 9}}),
            PictureScale::Display);
        QVERIFY(broken && broken->picture.isNull());
        QCOMPARE(QString::fromStdString(broken->pictureError),
                 QString("The .wmf picture cannot be read: its data is damaged or is not a .wmf picture"));
    }
};

REGISTER_TEST(LayerItemTest)

#include "LayerItemTest.moc"
