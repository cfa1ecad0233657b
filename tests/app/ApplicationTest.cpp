#include "tests/TestRegistry.h"
#include "app/Application.h"
#include "document/Child.h"
#include "editor/CardSurface.h"
#include "layer/LayerRecord.h"

#include <QAction>
#include <QListWidget>
#include <QMdiArea>
#include <QScrollArea>
#include <QScrollBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QWheelEvent>

namespace {

// Counts the wheel turns that get through to a widget.
struct Wheels : QObject
{
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == QEvent::Wheel;
        return false;
    }
};

void turnWheel(QWidget* widget, QPoint angle, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QPointF at(2, 2);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), angle, Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
}

bool showActive(QWidget& window)
{
    window.show();
    window.activateWindow();
    return QTest::qWaitForWindowActive(&window);
}

} // namespace

class ApplicationObject : public QObject
{
    Q_OBJECT

private slots:
    // As in the layer list: forward is one row up, backward (or no distance)
    // one down, whatever the distance; the key goes to the focused widget,
    // and a short-cut on the arrow comes first. Sideways turns stay wheels.
    void eachTurnIsOneArrowPressForTheFocusedWidget()
    {
        QWidget window;
        auto* button = new QPushButton("x", &window);
        auto* list = new QListWidget(&window);
        list->addItems({"0", "1", "2", "3", "4"});
        list->setCurrentRow(3);
        QVERIFY(showActive(window));
        list->setFocus();
        Wheels wheels;
        list->viewport()->installEventFilter(&wheels);

        turnWheel(list->viewport(), QPoint(0, 120));
        turnWheel(list->viewport(), QPoint(0, 240));
        QCOMPARE(list->currentRow(), 1);
        turnWheel(list->viewport(), QPoint(0, -120));
        turnWheel(list->viewport(), QPoint(0, 0));
        QCOMPARE(list->currentRow(), 3);
        turnWheel(button, QPoint(0, 120));
        QCOMPARE(list->currentRow(), 2);

        auto* up = new QAction(list);
        up->setShortcut(QKeySequence(Qt::Key_Up));
        up->setShortcutContext(Qt::WidgetShortcut);
        list->addAction(up);
        int ran = 0;
        connect(up, &QAction::triggered, [&ran] { ++ran; });
        turnWheel(list->viewport(), QPoint(0, 120));
        turnWheel(list->viewport(), QPoint(120, 0));
        QCOMPARE(ran, 1);
        QCOMPARE(list->currentRow(), 2);
        QCOMPARE(wheels.count, 1);
    }

    // Over the card: Ctrl and the wheel zoom, the wheel scrolls a zoomed
    // card, and a turn never moves the layer through the focused surface.
    void theCardKeepsItsWheel()
    {
        QMdiArea area;
        area.resize(1000, 700);
        auto* child = new Tfrm_Child({QFont("Arial", 8), 9}, &area);
        area.addSubWindow(child);
        QVERIFY(showActive(area));
        child->document().appendLayer(
            [](int) -> CardDocument::Values {
                return {{"tipus", 2}, {"compnev", std::string("shp1")}, {"left", 20}, {"top", 30},
                        {"width", 100}, {"height", 50}};
            },
            QStringLiteral("Alakzat"));
        child->Surface1->setFocus();

        turnWheel(child->Surface1, QPoint(0, -120));
        QCOMPARE(ReadInt(child->Tbl(), "top", -1), 30);
        turnWheel(child->Surface1, QPoint(0, 120), Qt::ControlModifier);
        turnWheel(child->Surface1, QPoint(0, 120), Qt::ControlModifier);
        QCOMPARE(child->zoom(), 200);
        QScrollBar* down = child->ScrollBox1->verticalScrollBar();
        QVERIFY(down->maximum() > 0);
        down->setValue(0);
        turnWheel(child->ScrollBox1->viewport(), QPoint(0, -120));
        QVERIFY(down->value() > 0);
        QCOMPARE(ReadInt(child->Tbl(), "top", -1), 30);
    }

    void standardButtonsReadHungarian()
    {
        QMessageBox box(QMessageBox::Question, "Kérdés", "?",
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("&Igen"));
        QCOMPARE(box.button(QMessageBox::No)->text(), QString("&Nem"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text().remove('&'), QString("Mégse"));
    }
};

REGISTER_TEST(ApplicationObject)

#include "ApplicationTest.moc"
