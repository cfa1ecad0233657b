#include "tests/TestRegistry.h"
#include "app/IniFile.h"

#include <QTest>

QString freshPath(const QString& name);
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

namespace {

QString iniWith(const QByteArray& bytes)
{
    const QString path = freshPath("a.ini");
    writeFile(path, bytes);
    return path;
}

} // namespace

class IniFileRead : public QObject
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

    void integers_data()
    {
        QTest::addColumn<QByteArray>("value");
        QTest::addColumn<int>("expected");
        QTest::newRow("decimal") << QByteArray("-12") << -12;
        QTest::newRow("hex") << QByteArray("0X0a") << 10;
        QTest::newRow("bare 0x") << QByteArray("0x") << 9;
        QTest::newRow("bad hex") << QByteArray("0x1G") << 9;
        QTest::newRow("word") << QByteArray("abc") << 9;
        QTest::newRow("trailing text") << QByteArray("12abc") << 9;
        QTest::newRow("two signs") << QByteArray("+-3") << 9;
        QTest::newRow("too big") << QByteArray("2147483648") << 9;
        QTest::newRow("empty") << QByteArray("") << 9;
    }

    void integers()
    {
        QFETCH(QByteArray, value);
        QFETCH(int, expected);
        IniFile ini(iniWith("[Screen]\nFontSize=" + value));

        QCOMPARE(ini.readInteger("Screen", "FontSize", 9), expected);
    }
};

class IniFileWrite : public QObject
{
    Q_OBJECT

private slots:
    void replacesOnlyTheValue()
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
    }

    void textIsWindows1250()
    {
        const QString path = freshPath("a.ini");
        IniFile(path).writeString("Font", "Name", "Árvíztűrő");

        QCOMPARE(readFile(path), QByteArray("[Font]\nName=\xC1rv\xEDzt\xFBr\xF5\n"));
        QCOMPARE(IniFile(path).readString("Font", "Name", ""), QString("Árvíztűrő"));
    }

    void failedWriteNamesTheFile()
    {
        const QString path = iniWith("not a folder") + "/Lapora2.ini";

        try {
            IniFile(path).writeInteger("Screen", "FontSize", 9);
            QFAIL("no error");
        } catch (const IniWriteError& error) {
            QCOMPARE(QString::fromUtf8(error.what()), "Unable to write to " + path);
        }
    }
};

REGISTER_TEST(IniFileRead)
REGISTER_TEST(IniFileWrite)

#include "IniFileTest.moc"
