#include "companions/rendaro/Launcher.h"

#include "companions/rendaro/DayListFile.h"
#include "companions/rendaro/RunReport.h"
#include "companions/rendaro/Today.h"
#include "companions/rendaro/Waiting.h"
#include "companions/rendaro/WindowState.h"

#include "platform/LogonEntry.h"
#include "platform/Trust.h"
#include "schedule/Entry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <atomic>
#include <map>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace rendaro {

namespace {

QString describe(const schedule::Entry &entry)
{
    return QStringLiteral("%1 %2 %3").arg(entry.time, entry.styleCode, entry.path);
}

// How long the days already seen are remembered, so that a clock set back
// across midnight never starts an entry twice on the same date.
constexpr qint64 kRememberedDays = 8;

// What tells that a day list file changed: it is small, but a week of
// looking at it every minute is no reason to read it each time.
struct Signature {
    bool exists = false;
    qint64 size = 0;
    qint64 modified = 0;
    qint64 changed = 0;
    friend bool operator==(const Signature &, const Signature &) = default;
};

Signature signatureOf(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return {};
    return {true, info.size(), info.lastModified().toMSecsSinceEpoch(), info.metadataChangeTime().toMSecsSinceEpoch()};
}

// Whether others may change the working folder, said when they may.
bool workingFolderRefused(RunReport &report)
{
    const auto why = platform::untrustedBecause(QStringLiteral("."));
    if (why)
        report.trouble(QStringLiteral("refusing the working folder %1: %2; nothing is started")
                           .arg(QDir::toNativeSeparators(QDir::currentPath()), *why));
    return bool(why);
}

// The first line about a day's list: the day, the time, the file, how many entries.
QString listHeading(const schedule::Day &day, const QDateTime &now, qsizetype entries)
{
    return QStringLiteral("%1 %2: %3, %4 entries")
        .arg(QString(day.name), now.toString(QStringLiteral("yyyy-MM-dd HH:mm")), QString(day.listFile),
             QString::number(entries));
}

// The groups of lines of a list that are not entries.
void reportProblems(const schedule::DayList &list, const QString &fileName, RunReport &report)
{
    for (const QString &problem : list.problems())
        report.trouble(QStringLiteral("%1 %2: skipped, not started").arg(fileName, problem));
    if (list.problemCount() > list.problems().size())
        report.trouble(QStringLiteral("%1: %2 more groups of lines skipped, not started")
                           .arg(fileName)
                           .arg(list.problemCount() - list.problems().size()));
}

// A thread that sets the window states of started programs.
struct Watcher {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> finished;
};

class Launcher
{
public:
    Launcher(const Options &options, const Services &services, RunReport &report)
        : m_options(options), m_services(services), m_clock(services.clock), m_report(report)
    {
    }
    ~Launcher()
    {
        for (Watcher &watcher : m_watchers)
            watcher.thread.join();
    }

    int run();

private:
    // What one date has seen, by entry: which started (or failed, or were
    // left for next week), which were in its list at the last look, and when
    // that look was.
    struct Day {
        explicit Day(QDate date) : date(date), starts(date) {}
        QDate date;
        StartTimes starts;
        QSet<size_t> done;
        QSet<size_t> seen;
        std::optional<QDateTime> lastLook;
    };

    QString stopReason() const { return m_services.stopReason ? m_services.stopReason() : QString(); }
    Day &dayFor(QDate date);
    qsizetype endDay(Day &day);
    bool look(Day &day, const QDateTime &now);
    bool readList(Day &day, const QDateTime &now, bool dateChanged);
    void startDue(Day &day, const QDateTime &now);
    std::optional<QDateTime> nextStart(Day &day, const QDateTime &now);
    qsizetype left(Day &day);
    void reapWatchers(bool all);

    const Options &m_options;
    const Services &m_services;
    Clock &m_clock;
    RunReport &m_report;

    std::map<QDate, Day> m_days;
    QDate m_today;
    // The list of m_listDate as last read, ordered by time, with an
    // identity for each entry (its lines, and which of equal entries).
    schedule::DayList m_list{QByteArray()};
    QList<size_t> m_ids;
    QDate m_listDate;
    Signature m_signature;
    bool m_listRead = false; // read, or found missing; not refused

