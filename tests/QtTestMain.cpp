#include "tests/TestRegistry.h"

#include <QApplication>
#include <QTest>

// Runs every registered test class; the exit status counts the failures.
int main(int argc, char** argv)
{
    // Also when started by hand, without ctest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    int failed = 0;
    for (const auto& make : registeredTests()) {
        auto test = make();
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
