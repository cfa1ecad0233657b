#include "editor/ActionTable.h"
#include "editor/ErrorBox.h"
#include "tests/TestRegistry.h"

#include <QAction>
#include <QMenu>
#include <QTest>
#include <QWidget>

#include <stdexcept>

namespace {

struct Window : QWidget
{
    int runs = 0;
    void aHibasExecute()
    {
        ++runs;
        throw std::runtime_error("Tbl: Cannot perform this operation on a closed dataset");
    }
    void aKerdesExecute() { throw std::runtime_error("Hol?"); }
};

const ActionRow<Window> WindowActions[] = {
    {"aHibas", "Hibás", nullptr, "Ctrl+T", "Teszt", 11, 0, false, false, &Window::aHibasExecute},
    {"aKerdes", "Kérdés", "", "", "Teszt", 12, 0, false, false, &Window::aKerdesExecute},
    {"aNincs", "Nincs kész", "Később", "Ctrl+Q", "Teszt", 13, 0, false, false, nullptr},
};

} // namespace

class ActionTableTest : public QObject
{
    Q_OBJECT

    QStringList errors;

private slots:
    void init()
    {
        errors.clear();
        setErrorPresenter([this](QWidget*, const QString& title, const QString& text) {
            errors << title + ": " + text;
        });
    }

    void cleanup() { setErrorPresenter(nullptr); }

    // A failing command is shown in the one box, with a full stop only
    // after a character sorting after it, and goes on working.
    void failingCommandsReachTheErrorBoxAndTheProgramGoesOn()
    {
        Window window;
        ActionTable table(&window, Qt::WindowShortcut);
        table.build(&window, WindowActions);
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));

        QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
        QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);
        table["aKerdes"]->trigger();
        QCOMPARE(window.runs, 2);
        QCOMPARE(errors, QStringList({"Lapora2: Tbl: Cannot perform this operation on a closed dataset.",
                                      "Lapora2: Tbl: Cannot perform this operation on a closed dataset.",
                                      "Lapora2: Hol?."}));

        QCOMPARE(errorText("Hibás fájl."), QString("Hibás fájl."));
        QCOMPARE(errorText("Hiba (3)"), QString("Hiba (3)"));
        QCOMPARE(errorText(""), QString(""));
    }

    // A command without its handler is shown but cannot run; the hint is
    // the caption unless the table gives one, and "" gives none.
    void commandsWithoutHandlersAreDisabled()
    {
        Window window;
        ActionTable table(&window, Qt::WindowShortcut);
        table.build(&window, WindowActions);
        QVERIFY(table["aHibas"]->isEnabled());
        QVERIFY(!table["aNincs"]->isEnabled());
        QCOMPARE(table["aHibas"]->property("hint").toString(), QString("Hibás"));
        QCOMPARE(table["aKerdes"]->property("hint").toString(), QString());
        QCOMPARE(table["aNincs"]->toolTip(), QString("Később"));
    }

    // A misspelt name fails where it is written, never as a missing item.
    void unknownNamesFailLoudly()
    {
        Window window;
        ActionTable table(&window, Qt::WindowShortcut);
        table.build(&window, WindowActions);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, table["aHibass"]);
        QMenu menu;
        QVERIFY_THROWS_EXCEPTION(std::logic_error, table.addTo(&menu, {"aHibas", Separator, "aKerdez"}));
        QCOMPARE(menu.actions().size(), 2);
        QVERIFY(menu.actions()[1]->isSeparator());
    }
};

REGISTER_TEST(ActionTableTest)

#include "ActionTableTest.moc"
