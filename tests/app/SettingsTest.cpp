#include "tests/TestRegistry.h"
#include "app/PrinterCalibration.h"
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

class SettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void fitting_data()
    {
        QTest::addColumn<QRect>("saved");
        QTest::addColumn<QRect>("fitted");
        QTest::newRow("left beyond edge") << QRect(2500, 10, 600, 400) << QRect(0, 10, 600, 400);
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

    void firstRunUsesDefaultsAndWritesEveryKey()
    {
        const QString root = freshPath("run");
        startRun(root);

        QCOMPARE(IniFileName, root + "/share/Lapora2/Lapora2.ini");
        QVERIFY(QFileInfo(DataDir).isDir());
        QCOMPARE(Beall.FontSize, 9);
        QCOMPARE(Beall.DefaultFont, QFont("Arial", 8));
        QCOMPARE(LoadFormBounds("frm_Main", 682, 607), QRect(10, 10, 682, 607));
        QCOMPARE(LoadFormPos("frm_Beallit"), QPoint(10, 10));

        SaveSettings();
        SaveFormBounds("frm_Main", QRect(10, 10, 682, 607));
        QCOMPARE(readFile(IniFileName),
                 QByteArray("[Lang]\nFile=\n[Screen]\nFontSize=9\nZoom=100\nCutGuides=0\n"
                            "[Font]\nName=Arial\nSize=8\nBold=0\nItalic=0\nUnderline=0\n"
                            "[PrintShop]\nBleed=300\nCropMarks=0\nFolder=\n[Picture]\nReduce=0\n"
                            "[frm_Main]\nLeft=10\nTop=10\nWidth=682\nHeight=607\n"));

        // The main window is fitted into the work area, dialogs are not.
        SaveFormBounds("frm_Main", QRect(3000, -8, 700, 600));
        SaveFormPos("frm_Beallit", QPoint(3000, -500));
        QCOMPARE(LoadFormBounds("frm_Main", 682, 607), QRect(0, -8, 700, 600));
        QCOMPARE(LoadFormPos("frm_Beallit"), QPoint(3000, -500));
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

    // The print shop's file keeps its bleed in hundredths of a millimetre;
    // one its file cannot have (beyond 5 mm, between the halves, no number)
    // reads as the default 3 mm.
    void printShopSettingsRoundTrip()
    {
        const QString root = freshPath("run");
        QDir().mkpath(root + "/share/Lapora2");
        writeFile(root + "/share/Lapora2/Lapora2.ini",
                  "[Screen]\nCutGuides=1\n[PrintShop]\nBleed=150\nCropMarks=1\nFolder=/home/anna/nyomda\n");
        startRun(root);
        QVERIFY(Beall.CutGuides);
        QCOMPARE(Beall.PrintShopBleed, 1.5);
        QVERIFY(Beall.PrintShopCropMarks);
        QCOMPARE(Beall.PrintShopFolder, QString("/home/anna/nyomda"));

        for (const QByteArray bleed : {"230", "600", "-50", "abc", "0"}) {
            writeFile(IniFileName, "[PrintShop]\nBleed=" + bleed + "\n");
            LoadSettings();
            QCOMPARE(Beall.PrintShopBleed, bleed == "0" ? 0.0 : 3.0);
        }

        Beall.PrintShopBleed = 4.5;
        Beall.PrintShopCropMarks = false;
        Beall.PrintShopFolder = "/home/anna/nyomda";
        Beall.CutGuides = false;
        SaveSettings();
        const QByteArray written = readFile(IniFileName);
        QVERIFY(written.contains("[PrintShop]\nBleed=450\nCropMarks=0\nFolder=/home/anna/nyomda\n"));
        QVERIFY(written.contains("CutGuides=0\n"));
    }

    // The remembered answer about large pictures: 1 reduces, 2 keeps them
    // whole, anything else asks.
    void largePictureAnswerRoundTrips()
    {
        const QString root = freshPath("run");
        QDir().mkpath(root + "/share/Lapora2");
        writeFile(root + "/share/Lapora2/Lapora2.ini", "[Picture]\nReduce=2\n");
        startRun(root);
        QCOMPARE(Beall.LargePictureAnswer, LargePictures::Keep);
        for (const auto& [code, answer] : {std::pair<QByteArray, LargePictures>{"1", LargePictures::Reduce},
                                           {"0x2", LargePictures::Keep}, {"3", LargePictures::Ask},
                                           {"-1", LargePictures::Ask}, {"igen", LargePictures::Ask}}) {
            writeFile(IniFileName, "[Picture]\nReduce=" + code + "\n");
            LoadSettings();
            QCOMPARE(Beall.LargePictureAnswer, answer);
        }
        Beall.LargePictureAnswer = LargePictures::Reduce;
        SaveSettings();
        QVERIFY(readFile(IniFileName).contains("[Picture]\nReduce=1\n"));
    }

    // Each printer's calibration in a section of its own, in hundredths;
    // what is missing, no number or beyond the limits reads as the default,
    // and a write changes only what it writes.
    void printerCalibrationsRoundTrip()
    {
        const QString root = freshPath("run");
        QDir().mkpath(root + "/share/Lapora2");
        writeFile(root + "/share/Lapora2/Lapora2.ini",
                  "[Printer:Iroda]\nOffsetX=150\nOffsetY=abc\nScaleX=15000\nScaleY=9950\n"
                  "BackOffsetX=-2001\nBackOffsetY=-75\nBackScaleY=0x2710\n; mine\n[Printer:Otthon]\nScaleX=10100\n");
        startRun(root);
        const sheet::PrinterCalibration office = LoadPrinterCalibration("Iroda");
        QCOMPARE(office.front, (sheet::Calibration{{1.5, 0}, {100, 99.5}}));
        QCOMPARE(office.back, (sheet::Calibration{{0, -0.75}, {100, 100}}));
        QCOMPARE(LoadPrinterCalibration("Otthon").front.scale.x(), 101.0);
        QCOMPARE(LoadPrinterCalibration("Nincs ilyen"), sheet::PrinterCalibration());

        const sheet::PrinterCalibration measured{{{-0.33, 19.99}, {90, 109.87}}, {{1.25, 0}, {100.5, 100}}};
        SavePrinterCalibration("Iroda", measured);
        QCOMPARE(LoadPrinterCalibration("Iroda"), measured);
        const QByteArray written = readFile(IniFileName);
        QVERIFY(written.contains("OffsetX=-33\nOffsetY=1999\nScaleX=9000\nScaleY=10987\n"));
        QVERIFY(written.contains("; mine\n[Printer:Otthon]\nScaleX=10100\n"));

        // The stock last printed on, by its name, beside the calibration.
        QCOMPARE(LoadPrinterSheet("Otthon"), QString());
        SavePrinterSheet("Otthon", "Avery Zweckform C32010, C32011");
        QCOMPARE(LoadPrinterSheet("Otthon"), QString("Avery Zweckform C32010, C32011"));
        QVERIFY(readFile(IniFileName).contains("[Printer:Otthon]\nScaleX=10100\nSheet=Avery Zweckform C32010, C32011\n"));
    }
};

REGISTER_TEST(SettingsFile)

#include "SettingsTest.moc"
