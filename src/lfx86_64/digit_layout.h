// The constant printers' digit layout: the integer word's digits, then the
// fraction digits in lines of 100 grouped by ten, each full line closed by
// its running count. Radix 2 and 16 digits come from tables, a few byte
// moves per word.
//
// Internal to the printers, with internal linkage, like text_buffer.h.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

#include "text_buffer.h"

// Each translation unit that includes this header uses some of its functions.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
namespace {

// Fraction digits of each word in radix 2 or 16.
constexpr size_t fraction_digits_per_word(int base)
{
    return base == 2 ? 64 : 16;
}

// The eight bits of every byte value as '0'/'1' characters, highest bit first.
constexpr std::array<std::array<char, 8>, 256> make_byte_bits()
{
    std::array<std::array<char, 8>, 256> table{};
    for (int b = 0; b < 256; ++b) {
        for (int bit = 0; bit < 8; ++bit) {
            table[b][bit] = ((b >> (7 - bit)) & 1) != 0 ? '1' : '0';
        }
    }
    return table;
}
constexpr std::array<std::array<char, 8>, 256> kByteBits = make_byte_bits();
constexpr char kHexDigits[] = "0123456789ABCDEF";

// The 64 binary digits of w, most significant first.
void word_bits(uint64_t w, char *digits)
{
    for (size_t byte = 0; byte < 8; ++byte) {
        const unsigned value = static_cast<unsigned>(w >> (56 - 8 * byte)) & 0xFFU;
        std::memcpy(digits + 8 * byte, kByteBits[value].data(), 8);
    }
}

// The 16 hexadecimal digits of w, most significant first.
void word_hex(uint64_t w, char *digits)
{
    for (int d = 0; d < 16; ++d) {
        digits[d] = kHexDigits[(w >> (60 - 4 * d)) & 0xF];
    }
}

// The integer word without leading zeros; nothing at all for 0.
void put_integer_part(Output *out, uint64_t top, int base)
{
    if (top == 0) {
        return;
    }
    char digits[64];
    size_t count = 0;
    if (base == 2) {
        word_bits(top, digits);
        count = 64;
    } else {
        word_hex(top, digits);
        count = 16;
    }
    size_t first = 0;
    while (digits[first] == '0') {
        ++first;
    }
    put_bytes(out, digits + first, count - first);
}

// Lays fraction digits out: after digit number i (from 1) comes the count
// line when i is a multiple of 100, else a space when i is a multiple of 10.
// The counter runs on across calls, so lines ignore word boundaries.
struct FractionLayout {
    Output *out;
    int64_t i; // fraction digits written so far
};

void close_group(FractionLayout *layout)
{
    Output *out = layout->out;
    if (layout->i % 100 == 0) {
        put_bytes(out, "  :: ", 5);
        put_signed(out, layout->i);
        put_bytes(out, " \n", 2);
    } else {
        put_char(out, ' ');
    }
    make_room(out);
}

void put_fraction_digits(FractionLayout *layout, const char *digits, size_t n)
{
    while (n > 0) {
        const size_t room_in_group = 10 - static_cast<size_t>(layout->i % 10);
        const size_t take = n < room_in_group ? n : room_in_group;
        put_bytes(layout->out, digits, take);
        layout->i += static_cast<int64_t>(take);
        digits += take;
        n -= take;
        if (take == room_in_group) {
            close_group(layout);
        }
    }
    make_room(layout->out);
}

} // namespace
#pragma GCC diagnostic pop
