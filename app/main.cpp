#include "app/Fonts.h"
#include "app/Main.h"
#include "app/MessageBoxPrompter.h"
#include "platform/DefaultShortcutMaker.h"
#include "platform/SystemProgramStarter.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>

namespace {

// For the start-up benchmark: with VELLOMAR_EXIT_AFTER_SHOW set, the
// program says "shown" on standard output once the main window has first
// painted, and ends.
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

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellomar"));
    QApplication::setApplicationVersion(QStringLiteral("1.0"));
    installFontSubstitutes();

    platform::SystemProgramStarter starter;
    MessageBoxPrompter prompter;
    auto shortcuts = platform::makeDefaultShortcutMaker();
    Main window({starter, prompter, *shortcuts});
    ExitAfterFirstPaint exitAfterShow;
    if (qEnvironmentVariableIsSet("VELLOMAR_EXIT_AFTER_SHOW"))
        window.installEventFilter(&exitAfterShow);
    return app.exec();
}
