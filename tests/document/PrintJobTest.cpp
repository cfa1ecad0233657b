#include "document/Child.h"

#include "document/Printing.h"
#include "layer/LayerFields.h"
#include "print/PrintOutput.h"
#include "tests/FakeDialogs.h"
#include "tests/PrintedPages.h"
#include "tests/TestRegistry.h"
#include "tests/document/CardWindowTest.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QPrintPreviewDialog>
#include <QPointer>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class PrintJobTest : public CardWindowTest
{
    Q_OBJECT

    QString printed;

    QStringList filesBesideTheCard() const { return QDir(dir.path()).entryList(QDir::Files); }

private slots:
    void init()
    {
        CardWindowTest::init();
        printed = dir.filePath("printed.pdf");
        QFile::remove(printed);
        setPrinterSource([this] {
            auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(printed);
            return printer;
        });
    }

    void cleanup()
    {
        QList<QPointer<QPrintPreviewDialog>> previews;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(window))
                previews << preview;
        qDeleteAll(previews);
        CardWindowTest::cleanup();
        setPrinterSource(nullptr);
    }

    // The sheet goes to the printer from the card in memory, its unsaved
    // change included, and nothing is written beside it; the card keeps its
    // title and its unsaved changes.
    void printingLeavesTheCardAsItWas()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}});
        const QByteArray onDisk = readBytes(dir.filePath("card.bcrd"));
        child->document().change(child->Tbl().CurrentId(), {{Field::nev, std::string("Bela")}}, "Szöveg");
        const QString title = child->windowTitle();
        child->PrintCard();
        QVERIFY(QFileInfo(printed).size() > 1000);
        QCOMPARE(pdfText(printed).count("Bela"), 10);
        QCOMPARE(filesBesideTheCard(), QStringList({"card.bcrd", "printed.pdf"}));
        QCOMPARE(readBytes(dir.filePath("card.bcrd")), onDisk);
        QVERIFY(child->Modified());
        QCOMPARE(child->windowTitle(), title);

        // No printer is no success.
        setPrinterSource([] { return std::unique_ptr<QPrinter>(); });
        try {
            child->PrintCard();
            QFAIL("printed without a printer");
        } catch (const PrintError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), QString("Nincs elérhető nyomtató."));
        }
    }

    // While the sheet goes to the printer its progress window is modal over
    // the whole program, and a second job asked for meanwhile is refused
    // before anything of it is drawn.
    void oneJobAtATime()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}});
        Qt::WindowModality modality = Qt::NonModal;
        QString refused;
        int asked = 0;
        QTimer during;
        connect(&during, &QTimer::timeout, this, [&] {
            QProgressDialog* progress = jobWindow();
            if (!progress || asked++ > 0)
                return;
            modality = progress->windowModality();
            try {
                child->PrintCard();
            } catch (const PrintError& error) {
                refused = QString::fromUtf8(error.what());
            }
        });
        during.start(0);
        child->PrintCard();
        during.stop();
        QVERIFY(asked > 0);
        QCOMPARE(modality, Qt::ApplicationModal);
        QCOMPARE(refused, QString("Már folyamatban van egy nyomtatás. Várja meg, amíg befejeződik."));
        QCOMPARE(pdfText(printed).count("Anna"), 10);

        // Once the job is done, the next one runs.
        QFile::remove(printed);
        child->PrintCard();
        QVERIFY(QFileInfo::exists(printed));
    }

    // A preview gets a window and a job of its own, which do not hold up
    // the card windows; a second one while the first is open is another.
    void previewsAreWindowsOfTheirOwn()
    {
        Tfrm_Child* child = openCard({{1, 0, "Anna"}});
        child->PreviewCard();
        child->PreviewCard();
        QList<QPrintPreviewDialog*> previews;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(window))
                previews << preview;
        QCOMPARE(previews.size(), 2);
        for (QPrintPreviewDialog* preview : previews) {
            QCOMPARE(preview->windowTitle(), QString("Lapora nyomtatás"));
            QCOMPARE(preview->windowModality(), Qt::NonModal);
            QVERIFY(preview->isVisible());
        }
        QVERIFY(child->action("aSzoveg")->isEnabled());
    }

    // A picture that cannot be decoded stops the job with its message.
    void failedJobsSayWhy()
    {
        Tfrm_Child* child = openCard({{1, 1, "kep", 0, 0, {{"kep", Blob{"junk"}}, {"keptip", std::string(".png")}}}});
        fake->shown.clear();
        try {
            child->PreviewCard();
            QFAIL("no error");
        } catch (const std::exception& error) {
            QCOMPARE(QString::fromUtf8(error.what()),
                     QString("The .png picture cannot be read: its data is damaged or is not a .png picture"));
        }
        QCOMPARE(filesBesideTheCard(), QStringList({"card.bcrd"}));
    }
};

REGISTER_TEST(PrintJobTest)

#include "PrintJobTest.moc"
