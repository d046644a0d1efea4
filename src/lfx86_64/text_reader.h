// Reading a constant's text back, as the digit layout makes it and
// independently of the code that wrote it: the leading newline, the integer
// digits and the point line, then the fraction digits with the space or the
// count line that follows each tenth or hundredth of them, and the closing
// newlines. A printer asks it after each word or group, and it must then
// have read everything written so far.
//
// Internal to the printers, with internal linkage, like text_buffer.h.
#pragma once

#include <cstdint>

#include "int128.h"
#include "text_buffer.h"

// Each translation unit that includes this header uses some of its functions.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
namespace {

struct TextReader {
    const Output *out;
    size_t pos;
    int64_t i; // fraction digits read
};

int digit_value(char c, uint64_t radix)
{
    const int d = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : 99;
    return static_cast<uint64_t>(d) < radix ? d : -1;
}

bool read_char(TextReader *r, char c)
{
    if (r->pos < r->out->len && r->out->data[r->pos] == c) {
        ++r->pos;
        return true;
    }
    return false;
}

bool read_text(TextReader *r, const char *text)
{
    for (; *text != '\0'; ++text) {
        if (!read_char(r, *text)) {
            return false;
        }
    }
    return true;
}

// Digits of the radix up to the first other character, at most max_digits
// of them, without a leading zero, into *value (radix^max_digits <= 2^64
// or 20 decimal digits, so nothing overflows but the 20-digit numbers above
// 2^64 - 1, which are refused).
bool read_number(TextReader *r, uint64_t radix, size_t max_digits, uint64_t *value)
{
    UInt128 v = 0;
    size_t n = 0;
    for (; r->pos < r->out->len && digit_value(r->out->data[r->pos], radix) >= 0; ++r->pos, ++n) {
        if (n == max_digits || (n == 0 && r->out->data[r->pos] == '0')) {
            return false;
        }
        v = v * radix + static_cast<uint64_t>(digit_value(r->out->data[r->pos], radix));
    }
    *value = static_cast<uint64_t>(v);
    return v >> 64 == 0;
}

// The separator after fraction digit i: the count line at a multiple of 100,
// a space at another multiple of 10, nothing otherwise.
bool read_separator(TextReader *r)
{
    if (r->i % 100 == 0) {
        uint64_t count = 0;
        return read_text(r, "  :: ") && read_number(r, 10, 20, &count) &&
               count == static_cast<uint64_t>(r->i) && read_text(r, " \n");
    }
    return r->i % 10 != 0 || read_char(r, ' ');
}

// The next n fraction digits (n digits of the radix fit in 64 bits) equal
// value, and the reader is at the end of the text.
bool reads_back_digits(TextReader *r, uint64_t radix, size_t n, uint64_t value)
{
    uint64_t v = 0;
    for (size_t k = 0; k < n; ++k) {
        const int d = r->pos < r->out->len ? digit_value(r->out->data[r->pos], radix) : -1;
        if (d < 0) {
            return false;
        }
        ++r->pos;
        ++r->i;
        v = v * radix + static_cast<uint64_t>(d);
        if (!read_separator(r)) {
            return false;
        }
    }
    return v == value && r->pos == r->out->len;
}

// The leading newline, the integer part `top` without leading zeros (none
// for 0) and the point line; the reader is then at the end of the text.
bool reads_back_integer_part(TextReader *r, uint64_t radix, uint64_t top)
{
    const size_t max_digits = radix == 2 ? 64 : radix == 16 ? 16 : 20;
    uint64_t value = 0;
    return read_char(r, '\n') && read_number(r, radix, max_digits, &value) && value == top &&
           read_text(r, ".\n") && r->pos == r->out->len;
}

// The two closing newlines end the text.
bool reads_back_end(TextReader *r)
{
    return read_text(r, "\n\n") && r->pos == r->out->len;
}

} // namespace
#pragma GCC diagnostic pop
