#include "Launcher.h"

#include "Launch.h"
#include "Today.h"
#include "Waiting.h"
#include "WindowState.h"

#include "platform/Trust.h"
#include "schedule/Entry.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

namespace rendaro {

namespace {

// A day list holds a few entries of four short lines; anything far larger
// is not one.
constexpr qint64 kMaxDayListSize = 16 * 1024 * 1024;

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
            err << tr("Rendaro.exe: could not start %1: %2").arg(entry.path, launched.error) << Qt::endl;
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
    QFile file(fileName);
    if (!file.exists()) {
        out << tr("%1: no %2 here, nothing to start today").arg(QString(day.name), fileName) << Qt::endl;
        return 0;
    }
    if (const auto why = platform::untrustedBecause(fileName)) {
        err << tr("Rendaro.exe: refusing %1: %2; nothing is started").arg(fileName, *why) << Qt::endl;
        return 1;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        err << tr("Rendaro.exe: cannot read %1: %2").arg(fileName, file.errorString()) << Qt::endl;
        return 1;
    }
    if (file.size() > kMaxDayListSize) {
        err << tr("Rendaro.exe: %1 is too large to be a day list; nothing is started").arg(fileName) << Qt::endl;
        return 1;
    }
    const QByteArray bytes = file.read(kMaxDayListSize + 1);
    file.close();

    bool clean = true;
    QStringList problems;
    const QList<schedule::Entry> entries = inStartOrder(schedule::parseDayList(bytes, &problems));
    for (const QString &problem : problems) {
        err << tr("Rendaro.exe: %1 %2: skipped, not started").arg(fileName, problem) << Qt::endl;
        clean = false;
    }

    out << tr("%1 %2: %3, %4 entries")
               .arg(QString(day.name), started.toString(QStringLiteral("yyyy-MM-dd HH:mm")), fileName,
                    QString::number(entries.size()))
        << Qt::endl;

    if (options.list) {
        for (const schedule::Entry &entry : entries) {
            const bool due = startTime(today, entry) <= started;
            out << describe(entry) << ": "
                << (due ? tr("would start at once") : tr("would start at %1").arg(entry.time)) << Qt::endl;
        }
        return clean ? 0 : 1;
    }

    qsizetype next = 0;
    while (next < entries.size()) {
        const QDateTime target = startTime(today, entries[next]);
        if (clock.now() < target) {
            out << tr("waiting until %1").arg(entries[next].time) << Qt::endl;
            if (waitUntil(clock, target, today) == WaitOutcome::Midnight) {
                out << tr("midnight: %1 entries not started today").arg(entries.size() - next)
                    << Qt::endl;
                return clean ? 0 : 1;
            }
        }
        // Everything that is due by now starts together.
        const QDateTime now = clock.now();
        QList<schedule::Entry> batch;
        while (next < entries.size() && startTime(today, entries[next]) <= now)
            batch.append(entries[next++]);
        clean = startBatch(batch, out, err) && clean;
    }
    return clean ? 0 : 1;
}

} // namespace rendaro
