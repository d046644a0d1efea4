// The add, subtract and multiply-by-word kernels beside GMP's mpn_add_n,
// mpn_sub_n and mpn_mul_1, all in place (result over the first operand), on
// the same words, in the same run. Counter "cycles_per_word" is the thread's
// CPU time per call, converted to core clock cycles, divided by the word
// count; the Time column at 4 words is the per-call cost. The core clock is
// measured once at the start, as the rate of a chain of dependent one-cycle
// additions over thread CPU time (shown as core_clock_ghz in the context),
// so the cycles are the core's own, not the time-stamp counter's. The "min"
// row of each benchmark, the fastest of its repetitions, is the least
// disturbed by other work on a shared machine.
//
// No restore step is timed: each benchmark starts from a state that every
// call preserves.
//   add: A and B use all n words and both top words are 1, so A's top word
//        only creeps up (by 1 or 2 a call) and the record never grows;
//   sub: A's top word is 2^63 and B's is 1, so A stays above B for far more
//        calls than any run makes, nothing cancels and the rescan stops at
//        the top word at once;
//   mul: A fills its whole array (indiceMax = taille_mantisse - 1), so each
//        call multiplies all n words and hands back the overflow word; f is
//        odd, so the words never all vanish.
// The GMP calls get the same operands and do the same n-word pass.
#include <gmp.h>

#include <time.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "lfx86_64.h"

namespace {

constexpr uint64_t kFactor = 0x9E3779B97F4A7C15ULL; // odd, all bits busy

double thread_cpu_seconds()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Core clock in cycles per second: 100 dependent additions take 100 cycles
// whatever the processor, so their rate over CPU time is the clock. The
// fastest of several runs is the one least disturbed.
double measure_core_clock()
{
    constexpr int kRounds = 2000000;
    double best = 1e9;
    for (int run = 0; run < 5; ++run) {
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

double core_clock()
{
    static const double hz = measure_core_clock();
    return hz;
}

// A record of n random words with the given top word, using all n words.
void prepare(Lii *li, int64_t n, uint64_t top_word, uint64_t seed)
{
    createLii(li, n);
    std::mt19937_64 rng(seed);
    for (int64_t i = 0; i < n; ++i) {
        li->mantisse[i] = rng();
    }
    li->mantisse[n - 1] = top_word;
    li->signe = 1;
    li->indiceMax = n - 1;
}

// Times the benchmark's loop over `call` in thread CPU time and reports it
// in core cycles per word.
template <typename Call>
void time_in_cycles(benchmark::State &state, int64_t n, Call call)
{
    const double start = thread_cpu_seconds();
    for (auto _ : state) {
        benchmark::DoNotOptimize(call());
        benchmark::ClobberMemory();
    }
    const double seconds = thread_cpu_seconds() - start;
    state.counters["cycles_per_word"] =
        seconds * core_clock() / (static_cast<double>(state.iterations()) * static_cast<double>(n));
}

void BM_add_R_2P_x86_64_bini_spe(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    prepare(&a, n, 1, 1);
    prepare(&b, n, 1, 2);
    time_in_cycles(state, n, [&] { return add_R_2P_x86_64_bini_spe(&a, &b); });
    destroyLii(&a);
    destroyLii(&b);
}

void BM_mpn_add_n(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    prepare(&a, n, 1, 1);
    prepare(&b, n, 1, 2);
    time_in_cycles(state, n, [&] { return mpn_add_n(a.mantisse, a.mantisse, b.mantisse, n); });
    destroyLii(&a);
    destroyLii(&b);
}

void BM_sub_R_2P_x86_64_bini_spe(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    prepare(&a, n, 1ULL << 63, 3);
    prepare(&b, n, 1, 4);
    time_in_cycles(state, n, [&] { return sub_R_2P_x86_64_bini_spe(&a, &b); });
    destroyLii(&a);
    destroyLii(&b);
}

void BM_mpn_sub_n(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    prepare(&a, n, 1ULL << 63, 3);
    prepare(&b, n, 1, 4);
    time_in_cycles(state, n, [&] { return mpn_sub_n(a.mantisse, a.mantisse, b.mantisse, n); });
    destroyLii(&a);
    destroyLii(&b);
}

void BM_mulB_R_x86_64_bini(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a;
    prepare(&a, n, 12345, 5);
    time_in_cycles(state, n, [&] { return mulB_R_x86_64_bini(&a, kFactor); });
    destroyLii(&a);
}

void BM_mpn_mul_1(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a;
    prepare(&a, n, 12345, 5);
    time_in_cycles(state, n, [&] { return mpn_mul_1(a.mantisse, a.mantisse, n, kFactor); });
    destroyLii(&a);
}

// Each kernel right next to its GMP counterpart, so that the two are timed
// under the same machine conditions.
double fastest(const std::vector<double> &v)
{
    return *std::min_element(v.begin(), v.end());
}

#define SIZES Arg(4)->Arg(16)->Arg(64)->Arg(1024)->Arg(65536)->ComputeStatistics("min", fastest)
BENCHMARK(BM_add_R_2P_x86_64_bini_spe)->SIZES;
BENCHMARK(BM_mpn_add_n)->SIZES;
BENCHMARK(BM_sub_R_2P_x86_64_bini_spe)->SIZES;
BENCHMARK(BM_mpn_sub_n)->SIZES;
BENCHMARK(BM_mulB_R_x86_64_bini)->SIZES;
BENCHMARK(BM_mpn_mul_1)->SIZES;

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::AddCustomContext("core_clock_ghz", std::to_string(core_clock() / 1e9));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
