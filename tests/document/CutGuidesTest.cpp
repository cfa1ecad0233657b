#include "document/Child.h"

#include "editor/CardElement.h"
#include "editor/CardSurface.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/rptLapora.h"
#include "tests/TestRegistry.h"
#include "tests/document/CardWindowTest.h"

#include <QAction>

#include <functional>

namespace {

QImage grabbed(const Tfrm_Child* card)
{
    return card->Surface1->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// How many pixels of a column (x) or a row (y) of the surface pass a test.
int countColumn(const QImage& image, int x, const std::function<bool(QRgb)>& test)
{
    int found = 0;
    for (int y = 0; y < image.height(); ++y)
        found += test(image.pixel(x, y));
    return found;
}

int countRow(const QImage& image, int y, const std::function<bool(QRgb)>& test)
{
    int found = 0;
    for (int x = 0; x < image.width(); ++x)
        found += test(image.pixel(x, y));
    return found;
}

// Along the card's middle, away from the lines across.
bool sameColumn(const QImage& a, const QImage& b, int x)
{
    for (int y = 40; y < 180; ++y)
        if (a.pixel(x, y) != b.pixel(x, y))
            return false;
    return true;
}

bool reddish(QRgb pixel)
{
    return qRed(pixel) > 150 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
}

bool greenish(QRgb pixel)
{
    return qGreen(pixel) > 120 && qRed(pixel) < 120 && qBlue(pixel) < 60;
}

bool bluish(QRgb pixel)
{
    return qBlue(pixel) > 100 && qRed(pixel) < 60 && qGreen(pixel) < 100;
}

// A yellow shape over the whole card: the lines lie over the layers.
const std::vector<Layer> CoveredCard = {
    {1, 2, "hatter", 0, 0, {{"width", 340}, {"height", 190}, {"brushcolor", 0x00FFFF}, {"brushstyle", 0}}}};

} // namespace

// The print shop's cut lines on the card surface: the bleed's edge in the
// card box's margin, the trim and the safe zone over the layers, at the
// zoom; the screen's alone.
class CutGuidesTest : public CardWindowTest
{
    Q_OBJECT

private slots:
    // At 100 % the card's top-left corner is 19 pixels in; 3 mm of bleed
    // are 11.3 card pixels beyond the card's edge, the safe zone 11.3
    // inside the trim, the trim 0.6 inside the card's top.
    void linesShowInTheMarginAndFollowTheZoom()
    {
        Tfrm_Child* card = openCard(CoveredCard);
        QVERIFY(!card->action("aVagasiVonalak")->isChecked());
        const QImage off = grabbed(card);
        card->action("aVagasiVonalak")->trigger();
        QVERIFY(card->cutGuidesShown());
        const QImage on = grabbed(card);

        QVERIFY(countColumn(on, 8, reddish) > 60);
        for (int x = 0; x < 19; ++x)
            QVERIFY2(x == 8 || sameColumn(on, off, x), QByteArray::number(x));
        QVERIFY(countColumn(on, 30, greenish) > 30);
        QCOMPARE(countColumn(off, 30, greenish), 0);
        QVERIFY(countRow(on, 20, bluish) > 300);
        QCOMPARE(countRow(off, 20, bluish), 0);

        card->action("aVagasiVonalak")->trigger();
        QVERIFY(!card->cutGuidesShown());
        QCOMPARE(grabbed(card), off);

        card->setZoom(200);
        const QImage offAt200 = grabbed(card);
        card->showCutGuides(true);
        const QImage onAt200 = grabbed(card);
        QVERIFY(countColumn(onAt200, 15, reddish) > 120);
        QVERIFY(sameColumn(onAt200, offAt200, 8));

        card->setZoom(100);
        card->setCutBleed(5);
        const QImage wide = grabbed(card);
        QVERIFY(countColumn(wide, 0, reddish) > 60);
        QVERIFY(sameColumn(wide, off, 8));
    }

    // The lines take no mouse and change nothing of the card: its sheet,
    // its file and its modified flag are as without them. The choice is
    // told to the program and a window opens with the lines it is given.
    void linesAreTheScreensAlone()
    {
        Tfrm_Child* card = openCard(CoveredCard);
        std::vector<bool> told;
        card->CutGuidesChosen = [&](bool shown) { told.push_back(shown); };
        auto sheet = [&] {
            CardDocument::Snapshot taken = card->document().snapshot();
            return pagePicture(jobOf(*cardReport(std::move(taken.fields), std::move(taken.records))), 0, 60);
        };
        const QImage printedWithout = sheet();
        card->SaveCard(dir.filePath("without.bcrd"));

        card->action("aVagasiVonalak")->trigger();
        QCOMPARE(told, std::vector<bool>{true});
        QVERIFY(!card->Modified());
        QVERIFY(qobject_cast<CardElement*>(card->Surface1->childAt(30, 114)));
        QCOMPARE(sheet(), printedWithout);
        card->SaveCard(dir.filePath("with.bcrd"));
        QCOMPARE(readBytes(dir.filePath("with.bcrd")), readBytes(dir.filePath("without.bcrd")));

        Tfrm_Child::Settings settings{QFont("Arial", 8), 9};
        settings.CutGuides = true;
        settings.Bleed = 1;
        Tfrm_Child* shown = newCard(settings);
        QVERIFY(shown->cutGuidesShown());
        QVERIFY(shown->action("aVagasiVonalak")->isChecked());
        QVERIFY(countColumn(grabbed(shown), 15, reddish) > 60);
    }
};

REGISTER_TEST(CutGuidesTest)

#include "CutGuidesTest.moc"
