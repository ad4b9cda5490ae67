#include "app/CommandLine.h"
#include "app/Fonts.h"
#include "app/Main.h"
#include "app/MessageBoxPrompter.h"
#include "platform/DefaultShortcutMaker.h"
#include "platform/SystemProgramStarter.h"
#include "Version.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    if (const std::optional<QString> answer = commandLineAnswer(arguments)) {
        std::fputs(answer->toLocal8Bit().constData(), stdout);
        return 0;
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
