#include "document/PrintDialog.h"
#include "document/SheetEditor.h"
#include "document/SheetPicker.h"
#include "print/PrintJob.h"
#include "print/SavedSheets.h"
#include "tests/FakeDialogs.h"
#include "tests/TestRegistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

QPushButton* saveButton(SheetEditor& editor)
{
    return editor.findChild<QPushButton*>("Mentes");
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

// "Egyéni lap...": the editor of a layout of one's own, and the print
// dialog's list that takes it.
class SheetEditorTest : public QObject
{
    Q_OBJECT

private slots:
    void cleanup()
    {
        setSavedSheetsFile(QString());
        setLastSheetStore(nullptr, nullptr);
        PrintDialog::setSheetEditorRun(nullptr);
    }

    // The picture follows the fields; a layout whose cards overlap or leave
    // the paper, a name that is none or a built-in's, and a size that is no
    // number are refused with one message through the error box, the
    // dialog stays open and nothing is written.
    void refusesWhatCannotBePrinted()
    {
        QTemporaryDir dir;
        setSavedSheetsFile(dir.filePath("Lapora2.ini"));
        FakeDialogs fake;
        SheetEditor editor(nullptr, SheetLayout(), false);
        QVERIFY(editor.name()->text().isEmpty());
        QCOMPARE(editor.width()->text(), QString("89,96"));
        QVERIFY(editor.faultNote()->text().isEmpty());
        const int secondRow = editor.picture()->positionRect(2).top();

        editor.name()->setText("Átfedő");
        editor.dy()->setValue(45);
        QVERIFY(editor.picture()->positionRect(2).top() < secondRow);
        QVERIFY2(editor.faultNote()->text().contains("függőleges lépés (45 mm) kisebb"),
                 qPrintable(editor.faultNote()->text()));
        saveButton(editor)->click();
        editor.dy()->setValue(50.3);
        editor.rows()->setValue(6);
        saveButton(editor)->click();
        editor.rows()->setValue(5);
        editor.width()->setText("széles");
        saveButton(editor)->click();
        editor.width()->clear();
        editor.height()->clear();
        editor.name()->setText(" ");
        saveButton(editor)->click();
        editor.name()->setText("rayfilm viz1");
        saveButton(editor)->click();

        const std::vector<FakeDialogs::Shown> errors = fake.of("error");
        const QStringList expected = {"A lap így nem menthető: a függőleges lépés (45 mm) kisebb",
                                      "A lap így nem menthető: a kártyák lelógnak a papírról",
                                      "A lap így nem menthető: a kártya szélessége és magassága",
                                      "Adjon nevet a saját lapnak.",
                                      "A(z) „rayfilm viz1” név egy beépített lapé"};
        QCOMPARE(errors.size(), std::size_t(expected.size()));
        for (int i = 0; i < expected.size(); ++i)
            QVERIFY2(errors[std::size_t(i)].text.startsWith(expected[i]), qPrintable(errors[std::size_t(i)].text));
        QVERIFY(editor.result() != QDialog::Accepted);
        QVERIFY(!QFile::exists(dir.filePath("Lapora2.ini")));

        // Left empty, the stock card is the pitch.
        editor.name()->setText("Saját");
        QCOMPARE(editor.layout()->card, QSizeF(90, 50.3));
        QVERIFY(editor.faultNote()->text().isEmpty());
        saveButton(editor)->click();
        QCOMPARE(fake.count("error"), 5);
        QCOMPARE(editor.result(), int(QDialog::Accepted));
        QCOMPARE(editor.savedName(), QString("Saját"));
    }

    // Saved into the settings file as its section, listed after the
    // built-ins, chosen, changed under a new name and deleted; the
    // printer's last sheet may be a saved one, and a name another saved
    // layout has is refused.
    void printDialogKeepsSavedSheets()
    {
        QTemporaryDir dir;
        const QString ini = dir.filePath("Lapora2.ini");
        setSavedSheetsFile(ini);
        FakeDialogs fake;
        PrintDialog dialog(nullptr, {});
        const int builtIn = int(builtInSheets().size());
        QCOMPARE(dialog.sheets()->count(), builtIn);
        QVERIFY(!dialog.editSheet()->isEnabled() && !dialog.deleteSheet()->isEnabled());

        dialog.sheets()->setCurrentText("Rayfilm VIZ2");
        PrintDialog::setSheetEditorRun([](SheetEditor& editor) {
            editor.name()->setText("Nyolcas");
            editor.rows()->setValue(4);
            editor.marks()->setChecked(true);
            editor.save();
            return editor.result();
        });
        dialog.newSheet()->click();
        QCOMPARE(fake.count("error"), 0);
        QCOMPARE(bytesOf(ini), QByteArray("[Sheet:Nyolcas]\nPaper=A4\nColumns=2\nRows=4\nLeft=1500\nTop=1350\n"
                                          "DX=9000\nDY=5500\nW=9000\nH=5000\nMarks=1\n"));
        QCOMPARE(dialog.sheets()->count(), builtIn + 1);
        QCOMPARE(dialog.sheets()->currentIndex(), builtIn);
        QCOMPARE(dialog.start()->maximum(), 8);
        QVERIFY(dialog.editSheet()->isEnabled() && dialog.deleteSheet()->isEnabled());
        SheetLayout nyolcas = sheetNamed("Rayfilm VIZ2");
        nyolcas.name = "Nyolcas";
        nyolcas.rows = 4;
        nyolcas.marks = true;
        QCOMPARE(dialog.choice().sheet, nyolcas);

        // The printer's last sheet, saved by the designer.
        setLastSheetStore([](const QString&) { return QString("Nyolcas"); }, nullptr);
        QCOMPARE(PrintDialog(nullptr, {}).choice().sheet, nyolcas);
        QCOMPARE(PrintDialog::openingSheet(), nyolcas);
        setLastSheetStore(nullptr, nullptr);

        // A second one may not take the first one's name.
        PrintDialog::setSheetEditorRun([](SheetEditor& editor) {
            editor.name()->setText("nyolcas");
            saveButton(editor)->click();
            return editor.result();
        });
        dialog.sheets()->setCurrentIndex(0);
        dialog.newSheet()->click();
        QCOMPARE(fake.count("error"), 1);
        QVERIFY(fake.of("error")[0].text.startsWith("Már van „nyolcas” nevű saját lap"));
        QCOMPARE(dialog.sheets()->count(), builtIn + 1);

        // Changed under a new name: the old section goes.
        dialog.sheets()->setCurrentText("Nyolcas");
        PrintDialog::setSheetEditorRun([](SheetEditor& editor) {
            [&] { QCOMPARE(editor.name()->text(), QString("Nyolcas")); }();
            editor.name()->setText("Hatos");
            editor.rows()->setValue(3);
            editor.save();
            return editor.result();
        });
        dialog.editSheet()->click();
        QCOMPARE(IniFile(ini).sections(), QStringList({"Sheet:Hatos"}));
        QCOMPARE(dialog.sheets()->currentText(), QString("Hatos"));
        QCOMPARE(dialog.choice().sheet.cardCount(), 6);

        fake.questionAnswers = {Dialogs::Answer::No, Dialogs::Answer::Yes};
        dialog.deleteSheet()->click();
        QCOMPARE(dialog.sheets()->count(), builtIn + 1);
        dialog.deleteSheet()->click();
        QVERIFY(fake.of("question").back().text.contains("„Hatos”"));
        QCOMPARE(dialog.sheets()->count(), builtIn);
        QCOMPARE(bytesOf(ini), QByteArray());
        QCOMPARE(dialog.choice().sheet, SheetLayout());
    }
};

REGISTER_TEST(SheetEditorTest)

#include "SheetEditorTest.moc"
