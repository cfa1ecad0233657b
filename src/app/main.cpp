#include "Version.h"
#include "app/Application.h"
#include "app/Main.h"
#include "app/Settings.h"
#include "app/StartupProbe.h"
#include "layer/Fonts.h"

#include <QElapsedTimer>

#include <cstdio>
#include <string>

namespace {

// Without a display Qt aborts with a message few users can act on.
bool displayAvailable()
{
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
        !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

// Qt takes its own options from the command line; what is left names card
// files to open.
int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    // Answered without a window, and without a display.
    const std::string first = argc == 2 ? argv[1] : "";
    if (first == "--version") {
        std::printf("lapora " LAPORA_VERSION "\n");
        return 0;
    }
    if (first == "--help") {
        std::printf("usage: lapora [FILE.bcrd...]\n"
                    "       lapora --help | --version\n"
                    "\n"
                    "Opens the business-card designer, each card file given in its own window.\n"
                    "  --help      print this help and exit\n"
                    "  --version   print the version and exit\n");
        return 0;
    }
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "lapora: no display to open the window on (DISPLAY and WAYLAND_DISPLAY are not set).\n"
                     "Start it on a virtual display:\n"
                     "    xvfb-run %s\n",
                     argc > 0 ? argv[0] : "build/lapora");
        return 1;
    }

    Application app(argc, argv);
    initPaths();
    for (const QString& missing : registerBundledFonts())
        std::fprintf(stderr, "lapora: cannot load the font %s\n", qPrintable(missing));

    frm_Main = new Tfrm_Main;
    watchFirstPaint(frm_Main, sinceStart);
    frm_Main->show();
    frm_Main->offerRecovery();
    frm_Main->openCardFiles(app.arguments().mid(1));
    const int status = app.exec();
    // The card windows go with their frame, without further questions.
    delete frm_Main;
    return status;
}
