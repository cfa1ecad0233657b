#include "document/Child.h"

#include "editor/CardElement.h"
#include "editor/CardSurface.h"
#include "editor/FieldEditors.h"
#include "editor/ResizeHandle.h"
#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "tests/FakeDialogs.h"
#include "tests/TestRegistry.h"
#include "tests/document/CardWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMdiArea>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>

namespace {

void drag(QWidget* widget, QPoint at, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, modifiers);
    QApplication::sendEvent(widget, &move);
}

int field(const LayerTable& table, std::string_view name)
{
    return ReadInt(table, std::string(name).c_str(), -999);
}

// A white rectangle with a black outline one pixel wide.
Layer frame(int number, int left, int top, int width, int height)
{
    return {number, 2, "keret", left, top,
            {{"width", width}, {"height", height}, {"shape", 0}, {"brushcolor", 0xFFFFFF}, {"pencolor", 0},
             {"penwidth", 1}}};
}

Layer photo(int number, int left, int top)
{
    return {number, 1, "kep", left, top,
            {{"kep", pictureBlob({40, 30})}, {"keptip", std::string(".png")}, {"width", 40}, {"height", 30},
             {"strech", true}}};
}

// Every stored field of the current record but the two a copy gets anew.
QStringList copiedFields(const LayerTable& table)
{
    QStringList values;
    for (std::string_view name : Field::All) {
        if (name == Field::sorszam || name == Field::compnev || name == Field::tipus_nev)
            continue;
        const std::string shown = std::visit(
            [](const auto& value) -> std::string {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, std::monostate>)
                    return "null";
                else if constexpr (std::is_same_v<T, std::string>)
                    return value;
                else if constexpr (std::is_same_v<T, Blob>)
                    return value.bytes();
                else
                    return std::to_string(value);
            },
            table.ReadField(name));
        values << QString::fromStdString(std::string(name) + "=" + shown);
    }
    return values;
}

// Files dragged from a file manager and let go over widget at a point.
bool dropFiles(QWidget* widget, const QStringList& paths, QPoint at)
{
    QMimeData data;
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data.setUrls(urls);
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &enter);
    if (!enter.isAccepted())
        return false;
    QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &drop);
    return true;
}

} // namespace

// Zoom, snapping, nudging, duplicating, the clipboard and dropped files, as
// the user meets them in a card window.
class EditingTest : public CardWindowTest
{
    Q_OBJECT

public:
    EditingTest() : CardWindowTest({1200, 800}) {}

private slots:
    // At 300 % the element is three times the size and a move of the
    // pointer is stored in card pixels, left and up too; the element sits
    // where the stored place draws it.
    void dragsAtAZoomAreStoredInCardPixels()
    {
        Tfrm_Child* child = openCard({frame(1, 20, 30, 100, 50)});
        child->setZoom(300);
        QCOMPARE(child->ZoomBox1->currentText(), QString("300%"));
        CardElement* box = child->findElement("e1");
        QCOMPARE(box->geometry(), QRect(child->Surface1->margin() + QPoint(60, 90), QSize(300, 150)));

        QTest::mousePress(box, Qt::LeftButton, {}, QPoint(5, 5));
        drag(box, QPoint(5 + 31, 5 - 62), Qt::ControlModifier);  // 10.3 right, 20.7 up
        QCOMPARE(box->pos(), child->Surface1->margin() + QPoint(90, 27));
        QTest::mouseRelease(box, Qt::LeftButton, Qt::ControlModifier, QPoint(5 + 31, 5 - 62));
        QCOMPARE(QList<int>({field(child->Tbl(), "left"), field(child->Tbl(), "top"), field(child->Tbl(), "width")}),
                 QList<int>({30, 9, 100}));

        // The resize handle's move is card pixels too.
        QTest::mousePress(child->Shape4, Qt::LeftButton, {}, QPoint(3, 3));
        drag(child->Shape4, QPoint(3 + 7, 3 - 3), Qt::ControlModifier);
        QTest::mouseRelease(child->Shape4, Qt::LeftButton, Qt::ControlModifier, QPoint(3 + 7, 3 - 3));
        QCOMPARE(QList<int>({field(child->Tbl(), "width"), field(child->Tbl(), "height")}), QList<int>({102, 49}));

        // Back to 100 % by the keys, with the stored values drawn as they are.
        child->action("aEredetiNagysag")->trigger();
        QCOMPARE(box->geometry(), QRect(child->Surface1->margin() + QPoint(30, 9), QSize(102, 49)));
        QVERIFY(!child->action("aKicsinyites")->isEnabled() && !child->action("aEredetiNagysag")->isEnabled());
    }

