#include "layer/Win1250Text.h"
#include "merge/DataFile.h"
#include "merge/MergedCards.h"
#include "merge/QrCode.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/SheetLayout.h"
#include "tests/TestRegistry.h"
#include "tests/merge/MergeLayers.h"
#include "tests/merge/QrDecode.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The list as a spreadsheet program saves it: semicolons, Windows-1250.
QString teamFile(const QString& path, int people)
{
    QString text = QStringLiteral("Vezetéknév;Keresztnév;Beosztás;Telefon\r\n");
    for (int i = 1; i <= people; ++i)
        text += QStringLiteral("Őz%1;Győző;\"vezető; %1. részleg\";+36 30 %2\r\n").arg(i).arg(1000000 + i);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(QByteArray::fromStdString(toWin1250(text)));
    return path;
}

QrContents personsContact(int i)
{
    QrContents contents;
    contents.contact[Contact::Family] = QStringLiteral("Őz%1").arg(i);
    contents.contact[Contact::Given] = QStringLiteral("Győző");
    contents.contact[Contact::Title] = QStringLiteral("vezető; %1. részleg").arg(i);
    contents.contact[Contact::Tel] = QStringLiteral("+36 30 %1").arg(1000000 + i);
    contents.contact[Contact::Org] = QStringLiteral("Tűzép Kft.");
    return contents;
}

} // namespace

class MergedPdfTest : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;

