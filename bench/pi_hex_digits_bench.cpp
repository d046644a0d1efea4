// The hexadecimal digits of pi at positions 10^4, 10^5 and 10^6, the
// independent check of the last digits of a run of pi: per call, and per
// term of the series (7 floor((4 position + 205) / 10) terms).
#include <cstdint>

#include <benchmark/benchmark.h>

#include "lfx86_64.h"

namespace {

void BM_PiHexDigitsAt(benchmark::State &state)
{
    const int64_t position = state.range(0);
    uint64_t digits[2];
    for (auto _ : state) {
        benchmark::DoNotOptimize(pi_hex_digits_at(position, digits));
        benchmark::DoNotOptimize(digits);
    }
    const int64_t terms = 7 * ((4 * position + 205) / 10);
    state.counters["s_per_term"] =
        benchmark::Counter(static_cast<double>(terms),
                           benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_PiHexDigitsAt)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
