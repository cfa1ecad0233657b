#include "tests/TestRegistry.h"
#include "app/Application.h"
#include "layer/Fonts.h"

#include <QStandardPaths>
#include <QTest>

// As tests/QtTestMain.cpp, but on the program's own application object, so
// that its error handling, wheel translation and translations are under test.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Nothing a test does may reach the real settings in the home folder.
    QStandardPaths::setTestModeEnabled(true);
    Application app(argc, argv);
    // A test's main window closing must not end the event loops to come.
    app.setQuitOnLastWindowClosed(false);
    registerBundledFonts();
    int failed = 0;
    for (const auto& make : registeredTests()) {
        auto test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
