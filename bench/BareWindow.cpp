#include "app/StartupProbe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QMdiArea>

// The floor for the start-up benchmark: a bare main window with an empty
// frame for child windows, measured the same way as the program.
int main(int argc, char** argv)
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QMdiArea);
    window.resize(682, 607);
    watchFirstPaint(&window, sinceStart);
    window.show();
    return app.exec();
}
