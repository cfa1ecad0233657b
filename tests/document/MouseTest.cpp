#include "document/Child.h"

#include "editor/CardSurface.h"
#include "editor/FieldEditors.h"
#include "editor/PictureElement.h"
#include "editor/ResizeHandle.h"
#include "editor/ShapeElement.h"
#include "editor/TextElement.h"
#include "layer/LayerRecord.h"
#include "tests/FakeDialogs.h"
#include "tests/TestRegistry.h"
#include "tests/document/CardWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>

namespace {

// A move with the button still held, at a point inside widget.
void drag(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, button, modifiers);
    QApplication::sendEvent(widget, &move);
}

// Typed as a user types, letter by letter, accents included.
void type(QWidget* widget, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

int field(const LayerTable& table, const char* name)
{
    return ReadInt(table, name, -999);
}

} // namespace

class MouseTest : public CardWindowTest
{
    Q_OBJECT

private slots:
    // Pressed at (5, 3) and moved 10 right, 4 down with Ctrl (no snapping):
    // the element moves by exactly that, and the release writes it once.
    // Any button drags.
    void draggingMovesByThePointersDistance()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna", 20, 30}, {2, 2, "keret", 100, 50}});
        CardElement* anna = child->findElement("e1");
        child->document().history().setClean();
        QTest::mousePress(anna, Qt::LeftButton, {}, QPoint(5, 3));
        drag(anna, QPoint(15, 7), Qt::LeftButton, Qt::ControlModifier);
        QCOMPARE(anna->pos(), child->Surface1->margin() + QPoint(30, 34));
        QCOMPARE(field(child->Tbl(), "left"), 20);  // not before the release
        QTest::mouseRelease(anna, Qt::LeftButton, {}, QPoint(15, 7));
        QCOMPARE(field(child->Tbl(), "left"), 30);
        QCOMPARE(field(child->Tbl(), "top"), 34);
        QVERIFY(child->Modified() && !child->Dragging());

        // The right button selects and drags too; its menu opens at the
        // release; the handles travel with the shape.
        CardElement* shape = child->findElement("e2");
        QTest::mousePress(shape, Qt::RightButton, {}, QPoint(2, 2));
        QCOMPARE(child->CurrentElement(), shape);
        drag(shape, QPoint(12, 22), Qt::RightButton);
        QCOMPARE(child->Shape1->pos(), shape->pos());
        QTest::mouseRelease(shape, Qt::RightButton, {}, QPoint(12, 22));
        QCOMPARE(field(child->Tbl(), "left"), 110);
        QCOMPARE(field(child->Tbl(), "top"), 70);
        QVERIFY(child->PopupMenu3->isVisible());
        child->PopupMenu3->close();

        // A click that moves nothing writes nothing: no step, unmodified.
        child->document().history().setClean();
        QTest::mouseClick(shape, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(field(child->Tbl(), "left"), 110);
        QVERIFY(!child->Modified());
    }

