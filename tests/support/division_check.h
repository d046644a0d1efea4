// Dividing a value with both division kernels and checking everything
// against GMP's mpn_divrem_1 and the kernel model: quotient words,
// remainder, signe/indiceMax/aux, words above indiceMax, guard words around
// every array and the record contract; and the operands the division tests
// share.
#pragma once

#include <cstdint>
#include <random>
#include <vector>

#include "lfx86_64.h"
#include "record_support.h"

constexpr uint64_t kMaxWord = ~UINT64_C(0);

struct Quotient {
    std::vector<uint64_t> words; // as many words as the dividend
    uint64_t reste;
};

Quotient gmp_divide(const std::vector<uint64_t> &a, uint64_t d);
// Index of the quotient's top word: one below the dividend's when the top
// quotient word is zero (-1 for a zero quotient).
int64_t quotient_top(const Quotient &q);
// Fills the whole array: `value` in words 0..value.size()-1, non-zero stale
// words above; indiceMax is the value's top word.
void load_value(Lii *li, const std::vector<uint64_t> &value, int64_t signe, std::mt19937_64 *rng);
std::vector<uint64_t> all_words(const Lii *li);
// Divides `value` (top word non-zero) in place with the in-place kernel, and
// with the other kernel given the same record as Q and A, and into a Q full
// of stale words and fields; checks every result.
void check_both(const std::vector<uint64_t> &value, uint64_t d, int64_t signe, std::mt19937_64 *rng);
// A random 32-bit divisor of random bit length, at least 2.
uint64_t random_half_word_divisor(std::mt19937_64 *rng);
// Small, half-word, power-of-two and whole-word divisors.
std::vector<uint64_t> divisors_under_test(std::mt19937_64 *rng);
// Random words of the given kind with a non-zero top word.
std::vector<uint64_t> random_value(std::mt19937_64 *rng, size_t n, WordKind kind);
