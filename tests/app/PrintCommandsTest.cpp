#include "tests/PrintedPages.h"
#include "tests/TestRegistry.h"
#include "tests/app/ShellRun.h"

#include "document/Child.h"
#include "document/PrintDialog.h"
#include "document/PrintShopDialog.h"
#include "layer/LayerFields.h"
#include "layer/LayerItem.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QApplication>
#include <QProcess>
#include <QProgressDialog>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

QByteArray readFile(const QString& path);

namespace {

// A new, unsaved card with one text layer.
Tfrm_Child* cardSaying(ShellRun& run, const char* text)
{
    run.window->aUjExecute();
    Tfrm_Child* card = run.window->activeCard();
    card->document().appendLayer(
        [&](int) -> CardDocument::Values {
            return {{Field::nev, std::string(text)}, {Field::betutipus, std::string("DejaVu Sans")}};
        },
        QStringLiteral("Szöveg"));
    return card;
}


} // namespace

class PrintCommands : public QObject
{
    Q_OBJECT

private slots:
    // Card stock as a PDF of three sheets: the job prints the card as it was
    // when the command began, under a progress window modal over the whole
    // program. The card edited while the job runs, and another job asked
    // for meanwhile, change nothing of what is printed; the other job is
    // refused with its message.
    void aJobPrintsItsOwnCopyOfTheCardAlone()
    {
        ShellRun run;
        run.window->show();
        Tfrm_Child* card = cardSaying(run, "Anna");
        const QString pdf = run.path("kartyak.pdf");
        run.dialogs.saveAnswers.push_back(pdf);
        Qt::WindowModality modality = Qt::NonModal;
        bool edited = false;
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [&] {
            if (auto* dialog = qobject_cast<PrintDialog*>(QApplication::activeModalWidget())) {
                dialog->copies()->setValue(25);
                dialog->button(PrintDialog::Action::Pdf)->click();
                return;
            }
            QProgressDialog* progress = jobWindow();
            if (!progress || edited)
                return;
            edited = true;
            modality = progress->windowModality();
            card->document().change(card->Tbl().CurrentId(), {{Field::nev, std::string("Bela")}}, "Szöveg");
            run.window->action("aNyomtatas")->trigger();
        });
        driver.start(0);
        run.window->aNyomtatasExecute();
        driver.stop();

        QVERIFY(edited);
        QCOMPARE(modality, Qt::ApplicationModal);
        QCOMPARE(run.dialogs.count("save"), 1);
        QCOMPARE(run.dialogs.count("error"), 1);
        QCOMPARE(run.dialogs.of("error")[0].text,
                 QString("Már folyamatban van egy nyomtatás. Várja meg, amíg befejeződik."));
        const int copies[] = {10, 10, 5};
        for (int page = 1; page <= 3; ++page) {
            const QString text = pdfText(pdf, page);
            QCOMPARE(text.count("Anna"), copies[page - 1]);
            QCOMPARE(text.count("Bela"), 0);
        }
        QCOMPARE(card->printables().front().text.text, QString("Bela"));
    }

    // The layout chosen in the dialog is the job's: thirteen copies on
    // Letter stock of ten to the sheet are two pages of Letter.
    void theChosenLayoutReachesThePdf()
    {
        ShellRun run;
        run.window->show();
        cardSaying(run, "Anna");
        const QString pdf = run.path("letter.pdf");
        run.dialogs.saveAnswers.push_back(pdf);
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [&] {
            if (auto* dialog = qobject_cast<PrintDialog*>(QApplication::activeModalWidget())) {
                dialog->sheets()->setCurrentText("Avery 5371, 8371");
                dialog->copies()->setValue(13);
                dialog->button(PrintDialog::Action::Pdf)->click();
            }
        });
        driver.start(0);
        run.window->aNyomtatasExecute();
        driver.stop();
        QTRY_VERIFY(QFile::exists(pdf));
        QTRY_VERIFY(!jobWindow());
        QCOMPARE(pdfText(pdf, 1).count("Anna"), 10);
        QCOMPARE(pdfText(pdf, 2).count("Anna"), 3);
        QVERIFY(readFile(pdf).contains("/MediaBox [0 0 612.000000 792.000000]"));
    }

    // "Nyomdai PDF..." needs a card window. Its dialog writes the active
    // card's file, one page; what the file was made with is what the next
    // opening shows, what the card windows' cut lines take, and what the
    // settings file keeps. The cut lines' switch is kept as well.
    void shopFileKeepsItsSettings()
    {
        ShellRun run;
        run.window->show();
        QAction* command = run.window->action("aNyomdaiPdf");
        QVERIFY(!command->isEnabled());
        QCOMPARE(command->toolTip(), QStringLiteral("A kártya nyomdának: PDF kifutóval, vágójelekkel, CMYK-ban"));
        Tfrm_Child* card = cardSaying(run, "Anna");
        QVERIFY(command->isEnabled());

        const QString pdf = run.path("nyomda.pdf");
        run.dialogs.saveAnswers.push_back(pdf);
        double shownBleed = -1;
        bool shownMarks = true;
        QTimer driver;
        connect(&driver, &QTimer::timeout, this, [&] {
            auto* dialog = qobject_cast<PrintShopDialog*>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            shownBleed = dialog->bleed()->value();
            shownMarks = dialog->cropMarks()->isChecked();
            if (shownBleed == 1.5) {
                dialog->reject();
                return;
            }
            dialog->bleed()->setValue(1.5);
            dialog->cropMarks()->setChecked(true);
            dialog->saveButton()->click();
        });
        driver.start(0);
        command->trigger();
        QCOMPARE(shownBleed, 3.0);
        QVERIFY(!shownMarks);
        QVERIFY(pdfText(pdf, 1).contains("Anna"));
        QVERIFY(pdfText(pdf, 2).isEmpty());
        QCOMPARE(Beall.PrintShopBleed, 1.5);
        QVERIFY(Beall.PrintShopCropMarks);
        QCOMPARE(Beall.PrintShopFolder, QFileInfo(pdf).absolutePath());

        command->trigger();
        driver.stop();
        QCOMPARE(shownBleed, 1.5);
        QVERIFY(shownMarks);

        card->action("aVagasiVonalak")->trigger();
        QVERIFY(Beall.CutGuides);
        run.window->aUjExecute();
        QVERIFY(run.window->activeCard()->cutGuidesShown());
        SaveSettings();
        const QByteArray ini = readFile(IniFileName);
        QVERIFY(ini.contains("CutGuides=1\n"));
        QVERIFY(ini.contains("[PrintShop]\nBleed=150\nCropMarks=1\nFolder=" + QFileInfo(pdf).absolutePath().toUtf8()));
    }
};

REGISTER_TEST(PrintCommands)

#include "PrintCommandsTest.moc"
