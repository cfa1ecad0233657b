#include "document/MergeDialog.h"

#include "layer/Win1250Text.h"
#include "merge/QrCode.h"
#include "tests/FakeDialogs.h"
#include "tests/TestRegistry.h"
#include "tests/merge/MergeLayers.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

namespace {

LayerItem textQr(const QString& text)
{
    QrContents contents;
    contents.isContact = false;
    contents.text = text;
    contents.level = 'H';
    return qrLayer(contents);
}

QString written(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(bytes);
    return path;
}

} // namespace

// The merge dialog's list, its card and its choice as the print command
// receives them.
class MergeDialogTest : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;

private slots:
    // A spreadsheet's list: every person ticked, the selected one's values
    // on the card, the names no column answers listed; the ticks, the
    // copies and the button pressed make the choice.
    void listCardAndChoice()
    {
        FakeDialogs fake;
        const QString list = written(mDir.filePath("csapat.csv"),
                                     QByteArray::fromStdString(toWin1250(
                                         QStringLiteral("Név;Beosztás\r\nŐri Ödön;elnök\r\nKiss Éva;titkár\r\n"
                                                        "Tóth Ákos;\"pénztáros; könyvelő\"\r\n"))));
        MergeDialog dialog(nullptr, {textLayer(QStringLiteral("{név} – {Beosztás}")), textLayer(QStringLiteral("{Részleg}"))});
        QVERIFY(!dialog.button(PrintDialog::Action::Print)->isEnabled());
        fake.openAnswers = {list};
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("Tallózás..."))
                button->click();
        QCOMPARE(dialog.records()->model()->rowCount(), 3);
        QCOMPARE(dialog.records()->model()->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Beosztás"));
        QCOMPARE(dialog.shownCard()[0].text.text, QStringLiteral("Őri Ödön – elnök"));
        QVERIFY(dialog.unknownLabel()->text().contains(QStringLiteral("{Részleg}")));
        QCOMPARE(dialog.summary()->text(), QStringLiteral("3 személyből 3 kijelölve: 30 kártya, 3 lap."));

        dialog.records()->selectRow(2);
        QCOMPARE(dialog.shownCard()[0].text.text, QStringLiteral("Tóth Ákos – pénztáros; könyvelő"));
        QAbstractItemModel* model = dialog.records()->model();
        model->setData(model->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
        dialog.copiesEach()->setValue(4);
        QCOMPARE(dialog.summary()->text(), QStringLiteral("3 személyből 2 kijelölve: 8 kártya, 1 lap."));
        // Sheets of eight: the count follows the layout, and a number each
        // still at a whole sheet follows it too.
        dialog.copiesEach()->setValue(10);
        dialog.setSheet(sheetNamed("Avery Zweckform C32015"));
        QCOMPARE(dialog.copiesEach()->value(), 8);
        dialog.copiesEach()->setValue(5);
        QCOMPARE(dialog.summary()->text(), QStringLiteral("3 személyből 2 kijelölve: 10 kártya, 2 lap."));
        dialog.setSheet(SheetLayout());
        QCOMPARE(dialog.copiesEach()->value(), 5);
        QCOMPARE(dialog.summary()->text(), QStringLiteral("3 személyből 2 kijelölve: 10 kártya, 1 lap."));
        dialog.copiesEach()->setValue(4);
        dialog.button(PrintDialog::Action::Preview)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        MergeDialog::Choice chosen = dialog.choice();
        QCOMPARE(chosen.dataFile, list);
        QCOMPARE(chosen.records, (std::vector<long long>{0, 2}));
        QCOMPARE(chosen.people, 2);
        QCOMPARE(chosen.copiesEach, 4);
        QCOMPARE(chosen.action, PrintDialog::Action::Preview);

        // With everybody ticked the choice says so, and a file that is no
        // list leaves the dialog as it was.
        model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole);
        QVERIFY(dialog.choice().records.empty());
        dialog.openData(list);
        fake.openAnswers = {written(mDir.filePath("kep.csv"), QByteArray("\x89PNG\r\n\x1a\n\0\0", 10))};
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == QStringLiteral("Tallózás..."))
                button->click();
        QCOMPARE(fake.count("error"), 1);
        QCOMPARE(dialog.choice().dataFile, list);
        QCOMPARE(model->rowCount(), 3);
    }

    // A person whose code cannot be made is named before the print dialog
    // and selected; unticked, the others go on.
    void personWithoutACodeIsNamed()
    {
        FakeDialogs fake;
        const QString list = written(mDir.filePath("hosszu.csv"),
                                     "Név,Jegyzet\nAnna,rövid\nBéla," + QByteArray(3000, 'x') + "\nCili,rövid\n");
        MergeDialog dialog(nullptr, {textQr(QStringLiteral("{Jegyzet}"))}, list);
        dialog.button(PrintDialog::Action::Print)->click();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(fake.count("error"), 1);
        QVERIFY(fake.of("error")[0].text.startsWith(QStringLiteral("A(z) 2. személy")));
        QCOMPARE(dialog.records()->currentIndex().row(), 1);
        QAbstractItemModel* model = dialog.records()->model();
        model->setData(model->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
        dialog.button(PrintDialog::Action::Pdf)->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.choice().records, (std::vector<long long>{0, 2}));
    }

    // The people whose texts are drawn smaller, and apart from them those
    // whose texts fit at no size, are named by their rows and tinted in
    // the list; unticking one takes them off; the card shown is the
    // person's fitted card.
    void peopleWhoseTextsDoNotFitAreNamed()
    {
        LayerItem name = textLayer(QStringLiteral("{Név}"));
        name.box.moveLeft(150);
        MergeDialog dialog(nullptr, {name});
        dialog.openData(written(mDir.filePath("nevek.csv"),
                                QStringLiteral("Név\nŐ Ödön\nDr. Szentgyörgyi-Nagy Erzsébet\nKis Anna\n"
                                               "Nemzetközi kapcsolatokért és fenntartható fejlődésért felelős "
                                               "igazgatóhelyettes asszony\n")
                                    .toUtf8()));
        QCOMPARE(dialog.fitLabel()->text(),
                 QStringLiteral("Kisebb betűvel nyomtatódik, hogy elférjen: 2. személy szövege.\n"
                                "6 pontos betűvel sem fér el: 4. személy szövege."));
        QAbstractItemModel* model = dialog.records()->model();
        QVERIFY(!model->data(model->index(0, 0), Qt::BackgroundRole).isValid());
        QVERIFY(model->data(model->index(1, 0), Qt::BackgroundRole).isValid());
        QVERIFY(model->data(model->index(1, 0), Qt::BackgroundRole) != model->data(model->index(3, 0), Qt::BackgroundRole));

        dialog.records()->selectRow(1);
        QVERIFY(dialog.shownCard()[0].text.points < name.text.points);
        QVERIFY(dialog.shownCard()[0].box.right() < 340 - TextMargin);

        model->setData(model->index(3, 0), Qt::Unchecked, Qt::CheckStateRole);
        QCOMPARE(dialog.fitLabel()->text(),
                 QStringLiteral("Kisebb betűvel nyomtatódik, hogy elférjen: 2. személy szövege."));
        model->setData(model->index(1, 0), Qt::Unchecked, Qt::CheckStateRole);
        QCOMPARE(dialog.fitLabel()->text(), QString());
    }
};

REGISTER_TEST(MergeDialogTest)

#include "MergeDialogTest.moc"
