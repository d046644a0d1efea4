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

// The value of a record modulo p, as n / m; m is never 0.
struct Residue {
    uint64_t n;
    uint64_t m;
};

constexpr uint64_t kResiduePrime = LFX_RESIDUE_PRIME;
__extension__ typedef unsigned __int128 UInt128;

// Any word brought below 2^61 + 8, congruent to it: 2^61 = 1 (mod p).
inline uint64_t residue_fold(uint64_t v)
{
    return (v & kResiduePrime) + (v >> 61);
}

// a b mod p, for a and b below 2^61 + 8: the product is below 2^123.
inline uint64_t residue_mul(uint64_t a, uint64_t b)
{
    const UInt128 product = static_cast<UInt128>(a) * b;
    // Both parts are below 2^61 + 17, so their sum folds below p + 3.
    const uint64_t sum =
        residue_fold((static_cast<uint64_t>(product) & kResiduePrime) + static_cast<uint64_t>(product >> 61));
    return sum >= kResiduePrime ? sum - kResiduePrime : sum;
}

// a + b and a - b mod p, for a and b below p.
inline uint64_t residue_add(uint64_t a, uint64_t b)
{
    const uint64_t sum = a + b;
    return sum >= kResiduePrime ? sum - kResiduePrime : sum;
}

inline uint64_t residue_sub(uint64_t a, uint64_t b)
{
    return a >= b ? a - b : a + kResiduePrime - b;
}

// 2^(64 i) = 8^i = 2^(3i mod 61) (mod p), for i >= 0.
inline uint64_t residue_word_weight(int64_t i)
{
    return uint64_t{1} << ((3 * i) % 61);
}

// The residue of a record just set to the fixed-point integer v (word T-1).
inline Residue residue_of_fixed_point(const Lii *a, uint64_t v)
{
    return {residue_mul(residue_fold(v), residue_word_weight(a->taille_mantisse - 1)), 1};
}

// n / m minus c * weight, where c is a word a kernel returned.
inline void residue_take_away(Residue *r, uint64_t c, uint64_t weight)
{
    r->n = residue_sub(r->n, residue_mul(residue_mul(residue_fold(c), weight), r->m));
}

// A := A + B; a carry lost above word T-1 leaves A + B - 2^(64 T).
inline void checked_add(Lii *a, Residue *ra, const Lii *b, const Residue *rb)
{
    const uint64_t carry = add_R_2P_x86_64_bini_spe(a, b);
    *ra = {residue_add(residue_mul(ra->n, rb->m), residue_mul(rb->n, ra->m)), residue_mul(ra->m, rb->m)};
    if (carry != 0) {
        residue_take_away(ra, carry, residue_word_weight(a->taille_mantisse));
    }
}

// A := A - B; a borrow out of the top word leaves A - B + 2^(64 (top + 1)),
// top being the higher of the two indiceMax on entry (at most T-1).
inline void checked_sub(Lii *a, Residue *ra, const Lii *b, const Residue *rb)
{
    int64_t top = a->indiceMax > b->indiceMax ? a->indiceMax : b->indiceMax;
    top = top < a->taille_mantisse - 1 ? top : a->taille_mantisse - 1;
    const uint64_t borrow = sub_R_2P_x86_64_bini_spe(a, b);
    *ra = {residue_sub(residue_mul(ra->n, rb->m), residue_mul(rb->n, ra->m)), residue_mul(ra->m, rb->m)};
    if (borrow != 0) {
        const uint64_t weight = residue_word_weight(top + 1);
        ra->n = residue_add(ra->n, residue_mul(residue_mul(residue_fold(borrow), weight), ra->m));
    }
}

// A := A f; a top word that did not fit leaves A f - top 2^(64 T).
inline void checked_mul(Lii *a, Residue *ra, uint64_t f)
{
    const uint64_t top = mulB_R_x86_64_bini(a, f);
    ra->n = residue_mul(ra->n, residue_fold(f));
    if (top != 0) {
        residue_take_away(ra, top, residue_word_weight(a->taille_mantisse));
    }
}

// A := floor(A / d) in place: old A = d A + r, so A = (n - r m) / (m d).
inline void checked_div_R(Lii *a, Residue *ra, uint64_t d)
{
    const uint64_t r = divHalfB_R_x86_64_bini(a, d);
    *ra = {residue_sub(ra->n, residue_mul(residue_fold(r), ra->m)), residue_mul(ra->m, residue_fold(d))};
}

// Q := floor(A / d), A only read.
inline void checked_div(Lii *q, Residue *rq, const Lii *a, const Residue *ra, uint64_t d)
{
    const uint64_t r = divHalfB_x86_64_bini(q, a, d);
    *rq = {residue_sub(ra->n, residue_mul(residue_fold(r), ra->m)), residue_mul(ra->m, residue_fold(d))};
}

// The words of a agree with the tracked residue: residueLii(a) m = n.
inline bool residue_holds(const Lii *a, const Residue *ra)
{
    return residue_mul(residueLii(a), ra->m) == ra->n;
}
