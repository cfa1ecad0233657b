#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/SheetLayout.h"
#include "print/rptLapora.h"
#include "layer/LayerRecord.h"
#include "tests/TestRegistry.h"
#include "tests/metafile/MetafileBuilder.h"

#include <QBuffer>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

namespace {

// At 254 dpi a millimetre is ten pixels.
constexpr int Dpi = 254;
QPoint at(double xMillimetres, double yMillimetres)
{
    return QPoint(int(xMillimetres * 10), int(yMillimetres * 10));
}

const QRgb White = qRgb(255, 255, 255);
const QRgb Grey = qRgb(128, 128, 128);

Blob png(QSize size, QColor color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return Blob{bytes.toStdString()};
}

using Fields = std::vector<std::pair<const char*, FieldValue>>;

// A report of the given layers, read back through a card file as the
// print job does.
std::unique_ptr<TqrLapora> reportOf(const std::vector<Fields>& layers)
{
    static QTemporaryDir dir;
    LayerTable table = makeLayerTable();
    table.OpenTable();
    int number = 0;
    for (const Fields& fields : layers) {
        table.AddNewRecord();
        table.WriteField("sorszam", ++number);
        for (const auto& [name, value] : fields)
            table.WriteField(name, value);
        table.PostRecord();
    }
    const QString path = dir.filePath("card.bcrd");
    table.SaveFile(path.toStdString());
    return loadCardReport(path);
}

} // namespace

class SheetTest : public QObject
{
    Q_OBJECT

private slots:
    void copiesFillTheFirstColumnThenTheSecond()
    {
        const QList<QPointF> expected = {{15, 10},    {15, 60.3}, {15, 110.6}, {15, 160.9}, {15, 211.2},
                                         {105, 10},   {105, 60.3}, {105, 110.6}, {105, 160.9}, {105, 211.2}};
        for (int copy = 1; copy <= 10; ++copy) {
            QCOMPARE(sheet::copyOrigin(copy).x(), expected[copy - 1].x());
            QVERIFY(qAbs(sheet::copyOrigin(copy).y() - expected[copy - 1].y()) < 1e-9);
        }
        QVERIFY(qAbs(sheet::CardBand.width() - 89.958) < 0.001 && qAbs(sheet::CardBand.height() - 50.271) < 0.001);
        // The last copy ends above the footer.
        QVERIFY(sheet::copyOrigin(5).y() + sheet::CardBand.height() <= sheet::Footer.top());
        const auto marks = sheet::cornerMarks();
        QCOMPARE(marks[1].box.right(), 90.223);
        QVERIFY(qAbs(marks[2].box.bottom() - 50.536) < 0.001);
        QCOMPARE(sheet::markLines(marks[3])[0], QRectF(88.9, 49.213 + 1.058 - 25.4 / 72, 1.058, 25.4 / 72));
    }

    // Copy 1 of the sheet at 10 pixels a millimetre: a shape at 100, 50 of
    // 40 × 20 pixels from 41.458, 23.229 mm, its 5-pixel outline 1.32 mm
    // wide; a 50 × 50 picture at its own size 13.229 mm square; the marks
    // in grey; nothing where no layer is.
    void sheetReproducesTheCardAt96PixelsPerInch()
    {
        const auto report = reportOf({
            {{"tipus", 2}, {"left", 100}, {"top", 50}, {"width", 40}, {"height", 20}, {"brushcolor", 255},
             {"pencolor", 0}, {"penwidth", 5}},
            {{"tipus", 1}, {"left", 200}, {"top", 100}, {"width", 100}, {"height", 100},
             {"kep", png({50, 50}, Qt::blue)}, {"keptip", std::string(".png")}, {"strech", false}},
            {{"tipus", 0}, {"nev", std::string("Anna")}, {"left", 0}, {"top", 0},
             {"betutipus", std::string("Liberation Sans")}, {"betumeret", 12}},
            {{"tipus", 3}, {"left", 0}, {"top", 100}},
        });
        const QImage page = pagePicture(jobOf(*report), 0, Dpi);
        QCOMPARE(page.size(), QSize(2100, 2970));

        // The outline runs 13 pixels in from the left edge at 41.458 mm.
        const int middle = at(0, 23.229 + 2.646).y();
        QCOMPARE(page.pixel(413, middle), White);
        for (int x = 416; x <= 426; ++x)
            QCOMPARE(page.pixel(x, middle), qRgb(0, 0, 0));
        QCOMPARE(page.pixel(430, middle), qRgb(255, 0, 0));
        QCOMPARE(page.pixel(at(41.458 + 10.583 + 0.3, 25).x(), middle), White);
        QCOMPARE(page.pixel(at(30, 23.229 + 5.292 + 0.3).x(), at(0, 23.229 + 5.292 + 0.3).y()), White);

        const double left = 15 + 200 * sheet::MillimetresPerPixel;
        const double top = 10 + 100 * sheet::MillimetresPerPixel;
        QCOMPARE(page.pixel(at(left + 6, top + 6)), qRgb(0, 0, 255));
        QCOMPARE(page.pixel(at(left + 13.229 - 0.2, top + 13.229 - 0.2)), qRgb(0, 0, 255));
        QCOMPARE(page.pixel(at(left + 13.229 + 0.2, top + 6)), White);

        int ink = 0;
        for (int y = 100; y < 160; ++y)
            for (int x = 150; x < 300; ++x)
                ink += qGray(page.pixel(x, y)) < 100;
        QVERIFY2(ink > 100, "the text");

        // Copy 10 is copy 1 again.
        const QPointF tenth = sheet::copyOrigin(10) - sheet::copyOrigin(1);
        QCOMPARE(page.pixel(QPoint(430, middle) + at(tenth.x(), tenth.y())), qRgb(255, 0, 0));
    }

