// The records of a run: their word count, the largest request a series can
// serve, and their creation.
//
// The limits compare digit counts, never word counts computed from them, so
// that the check is free of overflow: any int64_t digit count can be
// compared, and one above the limit is refused before a word count or a byte
// size is ever formed.
#include <cstdint>
#include <cstdio>

#include "int128.h"
#include "run_records.h"

bool radix_served(int64_t base)
{
    return base == 2 || base == 10 || base == 16;
}

int64_t record_words(int64_t base, int64_t Nb_decimales, int64_t extra_words_base2)
{
    if (base == 2) {
        return Nb_decimales / 64 + extra_words_base2;
    }
    if (base == 16) {
        return Nb_decimales / 16 + 4;
    }
    if (base == 10) {
        const Int128 bits = Int128{Nb_decimales} * kLog2TenNumerator;
        return static_cast<int64_t>(bits / (Int128{kLog2TenDenominator} * 64)) + 4;
    }
    return 0;
}

bool create_records(Lii *const *records, int count, int64_t words, const char *out_of_memory_line)
{
    for (int r = 0; r < count; ++r) {
        createLii(records[r], words);
        if (records[r]->mantisse == nullptr) {
            std::puts(out_of_memory_line);
            for (int done = 0; done < r; ++done) {
                destroyLii(records[done]);
            }
            return false;
        }
    }
    return true;
}

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
