// Gathering entry files into the seven day lists: brinol.com against the
// plain read-and-concatenate baseline, on the same folder in the same run.

#include "bench/EntryFolder.h"
#include "bench/SideBySide.h"
#include "bench/Spawn.h"

#include <benchmark/benchmark.h>

#include <QFileInfo>

namespace {

void BM_Gather(benchmark::State &state)
{
    const std::string baseline = bench::benchBinDir() + "/bench_concat";
    const std::string brinol = bench::binDir() + "/brinol.com";
    const std::string folder = bench::entryFolder(int(state.range(0))).toStdString();
    auto run = [&](const std::string &program) {
        const auto start = bench::Clock::now();
        bench::Child child = bench::spawn(program, {}, folder);
        return bench::waitExit(child) == 0 ? bench::secondsSince(start) : -1.0;
    };
    if (!QFileInfo::exists(QString::fromStdString(brinol))) {
        state.SetLabel("baseline only: brinol.com is not built");
        for (auto _ : state)
            state.SetIterationTime(run(baseline));
        return;
    }
    // One untimed round warms the file cache for both.
    if (run(baseline) < 0 || run(brinol) < 0) {
        state.SkipWithError("gathering failed");
        return;
    }
    bench::sideBySide(
        state, [&] { return run(baseline); }, [&] { return run(brinol); });
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

} // namespace

BENCHMARK(BM_Gather)
    ->ArgName("entries")
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
