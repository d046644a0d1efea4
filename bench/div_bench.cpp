// The two division kernels beside GMP's mpn_divrem_1, on the same words and
// divisor, into another array and in place. Each benchmark reports the time
// per call (the Time column), and the cycles per word with the core clock
// measured beside them (core_clock.h: cycles_per_word, clock_ghz).
//
// In place, the number would shrink to nothing over the iterations. Each
// iteration therefore puts back the top word, indiceMax and signe (three
// stores) before dividing: the other words hold whatever the previous
// division left, which costs the same, since neither the kernel nor GMP
// branches on the values of the words below the top one. GMP's in-place
// run gets the same treatment.
#include <cstdint>
#include <random>
#include <vector>

#include <benchmark/benchmark.h>
#include <gmp.h>

#include "core_clock.h"
#include "lfx86_64.h"

namespace {

struct Operands {
    std::vector<uint64_t> a;
    std::vector<uint64_t> q;
    Lii la;
    Lii lq;
};

// n random words with a top word above any divisor used here.
void make_operands(Operands *op, int64_t n)
{
    std::mt19937_64 rng(static_cast<uint64_t>(n));
    op->a.resize(static_cast<size_t>(n));
    op->q.assign(static_cast<size_t>(n), 0);
    for (auto &w : op->a) {
        w = rng();
    }
    op->a.back() |= UINT64_C(1) << 63;
    op->la = Lii{1, n, op->a.data(), 0, n - 1};
    op->lq = Lii{0, n, op->q.data(), 0, -1};
}

// Times `divide(op, d)` on n words; `in_place` puts the number back before
// each call, as the header says.
template <typename Divide>
void time_division(benchmark::State &state, bool in_place, Divide divide)
{
    const int64_t n = state.range(0);
    const auto d = static_cast<uint64_t>(state.range(1));
    Operands op;
    make_operands(&op, n);
    const uint64_t top = op.a.back();
    core_clock::time_in_cycles(state, n, [&] {
        if (in_place) {
            op.a.back() = top;
            op.la.indiceMax = n - 1;
            op.la.signe = 1;
        }
        benchmark::DoNotOptimize(divide(&op, d));
        benchmark::ClobberMemory();
    });
}

void BM_divHalfB(benchmark::State &state)
{
    time_division(state, false,
                  [](Operands *op, uint64_t d) { return divHalfB_x86_64_bini(&op->lq, &op->la, d); });
}

void BM_gmp_divrem_1(benchmark::State &state)
{
    time_division(state, false, [](Operands *op, uint64_t d) {
        return mpn_divrem_1(op->q.data(), 0, op->a.data(), static_cast<mp_size_t>(op->a.size()), d);
    });
}

void BM_divHalfB_R(benchmark::State &state)
{
    time_division(state, true, [](Operands *op, uint64_t d) { return divHalfB_R_x86_64_bini(&op->la, d); });
}

void BM_gmp_divrem_1_in_place(benchmark::State &state)
{
    time_division(state, true, [](Operands *op, uint64_t d) {
        return mpn_divrem_1(op->a.data(), 0, op->a.data(), static_cast<mp_size_t>(op->a.size()), d);
    });
}

const std::vector<std::vector<int64_t>> kShapes = {{4, 16, 64, 1024, 65536},
                                                   {7, 25, 57121, 384199201, 4294967295}};

} // namespace

BENCHMARK(BM_divHalfB)->ArgsProduct(kShapes);
BENCHMARK(BM_gmp_divrem_1)->ArgsProduct(kShapes);
BENCHMARK(BM_divHalfB_R)->ArgsProduct(kShapes);
BENCHMARK(BM_gmp_divrem_1_in_place)->ArgsProduct(kShapes);

BENCHMARK_MAIN();
