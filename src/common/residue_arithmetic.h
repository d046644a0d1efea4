// Arithmetic modulo the Mersenne prime p = 2^61 - 1, in which the library
// computes a record's residue (residueLii) and the calculators and the
// decimal printer keep the residues that check their kernel calls.
// 2^61 = 1 (mod p), so a fold of the bits above bit 60 onto the low ones
// reduces, and a word i places up weighs 2^(64 i) = 8^i.
#pragma once

#include <cstdint>

#include "int128.h"
#include "lfx86_64.h"

constexpr uint64_t kResiduePrime = LFX_RESIDUE_PRIME;

// Any word brought below 2^61 + 8, congruent to it.
inline uint64_t residue_fold(uint64_t v)
{
    return (v & kResiduePrime) + (v >> 61);
}

// v mod p, for any word.
inline uint64_t residue_reduce(uint64_t v)
{
    const uint64_t folded = residue_fold(v);
    return folded >= kResiduePrime ? folded - kResiduePrime : folded;
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
