#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/SheetLayout.h"
#include "print/rptLapora.h"
#include "layer/LayerRecord.h"
#include "tests/TestRegistry.h"

#include <QTemporaryDir>
#include <QTest>

namespace {

using sheet::Flip;
using sheet::Placement;

// At 254 dpi a millimetre is ten dots.
constexpr int Dpi = 254;

std::vector<LayerItem> layersOf(const std::vector<std::vector<std::pair<const char*, FieldValue>>>& layers)
{
    static QTemporaryDir dir;
    LayerTable table = makeLayerTable();
    table.OpenTable();
    int number = 0;
    for (const auto& fields : layers) {
        table.AddNewRecord();
        table.WriteField("sorszam", ++number);
        for (const auto& [name, value] : fields)
            table.WriteField(name, value);
        table.PostRecord();
    }
    const QString path = dir.filePath("card.bcrd");
    table.SaveFile(path.toStdString());
    return loadCardReport(path)->Printables;
}

// A black shape filling a box, nothing else.
std::vector<LayerItem> blackBox(int left, int top, int width, int height)
{
    return layersOf({{{"tipus", 2}, {"left", left}, {"top", top}, {"width", width}, {"height", height},
                      {"brushcolor", 0}, {"pencolor", 0}, {"penwidth", 1}}});
}

bool dark(const QImage& image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qGray(image.pixel(x, y)) < 60;
}

// The dark area around a dot: its left, top, right and bottom dot.
QRect darkAreaAround(const QImage& image, QPoint inside)
{
    int left = inside.x(), right = inside.x(), top = inside.y(), bottom = inside.y();
    while (dark(image, left - 1, inside.y()))
        --left;
    while (dark(image, right + 1, inside.y()))
        ++right;
    while (dark(image, inside.x(), top - 1))
        --top;
    while (dark(image, inside.x(), bottom + 1))
        ++bottom;
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

// Millimetres to dots at 254 dpi.
double dots(double mm)
{
    return mm * Dpi / 25.4;
}

} // namespace

class CardStockTest : public QObject
{
    Q_OBJECT

private slots:
    // Copies fill the first sheet from the start position on, then further
    // sheets from position 1.
    void copiesFillFromTheStartPosition()
    {
        const std::vector<Placement> thirteen = sheet::placements(13, 4);
        QCOMPARE(thirteen.size(), size_t(13));
        QCOMPARE(thirteen.front(), (Placement{0, 4}));
        QCOMPARE(thirteen[6], (Placement{0, 10}));
        QCOMPARE(thirteen[7], (Placement{1, 1}));
        QCOMPARE(thirteen.back(), (Placement{1, 6}));
        QCOMPARE(sheet::sheetCount(13, 4), 2);
        QCOMPARE(sheet::sheetCount(7, 4), 1);
        QCOMPARE(sheet::sheetCount(1000, 1), 100);
        QCOMPARE(sheet::sheetCount(1000, 10), 101);
        QCOMPARE(sheet::placements(1, 10), std::vector<Placement>({{0, 10}}));
        PrintJob job;
        job.copies = 13;
        job.start = 4;
        QCOMPARE(pageCount(job), 2);
        job.cards.setBack({});
        QCOMPARE(pageCount(job), 4);
    }

    // Turned over its edge, each back card lies exactly behind its front
    // card: the back page's coordinates, turned over, give the front's box.
    void backCardsLieBehindTheirFrontCards_data()
    {
        QTest::addColumn<int>("flip");
        QTest::newRow("long edge") << int(Flip::Long);
        QTest::newRow("short edge") << int(Flip::Short);
    }

    void backCardsLieBehindTheirFrontCards()
    {
        QFETCH(int, flip);
        const Flip edge = Flip(flip);
        auto turned = [&](QPointF back) {
            return edge == Flip::Long ? QPointF(sheet::Paper.width() - back.x(), back.y())
                                      : QPointF(back.x(), sheet::Paper.height() - back.y());
        };
        for (int position = 1; position <= sheet::Copies; ++position) {
            const QRectF front(sheet::copyOrigin(position), sheet::CardBand);
            const QRectF back(sheet::backOrigin(position, edge), sheet::CardBand);
            const QRectF behind = QRectF(turned(back.topLeft()), turned(back.bottomRight())).normalized();
            QVERIFY(qAbs(behind.left() - front.left()) < 0.1 && qAbs(behind.top() - front.top()) < 0.1);
            QVERIFY(qAbs(behind.right() - front.right()) < 0.1 && qAbs(behind.bottom() - front.bottom()) < 0.1);
        }
        // Position 1 is behind the top-right corner (long) or the bottom-left
        // one (short).
        QVERIFY(sheet::backOrigin(1, Flip::Long).x() > 100 && sheet::backOrigin(1, Flip::Short).y() > 200);
    }

