#include "tests/TestRegistry.h"
#include "tests/app/ShellRun.h"
#include "document/Child.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QFileInfo>
#include <QMdiArea>
#include <QMenu>
#include <QStandardPaths>

QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

namespace {

Tfrm_Child* newCard(ShellRun& run)
{
    run.window->aUjExecute();
    return run.window->activeCard();
}

// A card with one text layer, saved under a name; the layer is added as a
// bare record, as these tests are about files, not layer commands.
Tfrm_Child* savedCard(ShellRun& run, const QString& name)
{
    Tfrm_Child* card = newCard(run);
    card->document().appendLayer(
        [](int) -> CardDocument::Values { return {{"nev", std::string("Kov\xE1" "cs \xC9va")}}; },
        QStringLiteral("Szöveg"));
    run.dialogs.saveAnswers.push_back(run.path(name));
    run.window->aMentExecute();
    return card;
}

void deleteClosedWindows()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class FileCommands : public QObject
{
    Q_OBJECT

private slots:
    void cancelledSaveDialogKeepsTheCardUnsaved()
    {
        ShellRun run;
        // The proposal is a whole path: the documents folder, or the home
        // folder when there is no documents folder.
        const QByteArray home = qgetenv("HOME");
        qputenv("HOME", run.root.filePath("home").toUtf8());
        QDir().mkpath(run.root.filePath("home"));
        Tfrm_Child* card = newCard(run);
        card->document().history().push(new QUndoCommand(QStringLiteral("Változás")));
        run.dialogs.saveAnswers = {std::nullopt, std::nullopt};
        run.window->aMentExecute();
        QDir().mkpath(run.root.filePath("home/Documents"));
        run.window->aMentMaskentExecute();
        qputenv("HOME", home);

        QCOMPARE(run.dialogs.count("save"), 2);
        QCOMPARE(run.dialogs.of("save")[0].proposed, run.root.filePath("home/Névtelen.bcrd"));
        QCOMPARE(run.dialogs.of("save")[1].proposed, run.root.filePath("home/Documents/Névtelen.bcrd"));
        for (const auto& shown : run.dialogs.of("save"))
            QCOMPARE(shown.text, QString("Lapora file-ok (*.bcrd)|*.bcrd"));
        QVERIFY(card->FileName().isEmpty() && card->Modified());
        QVERIFY(QDir(run.root.filePath("docs")).isEmpty());
    }

    void saveWritesWithoutDialogAndSaveAsMovesTheCardToTheChosenFile()
    {
        ShellRun run;
        Tfrm_Child* card = savedCard(run, "a");
        const QString a = run.path("a.bcrd"), b = run.path("b.bcrd");
        QCOMPARE(card->windowTitle(), a);
        const QByteArray written = readFile(a);

        QFile::remove(a);
        card->document().history().push(new QUndoCommand(QStringLiteral("Változás")));
        run.window->aMentExecute();
        QCOMPARE(run.dialogs.count("save"), 1);
        QCOMPARE(readFile(a), written);
        QVERIFY(!card->Modified());

        writeFile(b, "régi");
        run.dialogs.saveAnswers.push_back(b);
        run.window->aMentMaskentExecute();
        QCOMPARE(run.dialogs.of("save").back().proposed, a);
        QCOMPARE(readFile(b), written);
        QCOMPARE(card->windowTitle(), b);
        QFile::remove(b);
        run.window->aMentExecute();
        QCOMPARE(readFile(b), written);
    }

    void openedTwiceGivesTwoWindowsOnTheSameFile()
    {
        ShellRun run;
        savedCard(run, "kartya.bcrd");
        const QString path = run.path("kartya.bcrd");
        const QByteArray saved = readFile(path);

        run.dialogs.openAnswers = {path, path};
        run.window->aMegnyitExecute();
        run.window->aMegnyitExecute();

        QCOMPARE(run.dialogs.of("open").back().proposed, path);
        const QList<Tfrm_Child*> cards = run.window->cardWindows();
        QCOMPARE(cards.size(), 3);
        for (Tfrm_Child* opened : {cards[1], cards[2]})
            QVERIFY(opened->windowTitle() == path && !opened->Modified() && opened->Tbl().RecordTotal() == 1);
        QFile::remove(path);
        run.window->findChild<QMdiArea*>()->setActiveSubWindow(cards[2]);
        run.window->aMentExecute();
        QCOMPARE(readFile(path), saved);
    }

    // The window of a card that could not be read goes, so nothing can
    // later save an empty card under its name.
    void unreadableCardIsReportedAndItsWindowCloses()
    {
        ShellRun run;
        QVERIFY(run.showActive());
        run.dialogs.openAnswers.push_back(run.path("nincs.bcrd"));
        QTest::keySequence(run.window.get(), QKeySequence("Ctrl+O"));
        deleteClosedWindows();

        QCOMPARE(run.dialogs.count("error"), 1);
        QCOMPARE(run.dialogs.count("question"), 0);
        QVERIFY(run.window->cardWindows().isEmpty());
    }
    // The File menu lists the cards last saved or opened, newest first,
    // numbered, from the settings file; a card gone since is dropped with
    // a message, and the list is written back without it.
    void recentCardsAreListedAndForgotten()
    {
        ShellRun run;
        savedCard(run, "elso");
        savedCard(run, "masodik");
        const QString first = run.path("elso.bcrd"), second = run.path("masodik.bcrd");
        SaveSettings();
        QVERIFY(readFile(IniFileName).contains(("[Recent]\nFile1=" + second + "\nFile2=" + first + "\n").toUtf8()));

        Beall = TBeall();
        LoadSettings();
        QFile::remove(first);
        emit run.window->mnFile->aboutToShow();
        QStringList shown;
        QList<QAction*> entries;
        for (QAction* entry : run.window->mnFile->actions())
            if (entry->text().startsWith('&') && entry->text().at(1).isDigit())
                entries << entry, shown << entry->text();
        QCOMPARE(shown, QStringList({"&1 " + second, "&2 " + first}));

        entries[1]->trigger();
        QCOMPARE(run.dialogs.count("error"), 1);
        QVERIFY(run.dialogs.of("error")[0].text.contains(first));
        QCOMPARE(Beall.RecentCards, QStringList({second}));
        SaveSettings();
        QVERIFY(readFile(IniFileName).contains("File2=\n") && !readFile(IniFileName).contains(first.toUtf8()));

        const int open = run.window->cardWindows().size();
        entries[0]->trigger();
        QCOMPARE(run.window->cardWindows().size(), open + 1);
        QCOMPARE(run.window->activeCard()->windowTitle(), second);
    }

    // Card files dropped on the main window open, each in its window;
    // other files are not taken.
    void droppedCardFilesOpen()
    {
        ShellRun run;
        savedCard(run, "a");
        savedCard(run, "b");
        const int open = run.window->cardWindows().size();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(run.path("a.bcrd")), QUrl::fromLocalFile(run.path("b.bcrd")),
                      QUrl::fromLocalFile(run.path("kep.png"))});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(run.window.get(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(run.window.get(), &drop);
        QCOMPARE(run.window->cardWindows().size(), open + 2);
        QCOMPARE(run.dialogs.count("error"), 0);

        QMimeData picture;
        picture.setUrls({QUrl::fromLocalFile(run.path("kep.png"))});
        QDragEnterEvent refused(QPoint(100, 100), Qt::CopyAction, &picture, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(run.window.get(), &refused);
        QVERIFY(!refused.isAccepted());
    }

    // Tiling only moves the card windows to their slots; they keep their size.
    void windowMenuAndArrangingFollowTheCards()
    {
        ShellRun run;
        run.window->show();
        Tfrm_Child* first = newCard(run);
        Tfrm_Child* second = savedCard(run, "masodik.bcrd");
        const QSize cardSize = first->size();

        emit run.window->mnAblak->aboutToShow();
        emit run.window->mnAblak->aboutToShow();
        const QList<QAction*> items = run.window->mnAblak->actions().mid(4);
        QCOMPARE(items.size(), 2);
        QCOMPARE(items[0]->text(), QString("Névtelen.bcrd"));
        QCOMPARE(items[1]->text(), run.path("masodik.bcrd"));
        QVERIFY(!items[0]->isChecked() && items[1]->isChecked());
        items[0]->trigger();
        QCOMPARE(run.window->activeCard(), first);

        run.window->action("aWindowTileHorizontal1")->trigger();
        QCOMPARE(second->pos(), QPoint(0, run.window->findChild<QMdiArea*>()->viewport()->height() / 2));
        QCOMPARE(second->size(), cardSize);
        QVERIFY(first->close() && second->close());
        deleteClosedWindows();
        QVERIFY(!run.window->action("aWindowCascade1")->isEnabled());
        QVERIFY(!run.window->action("aWindowTileVertical1")->isEnabled());
    }
};

class Shutdown : public QObject
{
    Q_OBJECT

private slots:
    void cancelKeepsEverythingAndNoForEveryCardEndsWithTheSettings()
    {
        ShellRun run;
        run.window->show();
        newCard(run)->document().history().push(new QUndoCommand(QStringLiteral("Változás")));
        newCard(run)->document().history().push(new QUndoCommand(QStringLiteral("Változás")));

        run.dialogs.questionAnswers = {Dialogs::Answer::Cancel};
        QVERIFY(!run.window->close());
        QCOMPARE(run.window->cardWindows().size(), 2);
        QVERIFY(!QFileInfo::exists(IniFileName));

        run.dialogs.questionAnswers = {Dialogs::Answer::No, Dialogs::Answer::No};
        QVERIFY(run.window->close());
        QCOMPARE(run.dialogs.count("question"), 3);
        const QByteArray ini = readFile(IniFileName);
        for (const char* section :
             {"[Lang]", "[Screen]", "[Font]", "[frm_Main]\nLeft=10\nTop=10\nWidth=682\nHeight=607"})
            QVERIFY2(ini.contains(section), section);
    }

    // Every card is asked before any closes: with three cards, No on the
    // first and Cancel on the second keep all three open, the first still
    // modified; a card saved by its Yes stays open, saved, when a later one
    // cancels.
    void everyCardIsAskedBeforeAnyCloses()
    {
        ShellRun run;
        run.window->show();
        Tfrm_Child* first = savedCard(run, "elso.bcrd");
        Tfrm_Child* second = newCard(run);
        Tfrm_Child* third = newCard(run);
        for (Tfrm_Child* card : {first, second, third})
            card->document().history().push(new QUndoCommand(QStringLiteral("Változás")));

        run.dialogs.questionAnswers = {Dialogs::Answer::No, Dialogs::Answer::Cancel};
        QVERIFY(!run.window->close());
        QCOMPARE(run.window->cardWindows(), (QList<Tfrm_Child*>{first, second, third}));
        QVERIFY(first->Modified() && second->Modified() && third->Modified());
        QCOMPARE(run.dialogs.count("question"), 2);
        // Each question names its card on a second line, with that card in
        // front: a Yes meant for one card must not save another.
        const auto asked = run.dialogs.of("question");
        QCOMPARE(asked[0].title, QString("Kérdés"));
        QCOMPARE(asked[0].text, QString("A lapora még nincs mentve. Elmentsem?\nelso.bcrd"));
        QCOMPARE(asked[0].active, run.path("elso.bcrd"));
        QVERIFY(asked[0].front == first);
        QCOMPARE(asked[1].text, QString("A lapora még nincs mentve. Elmentsem?\nNévtelen.bcrd"));
        QVERIFY(asked[1].front == second);

        QFile::remove(run.path("elso.bcrd"));
        run.dialogs.questionAnswers = {Dialogs::Answer::Yes, Dialogs::Answer::No, Dialogs::Answer::Cancel};
        QVERIFY(!run.window->close());
        QCOMPARE(run.window->cardWindows().size(), 3);
        QVERIFY(QFileInfo::exists(run.path("elso.bcrd")) && !first->Modified());
        // The saved card is at the top of the recent list at once; the
        // rest of the settings wait for the exit.
        QVERIFY(readFile(IniFileName).contains("[Recent]\nFile1=" + run.path("elso.bcrd").toUtf8()));
        QVERIFY(!readFile(IniFileName).contains("[Screen]"));

        run.dialogs.questionAnswers = {Dialogs::Answer::No, Dialogs::Answer::No};
        QVERIFY(run.window->close());
        QCOMPARE(run.dialogs.count("question"), 2 + 3 + 2);
        deleteClosedWindows();
        QVERIFY(run.window->cardWindows().isEmpty());
    }

    // Yes, then a cancelled file dialog or a file that cannot be written:
    // the card was not saved, so it stays open and the program runs on.
    // Settings that cannot be written are reported, but do not hold it.
    void unsavedCardKeepsTheProgramRunning()
    {
        ShellRun run;
        run.window->show();
        Tfrm_Child* untitled = newCard(run);
        untitled->document().history().push(new QUndoCommand(QStringLiteral("Változás")));
        run.dialogs.questionAnswers = {Dialogs::Answer::Yes};
        QVERIFY(!run.window->close());
        QCOMPARE(run.window->cardWindows(), QList<Tfrm_Child*>{untitled});
        QVERIFY(untitled->Modified());
        untitled->document().history().setClean();
        QVERIFY(untitled->close());
        deleteClosedWindows();

        Tfrm_Child* titled = savedCard(run, "k.bcrd");
        titled->setFileName(run.root.filePath("nincs/k.bcrd"));
        titled->document().history().push(new QUndoCommand(QStringLiteral("Változás")));
        run.dialogs.questionAnswers = {Dialogs::Answer::Yes};
        QVERIFY(!run.window->close());
        QCOMPARE(run.dialogs.count("error"), 1);
        QCOMPARE(run.window->cardWindows(), QList<Tfrm_Child*>{titled});
        QVERIFY(titled->Modified());
        QVERIFY(!readFile(IniFileName).contains("[Screen]"));

        titled->document().history().setClean();
        IniFileName = run.root.filePath("nincs/Lapora2.ini");
        QVERIFY(run.window->close());
        QCOMPARE(run.dialogs.count("error"), 2);
        QCOMPARE(run.dialogs.of("error").back().title, QString("Lapora2"));
        QCOMPARE(run.dialogs.of("error").back().text, "Unable to write to " + IniFileName + ".");
    }
};

REGISTER_TEST(FileCommands)
REGISTER_TEST(Shutdown)

#include "FileCommandsTest.moc"
