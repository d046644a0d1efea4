// The yardstick's fixed-point numbers (bench/yardstick.cpp) and their steps on
// GMP's mpn functions, each the counterpart of one kernel call: W words, the
// integer word on top, and a used length, the counterpart of indiceMax + 1,
// which every step works on and shrinks as the top word becomes zero.
//
// Internal to the yardstick: the steps have internal linkage, so that they
// inline into its series as they did when they were written beside them.
#pragma once

#include <gmp.h>

#include <cstdlib>
#include <cstring>

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

} // namespace
