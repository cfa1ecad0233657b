#pragma once

#include "app/Main.h"
#include "app/Settings.h"
#include "tests/FakeDialogs.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>

// One run of the program from main window creation on, in a folder of its
// own: the executable in bin/, the user's data under share/, documents in
// docs/. The dialogs are answered by `dialogs`.
struct ShellRun
{
    QTemporaryDir root;
    FakeDialogs dialogs;
    std::unique_ptr<Tfrm_Main> window;

    explicit ShellRun(const QByteArray& ini = {})
    {
        const QString share = root.filePath("share");
        if (!ini.isEmpty()) {
            QDir().mkpath(share + "/Lapora2");
            QFile file(share + "/Lapora2/Lapora2.ini");
            if (!file.open(QIODevice::WriteOnly) || file.write(ini) != ini.size())
                qFatal("cannot write the settings file");
        }
        QDir().mkpath(root.filePath("bin"));
        QDir().mkpath(root.filePath("docs"));
        initPaths(root.filePath("bin"), share, {1920, 1040});
        Beall = TBeall();
        window = std::make_unique<Tfrm_Main>();
    }

    QString path(const QString& name) const { return root.filePath("docs/" + name); }

    // Shown and active, so that short-cut keys reach the window's commands.
    bool showActive()
    {
        window->show();
        window->activateWindow();
        return QTest::qWaitForWindowActive(window.get());
    }
};
