// e, sqrt(2) and 1/sqrt(2) as fixed-point Lii numbers, each step of their
// series one kernel call, printed in radix 2, 10 or 16.
#include <cstdint>
#include <cstdio>

#include "calculators.h"
#include "checked_kernels.h"
#include "clock.h"
#include "output.h"
#include "progress.h"
#include "run_records.h"

namespace {

// 19601^2 = 384199201 and 27720^2 = 2 * (384199201 - 1), so
// sqrt(2) = 27720/19601 / sqrt(1 - x) with x = 1/384199201.
constexpr uint64_t kInverseX = 384199201;
constexpr uint64_t kPellDenominator = 19601;
constexpr uint64_t kSqrt2Numerator = 27720;
constexpr uint64_t kInvSqrt2Numerator = 13860;

constexpr int64_t kExtraWordsBase2 = kRootsEExtraWordsBase2;

// Largest record sizes, so that no divisor reaches 2^32 and every division
// takes the kernels' fast path. With W words the
// records carry F = 64 (W - 1) fraction bits, and 1.0 is 2^F units.
//
// Roots: pass j first divides the term by 384199201, and the later steps only
// make it smaller, so before the zero test of pass j the term is at most
// floor(2^F / 384199201^j). A pass j that gets past the test therefore has
// j <= F / log2(384199201) = F / 28.517..., and the largest term divisor used
// is 2j < 2F / 28. Asking 2F / 28 <= 2^32 - 2 gives
// W - 1 <= 14 (2^32 - 2) / 64, about 1.8 % short of the true limit.
constexpr int64_t kMaxWordsRoots = 1 + (14 * ((int64_t{1} << 32) - 2)) / 64;
// e: the divisions by 2, 3, ..., k leave floor(2^F / k!) (nested truncated
// quotients equal the truncated quotient by the product), so the loop ends at
// the first k with k! > 2^F. For K = 2^32 - 1, K! >= (K/e)^K and
// log2(K/e) > 30.5, so K! > 2^F whenever F <= 30 K: the last divisor is then
// at most K. That gives W - 1 <= 30 (2^32 - 1) / 64, again 1.8 % short.
constexpr int64_t kMaxWordsE = 1 + (30 * ((int64_t{1} << 32) - 1)) / 64;

// The out-of-memory line of these calculators (with its leading space).
constexpr const char *kOutOfMemory = " not enough memeory !!!";

void print_formula(const char *formula)
{
    std::puts("\n Formula used :");
    std::puts(formula);
    flush_output();
}

void print_duration_and_iterations(clock_t tops, clock_t tops2, int64_t k)
{
    std::printf(" Duration = %7.3f seconds.\n", seconds_between(tops, tops2));
    std::printf(" Number of iterations = %ld\n\n", k);
    flush_output();
}

// The value in the radix: 0 once printed, 1 after the out-of-memory line
// when the printer found no memory, kStatusWrong when its check failed.
int32_t print_value(int64_t base, const Lii *value)
{
    const uint64_t printed = print_constant(base, value);
    if (printed == LFX_PRINT_CHECK_FAILED) {
        return kStatusWrong;
    }
    if (printed != LFX_PRINTED) {
        std::puts(kOutOfMemory);
        return 1;
    }
    return 0;
}

// A negative digit count makes no sense and would make records too small to
// hold a fixed-point number; it is refused like an unknown radix.
bool request_servable(int64_t base, int64_t Nb_decimales)
{
    return radix_served(base) && Nb_decimales >= 0;
}

// sqrt(2) or 1/sqrt(2): numerator/19601 times the sum of the terms of
// 1/sqrt(1 - x), t_0 = 1, t_j = t_{j-1} * x * (2j - 1) / (2j).
int32_t calculate_root(int64_t base, int64_t Nb_decimales, const char *constant, uint64_t numerator,
                       const char *formula)
{
    if (!request_servable(base, Nb_decimales) ||
        request_too_large(constant, base, Nb_decimales, kMaxWordsRoots, kExtraWordsBase2)) {
        return 1;
    }
    const int64_t Nb_decimales_Base64 = record_words(base, Nb_decimales, kExtraWordsBase2);
    Lii root{};
    Lii un{};
    Lii term_share{}; // the term divided by 2j, taken from the term
    Lii *const records[] = {&root, &un, &term_share};
    if (!create_records(records, 3, Nb_decimales_Base64, kOutOfMemory)) {
        return 1;
    }
    print_formula(formula);

    initialise_fixedPoint_bini(&root, 1);
    Residue rroot = residue_of_fixed_point(&root, 1);
    int64_t k = 0;
    initialise_fixedPoint_bini(&un, 1);
    Residue r_un = rroot;
    Residue rshare{0, 1};
    uint64_t term_divisor = 2;
    Progress progress{};
    progress_begin_series(&progress, constant, Nb_decimales_Base64);
    const clock_t tops = read_clock();
    for (;;) {
        checked_div_R(&un, &r_un, kInverseX);
        if (un.signe == 0) {
            break;
        }
        checked_div(&term_share, &rshare, &un, &r_un, term_divisor);
        ++k;
        checked_sub(&un, &r_un, &term_share, &rshare);
        term_divisor += 2;
        checked_add(&root, &rroot, &un, &r_un);
        progress_term(&progress, un.indiceMax + 1);
    }
    const clock_t tops2 = read_clock();
    progress_series_end(&progress);
    print_duration_and_iterations(tops, tops2, k);
    const bool series_holds =
        residue_holds(&root, &rroot) && residue_holds(&un, &r_un) && residue_holds(&term_share, &rshare);

    checked_mul(&root, &rroot, numerator);
    checked_div_R(&root, &rroot, kPellDenominator);
    const bool scaling_holds = residue_holds(&root, &rroot);
    if (!series_holds) {
        report_wrong_value("the series of %s", constant);
    } else if (!scaling_holds) {
        report_wrong_value("the scaling of %s by %lu/19601", constant, numerator);
    }
    const bool holds = series_holds && scaling_holds;
    const int32_t result = !holds ? kStatusWrong : print_value(base, &root);
    destroyLii(&root);
    destroyLii(&un);
    destroyLii(&term_share);
    return result;
}

} // namespace

