#include "document/Dialogs.h"
#include "document/FontDialog.h"
#include "document/PictureFile.h"
#include "document/ReductionDialog.h"
#include "layer/Fonts.h"
#include "layer/Win1250Text.h"
#include "tests/TestRegistry.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QListView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Runs answer on the modal dialog the next call opens, then closes it.
void whenModal(std::function<void(QDialog*)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

// The files the dialog lists in its folder, once the folder has been read.
QStringList listed(QFileDialog* box, int expected)
{
    auto* view = box->findChild<QListView*>("listView");
    auto* model = view ? qobject_cast<QFileSystemModel*>(view->model()) : nullptr;
    if (!model)
        return {"no list"};
    QStringList names;
    QTest::qWaitFor([&] {
        names.clear();
        const QModelIndex root = view->rootIndex();
        for (int row = 0; row < model->rowCount(root); ++row)
            names << model->fileName(model->index(row, 0, root));
        return names.size() == expected;
    }, 5000);
    names.sort(Qt::CaseInsensitive);
    return names;
}

// Typed as a user types, letter by letter, whatever the letters.
void type(QWidget* widget, const QString& text)
{
    for (QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

} // namespace

class DialogsTest : public QObject
{
    Q_OBJECT

private slots:
    void init() { setDialogs(nullptr); }

    // The real picture dialog on a folder with one file of each picture
    // type (a camera's capitals too) and one that is none: each filter
    // lists what its patterns say, under the description the user reads.
    void pictureDialogFiltersListTheirFiles()
    {
        QTemporaryDir dir;
        const QStringList files{"a.png", "b.jpg", "c.jpeg", "d.bmp", "e.ico", "f.emf", "g.wmf", "IMG_0001.JPG",
                                "notes.txt"};
        for (const QString& name : files) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QMap<QString, QStringList> seen;
        QStringList shown;
        whenModal([&](QDialog* dialog) {
            auto* box = qobject_cast<QFileDialog*>(dialog);
            QVERIFY(box);
            box->setDirectory(dir.path());
            auto* types = box->findChild<QComboBox*>("fileTypeCombo");
            QVERIFY(types);
            for (int i = 0; i < types->count(); ++i)
                shown << types->itemText(i);
            const QList<int> counts{8, 1, 3, 1};
            for (int i = 0; i < box->nameFilters().size(); ++i) {
                box->selectNameFilter(box->nameFilters()[i]);
                seen[shown.value(i)] = listed(box, counts.value(i));
            }
        });
        QCOMPARE(dialogs().openPicture(nullptr, pictureFilter()), std::nullopt);

        QCOMPARE(shown, QStringList({"Összes kép állomány (*.png;*.jpg;*.jpeg;*.bmp;*.ico;*.emf;*.wmf)",
                                     "Portable Network Graphics (*.png)", "JPEG Image File (*.jpg)", "Icons (*.ico)"}));
        QCOMPARE(seen[shown[0]], QStringList({"a.png", "b.jpg", "c.jpeg", "d.bmp", "e.ico", "f.emf", "g.wmf",
                                              "IMG_0001.JPG"}));
        QCOMPARE(seen[shown[1]], QStringList({"a.png"}));
        QCOMPARE(seen[shown[2]], QStringList({"b.jpg", "c.jpeg", "IMG_0001.JPG"}));
        QCOMPARE(seen[shown[3]], QStringList({"e.ico"}));
    }

    // The font dialog opens on the layer's font, with the fonts the
    // program installs, a face the system draws with another one (Arial)
    // included, and OK with nothing touched gives it back unchanged.
    void fontDialogGivesBackWhatItWasGiven_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("points");
        QTest::addColumn<bool>("bold");
        QTest::addColumn<bool>("italic");
        QTest::newRow("DejaVu Serif 14 bold") << "DejaVu Serif" << 14 << true << false;
        QTest::newRow("Arial 11 bold") << "Arial" << 11 << true << false;
        QTest::newRow("Tahoma 8 italic") << "Tahoma" << 8 << false << true;
        QTest::newRow("MS Sans Serif 9") << "MS Sans Serif" << 9 << false << false;
        QTest::newRow("not installed, 0 points") << "Nincs Ilyen Betű" << 0 << true << true;
    }

    void fontDialogGivesBackWhatItWasGiven()
    {
        QFETCH(QString, family);
        QFETCH(int, points);
        QFETCH(bool, bold);
        QFETCH(bool, italic);
        const Dialogs::FontChoice initial{family, points, bold, italic, true, false, QColor(10, 20, 30)};
        whenModal([&](QDialog* dialog) {
            auto* box = qobject_cast<FontDialog*>(dialog);
            QVERIFY(box);
            QCOMPARE(box->faceEdit()->text(), family);
            QVERIFY(box->faceList()->currentItem());
            QCOMPARE(box->faceList()->currentItem()->text(), family);
            QCOMPARE(box->sizeEdit()->text(), QString::number(points));
            QCOMPARE(box->boldBox()->isChecked(), bold);
            QCOMPARE(box->italicBox()->isChecked(), italic);
            QVERIFY(box->underlineBox()->isChecked() && !box->strikeOutBox()->isChecked());
            dialog->accept();
        });
        QCOMPARE(dialogs().chooseFont(nullptr, initial), std::optional<Dialogs::FontChoice>(initial));
    }

    // Only names a card can store are offered or can be typed; what the
    // user picks or types is what comes back.
    void fontDialogTakesOnlyStorableNames()
    {
        FontDialog box(nullptr, {"Tahoma", 8, false, false, false, false, Qt::black});
        for (int row = 0; row < box.faceList()->count(); ++row)
            QVERIFY2(fitsWin1250(box.faceList()->item(row)->text()), qPrintable(box.faceList()->item(row)->text()));
        for (const QString& family : installedFontFamilies())
            QVERIFY(fitsWin1250(family));
        box.faceEdit()->selectAll();
        type(box.faceEdit(), QString::fromUtf8("Ő中"));
        QCOMPARE(box.faceEdit()->text(), QString("Ő"));
        box.faceList()->setCurrentItem(box.faceList()->findItems("DejaVu Sans", Qt::MatchExactly).value(0));
        box.sizeEdit()->selectAll();
        QTest::keyClicks(box.sizeEdit(), "17");
        box.italicBox()->setChecked(true);
        const Dialogs::FontChoice chosen = box.choice();
        QCOMPARE(chosen.family, QString("DejaVu Sans"));
        QCOMPARE(chosen.points, 17);
        QVERIFY(chosen.italic && !chosen.bold);
    }

    // "Kép kicsinyítése" states both sizes and the saving; its buttons
    // reduce or keep, its tick remembers the answer given, and closing it
    // keeps the picture whole without remembering anything.
    void reductionQuestionStatesTheSaving()
    {
        const Dialogs::ReductionOffer offer{{4000, 3000}, 7759462, {1500, 1125}, 419431};
        QCOMPARE(shownFileSize(7759462), QString("7,4 MB"));
        QCOMPARE(shownFileSize(104858), QString("0,1 MB"));
        QCOMPARE(shownFileSize(85 * 1024), QString("85 kB"));
        QCOMPARE(shownFileSize(1), QString("1 kB"));
        const QString text = reductionText(offer);
        QVERIFY(text.contains("Jelenleg: 4000 × 3000 képpont, 7,4 MB"));
        QVERIFY(text.contains("Kicsinyítve: 1500 × 1125 képpont, 0,4 MB"));
        QVERIFY(text.contains("7,4 MB → 0,4 MB"));

        using Choice = Dialogs::ReductionChoice;
        auto answered = [&](std::function<void(ReductionDialog*)> answer) {
            whenModal([answer](QDialog* dialog) {
                auto* box = qobject_cast<ReductionDialog*>(dialog);
                QVERIFY(box);
                QCOMPARE(box->windowTitle(), QString("Kép kicsinyítése"));
                QVERIFY(box->reduceButton()->isDefault());
                answer(box);
            });
            const Choice choice = dialogs().offerReduction(nullptr, offer);
            return std::pair(choice.reduce, choice.remember);
        };
        QCOMPARE(answered([](ReductionDialog* box) { box->reduceButton()->click(); }), std::pair(true, false));
        QCOMPARE(answered([](ReductionDialog* box) {
                     box->rememberBox()->setChecked(true);
                     box->keepButton()->click();
                 }),
                 std::pair(false, true));
        QCOMPARE(answered([](ReductionDialog* box) {
                     box->rememberBox()->setChecked(true);
                     QTest::keyClick(box, Qt::Key_Escape);
                 }),
                 std::pair(false, false));
    }
};

REGISTER_TEST(DialogsTest)

#include "DialogsTest.moc"
