// pi as a sum of multiples of arctan(1/x), by four formulas. Each arctangent
// is an alternating series on fixed-point records, one kernel call per step;
// the formula routines time each series and combine the terms into p.
#include <cstdio>

#include "calculators.h"
#include "checked_kernels.h"
#include "clock.h"
#include "output.h"
#include "pi_digit_check.h"
#include "progress.h"
#include "run_records.h"

namespace {

// How a term of a formula enters p.
enum Combination { kFirst, kAdd, kSubtract };

struct ArctanTerm {
    int64_t x;           // the term is arctan(1/x)
    uint64_t multiplier; // four times its coefficient in pi/4
    Combination combination;
};

struct PiFormula {
    const char *name;     // names the formula in the too-large line
    const char *banner_1; // both banner lines are written with puts
    const char *banner_2;
    const ArctanTerm *terms;
    int term_count;
    const char *total_line; // printf format taking the total duration
    // The four-term formula writes its total line before combining its last
    // term; the others write it once every term is in p.
    bool total_before_last_combination;
};

constexpr ArctanTerm kNewtonTerms[] = {{2, 4, kFirst}, {3, 4, kAdd}};
constexpr ArctanTerm kMachinTerms[] = {{5, 16, kFirst}, {239, 4, kSubtract}};
constexpr ArctanTerm kGaussTerms[] = {{18, 48, kFirst}, {57, 32, kAdd}, {239, 20, kSubtract}};
constexpr ArctanTerm kFourTerms[] = {{23, 68, kFirst}, {182, 32, kAdd}, {5118, 40, kAdd}, {6072, 20, kAdd}};

constexpr PiFormula kFormulas[] = {
    {"pi by formula 1", "\n Formula used (de Newton) :", " pi/4 = arctan( 1/2 ) + arctan( 1/3 )\n",
     kNewtonTerms, 2, " Total duration = %7.3f secondes.\n", false},
    {"pi by formula 2", "\n Formula used (de Machin) :", " pi/4 = 4 arctan( 1/5 ) - arctan( 1/239 )\n",
     kMachinTerms, 2, " Duration = %7.3f seconds.\n", false},
    {"pi by formula 3",
     "\n Formula used :", " pi/4 = 12 arctan( 1/18 ) + 8 arctan( 1/57 ) - 5 arctan( 1/239 )\n", kGaussTerms,
     3, " Duration = %7.3f seconds.\n", false},
    {"pi by formula 4", " Formula used :",
     " pi/4 = 17 arctan(1/23) + 8 arctan( 1/182 ) + 10 arctan( 1/5118 ) + 5 arctan( 1/6072 )\n", kFourTerms,
     4, " Total duration = %7.3f seconds.\n", true},
};
constexpr int kFormulaCount = 4;

constexpr int64_t kExtraWordsBase2 = kPiExtraWordsBase2;

constexpr uint64_t kHalfWordLimit = uint64_t{1} << 32;
// The room that max_words leaves between the last odd divisor of a series
// and kHalfWordLimit (the comment above max_words says why).
constexpr uint64_t kDivisorMargin = uint64_t{1} << 20;

int64_t arctan_series(Lii *a, Residue *ra, int64_t x, int64_t W, Progress *progress);
double log2_lower_bound(int64_t x);

// Share of a formula's work in the series of arctan(1/x): about F / (2 log2 x)
// terms, each costing k + 1 divisions for k terms of a group.
double series_work(int64_t x)
{
    const auto k = static_cast<double>(arctan_group_terms(static_cast<uint64_t>(x), 1));
    return (k + 1.0) / (2.0 * k) / log2_lower_bound(x);
}

// Share of the work of f done before the series of its term i, and the share
// that series takes.
void series_share(const PiFormula *f, int i, double *done, double *weight)
{
    double total = 0.0;
    double before = 0.0;
    for (int t = 0; t < f->term_count; ++t) {
        total += series_work(f->terms[t].x);
        before += t < i ? series_work(f->terms[t].x) : 0.0;
    }
    *done = before / total;
    *weight = series_work(f->terms[i].x) / total;
}

// Tells the progress line that the series of term i of f starts.
void announce_series(Progress *progress, const PiFormula *f, int i, int64_t W, char *label, size_t label_size)
{
    double done = 0.0;
    double weight = 0.0;
    series_share(f, i, &done, &weight);
    std::snprintf(label, label_size, "arctan(1/%ld)", f->terms[i].x);
    progress_series(progress, label, done, weight, W);
}

void print_term_duration(int64_t x, clock_t start, clock_t end)
{
    std::printf(" Duration = %7.3f seconds for arctan(1/%ld).\n", seconds_between(start, end), x);
    flush_output();
}

void combine(Lii *p, Residue *rp, Lii *term, Residue *rterm, const ArctanTerm *t)
{
    checked_mul(term, rterm, t->multiplier);
    if (t->combination == kAdd) {
        checked_add(p, rp, term, rterm);
    } else {
        checked_sub(p, rp, term, rterm);
    }
}

// Runs a formula: p (holding no array on entry) gets pi in W words.
// Returns 1, with nothing left allocated, when a series ran out of memory,
// and kStatusWrong, with nothing left allocated, when the arithmetic of a
// series or of the combination failed its check.
int32_t run_formula(Lii *p, int64_t W, const PiFormula *f)
{
    std::puts(f->banner_1);
    std::puts(f->banner_2);
    flush_output();

    Progress progress{};
    progress_begin(&progress);
    char label[32];
    announce_series(&progress, f, 0, W, label, sizeof label);
    const clock_t tops = read_clock();
    Residue rp{};
    const int64_t first = arctan_series(p, &rp, f->terms[0].x, W, &progress);
    progress_series_end(&progress);
    if (first > 0) {
        return static_cast<int32_t>(first); // p failed: arctan_series released it
    }
    print_term_duration(f->terms[0].x, tops, read_clock());
    checked_mul(p, &rp, f->terms[0].multiplier);

    for (int i = 1; i < f->term_count; ++i) {
        const ArctanTerm *t = &f->terms[i];
        const bool last = i == f->term_count - 1;
        Lii term{};
        Residue rterm{};
        announce_series(&progress, f, i, W, label, sizeof label);
        const clock_t tops2 = read_clock();
        const int64_t failed = arctan_series(&term, &rterm, t->x, W, &progress);
        progress_series_end(&progress);
        if (failed > 0) {
            destroyLii(p);
            return static_cast<int32_t>(failed);
        }
        const clock_t tops3 = read_clock();
        print_term_duration(t->x, tops2, tops3);
        if (last && f->total_before_last_combination) {
            std::printf(f->total_line, seconds_between(tops, tops3));
            flush_output();
        }
        combine(p, &rp, &term, &rterm, t);
        if (last && !f->total_before_last_combination) {
            std::printf(f->total_line, seconds_between(tops, tops3));
            flush_output();
        }
        destroyLii(&term);
    }
    if (!residue_holds(p, &rp)) {
        destroyLii(p);
        report_wrong_value("the combination of the arctangent series");
        return kStatusWrong;
    }
    return 0;
}

// Largest word count that a formula accepts.
//
// In arctan_bini(1/x) with F = 64*(W-1) fraction bits, the power record
// holds at most 2^F / x^(2n+3) units of 2^-F after term n (truncation only
// lowers it). The loop ends at the first n where it is zero, so the power was
// still >= 1 after term n-1 of the last term n: x^(2n+1) <= 2^F, that is, the
// last odd divisor 2n+1 is at most F / log2(x). The series keep every
// divisor below 2^32, the division kernels' fast path (two multiplications
// per half-word, where a larger divisor costs a hardware division per word),
// so it is enough that F <= (2^32 - 2^20) * log2(x) for
// the formula's smallest x (its slowest series). The 2^20 margin, about
// 0.02 %, dwarfs the error of log2_lower_bound below. Grouped terms keep
// their divisors below 2^32 by themselves (arctan_group_terms), down to
// groups of one term, whose divisors are x^2 and 2n+1.
//
// log2 is computed here rather than taken from the maths library: the program
// needs nothing else from it, and not mapping it saves a few hundred KiB of
// resident memory in every run.
//
// log2_lower_bound(x) for x >= 2: the integer part from the top bit, then 40
// fraction bits by repeated squaring of the mantissa y in [1, 2): each bit is
// set only when y^2 reaches 2, and the bits left out only add, so the result
// is below log2(x) by less than 2^-40 plus the rounding of 40 squarings
// (about 2^-46 relative each), far inside the margin.
double log2_lower_bound(int64_t x)
{
    int whole = 0;
    while ((x >> (whole + 1)) != 0) {
        ++whole;
    }
    double y = static_cast<double>(x) / static_cast<double>(INT64_C(1) << whole);
    double result = whole;
    double weight = 0.5;
    for (int bit = 0; bit < 40; ++bit) {
        y *= y;
        if (y >= 2.0) {
            y /= 2.0;
            result += weight;
        }
        weight /= 2.0;
    }
    return result;
}

int64_t max_words(const PiFormula *f)
{
    int64_t smallest_x = f->terms[0].x;
    for (int i = 1; i < f->term_count; ++i) {
        smallest_x = f->terms[i].x < smallest_x ? f->terms[i].x : smallest_x;
    }
    const double max_fraction_bits =
        static_cast<double>(kHalfWordLimit - kDivisorMargin) * log2_lower_bound(smallest_x);
    return 1 + static_cast<int64_t>(max_fraction_bits / 64.0);
}

} // namespace

