// A plain model of the five arithmetic kernels, written for clarity: one
// word at a time, carries and quotients through unsigned __int128. Each
// function has its kernel's signature and does exactly what the kernel
// does to the records: the same fields and words written, the same words
// left alone (stale words above indiceMax included), the same result, on
// every path, also on those that the calculators never take (see
// lfx86_64.h). The unit tests and the kernel fuzzer compare the assembly
// with it; GMP checks its arithmetic.
//
// Header only, so that the fuzz targets, each built from one source file,
// can use it as well. The model reads every field it needs before it writes
// any, so it also behaves as the kernels do when both arguments are the
// same record (add and subtract with A == B, the division into Q with
// Q == A).
#pragma once

#include <cstdint>
#include <string>

#include "int128.h"
#include "lfx86_64.h"

// ---- the record rules --------------------------------------------------------

// Which form of the record rules (lfx86_64.h) a record must keep.
enum RecordRules {
    kRecordAtRest,     // every record between calls
    kAfterLostTopWord, // right after an add or a multiply whose result reported
                       // a lost carry or top word: indiceMax may then stay at
                       // taille_mantisse-1 over a word that is zero
};

// Empty when the record keeps the rules; otherwise the rule it breaks. The
// test suites check records through record_contract_holds (record_support.h),
// the fuzz targets through this.
inline std::string record_rule_broken(const Lii *li, RecordRules rules)
{
    if (li->signe == 0) {
        return ""; // zero, whatever the other fields hold
    }
    const int64_t top = li->indiceMax;
    const int64_t last = li->taille_mantisse - 1;
    if (top < 0 || top > last) {
        return "signe " + std::to_string(li->signe) + " with indiceMax " + std::to_string(top) +
               " outside 0.." + std::to_string(last);
    }
    if (li->mantisse[top] == 0 && !(rules == kAfterLostTopWord && top == last)) {
        return "word at indiceMax " + std::to_string(top) + " is zero";
    }
    return "";
}

// ---- the kernels ---------------------------------------------------------------

// Two words, for a carry, a product or a two-word dividend (__extension__:
// the type is the compilers' own, not standard C++).

// Index of the highest non-zero word among words 0..from, -1 when none is.
inline int64_t model_highest_nonzero(const uint64_t *w, int64_t from)
{
    while (from >= 0 && w[from] == 0) {
        --from;
    }
    return from;
}

// Sets indiceMax from a downward search that starts at word `from`: an
// all-zero result gets signe 0 and indiceMax -1; a zero record that became
// non-zero takes signe 1; any other signe stays.
inline void model_rescan(Lii *A, int64_t from)
{
    A->indiceMax = model_highest_nonzero(A->mantisse, from);
    if (A->indiceMax < 0) {
        A->signe = 0;
    } else if (A->signe == 0) {
        A->signe = 1;
    }
}

// a + b + carry (carry 0 or 1) into *sum; returns the carry out.
inline uint64_t model_add_word(uint64_t a, uint64_t b, uint64_t carry, uint64_t *sum)
{
    const UInt128 s = static_cast<UInt128>(a) + b + carry;
    *sum = static_cast<uint64_t>(s);
    return static_cast<uint64_t>(s >> 64);
}

// a - b - borrow (borrow 0 or 1) into *difference; returns the borrow out.
inline uint64_t model_sub_word(uint64_t a, uint64_t b, uint64_t borrow, uint64_t *difference)
{
    const UInt128 d = static_cast<UInt128>(a) - b - borrow;
    *difference = static_cast<uint64_t>(d);
    return (d >> 64) != 0 ? 1 : 0;
}

// The path that callers never take: A zero, or B's top above A's. Words
// 0..top, top = min(B.indiceMax, taille_mantisse - 1), get A op B, A's
// words above its indiceMax counting as zero; then a rescan from the
// highest word written. The result is 1 when anything was lost (B's words
// beyond A's array, a carry out of A's last word) and, for the subtract,
// always (B > A).
inline uint64_t model_add_sub_outside_rules(Lii *A, const Lii *B, bool adding)
{
    uint64_t *a = A->mantisse;
    const uint64_t *b = B->mantisse;
    const int64_t last = A->taille_mantisse - 1;
    const int64_t a_top = A->signe != 0 ? A->indiceMax : -1;
    const int64_t top = B->indiceMax < last ? B->indiceMax : last;
    uint64_t result = B->indiceMax > last || !adding ? 1 : 0;
    uint64_t carry = 0;
    for (int64_t i = 0; i <= top; ++i) {
        const uint64_t a_word = i <= a_top ? a[i] : 0;
        carry =
            adding ? model_add_word(a_word, b[i], carry, &a[i]) : model_sub_word(a_word, b[i], carry, &a[i]);
    }
    int64_t written = top;
    if (adding && carry != 0) {
        if (top < last) {
            a[++written] = 1;
        } else {
            result = 1;
        }
    }
    model_rescan(A, written);
    return result;
}