    // After the font dialog a double-click opened, the next move over the
    // element is no drag: the button went up in the dialog.
    void noJumpAfterADoubleClickDialog()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna", 20, 30}});
        CardElement* anna = child->findElement("e1");
        QTest::mouseDClick(anna, Qt::LeftButton, {}, QPoint(5, 3));
        QCOMPARE(fake->count("font"), 1);
        const QPoint before = anna->pos();
        drag(anna, QPoint(40, 20), Qt::NoButton);
        drag(anna, QPoint(60, 30), Qt::NoButton);
        QCOMPARE(anna->pos(), before);
        QVERIFY(!child->Dragging());
    }

    // The second press of a double-click whose dialog failed or was
    // cancelled, its button released inside the dialog: moves without a
    // button drag nothing, and a handle pressed before does not resize
    // from its old press.
    void noDragOnceTheButtonIsUp()
    {
        Tfrm_Child* child = openCard({{1, 1, "kep", 20, 20, {{"kep", pictureBlob({40, 30})},
                                                             {"keptip", std::string(".png")}, {"width", 40},
                                                             {"height", 30}, {"strech", true}}}});
        CardElement* picture = child->findElement("e1");
        QFile junk(dir.filePath("junk.png"));
        junk.open(QIODevice::WriteOnly);
        junk.write("no picture");
        junk.close();
        for (bool fails : {true, false}) {
            fake->pictureAnswers = {fails ? std::optional<QString>(junk.fileName()) : std::nullopt};
            drag(picture, QPoint(5, 5), Qt::NoButton);  // clears what an earlier dialog left
            QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(5, 5), picture->mapToGlobal(QPointF(5, 5)),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(picture, &twice);
            QCOMPARE(fake->count("error"), 1);
            const QPoint before = picture->pos();
            for (int step = 1; step <= 3; ++step)
                drag(picture, QPoint(5 + 10 * step, 5 + 4 * step), Qt::NoButton);
            QCOMPARE(picture->pos(), before);
            QVERIFY(!child->Dragging());
        }

        // A press on a handle whose release went elsewhere.
        QTest::mousePress(child->Shape4, Qt::LeftButton, {}, QPoint(3, 3));
        drag(child->Shape4, QPoint(40, 40), Qt::NoButton);
        QCOMPARE(picture->size(), QSize(40, 30));
        QVERIFY(!child->Dragging());
    }

    // A foreign card that gives two layers one name: each is shown and
    // edited like any other, the record changed is always the one whose
    // element was used, and the saved card says what the screen showed,
    // the names kept as stored.
    void layersThatShareANameAreEditedApart()
    {
        Tfrm_Child* child = openCard({{1, 2, "egyik", 10, 10, {{"compnev", std::string("shp7")}}},
                                      {2, 2, "masik", 150, 60, {{"compnev", std::string("SHP7")}}}});
        QCOMPARE(fake->count("error"), 0);
        QList<CardElement*> elements;
        for (QObject* object : child->Surface1->children())
            if (auto* element = qobject_cast<CardElement*>(object))
                elements << element;
        QCOMPARE(elements.size(), 2);
        QVERIFY(!elements[0]->isPlaceholder() && !elements[1]->isPlaceholder());

        QTest::mouseClick(elements[1], Qt::LeftButton, {}, QPoint(4, 4));
        QCOMPARE(child->CurrentElement(), elements[1]);
        QCOMPARE(ReadStr(child->Tbl(), "nev"), std::string("masik"));
        child->action("aKor")->trigger();
        child->action("aV3")->trigger();
        QCOMPARE(qobject_cast<ShapeElement*>(elements[1])->look().kind, ShapeKind::Ellipse);
        QCOMPARE(qobject_cast<ShapeElement*>(elements[0])->look().kind, ShapeKind::Rectangle);

        QTest::mousePress(elements[0], Qt::LeftButton, {}, QPoint(5, 5));
        drag(elements[0], QPoint(25, 15));
        QTest::mouseRelease(elements[0], Qt::LeftButton, {}, QPoint(25, 15));
        QCOMPARE(child->CurrentElement(), elements[0]);
        QTest::mousePress(child->Shape4, Qt::LeftButton, {}, QPoint(3, 3));
        drag(child->Shape4, QPoint(13, 3));
        QTest::mouseRelease(child->Shape4, Qt::LeftButton, {}, QPoint(13, 3));
        QCOMPARE(elements[0]->size(), QSize(110, 100));
        QCOMPARE(elements[1]->size(), QSize(100, 100));

        child->SaveCard(dir.filePath("shared.bcrd"));
        LayerTable saved = makeLayerTable();
        saved.LoadFile(dir.filePath("shared.bcrd").toStdString());
        QCOMPARE(ReadStr(saved, "compnev"), std::string("shp7"));
        QCOMPARE(QList<int>({field(saved, "left"), field(saved, "top"), field(saved, "width"), field(saved, "shape")}),
                 QList<int>({30, 20, 110, 0}));
        saved.MoveNext();
        QCOMPARE(ReadStr(saved, "compnev"), std::string("SHP7"));
        QCOMPARE(QList<int>({field(saved, "left"), field(saved, "width"), field(saved, "shape"),
                             field(saved, "penwidth")}),
                 QList<int>({150, 100, 1, 3}));

        // Deleting takes the selected one away, element and record.
        QTest::mouseClick(elements[1], Qt::LeftButton, {}, QPoint(4, 4));
        child->action("aTorol")->trigger();
        QCOMPARE(child->Tbl().StoredCount(), 1);
        QCOMPARE(ReadStr(child->Tbl(), "nev"), std::string("egyik"));
        QVERIFY(elements[0]->parent() == child->Surface1);
    }

    // A box that a card file gives as 0 or less wide stays so until the
    // user really resizes it: a click on a handle writes nothing new.
    void storedEmptyBoxesStayUntilResized()
    {
        Tfrm_Child* child = openCard({{1, 2, "vonal", 10, 10, {{"width", 0}, {"height", -20}}}});
        child->document().history().setClean();
        QTest::mouseClick(child->Shape4, Qt::LeftButton, {}, QPoint(3, 3));
        QCOMPARE(QList<int>({field(child->Tbl(), "width"), field(child->Tbl(), "height")}), QList<int>({0, -20}));
        QVERIFY(!child->Modified());
        QTest::mousePress(child->Shape4, Qt::LeftButton, {}, QPoint(3, 3));
        drag(child->Shape4, QPoint(23, 33));
        QTest::mouseRelease(child->Shape4, Qt::LeftButton, {}, QPoint(23, 33));
        QVERIFY(field(child->Tbl(), "width") > 0 && field(child->Tbl(), "height") > 0);
    }

    // The bottom-right handle moves the right and bottom edges, the
    // top-left one the left and top; only the left button resizes, and a
    // stretched picture is fetched again at its new size.
    void handlesResizeTheirEdges()
    {
        Tfrm_Child* child = openCard({{1, 2, "keret", 10, 10, {{"width", 100}, {"height", 100}}},
                                      {2, 1, "kep", 200, 20, {{"kep", pictureBlob({400, 300})},
                                                              {"keptip", std::string(".png")}, {"width", 40},
                                                              {"height", 30}, {"strech", true}}}});
        child->document().setCurrent(child->Tbl().StoredId(0));
        const QPoint from(3, 3);
        QTest::mousePress(child->Shape4, Qt::LeftButton, {}, from);
        drag(child->Shape4, from + QPoint(30, -20));
        QTest::mouseRelease(child->Shape4, Qt::LeftButton, {}, from + QPoint(30, -20));
        QCOMPARE(QList<int>({field(child->Tbl(), "left"), field(child->Tbl(), "top"), field(child->Tbl(), "width"),
                             field(child->Tbl(), "height")}),
                 QList<int>({10, 10, 130, 80}));

        QTest::mousePress(child->Shape1, Qt::LeftButton, {}, from);
        drag(child->Shape1, from + QPoint(30, -20));
        QTest::mouseRelease(child->Shape1, Qt::LeftButton, {}, from + QPoint(30, -20));
        QCOMPARE(QList<int>({field(child->Tbl(), "left"), field(child->Tbl(), "top"), field(child->Tbl(), "width"),
                             field(child->Tbl(), "height")}),
                 QList<int>({40, -10, 100, 100}));

        child->document().history().setClean();
        QTest::mousePress(child->Shape4, Qt::RightButton, {}, from);
        drag(child->Shape4, from + QPoint(50, 50), Qt::RightButton);
        QTest::mouseRelease(child->Shape4, Qt::RightButton, {}, from + QPoint(50, 50));
        QCOMPARE(field(child->Tbl(), "width"), 100);
        QVERIFY(!child->Modified());

        child->document().setCurrent(child->Tbl().StoredId(1));
        auto* picture = qobject_cast<PictureElement*>(child->CurrentElement());
        QCOMPARE(picture->picture().size(), QSize(40, 30));
        QTest::mousePress(child->Shape4, Qt::LeftButton, {}, from);
        drag(child->Shape4, from + QPoint(60, 45));
        QTest::mouseRelease(child->Shape4, Qt::LeftButton, {}, from + QPoint(60, 45));
        QCoreApplication::processEvents();
        QCOMPARE(picture->picture().size(), QSize(100, 75));
    }

    // A whole card made through the commands and the mouse reads back from
    // its file into a new window with every field as it was.
    void aCardMadeByHandReopensUnchanged()
    {
        auto* child = new Tfrm_Child({QFont("Arial", 8), 9}, area);
        area->addSubWindow(child);
        child->show();
        child->RebuildElements();

        child->action("aSzoveg")->trigger();
        type(child->DBEdit1, QString::fromUtf8("Kovács Árpád"));
        child->action("aFelkover")->trigger();
        child->action("aJobbra")->trigger();
        QFile png(dir.filePath("logo.png"));
        png.open(QIODevice::WriteOnly);
        png.write(pngBytes({30, 20}, Qt::green));
        png.close();
        fake->pictureAnswers = {png.fileName()};
        child->action("aKep")->trigger();
        child->action("aNormal")->trigger();
        child->action("aAlakzat")->trigger();
        CardElement* shape = child->CurrentElement();
        QTest::mousePress(shape, Qt::LeftButton, {}, QPoint(5, 5));
        drag(shape, QPoint(105, 55));
        QTest::mouseRelease(shape, Qt::LeftButton, {}, QPoint(105, 55));
        child->action("aES4")->trigger();
        child->action("aV3")->trigger();
        child->SaveCard(dir.filePath("made.bcrd"));

        auto* again = new Tfrm_Child({QFont("Arial", 8), 9}, area);
        area->addSubWindow(again);
        again->show();
        again->LoadCard(dir.filePath("made.bcrd"));
        QCOMPARE(again->Tbl().StoredCount(), 3);
        QCOMPARE(again->Tbl().Fields().size(), child->Tbl().Fields().size() - 1);  // no kind name in the file
        for (int row = 0; row < 3; ++row) {
            for (const FieldDef& def : again->Tbl().Fields()) {
                const int here = child->Tbl().FieldIndex(def.FieldName);
                const int there = again->Tbl().FieldIndex(def.FieldName);
                QVERIFY2(child->Tbl().StoredValue(row, here) == again->Tbl().StoredValue(row, there),
                         def.FieldName.c_str());
            }
        }
        child->document().setCurrent(child->Tbl().StoredId(0));
        QCOMPARE(ReadStr(child->Tbl(), "nev"), std::string("Kov\xE1" "cs \xC1rp\xE1" "d"));
        child->document().setCurrent(child->Tbl().StoredId(2));
        QCOMPARE(field(child->Tbl(), "left"), 110);
        QCOMPARE(field(child->Tbl(), "brushstyle"), 4);
        QCOMPARE(field(child->Tbl(), "penwidth"), 3);
        QVERIFY(qobject_cast<TextElement*>(again->findElement(
            QString::fromStdString(ReadStr(again->Tbl(), "compnev")))));
    }
};

REGISTER_TEST(MouseTest)

#include "MouseTest.moc"
