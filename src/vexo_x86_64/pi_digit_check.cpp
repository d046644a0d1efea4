#include "pi_digit_check.h"

#include "int128.h"
#include "run_records.h"
#include "vexo_assert.h"

namespace {

constexpr int kDigits = 32;      // digits in one extraction, 4 bits each
constexpr int kWindowDigits = 8; // digits compared
constexpr int kWindowEnd = 16;   // where the window ends in an extraction, when it can

UInt128 as_wide(const uint64_t digits[2])
{
    return static_cast<UInt128>(digits[0]) << 64 | digits[1];
}

// Fraction word j from the top (word T-2 - j of the record), zero past either end.
uint64_t fraction_word(const Lii *pi, int64_t j)
{
    const int64_t index = pi->taille_mantisse - 2 - j;
    return index >= 0 && j >= 0 ? pi->mantisse[index] : 0;
}

} // namespace

int64_t last_hex_digit_needed(int64_t base, int64_t Nb_decimales)
{
    if (base == 16) {
        return Nb_decimales;
    }
    if (base == 2) {
        return (Nb_decimales + 3) / 4;
    }
    // ceil(n log2 10) bits, log2 10 taken by its bound from above.
    const Int128 scaled = Int128{Nb_decimales} * kLog2TenNumerator;
    const auto bits = static_cast<int64_t>((scaled + kLog2TenDenominator - 1) / kLog2TenDenominator);
    return (bits + 3) / 4;
}

void record_hex_digits(const Lii *pi, int64_t position, uint64_t digits[2])
{
    const int64_t bit = 4 * position;
    const int64_t j = bit / 64;
    const int shift = static_cast<int>(bit % 64);
    const uint64_t w0 = fraction_word(pi, j);
    const uint64_t w1 = fraction_word(pi, j + 1);
    const uint64_t w2 = fraction_word(pi, j + 2);
    digits[0] = shift == 0 ? w0 : w0 << shift | w1 >> (64 - shift);
    digits[1] = shift == 0 ? w1 : w1 << shift | w2 >> (64 - shift);
}

WindowVerdict compare_window(const uint64_t extracted[2], uint64_t bound, const uint64_t record[2], int end)
{
    VEXO_ASSERT(end >= kWindowDigits && end <= kDigits);
    const int below = 4 * (kDigits - end); // bits after the window
    const UInt128 value = as_wide(extracted);
    // The true value lies strictly within `bound` of value: its window is
    // value's unless a multiple of 2^below lies that close.
    const UInt128 span = UInt128{1} << below;
    const UInt128 after = value & (span - 1);
    if (after < bound || span - after < bound) {
        return kWindowUndecided;
    }
    const auto window = [below](UInt128 v) { return static_cast<uint32_t>(v >> below); };
    return window(value) == window(as_wide(record)) ? kWindowAgrees : kWindowDisagrees;
}

bool pi_last_digits_agree(const Lii *pi, int64_t last_hex_digit, HexDigitsAt extract)
{
    int64_t end = last_hex_digit > kWindowDigits ? last_hex_digit : kWindowDigits;
    int64_t position = -1;
    uint64_t extracted[2] = {0, 0};
    uint64_t record[2] = {0, 0};
    uint64_t bound = 0;
    for (; end >= kWindowDigits; --end) {
        if (position < 0 || end - position < kWindowDigits) {
            position = end > kWindowEnd ? end - kWindowEnd : 0;
            bound = extract(position, extracted);
            if (bound == 0) {
                return false;
            }
            record_hex_digits(pi, position, record);
        }
        const WindowVerdict verdict =
            compare_window(extracted, bound, record, static_cast<int>(end - position));
        if (verdict != kWindowUndecided) {
            return verdict == kWindowAgrees;
        }
    }
    return false;
}