// add_R_2P_x86_64_bini_spe.
inline uint64_t model_add(Lii *A, const Lii *B)
{
    if (B->signe == 0) {
        return 0;
    }
    if (A->signe == 0 || B->indiceMax > A->indiceMax) {
        return model_add_sub_outside_rules(A, B, true);
    }
    uint64_t *a = A->mantisse;
    const uint64_t *b = B->mantisse;
    const int64_t a_top = A->indiceMax;
    const int64_t b_top = B->indiceMax;
    uint64_t carry = 0;
    for (int64_t i = 0; i <= b_top; ++i) {
        carry = model_add_word(a[i], b[i], carry, &a[i]);
    }
    for (int64_t i = b_top + 1; i <= a_top && carry != 0; ++i) {
        carry = model_add_word(a[i], 1, 0, &a[i]);
    }
    if (carry == 0) {
        return 0;
    }
    if (a_top == A->taille_mantisse - 1) {
        return 1; // lost: indiceMax stays, over a word that may be zero now
    }
    a[a_top + 1] = 1;
    A->indiceMax = a_top + 1;
    return 0;
}

// sub_R_2P_x86_64_bini_spe.
inline uint64_t model_sub(Lii *A, const Lii *B)
{
    if (B->signe == 0) {
        return 0;
    }
    if (A->signe == 0 || B->indiceMax > A->indiceMax) {
        return model_add_sub_outside_rules(A, B, false);
    }
    uint64_t *a = A->mantisse;
    const uint64_t *b = B->mantisse;
    const int64_t a_top = A->indiceMax;
    const int64_t b_top = B->indiceMax;
    uint64_t borrow = 0;
    for (int64_t i = 0; i <= b_top; ++i) {
        borrow = model_sub_word(a[i], b[i], borrow, &a[i]);
    }
    for (int64_t i = b_top + 1; i <= a_top && borrow != 0; ++i) {
        borrow = model_sub_word(a[i], 1, 0, &a[i]);
    }
    model_rescan(A, a_top);
    return borrow;
}

// mulB_R_x86_64_bini.
inline uint64_t model_mul(Lii *A, uint64_t f)
{
    if (A->signe == 0) {
        return 0;
    }
    if (f == 0) {
        A->signe = 0; // nothing else changes
        return 0;
    }
    uint64_t *a = A->mantisse;
    const int64_t a_top = A->indiceMax;
    uint64_t carry = 0;
    for (int64_t i = 0; i <= a_top; ++i) {
        const UInt128 p = static_cast<UInt128>(a[i]) * f + carry;
        a[i] = static_cast<uint64_t>(p);
        carry = static_cast<uint64_t>(p >> 64);
    }
    if (carry == 0) {
        return 0;
    }
    if (a_top == A->taille_mantisse - 1) {
        return carry; // lost: indiceMax stays, over a word that may be zero now
    }
    a[a_top + 1] = carry;
    A->indiceMax = a_top + 1;
    return 0;
}

// What the division kernels return for d == 0, which no remainder can be.
constexpr uint64_t kModelNoRemainder = ~uint64_t{0};

// Divides words from..0 of `in` by d, most significant first, into the
// words of the same index of `out` (which may be `in`), starting with the
// remainder r < d carried in; returns the last remainder. Every quotient
// word fits a word because the remainder carried into it is below d.
inline uint64_t model_divide_words(uint64_t *out, const uint64_t *in, int64_t from, uint64_t d, uint64_t r)
{
    for (int64_t i = from; i >= 0; --i) {
        const UInt128 n = static_cast<UInt128>(r) << 64 | in[i];
        out[i] = static_cast<uint64_t>(n / d);
        r = static_cast<uint64_t>(n % d);
    }
    return r;
}

// divHalfB_R_x86_64_bini, every divisor: exact for any d >= 1 (the kernel
// takes a slower path from 2^32 on), A untouched for d == 0.
inline uint64_t model_div_in_place(Lii *A, uint64_t d)
{
    if (d == 0) {
        return kModelNoRemainder;
    }
    if (A->signe == 0 || d == 1) {
        return 0;
    }
    uint64_t *a = A->mantisse;
    int64_t top = A->indiceMax;
    uint64_t r = 0;
    if (a[top] < d) { // quotient word 0: the word is cleared, the top drops by one
        r = a[top];
        a[top] = 0;
        A->indiceMax = --top;
        if (top < 0) {
            A->signe = 0;
            return r;
        }
    }
    return model_divide_words(a, a, top, d, r);
}

// divHalfB_x86_64_bini, every divisor as above; Q and A untouched for
// d == 0. Q's taille_mantisse is never read, and its words above A's
// indiceMax keep what they hold.
inline uint64_t model_div_into(Lii *Q, const Lii *A, uint64_t d)
{
    if (d == 0) {
        return kModelNoRemainder;
    }
    if (A->signe == 0) { // Q's words and aux stay
        Q->indiceMax = -1;
        Q->signe = 0;
        return 0;
    }
    const int64_t signe = A->signe;
    const int64_t aux = A->aux;
    const uint64_t *a = A->mantisse;
    uint64_t *q = Q->mantisse;
    int64_t top = A->indiceMax;
    if (d == 1) {
        Q->signe = signe;
        Q->aux = aux;
        Q->indiceMax = top;
        for (int64_t i = 0; i <= top; ++i) {
            q[i] = a[i];
        }
        return 0;
    }
    uint64_t r = 0;
    if (a[top] < d) { // quotient word 0 written; the top drops by one
        r = a[top];
        q[top] = 0;
        --top;
        if (top < 0) { // a zero quotient: Q.aux stays
            Q->indiceMax = -1;
            Q->signe = 0;
            return r;
        }
    }
    Q->indiceMax = top;
    Q->signe = signe;
    Q->aux = aux;
    return model_divide_words(q, a, top, d, r);
}
