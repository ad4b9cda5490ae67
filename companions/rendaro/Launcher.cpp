#include "companions/rendaro/Launcher.h"

#include "companions/rendaro/DaySchedule.h"
#include "companions/rendaro/RunReport.h"
#include "companions/rendaro/Waiting.h"
#include "companions/rendaro/session/WindowState.h"

#include "platform/LogonEntry.h"
#include "platform/Trust.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <thread>

namespace rendaro {

namespace {

// How many dates are remembered, so that a clock set back (or forward and
// back) never starts an entry twice on the same date.
constexpr size_t kRememberedDates = 64;

class Launcher
{
public:
    Launcher(const Options &options, const Services &services, const std::shared_ptr<RunReport> &report)
        : m_options(options)
        , m_services(services)
        , m_shared(report)
        , m_report(*report)
        , m_folder(QDir::currentPath())
    {
    }

    int run();

private:
    DaySchedule &dayFor(QDate date);
    void followWorkingFolder();
    void watchWindows(const QList<PendingWindows> &windows);
    void waitForWatchers();

    const Options &m_options;
    const Services &m_services;
    const std::shared_ptr<RunReport> m_shared; // window watchers may outlive the run
    RunReport &m_report;
    const QString m_folder;

    std::map<QDate, DaySchedule> m_days;
    QDate m_today;
    DaySchedule::Counts m_counts;
    QDateTime m_waitingFor;
    bool m_trusted = true;
    // Window watchers run on their own and are never waited for on a stop.
    std::shared_ptr<std::atomic<int>> m_watching = std::make_shared<std::atomic<int>>(0);
};

DaySchedule &Launcher::dayFor(QDate date)
{
    // A day is over once the clock has gone past it; set back, it is not.
    if (m_today.isValid() && m_today < date) {
        DaySchedule &ended = m_days.at(m_today);
        if (const qsizetype count = ended.close()) {
            m_counts.notStarted += count;
            m_report.info(
                QStringLiteral("%1 ended: %2 entries not started").arg(QString(dayOf(ended.date()).name)).arg(count));
        }
    }
    m_today = date;
    if (m_days.size() >= kRememberedDates && !m_days.contains(date))
        m_days.erase(m_days.begin());
    return m_days.try_emplace(date, date).first->second;
}

// The working folder deleted and made again under the launcher: the folder
// of that name is the schedule's, not the deleted one it still stands in.
void Launcher::followWorkingFolder()
{
    if (platform::sameFile(m_folder, QStringLiteral(".")) || !QFileInfo(m_folder).isDir())
        return;
    if (!QDir::setCurrent(m_folder))
        return;
    m_report.reopenLog();
    m_report.info(QStringLiteral("the working folder %1 was made anew; looking at it again")
                      .arg(QDir::toNativeSeparators(m_folder)));
}

// Gives the programs just started their window style, once their windows
// appear, while the programs still to start go on; a style that could not
// be applied is a line in the log.
void Launcher::watchWindows(const QList<PendingWindows> &windows)
{
    if (windows.isEmpty() || !m_services.styler)
        return;
    ++*m_watching;
    std::thread([windows, watching = m_watching, services = m_services, report = m_shared] {
        const auto stopped = [&services] { return services.stopped(); };
        for (const StyleMissed &missed : services.styler->apply(windows, stopped))
            if (!stopped())
                report->info(QStringLiteral("%1 not applied to %2: %3")
                                 .arg(QString(schedule::runStyleName(missed.program.style).code), missed.program.entry,
                                      missed.why));
        --*watching;
    }).detach();
}

// A run that ends by itself (--once) lets its watchers finish their work.
void Launcher::waitForWatchers()
{
    while (*m_watching > 0 && !m_services.stopped())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
}

int Launcher::run()
{
    for (;;) {
        if (const QString why = m_services.stopWord(); !why.isEmpty()) {
            m_report.info(QStringLiteral("end of session (%1): %2 started, %3 not started")
                              .arg(why)
                              .arg(m_counts.started)
                              .arg(m_counts.notStarted));
            break;
        }
        followWorkingFolder();
        const QDateTime now = m_services.clock.now();
        DaySchedule &day = dayFor(now.date());
        const bool trusted = day.look(now, m_report);
        if (trusted && !m_trusted) // the log is kept only in a folder nobody else may change
            m_report.reopenLog();
        m_trusted = trusted;
        QList<PendingWindows> windows;
        day.startDue(
            now, m_services.launch, [this] { return m_services.stopped(); }, m_report, m_counts, windows);
        watchWindows(windows);
        m_report.tellTroubles();

        const std::optional<QDateTime> next = day.next(now);
        if (m_options.once && (!next || !trusted)) {
            m_report.info(QStringLiteral("end of run: %1 started, %2 not started")
                              .arg(m_counts.started)
                              .arg(m_counts.notStarted));
            break;
        }
        const QDateTime midnight = day.date().addDays(1).startOfDay();
        const QDateTime target = next ? *next : midnight;
        if (target != m_waitingFor && trusted) {
            m_waitingFor = target;
            m_report.info(
                next ? QStringLiteral("waiting until %1").arg(next->toString(QStringLiteral("HH:mm")))
                     : QStringLiteral("nothing more today, waiting for %1").arg(QString(dayOf(target.date()).name)));
        }
        m_services.clock.sleep(nextNap(now, qMin(target, midnight)));
        if (m_options.once && m_services.clock.now().date() != day.date()) {
            const qsizetype left = day.close();
            m_counts.notStarted += left;
            m_report.info(QStringLiteral("midnight: %1 entries not started today").arg(left));
            m_report.info(QStringLiteral("end of run: %1 started, %2 not started")
                              .arg(m_counts.started)
                              .arg(m_counts.notStarted));
            break;
        }
    }
    m_report.tellTroubles();
    waitForWatchers();
    return m_report.clean() ? 0 : 1;
}

} // namespace

int runSchedule(const Options &options, const Services &services, QTextStream &out, QTextStream &err)
{
    const auto shared = std::make_shared<RunReport>(services.clock, out, err, options.list);
    RunReport &report = *shared;
    if (options.list) {
        const QDateTime now = services.clock.now();
        DaySchedule today(now.date());
        today.look(now, report);
        today.tell(now, out);
        out << platform::judgeLogonEntry(QStringLiteral("Rendaro"), QCoreApplication::applicationFilePath()).line()
            << Qt::endl;
        if (services.styler)
            for (const schedule::RunStyle style :
                 {schedule::RunStyle::Hide, schedule::RunStyle::Min, schedule::RunStyle::Max})
                out << QStringLiteral("%1 in this session: %2")
                           .arg(QString(schedule::runStyleName(style).code), services.styler->how(style))
                    << Qt::endl;
        out << QStringLiteral(
            "Started without --once, Rendaro.exe stays for the session and starts each day's entries on that day.")
            << Qt::endl;
        return report.clean() ? 0 : 1;
    }
    return Launcher(options, services, shared).run();
}

} // namespace rendaro
