#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/SheetLayout.h"
#include "print/rptLapora.h"
#include "layer/LayerRecord.h"
#include "tests/TestRegistry.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <QTest>

namespace {

using sheet::Flip;
using sheet::PaperSize;

// At 254 dpi a millimetre is ten dots; 0.2 mm is two.
constexpr int Dpi = 254;
constexpr double Near = 2;
constexpr double Inch = 25.4;
const double BandWidth = 340 * 25.4 / 96;
const double BandHeight = 190 * 25.4 / 96;

double dots(double mm)
{
    return mm * Dpi / 25.4;
}

// A black box of 40 × 30 card pixels, its centre 110, 50 pixels left of
// and above the card's centre: where it lands tells the card's place, its
// scale and which way up it is.
std::vector<LayerItem> marker()
{
    static QTemporaryDir dir;
    LayerTable table = makeLayerTable();
    table.OpenTable();
    table.AddNewRecord();
    table.WriteField("sorszam", 1);
    const std::pair<const char*, FieldValue> fields[] = {{"tipus", 2},     {"left", 40},      {"top", 30},
                                                         {"width", 40},    {"height", 30},    {"brushcolor", 0},
                                                         {"pencolor", 0},  {"penwidth", 1}};
    for (const auto& [name, value] : fields)
        table.WriteField(name, value);
    table.PostRecord();
    const QString path = dir.filePath("marker.bcrd");
    table.SaveFile(path.toStdString());
    return loadCardReport(path)->Printables;
}
const QPointF MarkerFromCentre = QPointF(60 - 170, 45 - 95) * sheet::MillimetresPerPixel;
const QSizeF MarkerSize = QSizeF(40, 30) * sheet::MillimetresPerPixel;

bool dark(const QImage& image, int x, int y)
{
    return x >= 0 && y >= 0 && x < image.width() && y < image.height() && qGray(image.pixel(x, y)) < 60;
}

// The dark box around a dot, in millimetres.
QRectF darkBoxAround(const QImage& image, QPointF insideMm)
{
    const QPoint inside(int(dots(insideMm.x())), int(dots(insideMm.y())));
    int left = inside.x(), right = inside.x(), top = inside.y(), bottom = inside.y();
    while (dark(image, left - 1, inside.y()))
        --left;
    while (dark(image, right + 1, inside.y()))
        ++right;
    while (dark(image, inside.x(), top - 1))
        --top;
    while (dark(image, inside.x(), bottom + 1))
        ++bottom;
    return QRectF(left / 10.0, top / 10.0, (right + 1 - left) / 10.0, (bottom + 1 - top) / 10.0);
}

SheetLayout custom(PaperSize paper, int columns, int rows, QPointF first, QPointF pitch, QSizeF card)
{
    SheetLayout layout;
    layout.name = QStringLiteral("Egyéni lap");
    layout.paper = paper;
    layout.columns = columns;
    layout.rows = rows;
    layout.first = first;
    layout.pitch = pitch;
    layout.card = card;
    return layout;
}

// Each layout with the scale its stock card takes our card at, worked out
// from the stock card's size alone.
struct Stock
{
    SheetLayout layout;
    double scale;
};

const std::vector<Stock>& stocks()
{
    static const std::vector<Stock> all = {
        {sheetNamed("Lapora A4, 10"), 1},
        {sheetNamed("Rayfilm VIZ1"), 1},
        {sheetNamed("Rayfilm VIZ2"), 1},
        {sheetNamed("Avery L7414"), 1},
        {sheetNamed("Avery Zweckform C32010, C32011"), 85 / BandWidth},
        {sheetNamed("avery zweckform c32015"), 85 / BandWidth},
        {sheetNamed("Avery 5371, 8371"), 3.5 * Inch / BandWidth},
        // US Letter, a larger stock card: our card at its own size.
        {custom(PaperSize::Letter, 2, 4, {19, 12.7}, {95, 60}, {92, 55}), 1},
        // Within half a millimetre: at its own size, a little over its stock.
        {custom(PaperSize::A4, 2, 5, {15, 10}, {90, 55}, {89.6, 50}), 1},
    };
    return all;
}

QPointF stockCentre(const SheetLayout& layout, int position)
{
    const int column = (position - 1) / layout.rows;
    const int row = (position - 1) % layout.rows;
    return layout.first + QPointF(column * layout.pitch.x(), row * layout.pitch.y())
        + QPointF(layout.card.width() / 2, layout.card.height() / 2);
}

QByteArray pdfOf(const PrintJob& job)
{
    QByteArray pdf;
    QBuffer out(&pdf);
    out.open(QIODevice::WriteOnly);
    writeSheetPdf(job, &out);
    return pdf;
}

} // namespace

