#include "layer/Win1250Text.h"
#include "merge/DataFile.h"
#include "tests/TestRegistry.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Every record of a data file.
QList<QStringList> recordsOf(const QString& path, QStringList* columns = nullptr)
{
    const std::unique_ptr<RecordReader> reader = openRecords(path);
    if (columns)
        *columns = reader->columns();
    QList<QStringList> records;
    QStringList values;
    while (reader->next(values))
        records << values;
    return records;
}

} // namespace

class DataFileTest : public QObject
{
    Q_OBJECT

    QTemporaryDir mDir;

    QString written(const QString& name, const QByteArray& bytes)
    {
        const QString path = mDir.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
        return path;
    }

private slots:
    // The same table as a spreadsheet saves it in each encoding and with
    // each separator reads the same: the separator from the header line,
    // the encoding from the bytes, a byte order mark dropped.
    void encodingsAndSeparators_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString table = QStringLiteral("Név{s}Cég{s}Város\r\nŐri Ödön{s}Tűzép Kft.{s}Győr\r\n"
                                             "Kiss Éva{s}Árvíztűrő Bt.{s}Pécs\r\n");
        const auto with = [&](QChar separator) { return QString(table).replace(QStringLiteral("{s}"), separator); };
        QTest::newRow("UTF-8, comma") << with(u',').toUtf8();
        QTest::newRow("UTF-8 with BOM, semicolon") << QByteArray("\xEF\xBB\xBF") + with(u';').toUtf8();
        QTest::newRow("Windows-1250, semicolon") << QByteArray::fromStdString(toWin1250(with(u';')));
        QTest::newRow("Windows-1250, tab") << QByteArray::fromStdString(toWin1250(with(u'\t')));
        QTest::newRow("UTF-8, tab, LF only") << with(u'\t').replace(QStringLiteral("\r\n"), QStringLiteral("\n")).toUtf8();
    }
    void encodingsAndSeparators()
    {
        QFETCH(QByteArray, bytes);
        QStringList columns;
        const QList<QStringList> records = recordsOf(written("lista.csv", bytes), &columns);
        QCOMPARE(columns, QStringList({"Név", "Cég", "Város"}));
        QCOMPARE(records, QList<QStringList>({{"Őri Ödön", "Tűzép Kft.", "Győr"}, {"Kiss Éva", "Árvíztűrő Bt.", "Pécs"}}));
    }

    // Quoted values keep separators, doubled quotes and line breaks; a
    // short row gets empty values, a long one is cut to the header, and
    // blank lines are no people. A header whose own names are quoted
    // still gives the separator.
    void quotesAndRaggedRows()
    {
        const QString path = written("idezett.csv",
                                     "\"Név\";\"Cím; hivatalos\";Megjegyzés\n"
                                     "\"Kovács \"\"Kocka\"\" Béla\";\"Fő u. 1.\r\nII. em.\";ok\n"
                                     "\n"
                                     "Csak név\n"
                                     "a;b;c;d\n"
                                     "\"utolsó\";;\"\"");
        QStringList columns;
        const QList<QStringList> records = recordsOf(path, &columns);
        QCOMPARE(columns, QStringList({"Név", "Cím; hivatalos", "Megjegyzés"}));
        QCOMPARE(records.size(), 4);
        QCOMPARE(records[0], QStringList({"Kovács \"Kocka\" Béla", "Fő u. 1.\r\nII. em.", "ok"}));
        QCOMPARE(records[1], QStringList({"Csak név", "", ""}));
        QCOMPARE(records[2], QStringList({"a", "b", "c"}));
        QCOMPARE(records[3], QStringList({"utolsó", "", ""}));
        QCOMPARE(countRecords(path), 4);
    }

    // A multibyte character cut by the reader's chunk still decides for
    // UTF-8, and a Windows-1250 byte after a megabyte still decides
    // against it.
    void encodingFoundOverTheWholeFile()
    {
        QByteArray utf8 = "Név\n";
        while (utf8.size() < 200 * 1024)
            utf8 += QStringLiteral("ő\n").toUtf8();
        QList<QStringList> records = recordsOf(written("hosszu.csv", utf8));
        QVERIFY(std::all_of(records.begin(), records.end(), [](const QStringList& r) { return r == QStringList{"ő"}; }));

        QByteArray win = QByteArray(1024 * 1024, 'a');
        win.prepend("Név\n");
        win += "\n" + QByteArray::fromStdString(toWin1250(QStringLiteral("Győző"))) + "\n";
        records = recordsOf(written("vegen.csv", win));
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.last(), QStringList{"Győző"});
    }

    // Contacts as phones and mail programs export them: version 2.1 with
    // quoted-printable UTF-8 and soft breaks, 3.0 with item groups and
    // folded lines, 4.0 with tel: addresses and quoted types.
    void vCardFromAPhone()
    {
        QStringList columns;
        const QList<QStringList> records = recordsOf(QStringLiteral(TEST_DATA_DIR "/telefon.vcf"), &columns);
        QCOMPARE(columns, vCardColumns());
        QCOMPARE(records.size(), 3);
        QCOMPARE(records[0], QStringList({"Szabó", "Ágnes", "Szabó Ágnes", "Alma Bt.", "", "+3612223333",
                                          "+36301112222", "agnes@pelda.hu", "", "1056 Budapest, Váci út 5., Magyarország"}));
        QCOMPARE(records[1], QStringList({"Nagy", "Béla", "Nagy Béla", "Körte Kft.", "területi, vezető", "",
                                          "+36 20 555 6666", "bela@korte.hu", "https://korte.hu", ""}));
        QCOMPARE(records[2], QStringList({"Kis", "Cili", "Kis Cili", "", "", "+36-1-999-0000", "+36-70-777-8888",
                                          "cili@pelda.hu", "", ""}));
    }

    // What is no list of people is refused, with the file's name, before
    // anything is drawn.
    void filesThatAreNeither()
    {
        const QStringList paths = {
            written("ures.csv", ""),
            written("csak-sorvegek.csv", "\r\n\r\n"),
            written("kep.csv", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)),
            written("nem-vcard.vcf", "Név;Cég\nA;B\n"),
            mDir.filePath("nincs-ilyen.csv"),
            mDir.path(),
        };
        for (const QString& path : paths) {
            try {
                openRecords(path);
                QFAIL(qPrintable("opened " + path));
            } catch (const MergeError& error) {
                QVERIFY2(QString::fromUtf8(error.what()).contains(QFileInfo(path).fileName()), error.what());
            }
        }
    }
};

REGISTER_TEST(DataFileTest)

#include "DataFileTest.moc"
