#include "app/ExitAfterFirstPaint.h"
#include "app/Fonts.h"
#include "app/Main.h"
#include "app/MessageBoxPrompter.h"
#include "platform/DefaultShortcutMaker.h"
#include "platform/SystemProgramStarter.h"

#include <QApplication>

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
