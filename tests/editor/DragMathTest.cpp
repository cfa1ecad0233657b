#include "editor/DragMath.h"
#include "editor/Snapping.h"
#include "tests/TestRegistry.h"

#include <QTest>

class DragMathTest : public QObject
{
    Q_OBJECT

private slots:
    // The point first pressed stays under the pointer, wherever it goes.
    void elementsFollowThePointerExactly()
    {
        QCOMPARE(draggedElementPos({18, 34}, {5, 3}, {15, 7}), QPoint(28, 38));
        QCOMPARE(draggedElementPos({18, 34}, {5, 3}, {-400, -3}), QPoint(-387, 28));
    }

    // A 100 × 100 shape at layer position 10, 10 (card box 18, 34): its
    // handles stand at its corners, 7 pixels square.
    void eachHandleMovesItsOwnEdges()
    {
        const QPoint topLeft(18, 34);
        const QPoint bottomRight(18 + 100 - 7, 34 + 100 - 7);
        const QPoint pressed(500, 500);
        const QPoint moved = pressed + QPoint(30, -20);

        const QPoint br = draggedHandlePos(Handle::BottomRight, bottomRight, pressed, moved, topLeft, 7);
        QCOMPARE(boxFromHandles(topLeft, br, 7), QRect(18, 34, 130, 80));
        const QPoint tl = draggedHandlePos(Handle::TopLeft, topLeft, pressed, moved, bottomRight, 7);
        QCOMPARE(boxFromHandles(tl, bottomRight, 7), QRect(48, 14, 70, 120));
    }

    // Dragged past the other handle, a box stops at 1 pixel: it can always
    // be seen and grabbed again.
    void boxesNeverShrinkBelowOnePixel()
    {
        const QPoint topLeft(18, 34);
        const QPoint bottomRight(111, 127);
        const QPoint br = draggedHandlePos(Handle::BottomRight, bottomRight, {0, 0}, {-120, -500}, topLeft, 7);
        QCOMPARE(boxFromHandles(topLeft, br, 7).size(), QSize(1, 1));
        const QPoint tl = draggedHandlePos(Handle::TopLeft, topLeft, {0, 0}, {900, 900}, bottomRight, 7);
        QCOMPARE(boxFromHandles(tl, bottomRight, 7), QRect(117, 133, 1, 1));
    }

    // Card pixels go to the screen rounded half away from zero, and every
    // card pixel, negative ones too, comes back as itself at every zoom.
    void zoomArithmeticRoundTrips()
    {
        QCOMPARE(screenPixels(7, 150), 11);
        QCOMPARE(screenPixels(-7, 150), -11);
        QCOMPARE(cardPixels(31, 300), 10);
        QCOMPARE(cardPixels(-62, 300), -21);
        QCOMPARE(cardPixels(1, 300), 0);  // a move of 1 screen pixel is none
        for (int zoom : {100, 150, 200, 300, 400})
            for (int card = -400; card <= 400; ++card)
                if (cardPixels(screenPixels(card, zoom), zoom) != card)
                    QFAIL(qPrintable(QString("%1 at %2 %").arg(card).arg(zoom)));
    }

    // The nearest edge or centre within reach snaps, in each direction on
    // its own; a resize snaps only its moving edges.
    void boxesSnapByTheirNearestEdge()
    {
        const SnapLines lines = snapLines({340, 190}, {QRect(200, 40, 60, 20)});
        // Centre 168.5 is 1.5 from the card's middle, its left edge 2.5
        // from nothing; the top 42 is 2 from the other box's top.
        Snap snap = snapBox(QRect(119, 42, 99, 10), lines, 2.0, SnapEdges::Move);
        QCOMPARE(snap.offset, QPoint(2, -2));
        // The card's guide runs across the card; the other box's from
        // the box moved (120-220) to the far end of that box (260).
        QVERIFY(snap.guideX && snap.guideY);
        QCOMPARE(std::tuple(snap.guideX->at, snap.guideX->from, snap.guideX->to), std::tuple(170.0, 0.0, 190.0));
        QCOMPARE(std::tuple(snap.guideY->at, snap.guideY->from, snap.guideY->to), std::tuple(40.0, 121.0, 260.0));

        // Out of reach nothing moves.
        snap = snapBox(QRect(123, 120, 10, 10), lines, 2.0, SnapEdges::Move);
        QCOMPARE(snap.offset, QPoint(0, 0));
        QVERIFY(!snap.guideX && !snap.guideY);

        // The right edge 198 goes to the other box's left (200) while the
        // bottom-right corner is dragged; the top-left handle ignores it.
        const QRect box(100, 100, 98, 30);
        QCOMPARE(snapBox(box, lines, 2.0, SnapEdges::BottomRight).offset, QPoint(2, 0));
        QCOMPARE(snapBox(box, lines, 2.0, SnapEdges::TopLeft).offset, QPoint(0, 0));
    }

    // Shift on a picture's handle: the larger scale wins, from the corner
    // that stays.
    void picturesKeepTheirAspect()
    {
        QCOMPARE(keptAspect(QRect(10, 10, 100, 20), QSize(40, 30), Handle::BottomRight), QRect(10, 10, 100, 75));
        QCOMPARE(keptAspect(QRect(10, 10, 100, 20), QSize(40, 30), Handle::TopLeft), QRect(10, -45, 100, 75));
    }
};

REGISTER_TEST(DragMathTest)

#include "DragMathTest.moc"
