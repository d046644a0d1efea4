// The conversion of a fixed-point fraction to radix 10, checked by a chain of
// residues, for the radix-10 constant printer (print.cpp): it lays the digits
// out and reads each group back as it goes.
//
// Internal to the printers, with internal linkage, like text_buffer.h.
//
// The fraction's F = T - 1 words determine D = floor(64 F log10 2) decimal
// digits. They come from a copy of the fraction in a record of T words whose
// word F starts at zero: each multiplication of the copy by 10^19 moves the
// next 19 digits into word F (the integer part), which is then cleared.
//
// Dropping words. 10^19 < 2^64, so with s groups of 19 digits still to come
// (this step's included), the fraction's words below its top s + kKeptExtra
// can only reach the digits through carries: they are left out of the
// multiplications. What a drop leaves out is below 2^(-64 (s + kKeptExtra))
// of the fraction's unit (the exponent is minus 64 times s + kKeptExtra); the
// s multiplications that remain scale it by less than 2^64 each, so at the
// end of any later step it is below 2^(-64 (s' + 2)), s' the groups then
// remaining. Summed over fewer than 2^63 drops, the fraction left out, e,
// stays below 2^-64 at the end of every step. A step's group is
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
#pragma once

#include <cstdint>

#include "digit_layout.h"
#include "lfx86_64.h"
#include "residue_arithmetic.h"
#include "text_reader.h"

// Each translation unit that includes this header uses some of its functions.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
namespace {

constexpr uint64_t kTenPow19 = 10000000000000000000ULL;
constexpr int64_t kGroupDigits = 19;
constexpr int64_t kKeptExtra = 3;

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

} // namespace
#pragma GCC diagnostic pop
