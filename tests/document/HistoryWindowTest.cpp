#include "document/Child.h"

#include "editor/CardSurface.h"
#include "editor/FieldEditors.h"
#include "editor/PictureElement.h"
#include "editor/ResizeHandle.h"
#include "editor/TextElement.h"
#include "layer/LayerRecord.h"
#include "tests/FakeDialogs.h"
#include "tests/TestRegistry.h"
#include "tests/document/CardWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QMdiArea>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

void drag(QWidget* widget, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

} // namespace

// The card window's history as the user meets it: the two commands, their
// captions, the keys, and the screen after each step.
class HistoryWindowTest : public CardWindowTest
{
    Q_OBJECT

private slots:
    // The captions name the step; with nothing to take back or again the
    // commands are disabled and say only their name.
    void captionsNameTheStep()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}, {2, 2, "keret", 100, 50}});
        QAction* undo = child->action("aVisszavonas");
        QAction* redo = child->action("aMegis");
        QVERIFY(!undo->isEnabled() && !redo->isEnabled());
        QCOMPARE(undo->text(), QString("Visszavonás"));
        child->document().setCurrent(child->Tbl().StoredId(0));
        child->action("aFelkover")->trigger();
        child->document().setCurrent(child->Tbl().StoredId(1));
        child->action("aTorol")->trigger();
        QCOMPARE(undo->text(), QString("Visszavonás: Réteg törlése"));
        QVERIFY(undo->isEnabled() && !redo->isEnabled());
        undo->trigger();
        QCOMPARE(redo->text(), QString("Mégis: Réteg törlése"));
        undo->trigger();
        QCOMPARE(redo->text(), QString("Mégis: Félkövér"));
        QCOMPARE(undo->text(), QString("Visszavonás"));
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->iconText(), QString("Visszavonás"));
    }

    // Undoing a deletion brings the layer back where it was in the stack,
    // current, with its panel, its marks and its handles.
    void undoneDeletionComesBackSelected()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}, {2, 1, "kep", 20, 30, {{"kep", pictureBlob({40, 30})},
                                                                           {"keptip", std::string(".png")},
                                                                           {"width", 40}, {"height", 30},
                                                                           {"strech", false}}},
                                      {3, 2, "keret", 100, 50}});
        child->document().setCurrent(child->Tbl().StoredId(1));
        child->action("aTorol")->trigger();
        QVERIFY(!child->findElement("e2"));
        child->action("aVisszavonas")->trigger();
        auto* picture = qobject_cast<PictureElement*>(child->findElement("e2"));
        QVERIFY(picture);
        QCOMPARE(child->CurrentElement(), picture);
        QVERIFY(child->PageControl1->isTabVisible(1) && !child->PageControl1->isTabVisible(0));
        QVERIFY(child->action("aNormal")->isChecked());
        QVERIFY(child->Shape1->isVisible() && child->Shape1->pos() == picture->pos());
        const QObjectList stack = child->Surface1->children();
        QVERIFY(stack.indexOf(child->findElement("e1")) < stack.indexOf(picture));
        QVERIFY(stack.indexOf(picture) < stack.indexOf(child->findElement("e3")));
        QVERIFY(!child->Modified());
    }

    // A whole drag is one step; undone, the element and the record are
    // back where they were.
    void dragIsOneStep()
    {
        Tfrm_Child* child = openCard({{1, 2, "keret", 20, 30}});
        CardElement* frame = child->findElement("e1");
        const QPoint from = frame->pos();
        QTest::mousePress(frame, Qt::LeftButton, {}, QPoint(5, 5));
        // The element moves along under the pointer: each move is 4, 2 on.
        for (int step = 1; step <= 5; ++step)
            drag(frame, QPoint(9, 7));
        QTest::mouseRelease(frame, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(child->document().history().count(), 1);
        QCOMPARE(child->action("aVisszavonas")->text(), QString("Visszavonás: Mozgatás"));
        QCOMPARE(ReadInt(child->Tbl(), "left"), 40);
        child->action("aVisszavonas")->trigger();
        QCOMPARE(frame->pos(), from);
        QCOMPARE(ReadInt(child->Tbl(), "left"), 20);
        QCOMPARE(child->Shape1->pos(), from);
    }

    // Ctrl+Z in the text box takes back the card's steps, the typing
    // included, never only the box's own; Ctrl+Y and Shift+Ctrl+Z redo.
    void undoKeysInTheTextBoxUndoTheCard()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}});
        auto* anna = qobject_cast<TextElement*>(child->findElement("e1"));
        child->action("aFelkover")->trigger();
        child->DBEdit1->setFocus();
        child->DBEdit1->selectAll();
        QTest::keyClicks(child->DBEdit1, "Zoe");
        QCOMPARE(anna->look().text, QString("Zoe"));
        QTest::keySequence(child->DBEdit1, QKeySequence("Ctrl+Z"));
        QCOMPARE(child->DBEdit1->text(), QString("Anna"));
        QCOMPARE(anna->look().text, QString("Anna"));
        QCOMPARE(ReadStr(child->Tbl(), "nev"), std::string("Anna"));
        QTest::keySequence(child->DBEdit1, QKeySequence("Ctrl+Z"));
        QVERIFY(!anna->look().font.bold() && !child->action("aFelkover")->isChecked());
        // Nothing left to undo: the box's own history does not step in.
        QTest::keySequence(child->DBEdit1, QKeySequence("Ctrl+Z"));
        QCOMPARE(child->DBEdit1->text(), QString("Anna"));
        QTest::keySequence(child->DBEdit1, QKeySequence("Ctrl+Y"));
        QVERIFY(anna->look().font.bold());
        QTest::keySequence(child->DBEdit1, QKeySequence("Shift+Ctrl+Z"));
        QCOMPARE(child->DBEdit1->text(), QString("Zoe"));
        QVERIFY(child->Modified());
    }
};

REGISTER_TEST(HistoryWindowTest)

#include "HistoryWindowTest.moc"
