#include "tests/TestRegistry.h"
#include "app/Settings.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

QString freshPath(const QString& name);
void writeFile(const QString& path, const QByteArray& bytes);
QByteArray readFile(const QString& path);

namespace {

// A run from main window creation on, with the executable in root/bin and
// the user's data location at root/share.
void startRun(const QString& root)
{
    QDir().mkpath(root + "/bin");
    initPaths(root + "/bin", root + "/share", {1920, 1040});
    prepareDataDir();
    Beall = TBeall();
    createDefaultFont();
    LoadSettings();
}

} // namespace

class FormBounds : public QObject
{
    Q_OBJECT

private slots:
    void fitting_data()
    {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("left beyond edge") << QRect(2500, 10, 600, 400) << QRect(0, 10, 600, 400);
        QTest::newRow("top beyond edge") << QRect(10, 1100, 600, 400) << QRect(10, 0, 600, 400);
        QTest::newRow("overhangs right") << QRect(1500, 10, 600, 400) << QRect(1320, 10, 600, 400);
        QTest::newRow("overhangs bottom") << QRect(10, 900, 600, 400) << QRect(10, 640, 600, 400);
        QTest::newRow("width of the area") << QRect(100, 10, 1920, 400) << QRect(0, 10, 1920, 400);
        QTest::newRow("taller than area") << QRect(10, 50, 600, 2000) << QRect(10, 0, 600, 1040);
        QTest::newRow("negative stays") << QRect(-8, -8, 1200, 800) << QRect(-8, -8, 1200, 800);
        QTest::newRow("huge width") << QRect(10, 10, 2147483600, 400) << QRect(0, 10, 1920, 400);
    }

    void fitting()
    {
        QFETCH(QRect, saved);
        QFETCH(QRect, fitted);

        QCOMPARE(fitIntoWorkArea(saved, 1920, 1040), fitted);
    }

    void mainWindowIsFittedButDialogsAreNot()
    {
        startRun(freshPath("run"));
        QCOMPARE(LoadFormBounds("frm_Main", 682, 607), QRect(10, 10, 682, 607));
        QCOMPARE(LoadFormPos("frm_Beallit"), QPoint(10, 10));

        SaveFormBounds("frm_Main", QRect(3000, -8, 700, 600));
        SaveFormPos("frm_Beallit", QPoint(3000, -500));

        QCOMPARE(LoadFormBounds("frm_Main", 682, 607), QRect(0, -8, 700, 600));
        QCOMPARE(LoadFormPos("frm_Beallit"), QPoint(3000, -500));
    }
};

class SettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void firstRunUsesDefaultsAndWritesEveryKey()
    {
        const QString root = freshPath("run");
        startRun(root);

        QCOMPARE(IniFileName, root + "/share/Lapora2/Lapora2.ini");
        QVERIFY(QFileInfo(DataDir).isDir());
        QCOMPARE(Beall.FontSize, 9);
        QCOMPARE(Beall.DefaultFont, QFont("Arial", 8));

        SaveSettings();
        SaveFormBounds("frm_Main", QRect(10, 10, 682, 607));
        QCOMPARE(readFile(IniFileName),
                 QByteArray("[Lang]\nFile=\n[Screen]\nFontSize=9\n"
                            "[Font]\nName=Arial\nSize=8\nBold=0\nItalic=0\nUnderline=0\n"
                            "[frm_Main]\nLeft=10\nTop=10\nWidth=682\nHeight=607\n"));
    }

    void emptyNameKeepsTheInitialFace()
    {
        const QString root = freshPath("run");
        QDir().mkpath(root + "/share/Lapora2");
        writeFile(root + "/share/Lapora2/Lapora2.ini",
                  "[Lang]\nFile=magyar.lng\n[Font]\nName=\nSize=0x0C\nBold=2\nUnderline=yes\n");
        startRun(root);

        QCOMPARE(Beall.LangFile, QString("magyar.lng"));
        QFont expected("MS Sans Serif", 12);
        expected.setBold(true);
        QCOMPARE(Beall.DefaultFont, expected);
    }


    void iniBesideTheProgramWins()
    {
        const QString root = freshPath("run");
        QDir().mkpath(root + "/bin");
        writeFile(root + "/bin/Lapora2.ini", "[Screen]\nFontSize=14\n[Font]\nName=" + QByteArray(40, 'x'));
        startRun(root);

        QCOMPARE(DataDir, root + "/bin");
        QCOMPARE(Beall.FontSize, 14);
        QCOMPARE(Beall.DefaultFont.family(), QString(31, 'x'));
        Beall.FontSize = 11;
        SaveSettings();
        QVERIFY(readFile(root + "/bin/Lapora2.ini").startsWith("[Screen]\nFontSize=11\n"));
        QVERIFY(!QFileInfo::exists(root + "/share"));
    }

};

REGISTER_TEST(FormBounds)
REGISTER_TEST(SettingsFile)

#include "SettingsTest.moc"
