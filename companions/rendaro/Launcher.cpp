#include "Launcher.h"

#include "DayListFile.h"
#include "RunLog.h"
#include "Launch.h"
#include "Today.h"
#include "Waiting.h"
#include "WindowState.h"

#include "platform/DesktopNotice.h"
#include "platform/Trust.h"
#include "schedule/Entry.h"

#include <QCoreApplication>
#include <QDir>

#include <optional>
#include <thread>
#include <vector>

namespace rendaro {

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("rendaro", text);
}

QString describe(const schedule::Entry &entry)
{
    return QStringLiteral("%1 %2 %3").arg(entry.time, entry.styleCode, entry.path);
}

// What a run tells: each event on the console and in the log, and the first
// trouble of the run (an entry skipped, a list refused, a program that did
// not start) once on the desktop as well. Listing runs keep no log and show
// no notice.
class RunReport
{
public:
    RunReport(Clock &clock, QTextStream &out, QTextStream &err, bool quiet)
        : m_clock(clock), m_out(out), m_err(err)
    {
        if (!quiet) {
            m_log.emplace(QStringLiteral("."));
            m_notice.emplace();
        }
    }

    void info(const QString &text)
    {
        m_out << text << Qt::endl;
        if (m_log)
            m_log->write(m_clock.now(), text);
    }
    void trouble(const QString &text)
    {
        m_err << "Rendaro.exe: " << text << Qt::endl;
        if (m_log)
            m_log->write(m_clock.now(), text);
        if (m_troubles++ == 0)
            m_first = text;
    }
    // Shows the notice of this run's troubles, if any and not shown yet;
    // the programs still to start do not wait for the user to read it.
    void tellTroubles()
    {
        if (!m_notice || m_told || m_troubles == 0)
            return;
        m_told = true;
        QString first = m_first;
        first[0] = first[0].toUpper();
        m_notice->show(QStringLiteral("Rendaro"),
                       (m_troubles > 1 ? tr("%1 (and %2 more)").arg(first).arg(m_troubles - 1) : first) + u'\n'
                           + tr("See %1 in %2.").arg(QString::fromLatin1(RunLog::kFileName),
                                                    QDir::toNativeSeparators(QDir::currentPath())));
    }
    bool clean() const { return m_troubles == 0; }
    int finish(int started, qsizetype notStarted)
    {
        tellTroubles();
        if (m_log)
            info(tr("end of run: %1 started, %2 not started").arg(started).arg(notStarted));
        return clean() ? 0 : 1;
    }

private:
    Clock &m_clock;
    QTextStream &m_out;
    QTextStream &m_err;
    std::optional<RunLog> m_log;
    std::optional<platform::DesktopNotice> m_notice;
    qsizetype m_troubles = 0;
    QString m_first;
    bool m_told = false;
};

// Starts the entries that are due now; a watcher sets the window states of
// those that want Min or Max once their windows appear, while the programs
// still to start go on. Returns how many started.
int startBatch(const QList<schedule::Entry> &batch, RunReport &report, std::vector<std::thread> &watchers)
{
    int started = 0;
    QList<PendingWindows> windows;
    for (const schedule::Entry &entry : batch) {
        const Launched launched = launchProgram(entry.path, entry.style());
        if (!launched.ok) {
            report.trouble((launched.refused ? tr("refusing %1: %2; not started") : tr("could not start %1: %2"))
                               .arg(entry.path, launched.error));
            continue;
        }
        ++started;
        report.info(tr("started %1 (process %2)").arg(describe(entry)).arg(launched.pid));
        if (entry.style() == schedule::RunStyle::Min || entry.style() == schedule::RunStyle::Max)
            windows.append({launched.pid, entry.style()});
    }
    report.tellTroubles();
    if (!windows.isEmpty())
        watchers.emplace_back([windows] { applyWindowStates(windows); });
    return started;
}

} // namespace

int runToday(const Options &options, Clock &clock, QTextStream &out, QTextStream &err)
{
    const QDateTime started = clock.now();
    const QDate today = started.date();
    const schedule::Day &day = dayOf(today);
    const QString fileName = QString(day.listFile);
    const QString folder = QDir::currentPath();
    RunReport report(clock, out, err, options.list);

    if (const auto why = platform::untrustedBecause(QStringLiteral("."))) {
        report.trouble(tr("refusing the working folder %1: %2; nothing is started")
                           .arg(QDir::toNativeSeparators(folder), *why));
        return report.finish(0, 0);
    }
    DayListFile file = readDayListFile(fileName);
    if (file.status == DayListFile::Missing) {
        report.info(tr("%1: no %2 here, nothing to start today").arg(QString(day.name), fileName));
        return report.finish(0, 0);
    }
    if (file.status == DayListFile::Refused) {
        report.trouble(tr("refusing %1: %2; nothing is started").arg(fileName, file.why));
        return report.finish(0, 0);
    }

    schedule::DayList entries(std::move(file.bytes));
    entries.sortByTime();
    report.info(tr("%1 %2: %3, %4 entries")
                    .arg(QString(day.name), started.toString(QStringLiteral("yyyy-MM-dd HH:mm")), fileName,
                         QString::number(entries.size())));
    for (const QString &problem : entries.problems())
        report.trouble(tr("%1 %2: skipped, not started").arg(fileName, problem));
    if (entries.problemCount() > entries.problems().size())
        report.trouble(tr("%1: %2 more groups of lines skipped, not started")
                           .arg(fileName)
                           .arg(entries.problemCount() - entries.problems().size()));

    StartTimes starts(today);
    if (options.list) {
        // On the night the clock changes, a time alone may name two moments.
        const bool clockChanges = today.startOfDay().offsetFromUtc() != today.addDays(1).startOfDay().offsetFromUtc();
        const QString format = clockChanges ? QStringLiteral("HH:mm t") : QStringLiteral("HH:mm");
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QDateTime start = starts.at(entries.minutes(i));
            out << describe(entries.entry(i)) << ": "
                << (start <= started ? tr("would start at once") : tr("would start at %1").arg(start.toString(format)))
                << Qt::endl;
        }
        return report.clean() ? 0 : 1;
    }

    report.tellTroubles();
    int startedCount = 0;
    std::vector<std::thread> watchers;
    qsizetype next = 0;
    while (next < entries.size()) {
        const QDateTime target = starts.at(entries.minutes(next));
        if (clock.now() < target) {
            report.info(tr("waiting until %1").arg(target.toString(QStringLiteral("HH:mm"))));
            if (waitUntil(clock, target, today) == WaitOutcome::Midnight) {
                report.info(tr("midnight: %1 entries not started today").arg(entries.size() - next));
                break;
            }
        }
        // Everything that is due by now starts together.
        const QDateTime now = clock.now();
        QList<schedule::Entry> batch;
        while (next < entries.size() && starts.at(entries.minutes(next)) <= now)
            batch.append(entries.entry(next++));
        startedCount += startBatch(batch, report, watchers);
    }
    for (std::thread &watcher : watchers)
        watcher.join();
    return report.finish(startedCount, entries.size() - startedCount);
}

} // namespace rendaro
