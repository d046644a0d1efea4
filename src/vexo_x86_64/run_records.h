// The records of a run: how many words each has, the largest request that
// the series can serve, and their creation.
#pragma once

#include <cstdint>

#include "lfx86_64.h"

// The radixes the calculators print: 2, 10 and 16.
bool radix_served(int64_t base);

// log2(10) < 33219280949 / 10^10, the bound on which decimal digits are
// sized, so that n digits get at least n log2(10) fraction bits.
constexpr int64_t kLog2TenNumerator = 33219280949;
constexpr int64_t kLog2TenDenominator = 10000000000;

// Words of every record of a run: digits/64 + extra_words_base2 in radix 2,
// digits/16 + 4 in radix 16, floor(digits * log2(10) / 64) + 4 in radix 10
// (log2(10) by its bound above): an integer word and guard words against the
// truncation of every division. 0 for any other radix.
int64_t record_words(int64_t base, int64_t Nb_decimales, int64_t extra_words_base2);

// Every series keeps its divisors below 2^32, the division kernels' fast
// path, so every series has a largest record size it can serve. A calculator
// compares the digit count with the largest one accepted before it allocates
// anything.

// Largest digit count whose word count stays at or below max_words, for a
// calculator that sizes its records with record_words(base, digits,
// extra_words_base2). Saturates at INT64_MAX; -1 when even zero digits would
// need more than max_words, or for any other radix.
int64_t max_digits_for_words(int64_t base, int64_t max_words, int64_t extra_words_base2);
// The one line that refuses a request beyond the limit.
void print_request_too_large(const char *constant, int64_t base, int64_t max_digits);
// True, after printing the refusal line, when Nb_decimales in this radix would
// need more than max_words words; false (printing nothing) otherwise.
bool request_too_large(const char *constant, int64_t base, int64_t Nb_decimales, int64_t max_words,
                       int64_t extra_words_base2);

// Creates the records in order, each of `words` words. On a failure, writes
// out_of_memory_line as a line, destroys the records created before it (in
// creation order) and returns false; nothing is left allocated.
bool create_records(Lii *const *records, int count, int64_t words, const char *out_of_memory_line);
