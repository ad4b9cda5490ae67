// The start-up reference: a Qt Widgets program that shows one empty window,
// says "shown" on standard output once it has first painted, and ends.

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>

class ExitAfterFirstPaint : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            std::fputs("shown\n", stdout);
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool m_done = false;
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    ExitAfterFirstPaint exitAfterShow;
    window.installEventFilter(&exitAfterShow);
    window.show();
    return app.exec();
}
