#pragma once

#include <QString>

// Where the designer keeps its settings: "Lapora2.ini" in the program's own
// folder when one is there (a portable install), else in the folder
// "Lapora2" under the user's data location. lapora-cli reads the same file
// to find the layouts saved there.
inline const QString SettingsFolderName = QStringLiteral("Lapora2");
inline const QString SettingsBaseName = QStringLiteral("Lapora2.ini");

// From given folders; an empty dataLocation stands for a system that could
// not name one, and the program folder then serves.
QString settingsFileName(const QString& programDir, const QString& dataLocation);
// From the system: the running program's folder and the user's data
// location (XDG_DATA_HOME where it is set). Needs the application object.
QString settingsFileName();
