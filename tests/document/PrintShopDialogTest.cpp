#include "document/PrintShopDialog.h"

#include "document/Child.h"
#include "document/JobProgress.h"
#include "document/MergeDialog.h"
#include "editor/CardElement.h"
#include "layer/Win1250Text.h"
#include "print/PrintJob.h"
#include "tests/FakeDialogs.h"
#include "tests/TestRegistry.h"
#include "tests/document/CardWindowTest.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QProgressDialog>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QTreeWidget>

namespace {

// What the writer was given, one entry a file.
struct Written
{
    PrintJob job;
    printshop::Options options;
    QString title;
    QString path;
};

QString written(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

// The text of each layer of one copy of a job, front or back.
QStringList texts(const PrintJob& job, int copy, bool back)
{
    QStringList found;
    for (const LayerItem& layer : job.cards.copy(copy, back))
        found << layer.text.text;
    return found;
}

// A card file's text, as it stores it.
std::string stored(const char* text)
{
    return toWin1250(QString::fromUtf8(text));
}

// A text too small for a shop.
Layer tiny(int sorszam, const char* text)
{
    return {sorszam, 0, stored(text), 60, 100, {{"betumeret", 5}}};
}

// The list rows as "layer | problem given or not".
QStringList rows(const QTreeWidget* list)
{
    QStringList found;
    for (int row = 0; row < list->topLevelItemCount(); ++row) {
        const QTreeWidgetItem* item = list->topLevelItem(row);
        found << item->text(0) + (item->text(1).isEmpty() ? "" : " | ...");
    }
    return found;
}

} // namespace

// The print-shop dialog: the job it builds from its choices, the file it
// will not replace, the preflight's list and where it leads, and what it
// keeps for its next opening.
class PrintShopDialogTest : public CardWindowTest
{
    Q_OBJECT

    std::vector<Written> files;
    bool writerFinishes = true;

    // Answers the merge dialog the print-shop dialog opens: the list, those
    // left unticked, then OK; what the merge dialog showed meanwhile.
    struct MergeSeen
    {
        bool shown = false;
        bool copiesShown = true;
        bool previewShown = true;
        QString summary;
    };
    MergeSeen chooseMerge(PrintShopDialog& dialog, const QString& list, const std::vector<int>& untick = {})
    {
        MergeSeen seen;
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [&] {
            auto* merge = qobject_cast<MergeDialog*>(QApplication::activeModalWidget());
            if (!merge)
                return;
            driver.stop();
            seen.shown = true;
            merge->openData(list);
            QAbstractItemModel* model = merge->records()->model();
            for (int row : untick)
                model->setData(model->index(row, 0), Qt::Unchecked, Qt::CheckStateRole);
            seen.copiesShown = merge->copiesEach()->isVisibleTo(merge);
            seen.previewShown = merge->button(PrintDialog::Action::Preview)->isVisibleTo(merge);
            seen.summary = merge->summary()->text();
            merge->button(PrintDialog::Action::Print)->click();
        });
        driver.start(0);
        dialog.merge()->setCurrentIndex(1);
        emit dialog.merge()->activated(1);
        return seen;
    }

