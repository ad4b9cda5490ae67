// The start-up reference: a Qt Widgets program that shows one empty window;
// ExitAfterFirstPaint.cpp says "shown" once it has first painted, and ends.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.show();
    return app.exec();
}
