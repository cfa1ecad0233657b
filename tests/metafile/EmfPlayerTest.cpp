#include "tests/TestRegistry.h"
#include "tests/metafile/MetafileBuilder.h"
#include "tests/metafile/PixelProbe.h"

#include "metafile/Metafile.h"

#include <QTest>

namespace {

const QColor Red(220, 0, 0);
const QColor Blue(0, 0, 200);

QImage render(const EmfBuilder& emf, QSize size = QSize(100, 100))
{
    return renderPicture(emf.finish(), MetafileFormat::Emf, size);
}

bool isRed(QRgb p) { return near(p, Red); }
bool isBlue(QRgb p) { return near(p, Blue); }

// Pairs of red pixels one step apart along (dx, dy) inside area.
int neighbours(const QImage& image, const QRect& area, int dx, int dy)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += isRed(image.pixel(x, y)) && isRed(image.pixel(x + dx, y + dy)) ? 1 : 0;
    }
    return count;
}

EmfBuilder hatched(int hatch, bool opaque)
{
    EmfBuilder emf;
    emf.add(emr::SetBkMode, Params{opaque ? 2 : 1});
    emf.add(emr::SetBkColor, Params().color(Blue));
    emf.add(emr::CreateBrush, brushParams(1, 2, Red, hatch));
    emf.add(emr::SelectObject, Params{1});
    selectNullPen(emf);
    emf.add(emr::Rectangle, rectParams(10, 10, 90, 90));
    return emf;
}

} // namespace

class EmfShapesTest : public QObject
{
    Q_OBJECT

private slots:
    void hatchesAreLinesInTheirDirection_data()
    {
        QTest::addColumn<int>("hatch");
        QTest::addColumn<bool>("rows");
        QTest::addColumn<bool>("columns");
        QTest::addColumn<bool>("down");
        QTest::addColumn<bool>("up");
        QTest::newRow("horizontal") << 0 << true << false << false << false;
        QTest::newRow("vertical") << 1 << false << true << false << false;
        QTest::newRow("forward diagonal") << 2 << false << false << true << false;
        QTest::newRow("backward diagonal") << 3 << false << false << false << true;
        QTest::newRow("cross") << 4 << true << true << false << false;
        QTest::newRow("diagonal cross") << 5 << false << false << true << true;
    }

    void hatchesAreLinesInTheirDirection()
    {
        QFETCH(int, hatch);
        QFETCH(bool, rows);
        QFETCH(bool, columns);
        QFETCH(bool, down);
        QFETCH(bool, up);
        const QImage image = render(hatched(hatch, false));
        const QRect inside(20, 20, 60, 60);
        const double share = countPixels(image, inside, isRed) / double(inside.width() * inside.height());
        QVERIFY2(share > 0.05 && share < 0.45, qPrintable(QString::number(share)));
        QCOMPARE(countPixels(image, QRect(0, 0, 100, 9), isRed), 0);

        bool fullRow = false, fullColumn = false;
        for (int i = 20; i < 80; ++i) {
            fullRow |= countPixels(image, QRect(20, i, 60, 1), isRed) == 60;
            fullColumn |= countPixels(image, QRect(i, 20, 1, 60), isRed) == 60;
        }
        QCOMPARE(fullRow, rows);
        QCOMPARE(fullColumn, columns);
        const int along = neighbours(image, inside, 1, 1);
        const int across = neighbours(image, inside, 1, -1);
        if (down && !up)
            QVERIFY(along > 4 * across + 20);
        if (up && !down)
            QVERIFY(across > 4 * along + 20);
    }

    void opaqueHatchFillsItsGapsWithTheBackground()
    {
        const QImage image = render(hatched(0, true));
        QCOMPARE(countPixels(image, QRect(20, 20, 60, 60), isWhite), 0);
        QVERIFY(countPixels(image, QRect(20, 20, 60, 60), isBlue) > 1500);
    }

    void ellipseFillsItsBoxButNotTheCorners()
    {
        EmfBuilder emf;
        selectBrush(emf, Blue);
        emf.add(emr::Ellipse, rectParams(10, 20, 90, 80));
        const QImage image = render(emf);
        QVERIFY(isBlue(image.pixel(50, 50)));
        QVERIFY(isBlue(image.pixel(15, 50)));
        QVERIFY(isWhite(image.pixel(14, 24)));
        QVERIFY(isWhite(image.pixel(50, 15)));
    }

