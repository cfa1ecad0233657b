#include "editor/DragMath.h"
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
};

REGISTER_TEST(DragMathTest)

#include "DragMathTest.moc"
