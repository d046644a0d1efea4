// The four printers: the constant printers (radix 2 and 16, fixed-point
// reading, digits in lines of 100 grouped by ten) and the field dumps.
//
// Output is built in a buffer on the stack and handed to fwrite in large
// chunks; digits come from table lookups, so a digit costs a few byte moves.
// Everything goes through stdout's own FILE, so the text stays in order with
// what the caller printed before.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "lfx86_64.h"

namespace {

constexpr size_t kBufferBytes = 1 << 15;
// Room kept free for one group of digits plus a count line or a word in
// decimal, so that appends between flushes never check the size.
constexpr size_t kReserve = 128;

struct Output {
    size_t len;
    char data[kBufferBytes];
};

void flush(Output *out)
{
    if (out->len > 0) {
        std::fwrite(out->data, 1, out->len, stdout);
        out->len = 0;
    }
}

// Flushes when fewer than kReserve bytes are left.
void make_room(Output *out)
{
    if (out->len > kBufferBytes - kReserve) {
        flush(out);
    }
}

void put_bytes(Output *out, const char *bytes, size_t n)
{
    std::memcpy(out->data + out->len, bytes, n);
    out->len += n;
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
        out->data[out->len++] = '-';
        // Negating in unsigned arithmetic also covers INT64_MIN.
        put_unsigned(out, 0 - static_cast<uint64_t>(v));
    } else {
        put_unsigned(out, static_cast<uint64_t>(v));
    }
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
        out->data[out->len++] = ' ';
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

void print_constant(const Lii *a, int base)
{
    Output out;
    out.len = 0;
    const int64_t top = a->taille_mantisse - 1;
    put_text(&out, "\n");
    put_integer_part(&out, a->mantisse[top], base);
    put_text(&out, ".\n");

    FractionLayout layout{&out, 0};
    char digits[64];
    for (int64_t j = top - 1; j >= 0; --j) {
        if (base == 2) {
            word_bits(a->mantisse[j], digits);
            put_fraction_digits(&layout, digits, 64);
        } else {
            word_hex(a->mantisse[j], digits);
            put_fraction_digits(&layout, digits, 16);
        }
    }
    put_text(&out, "\n\n");
    flush(&out);
}

// The shared part of the dumps: the words from the top one down, each in
// decimal followed by a space, then the closing newline.
void put_words(Output *out, const uint64_t *words, int64_t taille)
{
    for (int64_t w = taille - 1; w >= 0; --w) {
        put_unsigned(out, words[w]);
        out->data[out->len++] = ' ';
        make_room(out);
    }
    put_text(out, "\n");
}

void put_precision_and_sign(Output *out, int64_t taille, int64_t signe)
{
    put_text(out, "\n Precision = ");
    put_signed(out, taille);
    put_text(out, "\n Signe = ");
    put_signed(out, signe);
    put_text(out, "\n");
}

} // namespace

extern "C" void print_cst_base2_bini(const Lii *a)
{
    print_constant(a, 2);
}

extern "C" void print_cst_base16_bini(const Lii *a)
{
    print_constant(a, 16);
}

extern "C" void printLi(const Li *li)
{
    Output out;
    out.len = 0;
    put_precision_and_sign(&out, li->taille_mantisse, li->signe);
    put_words(&out, li->mantisse, li->taille_mantisse);
    flush(&out);
}

extern "C" void printLii(const Lii *li)
{
    Output out;
    out.len = 0;
    put_precision_and_sign(&out, li->taille_mantisse, li->signe);
    put_text(&out, " indiceMax = ");
    put_signed(&out, li->indiceMax);
    put_text(&out, "\n");
    put_words(&out, li->mantisse, li->taille_mantisse);
    flush(&out);
}
