// Timing a kernel in core clock cycles. A core's clock moves with load and
// temperature, so it is measured beside every timing: a chain of dependent
// one-cycle additions right before and right after the timed loop, over the
// thread's CPU time, so that the clock and the time belong to the same
// repetition. Each benchmark reports
//   clock_ghz        the mean of the two measures of the clock;
//   cycles_per_word  the loop's thread CPU time per call, times that clock,
//                    divided by the word count.
// bench/run takes Google Benchmark's CPU time and clock_ghz of each
// repetition and computes the cycles itself.
#pragma once

#include <time.h>

#include <algorithm>
#include <cstdint>

#include <benchmark/benchmark.h>

namespace core_clock {

inline double thread_cpu_seconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Cycles per second: 100 dependent additions take 100 cycles whatever the
// processor, so their rate over CPU time is the clock. About 2 ms at 4 GHz;
// the fastest of three, the least disturbed.
inline double measure_hz()
{
    constexpr int kRounds = 30000;
    constexpr int kRuns = 3;
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        uint64_t x = 0;
        const double start = thread_cpu_seconds();
        for (int i = 0; i < kRounds; ++i) {
            asm volatile(".rept 100\n\tadd $1, %0\n\t.endr" : "+r"(x));
        }
        best = std::min(best, thread_cpu_seconds() - start);
        benchmark::DoNotOptimize(x);
    }
    return 100.0 * kRounds / best;
}

// Runs the benchmark's loop over `step` (one call of the routine timed),
// with the clock measured on both sides.
template <typename Step>
void time_in_cycles(benchmark::State &state, int64_t words, Step step)
{
    const double hz_before = measure_hz();
    const double start = thread_cpu_seconds();
    for (auto _ : state) {
        step();
    }
    const double seconds = thread_cpu_seconds() - start;
    const double hz = 0.5 * (hz_before + measure_hz());
    state.counters["clock_ghz"] = hz / 1e9;
    state.counters["cycles_per_word"] =
        seconds * hz / (static_cast<double>(state.iterations()) * static_cast<double>(words));
}

} // namespace core_clock
