#pragma once

#include <QString>

#include <functional>

// Hands a file, a program or an address to the desktop, which opens it with
// what it has for it; nothing waits for it, and a target that is missing
// changes nothing and shows no message of ours. When the desktop has
// nothing to open it with, an error box says so (the failure given, or a
// plain one naming the target). Tests record the targets instead.
using Launcher = std::function<void(const QString& target)>;
void setLauncher(Launcher launcher);  // empty: the desktop's own again
void Launch(const QString& target, const QString& failure = {});

// The targets of the help menu.
QString helpIndexPath();     // help/index.htm beside the program
QString newsProgramPath();   // the companion program beside the program
QString homePageAddress();
QString mailAddress();       // mailto: with the subject "Lapora program"
