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
// counterpart of indiceMax + 1, which every step works on and shrinks as the
// top word becomes zero, so that GMP does the same amount of work as the
// kernels: mpn_divrem_1 with no fraction limbs on the used words, mpn_add_n /
// mpn_sub_n over the term's used words and mpn_add_1 / mpn_sub_1 for the
// carry, mpn_mul_1 over the used words.
//
// Standard output carries only the digits, printed by the library's own
// printer, so it must match the end of the program's output byte for byte.
// Standard error carries "key value" lines: series_seconds (the interval the
// program reports as its total duration, on the monotonic clock),
// print_seconds (the printer alone, flush included), and for e and the roots
// iterations (the number the program prints).
#include <gmp.h>
#include <time.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli.h"
#include "int128.h"
#include "lfx86_64.h"
#include "run_records.h"

namespace {

struct Number {
    mp_limb_t *words; // W words, least significant first, calloc'd
    mp_size_t size;   // W
    mp_size_t used;   // words in use: 0 for zero, else words[used - 1] != 0
};

bool create(Number *r, mp_size_t size)
{
    r->words = static_cast<mp_limb_t *>(std::calloc(static_cast<size_t>(size), sizeof(mp_limb_t)));
    r->size = size;
    r->used = 0;
    return r->words != nullptr;
}

void destroy(Number *r)
{
    std::free(r->words);
    r->words = nullptr;
}

// The fixed-point value v: integer word v, fraction zero.
void set_integer(Number *r, mp_limb_t v)
{
    std::memset(r->words, 0, static_cast<size_t>(r->size) * sizeof(mp_limb_t));
    r->words[r->size - 1] = v;
    r->used = v != 0 ? r->size : 0;
}

// All W words and the used length, as the library's record copy does.
void copy(Number *dst, const Number *src)
{
    std::memcpy(dst->words, src->words, static_cast<size_t>(src->size) * sizeof(mp_limb_t));
    dst->used = src->used;
}

// r /= d in place. Only the top quotient word can be zero (the remainder it
// leaves is the old top word, so the next quotient word is at least 2^64/d),
// so the used length drops by one at most.
void divide_in_place(Number *r, mp_limb_t d)
{
    if (r->used == 0) {
        return;
    }
    mpn_divrem_1(r->words, 0, r->words, r->used, d);
    if (r->words[r->used - 1] == 0) {
        --r->used;
    }
}

// q = a / d, a unchanged; q's words above its used length keep stale values.
void divide_into(Number *q, const Number *a, mp_limb_t d)
{
    q->used = a->used;
    if (a->used == 0) {
        return;
    }
    mpn_divrem_1(q->words, 0, a->words, a->used, d);
    if (q->words[q->used - 1] == 0) {
        --q->used;
    }
}

// a += b, with b no longer than a in every series here. The carry runs on
// through a's used words (stopping where it is absorbed) and, past them,
// becomes a new top word while there is room.
void add(Number *a, const Number *b)
{
    const mp_size_t nb = b->used;
    if (nb == 0) {
        return;
    }
    mp_limb_t carry = mpn_add_n(a->words, a->words, b->words, nb);
    if (carry != 0 && a->used > nb) {
        carry = mpn_add_1(a->words + nb, a->words + nb, a->used - nb, 1);
    }
    if (carry != 0 && a->used < a->size) {
        a->words[a->used++] = 1;
    }
}

// a -= b with a >= b; the used length is found again from the top down.
void subtract(Number *a, const Number *b)
{
    const mp_size_t nb = b->used;
    if (nb == 0) {
        return;
    }
    const mp_limb_t borrow = mpn_sub_n(a->words, a->words, b->words, nb);
    if (borrow != 0 && a->used > nb) {
        mpn_sub_1(a->words + nb, a->words + nb, a->used - nb, 1);
    }
    while (a->used > 0 && a->words[a->used - 1] == 0) {
        --a->used;
    }
}

// a *= m; the top word of the product takes the next word while there is room.
void multiply(Number *a, mp_limb_t m)
{
    if (a->used == 0) {
        return;
    }
    const mp_limb_t high = mpn_mul_1(a->words, a->words, a->used, m);
    if (high != 0 && a->used < a->size) {
        a->words[a->used++] = high;
    }
}

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
    return static_cast<mp_size_t>(record_words(base, n, cst == kPi ? 4 : 3));
}

int usage()
{
    std::fputs("usage: vexo_gmp_yardstick [--grouped] n pi|e|sqrt2|1/sqrt2 2|10|16 [method 1-4, pi only]\n",
               stderr);
    return 1;
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
    // do; without it, the series one term at a time.
    const bool grouped = argc > 1 && std::strcmp(argv[1], "--grouped") == 0;
    if (grouped) {
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
    Number r;
    if (!calculate(&r, cst, method, word_count(cst, base, n), grouped)) {
        return 2;
    }
    print(&r, base);
    destroy(&r);
    return 0;
}
