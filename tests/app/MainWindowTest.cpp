#include "tests/TestRegistry.h"
#include "tests/app/ShellRun.h"

#include "document/Child.h"

#include <QAction>
#include <QGroupBox>
#include <QScrollArea>
#include <QTabWidget>
#include <QHelpEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QToolBar>
#include <QToolTip>

namespace {

// Object names in order, "-" for a separator.
QStringList names(const QList<QAction*>& actions)
{
    QStringList found;
    for (const QAction* action : actions)
        found << (action->isSeparator() ? QString("-") : action->objectName());
    return found;
}

bool tipShownFor(QWidget* button)
{
    QToolTip::hideText();
    QHelpEvent help(QEvent::ToolTip, QPoint(2, 2), button->mapToGlobal(QPoint(2, 2)));
    QApplication::sendEvent(button, &help);
    return QToolTip::isVisible();
}

} // namespace

class MainWindow : public QObject
{
    Q_OBJECT

private slots:
    void savedPlacementIsFittedTheFontSizeAppliedAndNoHintsShown()
    {
        ShellRun run("[frm_Main]\nLeft=-8\nTop=20\nWidth=5000\nHeight=700\n[Screen]\nFontSize=12\n");
        run.window->show();

        QCOMPARE(run.window->frameGeometry(), QRect(0, 20, 1920, 700));
        QCOMPARE(QFontInfo(run.window->font()).family(), QString("Tahoma"));
        QCOMPARE(run.window->font().pointSize(), 12);

        // What a menu item or a tool button does when the mouse rests on it.
        for (QAction* action : run.window->findChildren<QAction*>())
            action->showStatusText(run.window.get());
        QVERIFY(run.window->StatusBar1->currentMessage().isEmpty());
        for (const QLabel* panel : run.window->StatusBar1->findChildren<QLabel*>())
            QVERIFY(panel->text().isEmpty());

        // The open button alone has no tip.
        QVERIFY(!tipShownFor(run.window->ToolBar1->widgetForAction(run.window->action("aMegnyit"))));
        QVERIFY(tipShownFor(run.window->ToolBar1->widgetForAction(run.window->action("aUj"))));
        QCOMPARE(QToolTip::text(), QString("Új"));
        QToolTip::hideText();
    }

    void withNoCardTheCardCommandsDoNothingAndShowNothing()
    {
        ShellRun run;
        QVERIFY(run.showActive());

        for (const char* keys : {"Ctrl+S", "Shift+Ctrl+S", "Ctrl+K", "Ctrl+P", "Ctrl+M"})
            QTest::keySequence(run.window.get(), QKeySequence(keys));

        QVERIFY(run.dialogs.shown.empty());
    }

    void menusInOrder()
    {
        ShellRun run;
        QList<QStringList> menus;
        for (const QAction* top : run.window->MainMenu1->actions())
            menus << (QStringList{top->text()} + names(top->menu()->actions()));

        QCOMPARE(menus, (QList<QStringList>{
            {"File", "aUj", "aMegnyit", "-", "aMent", "aMentMaskent", "-", "aNyomtat", "aNyomdaiPdf", "-", "aBezar"},
            {"Szerkesztés", "aVisszavonas", "aMegis"},
            {"Nyomtatás", "aNyomKep", "aNyomtat", "aNyomtatas", "aKorlevel", "aNyomdaiPdf", "-", "aRendeles"},
            {"Rendszer", "aBeallit"},
            {"Ablak", "aWindowCascade1", "aWindowTileHorizontal1", "aWindowTileVertical1", "-"},
            {"Súgó", "aSugo", "-", "aHonlap", "aUjdonsag", "-", "aLevel", "-", "aLapora"}}));
    }

    void fontSizeKeysStayWithinEightToTen()
    {
        ShellRun run;
        QVERIFY(run.showActive());
        QList<int> sizes;
        for (Qt::Key key : {Qt::Key_F11, Qt::Key_F11, Qt::Key_F12, Qt::Key_F12, Qt::Key_F12}) {
            QTest::keyClick(run.window.get(), key);
            sizes << Beall.FontSize;
        }
        QCOMPARE(sizes, (QList<int>{10, 10, 9, 8, 8}));
        QCOMPARE(run.window->font().pointSize(), 8);

        // A larger size from the settings file only comes down.
        Beall.FontSize = 12;
        QTest::keyClick(run.window.get(), Qt::Key_F11);
        QCOMPARE(Beall.FontSize, 12);
        QTest::keyClick(run.window.get(), Qt::Key_F12);
        QCOMPARE(Beall.FontSize, 11);

        // A smaller one only goes up.
        Beall.FontSize = 5;
        sizes.clear();
        for (Qt::Key key : {Qt::Key_F12, Qt::Key_F11, Qt::Key_F11, Qt::Key_F11, Qt::Key_F11, Qt::Key_F11, Qt::Key_F11})
            QTest::keyClick(run.window.get(), key), sizes << Beall.FontSize;
        QCOMPARE(sizes, (QList<int>{5, 6, 7, 8, 9, 10, 10}));
    }

    // A card opened beside a maximised one comes up maximised and laid out
    // whole: the card box, the layer list and the panel fill the window as
    // they do after a resize by hand.
    void cardBesideAMaximisedOneIsLaidOutWhole()
    {
        ShellRun run;
        QVERIFY(run.showActive());
        run.window->resize(1200, 900);
        run.window->aUjExecute();
        run.window->activeCard()->showMaximized();
        run.window->aUjExecute();
        Tfrm_Child* card = run.window->activeCard();
        QVERIFY(QTest::qWaitForWindowExposed(card));
        QApplication::processEvents();
        QVERIFY(card->isMaximized());
        QCOMPARE(card->size(), card->mdiArea()->viewport()->size());
        const QWidget* client = card->widget();
        QCOMPARE(card->PageControl1->geometry().right(), client->width() - 6);
        QCOMPARE(card->GroupBox1->geometry().right(), card->PageControl1->geometry().left() - 8);
        QCOMPARE(card->GroupBox3->geometry().bottom(), client->height() - 7);
        QVERIFY(card->ScrollBox1->isVisible() && card->ScrollBox1->width() == card->GroupBox1->width());
    }

    // The status bar shows the active card's current layer's warning, and
    // follows the card windows as they are activated.
    void statusBarShowsTheCurrentLayersWarning()
    {
        ShellRun run;
        QVERIFY(run.showActive());
        run.window->aUjExecute();
        Tfrm_Child* card = run.window->activeCard();
        auto* warning = run.window->findChild<QLabel*>("LblFigyelmeztetes");
        QVERIFY(warning);
        card->action("aSzoveg")->trigger();
        QCOMPARE(warning->text(), QString());
        card->document().change(card->Tbl().CurrentId(), {{"left", 330}}, "hely");
        QVERIFY(warning->text().contains(QStringLiteral("kilóg")));
        QVERIFY(warning->isVisible());

        run.window->aUjExecute();
        QCOMPARE(warning->text(), QString());
        run.window->findChild<QMdiArea*>()->setActiveSubWindow(card);
        QVERIFY(warning->text().contains(QStringLiteral("kilóg")));
    }
};

REGISTER_TEST(MainWindow)

#include "MainWindowTest.moc"
