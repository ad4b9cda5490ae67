// The launcher Rendaro.exe: what it costs while it waits for an entry that
// is due later (resident memory, and wake-ups per hour counted as the
// voluntary context switches of all its threads), and how long it takes
// from its start until the last of 100 due programs has started.

#include "bench/EntryFolder.h"
#include "bench/Spawn.h"

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <signal.h>

#include <chrono>
#include <fstream>
#include <optional>

namespace {

// 2026-12-07 is a Monday: the launcher reads datmon.dat.
const char *const kMonday = "2026-12-07";

std::string rendaro()
{
    return bench::binDir() + "/Rendaro.exe";
}

// A field of /proc/<pid>/status ("VmRSS", "voluntary_ctxt_switches"), as a number.
std::optional<long long> statusField(const std::string &file, const std::string &field)
{
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line))
        if (line.compare(0, field.size() + 1, field + ":") == 0)
            return std::stoll(line.substr(field.size() + 1));
    return std::nullopt;
}

long long voluntarySwitches(pid_t pid)
{
    long long total = 0;
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        total += statusField((tasks + u'/' + task + QStringLiteral("/status")).toStdString(), "voluntary_ctxt_switches")
                     .value_or(0);
    return total;
}

bool writeDayList(const QString &folder, const QByteArray &bytes)
{
    QFile f(folder + QStringLiteral("/datmon.dat"));
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size()
           && f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

// Range 0: --once, the launcher of a single day; 1: the launcher that stays
// for the session. Range 2: the latter over a simulated week, one entry a
// day, its clock sped up 6000 times by libfaketime (a week in 101 s); its
// wake-ups are counted per simulated hour. libfaketime shortens a sleep to
// whole milliseconds, so the speed is one at which a minute's nap stays
// whole: 10 ms.
void BM_LauncherWaiting(benchmark::State &state)
{
    const bool week = state.range(0) == 2;
    constexpr double kWeekSpeed = 6000;
    const int seconds = week ? int(7 * 24 * 3600 / kWeekSpeed) + 1
                        : qEnvironmentVariableIntValue("VELLOMAR_BENCH_IDLE_SECONDS") > 0
                            ? qEnvironmentVariableIntValue("VELLOMAR_BENCH_IDLE_SECONDS")
                            : 90;
    const double speed = week ? kWeekSpeed : 1;
    const QString folder = bench::emptyFolder(QStringLiteral("launcher-waiting-%1").arg(state.range(0)));
    bool written = true;
    for (const char *day : {"mon", "tue", "wed", "thu", "fri", "sat", "sun"}) {
        QFile f(folder + QStringLiteral("/dat%1.dat").arg(QString::fromLatin1(day)));
        written = written && f.open(QIODevice::WriteOnly | QIODevice::Truncate)
                  && f.write(QByteArray(day == std::string("mon") ? "23:45" : "12:00")
                             + "\r\n/bin/true\r\nHide\r\nMonday\r\n")
                         > 0
                  && f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    }
    if (!written) {
        state.SkipWithError("cannot write the day lists");
        return;
    }
    std::vector<std::string> args{"--at", std::string(kMonday) + "T00:00"}, env;
    if (state.range(0) == 0)
        args.insert(args.begin(), "--once");
    if (week) {
        args.clear();
        env = {"LD_PRELOAD=/usr/lib/x86_64-linux-gnu/faketime/libfaketimeMT.so.1",
               "FAKETIME=@" + std::string(kMonday) + " 00:00:30 x6000"};
    }
    for (auto _ : state) {
        bench::Child child = bench::spawn(rendaro(), args, folder.toStdString(), env);
        const std::string status = "/proc/" + std::to_string(child.pid) + "/status";
        QThread::sleep(1); // past its start-up
        const long long before = voluntarySwitches(child.pid);
        long long rssKb = 0;
        long long anonKb = 0; // of it, memory of its own rather than shared library pages
        const auto start = std::chrono::steady_clock::now();
        for (int s = 0; s < seconds; ++s) {
            rssKb = std::max(rssKb, statusField(status, "VmRSS").value_or(0));
            anonKb = std::max(anonKb, statusField(status, "RssAnon").value_or(0));
            QThread::sleep(1);
        }
        const double measured = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long long after = voluntarySwitches(child.pid);
        const bool stillWaiting = QFileInfo::exists(QString::fromStdString(status));
        kill(child.pid, SIGTERM);
        bench::waitExit(child);
        if (!stillWaiting || rssKb == 0) {
            state.SkipWithError("the launcher did not wait");
            break;
        }
        state.SetIterationTime(measured);
        state.counters["rss_MB"] = double(rssKb) / 1024.0;
        state.counters["rss_anon_MB"] = double(anonKb) / 1024.0;
        state.counters["wakeups_per_h"] = double(after - before) * 3600.0 / (measured * speed);
    }
}

void BM_LauncherHundredDue(benchmark::State &state)
{
    const QString folder = bench::emptyFolder(QStringLiteral("launcher-due"));
    const QString programs = bench::emptyFolder(QStringLiteral("launcher-programs"));
    const QString started = QString::fromStdString(bench::benchBinDir() + "/bench_started");
    QByteArray list;
    QStringList markers;
    for (int i = 0; i < 100; ++i) {
        const QString path = programs + QStringLiteral("/program-%1").arg(i, 3, 10, QChar(u'0'));
        // A copy, not a link: the launcher starts the file a link leads
        // to, and the program names its marker after the path it ran as.
        QFile::remove(path);
        QFile::copy(started, path);
        markers.append(path + QStringLiteral(".started"));
        const int minutes = i % 48 * 15; // all before noon
        list += QStringLiteral("%1:%2\r\n%3\r\nHide\r\nMonday\r\n")
                    .arg(minutes / 60, 2, 10, QChar(u'0'))
                    .arg(minutes % 60, 2, 10, QChar(u'0'))
                    .arg(path)
                    .toLatin1();
    }
    if (!writeDayList(folder, list)) {
        state.SkipWithError("cannot write the day list");
        return;
    }
    for (auto _ : state) {
        for (const QString &m : markers)
            QFile::remove(m);
        const auto start = std::chrono::steady_clock::now();
        // The launcher of the session: it starts what is due and stays for
        // the rest of the day, so it is ended, by its pid, once the last
        // program has begun.
        bench::Child child = bench::spawn(rendaro(), {"--at", std::string(kMonday) + "T12:00"}, folder.toStdString());
        const auto giveUp = start + std::chrono::seconds(30);
        long long last = 0;
        bool all = true;
        for (const QString &m : markers) {
            QFile f(m);
            while (!(f.open(QIODevice::ReadOnly) && f.size() > 0) && std::chrono::steady_clock::now() < giveUp) {
                f.close();
                QThread::msleep(1);
            }
            all = all && f.isOpen() && f.size() > 0;
            last = std::max(last, f.readAll().trimmed().toLongLong());
        }
        kill(child.pid, SIGTERM);
        bench::waitExit(child);
        const long long startNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(start.time_since_epoch()).count();
        if (!all || last <= startNs) {
            state.SkipWithError("not all 100 programs started");
            break;
        }
        state.SetIterationTime(double(last - startNs) / 1e9);
    }
}

// A day list at the launcher's 16 MiB limit made of the shortest lines:
// entries of four short lines (range 0), or blank lines only (range 1).
// Listed with --list, which reads and orders every entry but starts none.
// Reference: the same launcher on an empty day list, side by side.
void BM_LauncherLargeList(benchmark::State &state)
{
    constexpr qsizetype kLimit = 16 * 1024 * 1024;
    const QByteArray unit = state.range(0) == 0 ? QByteArray("00:00\r\n/a\r\nMin\r\nMonday\r\n") : QByteArray("\r\n");
    QByteArray list;
    list.reserve(kLimit);
    while (list.size() + unit.size() <= kLimit)
        list += unit;
    const QString large = bench::emptyFolder(QStringLiteral("launcher-large"));
    const QString empty = bench::emptyFolder(QStringLiteral("launcher-empty"));
    if (!writeDayList(large, list) || !writeDayList(empty, {})) {
        state.SkipWithError("cannot write the day lists");
        return;
    }
    const std::vector<std::string> args{"--list", "--at", std::string(kMonday) + "T12:00"};
    long referenceKb = 0, largeKb = 0;
    for (auto _ : state) {
        bench::Child reference = bench::spawn(rendaro(), args, empty.toStdString());
        referenceKb = bench::waitExitWatchingMemory(reference);
        const auto start = std::chrono::steady_clock::now();
        bench::Child child = bench::spawn(rendaro(), args, large.toStdString());
        largeKb = bench::waitExitWatchingMemory(child);
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    state.counters["file_MB"] = double(list.size()) / (1024.0 * 1024.0);
    state.counters["rss_MB"] = double(largeKb) / 1024.0;
    state.counters["reference_MB"] = double(referenceKb) / 1024.0;
    state.counters["ratio"] = double(largeKb) * 1024.0 / double(list.size());
}

} // namespace

BENCHMARK(BM_LauncherLargeList)
    ->ArgName("blank_lines")
    ->DenseRange(0, 1)
    ->Iterations(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LauncherWaiting)
    ->ArgName("kind")
    ->DenseRange(0, 2)
    ->Iterations(1)
    ->UseManualTime()
    ->Unit(benchmark::kSecond);
BENCHMARK(BM_LauncherHundredDue)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);
