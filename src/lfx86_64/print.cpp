// The printers: the constant printers (radix 2, 10 and 16, fixed-point
// reading, digits in lines of 100 grouped by ten) and the field dumps.
//
// A constant printer builds the whole text of the value before it writes any
// of it, in one buffer: on the stack when the text is small, else one calloc
// of the size the digit count bounds. Every word (radix 2 and 16) or group of
// 19 digits (radix 10) is read back from the text as soon as it is laid out,
// with the spaces and counts around it, and must give the value it came
// from; the radix-10 conversion checks its arithmetic too. Only a text that
// passes goes to fwrite, in one call, through stdout's own FILE, so that it
// stays in order with what the caller printed before. The dumps stream their
// text through a buffer on the stack. Digits come from table lookups, so a
// digit costs a few byte moves.
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "int128.h"
#include "lfx86_64.h"
#include "record_without_words.h"
#include "residue_arithmetic.h"

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

// ---- reading the text back ----------------------------------------------
//
// The reader parses the text from its start, as the layout makes it and
// independently of the code that wrote it: the leading newline, the integer
// digits and the point line, then the fraction digits with the space or the
// count line that follows each tenth or hundredth of them, and the closing
// newlines. It is asked after each word or group, and must then have read
// everything written so far.
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

// Closes the text with its two newlines and writes it when every check
// held; the printers' result.
uint64_t finish_text(Output *out, TextReader *reader, bool holds, const char *stack)
{
    put_text(out, "\n\n");
    holds = holds && reads_back_end(reader);
    if (holds) {
        flush(out);
    }
    close_text(out, stack);
    return holds ? LFX_PRINTED : LFX_PRINT_CHECK_FAILED;
}

// A record without words has no value to print: it gets the layout's
// surrounding newlines and nothing between them.
void print_no_value()
{
    std::fwrite("\n\n\n", 1, 3, stdout);
}

// Radix 2 or 16: every bit of the fraction words.
uint64_t print_binary_radix(const Lii *a, int base)
{
    if (has_no_words(a->taille_mantisse, a->mantisse)) {
        print_no_value();
        return LFX_PRINTED;
    }
    const int64_t top = a->taille_mantisse - 1;
    const size_t per_word = base == 2 ? 64 : 16;
    char stack[kStackBytes];
    Output out;
    if (!open_text(&out, stack, constant_text_bytes(top * static_cast<int64_t>(per_word)))) {
        return LFX_PRINT_NO_MEMORY;
    }
    TextReader reader{&out, 0, 0};
    put_text(&out, "\n");
    put_integer_part(&out, a->mantisse[top], base);
    put_text(&out, ".\n");
    bool holds = reads_back_integer_part(&reader, static_cast<uint64_t>(base), a->mantisse[top]);

    FractionLayout layout{&out, 0};
    char digits[64];
    for (int64_t j = top - 1; holds && j >= 0; --j) {
        if (base == 2) {
            word_bits(a->mantisse[j], digits);
        } else {
            word_hex(a->mantisse[j], digits);
        }
        put_fraction_digits(&layout, digits, per_word);
        holds = reads_back_digits(&reader, static_cast<uint64_t>(base), per_word, a->mantisse[j]);
    }
    return finish_text(&out, &reader, holds, stack);
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
//
// The arithmetic checks itself as the series do. Beside the kept words,
// taken as one integer X (word `dropped` weighing 1), the conversion keeps
// X mod p = 2^61 - 1, starting from the residue of the record's own fraction
// words. A step makes X 10^19 - group 2^(64 k), k = F - dropped, so the
// residue becomes r 10^19 - group 8^k (2^64 = 8 mod p); a dropped word w
// makes (X - w) / 2^64, so r becomes (r - w) 2^-3, and 2^-3 = 2^58 since
// 2^61 = 1. Before the text is written, the residue of the kept words must
// equal r; a restart starts a new chain from the record's words and checks
// it in the same way. A wrong word of any product, a wrong group, or a word
// changed between two steps makes them differ, but with odds near 2^-61.

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
    uint64_t residue;   // the kept words, words dropped..F, modulo p
};

// 2^-64 = 2^-3 = 2^58 (mod p).
constexpr uint64_t kResidueOfInverseWord = uint64_t{1} << 58;

// words[from .. to] as one integer, modulo p; 0 for from > to.
uint64_t words_residue(const uint64_t *words, int64_t from, int64_t to)
{
    if (from > to) {
        return 0;
    }
    Lii view{1, to - from + 1, const_cast<uint64_t *>(words + from), 0, to - from};
    return residueLii(&view);
}

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
    w->residue = words_residue(words, 0, f - 1);
}

void drop_words_below(DecimalWork *w, int64_t keep_from)
{
    for (; w->dropped < keep_from; ++w->dropped) {
        const uint64_t word = w->base[w->dropped];
        if (word != 0) {
            w->inexact = true;
        }
        w->residue = residue_mul(residue_sub(w->residue, residue_reduce(word)), kResidueOfInverseWord);
    }
}

