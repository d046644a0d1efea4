// What the arithmetic check costs per kernel call, and why a residue is kept
// as a fraction: the update that follows a division (two multiplications mod
// 2^61 - 1) against the modular inverse of the divisor that a plain residue
// would need (Fermat, d^(p-2): 60 squarings and 60 multiplications), both
// beside the division of a short record that they follow at the end of a
// series, and residueLii's pass over the words at the end.
#include <cstdint>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>

#include "checked_kernels.h"

namespace {

uint64_t inverse(uint64_t d)
{
    uint64_t result = 1;
    uint64_t base = residue_fold(d);
    for (uint64_t e = kResiduePrime - 2; e != 0; e >>= 1) {
        if ((e & 1) != 0) {
            result = residue_mul(result, base);
        }
        base = residue_mul(base, base);
    }
    return result;
}

// A chain of updates, each depending on the last, as along a series.
void BM_FractionAfterDivision(benchmark::State &state)
{
    Residue r{12345, 1};
    uint64_t d = 3;
    for (auto _ : state) {
        r = {residue_sub(r.n, residue_mul(d >> 1, r.m)), residue_mul(r.m, d)};
        d += 2;
        benchmark::DoNotOptimize(r);
    }
}

void BM_InverseAfterDivision(benchmark::State &state)
{
    uint64_t r = 12345;
    uint64_t d = 3;
    for (auto _ : state) {
        r = residue_mul(residue_sub(r, d >> 1), inverse(d));
        d += 2;
        benchmark::DoNotOptimize(r);
    }
}

void BM_DivisionOfFourWords(benchmark::State &state)
{
    std::vector<uint64_t> words(4);
    Lii a{1, 4, words.data(), 0, 3};
    for (auto _ : state) {
        words[3] = 0x8000000000000001;
        a.indiceMax = 3;
        a.signe = 1;
        benchmark::DoNotOptimize(divHalfB_R_x86_64_bini(&a, 12345));
    }
}

void BM_ResidueOfRecord(benchmark::State &state)
{
    const auto n = state.range(0);
    std::vector<uint64_t> words(static_cast<size_t>(n));
    std::mt19937_64 rng(1);
    for (auto &w : words) {
        w = rng() | 1;
    }
    const Lii a{1, n, words.data(), 0, n - 1};
    for (auto _ : state) {
        benchmark::DoNotOptimize(residueLii(&a));
    }
    state.counters["s_per_word"] = benchmark::Counter(
        static_cast<double>(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace

BENCHMARK(BM_FractionAfterDivision);
BENCHMARK(BM_InverseAfterDivision);
BENCHMARK(BM_DivisionOfFourWords);
BENCHMARK(BM_ResidueOfRecord)->Arg(1024)->Arg(65536);
BENCHMARK_MAIN();
