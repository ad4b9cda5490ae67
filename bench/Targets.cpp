#include "bench/Targets.h"

#include <cstdio>
#include <functional>
#include <optional>
#include <ostream>

namespace bench {

void TargetReporter::ReportRuns(const std::vector<Run> &runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run &run : runs) {
        std::string key = run.run_name.function_name;
        if (!run.run_name.args.empty())
            key += "/" + run.run_name.args;
        if (!run.error_occurred)
            m_runs[key] = run;
    }
}

void TargetReporter::Finalize()
{
    std::ostream &out = GetOutputStream();
    auto counter = [&](const std::string &key, const std::string &name) -> std::optional<double> {
        auto run = m_runs.find(key);
        if (run == m_runs.end())
            return std::nullopt;
        auto c = run->second.counters.find(name);
        if (c == run->second.counters.end())
            return std::nullopt;
        return c->second.value;
    };
    auto time = [&](const std::string &key) -> std::optional<double> {
        auto run = m_runs.find(key);
        if (run == m_runs.end())
            return std::nullopt;
        return run->second.GetAdjustedRealTime();
    };
    auto line = [&](const char *what, std::optional<double> value, const char *unit, const char *target,
                    std::function<bool(double)> met) {
        char buffer[256];
        if (value)
            std::snprintf(buffer, sizeof buffer, "%-44s %12.2f %-5s %-14s %s\n", what, *value, unit, target,
                          met(*value) ? "met" : "NOT met");
        else
            std::snprintf(buffer, sizeof buffer, "%-44s %12s %-5s %-14s %s\n", what, "-", "", target, "not measured");
        out << buffer;
    };

    out << "\nTargets\n";
    for (const char *size : {"1000", "10000", "100000"}) {
        const std::string what = std::string("brinol.com / baseline, ") + size + " entries";
        line(what.c_str(), counter(std::string("BM_Gather/entries:") + size, "ratio"), "x", "<= 1.5x",
             [](double v) { return v <= 1.5; });
    }
    std::optional<double> growth;
    if (auto t100k = time("BM_Gather/entries:100000"), t10k = time("BM_Gather/entries:10000");
        t100k && t10k && counter("BM_Gather/entries:100000", "ratio"))
        growth = *t100k / *t10k;
    line("brinol.com 100,000 / 10,000 entries", growth, "x", "<= 11x", [](double v) { return v <= 11; });
    line("vellomar start-up / empty window", counter("BM_Startup", "ratio"), "x", "<= 1.3x",
         [](double v) { return v <= 1.3; });
    for (const char *kind : {"0", "1", "2"}) {
        const std::string what = std::string("Rendaro.exe resident memory while waiting, ")
                                 + (kind[0] == '0'   ? "--once"
                                    : kind[0] == '1' ? "for the session"
                                                     : "a simulated week");
        line(what.c_str(), counter(std::string("BM_LauncherWaiting/kind:") + kind, "rss_MB"), "MB", "< 8 MB",
             [](double v) { return v < 8; });
    }
    for (const char *kind : {"0", "1"}) {
        const std::string what =
            std::string("Rendaro.exe memory / 16 MiB day list, ") + (kind[0] == '0' ? "entries" : "blank lines");
        line(what.c_str(), counter(std::string("BM_LauncherLargeList/blank_lines:") + kind, "ratio"), "x", "<= 4x",
             [](double v) { return v <= 4; });
    }
    for (const char *kind : {"0", "1", "2"}) {
        const std::string what = std::string("Rendaro.exe wake-ups per hour while waiting, ")
                                 + (kind[0] == '0'   ? "--once"
                                    : kind[0] == '1' ? "for the session"
                                                     : "a simulated week");
        line(what.c_str(), counter(std::string("BM_LauncherWaiting/kind:") + kind, "wakeups_per_h"), "/h", "<= 60/h",
             [](double v) { return v <= 60; });
    }
}

} // namespace bench