// One multiplication by 10^19 on the words kept; returns the group of 19
// digits that it moved into word F, and clears that word.
uint64_t next_group(DecimalWork *w)
{
    const int64_t f = w->word_count - 1;
    const int64_t k = f - w->dropped;
    w->residue = residue_mul(w->residue, residue_fold(kTenPow19));
    if (w->top < w->dropped) {
        w->top = -1; // the words kept are all zero
        return 0;
    }
    Lii kept;
    kept.signe = 1;
    kept.taille_mantisse = k + 1;
    kept.mantisse = w->base + w->dropped;
    kept.aux = 0;
    kept.indiceMax = w->top - w->dropped;
    // top < F, so the product always fits below the record's last word and
    // nothing comes back; a word that did is counted all the same.
    const uint64_t lost = mulB_R_x86_64_bini(&kept, kTenPow19);
    w->top = kept.indiceMax + w->dropped;
    const uint64_t group = w->base[f];
    w->base[f] = 0;
    w->residue = residue_sub(w->residue, residue_mul(residue_fold(group), residue_word_weight(k)));
    w->residue = residue_sub(w->residue, residue_mul(residue_fold(lost), residue_word_weight(k + 1)));
    if (w->top == f) {
        do {
            --w->top;
        } while (w->top >= w->dropped && w->base[w->top] == 0);
    }
    return group;
}

// The residue of the kept words, read from the words themselves, agrees
// with the one the steps made.
bool conversion_holds(const DecimalWork *w)
{
    return words_residue(w->base, w->dropped, w->word_count - 1) == w->residue;
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

// 10^n for n <= 19.
uint64_t power_of_ten(int64_t n)
{
    uint64_t p = 1;
    for (; n > 0; --n) {
        p *= 10;
    }
    return p;
}

// What convert_fraction returns when its text or its arithmetic failed the check.
constexpr int64_t kConversionWrong = -1;

// Lays out groups first_group.. of the D digits, reading each back. Returns
// the number of groups in all when done, or the group whose check failed
// (nothing of it laid out) when words were dropped and could have changed
// it, or kConversionWrong.
int64_t convert_fraction(DecimalWork *w, FractionLayout *layout, TextReader *reader, int64_t digits,
                         int64_t first_group, bool may_drop)
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
            return conversion_holds(w) ? g : kConversionWrong;
        }
        if (g >= first_group) {
            group_digits(group, text);
            const int64_t n = remaining > 1 ? kGroupDigits : digits - kGroupDigits * g;
            put_fraction_digits(layout, text, static_cast<size_t>(n));
            const uint64_t shown = group / power_of_ten(kGroupDigits - n);
            if (!reads_back_digits(reader, 10, static_cast<size_t>(n), shown)) {
                return kConversionWrong;
            }
        }
    }
    return conversion_holds(w) ? groups : kConversionWrong;
}

// Lays out the D digits of the fraction into out, reading them back and
// checking the conversion; false when a check failed.
bool put_decimal_fraction(Output *out, TextReader *reader, const Lii *a, uint64_t *work_words)
{
    const int64_t word_count = a->taille_mantisse;
    const int64_t digits = decimal_fraction_digits(word_count);
    FractionLayout layout{out, 0};
    DecimalWork work{work_words, word_count, -1, 0, false, 0};
    load_fraction(&work, a->mantisse);
    const int64_t stopped = convert_fraction(&work, &layout, reader, digits, 0, true);
    if (stopped == kConversionWrong) {
        return false;
    }
    if (stopped < group_count(digits)) {
        load_fraction(&work, a->mantisse);
        return convert_fraction(&work, &layout, reader, digits, stopped, false) != kConversionWrong;
    }
    return true;
}

uint64_t print_decimal(const Lii *a)
{
    if (has_no_words(a->taille_mantisse, a->mantisse)) {
        print_no_value();
        return LFX_PRINTED;
    }
    const int64_t word_count = a->taille_mantisse;
    Lii copy_record;
    copy_record.mantisse = nullptr;
    if (word_count > 1) {
        createLii(&copy_record, word_count);
        if (copy_record.mantisse == nullptr) {
            return LFX_PRINT_NO_MEMORY;
        }
    }
    char stack[kStackBytes];
    Output out;
    if (!open_text(&out, stack, constant_text_bytes(decimal_fraction_digits(word_count)))) {
        destroyLii(&copy_record);
        return LFX_PRINT_NO_MEMORY;
    }
    TextReader reader{&out, 0, 0};
    const uint64_t top = a->mantisse[word_count - 1];
    put_text(&out, "\n");
    if (top != 0) {
        put_unsigned(&out, top);
    }
    put_text(&out, ".\n");
    bool holds = reads_back_integer_part(&reader, 10, top);
    if (holds && word_count > 1) {
        holds = put_decimal_fraction(&out, &reader, a, copy_record.mantisse);
    }
    if (word_count > 1) {
        destroyLii(&copy_record);
    }
    return finish_text(&out, &reader, holds, stack);
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

extern "C" uint64_t print_cst_base2_bini(const Lii *a)
{
    return print_binary_radix(a, 2);
}

extern "C" uint64_t print_cst_base16_bini(const Lii *a)
{
    return print_binary_radix(a, 16);
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
    char stack[kStackBytes];
    Output out{stack, 0, kStackBytes, true};
    put_precision_and_sign(&out, li->taille_mantisse, li->signe);
    put_words(&out, li->mantisse, li->taille_mantisse);
    flush(&out);
}

extern "C" void printLii(const Lii *li)
{
    char stack[kStackBytes];
    Output out{stack, 0, kStackBytes, true};
    put_precision_and_sign(&out, li->taille_mantisse, li->signe);
    put_text(&out, " indiceMax = ");
    put_signed(&out, li->indiceMax);
    put_text(&out, "\n");
    put_words(&out, li->mantisse, li->taille_mantisse);
    flush(&out);
}
