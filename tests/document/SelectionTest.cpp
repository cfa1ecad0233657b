#include "document/Child.h"

#include "editor/CardSurface.h"
#include "editor/FieldEditors.h"
#include "editor/LayerGrid.h"
#include "editor/ResizeHandle.h"
#include "editor/TextElement.h"
#include "layer/LayerRecord.h"
#include "tests/TestRegistry.h"
#include "tests/document/CardWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QMouseEvent>
#include <QTest>

namespace {

using Ids = std::vector<LayerTable::RecordId>;

// A move with the left button held, at a point inside widget.
void drag(QWidget* widget, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(widget, &move);
}

Layer frame(int number, int left, int top, int width, int height)
{
    return {number, 2, "keret", left, top,
            {{"width", width}, {"height", height}, {"shape", 0}, {"brushcolor", 0xFFFFFF}, {"pencolor", 0},
             {"penwidth", 1}}};
}

LayerTable::RecordId id(Tfrm_Child* child, int number)
{
    return child->findElement(QString("e%1").arg(number))->layerId();
}

Ids ids(Tfrm_Child* child, std::initializer_list<int> numbers)
{
    Ids found;
    for (int number : numbers)
        found.push_back(id(child, number));
    return found;
}

int fieldOf(Tfrm_Child* child, int number, const char* name)
{
    return ReadInt(LayerRef(child->Tbl(), child->Tbl().RowOf(id(child, number))), name, -999);
}

QPoint placeOf(Tfrm_Child* child, int number)
{
    return {fieldOf(child, number, "left"), fieldOf(child, number, "top")};
}

void click(Tfrm_Child* child, int number, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::mouseClick(child->findElement(QString("e%1").arg(number)), Qt::LeftButton, modifiers, QPoint(2, 2));
}

// The element names of the layers in stack order.
QStringList stack(Tfrm_Child* child)
{
    QStringList names;
    for (int row = 0; row < child->Tbl().StoredCount(); ++row)
        names << QString::fromStdString(ReadStr(LayerRef(child->Tbl(), row), "compnev"));
    return names;
}

int markedRows(Tfrm_Child* child)
{
    return int(child->DBGrid1->selectionModel()->selectedRows().size());
}

} // namespace

class SelectionTest : public CardWindowTest
{
    Q_OBJECT

private slots:
    // Shift or Ctrl with a click adds a layer or takes it out, on the card
    // and in the list; the layer clicked last is current; a plain click on
    // a selected layer keeps it alone; the last one never leaves.
    void clicksBuildTheSelection()
    {
        Tfrm_Child* child = openCard({frame(1, 10, 10, 40, 30), frame(2, 100, 20, 40, 30), frame(3, 200, 40, 30, 30),
                                      {4, 0, "Anna", 20, 120}});
        click(child, 1);
        QCOMPARE(child->Selection(), ids(child, {1}));
        QVERIFY(!child->Surface1->selectionShown());
        click(child, 2, Qt::ShiftModifier);
        click(child, 4, Qt::ControlModifier);
        QCOMPARE(child->Selection(), ids(child, {1, 2, 4}));
        QCOMPARE(child->CurrentElement(), child->findElement("e4"));
        QVERIFY(child->TabSheet1->isVisible());
        // One box round them all, framed by the handles, and each marked
        // in the list.
        QVERIFY(child->Surface1->selectionShown());
        QCOMPARE(child->Shape1->pos(), child->Surface1->toScreen(QPoint(10, 10)));
        QCOMPARE(markedRows(child), 3);

        click(child, 2, Qt::ControlModifier);
        QCOMPARE(child->Selection(), ids(child, {1, 4}));
        QCOMPARE(child->CurrentElement(), child->findElement("e4"));
        const QModelIndex row3 = child->DBGrid1->model()->index(2, 1);
        QTest::mouseClick(child->DBGrid1->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          child->DBGrid1->visualRect(row3).center());
        QCOMPARE(child->Selection(), ids(child, {1, 3, 4}));
        QCOMPARE(child->CurrentElement(), child->findElement("e3"));

        click(child, 1);
        QCOMPARE(child->Selection(), ids(child, {1}));
        QVERIFY(!child->Surface1->selectionShown());
        QCOMPARE(markedRows(child), 1);
        click(child, 1, Qt::ControlModifier);
        QCOMPARE(child->Selection(), ids(child, {1}));
        // A layer made current from elsewhere is the selection alone.
        click(child, 2, Qt::ShiftModifier);
        child->document().setCurrent(id(child, 3));
        QCOMPARE(child->Selection(), ids(child, {3}));
        QVERIFY(!child->document().history().canUndo());
    }

