// The add, subtract and multiply-by-word kernels beside GMP's mpn_add_n,
// mpn_sub_n and mpn_mul_1, all in place (result over the first operand), on
// the same words, in the same run. Counters "cycles_per_word" and
// "clock_ghz" (core_clock.h) give each repetition's cycles per word with
// the core clock measured beside it, so the cycles are the core's own, not
// the time-stamp counter's; the Time column at 4 words is the per-call
// cost. The "min"
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
//
// aurora_x86_64, which reads the time-stamp counter, has no GMP
// counterpart: it is timed per call beside the compiler's own __rdtsc().
#include <gmp.h>
#include <x86intrin.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "core_clock.h"
#include "lfx86_64.h"

namespace {

constexpr uint64_t kFactor = 0x9E3779B97F4A7C15ULL; // odd, all bits busy

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

// One call of `call`, its result kept so that it is not optimised away.
template <typename Call>
void time_calls(benchmark::State &state, int64_t n, Call call)
{
    core_clock::time_in_cycles(state, n, [&] {
        benchmark::DoNotOptimize(call());
        benchmark::ClobberMemory();
    });
}

void BM_add_R_2P_x86_64_bini_spe(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    prepare(&a, n, 1, 1);
    prepare(&b, n, 1, 2);
    time_calls(state, n, [&] { return add_R_2P_x86_64_bini_spe(&a, &b); });
    destroyLii(&a);
    destroyLii(&b);
}

void BM_mpn_add_n(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    prepare(&a, n, 1, 1);
    prepare(&b, n, 1, 2);
    time_calls(state, n, [&] { return mpn_add_n(a.mantisse, a.mantisse, b.mantisse, n); });
    destroyLii(&a);
    destroyLii(&b);
}

void BM_sub_R_2P_x86_64_bini_spe(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    prepare(&a, n, 1ULL << 63, 3);
    prepare(&b, n, 1, 4);
    time_calls(state, n, [&] { return sub_R_2P_x86_64_bini_spe(&a, &b); });
    destroyLii(&a);
    destroyLii(&b);
}

void BM_mpn_sub_n(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    prepare(&a, n, 1ULL << 63, 3);
    prepare(&b, n, 1, 4);
    time_calls(state, n, [&] { return mpn_sub_n(a.mantisse, a.mantisse, b.mantisse, n); });
    destroyLii(&a);
    destroyLii(&b);
}

void BM_mulB_R_x86_64_bini(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a;
    prepare(&a, n, 12345, 5);
    time_calls(state, n, [&] { return mulB_R_x86_64_bini(&a, kFactor); });
    destroyLii(&a);
}

void BM_mpn_mul_1(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a;
    prepare(&a, n, 12345, 5);
    time_calls(state, n, [&] { return mpn_mul_1(a.mantisse, a.mantisse, n, kFactor); });
    destroyLii(&a);
}

void BM_aurora_x86_64(benchmark::State &state)
{
    int64_t count = 0;
    time_calls(state, 1, [&] {
        aurora_x86_64(&count);
        return count;
    });
}

void BM_rdtsc_inline(benchmark::State &state)
{
    time_calls(state, 1, [] { return __rdtsc(); });
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
BENCHMARK(BM_aurora_x86_64)->ComputeStatistics("min", fastest);
BENCHMARK(BM_rdtsc_inline)->ComputeStatistics("min", fastest);

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