class SheetLayoutTest : public QObject
{
    Q_OBJECT

private slots:
    // A sheet of each layout with its back: on the front the marker of
    // every copy sits where our card, centred in its stock card and scaled
    // as the stock card's size asks, puts it; on the back page the card
    // behind each copy sits at the stock card's centre mirrored over the
    // edge the sheet is turned over, upright.
    void markersLandWhereEachLayoutPutsThem_data()
    {
        QTest::addColumn<int>("stock");
        QTest::addColumn<int>("flip");
        for (int i = 0; i < int(stocks().size()); ++i) {
            const QString name = stocks()[std::size_t(i)].layout.name + QStringLiteral(" %1");
            QTest::newRow(qPrintable(name.arg(i) + " long")) << i << int(Flip::Long);
            QTest::newRow(qPrintable(name.arg(i) + " short")) << i << int(Flip::Short);
        }
    }

    void markersLandWhereEachLayoutPutsThem()
    {
        QFETCH(int, stock);
        QFETCH(int, flip);
        const auto& [layout, scale] = stocks()[std::size_t(stock)];
        checkSheet(layout);
        PrintJob job;
        job.sheet = layout;
        job.cards = CardSource(marker());
        job.cards.setBack(marker());
        job.copies = layout.cardCount();
        job.flip = Flip(flip);
        QCOMPARE(pageCount(job), 2);
        const QImage front = pagePicture(job, 0, Dpi);
        const QImage back = pagePicture(job, 1, Dpi);
        const QSizeF paper = layout.paperSize();
        QCOMPARE(front.size(), QSize(qRound(dots(paper.width())), qRound(dots(paper.height()))));

        for (int position = 1; position <= layout.cardCount(); ++position) {
            const QPointF centre = stockCentre(layout, position);
            const QPointF turned = job.flip == Flip::Long ? QPointF(paper.width() - centre.x(), centre.y())
                                                          : QPointF(centre.x(), paper.height() - centre.y());
            for (const auto& [page, cardCentre] : {std::pair(&front, centre), std::pair(&back, turned)}) {
                const QPointF expected = cardCentre + MarkerFromCentre * scale;
                const QRectF found = darkBoxAround(*page, expected);
                const QString where = QStringLiteral("position %1 %2: found %3, %4, wanted %5, %6")
                                          .arg(position)
                                          .arg(page == &front ? "front" : "back")
                                          .arg(found.center().x())
                                          .arg(found.center().y())
                                          .arg(expected.x())
                                          .arg(expected.y());
                QVERIFY2(dots(qAbs(found.center().x() - expected.x())) <= Near
                             && dots(qAbs(found.center().y() - expected.y())) <= Near,
                         qPrintable(where));
                QVERIFY2(dots(qAbs(found.width() - MarkerSize.width() * scale)) <= Near
                             && dots(qAbs(found.height() - MarkerSize.height() * scale)) <= Near,
                         qPrintable(where));
            }
        }
    }

    // Copies run over sheets of the layout's card count; a PDF's pages are
    // the layout's paper; a layout's PNG of the program's own sheet is the
    // default's.
    void jobsFollowTheLayoutsPaperAndCount()
    {
        QCOMPARE(sheet::placements(5, 7, 8),
                 (std::vector<sheet::Placement>{{0, 7}, {0, 8}, {1, 1}, {1, 2}, {1, 3}}));
        PrintJob job;
        job.sheet = sheetNamed("Avery Zweckform C32015");
        job.cards = CardSource(marker());
        job.copies = 5;
        job.start = 7;
        QCOMPARE(pageCount(job), 2);
        const QImage second = pagePicture(job, 1, Dpi);
        const QPointF d = MarkerFromCentre * stocks()[5].scale;
        for (int position = 1; position <= 4; ++position)
            QCOMPARE(dark(second, int(dots((stockCentre(job.sheet, position) + d).x())),
                          int(dots((stockCentre(job.sheet, position) + d).y()))),
                     position <= 3);

        job.sheet = sheetNamed("Avery 5371, 8371");
        QVERIFY(pdfOf(job).contains("/MediaBox [0 0 612.000000 792.000000]"));
        job.sheet = SheetLayout();
        QVERIFY(pdfOf(job).contains("/MediaBox [0 0 595"));

        PrintJob plain;
        plain.cards = CardSource(marker());
        PrintJob named = plain;
        named.sheet = sheetNamed("LAPORA A4, 10");
        QCOMPARE(pagePicture(named, 0, 60), pagePicture(plain, 0, 60));
    }

