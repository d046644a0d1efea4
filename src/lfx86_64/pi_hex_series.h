// Bellard's series of pi as pi_hex_digits_at sums it (pi_hex_digits.cpp):
// its terms, and the parts of the sum that the unit test checks on their
// own. Internal to the library: the functions are hidden in a shared build,
// and the test links the library's objects in.
//
// Bellard's formula,
//   pi = 2^-6 sum_k (-1)^k 2^-10k ( -2^5/(4k+1) - 1/(4k+3) + 2^8/(10k+1)
//        - 2^6/(10k+3) - 2^2/(10k+5) - 2^2/(10k+7) + 1/(10k+9) ),
// makes 16^n pi a sum of terms +-2^e/m with e = 4n - 6 + a - 10k for the
// term's coefficient 2^a, and m odd. Each term enters the sum as the 192-bit
// fixed-point number F = floor(2^(e+192) / m) mod 2^192. For e >= 0 (a head
// term) that is floor(frac(2^e/m) 2^192), as the whole part of 2^e/m is an
// integer, which frac(16^n pi) drops; for e < 0 (a tail term) it is the term
// itself, truncated. Either way F is the term's part of frac(16^n pi) 2^192,
// truncated by less than one unit.
#pragma once

#include <cstdint>

#include "int128.h"

// Hidden from a shared library's interface.
#pragma GCC visibility push(hidden)

namespace pi_hex {

// One of the seven terms of each k: (-1)^k sign 2^shift / (step k + offset),
// times the formula's 2^-6.
struct BellardTerm {
    uint64_t step;
    uint64_t offset;
    int shift;
    bool negative;
};
constexpr int kTermsPerK = 7;
constexpr BellardTerm kBellardTerms[kTermsPerK] = {{4, 1, 5, true},  {4, 3, 0, true},  {10, 1, 8, false},
                                                   {10, 3, 6, true}, {10, 5, 2, true}, {10, 7, 2, true},
                                                   {10, 9, 0, false}};

// The fast arithmetic serves moduli below 2^28, so the k below this one.
constexpr uint64_t kFastModulusLimit = uint64_t{1} << 28;
constexpr int64_t kFastKEnd = static_cast<int64_t>((kFastModulusLimit - 10) / 10) + 1;
static_assert(10 * (kFastKEnd - 1) + 9 < kFastModulusLimit && 10 * kFastKEnd + 9 >= kFastModulusLimit);

// e - a of the terms of k: the exponent of a term whose coefficient is 1.
// Every term of k is a head term when it is >= 0.
inline int64_t base_exponent(int64_t position, int64_t k)
{
    return 4 * position - 6 - 10 * k;
}

inline uint64_t term_modulus(int j, int64_t k)
{
    return kBellardTerms[j].step * static_cast<uint64_t>(k) + kBellardTerms[j].offset;
}

// All ones for a term that counts negatively, 0 for one that counts
// positively.
inline uint64_t sign_mask(int j, int64_t k)
{
    return 0 - static_cast<uint64_t>(kBellardTerms[j].negative != ((k & 1) != 0));
}

// A sum of 192-bit numbers modulo 2^192, kept as the sums of their words,
// so that adding one carries nothing from word to word: its value is
// top 2^128 + middle 2^64 + low. Each term is added as F XOR its sign mask:
// F when positive, ~F = -F - 1 when negative.
struct Sum192 {
    UInt128 low;
    UInt128 middle;
    uint64_t top;
};

// The value of a sum plus `extra`, modulo 2^192, as words, top first.
inline void sum_words(const Sum192 &sum, uint64_t extra, uint64_t words[3])
{
    const UInt128 low = sum.low + extra;
    const UInt128 middle = sum.middle + static_cast<uint64_t>(low >> 64);
    words[0] = sum.top + static_cast<uint64_t>(middle >> 64);
    words[1] = static_cast<uint64_t>(middle);
    words[2] = static_cast<uint64_t>(low);
}

// Adds the head terms of k_begin <= k < k_end, F XOR sign mask each, to sum:
// by the fast arithmetic wherever it serves when `fast`, all by the generic
// one otherwise. Needs base_exponent(position, k_end - 1) >= 0 and every
// modulus below 2^60.
void add_head_terms(Sum192 *sum, int64_t position, int64_t k_begin, int64_t k_end, bool fast);

// The series of 0 <= position <= LFX_PI_HEX_MAX_POSITION, to 192 bits,
// rounded up (pi_hex_digits.cpp tells how): S in words, top first.
// Returns the number of terms summed, N; S exceeds frac(16^position pi) 2^192
// by more than 0 and less than N + 2, modulo 2^192.
int64_t series_sum(int64_t position, uint64_t words[3]);

} // namespace pi_hex

#pragma GCC visibility pop
