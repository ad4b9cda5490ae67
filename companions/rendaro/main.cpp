#include "companions/rendaro/Clock.h"
#include "companions/rendaro/Launcher.h"
#include "companions/rendaro/Options.h"
#include "companions/rendaro/RunLog.h"
#include "companions/rendaro/RunReport.h"
#include "companions/rendaro/SessionWatch.h"
#include "Version.h"

#include "platform/CommandLine.h"
#include "platform/DesktopNotice.h"
#include "platform/SingleInstance.h"
#include "platform/Stop.h"
#include "schedule/Companions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace {

// Ends the program without waiting for threads that cannot be stopped (a
// notice or a session watch stuck on a bus that does not answer): what
// matters is written through already.
[[noreturn]] void endNow(int status)
{
    std::fflush(stdout);
    std::fflush(stderr);
    std::_Exit(status);
}

#ifdef Q_OS_WIN
bool g_console = false;
#endif

// Started from a console, or with its output sent somewhere: an answer goes
// there. Started on Windows without either, as from Explorer, it goes in a
// message box, in paragraphs rather than the console's columns.
void answer(const QString &text, const QString &paragraphs)
{
#ifdef Q_OS_WIN
    if (!g_console) {
        MessageBoxW(nullptr, reinterpret_cast<LPCWSTR>(paragraphs.utf16()), L"Rendaro.exe", MB_OK | MB_ICONINFORMATION);
        return;
    }
#else
    Q_UNUSED(paragraphs)
#endif
    QTextStream(stdout) << text;
}

} // namespace

int main(int argc, char *argv[])
{
#ifdef Q_OS_WIN
    // Built without a console so that logon shows no window; started from a
    // console (--list, --help), it writes to that console.
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
        g_console = true;
    } else {
        g_console = GetFileType(GetStdHandle(STD_OUTPUT_HANDLE)) != FILE_TYPE_UNKNOWN; // a file or a pipe
    }
#endif
    // Each event is a line of its own, seen when it happens, also through a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    platform::Stop stop;
    stop.catchSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(schedule::kLauncherProgram);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELLOMAR_VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Starts the programs of the schedule in the working folder, each on its day at its time.\n"
        "Without options it does its logon job and stays for the session: each day it reads\n"
        "that day's list file (datmon.dat on Monday ... datsun.dat on Sunday) and starts each\n"
        "entry once, after its time; what is due at logon, or on waking on a later day,\n"
        "starts at once. A list that changes is read again; an entry put in after its time\n"
        "waits for its next day. It ends with the session, or on SIGTERM or SIGHUP. One runs\n"
        "per user and folder. What it does goes to rendaro.log in the working folder."));
    const QCommandLineOption once(QStringLiteral("once"),
                                  QStringLiteral("Start today's entries at their times, then end (at midnight at the latest)."));
    const QCommandLineOption list(QStringLiteral("list"), QStringLiteral("Print today's entries and what would be done; start nothing."));
    const QCommandLineOption at(QStringLiteral("at"),
                                QStringLiteral("Act as if it were this local time (seconds optional); the clock runs on from there."),
                                QStringLiteral("YYYY-MM-DDTHH:MM[:SS]"));
    const QCommandLineOption log(QStringLiteral("log"), QStringLiteral("Print the last 50 lines of rendaro.log, what the runs in this folder did."));
    QTextStream out(stdout);
    QTextStream err(stderr);
    const platform::CommandLine command =
        platform::readCommandLine(parser, {once, list, at, log}, QCoreApplication::arguments());
    switch (command.action) {
    case platform::CommandLine::Action::Refuse:
        err << "Rendaro.exe: " << command.text << "\n" << parser.helpText();
        return platform::kUsageError;
    case platform::CommandLine::Action::PrintHelp: {
        QString paragraphs = parser.applicationDescription().replace(u'\n', u' ') + u'\n';
        for (const QCommandLineOption *option :
             {&platform::helpOption(), &platform::versionOption(), &once, &list, &at, &log})
            paragraphs += QStringLiteral("\n--") + option->names().constLast() + (option->valueName().isEmpty() ? QString() : u' ' + option->valueName())
                          + QStringLiteral(": ") + option->description();
        answer(command.text, paragraphs);
        return 0;
    }
    case platform::CommandLine::Action::PrintVersion:
        answer(command.text, command.text);
        return 0;
    case platform::CommandLine::Action::Run:
        break;
    }

    if (parser.isSet(log)) {
        const QByteArray lines = rendaro::RunLog::tail(QStringLiteral("."), 50);
        std::fwrite(lines.constData(), 1, size_t(lines.size()), stdout);
        return 0;
    }

    rendaro::Options options;
    options.list = parser.isSet(list);
    options.once = parser.isSet(once);
    std::unique_ptr<rendaro::Clock> clock;
    if (parser.isSet(at)) {
        const std::optional<QDateTime> shifted = rendaro::parseAt(parser.value(at));
        if (!shifted) {
            err << "Rendaro.exe: --at wants a local time as YYYY-MM-DDTHH:MM, not " << parser.value(at) << "\n";
            return platform::kUsageError;
        }
        clock = std::make_unique<rendaro::ShiftedClock>(stop, *shifted);
    } else {
        clock = std::make_unique<rendaro::SystemClock>(stop);
    }

    // One launcher per user and folder: a second would start every program twice.
    std::optional<platform::SingleInstance> instance;
    if (!options.list) {
        instance.emplace(QString::fromLatin1("rendaro"));
        if (instance->state() == platform::SingleInstance::Running) {
            const QString why = QStringLiteral("Rendaro.exe already runs for this folder (process %1); "
                                               "this one starts nothing")
                                    .arg(instance->holder());
            out << why << Qt::endl;
            rendaro::RunLog(QStringLiteral(".")).write(clock->now(), why);
            return 0;
        }
        // Without the lock a second launcher could start every program again.
        if (instance->state() == platform::SingleInstance::Unknown) {
            {
                rendaro::RunReport report(*clock, out, err, false);
                report.trouble(QStringLiteral("cannot make sure that only one Rendaro.exe runs for this folder (%1); "
                                              "this one starts nothing")
                                   .arg(instance->problem()));
                report.tellTroubles();
            }
            endNow(1);
        }
    }
    if (!options.list && !options.once)
        rendaro::watchSession(stop);

    // Where the desktop needs it, a program is started so that its windows
    // open where the styler can reach them.
    const std::shared_ptr<rendaro::WindowStyler> styler = rendaro::sessionWindowStyler();
    const auto launch = [styler](const QString &path, schedule::RunStyle style) {
        return rendaro::launchProgram(path, style, styler->environment(style));
    };
    const int status = rendaro::runSchedule(options, {*clock, launch, [&stop] { return stop.reason(); }, styler}, out, err);
    // A run that ended by itself has let its window watchers finish. Threads
    // that cannot be stopped (a window watcher or a notice stuck on a display
    // or bus that does not answer, a session watch) are not waited for.
    if ((options.list || (options.once && !stop.requested())) && !platform::DesktopNotice::givenUp())
        return status;
    out.flush();
    err.flush();
    instance.reset();
    rendaro::launcherFinished();
    endNow(status);
}
