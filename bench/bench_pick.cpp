// Pick Program with all seven days ticked: the write path of one pick
// (seven entry files, each written whole under a free number), and the same
// through the handler of the main window with the message box answered at
// once.

#include "app/Browser.h"
#include "app/Main.h"
#include "bench/EntryFolder.h"
#include "schedule/Pick.h"
#include "support/Fakes.h"

#include <benchmark/benchmark.h>

#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

namespace {

schedule::Pick allDaysPick()
{
    schedule::Pick pick;
    pick.days.fill(true);
    pick.path = QStringLiteral("/opt/tools/sync");
    pick.hour = QStringLiteral("07");
    pick.minute = QStringLiteral("45");
    pick.amPm = QStringLiteral("PM");
    pick.runStyle = QStringLiteral("Minimize");
    return pick;
}

// A fresh working folder for every run of a benchmark: Google Benchmark
// runs each several times, and a pick in a folder of earlier picks first
// looks past all their numbers.
QString freshFolder(const char *purpose)
{
    static int runs = 0;
    return bench::emptyFolder(QStringLiteral("%1-%2").arg(QLatin1String(purpose)).arg(++runs));
}

void BM_PickWrite(benchmark::State &state)
{
    const QDir folder(freshFolder("pick"));
    const schedule::Pick pick = allDaysPick();
    qint64 next = 2;
    for (auto _ : state) {
        const schedule::PickOutcome outcome = schedule::writePick(folder, pick, next);
        if (!outcome.ok()) {
            state.SkipWithError("a pick could not be written");
            break;
        }
        next = outcome.number + 1;
    }
    state.SetItemsProcessed(state.iterations() * schedule::kDayCount);
}

void BM_PickThroughMain(benchmark::State &state)
{
    const QString programs = bench::emptyFolder(QStringLiteral("pick-programs"));
    QFile(programs + QStringLiteral("/prog")).open(QIODevice::WriteOnly);
    const QString old = QDir::currentPath();
    QDir::setCurrent(freshFolder("pick-main"));
    {
        FakeServices fakes;
        Main main({fakes.starter, fakes.prompter, fakes.shortcuts});
        main.Dir1->setPath(programs);
        QDeadlineTimer listed(30'000);
        while (!main.File1->selectFile(QStringLiteral("prog")) && !listed.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        for (QCheckBox *box : main.Check1)
            box->setChecked(true);
        for (auto _ : state) {
            main.Command1_Click(); // ticks all seven again for the next pick
            fakes.prompter.shown.clear();
        }
    }
    QDir::setCurrent(old);
    state.SetItemsProcessed(state.iterations() * schedule::kDayCount);
}

} // namespace

BENCHMARK(BM_PickWrite)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK(BM_PickThroughMain)->Unit(benchmark::kMicrosecond)->UseRealTime();