    // Ctrl+A selects every layer, but in the text box its text; a drag on
    // the empty card selects the layers wholly inside its box, with Shift
    // adding them; a click there keeps the current layer alone.
    void ctrlAAndTheSelectionBox()
    {
        Tfrm_Child* child = openCard({frame(1, 10, 10, 40, 30), frame(2, 100, 20, 40, 30), frame(3, 200, 40, 30, 30),
                                      {4, 0, "Anna", 20, 120}});
        QTest::keyClick(child->Surface1, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(child->Selection(), ids(child, {1, 2, 3, 4}));
        click(child, 4);
        child->DBEdit1->setFocus();
        QTest::keyClick(child->DBEdit1, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(child->DBEdit1->selectedText(), QString("Anna"));
        QCOMPARE(child->Selection(), ids(child, {4}));
        child->DBGrid1->setFocus();
        QTest::keyClick(child->DBGrid1, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(child->Selection(), ids(child, {1, 2, 3, 4}));
        click(child, 4);

        // From card point (5, 5) to (145, 55): layers 1 and 2; 3 only in
        // part.
        CardSurface* surface = child->Surface1;
        QTest::mousePress(surface, Qt::LeftButton, {}, surface->toScreen(QPoint(5, 5)));
        drag(surface, surface->toScreen(QPoint(80, 30)));
        drag(surface, surface->toScreen(QPoint(215, 55)));
        QTest::mouseRelease(surface, Qt::LeftButton, {}, surface->toScreen(QPoint(215, 55)));
        QCOMPARE(child->Selection(), ids(child, {1, 2}));
        QVERIFY(child->CurrentElement() == child->findElement("e2"));
        QTest::mousePress(surface, Qt::LeftButton, {}, surface->toScreen(QPoint(195, 35)));
        drag(surface, surface->toScreen(QPoint(235, 75)), Qt::ShiftModifier);
        QTest::mouseRelease(surface, Qt::LeftButton, Qt::ShiftModifier, surface->toScreen(QPoint(235, 75)));
        QCOMPARE(child->Selection(), ids(child, {1, 2, 3}));
        QTest::mouseClick(surface, Qt::LeftButton, {}, surface->toScreen(QPoint(300, 150)));
        QCOMPARE(child->Selection(), ids(child, {2}));
    }

    // The selected layers move together under the pointer, as one step;
    // undone, all are back and still selected. Arrow keys move them all,
    // a burst as one step.
    void groupDragAndNudgeAreOneStep()
    {
        Tfrm_Child* child = openCard({frame(1, 10, 10, 40, 30), frame(2, 100, 20, 40, 30), frame(3, 200, 40, 30, 30)});
        click(child, 1);
        click(child, 3, Qt::ShiftModifier);
        child->document().history().clear();
        CardElement* pressed = child->findElement("e3");
        QTest::mousePress(pressed, Qt::LeftButton, {}, QPoint(5, 5));
        drag(pressed, QPoint(25, 13), Qt::ControlModifier);
        QCOMPARE(child->findElement("e1")->pos(), child->Surface1->toScreen(QPoint(30, 18)));
        QCOMPARE(placeOf(child, 1), QPoint(10, 10));  // not before the release
        QTest::mouseRelease(pressed, Qt::LeftButton, Qt::ControlModifier, QPoint(25, 13));
        QCOMPARE(placeOf(child, 1), QPoint(30, 18));
        QCOMPARE(placeOf(child, 3), QPoint(220, 48));
        QCOMPARE(placeOf(child, 2), QPoint(100, 20));
        QCOMPARE(child->document().history().count(), 1);
        QCOMPARE(child->action("aVisszavonas")->text(), QString("Visszavonás: Mozgatás"));
        QCOMPARE(child->Selection(), ids(child, {1, 3}));

        child->action("aVisszavonas")->trigger();
        QCOMPARE(placeOf(child, 1), QPoint(10, 10));
        QCOMPARE(child->findElement("e3")->pos(), child->Surface1->toScreen(QPoint(200, 40)));
        QCOMPARE(child->Selection(), ids(child, {1, 3}));
        QCOMPARE(child->Shape1->pos(), child->Surface1->toScreen(QPoint(10, 10)));

        child->Surface1->setFocus();
        QTest::keyClick(child->Surface1, Qt::Key_Right);
        QTest::keyClick(child->Surface1, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(placeOf(child, 1), QPoint(11, 20));
        QCOMPARE(placeOf(child, 3), QPoint(201, 50));
        QCOMPARE(child->document().history().index(), 1);
    }

    // Ctrl+Z while a group is dragged takes away the copies being dragged
    // and makes another layer current: the drag stops, and the release
    // writes where the layer left on the card was dragged, nothing of the
    // gone ones.
    void undoDuringAGroupDrag()
    {
        Tfrm_Child* child = openCard({frame(1, 10, 10, 40, 30), frame(2, 100, 20, 40, 30)});
        QTest::keyClick(child->Surface1, Qt::Key_A, Qt::ControlModifier);
        child->action("aDuplikalas")->trigger();
        click(child, 1, Qt::ShiftModifier);
        QCOMPARE(child->Selection().size(), std::size_t(3));
        CardElement* pressed = child->findElement("e1");
        QTest::mousePress(pressed, Qt::LeftButton, {}, QPoint(5, 5));
        drag(pressed, QPoint(15, 5), Qt::ControlModifier);
        child->action("aVisszavonas")->trigger();
        QCOMPARE(child->Tbl().StoredCount(), 2);
        drag(pressed, QPoint(25, 5), Qt::ControlModifier);
        QTest::mouseRelease(pressed, Qt::LeftButton, Qt::ControlModifier, QPoint(25, 5));
        QCOMPARE(placeOf(child, 1), QPoint(20, 10));
        QCOMPARE(placeOf(child, 2), QPoint(100, 20));
    }

    // Delete, cut, copy, paste and duplicate take every selected layer, in
    // stack order, each as one step; what comes back or comes new is the
    // selection.
    void groupDeleteCopyAndDuplicate()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna", 10, 10}, frame(2, 100, 20, 40, 30), {3, 0, "B\xE9la", 200, 40}});
        click(child, 3);
        click(child, 1, Qt::ControlModifier);
        child->document().history().clear();
        child->action("aTorol")->trigger();
        QCOMPARE(stack(child), QStringList{"e2"});
        QCOMPARE(child->document().history().count(), 1);
        child->action("aVisszavonas")->trigger();
        QCOMPARE(stack(child), (QStringList{"e1", "e2", "e3"}));
        QCOMPARE(child->Selection(), ids(child, {1, 3}));

        child->action("aMasolas")->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QString("Anna\nBéla"));
        child->action("aDuplikalas")->trigger();
        QCOMPARE(child->Tbl().StoredCount(), 5);
        QCOMPARE(child->document().history().count(), 1);
        QCOMPARE(child->Selection().size(), std::size_t(2));
        QCOMPARE(ReadStr(LayerRef(child->Tbl(), 3), "nev"), std::string("Anna"));
        QCOMPARE(ReadInt(LayerRef(child->Tbl(), 4), "left"), 210);

        // Cut from the copies, pasted back in their order.
        child->action("aKivagas")->trigger();
        QCOMPARE(child->Tbl().StoredCount(), 3);
        child->action("aBeillesztes")->trigger();
        QCOMPARE(child->Tbl().StoredCount(), 5);
        QCOMPARE(ReadStr(LayerRef(child->Tbl(), 3), "nev"), std::string("Anna"));
        QCOMPARE(ReadStr(LayerRef(child->Tbl(), 4), "nev"), std::string("B\xE9la"));
        QCOMPARE(child->Selection().size(), std::size_t(2));
        child->action("aVisszavonas")->trigger();
        QCOMPARE(child->Tbl().StoredCount(), 3);
    }

    // Each selected layer moves past its nearest neighbour that is not
    // selected, their order kept; a block at the top stays, and adds no
    // step.
    void groupsRestackPastTheirNeighbours()
    {
        Tfrm_Child* child = openCard({frame(1, 0, 0, 5, 5), frame(2, 10, 0, 5, 5), frame(3, 20, 0, 5, 5),
                                      frame(4, 30, 0, 5, 5), frame(5, 40, 0, 5, 5)});
        click(child, 2);
        click(child, 3, Qt::ShiftModifier);
        child->document().history().clear();
        child->action("aFeljebb")->trigger();
        QCOMPARE(stack(child), (QStringList{"e1", "e4", "e2", "e3", "e5"}));
        QCOMPARE(child->document().history().count(), 1);
        QCOMPARE(child->Selection(), ids(child, {2, 3}));
        child->action("aFeljebb")->trigger();
        QCOMPARE(stack(child), (QStringList{"e1", "e4", "e5", "e2", "e3"}));
        child->action("aFeljebb")->trigger();
        QCOMPARE(child->document().history().count(), 2);
        child->action("aHatrabb")->trigger();
        QCOMPARE(stack(child), (QStringList{"e1", "e4", "e2", "e3", "e5"}));
        child->action("aVisszavonas")->trigger();
        child->action("aVisszavonas")->trigger();
        child->action("aVisszavonas")->trigger();
        QCOMPARE(stack(child), (QStringList{"e1", "e2", "e3", "e4", "e5"}));
    }

    // A field set from the panel goes to every selected layer of the
    // current one's kind, only that field, as one step; typing too.
    void panelFieldsReachEverySelectedLayerOfTheKind()
    {
        Tfrm_Child* child =
            openCard({{1, 0, "Anna", 10, 10}, frame(2, 100, 20, 40, 30), {3, 0, "B\xE9la", 200, 40, {{"igazitas", 2}}}});
        QTest::keyClick(child->Surface1, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(child->CurrentElement(), child->findElement("e1"));
        child->document().history().clear();
        child->action("aFelkover")->trigger();
        QVERIFY(ReadBool(LayerRef(child->Tbl(), 0), "felkover"));
        QVERIFY(ReadBool(LayerRef(child->Tbl(), 2), "felkover"));
        QCOMPARE(fieldOf(child, 3, "igazitas"), 2);
        QCOMPARE(child->document().history().count(), 1);
        QVERIFY(qobject_cast<TextElement*>(child->findElement("e3"))->look().font.bold());

        child->DBEdit1->setFocus();
        child->DBEdit1->selectAll();
        QTest::keyClicks(child->DBEdit1, "Zoe");
        QCOMPARE(ReadStr(LayerRef(child->Tbl(), 2), "nev"), std::string("Zoe"));
        QCOMPARE(child->document().history().count(), 2);
        child->action("aVisszavonas")->trigger();
        QCOMPARE(ReadStr(LayerRef(child->Tbl(), 2), "nev"), std::string("B\xE9la"));
        QCOMPARE(ReadStr(LayerRef(child->Tbl(), 0), "nev"), std::string("Anna"));
    }

    // Aligned to each other as one step each, or to the card alone;
    // spaced evenly; undone as they were.
    void alignAndDistribute()
    {
        Tfrm_Child* child = openCard({frame(1, 10, 10, 40, 30), frame(2, 100, 70, 20, 30), frame(3, 200, 40, 30, 50)});
        child->action("aIgazitJobbra")->trigger();
        QCOMPARE(placeOf(child, 1), QPoint(300, 10));
        child->action("aVisszavonas")->trigger();

        QTest::keyClick(child->Surface1, Qt::Key_A, Qt::ControlModifier);
        child->document().history().clear();
        child->action("aIgazitBalra")->trigger();
        QCOMPARE(placeOf(child, 2), QPoint(10, 70));
        QCOMPARE(placeOf(child, 3), QPoint(10, 40));
        child->action("aVisszavonas")->trigger();
        child->action("aIgazitAlulra")->trigger();
        QCOMPARE(placeOf(child, 1), QPoint(10, 70));
        QCOMPARE(placeOf(child, 2), QPoint(100, 70));
        QCOMPARE(placeOf(child, 3), QPoint(200, 50));
        child->action("aIgazitFuggolegesen")->trigger();
        QCOMPARE(placeOf(child, 1), QPoint(10, 60));
        QCOMPARE(child->document().history().count(), 2);
        child->action("aVisszavonas")->trigger();
        child->action("aVisszavonas")->trigger();

        // Between 10 and 230, widths 40, 20, 30: gaps of 65.
        child->action("aElosztVizszintesen")->trigger();
        QCOMPARE(placeOf(child, 2), QPoint(115, 70));
        QCOMPARE(placeOf(child, 3), QPoint(200, 40));
        QCOMPARE(child->document().history().count(), 1);
        QCOMPARE(child->action("aVisszavonas")->text(), QString("Visszavonás: Elosztás vízszintesen"));
        child->action("aVisszavonas")->trigger();
        QCOMPARE(placeOf(child, 2), QPoint(100, 70));

        // Centred on the card together: the box round them, 220 wide, at
        // 60, each keeping its place in it.
        child->action("aVizszintesKozepre")->trigger();
        QCOMPARE(placeOf(child, 1), QPoint(60, 10));
        QCOMPARE(placeOf(child, 3), QPoint(250, 40));
    }

    // The handles of a group of shapes give each its share of the new box;
    // a group with a text cannot be resized.
    void groupsOfShapesResize()
    {
        Tfrm_Child* child = openCard({frame(1, 10, 10, 40, 30), frame(2, 60, 40, 40, 30), {3, 0, "Anna", 200, 100}});
        click(child, 1);
        click(child, 2, Qt::ShiftModifier);
        QCOMPARE(child->Shape4->pos(), child->Surface1->toScreen(QPoint(100, 70)) - QPoint(7, 7));
        child->document().history().clear();
        QTest::mousePress(child->Shape4, Qt::LeftButton, {}, QPoint(3, 3));
        drag(child->Shape4, QPoint(3 + 90, 3 + 60), Qt::ControlModifier);
        QTest::mouseRelease(child->Shape4, Qt::LeftButton, Qt::ControlModifier, QPoint(3 + 90, 3 + 60));
        QCOMPARE(fieldOf(child, 1, "width"), 80);
        QCOMPARE(fieldOf(child, 2, "left"), 110);
        QCOMPARE(fieldOf(child, 2, "height"), 60);
        QCOMPARE(child->document().history().count(), 1);

        click(child, 3, Qt::ShiftModifier);
        QTest::mousePress(child->Shape4, Qt::LeftButton, {}, QPoint(3, 3));
        drag(child->Shape4, QPoint(50, 50), Qt::ControlModifier);
        QTest::mouseRelease(child->Shape4, Qt::LeftButton, Qt::ControlModifier, QPoint(50, 50));
        QCOMPARE(fieldOf(child, 1, "width"), 80);
        QCOMPARE(child->document().history().count(), 1);
    }
};

REGISTER_TEST(SelectionTest)

#include "SelectionTest.moc"
