#include "tests/TestRegistry.h"
#include "tests/metafile/MetafileBuilder.h"
#include "tests/metafile/PixelProbe.h"

#include "metafile/Metafile.h"

#include <QTest>

#include <cmath>

namespace {

const QColor Red(220, 0, 0);
const QColor Green(0, 160, 0);
const QColor Blue(0, 0, 200);

bool isRed(QRgb p) { return near(p, Red); }
bool isGreen(QRgb p) { return near(p, Green); }
bool isBlue(QRgb p) { return near(p, Blue); }

QImage render(const EmfBuilder& emf) { return renderPicture(emf.finish(), MetafileFormat::Emf, QSize(100, 100)); }

Params xform(float m11, float m12, float m21, float m22, float dx, float dy)
{
    Params p;
    p.f32(m11).f32(m12).f32(m21).f32(m22).f32(dx).f32(dy);
    return p;
}

} // namespace

class EmfStateTest : public QObject
{
    Q_OBJECT

private slots:
    // Each case draws the square from 10 mm to 20 mm, in the mode's own units.
    void mappingModesPlaceTheSameSquare_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<double>("unitsPerMm");
        QTest::addColumn<bool>("yUp");
        QTest::newRow("text") << 1 << 96 / 25.4 << false;
        QTest::newRow("lometric") << 2 << 10.0 << true;
        QTest::newRow("himetric") << 3 << 100.0 << true;
        QTest::newRow("loenglish") << 4 << 100 / 25.4 << true;
        QTest::newRow("hienglish") << 5 << 1000 / 25.4 << true;
        QTest::newRow("twips") << 6 << 1440 / 25.4 << true;
    }

    void mappingModesPlaceTheSameSquare()
    {
        QFETCH(int, mode);
        QFETCH(double, unitsPerMm);
        QFETCH(bool, yUp);
        EmfBuilder emf;
        emf.add(emr::SetMapMode, Params{mode});
        selectBrush(emf, Blue);
        const int a = static_cast<int>(std::lround(10 * unitsPerMm));
        const int b = static_cast<int>(std::lround(20 * unitsPerMm));
        emf.add(emr::Rectangle, yUp ? rectParams(a, -a, b, -b) : rectParams(a, a, b, b));
        const QImage image = render(emf);
        // 10 mm and 20 mm are 37.8 and 75.6 pixels at 96 dpi.
        QVERIFY(isBlue(image.pixel(40, 40)));
        QVERIFY(isBlue(image.pixel(73, 73)));
        QVERIFY(isWhite(image.pixel(35, 56)));
        QVERIFY(isWhite(image.pixel(56, 78)));
    }

    void isotropicKeepsTheAspectAnisotropicStretches()
    {
        for (int mode : {7, 8}) {
            EmfBuilder emf;
            emf.add(emr::SetMapMode, Params{mode});
            emf.add(emr::SetWindowExt, Params{1000, 1000});
            emf.add(emr::SetViewportExt, Params{100, 50});
            selectBrush(emf, Blue);
            emf.add(emr::Rectangle, rectParams(200, 200, 800, 800));
            const QImage image = render(emf);
            // Isotropic takes the smaller scale for both axes: x runs 10..40.
            QCOMPARE(isBlue(image.pixel(60, 30)), mode == 8);
            QVERIFY(isBlue(image.pixel(30, 30)));
            QVERIFY(isWhite(image.pixel(30, 45)));
        }
    }

    void worldTransformMovesAndScales()
    {
        EmfBuilder emf;
        emf.add(emr::SetWorldTransform, xform(2, 0, 0, 2, 10, 0));
        emf.add(emr::ModifyWorldTransform, xform(1, 0, 0, 1, 0, 20).i32(2));  // translate first
        selectBrush(emf, Blue);
        emf.add(emr::Rectangle, rectParams(0, 0, 10, 10));
        emf.add(emr::ModifyWorldTransform, xform(1, 0, 0, 1, 0, 0).i32(1));
        emf.add(emr::CreateBrush, brushParams(2, 0, Red));
        emf.add(emr::SelectObject, Params{2});
        emf.add(emr::Rectangle, rectParams(80, 80, 90, 90));
        const QImage image = render(emf);
        // (0, 20) scaled by 2 and moved by (10, 0): 10..30 by 40..60.
        QVERIFY(isBlue(image.pixel(20, 50)));
        QVERIFY(isWhite(image.pixel(20, 35)));
        QVERIFY(isRed(image.pixel(85, 85)));
    }

    void restoreDcBringsBackBrushAndClip()
    {
        EmfBuilder emf;
        emf.add(emr::CreateBrush, brushParams(1, 0, Red));
        emf.add(emr::CreateBrush, brushParams(2, 0, Green));
        emf.add(emr::CreateBrush, brushParams(3, 0, Blue));
        selectNullPen(emf);
        emf.add(emr::SelectObject, Params{1});
        emf.add(emr::SaveDc);                                  // 1: red
        emf.add(emr::SelectObject, Params{2});
        emf.add(emr::IntersectClipRect, rectParams(0, 0, 50, 100));
        emf.add(emr::SaveDc);                                  // 2: green, clipped
        emf.add(emr::SelectObject, Params{3});
        emf.add(emr::RestoreDc, Params{-1});
        emf.add(emr::Rectangle, rectParams(0, 0, 100, 30));    // green, left half only
        emf.add(emr::RestoreDc, Params{1});
        emf.add(emr::Rectangle, rectParams(0, 60, 100, 100));  // red, whole width
        const QImage image = render(emf);
        QVERIFY(isGreen(image.pixel(20, 15)));
        QVERIFY(isWhite(image.pixel(70, 15)));
        QVERIFY(isRed(image.pixel(20, 80)));
        QVERIFY(isRed(image.pixel(70, 80)));
    }

    void clipRectanglesNarrowAndRegionsReplace()
    {
        EmfBuilder emf;
        emf.add(emr::IntersectClipRect, rectParams(10, 10, 60, 60));
        emf.add(emr::ExcludeClipRect, rectParams(30, 30, 40, 40));
        fillRect(emf, Blue, QRect(0, 0, 100, 50));
        Params region;
        region.i32(48).i32(5);                               // data size, copy
        region.i32(32).i32(1).i32(1).i32(16).i32(70).i32(70).i32(90).i32(90);
        region.i32(70).i32(70).i32(90).i32(90);
        emf.add(emr::ExtSelectClipRgn, region);
        fillRect(emf, Red, QRect(0, 60, 100, 40), 2);
        emf.add(emr::ExtSelectClipRgn, Params{0, 5});        // back to no clip
        fillRect(emf, Green, QRect(0, 95, 100, 5), 3);
        const QImage image = render(emf);
        QVERIFY(isBlue(image.pixel(20, 20)));
        QVERIFY(isWhite(image.pixel(35, 35)));
        QVERIFY(isWhite(image.pixel(80, 20)));
        QVERIFY(isWhite(image.pixel(20, 80)));
        QVERIFY(isRed(image.pixel(80, 80)));
        QVERIFY(isGreen(image.pixel(20, 97)));
    }
};

REGISTER_TEST(EmfStateTest)
#include "EmfStateTest.moc"
