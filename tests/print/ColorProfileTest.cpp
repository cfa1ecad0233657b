#include "print/ColorProfile.h"
#include "print/PrintOutput.h"
#include "tests/Failure.h"
#include "tests/TestRegistry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

// An installed program's tree: PREFIX/bin and PREFIX/share/lapora/color,
// with the profile and Ghostscript's folder as asked.
void installColor(const QString& prefix, bool profile, bool ghostscript)
{
    const QString color = prefix + "/share/lapora/color";
    QDir().mkpath(prefix + "/bin");
    QDir().mkpath(color + "/gs");
    if (profile) {
        QFile file(color + '/' + PrintShopProfileName);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    if (ghostscript)
        QVERIFY(QFile::link("../" + QString(PrintShopProfileName), color + "/gs/default_cmyk.icc"));
}

} // namespace

class ColorProfileTest : public QObject
{
    Q_OBJECT

private slots:
    // The tests run from the build folder, so they get the profile just built.
    void aProgramInTheBuildFolderTakesTheBuiltProfile()
    {
        const QString dir = printShopProfileDir();
        QCOMPARE(dir, QDir::cleanPath(QCoreApplication::applicationDirPath() + "/color"));
        QVERIFY(QFileInfo(dir + '/' + PrintShopProfileName).size() > 100'000);
        QVERIFY(QFileInfo(dir + "/gs/default_rgb.icc").isFile());
    }

    // Relative to the program's own folder, whose case is kept.
    void anInstalledProgramTakesTheProfileBesideItsManual()
    {
        QTemporaryDir temporary;
        const QString prefix = temporary.filePath("Nyomda/Lapora");
        installColor(prefix, true, true);
        QCOMPARE(printShopProfileDir(prefix + "/bin"), prefix + "/share/lapora/color");
    }

    void aFolderWithoutTheProfileOrGhostscriptsFolderFails()
    {
        const std::string message =
            "A nyomdai PDF színprofilja (lapora-fogra39.icc) nem található; telepítse újra a programot.";
        QTemporaryDir temporary;
        const QString bare = temporary.filePath("bare");
        installColor(bare, false, false);
        QCOMPARE(failureOf([&] { printShopProfileDir(bare + "/bin"); }), message);
        const QString noGhostscript = temporary.filePath("gs");
        installColor(noGhostscript, true, false);
        QCOMPARE(failureOf([&] { printShopProfileDir(noGhostscript + "/bin"); }), message);
        // A program outside the build folder never falls back on the build's
        // profile, though it is there.
        QVERIFY_THROWS_EXCEPTION(PrintError, printShopProfileDir(temporary.filePath("elsewhere")));
    }
};

REGISTER_TEST(ColorProfileTest)
#include "ColorProfileTest.moc"
