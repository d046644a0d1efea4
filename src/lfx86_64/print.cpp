// The constant printers: radix 2, 10 and 16, fixed-point reading, digits in
// lines of 100 grouped by ten.
//
// A constant printer builds the whole text of the value before it writes any
// of it, in one buffer (text_buffer.h): on the stack when the text is small,
// else one calloc of the size the digit count bounds. Every word (radix 2 and
// 16) or group of 19 digits (radix 10) is read back from the text
// (text_reader.h) as soon as it is laid out (digit_layout.h), with the spaces
// and counts around it, and must give the value it came from; the radix-10
// conversion (decimal_conversion.h) checks its arithmetic too. Only a text
// that passes goes to fwrite, in one call, through stdout's own FILE, so that
// it stays in order with what the caller printed before.
//
// Radix 2 and 16 digits come from table lookups, a few byte moves per digit;
// radix 10 digits come from the conversion's multiplications, 19 digits per
// multiplication of the fraction, each group spelt out by divisions by ten.
#include <cstdint>
#include <cstdio>

#include "decimal_conversion.h"
#include "digit_layout.h"
#include "int128.h"
#include "lfx86_64.h"
#include "record_without_words.h"
#include "text_buffer.h"
#include "text_reader.h"

namespace {

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
    const size_t per_word = fraction_digits_per_word(base);
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

// floor(log10(2) * 2^128), high word first.
constexpr uint64_t kLog10Of2High = 0x4D104D427DE7FBCCULL;
constexpr uint64_t kLog10Of2Low = 0x47C4ACD605BE48BCULL;
// The largest fraction word count that gets a digit count, and an exact one:
// up to it the truncation of the constant above moves 64 f log10(2) by less
// than f 2^-122 <= 2^-64, too little to carry it across an integer (the
// argument is at decimal_fraction_digits), and the count, below 2^63, fits.
constexpr uint64_t kMaxFractionWords = uint64_t{1} << 58;

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

// Exact up to kMaxFractionWords: 64 f log10(2) never comes within 2^-61 of
// an integer for f below 2^60 (the nearest approach, at
// f = 10358879732584346, is a denominator of the continued fraction of
// 64 log10(2)), and the truncated constant makes the product smaller by less
// than f 2^-122, which is at most 2^-64 for f <= 2^58.
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
