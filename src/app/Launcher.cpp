#include "app/Launcher.h"

#include "app/AboutBox.h"
#include "app/Settings.h"
#include "print/SheetLayout.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QUrl>

namespace {

Launcher& installed()
{
    static Launcher launcher;
    return launcher;
}

// A program is started; a file or an address goes to what the desktop
// opens it with.
void launchOnDesktop(const QString& target)
{
    const QUrl url(target);
    if (!url.scheme().isEmpty() && url.scheme().size() > 1) {
        QDesktopServices::openUrl(url);
        return;
    }
    const QFileInfo file(target);
    if (!file.exists())
        return;
    // Only a program is started: a page copied with its execute bit set is
    // still opened as a page.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(file);
    const bool program = file.isExecutable() && !file.isDir()
        && (type.inherits(QStringLiteral("application/x-executable"))
            || type.inherits(QStringLiteral("application/x-sharedlib"))
            || type.inherits(QStringLiteral("application/x-shellscript")));
    if (program)
        QProcess::startDetached(file.absoluteFilePath(), {}, ProgramDir);
    else
        QDesktopServices::openUrl(QUrl::fromLocalFile(file.absoluteFilePath()));
}

} // namespace

void setLauncher(Launcher launcher)
{
    installed() = std::move(launcher);
}

void Launch(const QString& target)
{
    if (installed())
        installed()(target);
    else
        launchOnDesktop(target);
}

// Beside the program in its build folder; where it is installed, in the
// shared data folder of its prefix.
QString helpIndexPath()
{
    const QString beside = ProgramDir + QStringLiteral("/help/index.htm");
    const QString installedHelp = ProgramDir + QStringLiteral("/" LAPORA_HELP_FROM_BIN "/index.htm");
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installedHelp))
        return QFileInfo(installedHelp).absoluteFilePath();
    return beside;
}

QString newsProgramPath()
{
    return ProgramDir + QStringLiteral("/Ujdonsag");
}

QString homePageAddress()
{
    return QString::fromLatin1(sheet::HomePage);
}

QString mailAddress()
{
    return QStringLiteral("mailto:") + QString::fromLatin1(MakerMail) + QStringLiteral("?subject=Lapora program");
}
