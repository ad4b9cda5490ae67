#include "app/Main.h"
#include "Version.h"
#include "app/CommandLine.h"
#include "app/Fonts.h"
#include "app/MessageBoxPrompter.h"
#include "platform/DefaultShortcutMaker.h"
#include "platform/SystemProgramStarter.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    if (argc > 1) {
        // Read before the window system is reached: --help and --version work without a display.
        const QCoreApplication reader(argc, argv);
        QCoreApplication::setApplicationName(QStringLiteral("vellomar"));
        QCoreApplication::setApplicationVersion(QStringLiteral(VELLOMAR_VERSION));
        if (const std::optional<CommandLineAnswer> answer = commandLineAnswer(QCoreApplication::arguments())) {
            std::fputs(answer->out.toLocal8Bit().constData(), stdout);
            std::fputs(answer->err.toLocal8Bit().constData(), stderr);
            return answer->status;
        }
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellomar"));
    QApplication::setApplicationVersion(QStringLiteral(VELLOMAR_VERSION));
    installFontSubstitutes();

    platform::SystemProgramStarter starter;
    MessageBoxPrompter prompter;
    auto shortcuts = platform::makeDefaultShortcutMaker();
    Main window({starter, prompter, *shortcuts});
    return app.exec();
}
