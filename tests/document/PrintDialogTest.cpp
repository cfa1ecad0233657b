#include "document/PrintDialog.h"
#include "print/PrintJob.h"
#include "document/SheetPicker.h"
#include "tests/FakeDialogs.h"
#include "tests/TestRegistry.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

// The print dialog's choices as the print command receives them.
class PrintDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        setCalibrationStore(nullptr, nullptr);
        setLastSheetStore(nullptr, nullptr);
    }

    // The start position follows the picture of the sheet and the other way
    // round; the back is none, an open card window, or a card file asked
    // for at once; a PDF asks for its file.
    void choicesReachThePrintCommand()
    {
        FakeDialogs fake;
        setCalibrationStore([](const QString&) { return sheet::PrinterCalibration{{{1.5, -0.5}, {101, 99}}, {}}; },
                            nullptr);
        PrintDialog dialog(nullptr, {"/tmp/anna.bcrd", "Névtelen.bcrd"});
        QCOMPARE(dialog.copies()->value(), 10);
        QCOMPARE(dialog.back()->count(), 4);
        QTest::mouseClick(dialog.picker(), Qt::LeftButton, {}, dialog.picker()->positionRect(4).center());
        QCOMPARE(dialog.start()->value(), 4);
        dialog.start()->setValue(7);
        QCOMPARE(dialog.picker()->start(), 7);
        dialog.copies()->setValue(13);

        fake.openAnswers = {QString("/tmp/hatlap.bcrd")};
        dialog.back()->setCurrentIndex(3);
        emit dialog.back()->activated(3);
        fake.saveAnswers = {QString("/tmp/kartyak")};
        dialog.button(PrintDialog::Action::Pdf)->click();

        const PrintDialog::Choice chosen = dialog.choice();
        QCOMPARE(chosen.action, PrintDialog::Action::Pdf);
        QCOMPARE(chosen.copies, 13);
        QCOMPARE(chosen.start, 7);
        QCOMPARE(chosen.backCard, -1);
        QCOMPARE(chosen.backFile, QString("/tmp/hatlap.bcrd"));
        QCOMPARE(chosen.pdfFile, QString("/tmp/kartyak.pdf"));
        QCOMPARE(chosen.calibration.front, (sheet::Calibration{{1.5, -0.5}, {101, 99}}));
        QVERIFY(!chosen.calibratePdf);

        PrintDialog again(nullptr, {"/tmp/anna.bcrd"});
        again.back()->setCurrentIndex(1);
        emit again.back()->activated(1);
        again.button(PrintDialog::Action::Preview)->click();
        QCOMPARE(again.choice().backCard, 0);
        QCOMPARE(again.choice().action, PrintDialog::Action::Preview);

        // A merge's cards are counted by the list, past the usual limit.
        PrintDialog merged(nullptr, {});
        merged.setMergeCards(2500, PrintDialog::Action::Pdf);
        QVERIFY(!merged.copies()->isEnabled());
        QVERIFY(merged.button(PrintDialog::Action::Pdf)->isDefault());
        QVERIFY(!merged.button(PrintDialog::Action::Print)->isDefault());
        QCOMPARE(merged.choice().copies, 2500);
    }

    // The stock's layout: the picture shows its cards, the start runs to
    // its count, copies left at a whole sheet stay a whole sheet, a card
    // that must shrink to fit says so, and the choice carries the layout.
    void sheetLayoutReachesTheChoice()
    {
        FakeDialogs fake;
        PrintDialog dialog(nullptr, {});
        QCOMPARE(dialog.sheets()->count(), int(builtInSheets().size()));
        QCOMPARE(dialog.choice().sheet, SheetLayout());
        dialog.sheets()->setCurrentText("Avery Zweckform C32015");
        QCOMPARE(dialog.start()->maximum(), 8);
        QCOMPARE(dialog.copies()->value(), 8);
        QVERIFY(!dialog.scaleNote()->isHidden());
        QVERIFY2(dialog.scaleNote()->text().contains("94,5%"), qPrintable(dialog.scaleNote()->text()));
        SheetPicker* picker = dialog.picker();
        QCOMPARE(picker->positionAt(picker->positionRect(8).center()), 8);
        QTest::mouseClick(picker, Qt::LeftButton, {}, picker->positionRect(6).center());
        QCOMPARE(dialog.start()->value(), 6);
        // 2 × 4 of 85 × 54 from 17, 31.5 at a pitch of 91 × 60: position 5
        // is the top of the second column.
        QVERIFY(picker->positionRect(5).left() > picker->positionRect(4).right());
        QCOMPARE(picker->positionRect(5).top(), picker->positionRect(1).top());

        dialog.copies()->setValue(20);
        dialog.sheets()->setCurrentText("Avery 5371, 8371");
        QCOMPARE(dialog.copies()->value(), 20);
        QCOMPARE(dialog.start()->value(), 6);
        QVERIFY(picker->sizeHint().width() > int(210 * 0.45) + 2);
        const PrintDialog::Choice chosen = dialog.choice();
        QCOMPARE(chosen.sheet, sheetNamed("Avery 5371, 8371"));
        QCOMPARE(chosen.start, 6);

        dialog.sheets()->setCurrentIndex(1);
        QVERIFY(dialog.scaleNote()->isHidden());
        QCOMPARE(dialog.start()->maximum(), 10);

        // The stock last used with the printer comes back; a name no longer
        // known leaves the program's own sheet.
        setLastSheetStore([](const QString&) { return QString("Avery Zweckform C32015"); }, nullptr);
        QCOMPARE(PrintDialog(nullptr, {}).choice().sheet, sheetNamed("Avery Zweckform C32015"));
        setLastSheetStore([](const QString&) { return QString("Elfogyott karton"); }, nullptr);
        QCOMPARE(PrintDialog(nullptr, {}).choice().sheet, SheetLayout());
    }

    // "Előnézet" shows the job as set and comes back to the dialog with
    // every setting as it was, so the print that follows starts where the
    // user said.
    void previewComesBackToTheDialog()
    {
        FakeDialogs fake;
        PrintDialog dialog(nullptr, {"/tmp/anna.bcrd"});
        std::vector<PrintDialog::Choice> previewed;
        dialog.setPreview([&](const PrintDialog::Choice& chosen) { previewed.push_back(chosen); });
        dialog.show();
        dialog.copies()->setValue(13);
        dialog.start()->setValue(4);
        dialog.back()->setCurrentIndex(1);
        emit dialog.back()->activated(1);
        dialog.button(PrintDialog::Action::Preview)->click();

        QCOMPARE(previewed.size(), size_t(1));
        QCOMPARE(previewed[0].action, PrintDialog::Action::Preview);
        QCOMPARE(previewed[0].copies, 13);
        QCOMPARE(previewed[0].start, 4);
        QCOMPARE(previewed[0].backCard, 0);
        QVERIFY(dialog.isVisible() && dialog.result() != QDialog::Accepted);
        QCOMPARE(dialog.copies()->value(), 13);
        QCOMPARE(dialog.start()->value(), 4);
        QCOMPARE(dialog.back()->currentIndex(), 1);

        fake.saveAnswers = {QString("/tmp/kartyak.pdf")};
        dialog.button(PrintDialog::Action::Pdf)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.choice().start, 4);
    }

    // The PDF may not be saved over a file the job reads: the dialog says
    // so and stays, and another name is taken.
    void pdfNeverReplacesAnInput()
    {
        FakeDialogs fake;
        QTemporaryDir dir;
        const QString card = dir.filePath("anna.bcrd");
        const QString data = dir.filePath("people.csv");
        for (const QString& path : {card, data}) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("x");
        }
        QVERIFY(QFile::link(card, dir.filePath("link.pdf")));
        PrintDialog dialog(nullptr, {card});
        dialog.setInputFiles({card, data});
        dialog.show();
        fake.saveAnswers = {card, dir.filePath("link.pdf"), data, dir.filePath("kartyak.pdf")};
        for (int attempt = 0; attempt < 3; ++attempt) {
            dialog.button(PrintDialog::Action::Pdf)->click();
            QVERIFY(dialog.isVisible() && dialog.result() != QDialog::Accepted);
        }
        QCOMPARE(fake.count("error"), 3);
        QVERIFY(fake.of("error")[0].text.contains(QStringLiteral("A PDF nem menthető")));
        dialog.button(PrintDialog::Action::Pdf)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.choice().pdfFile, dir.filePath("kartyak.pdf"));
    }
};

REGISTER_TEST(PrintDialogTest)

#include "PrintDialogTest.moc"