    // The footer prints where it fits below the last row, and nowhere
    // else; cut marks sit at the corners of the placed, scaled card, and
    // only where asked for. White cards, so that only these leave ink.
    void footerAndMarksFollowTheLayout()
    {
        auto inkRows = [](const QImage& page) {
            QList<int> rows;
            for (int y = 0; y < page.height(); ++y)
                for (int x = 0; x < page.width(); ++x)
                    if (qGray(page.pixel(x, y)) < 200) {
                        rows << y;
                        break;
                    }
            return rows;
        };
        PrintJob job;
        job.sheet = sheetNamed("Rayfilm VIZ1");
        const QList<int> footer = inkRows(pagePicture(job, 0, Dpi));
        QVERIFY(!footer.isEmpty());
        QVERIFY(footer.first() >= dots(281.4) && footer.last() < dots(281.4 + 5.556));
        job.sheet = sheetNamed("Rayfilm VIZ2");
        QVERIFY(inkRows(pagePicture(job, 0, Dpi)).isEmpty());

        // 85 × 54 stock: the card 85 mm wide, 3.25 mm below the stock
        // card's top.
        job.sheet = sheetNamed("Avery Zweckform C32010, C32011");
        QVERIFY(inkRows(pagePicture(job, 0, Dpi)).isEmpty());
        job.sheet.marks = true;
        const QImage marked = pagePicture(job, 0, Dpi);
        const double top = 13.5 + (54 - BandHeight * 85 / BandWidth) / 2;
        QVERIFY(qGray(marked.pixel(int(dots(15)) + 1, int(dots(top)) + 4)) < 200);
        // The top-right mark reaches 90.223 card millimetres across.
        QVERIFY(qGray(marked.pixel(int(dots(15 + 90.223 * 85 / BandWidth)) - 2, int(dots(top)) + 4)) < 200);
        QCOMPARE(marked.pixel(int(dots(15)) + 1, int(dots(13.5)) + 4), qRgb(255, 255, 255));
    }

    // The calibration sheet is drawn on the layout's paper, its second
    // cross 20 mm from that paper's corner; readings of a true printer
    // give no correction on either paper.
    void calibrationFollowsThePaper()
    {
        PrintJob job;
        job.pages = JobPages::Calibration;
        job.sheet = sheetNamed("Avery 5371, 8371");
        const QImage page = pagePicture(job, 0, Dpi);
        QCOMPARE(page.size(), QSize(2159, 2794));
        QVERIFY(qGray(page.pixel(int(dots(215.9 - 20 + 3)), int(dots(279.4 - 20)))) < 128);
        QVERIFY(qGray(page.pixel(int(dots(215.9 - 20)), int(dots(279.4 - 20 + 3)))) < 128);
        QCOMPARE(sheet::calibrationFromReadings({20, 20}, {20, 20}, sheet::LetterPaper), sheet::Calibration());
        const sheet::Calibration shifted = sheet::calibrationFromReadings({21, 19}, {19, 21}, sheet::LetterPaper);
        QVERIFY(qAbs(shifted.offset.x() + 1) < 1e-9 && qAbs(shifted.offset.y() - 1) < 1e-9);
        QVERIFY(qAbs(shifted.scale.x() - 100) < 1e-9);
    }

    // Every known layout can be printed; one that cannot is refused with
    // one line naming what is wrong.
    void badLayoutsAreRefused()
    {
        for (const SheetLayout& layout : builtInSheets())
            checkSheet(layout);
        QCOMPARE(builtInSheets().front(), SheetLayout());
        const SheetLayout good = custom(PaperSize::A4, 2, 5, {15, 10}, {90, 55}, {90, 50});
        const std::vector<std::pair<SheetLayout, QString>> bad = {
            {custom(PaperSize::A4, 2, 0, {15, 10}, {90, 55}, {90, 50}), "legalább egy oszlop és egy sor kell, nem 2x0"},
            {custom(PaperSize::A4, 2, 5, {15, 10}, {80, 55}, {90, 50}), "a vízszintes lépés (80 mm) kisebb"},
            {custom(PaperSize::A4, 2, 5, {15, 10}, {90, 45}, {90, 50}), "a függőleges lépés (45 mm) kisebb"},
            {custom(PaperSize::A4, 2, 5, {40, 10}, {90, 55}, {90, 50}), "lelógnak a papírról: 220 × 280 mm-ig"},
            {custom(PaperSize::Letter, 2, 5, {15, 10}, {90, 55}, {90, 50}), "a papír (Letter) 215.9 × 279.4 mm"},
            {custom(PaperSize::A4, 2, 5, {-1, 10}, {90, 55}, {90, 50}), "margó nem lehet negatív"},
            {custom(PaperSize::A4, 2, 5, {15, 10}, {90, 55}, {10, 50}), "a kártya legalább 20 × 20 mm"},
            {custom(PaperSize::A4, 2, 5, {15, qQNaN()}, {90, 55}, {90, 50}), "számok"},
        };
        checkSheet(good);
        for (const auto& [layout, message] : bad) {
            try {
                checkSheet(layout);
                QFAIL(qPrintable("not refused: " + message));
            } catch (const SheetError& error) {
                const QString what = QString::fromUtf8(error.what());
                QVERIFY2(what.startsWith("hibás lap: ") && what.contains(message) && !what.contains('\n'),
                         qPrintable(what));
            }
        }
        QVERIFY_THROWS_EXCEPTION(SheetError, sheetNamed("Avery 9999"));
    }
};

REGISTER_TEST(SheetLayoutTest)

#include "SheetLayoutTest.moc"
