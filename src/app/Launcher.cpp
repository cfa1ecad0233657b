#include "app/Launcher.h"

#include "app/AboutBox.h"
#include "app/Settings.h"
#include "editor/ErrorBox.h"
#include "print/SheetLayout.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#include <stdexcept>

namespace {

Launcher& installed()
{
    static Launcher launcher;
    return launcher;
}

// Said when nothing could open the target; until then nothing waits.
void cannotOpen(const QString& target, const QString& message)
{
    showError(std::runtime_error(
        (message.isEmpty() ? QStringLiteral("A(z) \u201E%1\u201D nem nyitható meg: nincs program, amely "
                                            "megnyitná, vagy nem indítható el.").arg(target)
                           : message)
            .toStdString()));
}

// The desktop's opener is watched: with no browser or mail program it ends
// with a failure, which the user must hear of rather than a silence. It is
// not waited for, and it is left running when the program ends (it may be
// the browser itself).
void openOnDesktop(const QUrl& url, const QString& target, const QString& message)
{
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        if (!QDesktopServices::openUrl(url))
            cannotOpen(target, message);
        return;
    }
    auto* process = new QProcess;
    process->setProgram(opener);
    process->setArguments({url.isLocalFile() ? url.toLocalFile() : url.toString()});
    process->setStandardOutputFile(QProcess::nullDevice());
    process->setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, target, message](int code, QProcess::ExitStatus status) {
                         process->deleteLater();
                         if (status != QProcess::NormalExit || code != 0)
                             cannotOpen(target, message);
                     });
    QObject::connect(process, &QProcess::errorOccurred, process, [process, target, message](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return;
        process->deleteLater();
        cannotOpen(target, message);
    });
    process->start();
}

// A program is started; a file or an address goes to what the desktop
// opens it with.
void launchOnDesktop(const QString& target, const QString& message)
{
    const QUrl url(target);
    if (!url.scheme().isEmpty() && url.scheme().size() > 1) {
        openOnDesktop(url, target, message);
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
    if (program) {
        if (!QProcess::startDetached(file.absoluteFilePath(), {}, ProgramDir))
            cannotOpen(target, message);
    } else {
        openOnDesktop(QUrl::fromLocalFile(file.absoluteFilePath()), target, message);
    }
}

} // namespace

void setLauncher(Launcher launcher)
{
    installed() = std::move(launcher);
}

void Launch(const QString& target, const QString& failure)
{
    if (installed())
        installed()(target);
    else
        launchOnDesktop(target, failure);
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
