// Independent reference digits of the program's constants, from MPFR.
#pragma once

#include <string>

// The constant named "pi", "e", "sqrt2" or "1/sqrt2", in radix 2 or 16:
// the integer part in *integer_digits (no leading zeros, empty for 0) and the
// first `fraction_digits` fraction digits as the result, truncated, uppercase,
// with no separators.
std::string reference_fraction_digits(const std::string &constant, int radix, long fraction_digits,
                                      std::string *integer_digits);
