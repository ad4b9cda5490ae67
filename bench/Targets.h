#pragma once

// The console table of Google Benchmark, followed by the targets: each
// target, the number this run measured for it, and whether it is met.

#include <benchmark/benchmark.h>

#include <map>
#include <string>

namespace bench {

class TargetReporter : public benchmark::ConsoleReporter
{
public:
    explicit TargetReporter(OutputOptions options)
        : ConsoleReporter(options)
    {
    }
    void ReportRuns(const std::vector<Run> &runs) override;
    void Finalize() override;

private:
    // Keyed by "function/args", e.g. "BM_Gather/entries:1000".
    std::map<std::string, Run> m_runs;
};

} // namespace bench
