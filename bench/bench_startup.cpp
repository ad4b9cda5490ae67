// Start-up to the first painted window, offscreen: vellomar (its copy
// bench_vellomar, which ends there) against a
// minimal Qt Widgets program with one empty window.

#include "bench/EntryFolder.h"
#include "bench/SideBySide.h"
#include "bench/Spawn.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Startup(benchmark::State &state)
{
    const std::string folder = bench::emptyFolder(QStringLiteral("startup")).toStdString();
    const std::vector<std::string> env{"QT_QPA_PLATFORM=offscreen"};
    // Time to the "shown" line; the program's exit is not counted.
    auto firstPaint = [&](const std::string &program) {
        const auto start = bench::Clock::now();
        bench::Child child = bench::spawn(program, {}, folder, env, true);
        const bool shown = bench::waitForLine(child, "shown");
        const double seconds = bench::secondsSince(start);
        return bench::waitExit(child) == 0 && shown ? seconds : -1.0;
    };
    bench::sideBySide(
        state, [&] { return firstPaint(bench::benchBinDir() + "/bench_empty_window"); },
        [&] { return firstPaint(bench::benchBinDir() + "/bench_vellomar"); });
}

} // namespace

BENCHMARK(BM_Startup)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(3.0);
