// The add, subtract and multiply-by-word kernels beside GMP's mpn_add_n,
// mpn_sub_n and mpn_mul_1, all in place (result over the first operand), on
// the same words, in the same run. Counter "per_word" is the CPU time per
// call divided by the word count; the Time column at 4 words is the per-call cost.
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

#include <cstdint>
#include <random>

#include <benchmark/benchmark.h>

#include "lfx86_64.h"

namespace {

constexpr uint64_t kFacteur = 0x9E3779B97F4A7C15ULL; // odd, all bits busy

// A record of n random words with the given top word, using all n words.
void preparer(Lii *li, int64_t n, uint64_t mot_haut, uint64_t graine)
{
    createLii(li, n);
    std::mt19937_64 rng(graine);
    for (int64_t i = 0; i < n; ++i) {
        li->mantisse[i] = rng();
    }
    li->mantisse[n - 1] = mot_haut;
    li->signe = 1;
    li->indiceMax = n - 1;
}

void compter_mots(benchmark::State &state, int64_t n)
{
    // Words per second, inverted: time per word (shown with its unit, ps).
    state.counters["per_word"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_add_R_2P_x86_64_bini_spe(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    preparer(&a, n, 1, 1);
    preparer(&b, n, 1, 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(add_R_2P_x86_64_bini_spe(&a, &b));
        benchmark::ClobberMemory();
    }
    compter_mots(state, n);
    destroyLii(&a);
    destroyLii(&b);
}

void BM_mpn_add_n(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    preparer(&a, n, 1, 1);
    preparer(&b, n, 1, 2);
    for (auto _ : state) {
        benchmark::DoNotOptimize(mpn_add_n(a.mantisse, a.mantisse, b.mantisse, n));
        benchmark::ClobberMemory();
    }
    compter_mots(state, n);
    destroyLii(&a);
    destroyLii(&b);
}

void BM_sub_R_2P_x86_64_bini_spe(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    preparer(&a, n, 1ULL << 63, 3);
    preparer(&b, n, 1, 4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(sub_R_2P_x86_64_bini_spe(&a, &b));
        benchmark::ClobberMemory();
    }
    compter_mots(state, n);
    destroyLii(&a);
    destroyLii(&b);
}

void BM_mpn_sub_n(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a, b;
    preparer(&a, n, 1ULL << 63, 3);
    preparer(&b, n, 1, 4);
    for (auto _ : state) {
        benchmark::DoNotOptimize(mpn_sub_n(a.mantisse, a.mantisse, b.mantisse, n));
        benchmark::ClobberMemory();
    }
    compter_mots(state, n);
    destroyLii(&a);
    destroyLii(&b);
}

void BM_mulB_R_x86_64_bini(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a;
    preparer(&a, n, 12345, 5);
    for (auto _ : state) {
        benchmark::DoNotOptimize(mulB_R_x86_64_bini(&a, kFacteur));
        benchmark::ClobberMemory();
    }
    compter_mots(state, n);
    destroyLii(&a);
}

void BM_mpn_mul_1(benchmark::State &state)
{
    const int64_t n = state.range(0);
    Lii a;
    preparer(&a, n, 12345, 5);
    for (auto _ : state) {
        benchmark::DoNotOptimize(mpn_mul_1(a.mantisse, a.mantisse, n, kFacteur));
        benchmark::ClobberMemory();
    }
    compter_mots(state, n);
    destroyLii(&a);
}

// Each kernel right next to its GMP counterpart, so that the two are timed
// under the same machine conditions.
#define SIZES Arg(4)->Arg(16)->Arg(1024)->Arg(65536)
BENCHMARK(BM_add_R_2P_x86_64_bini_spe)->SIZES;
BENCHMARK(BM_mpn_add_n)->SIZES;
BENCHMARK(BM_sub_R_2P_x86_64_bini_spe)->SIZES;
BENCHMARK(BM_mpn_sub_n)->SIZES;
BENCHMARK(BM_mulB_R_x86_64_bini)->SIZES;
BENCHMARK(BM_mpn_mul_1)->SIZES;

} // namespace

BENCHMARK_MAIN();
