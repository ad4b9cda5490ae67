// The benchmarks of Vellomar in one program: the Google Benchmark table,
// then each target with the number measured against it.

#include "bench/Targets.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <unistd.h>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Qt's notes about the offscreen platform would break up the table.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", qPrintable(message));
    });
    // Windows are made offscreen: the viewer and the main window are timed
    // in this process.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // Colours only on a terminal; counters inline, so that every benchmark
    // is a row of one table.
    const auto options = isatty(1) ? benchmark::ConsoleReporter::OO_Color : benchmark::ConsoleReporter::OO_None;
    bench::TargetReporter reporter(options);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
