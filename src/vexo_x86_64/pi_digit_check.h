// pi's last digits, proven: the record's hexadecimal digits that end at the
// last one a request depends on must be those that a digit-extraction
// formula (pi_hex_digits_at) computes for that place, with no digit before
// it. The residues prove that every kernel call was exact; this proves that
// the series summed the right terms, with enough guard words.
#pragma once

#include <cstdint>

#include "lfx86_64.h"

// The last hexadecimal digit of pi's fraction (digit 1 follows the point) on
// which n digits in the radix depend: digit n in radix 16; the one holding
// bit n in radix 2, and bit ceil(n log2 10) in radix 10.
int64_t last_hex_digit_needed(int64_t base, int64_t Nb_decimales);

// The 32 hexadecimal digits of the fixed-point record's fraction after its
// first `position` ones, as pi_hex_digits_at gives them: digits[0] the first
// 16. Words past the end of the record read as zero.
void record_hex_digits(const Lii *pi, int64_t position, uint64_t digits[2]);

enum WindowVerdict { kWindowAgrees, kWindowDisagrees, kWindowUndecided };

// The window of 8 digits that ends at digit `end` (8 to 32) of 32 digits
// extracted within `bound` units of the last one (extracted[0] the first 16):
// undecided when the value, moved by less than its bound either way, could
// cross a multiple of the window's last digit (the digits after the window
// are a run of 0 or F as far as the bound reaches); else whether the
// record's window holds the same digits.
WindowVerdict compare_window(const uint64_t extracted[2], uint64_t bound, const uint64_t record[2], int end);

// The digit extraction: pi_hex_digits_at, or a stand-in in the tests.
typedef uint64_t (*HexDigitsAt)(int64_t position, uint64_t digits[2]);

// Whether the record of pi agrees with the digit extraction in the window of
// 8 digits that ends at last_hex_digit (at digit 8 at least). A window left
// undecided moves left one digit at a time, the extraction with it whenever
// the window would leave it, until one is decided.
bool pi_last_digits_agree(const Lii *pi, int64_t last_hex_digit, HexDigitsAt extract);