void pi_series_share(int32_t formule, int term, double *done, double *weight)
{
    series_share(&kFormulas[formule - 1], term, done, weight);
}

int64_t arctan_group_terms(uint64_t x, uint64_t n)
{
    const uint64_t d = x * x;
    // power = x^(2j) times the odd number 2(n+j)+1 divides term n+j, and the
    // group closes with the power x^(2k). u * v < 2^32 is tested as
    // v <= (2^32 - 1) / u, which cannot overflow.
    constexpr uint64_t kLargest = kHalfWordLimit - 1;
    uint64_t power = 1;
    int64_t k = 0;
    while (2 * (n + static_cast<uint64_t>(k)) + 1 <= kLargest / power && d <= kLargest / power) {
        power *= d;
        ++k;
    }
    return k > 0 ? k : 1;
}

namespace {

// arctan_bini, showing its progress on the line of the run, and leaving in
// *ra the residue of a that its steps imply. Every record of the series is
// checked against its residue at the end: a wrong value gives kStatusWrong,
// after the failure line, with every record (a included) released.
int64_t arctan_series(Lii *a, Residue *ra, int64_t x, int64_t W, Progress *progress)
{
    Lii b{};
    Lii un{};
    Lii *const records[] = {a, &b, &un};
    if (!create_records(records, 3, W, "not enough memeory !!!")) {
        return 1;
    }

    const auto ux = static_cast<uint64_t>(x);
    const uint64_t d = ux * ux; // below 2^32 for every x used, so one division per power
    initialise_fixedPoint_bini(a, 1);
    *ra = residue_of_fixed_point(a, 1);
    checked_div_R(a, ra, ux);
    copyLii(&un, a);
    Residue r_un = *ra;
    checked_div_R(&un, &r_un, d);
    Residue rb{0, 1}; // b is zero until the first term

    // a = 1/x - 1/(3x^3) + 1/(5x^5) - ...; un holds 1/x^(2n+1) at term n.
    // Truncated divisions nest, floor(floor(N/u)/v) = floor(N/(u v)), so term
    // n+j, floor(un / x^(2j) / (2(n+j)+1)), comes straight from the power of
    // term n, and a group of k terms costs k+1 divisions instead of 2k, with
    // the very values that one division after another would give. The test
    // follows each group: a term whose power has already vanished is zero and
    // adds nothing, and a term that truncated to zero still counts.
    for (uint64_t n = 1;;) {
        const int64_t k = arctan_group_terms(ux, n);
        uint64_t power = 1;
        for (int64_t j = 0; j < k; ++j, ++n) {
            checked_div(&b, &rb, &un, &r_un, power * (2 * n + 1));
            if ((n & 1) != 0) {
                checked_sub(a, ra, &b, &rb);
            } else {
                checked_add(a, ra, &b, &rb);
            }
            power *= d;
        }
        checked_div_R(&un, &r_un, power);
        if (un.signe == 0) {
            break;
        }
        progress_term(progress, un.indiceMax + 1);
    }
    const bool holds = residue_holds(a, ra) && residue_holds(&b, &rb) && residue_holds(&un, &r_un);
    destroyLii(&un);
    destroyLii(&b);
    if (!holds) {
        destroyLii(a);
        report_wrong_value("the series of arctan(1/%ld)", x);
        return kStatusWrong;
    }
    return 0;
}

} // namespace