    static void chooseBack(PrintShopDialog& dialog, int index)
    {
        dialog.back()->setCurrentIndex(index);
        emit dialog.back()->activated(index);
    }

private slots:
    // The print shop's writer counts each page twice, drawn and then
    // converted: the progress window follows the count the writer gives
    // and is not done halfway.
    void progressFollowsTheWritersCount()
    {
        JobProgress progress(QStringLiteral("Nyomdai PDF készül…"), 2);
        QProgressDialog* window = nullptr;
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* found = qobject_cast<QProgressDialog*>(widget))
                window = found;
        QVERIFY(window);
        QVERIFY(progress.pageDone(0, 4));
        QVERIFY(progress.pageDone(1, 4));
        QCOMPARE(window->maximum(), 4);
        QCOMPARE(window->value(), 2);
    }

    void init()
    {
        CardWindowTest::init();
        files.clear();
        writerFinishes = true;
        setPrintShopWriter([this](const PrintJob& job, const printshop::Options& options, const QString& title,
                                  const std::string& path, Progress& progress) {
            files.push_back({job, options, title, QString::fromStdString(path)});
            progress.pageDone(0, 1);
            return writerFinishes;
        });
    }

    void cleanup()
    {
        setPrintShopWriter(nullptr);
        CardWindowTest::cleanup();
    }

    // The bleed and the crop marks as set, the card once with the back
    // chosen (an open card window, then a card file), the card's file name
    // as the title and its folder and name as the file proposed; what was
    // used is kept for the next opening.
    void jobFollowsTheChoices()
    {
        Tfrm_Child* front = openCard({{1, 0, "Anna", 60, 60}}, "anna.bcrd");
        Tfrm_Child* backWindow = openCard({{1, 0, stored("Hátlap"), 60, 60}}, "hatlap.bcrd");
        PrintShopDialog dialog(nullptr, *front, {front, backWindow}, {2.5, false, {}});
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Nyomdai PDF"));
        QCOMPARE(dialog.bleed()->value(), 2.5);
        QVERIFY(!dialog.cropMarks()->isChecked());
        QCOMPARE(dialog.back()->count(), 4);

        chooseBack(dialog, 2);
        dialog.bleed()->setValue(1.5);
        dialog.cropMarks()->setChecked(true);
        fake->saveAnswers = {dir.filePath("nyomda")};
        dialog.saveButton()->click();

        QCOMPARE(fake->of("save")[0].proposed, dir.filePath("anna.pdf"));
        QCOMPARE(files.size(), std::size_t(1));
        const Written& file = files[0];
        QCOMPARE(file.options.bleed, 1.5);
        QVERIFY(file.options.cropMarks);
        QCOMPARE(file.title, QString("anna.bcrd"));
        QCOMPARE(file.path, dir.filePath("nyomda.pdf"));
        QCOMPARE(file.job.copies, 1);
        QVERIFY(file.job.cards.hasBack());
        QCOMPARE(texts(file.job, 0, false), QStringList{"Anna"});
        QCOMPARE(texts(file.job, 0, true), QStringList{"Hátlap"});
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.settings().bleed, 1.5);
        QVERIFY(dialog.settings().cropMarks);
        QCOMPARE(dialog.settings().folder, dir.path());

        // The next opening starts from them; a bleed between the halves or
        // beyond 5 mm is taken as the nearest the file may have.
        PrintShopDialog again(nullptr, *front, {front, backWindow}, dialog.settings());
        QCOMPARE(again.bleed()->value(), 1.5);
        QVERIFY(again.cropMarks()->isChecked());
        again.bleed()->setValue(2.3);
        QCOMPARE(again.bleed()->value(), 2.5);
        again.bleed()->setValue(7);
        QCOMPARE(again.options().bleed, 5.0);
        PrintShopDialog fresh(nullptr, *front, {front}, {4.2, false, {}});
        QCOMPARE(fresh.bleed()->value(), 3.0);

        // A card file as the back is read when chosen; the card alone has
        // none.
        const QString backFile = writeCard(dir.filePath("fajl.bcrd"), {{1, 0, stored("Fájl"), 60, 60}});
        fake->openAnswers = {backFile};
        chooseBack(again, 3);
        QCOMPARE(again.back()->currentText(), QString("Kártyafájl: " + backFile));
        fake->saveAnswers = {dir.filePath("masik.pdf")};
        again.saveButton()->click();
        QCOMPARE(texts(files.back().job, 0, true), QStringList{"Fájl"});
        QCOMPARE(files.back().options.bleed, 5.0);

        chooseBack(fresh, 0);
        fake->saveAnswers = {dir.filePath("egyedul.pdf")};
        fresh.saveButton()->click();
        QVERIFY(!files.back().job.cards.hasBack());
        QCOMPARE(files.back().job.copies, 1);
    }

    // With a list, each chosen person's card once, front then back, filled
    // in; the merge dialog asks for people only.
    void mergeGivesEachPersonOneCard()
    {
        Tfrm_Child* front = openCard({{1, 0, stored("{Név}"), 60, 60}}, "nevjegy.bcrd");
        Tfrm_Child* backWindow = openCard({{1, 0, stored("{Név} hátul"), 60, 60}}, "hatlap.bcrd");
        const QString list = written(dir.filePath("csapat.csv"), "Név\r\nAnna\r\nBéla\r\nCili\r\n");
        PrintShopDialog dialog(nullptr, *front, {front, backWindow}, {});
        chooseBack(dialog, 2);
        const MergeSeen seen = chooseMerge(dialog, list, {1});
        QVERIFY(seen.shown);
        QVERIFY(!seen.copiesShown && !seen.previewShown);
        QCOMPARE(seen.summary, QStringLiteral("3 személyből 2 kijelölve."));
        QCOMPARE(dialog.merge()->currentText(), QStringLiteral("Adatfájl: csapat.csv (2 személy)"));
        QCOMPARE(dialog.dataFile(), list);

        fake->saveAnswers = {dir.filePath("csapat.pdf")};
        dialog.saveButton()->click();
        QCOMPARE(files.size(), std::size_t(1));
        const PrintJob& job = files[0].job;
        QCOMPARE(job.copies, 2);
        QCOMPARE(texts(job, 0, false), QStringList{"Anna"});
        QCOMPARE(texts(job, 0, true), QStringList{"Anna hátul"});
        QCOMPARE(texts(job, 1, false), QStringList{"Cili"});
        QCOMPARE(texts(job, 1, true), QStringList{"Cili hátul"});

        // "Nincs" drops the merge again.
        PrintShopDialog again(nullptr, *front, {front}, {});
        chooseMerge(again, list);
        again.merge()->setCurrentIndex(0);
        emit again.merge()->activated(0);
        fake->saveAnswers = {dir.filePath("egy.pdf")};
        again.saveButton()->click();
        QCOMPARE(files.back().job.copies, 1);
        QCOMPARE(texts(files.back().job, 0, false), QStringList{"{Név}"});
    }

    // The file may not replace the card, another open card, the back's
    // file or the list: the dialog says so, writes nothing and stays. A job
    // under way refuses another before a name is asked for, and a stopped
    // one leaves the dialog open.
    void outputNeverReplacesAnInput()
    {
        Tfrm_Child* front = openCard({{1, 0, "Anna", 60, 60}}, "anna.bcrd");
        Tfrm_Child* other = openCard({{1, 0, stored("Béla"), 60, 60}}, "bela.bcrd");
        const QString backFile = writeCard(dir.filePath("hat.bcrd"), {{1, 0, stored("Hát"), 60, 60}});
        const QString list = written(dir.filePath("lista.csv"), "Név\nAnna\n");
        PrintShopDialog dialog(nullptr, *front, {front, other}, {});
        dialog.show();
        fake->openAnswers = {backFile};
        chooseBack(dialog, 3);
        chooseMerge(dialog, list);
        QVERIFY(QFile::link(list, dir.filePath("lista.pdf")));

        fake->saveAnswers = {dir.filePath("anna.bcrd"), dir.filePath("bela.bcrd"), backFile, list,
                             dir.filePath("lista.pdf")};
        for (int attempt = 0; attempt < 5; ++attempt)
            dialog.saveButton()->click();
        QCOMPARE(fake->count("error"), 5);
        QCOMPARE(fake->of("error")[2].text,
                 QStringLiteral("A nyomdai PDF nem menthető a(z) „%1” fájlba: ezt a fájlt olvassa a Lapora "
                                "(kártya, hátoldal vagy adatfájl). Válasszon más nevet.")
                     .arg(backFile));
        QVERIFY(files.empty());
        QVERIFY(dialog.isVisible() && dialog.result() != QDialog::Accepted);

        {
            JobProgress running(QStringLiteral("Nyomtatás folyamatban…"), 1);
            dialog.saveButton()->click();
        }
        QCOMPARE(fake->count("save"), 5);
        QCOMPARE(fake->of("error").back().text,
                 QString("Már folyamatban van egy nyomtatás. Várja meg, amíg befejeződik."));

        writerFinishes = false;
        fake->saveAnswers = {dir.filePath("nyomda.pdf")};
        dialog.saveButton()->click();
        QCOMPARE(files.size(), std::size_t(1));
        QVERIFY(dialog.isVisible() && dialog.result() != QDialog::Accepted);
        QVERIFY(dialog.settings().folder.isEmpty());

        writerFinishes = true;
        fake->saveAnswers = {dir.filePath("nyomda.pdf")};
        dialog.saveButton()->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(files.back().path, dir.filePath("nyomda.pdf"));
    }

    // An unsaved card is titled by its window and proposed in the folder
    // of the last file.
    void unsavedCardIsProposedInTheLastFolder()
    {
        Tfrm_Child* card = newCard();
        card->setWindowTitle("Névtelen.bcrd");
        QDir(dir.path()).mkdir("nyomda");
        PrintShopDialog dialog(nullptr, *card, {card}, {3, false, dir.filePath("nyomda")});
        fake->saveAnswers = {dir.filePath("uj.pdf")};
        dialog.saveButton()->click();
        QCOMPARE(fake->of("save")[0].proposed, dir.filePath("nyomda/Névtelen.pdf"));
        QCOMPARE(files[0].title, QString("Névtelen.bcrd"));
    }

    // The preflight names each layer it objects to, the back's marked as
    // such; a double-click selects that layer in its card window, counted
    // among the card's layers, those that print nothing included. Without
    // objections the list says so.
    void preflightLeadsToTheLayer()
    {
        Tfrm_Child* front = openCard({{1, 0, "Anna", 60, 60}, {2, 7, "semmi"}, tiny(3, "apró")}, "anna.bcrd");
        Tfrm_Child* backWindow = openCard({tiny(1, "hátsó"), {2, 0, "Rendes", 60, 60}}, "hat.bcrd");
        Tfrm_Child* clean = openCard({{1, 0, "Rendes", 60, 60}}, "tiszta.bcrd");
        front->document().setCurrent(front->Tbl().StoredId(0));
        PrintShopDialog dialog(nullptr, *front, {front, backWindow, clean}, {});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTreeWidget* list = dialog.findings();
        QCOMPARE(rows(list), QStringList{"apró | ..."});
        chooseBack(dialog, 2);
        QCOMPARE(rows(list), (QStringList{"apró | ...", "hátoldal: hátsó | ..."}));

        const auto doubleClick = [&](int row) {
            const QRect place = list->visualItemRect(list->topLevelItem(row));
            // A double-click is a click, then the second press.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, place.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, place.center());
        };
        doubleClick(0);
        QCOMPARE(front->document().current(), front->Tbl().StoredId(2));
        QCOMPARE(front->CurrentElement()->objectName(), QString("e3"));
        backWindow->document().setCurrent(backWindow->Tbl().StoredId(1));
        doubleClick(1);
        QCOMPARE(backWindow->document().current(), backWindow->Tbl().StoredId(0));
        QCOMPARE(area->activeSubWindow(), backWindow);

        chooseBack(dialog, 3);
        QCOMPARE(rows(list), QStringList{"apró | ..."});
        PrintShopDialog none(nullptr, *clean, {clean}, {});
        QCOMPARE(rows(none.findings()), QStringList{"Nincs figyelmeztetés."});
        QVERIFY(!(none.findings()->topLevelItem(0)->flags() & Qt::ItemIsSelectable));
    }
};

REGISTER_TEST(PrintShopDialogTest)

#include "PrintShopDialogTest.moc"
