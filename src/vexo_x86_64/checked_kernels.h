// Kernel calls that check themselves.
//
// Every record of a series holds an exact integer, its words, and every
// kernel call is an exact integer operation once the word it returns is taken
// into account. So each record is paired with its value modulo the prime
// p = 2^61 - 1, updated in O(1) after each call from the operands' residues
// and the returned word; when a series ends, the residues computed from the
// words (residueLii) must equal the tracked ones. A wrong word anywhere, a
// lost carry, a wrong remainder or a word changed between two calls makes
// them differ, but with odds near 2^-61; a correct run never does.
//
// A division would need d^-1 mod p, a few hundred nanoseconds each: as much
// as the kernel call itself on the short records at the end of a series. The
// residue is kept instead as a fraction n / m, and a division makes
// (n - r m) / (m d), with no inverse at all.
#pragma once

#include <cstdint>

#include "lfx86_64.h"
#include "residue_arithmetic.h"
#include "vexo_assert.h"

// The value of a record modulo p, as n / m; m is never 0.
struct Residue {
    uint64_t n;
    uint64_t m;
};

// The residue of a record just set to the fixed-point integer v (word T-1).
inline Residue residue_of_fixed_point(const Lii *a, uint64_t v)
{
    return {residue_mul(residue_fold(v), residue_word_weight(a->taille_mantisse - 1)), 1};
}

// n / m minus c * weight, where c is a word a kernel returned; a weight of
// p - w adds c * w.
inline void residue_take_away(Residue *r, uint64_t c, uint64_t weight)
{
    r->n = residue_sub(r->n, residue_mul(residue_mul(residue_fold(c), weight), r->m));
}

// na / ma + nb / mb, or minus it: one denominator ma mb, no inverse.
inline Residue residue_combine(const Residue *ra, const Residue *rb, bool subtract)
{
    const uint64_t a = residue_mul(ra->n, rb->m);
    const uint64_t b = residue_mul(rb->n, ra->m);
    return {subtract ? residue_sub(a, b) : residue_add(a, b), residue_mul(ra->m, rb->m)};
}

// A := A + B; a carry lost above word T-1 leaves A + B - 2^(64 T).
inline void checked_add(Lii *a, Residue *ra, const Lii *b, const Residue *rb)
{
    VEXO_ASSERT(lii_top_index_valid(a) && lii_top_index_valid(b));
    const uint64_t carry = add_R_2P_x86_64_bini_spe(a, b);
    *ra = residue_combine(ra, rb, false);
    if (carry != 0) {
        residue_take_away(ra, carry, residue_word_weight(a->taille_mantisse));
    }
}

// A := A - B; a borrow out of the top word leaves A - B + 2^(64 (top + 1)),
// top being the higher of the two indiceMax on entry (at most T-1).
inline void checked_sub(Lii *a, Residue *ra, const Lii *b, const Residue *rb)
{
    VEXO_ASSERT(lii_top_index_valid(a) && lii_top_index_valid(b));
    int64_t top = a->indiceMax > b->indiceMax ? a->indiceMax : b->indiceMax;
    top = top < a->taille_mantisse - 1 ? top : a->taille_mantisse - 1;
    const uint64_t borrow = sub_R_2P_x86_64_bini_spe(a, b);
    *ra = residue_combine(ra, rb, true);
    if (borrow != 0) {
        residue_take_away(ra, borrow, kResiduePrime - residue_word_weight(top + 1));
    }
}

// A := A f; a top word that did not fit leaves A f - top 2^(64 T).
inline void checked_mul(Lii *a, Residue *ra, uint64_t f)
{
    VEXO_ASSERT(lii_top_index_valid(a));
    const uint64_t top = mulB_R_x86_64_bini(a, f);
    ra->n = residue_mul(ra->n, residue_fold(f));
    if (top != 0) {
        residue_take_away(ra, top, residue_word_weight(a->taille_mantisse));
    }
}

// The quotient of A = n / m by d with remainder r: A = d Q + r, so
// Q = (n - r m) / (m d).
inline Residue residue_quotient(const Residue *ra, uint64_t r, uint64_t d)
{
    return {residue_sub(ra->n, residue_mul(residue_fold(r), ra->m)), residue_mul(ra->m, residue_fold(d))};
}

// A := floor(A / d) in place.
inline void checked_div_R(Lii *a, Residue *ra, uint64_t d)
{
    VEXO_ASSERT(lii_top_index_valid(a));
    *ra = residue_quotient(ra, divHalfB_R_x86_64_bini(a, d), d);
}

// Q := floor(A / d), A only read.
inline void checked_div(Lii *q, Residue *rq, const Lii *a, const Residue *ra, uint64_t d)
{
    VEXO_ASSERT(lii_top_index_valid(a) && (a->signe == 0 || a->indiceMax < q->taille_mantisse));
    *rq = residue_quotient(ra, divHalfB_x86_64_bini(q, a, d), d);
}

// The words of a agree with the tracked residue: residueLii(a) m = n.
inline bool residue_holds(const Lii *a, const Residue *ra)
{
    return residue_mul(residueLii(a), ra->m) == ra->n;
}