int64_t arctan_bini(Lii *a, int64_t x, int64_t nb_decimales_en_base_BASE64_BINI)
{
    Progress silent{};
    progress_begin_on(&silent, nullptr, 0.0);
    Residue ra{};
    return arctan_series(a, &ra, x, nb_decimales_en_base_BASE64_BINI, &silent);
}

int64_t pi_Newton_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN)
{
    return run_formula(p, nb_decimales_en_base_BASE64_BIN, &kFormulas[0]);
}

int32_t pi_Machin_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN)
{
    return run_formula(p, nb_decimales_en_base_BASE64_BIN, &kFormulas[1]);
}

int32_t pi_arctan_18_57_239_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN)
{
    return run_formula(p, nb_decimales_en_base_BASE64_BIN, &kFormulas[2]);
}

int32_t pi_arctan_23_182_5118_6072_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN)
{
    return run_formula(p, nb_decimales_en_base_BASE64_BIN, &kFormulas[3]);
}

namespace {

int64_t run_formula_number(Lii *pi, int64_t W, int32_t formule)
{
    switch (formule) {
    case 1:
        return pi_Newton_bini(pi, W);
    case 2:
        return pi_Machin_bini(pi, W);
    case 3:
        return pi_arctan_18_57_239_bini(pi, W);
    default:
        return pi_arctan_23_182_5118_6072_bini(pi, W);
    }
}

} // namespace

