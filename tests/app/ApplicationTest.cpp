#include "tests/TestRegistry.h"
#include "app/Application.h"

#include <QAction>
#include <QListWidget>
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

void turnWheel(QWidget* widget, QPoint angle)
{
    const QPointF at(2, 2);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
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
