#include "print/ColorProfile.h"

#include "print/PrintOutput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

bool sameFolder(const QString& a, const QString& b)
{
    const QString canonical = QDir(a).canonicalPath();
    return !canonical.isEmpty() && canonical == QDir(b).canonicalPath();
}

} // namespace

QString printShopProfileDir()
{
    return printShopProfileDir(QCoreApplication::applicationDirPath());
}

QString printShopProfileDir(const QString& programDir)
{
    // The build folder is taken only by a program that runs from it, so an
    // installed program never reads a stale build left on the machine.
    const QString dir = sameFolder(programDir, QStringLiteral(LAPORA_BUILD_PROGRAM_DIR))
        ? QStringLiteral(LAPORA_BUILD_COLOR_DIR)
        : QDir(programDir).absoluteFilePath(QStringLiteral(LAPORA_COLOR_FROM_BIN));
    // Ghostscript needs its folder as much as the PDF needs the profile.
    if (!QFileInfo(dir + '/' + PrintShopProfileName).isFile() || !QFileInfo(dir + "/gs/default_cmyk.icc").isFile())
        throw PrintError("A nyomdai PDF színprofilja (" + std::string(PrintShopProfileName) +
                         ") nem található; telepítse újra a programot.");
    return QDir::cleanPath(dir);
}
