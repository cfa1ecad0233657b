#include "print/IniFile.h"
#include "tests/TestRegistry.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// Each call gets a name of its own; the folder goes when the run ends.
QString freshPath(const QString& name)
{
    static QTemporaryDir dir;
    static int count = 0;
    return dir.filePath(QStringLiteral("%1-%2").arg(++count).arg(name));
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString iniWith(const QByteArray& bytes)
{
    const QString path = freshPath("a.ini");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

} // namespace

class IniFiles : public QObject
{
    Q_OBJECT

private slots:
    void lookupIgnoresCaseAndBlanksAndKeepsToItsSection()
    {
        IniFile ini(iniWith("[ font ]\r\n  NAME  =  Times New Roman \r\nStyle=\r\n[x]\r\nSize=12\r\n"
                            "[Lang]\r\nFile=" + QByteArray(3000, 'a')));

        QCOMPARE(ini.readString("Font", "name", "Arial"), QString("Times New Roman"));
        QCOMPARE(ini.readString("Font", "Style", "Arial"), QString(""));
        QCOMPARE(ini.readInteger("Font", "Size", 8), 8);
        QCOMPARE(ini.readString("Lang", "Name", "Arial"), QString("Arial"));
        QCOMPARE(IniFile(freshPath("none.ini")).readString("Font", "Name", "Arial"), QString("Arial"));
        QCOMPARE(ini.readString("Lang", "File", "").size(), 2047);
    }

    void integersAreDecimalOrHexElseTheDefault()
    {
        IniFile ini(iniWith("[N]\na=-12\nb=0X0a\nc=0x\nd=0x1G\ne=12abc\nf=+-3\ng=2147483648\nh=\n"));

        QCOMPARE(ini.readInteger("N", "a", 9), -12);
        QCOMPARE(ini.readInteger("N", "b", 9), 10);
        for (const char* bad : {"c", "d", "e", "f", "g", "h"})
            QVERIFY2(ini.readInteger("N", bad, 9) == 9, bad);
    }

    void writeReplacesOnlyTheValue()
    {
        const QString path = iniWith("; mine\r\n\r\n[font]\r\nname = Arial  \r\nSIZE=8\r\n[x]\r\nSize=1\r\n");
        IniFile ini(path);
        ini.writeString("Font", "Name", "Tahoma");
        ini.writeInteger("Font", "Size", 12);

        QCOMPARE(readFile(path),
                 QByteArray("; mine\r\n\r\n[font]\r\nname = Tahoma  \r\nSIZE=12\r\n[x]\r\nSize=1\r\n"));
    }

    void newKeysEndTheirSectionAndNewSectionsTheFile()
    {
        const QString path = iniWith("[A]\nx=1\n\n[B]\ny=2");
        IniFile ini(path);
        ini.writeInteger("a", "z", 3);
        ini.writeBool("B", "w", true);
        ini.writeString("C", "v", "");

        QCOMPARE(readFile(path), QByteArray("[A]\nx=1\nz=3\n\n[B]\ny=2\nw=1\n[C]\nv=\n"));

        // A last line ending in a lone CR keeps its value.
        const QString crOnly = iniWith("[A]\r\nx=1\r\n[B]\r\ny=4\r");
        IniFile(crOnly).writeInteger("C", "z", 5);
        IniFile(crOnly).writeInteger("B", "w", 6);
        QCOMPARE(readFile(crOnly), QByteArray("[A]\r\nx=1\r\n[B]\r\ny=4\r\nw=6\r\n[C]\r\nz=5\r\n"));
        QCOMPARE(IniFile(crOnly).readInteger("B", "y", 0), 4);
    }

    // Settings that are a FIFO or an endless device read as no settings at
    // all, at once; writing to them fails instead of waiting for a reader.
    void onlyRegularFilesAreReadOrWritten()
    {
        const QString fifo = freshPath("fifo.ini");
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0);
        const QString endless = freshPath("endless.ini");
        QVERIFY(QFile::link("/dev/zero", endless));
        for (const QString& path : {fifo, endless}) {
            IniFile ini(path);
            QCOMPARE(ini.readInteger("Screen", "FontSize", 9), 9);
            try {
                ini.writeInteger("Screen", "FontSize", 10);
                QFAIL("written");
            } catch (const IniWriteError& error) {
                QCOMPARE(QString::fromUtf8(error.what()), "Unable to write to " + path);
            }
            QVERIFY_THROWS_EXCEPTION(IniWriteError, ini.removeSection("Screen"));
        }
        QVERIFY(QFileInfo(fifo).exists() && !QFileInfo(fifo).isFile());
    }

    void textIsWindows1250()
    {
        const QString path = freshPath("a.ini");
        IniFile(path).writeString("Font", "Name", "Árvíztűrő");

        QCOMPARE(readFile(path), QByteArray("[Font]\nName=\xC1rv\xEDzt\xFBr\xF5\n"));
        QCOMPARE(IniFile(path).readString("Font", "Name", ""), QString("Árvíztűrő"));
    }

    // A section goes with every line up to the next one, whatever the case
    // it is named in; the rest of the file keeps its bytes, CRLF and
    // comments included.
    void sectionsAreListedAndRemovedWhole()
    {
        const QString path = iniWith("; kezdet\r\n[Screen]\r\nZoom=100\r\n[Sheet:A]\r\nRows=5\r\n; megjegyzés\r\n"
                                     "[ screen ]\r\nFontSize=9\r\n[sheet:a]\r\nRows=4\r\n[Font]\r\nName=Arial");
        const IniFile ini(path);
        QCOMPARE(ini.sections(), QStringList({"Screen", "Sheet:A", "Font"}));
        ini.removeSection("SHEET:A");
        QCOMPARE(readFile(path), QByteArray("; kezdet\r\n[Screen]\r\nZoom=100\r\n[ screen ]\r\nFontSize=9\r\n"
                                           "[Font]\r\nName=Arial"));
        ini.removeSection("Font");
        QCOMPARE(readFile(path), QByteArray("; kezdet\r\n[Screen]\r\nZoom=100\r\n[ screen ]\r\nFontSize=9\r\n"));
        ini.removeSection("Nincs");
        QCOMPARE(ini.readInteger("Screen", "FontSize", 0), 9);
        QVERIFY(IniFile(freshPath("none.ini")).sections().isEmpty());
    }
};

REGISTER_TEST(IniFiles)

#include "IniFileTest.moc"
