#pragma once

// Two programs timed side by side: every iteration runs the reference and
// then the subject, so a machine that gets busier slows both alike. Each
// callable returns the seconds it measured, or a negative number when it
// failed. The iteration time is the subject's; the counters give the
// reference's mean time and the ratio subject / reference.

#include <benchmark/benchmark.h>

#include <chrono>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

template <typename Reference, typename Subject>
void sideBySide(benchmark::State &state, Reference &&reference, Subject &&subject)
{
    double referenceTotal = 0;
    double subjectTotal = 0;
    for (auto _ : state) {
        const double r = reference();
        const double s = subject();
        if (r < 0 || s < 0) {
            state.SkipWithError(r < 0 ? "the reference failed" : "the program failed");
            break;
        }
        referenceTotal += r;
        subjectTotal += s;
        state.SetIterationTime(s);
    }
    if (referenceTotal > 0) {
        state.counters["reference_ms"] = benchmark::Counter(referenceTotal * 1e3, benchmark::Counter::kAvgIterations);
        state.counters["ratio"] = subjectTotal / referenceTotal;
    }
}

} // namespace bench
