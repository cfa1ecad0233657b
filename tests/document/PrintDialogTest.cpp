#include "document/PrintDialog.h"
#include "print/PrintJob.h"
#include "print/SheetPicker.h"
#include "tests/FakeDialogs.h"
#include "tests/TestRegistry.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

// The print dialog's choices as the print command receives them.
class PrintDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup() { setCalibrationStore(nullptr, nullptr); }

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
};

REGISTER_TEST(PrintDialogTest)

#include "PrintDialogTest.moc"
