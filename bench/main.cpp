// The benchmarks of Vellomar in one program: the Google Benchmark table,
// then each target with the number measured against it.

#include "Targets.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <unistd.h>

int main(int argc, char *argv[])
{
    // Windows are made offscreen: the viewer and the main window are timed
    // in this process.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Colours only on a terminal; counters as columns of the table.
    const auto options = isatty(1) ? benchmark::ConsoleReporter::OO_ColorTabular
                                   : benchmark::ConsoleReporter::OO_Tabular;
    bench::TargetReporter reporter(options);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
