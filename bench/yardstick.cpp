// vexo_gmp_yardstick [--grouped] n cst radix [method]: the calculator's own
// series, step for step, with GMP's mpn functions in place of the five
// kernels. It is the yardstick that whole runs of vexo_x86_64 are timed
// against: without --grouped, the arctangent series one term at a time (two
// divisions per term), as the series is written; with it, the terms sharing
// their divisions as the program groups them, for a like-for-like measure.
//
// Everything that decides the work is the calculator's: the word count W, the
// fixed-point records of W words (integer word on top), the loops, the order
// of the terms, the stopping rules (stop when the in-place division of the
// power or term leaves zero, tested after each term), the multipliers, the
// combinations and the final scaling. Each record keeps a used length, the
// counterpart of indiceMax + 1, so that GMP does the same amount of work as
// the kernels (yardstick_steps.h).
//
// Standard output carries only the digits, printed by the library's own
// printer, so it must match the end of the program's output byte for byte.
// Standard error carries "key value" lines: series_seconds (the interval the
// program reports as its total duration, on the monotonic clock),
// print_seconds (the printer alone, flush included), and for e and the roots
// iterations (the number the program prints).
//
// vexo_gmp_yardstick --sizes n cst radix [method] computes nothing: it prints
// one line, "words=W digits=D text_bytes=T", what the program's own code
// makes of the request: W the words of each of its records (record_words
// with the calculator's guard words), D the fraction digits its printer
// writes (decimal_fraction_digits in radix 10, every digit of the W - 1
// fraction words otherwise) and T the bytes of the buffer in which the
// printer builds the whole text (constant_text_bytes: on the printer's stack
// up to kStackBytes, else one calloc).
#include <gmp.h>
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "calculators.h"
#include "cli.h"
#include "digit_layout.h"
#include "int128.h"
#include "lfx86_64.h"
#include "run_records.h"
#include "text_buffer.h"
#include "yardstick_steps.h"