    // A card without layers: ten white cards framed by their marks, and
    // the footer.
    void emptyCardGivesTenFramedCardsAndTheFooter()
    {
        const QImage page = pagePicture(jobOf(*reportOf({})), 0, Dpi);
        for (int copy = 1; copy <= 10; ++copy) {
            const QPointF origin = sheet::copyOrigin(copy);
            for (const sheet::CornerMark& mark : sheet::cornerMarks()) {
                for (const QRectF& line : sheet::markLines(mark)) {
                    const QPointF centre = origin + line.center();
                    QCOMPARE(page.pixel(at(centre.x(), centre.y())), Grey);
                }
                const QPointF inside = origin + mark.box.center();
                QCOMPARE(page.pixel(at(inside.x(), inside.y())), White);
            }
            const QPointF centre = origin + QPointF(45, 25);
            QCOMPARE(page.pixel(at(centre.x(), centre.y())), White);
        }
        int footerInk = 0;
        int elsewhere = 0;
        for (int y = 2800; y < 2970; ++y)
            for (int x = 0; x < 2100; ++x)
                (y >= 2814 && y < 2870 ? footerInk : elsewhere) += qGray(page.pixel(x, y)) < 128;
        QVERIFY(footerInk > 200);
        QCOMPARE(elsewhere, 0);
    }

    // A metafile goes to paper as drawing commands: edges sharp at the
    // printer's resolution, and paths in the PDF, not a bitmap.
    void metafilesPrintAsVectors()
    {
        EmfBuilder emf(QSize(40, 20));
        fillRect(emf, Qt::red, QRect(0, 0, 20, 20));
        fillRect(emf, Qt::blue, QRect(20, 0, 20, 20), 2);
        const std::vector<Fields> card{{{"tipus", 1}, {"left", 100}, {"top", 50}, {"width", 100}, {"height", 50},
                                        {"kep", Blob{emf.finish()}}, {"keptip", std::string(".emf")},
                                        {"strech", true}}};
        const auto report = reportOf(card);
        const QImage page = pagePicture(jobOf(*report), 0, Dpi);
        // The red half ends, and the blue half begins, at 50 card pixels in.
        const double left = 15 + 100 * sheet::MillimetresPerPixel;
        const double top = 10 + 50 * sheet::MillimetresPerPixel;
        const double middle = left + 50 * sheet::MillimetresPerPixel;
        const double y = top + 25 * sheet::MillimetresPerPixel;
        QCOMPARE(page.pixel(at(left + 0.3, y)), qRgb(255, 0, 0));
        QCOMPARE(page.pixel(at(middle - 0.2, y)), qRgb(255, 0, 0));
        QCOMPARE(page.pixel(at(middle + 0.2, y)), qRgb(0, 0, 255));
        QCOMPARE(page.pixel(at(left - 0.2, y)), White);
        QCOMPARE(page.pixel(at(left + 0.3, top - 0.2)), White);

        auto imagesIn = [](const TqrLapora& printed) {
            QByteArray pdf;
            QBuffer out(&pdf);
            out.open(QIODevice::WriteOnly);
            writeSheetPdf(jobOf(printed), &out);
            return pdf.count("/Subtype /Image");
        };
        QCOMPARE(imagesIn(*report), 0);
        // The same layer as a PNG is a bitmap in the PDF: the count sees one.
        QVERIFY(imagesIn(*reportOf({{{"tipus", 1}, {"left", 100}, {"top", 50}, {"width", 100}, {"height", 50},
                                     {"kep", png({40, 20}, Qt::red)}, {"keptip", std::string(".png")}}})) > 0);
    }

    // A picture that cannot be decoded stops the job with its message.
    void undecodablePictureStopsTheReport()
    {
        try {
            reportOf({{{"tipus", 1}, {"kep", Blob{"junk"}}, {"keptip", std::string(".png")}}});
            QFAIL("no error");
        } catch (const std::exception& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QString("The .png picture cannot be read: its data is damaged or is not a .png picture"));
        }
    }
};

REGISTER_TEST(SheetTest)

#include "SheetTest.moc"
