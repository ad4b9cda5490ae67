// Copied into an installed program folder by the package test: starts a
// companion program by its bare name the way the main window does, so the
// lookup is exercised from the installed layout.
#include "platform/SystemProgramStarter.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: start_companion <bare program name>\n";
        return 2;
    }
    const QString name = QString::fromLocal8Bit(argv[1]);
    QTextStream(stdout) << platform::SystemProgramStarter::findProgram(name) << '\n';
    platform::SystemProgramStarter starter;
    const platform::StartResult result = starter.start(name, platform::WindowStyle::Hidden);
    if (!result.started) {
        QTextStream(stderr) << name << ": " << result.error << '\n';
        return 1;
    }
    return 0;
}