    // Ctrl and a wheel's notch zoom a step; a touchpad's small turns add
    // up to one; the wheel alone is left to the scroll bars.
    // A layer placed partly off the card shows in the card box's margin, at
    // least 5 mm round the card at every zoom, and the card box fits the
    // card and that margin at 100 % without scroll bars.
    void layersOffTheCardShowInItsMargin()
    {
        Tfrm_Child* child = openCard({frame(1, -15, -12, 60, 40), frame(2, 335, 185, 20, 20)});
        QVERIFY(QTest::qWaitForWindowExposed(child));
        QApplication::processEvents();
        QVERIFY(!child->ScrollBox1->horizontalScrollBar()->isVisible());
        QVERIFY(!child->ScrollBox1->verticalScrollBar()->isVisible());
        for (int zoom : CardSurface::zooms()) {
            child->setZoom(zoom);
            const QRect before = child->findElement("e1")->geometry();
            const QRect after = child->findElement("e2")->geometry();
            const int fiveMm = int(std::ceil(5 * 340 / 89.96 * zoom / 100));
            QVERIFY2(child->Surface1->margin().x() >= fiveMm, qPrintable(QString::number(zoom)));
            QVERIFY(before.left() >= 0 && before.top() >= 0);
            QCOMPARE(before.topLeft(), child->Surface1->toScreen(QPoint(-15, -12)));
            QVERIFY(after.right() < child->Surface1->minimumWidth() && after.bottom() < child->Surface1->minimumHeight());
        }
    }

    void ctrlAndTheWheelZoom()
    {
        Tfrm_Child* child = openCard({frame(1, 10, 10, 100, 50)});
        auto turn = [&](int delta, Qt::KeyboardModifiers modifiers) {
            const QPointF at(50, 50);
            QWheelEvent wheel(at, child->Surface1->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                              modifiers, Qt::NoScrollPhase, false);
            QApplication::sendEvent(child->Surface1, &wheel);
        };
        turn(120, Qt::ControlModifier);
        QCOMPARE(child->zoom(), 150);
        for (int i = 0; i < 3; ++i)
            turn(40, Qt::ControlModifier);
        QCOMPARE(child->zoom(), 200);
        turn(-240, Qt::ControlModifier);
        QCOMPARE(child->zoom(), 100);
        turn(120, Qt::NoModifier);
        QCOMPARE(child->zoom(), 100);
    }

    // Dragged to within 4 screen pixels of the card's middle, the box's
    // centre lands on it and a guide shows until the release; with Ctrl it
    // stays where the pointer put it. A resized edge snaps to another
    // layer's edge.
    void boxesSnapToTheCardAndToOtherLayers()
    {
        Tfrm_Child* child = openCard({frame(1, 10, 10, 100, 50), frame(2, 250, 150, 40, 30)});
        child->setZoom(200);
        CardElement* box = child->findElement("e1");
        for (bool ctrl : {false, true}) {
            const Qt::KeyboardModifiers modifiers = ctrl ? Qt::ControlModifier : Qt::NoModifier;
            child->document().setCurrent(child->Tbl().StoredId(0));
            const QPoint from(4, 4);
            QTest::mousePress(box, Qt::LeftButton, modifiers, from);
            // 109 card pixels right: the centre at 169, the card's at 170.
            drag(box, from + QPoint(218, 0), modifiers);
            QCOMPARE(child->Surface1->guideX().has_value(), !ctrl);
            if (!ctrl)
                QCOMPARE(*child->Surface1->guideX(), 170.0);
            QVERIFY(!child->Surface1->guideY());
            QTest::mouseRelease(box, Qt::LeftButton, modifiers, from + QPoint(218, 0));
            QVERIFY(!child->Surface1->guideX());
            QCOMPARE(field(child->Tbl(), "left"), ctrl ? 119 : 120);
            child->aVisszavonasExecute();
            QCOMPARE(field(child->Tbl(), "left"), 10);
        }

        // The bottom-right handle, 2 card pixels short of the other
        // frame's left edge (250), is pulled onto it.
        child->document().setCurrent(child->Tbl().StoredId(0));
        QTest::mousePress(child->Shape4, Qt::LeftButton, {}, QPoint(3, 3));
        drag(child->Shape4, QPoint(3 + 2 * 138, 3));
        QCOMPARE(child->Surface1->guideX().value_or(-1), 250.0);
        QTest::mouseRelease(child->Shape4, Qt::LeftButton, {}, QPoint(3 + 2 * 138, 3));
        QCOMPARE(field(child->Tbl(), "width"), 240);
    }

