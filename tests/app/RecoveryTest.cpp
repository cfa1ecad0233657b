#include "tests/TestRegistry.h"
#include "tests/app/ShellRun.h"
#include "document/Child.h"
#include "document/RecoveryCopy.h"
#include "layer/LayerRecord.h"

#include <QDir>
#include <QMdiArea>
#include <QFileInfo>
#include <QTest>

#include <sys/wait.h>
#include <unistd.h>

namespace {

QString recoveryRoot()
{
    return DataDir + QStringLiteral("/recovery");
}

// Every card copy under the recovery folder.
QStringList copies()
{
    QStringList found;
    for (const QFileInfo& folder : QDir(recoveryRoot()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot))
        for (const QFileInfo& card : QDir(folder.absoluteFilePath()).entryInfoList({"*.bcrd"}, QDir::Files))
            found << card.absoluteFilePath();
    return found;
}

// A run that ends without cleaning up: a child process takes a folder of
// its own and leaves there the given card copies with what is known of
// them, then dies.
void crashedRunLeaves(const std::vector<std::pair<QByteArray, QString>>& cards)
{
    const pid_t child = ::fork();
    if (child == 0) {
        RecoverySession session(recoveryRoot());
        if (!session.start())
            ::_exit(1);
        for (const auto& [bytes, about] : cards) {
            const QString path = session.nextCopy();
            QFile card(path);
            QFile text(path.left(path.size() - 5) + ".txt");
            if (!card.open(QIODevice::WriteOnly) || card.write(bytes) != bytes.size() || !text.open(QIODevice::WriteOnly)
                || text.write(about.toUtf8()) < 0)
                ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

QByteArray cardWith(const char* text)
{
    LayerTable table = makeLayerTable();
    table.OpenTable();
    table.AddNewRecord();
    table.WriteField("sorszam", std::int32_t(1));
    table.WriteField("nev", std::string(text));
    table.WriteField("compnev", std::string("lbl1"));
    table.PostRecord();
    QTemporaryDir dir;
    table.SaveFile(dir.filePath("c.bcrd").toStdString());
    QFile file(dir.filePath("c.bcrd"));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

} // namespace

class RecoveryTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { qputenv("LAPORA_RECOVERY_INTERVAL_MS", "40"); }
    void cleanup() { qunsetenv("LAPORA_RECOVERY_INTERVAL_MS"); }

    // While a card has unsaved changes its copy is written; saving, and
    // closing without saving, take it away; a clean exit leaves nothing.
    void unsavedCardsAreCopiedUntilSavedOrClosed()
    {
        ShellRun run;
        run.window->show();
        run.window->aUjExecute();
        Tfrm_Child* card = run.window->activeCard();
        QVERIFY(copies().isEmpty());
        card->action("aAlakzat")->trigger();
        QTRY_COMPARE(copies().size(), 1);
        card->recoveryCopy()->waitForWrite();
        QTRY_VERIFY(QFile(copies().value(0)).size() > 0);
        LayerTable copy = makeLayerTable();
        copy.LoadFile(QFile::encodeName(copies().value(0)).toStdString());
        QCOMPARE(copy.RecordTotal(), 1);

        run.dialogs.saveAnswers.push_back(run.path("kartya.bcrd"));
        run.window->aMentExecute();
        QVERIFY(copies().isEmpty());
        card->action("aKor")->trigger();
        QTRY_COMPARE(copies().size(), 1);
        card->action("aVisszavonas")->trigger();  // back at the saved card
        QVERIFY(copies().isEmpty());
        card->action("aKor")->trigger();
        QTRY_COMPARE(copies().size(), 1);
        run.dialogs.questionAnswers = {Dialogs::Answer::No};
        QVERIFY(run.window->close());
        QVERIFY(copies().isEmpty());
        QVERIFY(QDir(recoveryRoot()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    }

    // Copies a run that died left are offered by title and time; the ones
    // chosen open modified, titled and bound to their file as before, the
    // others go; one that cannot be read is named and kept. A program
    // that runs meanwhile does not take another's copies.
    void leftoversAreOfferedOnTheNextStart()
    {
        ShellRun run;
        crashedRunLeaves({{cardWith("Anna"), "title=/tmp/anna.bcrd\nfile=/tmp/anna.bcrd\nwritten=2026-12-01T10:00:00.000\n"},
                          {cardWith("Bela"), "title=N\xC3\xA9vtelen.bcrd\nfile=\nwritten=2026-12-01T10:05:00.000\n"},
                          {"\"@@TABLEDEF START@@\"\r\n\"x=Cursor,0\"\r\n", "title=t\xC3\xB6r\xC3\xB6tt\nfile=\n"
                                                                            "written=2026-12-01T10:06:00.000\n"},
                          {cardWith("Cili"), "title=eldobott\nfile=\nwritten=2026-12-01T10:07:00.000\n"}});
        QCOMPARE(copies().size(), 4);

        RecoverySession other(recoveryRoot());
        QVERIFY(other.start());
        QCOMPARE(other.leftovers().size(), size_t(4));
        QVERIFY(run.window->recovery().leftovers().size() == 4);

        run.dialogs.recoveryAnswers = {std::vector<bool>{true, true, true, false}};
        run.window->show();
        run.window->offerRecovery();
        QCOMPARE(run.dialogs.lastRecovered.size(), size_t(4));
        QCOMPARE(run.dialogs.lastRecovered[0].title, QString("/tmp/anna.bcrd"));
        QCOMPARE(run.dialogs.lastRecovered[1].written, QDateTime(QDate(2026, 12, 1), QTime(10, 5)));

        const QList<Tfrm_Child*> cards = run.window->cardWindows();
        QCOMPARE(cards.size(), 2);
        QCOMPARE(cards[0]->windowTitle(), QString("/tmp/anna.bcrd"));
        QCOMPARE(cards[0]->FileName(), QString("/tmp/anna.bcrd"));
        QCOMPARE(cards[1]->windowTitle(), QString("Névtelen.bcrd"));
        QVERIFY(cards[1]->FileName().isEmpty());
        for (Tfrm_Child* card : cards)
            QVERIFY(card->Modified());
        cards[1]->document().setCurrent(cards[1]->Tbl().StoredId(0));
        QCOMPARE(ReadStr(cards[1]->Tbl(), "nev"), std::string("Bela"));
        QCOMPARE(run.dialogs.count("error"), 1);
        QVERIFY(run.dialogs.of("error")[0].text.contains(QString::fromUtf8("„törött”")));

        // The opened ones are this run's copies now, the broken one is kept
        // where it was, the refused one is gone; the other program took
        // nothing.
        const QStringList left = copies();
        QCOMPARE(left.size(), 3);
        QCOMPARE(other.leftovers().size(), size_t(1));
        QVERIFY(other.leftovers()[0].title == QString::fromUtf8("törött"));
        other.finish();

        run.dialogs.questionAnswers = {Dialogs::Answer::No, Dialogs::Answer::No};
        QVERIFY(run.window->close());
        QCOMPARE(copies().size(), 1);  // the broken one, for the next start
    }

    // A recovered card is work no file holds: a step and its undo, or an
    // undo with nothing to undo, leave it modified, and closing asks; its
    // copy goes only with the answer No (or a save).
    void recoveredCardStaysUnsavedUntilSaved()
    {
        ShellRun run;
        crashedRunLeaves({{cardWith("Anna"), "title=N\xC3\xA9vtelen.bcrd\nfile=\nwritten=2026-12-01T10:05:00.000\n"},
                          {cardWith("Bela"), "title=N\xC3\xA9vtelen.bcrd\nfile=\nwritten=2026-12-01T10:06:00.000\n"}});
        run.dialogs.recoveryAnswers = {std::vector<bool>{true, true}};
        run.window->show();
        run.window->offerRecovery();
        const QList<Tfrm_Child*> cards = run.window->cardWindows();
        QCOMPARE(cards.size(), 2);
        QCOMPARE(copies().size(), 2);

        Tfrm_Child* anna = cards[0];
        anna->action("aVisszavonas")->trigger();
        QVERIFY(anna->Modified());
        anna->action("aAlakzat")->trigger();
        anna->action("aVisszavonas")->trigger();
        QVERIFY(anna->Modified());
        QVERIFY(!anna->document().history().canUndo());
        QTest::qWait(100);  // a copy written meanwhile must not take it away either
        QCOMPARE(copies().size(), 2);

        run.dialogs.questionAnswers = {Dialogs::Answer::Cancel};
        QVERIFY(!anna->close());
        QCOMPARE(run.dialogs.count("question"), 1);
        QCOMPARE(copies().size(), 2);

        // Saved, it is clean and its copy is gone; the other is still kept.
        run.dialogs.saveAnswers.push_back(run.path("anna.bcrd"));
        anna->mdiArea()->setActiveSubWindow(anna);
        run.window->aMentExecute();
        QVERIFY(!anna->Modified());
        QCOMPARE(copies().size(), 1);

        run.dialogs.questionAnswers = {Dialogs::Answer::No};
        QVERIFY(cards[1]->close());
        QVERIFY(copies().isEmpty());
    }
};

REGISTER_TEST(RecoveryTest)

#include "RecoveryTest.moc"