int32_t calcul_pi(int64_t base, int64_t Nb_decimales, int32_t formule)
{
    if (!radix_served(base) || formule < 1 || formule > kFormulaCount) {
        return 1;
    }
    const PiFormula *f = &kFormulas[formule - 1];
    // Checked in digits before W is formed, so no count overflows W or W*8.
    if (request_too_large(f->name, base, Nb_decimales, max_words(f), kExtraWordsBase2)) {
        return 1;
    }
    const int64_t Nb_decimales_Base64 = record_words(base, Nb_decimales, kExtraWordsBase2);

    Lii pi{};
    const int64_t computed = run_formula_number(&pi, Nb_decimales_Base64, formule);
    if (computed == kStatusWrong) {
        return kStatusWrong;
    }
    if (computed > 0) {
        std::puts("Not enough memory !\n");
        return 1;
    }
    if (!pi_last_digits_agree(&pi, last_hex_digit_needed(base, Nb_decimales), pi_hex_digits_at)) {
        destroyLii(&pi);
        report_pi_digits_disagree();
        return kStatusWrong;
    }
    const uint64_t printed = print_constant(base, &pi);
    destroyLii(&pi);
    if (printed == LFX_PRINT_CHECK_FAILED) {
        return kStatusWrong;
    }
    if (printed != LFX_PRINTED) {
        std::puts("Not enough memory !\n");
        return 1;
    }
    return 0;
}
