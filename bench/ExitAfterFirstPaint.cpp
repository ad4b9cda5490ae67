// Linked into the programs the start-up benchmark times, beside their own
// main (vellomar's, unchanged, and the empty reference window's): once a
// window has first painted, says "shown" on standard output and ends the
// program. The installed vellomar has no such hook.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

class ExitAfterFirstPaint : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow()) {
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

// Runs as the application object is made, before main makes its window.
void watchFirstPaint()
{
    qApp->installEventFilter(new ExitAfterFirstPaint(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(watchFirstPaint)
