// Size limits of the calculators: the conversion from a largest word count to
// a largest digit count, and the line that refuses a larger request.
//
// Comparing digit counts (never word counts computed from them) keeps the check
// free of overflow: any int64_t digit count can be compared, and one above the
// limit is refused before a word count or a byte size is ever formed.
#include <cstdint>
#include <cstdio>

#include "vexo.h"

namespace {

// floor(digits * log2(10) / 64) + 4 <= max_words  <=>
// digits * numerator < (max_words - 3) * 64 * denominator
int64_t max_decimal_digits_for_words(int64_t max_words)
{
    if (max_words < 4) {
        return -1;
    }
    const Int128 bound = Int128{max_words - 3} * 64 * kLog2TenDenominator;
    const Int128 digits = (bound - 1) / kLog2TenNumerator;
    return digits > INT64_MAX ? INT64_MAX : static_cast<int64_t>(digits);
}

} // namespace

int64_t max_digits_for_words(int64_t base, int64_t max_words, int64_t extra_words_base2)
{
    int64_t digits_per_word = 0;
    int64_t extra = 0;
    if (base == 2) {
        digits_per_word = 64;
        extra = extra_words_base2;
    } else if (base == 16) {
        digits_per_word = 16;
        extra = 4;
    } else if (base == 10) {
        return max_decimal_digits_for_words(max_words);
    } else {
        return -1;
    }
    if (max_words < extra) {
        return -1;
    }
    // digits / per_word + extra <= max_words  <=>  digits < (max_words - extra + 1) * per_word
    int64_t whole_words = max_words - extra;
    int64_t digits = 0;
    if (__builtin_mul_overflow(whole_words, digits_per_word, &digits) ||
        __builtin_add_overflow(digits, digits_per_word - 1, &digits)) {
        return INT64_MAX;
    }
    return digits;
}

void print_request_too_large(const char *constant, int64_t base, int64_t max_digits)
{
    std::printf(" Request too large for %s: at most %ld digits in radix %ld.\n", constant, max_digits, base);
}

bool request_too_large(const char *constant, int64_t base, int64_t Nb_decimales, int64_t max_words,
                       int64_t extra_words_base2)
{
    const int64_t max_digits = max_digits_for_words(base, max_words, extra_words_base2);
    if (Nb_decimales <= max_digits) {
        return false;
    }
    print_request_too_large(constant, base, max_digits);
    return true;
}