    // Two readings of the calibration sheet give the calibration that puts
    // every point where it belongs on that printer; impossible readings are
    // refused with their message.
    void calibrationFromTwoReadings()
    {
        QCOMPARE(sheet::calibrationFromReadings({20, 20}, {20, 20}), sheet::Calibration());
        // A printer that shifts by 1.5 mm right and 0.8 mm up, and prints
        // 1 % too large across and 0.5 % too small down.
        auto printer = [](QPointF p) { return QPointF(p.x() * 1.01 + 1.5, p.y() * 0.995 - 0.8); };
        const QPointF a = printer(sheet::CalibrationTopLeft);
        const QPointF b = printer(sheet::CalibrationBottomRight);
        const sheet::Calibration calibration =
            sheet::calibrationFromReadings(a, QPointF(sheet::Paper.width() - b.x(), sheet::Paper.height() - b.y()));
        for (const QPointF wanted : {QPointF(0, 0), QPointF(15, 10), QPointF(105, 211.2), QPointF(210, 297)}) {
            const QPointF landed = printer(sheet::calibrated(calibration, wanted));
            QVERIFY(qAbs(landed.x() - wanted.x()) < 0.001 && qAbs(landed.y() - wanted.y()) < 0.001);
        }
        QVERIFY(qAbs(calibration.scale.x() - 100 / 1.01) < 1e-9);
        QVERIFY_THROWS_EXCEPTION(CalibrationError, sheet::calibrationFromReadings({20, 20}, {200, 20}));
        QVERIFY_THROWS_EXCEPTION(CalibrationError, sheet::calibrationFromReadings({45, 20}, {20, 20}));
        QVERIFY(!sheet::withinLimits({{0, 0}, {150, 100}}) && sheet::withinLimits({{-20, 20}, {90, 110}}));
    }

    // At 254 dpi: a shape's box and the corner marks land where the
    // numbers say, to a dot, with the start position, a calibration, and on
    // the back page behind its front.
    void renderedSheetsPutCardsWhereTheNumbersSay()
    {
        PrintJob job;
        job.cards = CardSource(blackBox(100, 50, 40, 20));
        job.cards.setBack(blackBox(0, 0, 20, 10));
        job.copies = 2;
        job.start = 4;
        job.calibration.front = {{2, -1}, {101, 99}};
        job.calibration.back = {{-1.5, 0.5}, {100, 100}};
        QCOMPARE(pageCount(job), 2);
        const QImage pages[2] = {pagePicture(job, 0, Dpi), pagePicture(job, 1, Dpi)};

        // Front: copies 4 and 5, the shape 100, 50 px from the band.
        for (int position : {4, 5}) {
            const QPointF band = sheet::copyOrigin(position);
            const QPointF topLeft = sheet::calibrated(job.calibration.front,
                                                      band + QPointF(100, 50) * sheet::MillimetresPerPixel);
            const QPointF bottomRight = sheet::calibrated(job.calibration.front,
                                                          band + QPointF(140, 70) * sheet::MillimetresPerPixel);
            const QRect found = darkAreaAround(pages[0], QPoint(int(dots((topLeft.x() + bottomRight.x()) / 2)),
                                                                int(dots((topLeft.y() + bottomRight.y()) / 2))));
            QVERIFY2(qAbs(found.left() - dots(topLeft.x())) <= 1 && qAbs(found.top() - dots(topLeft.y())) <= 1,
                     qPrintable(QString("copy %1 at %2, %3").arg(position).arg(found.left()).arg(found.top())));
            QVERIFY(qAbs(found.right() + 1 - dots(bottomRight.x())) <= 1);
            QVERIFY(qAbs(found.bottom() + 1 - dots(bottomRight.y())) <= 1);
            // Its top-left corner mark, grey, at the band's corner.
            const QPointF mark = sheet::calibrated(job.calibration.front, band);
            QVERIFY(qGray(pages[0].pixel(int(dots(mark.x())) + 2, int(dots(mark.y())) + 1)) < 200);
        }
        // Nothing where positions 1 to 3 are: the user's stock is used there.
        const QPointF first = sheet::calibrated(job.calibration.front, sheet::copyOrigin(1) + QPointF(30, 15));
        QCOMPARE(pages[0].pixel(int(dots(first.x())), int(dots(first.y()))), qRgb(255, 255, 255));

        // Back: behind copy 4, turned over the long edge.
        const QPointF back = sheet::calibrated(job.calibration.back, sheet::backOrigin(4, Flip::Long));
        const QRect found = darkAreaAround(pages[1], QPoint(int(dots(back.x())) + 20, int(dots(back.y())) + 10));
        QVERIFY(qAbs(found.left() - dots(back.x())) <= 1 && qAbs(found.top() - dots(back.y())) <= 1);
        QVERIFY(qAbs(found.width() - dots(20 * sheet::MillimetresPerPixel)) <= 1);
    }
};

REGISTER_TEST(CardStockTest)

#include "CardStockTest.moc"
