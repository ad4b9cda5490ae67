// The start-up reference: a Qt Widgets program that shows one empty window,
// says "shown" on standard output once it has first painted, and ends.

#include "app/ExitAfterFirstPaint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    ExitAfterFirstPaint exitAfterShow;
    window.installEventFilter(&exitAfterShow);
    window.show();
    return app.exec();
}
