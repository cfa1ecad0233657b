#include "tests/TestRegistry.h"
#include "app/Application.h"
#include "tests/FakeDialogs.h"

#include <QAction>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <stdexcept>

namespace {

// Records the keys and wheel turns that reach a widget.
class Seen : public QObject
{
public:
    QList<int> presses;
    int releases = 0;
    int wheels = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::KeyPress)
            presses << static_cast<QKeyEvent*>(event)->key();
        releases += event->type() == QEvent::KeyRelease;
        wheels += event->type() == QEvent::Wheel;
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

class ErrorHandler : public QObject
{
    Q_OBJECT

private slots:
    void fullStopOnlyAfterACharacterSortingAfterIt()
    {
        QCOMPARE(errorText("Unable to write to /x/Lapora2.ini"), QString("Unable to write to /x/Lapora2.ini."));
        QCOMPARE(errorText("Hibás fájl."), QString("Hibás fájl."));
        QCOMPARE(errorText("Hiba (3)"), QString("Hiba (3)"));
        QCOMPARE(errorText("Hol?"), QString("Hol?."));
        QCOMPARE(errorText("ő"), QString("ő."));
        QCOMPARE(errorText(""), QString(""));
    }

    void failingCommandIsShownAndTheProgramGoesOn()
    {
        FakeDialogs fake;
        QWidget window;
        auto* command = new QAction(&window);
        command->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_T));
        window.addAction(command);
        int runs = 0;
        connect(command, &QAction::triggered, [&runs] {
            ++runs;
            throw std::runtime_error("Tbl: Cannot perform this operation on a closed dataset");
        });
        QVERIFY(showActive(window));

        QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);

        QCOMPARE(runs, 2);
        QCOMPARE(fake.count("error"), 2);
        QCOMPARE(fake.shown[0].title, QString("Lapora2"));
        QCOMPARE(fake.shown[0].text, QString("Tbl: Cannot perform this operation on a closed dataset."));
    }

    void windowWhoseCloseHandlerFailsStaysOpen()
    {
        struct FailingClose : QWidget
        {
            void closeEvent(QCloseEvent*) override { throw std::runtime_error("nem zárható"); }
        };
        FakeDialogs fake;
        FailingClose window;
        window.show();

        QVERIFY(!window.close());
        QVERIFY(window.isVisible());
        QCOMPARE(fake.count("error"), 1);
    }
};

class WheelTranslation : public QObject
{
    Q_OBJECT

private slots:
    // As in the layer list: forward is one row up, backward (or no distance)
    // one down, whatever the distance; the key goes to the focused widget.
    void eachTurnIsOneArrowPressForTheFocusedWidget()
    {
        QWidget window;
        auto* button = new QPushButton("x", &window);
        auto* list = new QListWidget(&window);
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(button);
        layout->addWidget(list);
        list->addItems({"0", "1", "2", "3", "4"});
        list->setCurrentRow(3);
        QVERIFY(showActive(window));
        list->setFocus();
        Seen seen;
        list->installEventFilter(&seen);
        list->viewport()->installEventFilter(&seen);

        turnWheel(list->viewport(), QPoint(0, 120));
        turnWheel(list->viewport(), QPoint(0, 240));
        QCOMPARE(list->currentRow(), 1);
        turnWheel(list->viewport(), QPoint(0, -120));
        turnWheel(list->viewport(), QPoint(0, 0));
        QCOMPARE(list->currentRow(), 3);
        turnWheel(button, QPoint(0, 120));
        QCOMPARE(list->currentRow(), 2);

        QCOMPARE(seen.presses, (QList<int>{Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}));
        QCOMPARE(seen.releases, 0);
        QCOMPARE(seen.wheels, 0);
    }

    void shortCutOnTheArrowComesFirstAndSidewaysTurnsStayWheels()
    {
        QListWidget list;
        list.addItems({"a", "b", "c"});
        list.setCurrentRow(1);
        auto* up = new QAction(&list);
        up->setShortcut(QKeySequence(Qt::Key_Up));
        up->setShortcutContext(Qt::WidgetShortcut);
        list.addAction(up);
        int ran = 0;
        connect(up, &QAction::triggered, [&ran] { ++ran; });
        QVERIFY(showActive(list));
        list.setFocus();
        Seen seen;
        list.viewport()->installEventFilter(&seen);

        turnWheel(list.viewport(), QPoint(0, 120));
        turnWheel(list.viewport(), QPoint(120, 0));

        QCOMPARE(ran, 1);
        QCOMPARE(list.currentRow(), 1);
        QCOMPARE(seen.wheels, 1);
    }
};

class Hungarian : public QObject
{
    Q_OBJECT

private slots:
    void standardButtonsReadHungarian()
    {
        QMessageBox box(QMessageBox::Question, "Kérdés", "?",
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("&Igen"));
        QCOMPARE(box.button(QMessageBox::No)->text(), QString("&Nem"));
        QCOMPARE(box.button(QMessageBox::Cancel)->text().remove('&'), QString("Mégse"));
    }
};

REGISTER_TEST(ErrorHandler)
REGISTER_TEST(WheelTranslation)
REGISTER_TEST(Hungarian)

#include "ApplicationTest.moc"
