#include "Version.h"
#include "companions/rendaro/Clock.h"
#include "companions/rendaro/Console.h"
#include "companions/rendaro/Launcher.h"
#include "companions/rendaro/Options.h"
#include "companions/rendaro/RunLog.h"
#include "companions/rendaro/RunReport.h"
#include "companions/rendaro/session/SessionWatch.h"

#include "base/CommandLine.h"
#include "companions/rendaro/session/DesktopNotice.h"
#include "companions/rendaro/session/SingleInstance.h"
#include "companions/rendaro/session/Stop.h"
#include "schedule/Companions.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>

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

} // namespace

int main(int argc, char *argv[])
{
    rendaro::attachConsole();
    // Each event is a line of its own, seen when it happens, also through a pipe.
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    rendaro::Stop stop;
    stop.catchSignals();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(schedule::kLauncherProgram);
    QCoreApplication::setApplicationVersion(QStringLiteral(VELLOMAR_VERSION));

    QTextStream out(stdout);
    QTextStream err(stderr);
    const rendaro::Command command = rendaro::readCommand(QCoreApplication::arguments());
    switch (command.action) {
    case rendaro::Command::Action::Refuse:
        err << "Rendaro.exe: " << command.text;
        return base::kUsageError;
    case rendaro::Command::Action::PrintHelp:
    case rendaro::Command::Action::PrintVersion:
        rendaro::answer(command.text, command.paragraphs);
        return 0;
    case rendaro::Command::Action::Run:
        break;
    }
    const rendaro::Options &options = command.options;

    if (options.log) {
        const QByteArray lines = rendaro::RunLog::tail(QStringLiteral("."), 50);
        std::fwrite(lines.constData(), 1, size_t(lines.size()), stdout);
        return 0;
    }

    std::unique_ptr<rendaro::Clock> clock;
    if (options.at)
        clock = std::make_unique<rendaro::ShiftedClock>(stop, *options.at);
    else
        clock = std::make_unique<rendaro::SystemClock>(stop);

    // One launcher per user and folder: a second would start every program twice.
    std::optional<rendaro::SingleInstance> instance;
    if (!options.list) {
        instance.emplace(QString::fromLatin1("rendaro"));
        if (instance->state() == rendaro::SingleInstance::Running) {
            const QString why = QStringLiteral("Rendaro.exe already runs for this folder (process %1); "
                                               "this one starts nothing")
                                    .arg(instance->holder());
            out << why << Qt::endl;
            rendaro::RunLog(QStringLiteral(".")).write(clock->now(), why);
            return 0;
        }
        // Without the lock a second launcher could start every program again.
        if (instance->state() == rendaro::SingleInstance::Unknown) {
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
    const int status =
        rendaro::runSchedule(options, {*clock, launch, [&stop] { return stop.reason(); }, styler}, out, err);
    // A run that ended by itself has let its window watchers finish. Threads
    // that cannot be stopped (a window watcher or a notice stuck on a display
    // or bus that does not answer, a session watch) are not waited for.
    if ((options.list || (options.once && !stop.requested())) && !rendaro::DesktopNotice::givenUp())
        return status;
    out.flush();
    err.flush();
    instance.reset();
    rendaro::launcherFinished();
    endNow(status);
}