    int m_started = 0;
    qsizetype m_notStarted = 0;
    QDateTime m_waitingFor;
    std::vector<Watcher> m_watchers;
};

Launcher::Day &Launcher::dayFor(QDate date)
{
    // A day is over once the clock has gone past it; set back, it is not.
    if (m_today.isValid() && m_today < date) {
        Day &ended = m_days.at(m_today);
        if (const qsizetype count = endDay(ended))
            m_report.info(QStringLiteral("%1 ended: %2 entries not started").arg(QString(dayOf(ended.date).name)).arg(count));
    }
    m_today = date;
    for (auto it = m_days.begin(); it != m_days.end();)
        it = qAbs(it->first.daysTo(date)) > kRememberedDays ? m_days.erase(it) : std::next(it);
    return m_days.try_emplace(date, date).first->second;
}

// Closes a day that is over: its entries not started by now never start
// (the machine slept through their time). Returns how many those are.
qsizetype Launcher::endDay(Day &day)
{
    const qsizetype count = left(day);
    m_notStarted += count;
    if (m_listDate == day.date)
        for (qsizetype i = 0; i < m_list.size(); ++i)
            day.done.insert(m_ids[i]);
    return count;
}

qsizetype Launcher::left(Day &day)
{
    if (m_listDate != day.date)
        return 0;
    qsizetype count = 0;
    for (qsizetype i = 0; i < m_list.size(); ++i)
        count += !day.done.contains(m_ids[i]);
    return count;
}

// Reads the day's list again when it is new to this day or has changed since
// the last look. Returns false when the working folder is refused.
bool Launcher::look(Day &day, const QDateTime &now)
{
    const QString fileName = QString(dayOf(day.date).listFile);
    const Signature signature = signatureOf(fileName);
    if (m_listDate != day.date || signature != m_signature) {
        const bool dateChanged = m_listDate != day.date;
        m_listDate = day.date;
        m_signature = signature;
        m_list = schedule::DayList(QByteArray());
        m_ids.clear();
        if (workingFolderRefused(m_report))
            return false;
        m_listRead = readList(day, now, dateChanged);
    }
    // A refused list was not looked at: what it holds is not known.
    if (m_listRead)
        day.lastLook = now;
    return true;
}

bool Launcher::readList(Day &day, const QDateTime &now, bool dateChanged)
{
    const schedule::Day &weekday = dayOf(day.date);
    const QString fileName = QString(weekday.listFile);
    const bool first = !day.lastLook;
    DayListFile file = readDayListFile(fileName);
    if (file.status == DayListFile::Missing) {
        if (first)
            m_report.info(QStringLiteral("%1: no %2 here, nothing to start today").arg(QString(weekday.name), fileName));
        else if (!day.seen.isEmpty() && !dateChanged)
            m_report.info(QStringLiteral("%1 is gone: nothing more starts today").arg(fileName));
        day.seen.clear();
        return true;
    }
    if (file.status == DayListFile::Refused) {
        m_report.trouble(QStringLiteral("refusing %1: %2; nothing is started").arg(fileName, file.why));
        return false;
    }
    m_list = schedule::DayList(std::move(file.bytes));
    m_list.sortByTime();
    if (first)
        m_report.info(listHeading(weekday, now, m_list.size()));
    else if (!dateChanged)
        m_report.info(QStringLiteral("%1 changed: %2 entries").arg(fileName).arg(m_list.size()));
    reportProblems(m_list, fileName, m_report);

    // Equal entries are told apart by their order among themselves.
    QHash<size_t, int> equal;
    QSet<size_t> seen;
    m_ids.reserve(m_list.size());
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        const schedule::Entry entry = m_list.entry(i);
        const size_t lines = qHashMulti(0, entry.time, entry.styleCode, entry.path);
        const size_t id = qHashMulti(0, lines, equal[lines]++);
        m_ids.append(id);
        seen.insert(id);
        // Put in after its time had passed: it waits for its next day rather
        // than starting the moment it is recorded.
        if (!first && !day.seen.contains(id) && !day.done.contains(id)
            && day.starts.at(m_list.minutes(i)) <= *day.lastLook) {
            day.done.insert(id);
            m_report.info(QStringLiteral("added after its time, waits for next %1: %2").arg(QString(weekday.name), describe(entry)));
        }
    }
    day.seen = std::move(seen);
    return true;
}

// Starts the entries that are due now and have not started today; a watcher
// sets the window states of those that want Min or Max once their windows
// appear, while the programs still to start go on.
void Launcher::startDue(Day &day, const QDateTime &now)
{
    if (m_listDate != day.date)
        return;
    QList<PendingWindows> windows;
    for (qsizetype i = 0; i < m_list.size() && day.starts.at(m_list.minutes(i)) <= now; ++i) {
        if (day.done.contains(m_ids[i]))
            continue;
        day.done.insert(m_ids[i]);
        const schedule::Entry entry = m_list.entry(i);
        const vellomar::Result<qint64> launched = m_services.launch(entry.path, entry.style());
        if (!launched) {
            ++m_notStarted;
            m_report.trouble((launched.failure().denied ? QStringLiteral("refusing %1: %2; not started") : QStringLiteral("could not start %1: %2"))
                                 .arg(entry.path, launched.reason()));
            continue;
        }
        ++m_started;
        m_report.info(QStringLiteral("started %1 (process %2)").arg(describe(entry)).arg(*launched));
        if (entry.style() == schedule::RunStyle::Min || entry.style() == schedule::RunStyle::Max)
            windows.append({*launched, entry.style()});
    }
    if (windows.isEmpty())
        return;
    auto finished = std::make_shared<std::atomic<bool>>(false);
    m_watchers.push_back({std::thread([windows, finished] {
                              applyWindowStates(windows);
                              *finished = true;
                          }),
                          finished});
}

