// The printers' text buffer: the whole text of a constant, built before any
// of it is written, or a stream of a dump's text, flushed as it fills.
//
// Internal to the printers. Its functions have internal linkage and are
// compiled into each printer's translation unit, so that appending a digit
// or a separator inlines to a few byte moves.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "vexo_assert.h"

// Each translation unit that includes this header uses some of its functions.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
namespace {

constexpr size_t kStackBytes = 1 << 15;
// Room kept free for one group of digits plus a count line or a word in
// decimal, so that appends between the flushes of a stream never check the
// size.
constexpr size_t kReserve = 128;

struct Output {
    char *data;
    size_t len;
    size_t capacity;
    bool streaming; // flushed whenever nearly full; else it holds the whole text
};

void flush(Output *out)
{
    if (out->len > 0) {
        std::fwrite(out->data, 1, out->len, stdout);
        out->len = 0;
    }
}

// A stream flushes when fewer than kReserve bytes are left.
void make_room(Output *out)
{
    if (out->streaming && out->len > out->capacity - kReserve) {
        flush(out);
    }
}

// The sizes computed ahead (constant_text_bytes, kReserve) leave room for
// every append: one past the capacity is a fault of those sizes.
void put_bytes(Output *out, const char *bytes, size_t n)
{
    VEXO_ASSERT(n <= out->capacity - out->len);
    std::memcpy(out->data + out->len, bytes, n);
    out->len += n;
}

void put_char(Output *out, char c)
{
    VEXO_ASSERT(out->len < out->capacity);
    out->data[out->len++] = c;
}

void put_text(Output *out, const char *text)
{
    put_bytes(out, text, std::strlen(text));
}

void put_unsigned(Output *out, uint64_t v)
{
    char digits[20];
    size_t n = 0;
    do {
        digits[sizeof digits - 1 - n] = static_cast<char>('0' + v % 10);
        v /= 10;
        ++n;
    } while (v != 0);
    put_bytes(out, digits + sizeof digits - n, n);
}

void put_signed(Output *out, int64_t v)
{
    if (v < 0) {
        put_char(out, '-');
        // Negating in unsigned arithmetic also covers INT64_MIN.
        put_unsigned(out, 0 - static_cast<uint64_t>(v));
    } else {
        put_unsigned(out, static_cast<uint64_t>(v));
    }
}

size_t decimal_length(uint64_t v)
{
    size_t n = 1;
    for (; v >= 10; v /= 10) {
        ++n;
    }
    return n;
}

// Bytes of the whole text of a value with `digits` fraction digits, at most:
// the leading newline, up to 64 integer digits and ".\n", the digits, a space
// after each group of ten, or in its place at each hundred a count line
// "  :: <count> \n", and the two closing newlines.
size_t constant_text_bytes(int64_t digits)
{
    const auto d = static_cast<size_t>(digits);
    return 1 + 64 + 2 + d + d / 10 + d / 100 * (6 + decimal_length(d)) + 2 + kReserve;
}

// Makes out hold a whole text of `bytes`: in `stack` (kStackBytes) when it
// fits, else in one calloc. False when that fails.
bool open_text(Output *out, char *stack, size_t bytes)
{
    out->len = 0;
    out->streaming = false;
    out->capacity = bytes;
    out->data = bytes <= kStackBytes ? stack : static_cast<char *>(std::calloc(bytes, 1));
    return out->data != nullptr;
}

void close_text(Output *out, const char *stack)
{
    if (out->data != stack) {
        std::free(out->data);
    }
}

} // namespace
#pragma GCC diagnostic pop