    void fillModeDecidesWhetherInnerFigureIsAHole()
    {
        for (int mode : {1, 2}) {
            EmfBuilder emf;
            emf.add(emr::SetPolyFillMode, Params{mode});
            selectBrush(emf, Blue);
            Params poly;
            poly.i32(0).i32(0).i32(100).i32(100).i32(2).i32(8);
            poly.i32(4).i32(4);
            for (auto [x, y] : {std::pair{10, 10}, {90, 10}, {90, 90}, {10, 90}, {30, 30}, {70, 30}, {70, 70}, {30, 70}})
                poly.i16(x).i16(y);
            emf.add(emr::PolyPolygon16, poly);
            const QImage image = render(emf);
            QVERIFY(isBlue(image.pixel(20, 50)));
            QCOMPARE(isBlue(image.pixel(50, 50)), mode == 2);
        }
    }

    void hatchKeepsToTheFillModeOfItsFigure()
    {
        for (int mode : {1, 2}) {
            EmfBuilder emf;
            emf.add(emr::SetBkMode, Params{1});
            emf.add(emr::SetPolyFillMode, Params{mode});
            emf.add(emr::CreateBrush, brushParams(1, 2, Red, 5));
            emf.add(emr::SelectObject, Params{1});
            selectNullPen(emf);
            Params poly;
            poly.i32(0).i32(0).i32(100).i32(100).i32(2).i32(8).i32(4).i32(4);
            for (auto [x, y] : {std::pair{5, 5}, {95, 5}, {95, 95}, {5, 95}, {30, 30}, {70, 30}, {70, 70}, {30, 70}})
                poly.i16(x).i16(y);
            emf.add(emr::PolyPolygon16, poly);
            const QImage image = render(emf);
            QVERIFY(countPixels(image, QRect(8, 8, 18, 84), isRed) > 40);
            const int hole = countPixels(image, QRect(33, 33, 34, 34), isRed);
            QVERIFY2(mode == 1 ? hole == 0 : hole > 40, qPrintable(QString::number(hole)));
        }
    }

    void bezierBendsTowardsItsControlPoints()
    {
        EmfBuilder emf;
        emf.add(emr::CreatePen, Params{1, 0, 3, 0}.color(Red));
        emf.add(emr::SelectObject, Params{1});
        Params curve;
        curve.i32(0).i32(0).i32(100).i32(100).i32(4);
        curve.i16(10).i16(50).i16(10).i16(10).i16(90).i16(10).i16(90).i16(50);
        emf.add(emr::PolyBezier16, curve);
        const QImage image = render(emf);
        QVERIFY(countPixels(image, QRect(46, 17, 9, 7), isRed) > 0);
        QCOMPARE(countPixels(image, QRect(30, 40, 40, 20), isRed), 0);
    }

    void penWidthScalesWithThePictureExceptWidthZero()
    {
        for (int width : {0, 4}) {
            EmfBuilder emf;
            emf.add(emr::CreatePen, Params{1, 0, width, 0}.color(Red));
            emf.add(emr::SelectObject, Params{1});
            emf.add(emr::MoveTo, Params{10, 50});
            emf.add(emr::LineTo, Params{90, 50});
            const QImage image = render(emf, QSize(400, 400));
            const int rows = countRows(image, QRect(200, 150, 1, 100), [](QRgb p) { return qRed(p) > 150 && qGreen(p) < 150; });
            if (width == 0)
                QVERIFY2(rows >= 1 && rows <= 2, qPrintable(QString::number(rows)));
            else
                QVERIFY2(rows >= 15 && rows <= 17, qPrintable(QString::number(rows)));
        }
    }

    void pieFollowsTheArcDirection()
    {
        for (bool clockwise : {false, true}) {
            EmfBuilder emf;
            emf.add(emr::SetArcDirection, Params{clockwise ? 2 : 1});
            selectBrush(emf, Blue);
            emf.add(emr::Pie, Params{10, 10, 90, 90, 90, 50, 50, 10});
            const QImage image = render(emf);
            QCOMPARE(isBlue(image.pixel(70, 30)), !clockwise);
            QCOMPARE(isBlue(image.pixel(30, 70)), clockwise);
        }
    }

    void pathIsFilledOnlyWhenAsked()
    {
        for (std::uint32_t finish : {emr::FillPath, emr::AbortPath}) {
            EmfBuilder emf;
            selectBrush(emf, Blue);
            emf.add(emr::BeginPath);
            emf.add(emr::MoveTo, Params{10, 10});
            emf.add(emr::LineTo, Params{90, 10});
            emf.add(emr::LineTo, Params{50, 90});
            emf.add(emr::CloseFigure);
            emf.add(emr::EndPath);
            emf.add(finish, Params{0, 0, 100, 100});
            const QImage image = render(emf);
            QCOMPARE(isBlue(image.pixel(50, 30)), finish == emr::FillPath);
            QVERIFY(isWhite(image.pixel(15, 80)));
        }
    }
};

REGISTER_TEST(EmfShapesTest)
#include "EmfPlayerTest.moc"