    // The arrows move the current layer from the focused surface, Shift
    // by ten; a burst is one step. Esc from the text box hands the keys
    // to the surface.
    void nudgesAreOneStepPerBurst()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna", 20, 30}, frame(2, 100, 100, 50, 40)});
        child->document().setCurrent(child->Tbl().StoredId(0));
        QWidget* textBox = child->findChild<QWidget*>("DBEdit1");
        QVERIFY(textBox);
        textBox->setFocus();
        QTest::keyClick(textBox, Qt::Key_Escape);
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(child->Surface1));

        const int steps = child->document().history().count();
        QTest::keyClick(child->Surface1, Qt::Key_Right);
        QTest::keyClick(child->Surface1, Qt::Key_Right);
        QTest::keyClick(child->Surface1, Qt::Key_Down, Qt::ShiftModifier);
        QTest::keyClick(child->Surface1, Qt::Key_Left);
        QCOMPARE(QList<int>({field(child->Tbl(), "left"), field(child->Tbl(), "top")}), QList<int>({21, 40}));
        QCOMPARE(child->findElement("e1")->pos(), child->Surface1->margin() + QPoint(21, 40));
        QCOMPARE(child->document().history().count(), steps + 1);

        // Another layer starts a step of its own.
        child->document().setCurrent(child->Tbl().StoredId(1));
        QTest::keyClick(child->Surface1, Qt::Key_Up);
        QCOMPARE(child->document().history().count(), steps + 2);
        child->aVisszavonasExecute();
        child->aVisszavonasExecute();
        child->document().setCurrent(child->Tbl().StoredId(0));
        QCOMPARE(QList<int>({field(child->Tbl(), "left"), field(child->Tbl(), "top")}), QList<int>({20, 30}));
    }

    // A copy of a picture layer: on top, 10 right and down, its own number
    // and name, the same bytes in memory and in the saved file.
    void duplicatesShareTheirPicture()
    {
        Tfrm_Child* child = openCard({photo(1, 30, 40), frame(4, 0, 0, 10, 10)});
        child->document().setCurrent(child->Tbl().StoredId(0));
        child->action("aDuplikalas")->trigger();
        QCOMPARE(child->Tbl().StoredCount(), 3);
        QCOMPARE(QList<int>({field(child->Tbl(), "sorszam"), field(child->Tbl(), "left"), field(child->Tbl(), "top")}),
                 QList<int>({5, 40, 50}));
        const std::string name = ReadStr(child->Tbl(), "compnev");
        QVERIFY(name != "e1" && name != "e4" && child->findElement(QString::fromStdString(name)));
        QCOMPARE(child->document().history().undoText(), QString("Réteg másolása"));
        QVERIFY(child->PageControl1->isTabVisible(1) && child->Shape4->isVisible());  // the copy's panel and handles
        const Blob copy = std::get<Blob>(child->Tbl().ReadField("kep"));
        child->document().setCurrent(child->Tbl().StoredId(0));
        QVERIFY(copy.shares(std::get<Blob>(child->Tbl().ReadField("kep"))));

        const QString path = dir.filePath("twice.bcrd");
        child->SaveCard(path);
        LayerTable saved = makeLayerTable();
        saved.LoadFile(path.toStdString());
        saved.MoveTo(0);
        const Blob original = std::get<Blob>(saved.ReadField("kep"));
        saved.MoveTo(2);
        QCOMPARE(field(saved, "sorszam"), 5);
        QVERIFY(std::get<Blob>(saved.ReadField("kep")).bytes() == original.bytes());
        QVERIFY(original.bytes() == pictureBlob({40, 30}).bytes());
    }

    // Layers copied in one card window come into another with every field
    // but their number and name; pasted back into their own card they
    // move aside. In the text box the keys are the box's.
    void layersCopyBetweenCardWindows()
    {
        Tfrm_Child* from = openCard({{1, 0, "Kov\xE1" "cs \xC9va", 12, 14,
                                      {{"betumeret", 14}, {"felkover", true}, {"szin", 0x0000FF}, {"igazitas", 2}}},
                                     frame(2, 50, 60, 70, 20)},
                                    "from.bcrd");
        Tfrm_Child* into = openCard({photo(7, 0, 0)}, "into.bcrd");
        from->document().setCurrent(from->Tbl().StoredId(0));
        const QStringList text = copiedFields(from->Tbl());
        from->action("aMasolas")->trigger();
        QVERIFY(QApplication::clipboard()->mimeData()->hasFormat("application/x-lapora-layers"));

        into->action("aBeillesztes")->trigger();
        QCOMPARE(into->Tbl().StoredCount(), 2);
        QCOMPARE(field(into->Tbl(), "sorszam"), 8);
        QCOMPARE(copiedFields(into->Tbl()), text);
        QVERIFY(into->findElement(QString::fromStdString(ReadStr(into->Tbl(), "compnev"))));

        from->action("aBeillesztes")->trigger();
        QCOMPARE(from->Tbl().StoredCount(), 3);
        QCOMPARE(QList<int>({field(from->Tbl(), "sorszam"), field(from->Tbl(), "left"), field(from->Tbl(), "top")}),
                 QList<int>({3, 22, 24}));

        // Cut takes the layer away, as one step.
        from->action("aKivagas")->trigger();
        QCOMPARE(from->Tbl().StoredCount(), 2);
        QCOMPARE(from->document().history().undoText(), QString("Kivágás"));

        auto* textBox = from->findChild<QLineEdit*>("DBEdit1");
        QVERIFY(textBox);
        from->document().setCurrent(from->Tbl().StoredId(0));
        textBox->setFocus();
        textBox->selectAll();
        QTest::keyClick(textBox, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QApplication::clipboard()->text(), QString("Kovács Éva"));
        QTest::keyClick(textBox, Qt::Key_End);
        QTest::keyClick(textBox, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(from->Tbl().StoredCount(), 2);
        QCOMPARE(textBox->text(), QString("Kovács ÉvaKovács Éva"));
    }

    // A clipboard card of several layers comes in whole, in its order, as
    // one step; each layer gets its own number and a name of its own.
    void severalLayersPasteAsOneStep()
    {
        Tfrm_Child* child = openCard({frame(4, 0, 0, 10, 10)});
        const QString clip = writeCard(dir.filePath("clip.bcrd"),
                                       {{1, 0, "egy", 5, 5}, {2, 2, "kett\xF5", 30, 40}, {3, 0, "h\xE1rom", 60, 70}});
        auto* data = new QMimeData;
        data->setData("application/x-lapora-layers", readBytes(clip));
        QApplication::clipboard()->setMimeData(data);
        child->action("aBeillesztes")->trigger();
        QCOMPARE(child->Tbl().StoredCount(), 4);
        QCOMPARE(child->document().history().count(), 1);
        QStringList names;
        for (int row = 1; row < 4; ++row) {
            const LayerRef layer(child->Tbl(), row);
            QCOMPARE(ReadInt(layer, "sorszam"), 4 + row);
            names << QString::fromStdString(ReadStr(layer, "compnev"));
            QVERIFY(child->findElement(names.back()));
        }
        QCOMPARE(QSet<QString>(names.begin(), names.end()).size(), 3);
        QCOMPARE(ReadStr(child->Tbl(), "nev"), std::string("h\xE1rom"));
        child->document().history().undo();
        QCOMPARE(child->Tbl().StoredCount(), 1);
    }

    // A screenshot on the clipboard arrives as a PNG layer at its own size;
    // one larger than the card fitted into it from (10, 10).
    void clipboardPicturesBecomeLayers()
    {
        Tfrm_Child* child = openCard({frame(1, 0, 0, 10, 10)});
        QImage shot(60, 45, QImage::Format_RGB32);
        shot.fill(Qt::darkGreen);
        QApplication::clipboard()->setImage(shot);
        child->action("aBeillesztes")->trigger();
        QCOMPARE(ReadStr(child->Tbl(), "keptip"), std::string(".png"));
        QCOMPARE(QList<int>({field(child->Tbl(), "width"), field(child->Tbl(), "height")}), QList<int>({60, 45}));
        const Blob stored = std::get<Blob>(child->Tbl().ReadField("kep"));
        QCOMPARE(QImage::fromData(QByteArray::fromStdString(std::string(stored.bytes()))).pixelColor(5, 5),
                 QColor(Qt::darkGreen));

        QApplication::clipboard()->setImage(QImage(1320, 380, QImage::Format_RGB32));
        child->action("aBeillesztes")->trigger();
        QCOMPARE(QList<int>({field(child->Tbl(), "left"), field(child->Tbl(), "top"), field(child->Tbl(), "width"),
                             field(child->Tbl(), "height")}),
                 QList<int>({10, 10, 330, 95}));
    }

    // Two pictures dropped on the surface become two layers from the drop
    // point; a card file is not taken by the surface (the main window
    // opens it), and a file that is no picture stops the drop with its
    // message and no layer.
    void droppedPicturesBecomeLayers()
    {
        Tfrm_Child* child = openCard({frame(1, 0, 0, 10, 10)});
        child->setZoom(200);
        const QString a = dir.filePath("a.png"), b = dir.filePath("b.PNG");
        QImage(30, 20, QImage::Format_RGB32).save(a, "PNG");
        QImage(500, 100, QImage::Format_RGB32).save(b, "PNG");
        QVERIFY(dropFiles(child->Surface1, {a, b}, child->Surface1->toScreen(QPoint(40, 50))));
        QCOMPARE(child->Tbl().StoredCount(), 3);
        // Both pictures are one step.
        QCOMPARE(child->document().history().count(), 1);
        child->document().history().undo();
        QCOMPARE(child->Tbl().StoredCount(), 1);
        QCOMPARE(child->CurrentElement(), child->findElement("e1"));
        child->document().history().redo();
        QCOMPARE(child->Tbl().StoredCount(), 3);
        child->document().setCurrent(child->Tbl().StoredId(1));
        QCOMPARE(QList<int>({field(child->Tbl(), "left"), field(child->Tbl(), "top"), field(child->Tbl(), "width")}),
                 QList<int>({40, 50, 30}));
        child->document().setCurrent(child->Tbl().StoredId(2));
        QCOMPARE(QList<int>({field(child->Tbl(), "left"), field(child->Tbl(), "top"), field(child->Tbl(), "width")}),
                 QList<int>({10, 10, 330}));

        QVERIFY(!dropFiles(child->Surface1, {dir.filePath("card.bcrd")}, QPoint(50, 50)));
        const QString junk = dir.filePath("junk.jpg");
        QFile file(junk);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("no picture") > 0);
        file.close();
        QVERIFY(dropFiles(child->Surface1, {a, junk}, QPoint(50, 50)));
        QCOMPARE(fake->count("error"), 1);
        QCOMPARE(child->Tbl().StoredCount(), 3);
    }

    // At 200 % a one-pixel outline is two screen pixels wide, black, with
    // nothing grey beside it: drawn at the size, not enlarged.
    void outlinesStaySharpWhenZoomed()
    {
        Tfrm_Child* child = openCard({frame(1, 10, 10, 100, 50)});
        child->setZoom(200);
        CardElement* box = child->findElement("e1");
        const QImage shown = box->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shown.size(), QSize(200, 100));
        auto row = [&](int y) {
            QString seen;
            for (int x : {0, 1, 2, 3, 100, 196, 197, 198, 199})
                seen += shown.pixelColor(x, y) == Qt::black ? 'k' : shown.pixelColor(x, y) == Qt::white ? 'w' : '?';
            return seen;
        };
        QCOMPARE(row(50), QString("kkwwwwwkk"));
        QCOMPARE(row(0), QString("kkkkkkkkk"));
        QCOMPARE(row(2), QString("kkwwwwwkk"));
    }
};

REGISTER_TEST(EditingTest)
#include "EditingTest.moc"
