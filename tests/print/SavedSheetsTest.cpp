#include "layer/Win1250Text.h"
#include "print/IniFile.h"
#include "print/SavedSheets.h"
#include "print/SettingsFile.h"
#include "tests/TestRegistry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text as the settings file holds it, in Windows-1250.
void writeText(const QString& path, const QString& text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    const std::string bytes = toWin1250(text);
    file.write(bytes.data(), qint64(bytes.size()));
}

// A stock of 3 × 8 on Letter, its cards smaller than the pitch.
SheetLayout ownSheet()
{
    SheetLayout layout;
    layout.name = QStringLiteral("Saját 3×8");
    layout.paper = sheet::PaperSize::Letter;
    layout.columns = 2;
    layout.rows = 4;
    layout.first = {12.7, 15.25};
    layout.pitch = {95.25, 63.5};
    layout.card = {88.9, 50.8};
    layout.marks = true;
    return layout;
}

} // namespace

// The layouts saved in the settings file, and the sections they need of it.
class SavedSheetsTest : public QObject
{
    Q_OBJECT

private slots:
    // Saved in whole hundredths of a millimetre and read back equal; the
    // section of one layout changes, the others stay.
    void layoutRoundTrip()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("Lapora2.ini");
        writeText(path, "[Screen]\nZoom=100\n");
        const IniFile ini(path);
        saveSheet(ini, ownSheet());
        QCOMPARE(bytesOf(path), QByteArray("[Screen]\nZoom=100\n[Sheet:Saj\xE1t 3\xD7" "8]\nPaper=Letter\nColumns=2\n"
                                           "Rows=4\nLeft=1270\nTop=1525\nDX=9525\nDY=6350\nW=8890\nH=5080\n"
                                           "Marks=1\n"));
        QCOMPARE(savedSheetNames(ini), QStringList({"Saját 3×8"}));
        QCOMPARE(savedSheet(ini, "Saját 3×8"), ownSheet());
        QCOMPARE(sheetNamed("saját 3×8", ini).name, QString("Saját 3×8"));
        QCOMPARE(sheetNamed("rayfilm viz1", ini), sheetNamed("Rayfilm VIZ1"));

        SheetLayout changed = ownSheet();
        changed.rows = 3;
        changed.marks = false;
        saveSheet(ini, changed);
        QCOMPARE(savedSheet(ini, "Saját 3×8"), changed);
        QCOMPARE(savedSheets(ini).size(), std::size_t(1));
        removeSavedSheet(ini, "Saját 3×8");
        QCOMPARE(bytesOf(path), QByteArray("[Screen]\nZoom=100\n"));
    }

    // A built-in's name, no name and a layout that cannot be printed are
    // refused, and nothing is written.
    void saveRefuses()
    {
        QTemporaryDir dir;
        const IniFile ini(dir.filePath("a.ini"));
        SheetLayout layout = ownSheet();
        const std::pair<QString, QString> names[] = {
            {" avery l7414 ", "beépített"}, {"  ", "nevet"}, {"A]B", "zárójel"}};
        for (const auto& [name, message] : names) {
            layout.name = name;
            try {
                saveSheet(ini, layout);
                QFAIL(qPrintable(name));
            } catch (const SheetError& error) {
                QVERIFY2(QString::fromUtf8(error.what()).contains(message), error.what());
            }
        }
        layout = ownSheet();
        layout.pitch.setY(50);
        QVERIFY_THROWS_EXCEPTION(SheetError, saveSheet(ini, layout));
        QVERIFY(!QFile::exists(ini.fileName()));
    }

    // A section edited by hand into a layout that cannot be printed is named
    // in one line; the list of the print dialog leaves it out, and the
    // stock card left out is the pitch.
    void brokenSectionsAreNamed()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("a.ini");
        writeText(path, "[Sheet:Jó]\nPaper=a4\nColumns=2\nRows=5\nLeft=1500\nTop=1350\nDX=9000\nDY=5500\n"
                         "[Sheet:Papír]\nPaper=A5\nColumns=2\nRows=5\nLeft=0\nTop=0\nDX=9000\nDY=5000\n"
                         "[Sheet:Sor]\nPaper=A4\nColumns=2\nRows=öt\nLeft=0\nTop=0\nDX=9000\nDY=5000\n"
                         "[Sheet:Átfed]\nPaper=A4\nColumns=2\nRows=5\nLeft=0\nTop=0\nDX=8000\nDY=5000\nW=9000\n"
                         "H=5000\n[Sheet:avery l7414]\nPaper=A4\nColumns=1\nRows=1\nLeft=0\nTop=0\nDX=9000\nDY=5000\n");
        const IniFile ini(path);
        const SheetLayout good = savedSheet(ini, "Jó");
        QCOMPARE(good.card, QSizeF(90, 55));
        QVERIFY(!good.marks);
        const std::pair<QString, QString> broken[] = {
            {"Papír", "[Sheet:Papír]: a Paper értéke A4 vagy Letter lehet, nem „A5”"},
            {"Sor", "[Sheet:Sor]: a(z) Rows kulcs hiányzik, vagy nem egész szám"},
            {"Átfed", "[Sheet:Átfed]: a vízszintes lépés (80 mm) kisebb"},
            {"Nincs", "nincs ilyen lap: Nincs"}};
        for (const auto& [name, message] : broken) {
            try {
                sheetNamed(name, ini);
                QFAIL(qPrintable(name));
            } catch (const SheetError& error) {
                const QString what = QString::fromUtf8(error.what());
                QVERIFY2(what.contains(message) && !what.contains('\n'), error.what());
            }
        }
        QCOMPARE(savedSheets(ini), std::vector<SheetLayout>({good}));
        QCOMPARE(savedSheetNames(ini), QStringList({"Jó", "Papír", "Sor", "Átfed"}));
        QCOMPARE(sheetNamed("Avery L7414", ini), sheetNamed("Avery L7414"));
    }

    // The designer's own folder wins over the data location, as the
    // designer finds its settings.
    void settingsFileIsTheDesigners()
    {
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("bin"));
        QCOMPARE(settingsFileName(dir.filePath("bin/"), dir.filePath("share")),
                 dir.filePath("share/Lapora2/Lapora2.ini"));
        QCOMPARE(settingsFileName(dir.filePath("bin"), QString()), dir.filePath("bin/Lapora2.ini"));
        writeText(dir.filePath("bin/Lapora2.ini"), "");
        QCOMPARE(settingsFileName(dir.filePath("bin"), dir.filePath("share")), dir.filePath("bin/Lapora2.ini"));
    }
};

REGISTER_TEST(SavedSheetsTest)

#include "SavedSheetsTest.moc"
