#include "document/Child.h"

#include "document/Printing.h"
#include "print/PrintOutput.h"
#include "tests/FakeDialogs.h"
#include "tests/TestRegistry.h"
#include "tests/document/Cards.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QMdiArea>
#include <QPrintPreviewDialog>
#include <QPointer>
#include <QPrinter>
#include <QTemporaryDir>
#include <QTest>

class PrintJobTest : public QObject
{
    Q_OBJECT

    QTemporaryDir data;
    QTemporaryDir dir;
    std::unique_ptr<FakeDialogs> fake;
    QMdiArea* area = nullptr;
    QString printed;

    Tfrm_Child* openCard(const std::vector<Layer>& layers)
    {
        auto* child = new Tfrm_Child({QFont("Arial", 8), 9, 100, data.path()}, area);
        area->addSubWindow(child);
        child->show();
        child->LoadCard(writeCard(dir.filePath("card.bcrd"), layers));
        return child;
    }

    QStringList leftInDataFolder() const { return QDir(data.path()).entryList(QDir::Files); }

private slots:
    void init()
    {
        fake = std::make_unique<FakeDialogs>();
        area = new QMdiArea;
        area->show();
        printed = dir.filePath("printed.pdf");
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
        delete area;
        fake.reset();
        setPrinterSource(nullptr);
    }

    // The sheet goes to the printer through a copy of the card that is gone
    // afterwards; the card keeps its title and its unsaved changes.
    void printingLeavesTheCardAsItWas()
    {
        Tfrm_Child* child = openCard({{1, 2, "keret"}});
        child->document().history().push(new QUndoCommand(QStringLiteral("Változás")));
        const QString title = child->windowTitle();
        child->PrintCard();
        QVERIFY(QFileInfo(printed).size() > 1000);
        QVERIFY(leftInDataFolder().isEmpty());
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
        QVERIFY(leftInDataFolder().isEmpty());
    }

    // A preview gets a window and a report of its own, which do not hold up
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
        QVERIFY(leftInDataFolder().isEmpty());
        QVERIFY(child->action("aSzoveg")->isEnabled());
    }

    // A job that fails leaves no copy of the card behind either.
    void failedJobsLeaveNothingBehind()
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
        QVERIFY(leftInDataFolder().isEmpty());
    }
};

REGISTER_TEST(PrintJobTest)

#include "PrintJobTest.moc"