private slots:
    // A team's cards as a PDF, from position 5 on: each position's code
    // read from the printed page is its own person's contact, in the order
    // of the list, and the text layers hold their values.
    void eachPersonsCodeReadsFromThePdf()
    {
        QrContents contents;
        contents.contact[Contact::Family] = QStringLiteral("{Vezetéknév}");
        contents.contact[Contact::Given] = QStringLiteral("{Keresztnév}");
        contents.contact[Contact::Title] = QStringLiteral("{Beosztás}");
        contents.contact[Contact::Tel] = QStringLiteral("{Telefon}");
        contents.contact[Contact::Org] = QStringLiteral("Tűzép Kft.");
        const MergeTemplate front({textLayer(QStringLiteral("{Vezetéknév} {Keresztnév}"), 10),
                                   textLayer(QStringLiteral("{Beosztás}"), 40), qrLayer(contents)});
        const int people = 12;
        auto cards = std::make_shared<MergedCards>(teamFile(mDir.filePath("csapat.csv"), people), front,
                                                   std::nullopt, 1);
        QCOMPARE(cards->people(), people);
        QVERIFY(cards->unknownPlaceholders().isEmpty());
        PrintJob job;
        mergeInto(job, cards);
        job.start = 5;
        QCOMPARE(pageCount(job), 2);
        const QString pdf = mDir.filePath("csapat.pdf");
        QVERIFY(writeSheetPdf(job, pdf.toStdString()));

        QProcess text;
        text.start("pdftotext", {"-raw", "-enc", "UTF-8", pdf, "-"});
        QVERIFY(text.waitForFinished(30000));
        const QString words = QString::fromUtf8(text.readAllStandardOutput());
        for (int i = 1; i <= people; ++i)
            QVERIFY2(words.contains(QStringLiteral("Őz%1 Győző\nvezető; %1. részleg").arg(i)), qPrintable(words));

        const int dpi = 300;
        QProcess raster;
        raster.start("pdftoppm", {"-r", QString::number(dpi), "-gray", "-png", pdf, mDir.filePath("lap")});
        QVERIFY(raster.waitForFinished(60000));
        const QImage pages[2] = {QImage(mDir.filePath("lap-1.png")), QImage(mDir.filePath("lap-2.png"))};
        QVERIFY(!pages[0].isNull() && !pages[1].isNull());
        for (int i = 1; i <= people; ++i) {
            const int slot = 4 + i - 1;
            const QPointF origin = sheet::copyOrigin(slot % sheet::Copies + 1);
            const QRectF card(origin * dpi / 25.4, sheet::CardBand * dpi / 25.4);
            const QImage cut = pages[slot / sheet::Copies].copy(card.toAlignedRect());
            QCOMPARE(QString::fromUtf8(decodeQr(cut)), QString::fromUtf8(qrPayload(personsContact(i))));
        }
    }

    // Copies of each person side by side, the list read once in order
    // however many pages; asking for an earlier card reads it again; the
    // ticked people only; a person whose code cannot be made is named.
    void copiesAndChosenPeople()
    {
        const MergeTemplate front({textLayer(QStringLiteral("{Vezetéknév}"), 10)});
        const QString path = teamFile(mDir.filePath("tiz.csv"), 10);
        MergedCards cards(path, front, MergeTemplate({textLayer(QStringLiteral("hát {vezetéknév}"), 10)}), 3,
                          {1, 4, 9});
        QCOMPARE(cards.copies(), 9);
        QCOMPARE(cards.card(0, false)[0].text.text, QStringLiteral("Őz2"));
        QCOMPARE(cards.card(2, true)[0].text.text, QStringLiteral("hát Őz2"));
        QCOMPARE(cards.card(3, false)[0].text.text, QStringLiteral("Őz5"));
        QCOMPARE(cards.card(8, false)[0].text.text, QStringLiteral("Őz10"));
        QCOMPARE(cards.card(1, false)[0].text.text, QStringLiteral("Őz2"));

        QrContents contents;
        contents.isContact = false;
        contents.text = QStringLiteral("{Beosztás}");
        contents.level = 'H';
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        file.write(QByteArray::fromStdString(toWin1250(QStringLiteral("Hosszú;Név;%1;0\r\n").arg(QString(3000, u'x')))));
        file.close();
        MergedCards tooLong(path, MergeTemplate({qrLayer(contents)}), std::nullopt, 1);
        QCOMPARE(tooLong.people(), 11);
        tooLong.card(9, false);
        try {
            tooLong.card(10, false);
            QFAIL("a code of 3000 bytes at H was made");
        } catch (const MergeError& error) {
            QVERIFY2(QString::fromUtf8(error.what()).startsWith(QStringLiteral("A(z) 11. személy")), error.what());
        }
        QVERIFY_THROWS_EXCEPTION(MergeError, MergedCards(mDir.filePath("nincs.csv"), front, std::nullopt, 1));
    }

    // The people a job prints are those read when it began: the merge
    // dialog's reading is printed as it was read, and a back page finds
    // the people its front page had, however the file changes meanwhile.
    void peopleStayAsRead()
    {
        const QString path = teamFile(mDir.filePath("valtozo.csv"), 12);
        const std::shared_ptr<const RecordList> read = readRecordList(path);
        QCOMPARE(read->rows.size(), size_t(12));
        const MergeTemplate front({textLayer(QStringLiteral("{Vezetéknév}"), 10)});
        const MergeTemplate back({textLayer(QStringLiteral("hát {Vezetéknév}"), 10)});
        MergedCards dialogs(read, front, back, 1, {0, 11});
        MergedCards streamed(path, front, back, 1);
        QCOMPARE(streamed.copies(), 12);
        for (int copy = 0; copy < 10; ++copy)
            QCOMPARE(streamed.card(copy, false)[0].text.text, QStringLiteral("Őz%1").arg(copy + 1));

        teamFile(path, 3);
        QCOMPARE(dialogs.copies(), 2);
        QCOMPARE(dialogs.card(1, false)[0].text.text, QStringLiteral("Őz12"));
        QCOMPARE(dialogs.card(0, true)[0].text.text, QStringLiteral("hát Őz1"));
        for (int copy = 0; copy < 10; ++copy)
            QCOMPARE(streamed.card(copy, true)[0].text.text, QStringLiteral("hát Őz%1").arg(copy + 1));
    }
};

REGISTER_TEST(MergedPdfTest)

#include "MergedPdfTest.moc"
