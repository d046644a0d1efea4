// Independent reference digits of the program's constants, from MPFR.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The constant named "pi", "e", "sqrt2" or "1/sqrt2", in radix 2, 10 or 16:
// the integer part in *integer_digits (no leading zeros, empty for 0) and the
// first `fraction_digits` fraction digits as the result, truncated, uppercase,
// with no separators.
std::string reference_fraction_digits(const std::string &constant, int radix, long fraction_digits,
                                      std::string *integer_digits);

// A fixed-point record's words (least significant first, the last one the
// integer part) in radix 10, exactly, from GMP integers: the integer word in
// *integer_digits (empty for 0) and, as the result, the first
// `fraction_digits` decimal digits of the fraction, truncated.
std::string reference_decimal_digits(const std::vector<uint64_t> &words, long fraction_digits,
                                     std::string *integer_digits);

// floor(64 * fraction_words * log10(2)) from bounds of log10(2) at 256 bits,
// rounded down and up; -1 if the two bounds disagree.
int64_t reference_decimal_digit_count(uint64_t fraction_words);
