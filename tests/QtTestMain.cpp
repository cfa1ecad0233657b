#include "tests/TestRegistry.h"

#include <QApplication>
#include <QTest>

// Runs every registered test class, or only the one LAPORA_TEST_CLASS
// names; the exit status counts the failures.
int main(int argc, char** argv)
{
    // Also when started by hand, without ctest's environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QByteArray only = qgetenv("LAPORA_TEST_CLASS");
    int failed = 0;
    for (const auto& make : registeredTests()) {
        auto test = make();
        if (!only.isEmpty() && only != test->metaObject()->className())
            continue;
        failed += QTest::qExec(test.get(), argc, argv);
    }
    return failed == 0 ? 0 : 1;
}
