// The printers: the constant printers (radix 2, 10 and 16, fixed-point
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

#include "int128.h"
#include "lfx86_64.h"
#include "record_without_words.h"

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

// A record without words has no value to print: it gets the layout's
// surrounding newlines and nothing between them.
void print_no_value()
{
    std::fwrite("\n\n\n", 1, 3, stdout);
}

void print_constant(const Lii *a, int base)
{
    if (has_no_words(a->taille_mantisse, a->mantisse)) {
        print_no_value();
        return;
    }
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

// ---- radix 10 --------------------------------------------------------------
//
// The fraction's F = T - 1 words determine D = floor(64 F log10 2) decimal
// digits. They come from a copy of the fraction in a record of T words whose
// word F starts at zero: each multiplication of the copy by 10^19 moves the
// next 19 digits into word F (the integer part), which is then cleared.
//
// Dropping words. 10^19 < 2^64, so with s groups of 19 digits still to come
// (this step's included), the fraction's words below its top s + kKeptExtra
// can only reach the digits through carries: they are left out of the
// multiplications. What a drop leaves out is below 2^-64(s+kKeptExtra) of the
// fraction's unit; the s multiplications that remain scale it by less than
// 2^64 each, so at the end of any later step it is below 2^-64(s'+2), s' the
// groups then remaining. Summed over fewer than 2^63 drops, the fraction left
// out, e, stays below 2^-64 at the end of every step. A step's group is
// floor(y' + e) with y' the scaled fraction kept; it equals the computed
// floor(y') whenever the kept fraction left after it is below 1 - 2^-64,
// that is, when its top word is not all ones. Should that check fail (an
// all-ones fraction meets it), the conversion starts again from the record's
// own words, drops nothing, and prints on from the group where it stopped.

constexpr uint64_t kTenPow19 = 10000000000000000000ULL;
constexpr int64_t kGroupDigits = 19;
constexpr int64_t kKeptExtra = 3;

// floor(log10(2) * 2^128), high word first.
constexpr uint64_t kLog10Of2High = 0x4D104D427DE7FBCCULL;
constexpr uint64_t kLog10Of2Low = 0x47C4ACD605BE48BCULL;
// Fraction word counts up to here get an exact digit count.
constexpr uint64_t kMaxFractionWords = uint64_t{1} << 58;

// The working fraction: words 0..F-1 of `base` (a record of T words), word F
// collecting each group, words below `dropped` left out.
struct DecimalWork {
    uint64_t *base;
    int64_t word_count; // T
    int64_t top;        // index of the top non-zero fraction word, -1 for zero
    int64_t dropped;    // words at the bottom left out of the multiplications
    bool inexact;       // a non-zero word has been left out
};

void load_fraction(DecimalWork *w, const uint64_t *words)
{
    const int64_t f = w->word_count - 1;
    w->top = -1;
    for (int64_t i = 0; i < f; ++i) {
        w->base[i] = words[i];
        if (words[i] != 0) {
            w->top = i;
        }
    }
    w->base[f] = 0;
    w->dropped = 0;
    w->inexact = false;
}

void drop_words_below(DecimalWork *w, int64_t keep_from)
{
    for (; w->dropped < keep_from; ++w->dropped) {
        if (w->base[w->dropped] != 0) {
            w->inexact = true;
        }
    }
}

// One multiplication by 10^19 on the words kept; returns the group of 19
// digits that it moved into word F, and clears that word.
uint64_t next_group(DecimalWork *w)
{
    const int64_t f = w->word_count - 1;
    if (w->top < w->dropped) {
        w->top = -1; // the words kept are all zero
        return 0;
    }
    Lii kept;
    kept.signe = 1;
    kept.taille_mantisse = w->word_count - w->dropped;
    kept.mantisse = w->base + w->dropped;
    kept.aux = 0;
    kept.indiceMax = w->top - w->dropped;
    // top < F, so the product always fits below the record's last word.
    mulB_R_x86_64_bini(&kept, kTenPow19);
    w->top = kept.indiceMax + w->dropped;
    const uint64_t group = w->base[f];
    w->base[f] = 0;
    if (w->top == f) {
        do {
            --w->top;
        } while (w->top >= w->dropped && w->base[w->top] == 0);
    }
    return group;
}

// Groups of 19 digits that make up `digits` digits, the last one partial.
int64_t group_count(int64_t digits)
{
    return (digits + kGroupDigits - 1) / kGroupDigits;
}

// The 19 decimal digits of g < 10^19, leading zeros included.
void group_digits(uint64_t g, char *digits)
{
    for (int64_t d = kGroupDigits - 1; d >= 0; --d) {
        digits[d] = static_cast<char>('0' + g % 10);
        g /= 10;
    }
}

// Prints groups first_group.. of the D digits. Returns the number of
// groups in all when done, or the group whose check failed (nothing of it
// printed) when words were dropped and could have changed it.
int64_t convert_fraction(DecimalWork *w, FractionLayout *layout, int64_t digits, int64_t first_group,
                         bool may_drop)
{
    const int64_t f = w->word_count - 1;
    const int64_t groups = group_count(digits);
    char text[kGroupDigits];
    for (int64_t g = 0; g < groups; ++g) {
        const int64_t remaining = groups - g;
        if (may_drop && f - remaining - kKeptExtra > w->dropped) {
            drop_words_below(w, f - remaining - kKeptExtra);
        }
        const uint64_t group = next_group(w);
        if (w->inexact && w->base[f - 1] == ~uint64_t{0}) {
            return g;
        }
        if (g >= first_group) {
            group_digits(group, text);
            const int64_t n = remaining > 1 ? kGroupDigits : digits - kGroupDigits * g;
            put_fraction_digits(layout, text, static_cast<size_t>(n));
        }
    }
    return groups;
}

// Returns 1, having printed nothing, when the copy cannot be allocated.
uint64_t print_decimal(const Lii *a)
{
    if (has_no_words(a->taille_mantisse, a->mantisse)) {
        print_no_value();
        return 0;
    }
    const int64_t word_count = a->taille_mantisse;
    Lii copy_record;
    copy_record.mantisse = nullptr;
    if (word_count > 1) {
        createLii(&copy_record, word_count);
        if (copy_record.mantisse == nullptr) {
            return 1;
        }
    }
    Output out;
    out.len = 0;
    put_text(&out, "\n");
    if (a->mantisse[word_count - 1] != 0) {
        put_unsigned(&out, a->mantisse[word_count - 1]);
    }
    put_text(&out, ".\n");

    if (word_count > 1) {
        const int64_t digits = decimal_fraction_digits(word_count);
        FractionLayout layout{&out, 0};
        DecimalWork work{copy_record.mantisse, word_count, -1, 0, false};
        load_fraction(&work, a->mantisse);
        const int64_t stopped = convert_fraction(&work, &layout, digits, 0, true);
        if (stopped < group_count(digits)) {
            load_fraction(&work, a->mantisse);
            convert_fraction(&work, &layout, digits, stopped, false);
        }
        destroyLii(&copy_record);
    }
    put_text(&out, "\n\n");
    flush(&out);
    return 0;
}

// The shared part of the dumps: the words from the top one down, each in
// decimal followed by a space, then the closing newline. A null array (a
// failed creation) has no words to show.
void put_words(Output *out, const uint64_t *words, int64_t word_count)
{
    // Counting down from word_count itself: word_count - 1 would overflow at INT64_MIN.
    for (int64_t w = words != nullptr ? word_count : 0; w > 0; --w) {
        put_unsigned(out, words[w - 1]);
        out->data[out->len++] = ' ';
        make_room(out);
    }
    put_text(out, "\n");
}

void put_precision_and_sign(Output *out, int64_t word_count, int64_t signe)
{
    put_text(out, "\n Precision = ");
    put_signed(out, word_count);
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

extern "C" uint64_t print_cst_base10_bini(const Lii *a)
{
    return print_decimal(a);
}

// Exact: 64 f log10(2) never comes within 2^-61 of an integer for f below
// 2^60 (the nearest approach, at f = 10358879732584346, is a denominator of
// the continued fraction of 64 log10(2)), and the truncated constant makes
// the product smaller by less than f * 2^-122 <= 2^-64.
extern "C" int64_t decimal_fraction_digits(int64_t taille_mantisse)
{
    if (taille_mantisse < 2) {
        return 0;
    }
    const uint64_t f = static_cast<uint64_t>(taille_mantisse) - 1;
    if (f > kMaxFractionWords) {
        return -1;
    }
    // floor(64 f L / 2^128) = floor(f L / 2^122), f L as three words.
    const UInt128 low = static_cast<UInt128>(f) * kLog10Of2Low;
    const UInt128 high = static_cast<UInt128>(f) * kLog10Of2High;
    const UInt128 middle = (low >> 64) + static_cast<uint64_t>(high);
    const uint64_t top = static_cast<uint64_t>(high >> 64) + static_cast<uint64_t>(middle >> 64);
    return static_cast<int64_t>(top << 6 | static_cast<uint64_t>(middle) >> 58);
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