int32_t calcul_sqrt2(int64_t base, int64_t Nb_decimales)
{
    return calculate_root(base, Nb_decimales, "sqrt2", kSqrt2Numerator,
                          " sqrt(2) = 27720/19601/sqrt(1-1/384199201) \n");
}

int32_t calcul_inv_sqrt2(int64_t base, int64_t Nb_decimales)
{
    return calculate_root(base, Nb_decimales, "1/sqrt2", kInvSqrt2Numerator,
                          " 1/sqrt(2) = 13860/19601/sqrt(1-1/384199201) \n");
}

// e = 2 + sum of 1/k! for k >= 2; k ends as the divisor that gave a zero term.
int32_t calcul_e(int64_t base, int64_t Nb_decimales)
{
    if (!request_servable(base, Nb_decimales) ||
        request_too_large("e", base, Nb_decimales, kMaxWordsE, kExtraWordsBase2)) {
        return 1;
    }
    const int64_t Nb_decimales_Base64 = record_words(base, Nb_decimales, kExtraWordsBase2);
    Lii e{};
    Lii un{};
    Lii *const records[] = {&e, &un};
    if (!create_records(records, 2, Nb_decimales_Base64, kOutOfMemory)) {
        return 1;
    }
    print_formula(" e = 1/0! + 1/1! + 1/2! + ... \n");

    initialise_fixedPoint_bini(&e, 2);
    Residue re = residue_of_fixed_point(&e, 2);
    int64_t k = 2;
    initialise_fixedPoint_bini(&un, 1);
    Residue r_un = residue_of_fixed_point(&un, 1);
    Progress progress{};
    progress_begin_series(&progress, "e", Nb_decimales_Base64);
    const clock_t tops = read_clock();
    for (;;) {
        checked_div_R(&un, &r_un, static_cast<uint64_t>(k));
        if (un.signe == 0) {
            break;
        }
        ++k;
        checked_add(&e, &re, &un, &r_un);
        progress_term(&progress, un.indiceMax + 1);
    }
    const clock_t tops2 = read_clock();
    progress_series_end(&progress);
    print_duration_and_iterations(tops, tops2, k);

    const bool holds = residue_holds(&e, &re) && residue_holds(&un, &r_un);
    const int32_t result = !holds ? kStatusWrong : print_value(base, &e);
    destroyLii(&e);
    destroyLii(&un);
    if (!holds) {
        report_wrong_value("the series of e");
    }
    return result;
}
