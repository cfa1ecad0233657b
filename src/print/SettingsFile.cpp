#include "print/SettingsFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString withoutTrailingSlash(QString path)
{
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

} // namespace

QString settingsFileName(const QString& programDir, const QString& dataLocation)
{
    const QString program = withoutTrailingSlash(QDir::fromNativeSeparators(programDir));
    const QString own = program + '/' + SettingsBaseName;
    if (dataLocation.isEmpty() || QFileInfo(own).isFile())
        return own;
    return withoutTrailingSlash(QDir::fromNativeSeparators(dataLocation)) + '/' + SettingsFolderName + '/'
        + SettingsBaseName;
}

QString settingsFileName()
{
    return settingsFileName(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}
