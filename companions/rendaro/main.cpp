#include "Clock.h"
#include "schedule/Companions.h"
#include "Launcher.h"
#include "Options.h"
#include "RunLog.h"
#include "Version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <memory>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    // Built without a console so that logon shows no window; started from a
    // console (--list, --help), it writes to that console.
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(schedule::kLauncherProgram);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELLOMAR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Starts today's programs of the schedule in the working folder, each at its time.\n"
        "Without options it does its logon job: it reads today's day list file\n"
        "(datmon.dat on Monday ... datsun.dat on Sunday) and exits once all are started\n"
        "or at midnight. What it does goes to rendaro.log in the working folder."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption list(QStringLiteral("list"), QStringLiteral("Print today's entries and what would be done; start nothing."));
    const QCommandLineOption at(QStringLiteral("at"),
                                QStringLiteral("Act as if it were this local time (seconds optional); the clock runs on from there."),
                                QStringLiteral("YYYY-MM-DDTHH:MM[:SS]"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Print the last 50 lines of rendaro.log, what the runs in this folder did."));
    parser.addOption(list);
    parser.addOption(at);
    parser.addOption(log);
    parser.process(app);

    QTextStream out(stdout);
    QTextStream err(stderr);
    if (!parser.positionalArguments().isEmpty()) {
        err << "Rendaro.exe: unexpected argument " << parser.positionalArguments().first()
            << "\n" << parser.helpText();
        return 2;
    }

    if (parser.isSet(log)) {
        const QByteArray lines = rendaro::RunLog::tail(QStringLiteral("."), 50);
        std::fwrite(lines.constData(), 1, size_t(lines.size()), stdout);
        return 0;
    }

    rendaro::Options options;
    options.list = parser.isSet(list);
    std::unique_ptr<rendaro::Clock> clock;
    if (parser.isSet(at)) {
        options.at = rendaro::parseAt(parser.value(at));
        if (!options.at) {
            err << "Rendaro.exe: --at wants a local time as YYYY-MM-DDTHH:MM, not " << parser.value(at) << "\n";
            return 2;
        }
        clock = std::make_unique<rendaro::ShiftedClock>(*options.at);
    } else {
        clock = std::make_unique<rendaro::SystemClock>();
    }
    return rendaro::runToday(options, *clock, out, err);
}
