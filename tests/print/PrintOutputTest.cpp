#include "layer/LayerFields.h"
#include "layer/LayerRecord.h"
#include "print/PrintJob.h"
#include "print/PrintOutput.h"
#include "print/rptLapora.h"
#include "tests/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Stops the job after so many pages.
class StopAfter : public Progress
{
public:
    explicit StopAfter(int pages) : mPages(pages) {}
    bool pageDone(int page, int) override { return page + 1 < mPages; }

private:
    int mPages;
};

LayerTable cardTable()
{
    LayerTable table = makeLayerTable();
    table.OpenTable();
    const std::pair<int, std::string> layers[] = {{2, "Kov\xE1" "cs \xC9va"}, {1, "titk\xE1r"}};
    for (const auto& [number, text] : layers) {
        table.AddNewRecord();
        table.WriteField(Field::sorszam, number);
        table.WriteField(Field::tipus, 0);
        table.WriteField(Field::nev, text);
        table.WriteField(Field::left, 20 * number);
        table.WriteField(Field::betutipus, std::string("DejaVu Sans"));
        table.PostRecord();
    }
    return table;
}

// The fields and the stored records of a table, as a card document's
// snapshot holds them.
std::unique_ptr<TqrLapora> reportOf(const LayerTable& table)
{
    std::vector<std::vector<FieldValue>> records;
    for (int row = 0; row < table.StoredCount(); ++row)
        records.push_back(table.StoredRecord(row));
    return cardReport(table.Fields(), std::move(records));
}

PrintJob copiesOf(int copies)
{
    PrintJob job = jobOf(*reportOf(cardTable()));
    job.copies = copies;
    return job;
}

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace

class PrintOutputTest : public QObject
{
    Q_OBJECT

private slots:
    // The report made from a card's records in memory is the report of its
    // file: the same layers in the table's order, nothing of an edit still
    // pending.
    void aCardInMemoryPrintsAsItsFile()
    {
        QTemporaryDir dir;
        LayerTable table = cardTable();
        table.SaveFile(dir.filePath("card.bcrd").toStdString());
        table.MoveFirst();
        table.EditRecord();
        table.WriteField(Field::nev, std::string("f\xFCgg\xF5" "ben"));
        const auto inMemory = reportOf(table);
        const auto fromFile = loadCardReport(dir.filePath("card.bcrd"));
        QCOMPARE(inMemory->Printables.size(), size_t(2));
        QCOMPARE(inMemory->Printables[0].text.text, QStringLiteral("Kovács Éva"));
        QCOMPARE(pagePicture(jobOf(*inMemory), 0, 40), pagePicture(jobOf(*fromFile), 0, 40));
        QCOMPARE(table.State(), TableState::Edit);
    }

    // Three pages as three pictures, each the page as drawn; stopped after
    // the second, or failing at the third, the job leaves every file as it
    // was and nothing of its own.
    void pngPagesAreWrittenAllOrNone()
    {
        QTemporaryDir dir;
        const PrintJob job = copiesOf(25);
        const std::string path = dir.filePath("lap.png").toStdString();
        const std::vector<std::string> names = pngPageNames(path, pageCount(job));
        QCOMPARE(names.size(), size_t(3));
        QCOMPARE(QString::fromStdString(names[2]), dir.filePath("lap-3.png"));
        QCOMPARE(QString::fromStdString(pngPageNames(dir.filePath("egy.PNG").toStdString(), 1).front()),
                 dir.filePath("egy.PNG"));

        QVERIFY(writeSheetPngs(job, path, 20));
        for (int page = 0; page < 3; ++page)
            QCOMPARE(QImage(QString::fromStdString(names[page])).convertToFormat(QImage::Format_RGB32),
                     pagePicture(job, page, 20));

        const QByteArray older = "az előző oldal";
        writeBytes(dir.filePath("lap-1.png"), older);
        const QByteArray second = bytesOf(dir.filePath("lap-2.png"));
        StopAfter two(2);
        QVERIFY(!writeSheetPngs(job, path, 20, two));
        QFile::remove(dir.filePath("lap-3.png"));
        QDir().mkdir(dir.filePath("lap-3.png"));
        QVERIFY_THROWS_EXCEPTION(PrintError, writeSheetPngs(job, path, 20));
        QCOMPARE(bytesOf(dir.filePath("lap-1.png")), older);
        QCOMPARE(bytesOf(dir.filePath("lap-2.png")), second);
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({"lap-1.png", "lap-2.png", "lap-3.png"}));
    }

    // A PDF stopped half-way leaves the file as it was.
    void stoppedPdfLeavesTheFileAsItWas()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath("lapok.pdf");
        writeBytes(pdf, "előző");
        StopAfter one(1);
        QVERIFY(!writeSheetPdf(copiesOf(25), pdf.toStdString(), one));
        QCOMPARE(bytesOf(pdf), QByteArray("előző"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"lapok.pdf"}));
        QVERIFY(writeSheetPdf(copiesOf(25), pdf.toStdString()));
        QCOMPARE(bytesOf(pdf).count("/Type /Page\n"), 3);
    }
};

REGISTER_TEST(PrintOutputTest)

#include "PrintOutputTest.moc"
