#include "Launcher.h"

#include "DayListFile.h"
#include "Launch.h"
#include "Today.h"
#include "Waiting.h"
#include "WindowState.h"

#include "platform/Trust.h"
#include "schedule/Entry.h"

#include <QCoreApplication>
#include <QDir>

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

// Starts the entries that are due now and sets the window states of those
// that want Min or Max.
bool startBatch(const QList<schedule::Entry> &batch, QTextStream &out, QTextStream &err)
{
    bool allStarted = true;
    QList<PendingWindows> windows;
    for (const schedule::Entry &entry : batch) {
        const Launched launched = launchProgram(entry.path, entry.style());
        if (!launched.ok) {
            err << (launched.refused ? tr("Rendaro.exe: refusing %1: %2; not started")
                                     : tr("Rendaro.exe: could not start %1: %2"))
                       .arg(entry.path, launched.error)
                << Qt::endl;
            allStarted = false;
            continue;
        }
        out << tr("started %1").arg(describe(entry)) << Qt::endl;
        if (entry.style() == schedule::RunStyle::Min || entry.style() == schedule::RunStyle::Max)
            windows.append({launched.pid, entry.style()});
    }
    applyWindowStates(windows);
    return allStarted;
}

} // namespace

int runToday(const Options &options, Clock &clock, QTextStream &out, QTextStream &err)
{
    const QDateTime started = clock.now();
    const QDate today = started.date();
    const schedule::Day &day = dayOf(today);
    const QString fileName = QString(day.listFile);
    const QString folder = QDir::currentPath();

    if (const auto why = platform::untrustedBecause(folder)) {
        err << tr("Rendaro.exe: refusing the working folder %1: %2; nothing is started")
                   .arg(QDir::toNativeSeparators(folder), *why)
            << Qt::endl;
        return 1;
    }
    DayListFile file = readDayListFile(fileName);
    if (file.status == DayListFile::Missing) {
        out << tr("%1: no %2 here, nothing to start today").arg(QString(day.name), fileName) << Qt::endl;
        return 0;
    }
    if (file.status == DayListFile::Refused) {
        err << tr("Rendaro.exe: refusing %1: %2; nothing is started").arg(fileName, file.why) << Qt::endl;
        return 1;
    }

    schedule::DayList entries(std::move(file.bytes));
    entries.sortByTime();
    bool clean = entries.problemCount() == 0;
    for (const QString &problem : entries.problems())
        err << tr("Rendaro.exe: %1 %2: skipped, not started").arg(fileName, problem) << Qt::endl;
    if (entries.problemCount() > entries.problems().size())
        err << tr("Rendaro.exe: %1: %2 more groups of lines skipped, not started")
                   .arg(fileName)
                   .arg(entries.problemCount() - entries.problems().size())
            << Qt::endl;

    out << tr("%1 %2: %3, %4 entries")
               .arg(QString(day.name), started.toString(QStringLiteral("yyyy-MM-dd HH:mm")), fileName,
                    QString::number(entries.size()))
        << Qt::endl;

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
        return clean ? 0 : 1;
    }

    qsizetype next = 0;
    while (next < entries.size()) {
        const QDateTime target = starts.at(entries.minutes(next));
        if (clock.now() < target) {
            out << tr("waiting until %1").arg(target.toString(QStringLiteral("HH:mm"))) << Qt::endl;
            if (waitUntil(clock, target, today) == WaitOutcome::Midnight) {
                out << tr("midnight: %1 entries not started today").arg(entries.size() - next) << Qt::endl;
                return clean ? 0 : 1;
            }
        }
        // Everything that is due by now starts together.
        const QDateTime now = clock.now();
        QList<schedule::Entry> batch;
        while (next < entries.size() && starts.at(entries.minutes(next)) <= now)
            batch.append(entries.entry(next++));
        clean = startBatch(batch, out, err) && clean;
    }
    return clean ? 0 : 1;
}

} // namespace rendaro