std::optional<QDateTime> Launcher::nextStart(Day &day, const QDateTime &now)
{
    if (m_listDate != day.date)
        return std::nullopt;
    for (qsizetype i = 0; i < m_list.size(); ++i) {
        const QDateTime start = day.starts.at(m_list.minutes(i));
        if (start > now && !day.done.contains(m_ids[i]))
            return start;
    }
    return std::nullopt;
}

void Launcher::reapWatchers(bool all)
{
    std::erase_if(m_watchers, [all](Watcher &watcher) {
        if (!all && !*watcher.finished)
            return false;
        watcher.thread.join();
        return true;
    });
}

int Launcher::run()
{
    for (;;) {
        reapWatchers(false);
        if (const QString why = stopReason(); !why.isEmpty()) {
            m_report.info(QStringLiteral("end of session (%1): %2 started, %3 not started").arg(why).arg(m_started).arg(m_notStarted));
            break;
        }
        const QDateTime now = m_clock.now();
        Day &day = dayFor(now.date());
        if (!look(day, now) && m_options.once)
            break;
        // The list as it is now, right before the start: the session may
        // have ended while it was read.
        if (stopReason().isEmpty())
            startDue(day, now);
        m_report.tellTroubles();

        const std::optional<QDateTime> next = nextStart(day, now);
        if (m_options.once && !next) {
            m_report.info(QStringLiteral("end of run: %1 started, %2 not started").arg(m_started).arg(m_notStarted));
            break;
        }
        const QDateTime target = next ? *next : day.date.addDays(1).startOfDay();
        if (target != m_waitingFor) {
            m_waitingFor = target;
            m_report.info(next ? QStringLiteral("waiting until %1").arg(next->toString(QStringLiteral("HH:mm")))
                               : QStringLiteral("nothing more today, waiting for %1").arg(QString(dayOf(target.date()).name)));
        }
        m_clock.sleep(nextNap(now, qMin(target, day.date.addDays(1).startOfDay())));
        if (m_options.once && m_clock.now().date() != day.date) {
            m_report.info(QStringLiteral("midnight: %1 entries not started today").arg(endDay(day)));
            m_report.info(QStringLiteral("end of run: %1 started, %2 not started").arg(m_started).arg(m_notStarted));
            break;
        }
    }
    m_report.tellTroubles();
    reapWatchers(true);
    return m_report.clean() ? 0 : 1;
}

// Tells what today would do, starting nothing.
int listToday(const QDateTime &now, RunReport &report, QTextStream &out)
{
    const QDate today = now.date();
    const schedule::Day &day = dayOf(today);
    const QString fileName = QString(day.listFile);
    if (workingFolderRefused(report))
        return 1;
    DayListFile file = readDayListFile(fileName);
    if (file.status == DayListFile::Missing) {
        report.info(QStringLiteral("%1: no %2 here, nothing to start today").arg(QString(day.name), fileName));
    } else if (file.status == DayListFile::Refused) {
        report.trouble(QStringLiteral("refusing %1: %2; nothing is started").arg(fileName, file.why));
    } else {
        schedule::DayList entries(std::move(file.bytes));
        entries.sortByTime();
        report.info(listHeading(day, now, entries.size()));
        reportProblems(entries, fileName, report);
        // On the night the clock changes, a time alone may name two moments.
        const bool clockChanges = today.startOfDay().offsetFromUtc() != today.addDays(1).startOfDay().offsetFromUtc();
        const QString format = clockChanges ? QStringLiteral("HH:mm t") : QStringLiteral("HH:mm");
        StartTimes starts(today);
        for (qsizetype i = 0; i < entries.size(); ++i) {
            const QDateTime start = starts.at(entries.minutes(i));
            out << describe(entries.entry(i)) << ": "
                << (start <= now ? QStringLiteral("would start at once") : QStringLiteral("would start at %1").arg(start.toString(format)))
                << Qt::endl;
        }
    }
    out << platform::judgeLogonEntry(QStringLiteral("Rendaro"), QCoreApplication::applicationFilePath()).line() << Qt::endl;
    out << QStringLiteral("Started without --once, Rendaro.exe stays for the session and starts each day's entries on that day.")
        << Qt::endl;
    return report.clean() ? 0 : 1;
}

} // namespace

int runSchedule(const Options &options, const Services &services, QTextStream &out, QTextStream &err)
{
    RunReport report(services.clock, out, err, options.list);
    if (options.list)
        return listToday(services.clock.now(), report, out);
    if (workingFolderRefused(report)) {
        report.info(QStringLiteral("end of run: 0 started, 0 not started"));
        report.tellTroubles();
        return 1;
    }
    return Launcher(options, services, report).run();
}

} // namespace rendaro
