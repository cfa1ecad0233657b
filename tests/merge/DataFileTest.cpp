#include "layer/Win1250Text.h"
#include "merge/DataFile.h"
#include "tests/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

constexpr int VCardColumnName = 2;  // Név

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
        DataFormat format;
        QCOMPARE(countRecords(path, format), 4);
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

        QByteArray win = "Név\n";
        for (int i = 0; i < 1100; ++i)
            win += QByteArray(1000, 'a') + "\n";
        win += QByteArray::fromStdString(toWin1250(QStringLiteral("Győző"))) + "\n";
        records = recordsOf(written("vegen.csv", win));
        QCOMPARE(records.size(), 1101);
        QCOMPARE(records.last(), QStringList{"Győző"});
    }

    // One reading counts the records and tells the encoding, and agrees
    // with the reading that prints them where the two encodings could part:
    // a byte order mark before a Windows-1250 file (its first column is
    // still "Név"), a file whose last UTF-8 character is cut short (read as
    // Windows-1250, keeping its last byte and person), a line of UTF-8
    // non-breaking spaces before the header, a "begın" that is no BEGIN.
    void countingAgreesWithReading_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("utf8");
        QTest::addColumn<QString>("header");
        QTest::addColumn<int>("people");
        QTest::addColumn<QString>("last");
        QTest::newRow("Windows-1250 after a BOM")
            << QStringLiteral("bom.csv")
            << QByteArray("\xEF\xBB\xBF") + QByteArray::fromStdString(toWin1250(QStringLiteral("Név\nŐri\nÉva\n")))
            << false << QStringLiteral("Név") << 2 << QStringLiteral("Éva");
        QTest::newRow("cut short") << QStringLiteral("vege.csv") << QByteArray("Nev\r\"x\"\r\xC3") << false
                                   << QStringLiteral("Nev") << 2 << QStringLiteral("Ă");
        QTest::newRow("begın") << QStringLiteral("nevjegy.vcf")
                               << QStringLiteral("BEGIN:VCARD\nFN:Őri\nEND:VCARD\nbegın:VCARD\nFN:Éva\nEND:VCARD\n").toUtf8()
                               << true << vCardColumns().front() << 1 << QStringLiteral("Őri");
    }
    void countingAgreesWithReading()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, utf8);
        QFETCH(QString, header);
        QFETCH(int, people);
        QFETCH(QString, last);
        const QString path = written(name, bytes);
        QStringList columns;
        const QList<QStringList> records = recordsOf(path, &columns);
        DataFormat format;
        QCOMPARE(countRecords(path, format), people);
        QCOMPARE(format.utf8, utf8);
        QCOMPARE(format.vCard, name.endsWith(QLatin1String(".vcf")));
        QCOMPARE(columns.front(), header);
        QCOMPARE(records.size(), people);
        QCOMPARE(records.last().value(format.vCard ? VCardColumnName : 0), last);
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

    // Quoted-printable values are bytes read in their CHARSET, UTF-8 or
    // Windows-1250, letters written out as they are included: ő, ű, Ő and
    // Ű come out right in both, never as Latin-1 would show them. A space
    // that starts the line after a soft break is the value's own. Without
    // a CHARSET, or with one of another name, valid UTF-8 is UTF-8 and
    // anything else Windows-1250.
    void quotedPrintableByCharset()
    {
        QList<QStringList> records = recordsOf(QStringLiteral(TEST_DATA_DIR "/qp-utf8.vcf"));
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0], QStringList({"Tűzkő", "Őrs Űrsula", "Tűzkő Őrs Űrsula", "Lapora Kft.", "ügyvezető", "",
                                          "+36 30 123 4567", "", "", "9021 Győr, Fő utca 1., Magyarország"}));
        QCOMPARE(records[1], QStringList({"Kis", "Cili", "Kis Cili", "", "", "", "", "cili@pelda.hu", "", ""}));

        records = recordsOf(QStringLiteral(TEST_DATA_DIR "/qp-1250.vcf"));
        QCOMPARE(records.size(), 2);
        QCOMPARE(records[0], QStringList({"Tűzkő", "Őrs Űrsula", "Tűzkő Őrs Űrsula", "", "ügyvezető", "+36 1 234 5678",
                                          "", "", "", ""}));
        QCOMPARE(records[1], QStringList({"Lőrinc", "Űrős", "Lőrinc Űrős", "", "", "", "", "", "", ""}));
    }

    // Inputs that once broke a reader are read or refused with the file's
    // name.
    void fuzzFindingsReadOrAreRefused()
    {
        const QDir dir(QStringLiteral(TEST_DATA_DIR "/crashes"));
        for (const QString& name : dir.entryList(QDir::Files)) {
            const QString path = dir.filePath(name);
            DataFormat format;
            std::string refusal;
            long long people = 0;
            try {
                people = recordsOf(path).size();
                openRecords(path, format);
            } catch (const MergeError& error) {
                QVERIFY2(QString::fromUtf8(error.what()).contains(name), error.what());
                refusal = error.what();
            }
            // Counting, which prints no one, finds what reading finds.
            try {
                DataFormat counted;
                QCOMPARE(countRecords(path, counted), people);
                QVERIFY2(refusal.empty(), qPrintable(name));
                QCOMPARE(counted.utf8, format.utf8);
            } catch (const MergeError& error) {
                QCOMPARE(std::string(error.what()), refusal);
            }
        }
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

    // A broken file is refused at the line where the fault starts, as soon
    // as a value or a record passes its bound, so reading never holds more
    // than one bounded record. Counted in the file's bytes: 32,768 "ő" of
    // UTF-8 are 64 KB, one more is too much.
    void hostileCsvIsRefusedWithItsLine_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        const QString at = QStringLiteral("A(z) „rossz.csv” adatfájl %1. sorában ");
        const QByteArray head = "Név;Cég\r\n\"Anna\r\nAnna\";Alma\r\n";  // a quoted line break
        QTest::newRow("unclosed quote")
            << head + "Béla;\"Körte\r\nCili;Szilva\r\n" << at.arg(4) + "kezdődő idézőjel nincs lezárva.";
        QTest::newRow("unclosed quote, 64 KB on")
            << head + "Béla;\"Körte\n" + QByteArray(70'000, 'x') << at.arg(4) + "kezdődő idézőjeles érték hosszabb "
                                                                             "64 KB-nál: talán nincs lezárva az idézőjele.";
        QTest::newRow("long value, CR line ends")
            << "Név\rAnna\r\r" + QByteArray(65'537, 'x') << at.arg(4) + "egy érték hosszabb 64 KB-nál.";
        QTest::newRow("long UTF-8 value")
            << "Név\n" + QStringLiteral("ő").repeated(32'769).toUtf8() << at.arg(2) + "egy érték hosszabb 64 KB-nál.";
        QByteArray wide = "Név;Cég\n";
        for (int i = 0; i < 17; ++i)
            wide += QByteArray(64'000, 'x') + ';';
        QTest::newRow("long record") << wide << at.arg(2) + "kezdődő adatsor hosszabb 1 MB-nál.";
        QTest::newRow("1001 columns") << "Név;Cég\n" + QByteArray(1000, ';') << at.arg(2) + "több mint 1000 oszlop van.";
        QTest::newRow("header: unclosed quote") << QByteArray("\n\n\"Név;Cég\nAnna;Alma\n")
                                                << at.arg(3) + "kezdődő idézőjel nincs lezárva.";
        QTest::newRow("header: 1001 columns") << QByteArray(1000, ';') + "\nAnna\n"
                                              << at.arg(1) + "több mint 1000 oszlop van.";
        QTest::newRow("header: one long line")
            << QByteArray(2'000'000, 'x') << at.arg(1) + "kezdődő fejléc hosszabb 1 MB-nál.";
    }
    void hostileCsvIsRefusedWithItsLine()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        const QString path = written("rossz.csv", bytes);
        try {
            recordsOf(path);
            QFAIL("read");
        } catch (const MergeError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), message);
        }
    }

    // Right at the bounds a file still reads: a value of 64 KB, a thousand
    // columns.
    void csvAtItsBoundsReads()
    {
        const QByteArray value = QStringLiteral("ő").repeated(32'768).toUtf8();
        QList<QStringList> records = recordsOf(written("hatar.csv", "Név;Cég\n\"" + value + "\";x\n"));
        QCOMPARE(records, QList<QStringList>({{QString::fromUtf8(value), "x"}}));
        QStringList columns;
        records = recordsOf(written("ezer.csv", QByteArray(999, ';') + "\n" + QByteArray(999, ';') + "x\n"), &columns);
        QCOMPARE(columns.size(), 1000);
        QCOMPARE(records.first().last(), QString("x"));
    }

    // A folder, a pipe and a device are named for what they are, and a
    // pipe nobody writes to does not hang the reader.
    void notARegularFile()
    {
        const QString fifo = mDir.filePath("cso.csv");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        const QList<std::pair<QString, QString>> cases = {
            {mDir.path(), "ez egy mappa, nem fájl"},
            {fifo, "nem közönséges fájl, hanem cső, eszköz vagy foglalat, amelyből nem olvasható táblázat"},
            {"/dev/zero", "nem közönséges fájl, hanem cső, eszköz vagy foglalat, amelyből nem olvasható táblázat"},
            {mDir.filePath("nincs.csv"), "nincs ilyen fájl"}};
        for (const auto& [path, reason] : cases) {
            try {
                openRecords(path);
                QFAIL(qPrintable("opened " + path));
            } catch (const MergeError& error) {
                QCOMPARE(QString::fromUtf8(error.what()), "A(z) „" + QFileInfo(path).fileName()
                                                              + "” adatfájl nem nyitható meg: " + reason + ".");
            }
        }
    }

    // A phone's photo, however long, is passed over and the contact read,
    // and so is a long quoted-printable note, along its soft breaks: none
    // of its lines is taken for a property, nor for the card's end. A name
    // of over 64 KB, or a last card the file never ends, is refused at the
    // line it starts on.
    void hostileVCard()
    {
        QByteArray photo = "BEGIN:VCARD\r\nVERSION:3.0\r\nPHOTO;ENCODING=b;TYPE=JPEG:";
        for (int i = 0; i < 30'000; ++i)
            photo += QByteArray(74, 'A') + "\r\n ";
        photo += "AA\r\nFN:Kovács Zsófia\r\nEND:VCARD\r\n";
        const QList<QStringList> records = recordsOf(written("foto.vcf", photo));
        QCOMPARE(records.size(), 1);
        QCOMPARE(records[0][VCardColumnName], QString("Kovács Zsófia"));

        const QByteArray note = "BEGIN:VCARD\r\nVERSION:2.1\r\nNOTE;ENCODING=QUOTED-PRINTABLE:" + QByteArray(70'000, 'a')
            + "=\r\nTEL:+36 99 999 9999=\r\nEND:VCARD=\r\n v=C3=A9ge\r\nFN:Anna\r\nEND:VCARD\r\n";
        QCOMPARE(recordsOf(written("jegyzet.vcf", note)),
                 QList<QStringList>({{"", "", "Anna", "", "", "", "", "", "", ""}}));

        const QList<std::pair<QByteArray, QString>> cases = {
            {"BEGIN:VCARD\nFN:Anna\nEND:VCARD\nBEGIN:VCARD\nN:Kis;Cili\nFN:Kis\n " + QByteArray(70'000, 'i') + "\nEND:VCARD\n",
             "A(z) „rossz.vcf” adatfájl 6. sorában kezdődő sor a folytatásaival együtt hosszabb 64 KB-nál."},
            {"BEGIN:VCARD\nFN:Anna\nEND:VCARD\n\nBEGIN:VCARD\nFN:Béla\n",
             "A(z) „rossz.vcf” adatfájl 5. sorában kezdődő névjegynek nincs vége (hiányzik az END:VCARD sor)."}};
        for (const auto& [bytes, message] : cases) {
            try {
                recordsOf(written("rossz.vcf", bytes));
                QFAIL("read");
            } catch (const MergeError& error) {
                QCOMPARE(QString::fromUtf8(error.what()), message);
            }
        }
    }
};

REGISTER_TEST(DataFileTest)

#include "DataFileTest.moc"