namespace {

double now()
{
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// ---- pi --------------------------------------------------------------------

enum Combination { kFirst, kAdd, kSubtract };

struct Term {
    mp_limb_t x; // arctan(1/x)
    mp_limb_t multiplier;
    Combination combination;
};

constexpr Term kNewton[] = {{2, 4, kFirst}, {3, 4, kAdd}};
constexpr Term kMachin[] = {{5, 16, kFirst}, {239, 4, kSubtract}};
constexpr Term kGauss[] = {{18, 48, kFirst}, {57, 32, kAdd}, {239, 20, kSubtract}};
constexpr Term kFourTerms[] = {{23, 68, kFirst}, {182, 32, kAdd}, {5118, 40, kAdd}, {6072, 20, kAdd}};

struct Formula {
    const Term *terms;
    int term_count;
};

constexpr Formula kFormulas[] = {{kNewton, 2}, {kMachin, 2}, {kGauss, 3}, {kFourTerms, 4}};

// Terms n .. n+k-1 taken from one power, k the largest that keeps every
// divisor x^(2j) (2(n+j)+1) and the closing x^(2k) below 2^32.
mp_limb_t group_terms(mp_limb_t x, mp_limb_t n)
{
    const UInt128 limit = static_cast<UInt128>(1) << 32;
    const mp_limb_t d = x * x;
    UInt128 power = 1;
    mp_limb_t k = 0;
    while (power * (2 * (n + k) + 1) < limit && power * d < limit) {
        power *= d;
        ++k;
    }
    return k > 0 ? k : 1;
}

// a (created here) = arctan(1/x) = 1/x - 1/(3x^3) + 1/(5x^5) - ...
// One term at a time, two divisions per term; or, grouped as the program
// sums it, k + 1 divisions for k terms.
bool arctan(Number *a, mp_limb_t x, mp_size_t W, bool grouped)
{
    Number b, un;
    if (!create(a, W)) {
        return false;
    }
    if (!create(&b, W)) {
        destroy(a);
        return false;
    }
    if (!create(&un, W)) {
        destroy(a);
        destroy(&b);
        return false;
    }
    const mp_limb_t d = x * x;
    set_integer(a, 1);
    divide_in_place(a, x);
    copy(&un, a);
    divide_in_place(&un, d);
    for (mp_limb_t n = 1;;) {
        const mp_limb_t k = grouped ? group_terms(x, n) : 1;
        mp_limb_t power = 1;
        for (mp_limb_t j = 0; j < k; ++j, ++n) {
            divide_into(&b, &un, power * (2 * n + 1));
            if ((n & 1) != 0) {
                subtract(a, &b);
            } else {
                add(a, &b);
            }
            power *= d;
        }
        divide_in_place(&un, power);
        if (un.used == 0) {
            break;
        }
    }
    destroy(&un);
    destroy(&b);
    return true;
}

void combine(Number *p, Number *term, const Term *t)
{
    multiply(term, t->multiplier);
    if (t->combination == kAdd) {
        add(p, term);
    } else {
        subtract(p, term);
    }
}

// p (created here) = pi; *seconds gets the span the program reports as its
// total: from before the first series to the end of the last one.
bool calculate_pi(Number *p, const Formula *f, mp_size_t W, bool grouped, double *seconds)
{
    const double start = now();
    if (!arctan(p, f->terms[0].x, W, grouped)) {
        return false;
    }
    multiply(p, f->terms[0].multiplier);
    double end = now();
    for (int i = 1; i < f->term_count; ++i) {
        Number term;
        if (!arctan(&term, f->terms[i].x, W, grouped)) {
            destroy(p);
            return false;
        }
        end = now();
        combine(p, &term, &f->terms[i]);
        destroy(&term);
    }
    *seconds = end - start;
    return true;
}

// ---- e and the roots of two --------------------------------------------------

// e = 2 + sum of 1/k! for k >= 2; *k ends as the divisor that gave zero.
bool calculate_e(Number *e, mp_size_t W, int64_t *k, double *seconds)
{
    Number un;
    if (!create(e, W)) {
        return false;
    }
    if (!create(&un, W)) {
        destroy(e);
        return false;
    }
    set_integer(e, 2);
    *k = 2;
    set_integer(&un, 1);
    const double start = now();
    for (;;) {
        divide_in_place(&un, static_cast<mp_limb_t>(*k));
        if (un.used == 0) {
            break;
        }
        ++*k;
        add(e, &un);
    }
    *seconds = now() - start;
    destroy(&un);
    return true;
}

// numerator/19601 times the sum of t_0 = 1, t_j = t_{j-1} x (2j-1)/(2j),
// x = 1/384199201; *k counts the terms added after the first.
bool calculate_root(Number *r, mp_size_t W, mp_limb_t numerator, int64_t *k, double *seconds)
{
    Number un, term_share;
    if (!create(r, W)) {
        return false;
    }
    if (!create(&un, W)) {
        destroy(r);
        return false;
    }
    if (!create(&term_share, W)) {
        destroy(r);
        destroy(&un);
        return false;
    }
    set_integer(r, 1);
    *k = 0;
    set_integer(&un, 1);
    mp_limb_t divisor = 2;
    const double start = now();
    for (;;) {
        divide_in_place(&un, 384199201);
        if (un.used == 0) {
            break;
        }
        divide_into(&term_share, &un, divisor);
        ++*k;
        subtract(&un, &term_share);
        divisor += 2;
        add(r, &un);
    }
    *seconds = now() - start;
    multiply(r, numerator);
    divide_in_place(r, 19601);
    destroy(&un);
    destroy(&term_share);
    return true;
}

// ---- command line and output -------------------------------------------------

// The calculator's word counts: pi takes one guard word more in radix 2.
mp_size_t word_count(Constant cst, long base, long n)
{
    return static_cast<mp_size_t>(
        record_words(base, n, cst == kPi ? kPiExtraWordsBase2 : kRootsEExtraWordsBase2));
}

int usage()
{
    std::fputs(
        "usage: vexo_gmp_yardstick [--grouped|--sizes] n pi|e|sqrt2|1/sqrt2 2|10|16 [method 1-4, pi only]\n",
        stderr);
    return 1;
}

// --sizes: the words of each record, the digits printed and the text's bytes.
void print_sizes(Constant cst, long base, long n)
{
    const int64_t words = word_count(cst, base, n);
    const int64_t digits =
        base == 10 ? decimal_fraction_digits(words)
                   : (words - 1) * static_cast<int64_t>(fraction_digits_per_word(static_cast<int>(base)));
    std::printf("words=%ld digits=%ld text_bytes=%zu\n", words, digits, constant_text_bytes(digits));
}

// The digits through the library's printer: the words wrapped in an Lii.
void print(const Number *r, long base)
{
    Lii view{r->used != 0 ? 1 : 0, r->size, r->words, 0, r->used - 1};
    const double start = now();
    if (base == 2) {
        print_cst_base2_bini(&view);
    } else if (base == 10) {
        print_cst_base10_bini(&view);
    } else {
        print_cst_base16_bini(&view);
    }
    std::fflush(stdout);
    std::fprintf(stderr, "print_seconds %.6f\n", now() - start);
}

bool calculate(Number *r, Constant cst, long method, mp_size_t W, bool grouped)
{
    double seconds = 0.0;
    int64_t k = 0;
    bool done = false;
    switch (cst) {
    case kPi:
        done = calculate_pi(r, &kFormulas[method - 1], W, grouped, &seconds);
        break;
    case kE:
        done = calculate_e(r, W, &k, &seconds);
        break;
    case kSqrt2:
        done = calculate_root(r, W, 27720, &k, &seconds);
        break;
    default:
        done = calculate_root(r, W, 13860, &k, &seconds);
        break;
    }
    if (!done) {
        std::fputs("vexo_gmp_yardstick: not enough memory\n", stderr);
        return false;
    }
    std::fprintf(stderr, "series_seconds %.6f\n", seconds);
    if (cst != kPi) {
        std::fprintf(stderr, "iterations %ld\n", static_cast<long>(k));
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    // --grouped: the arctangent terms share their divisions as the program's
    // do; without it, the series one term at a time. --sizes: no series.
    const bool grouped = argc > 1 && std::strcmp(argv[1], "--grouped") == 0;
    const bool sizes = argc > 1 && std::strcmp(argv[1], "--sizes") == 0;
    if (grouped || sizes) {
        --argc;
        ++argv;
    }
    if (argc < 4) {
        return usage();
    }
    const long n = std::strtol(argv[1], nullptr, 10);
    const Constant cst = read_constant(argv[2]);
    const long base = std::strtol(argv[3], nullptr, 10);
    const long method = argc > 4 ? std::strtol(argv[4], nullptr, 10) : 0;
    if (n < 13 || cst == kUnknown || (base != 2 && base != 10 && base != 16) ||
        (cst == kPi && (method < 1 || method > 4))) {
        return usage();
    }
    if (sizes) {
        print_sizes(cst, base, n);
        return 0;
    }
    Number r;
    if (!calculate(&r, cst, method, word_count(cst, base, n), grouped)) {
        return 2;
    }
    print(&r, base);
    destroy(&r);
    return 0;
}
