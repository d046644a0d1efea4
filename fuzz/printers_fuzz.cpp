// Fuzz target for the constant printers, print_cst_base2_bini,
// print_cst_base10_bini and print_cst_base16_bini, on records of random size
// and words. signe and indiceMax get any value at all: the printers must not
// look at them.
//
// The output, captured from stdout, is read back character by character
// against the layout rules:
//   - a leading newline, then the integer digits of the top word (none for
//     0, no leading zero otherwise) and the point, on a line of their own;
//   - exactly 64 (radix 2) or 16 (radix 16) fraction digits per fraction
//     word, in groups of ten separated by one space, with each hundredth
//     digit followed by "  :: <count> \n", the count of digits so far;
//   - the two closing newlines, and nothing after them;
//   - digits 0-9 and A-F only, and the digits read back give the words.
// Radix 10 is compared whole with the text built from GMP's exact
// conversion: floor(N * 10^D / 2^(64 F)) for the fraction N of F words,
// D = decimal_fraction_digits(T) digits, in the same layout.
#include <gmp.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "lfx86_64.h"

namespace {

// The checker walks every output character; left uninstrumented for coverage
// it costs a tenth of what it would, and the printers' own coverage is what
// guides the fuzzer.
#define NO_COVERAGE __attribute__((no_sanitize("coverage")))

constexpr int64_t kMotsMax = 2048; // past the printers' 32 KB buffer in both radixes

uint64_t chosen_word(FuzzBytes *o)
{
    switch (next_byte(o) % 8) {
    case 0:
        return 0;
    case 1:
        return ~uint64_t{0};
    case 2:
        return next_byte(o); // leading zeros in the integer part
    case 3:
        return uint64_t{1} << (next_byte(o) % 64);
    default:
        return next_word(o);
    }
}

// Value of one digit character in the radix, or -1.
NO_COVERAGE int digit_value(char c, int base)
{
    if (c >= '0' && c <= '9') {
        const int v = c - '0';
        return v < base ? v : -1;
    }
    if (base == 16 && c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

// Reads the text front to back; every mismatch stops the run.
struct Reader {
    const std::string *text;
    size_t pos;
};

NO_COVERAGE void expect_text(Reader *l, const std::string &expected, const char *what)
{
    require(l->text->compare(l->pos, expected.size(), expected) == 0, what);
    l->pos += expected.size();
}

// The integer line: the digits of the top word without leading zeros, ".".
NO_COVERAGE void check_integer(Reader *l, uint64_t top, int base)
{
    const int bits = base == 2 ? 1 : 4;
    uint64_t v = 0;
    size_t n = 0;
    for (;;) {
        require(l->pos < l->text->size(), "output ends inside the integer line");
        const char c = (*l->text)[l->pos];
        if (c == '.') {
            break;
        }
        const int d = digit_value(c, base);
        require(d >= 0, "integer line holds a character that is no digit");
        require(n > 0 || d != 0, "integer part has a leading zero");
        require(n * bits < 64, "integer part has more digits than a word");
        v = v << bits | static_cast<uint64_t>(d);
        ++n;
        ++l->pos;
    }
    require(v == top, "integer digits do not give the top word");
    expect_text(l, ".\n", "integer line does not end with the point and a newline");
}

// The fraction: every digit, with its spaces and count lines, read back into
// the words from the top fraction word down.
NO_COVERAGE void check_fraction(Reader *l, const Lii *a, int base)
{
    const int bits = base == 2 ? 1 : 4;
    const int64_t par_mot = 64 / bits;
    const int64_t total = par_mot * (a->taille_mantisse - 1);
    uint64_t word = 0;
    for (int64_t i = 1; i <= total; ++i) {
        require(l->pos < l->text->size(), "output ends before the last fraction digit");
        const int d = digit_value((*l->text)[l->pos], base);
        require(d >= 0, "fraction digit expected");
        ++l->pos;
        word = word << bits | static_cast<uint64_t>(d);
        if (i % par_mot == 0) {
            const int64_t j = a->taille_mantisse - 1 - i / par_mot;
            require(word == a->mantisse[j], "fraction digits do not give the word");
            word = 0;
        }
        if (i % 100 == 0) {
            expect_text(l, "  :: " + std::to_string(i) + " \n",
                        "count line expected after a hundredth digit");
        } else if (i % 10 == 0) {
            expect_text(l, " ", "space expected after a group of ten");
        }
    }
}

NO_COVERAGE void check_output(const std::string &output, const Lii *a, int base)
{
    Reader l{&output, 0};
    expect_text(&l, "\n", "output does not start with a newline");
    check_integer(&l, a->mantisse[a->taille_mantisse - 1], base);
    check_fraction(&l, a, base);
    expect_text(&l, "\n\n", "output does not close with two newlines");
    require(l.pos == output.size(), "output goes on after the closing newlines");
}

// The radix-10 text of the record, from GMP.
NO_COVERAGE std::string decimal_text(const Lii *a)
{
    const int64_t fraction_words = a->taille_mantisse - 1;
    const int64_t digits = decimal_fraction_digits(a->taille_mantisse);
    mpz_t n, power;
    mpz_inits(n, power, nullptr);
    mpz_import(n, static_cast<size_t>(fraction_words), -1, sizeof(uint64_t), 0, 0, a->mantisse);
    mpz_ui_pow_ui(power, 10, static_cast<unsigned long>(digits));
    mpz_mul(n, n, power);
    mpz_fdiv_q_2exp(n, n, static_cast<mp_bitcnt_t>(64 * fraction_words));
    std::string fraction;
    if (mpz_sgn(n) != 0) {
        char *text = mpz_get_str(nullptr, 10, n);
        fraction = text;
        std::free(text);
    }
    mpz_clears(n, power, nullptr);
    require(static_cast<int64_t>(fraction.size()) <= digits, "GMP gives more decimal digits than the count");
    fraction.insert(0, static_cast<size_t>(digits) - fraction.size(), '0');

    const uint64_t top = a->mantisse[fraction_words];
    std::string text = "\n" + (top != 0 ? std::to_string(top) : std::string()) + ".\n";
    for (size_t i = 1; i <= fraction.size(); ++i) {
        text += fraction[i - 1];
        if (i % 100 == 0) {
            text += "  :: " + std::to_string(i) + " \n";
        } else if (i % 10 == 0) {
            text += ' ';
        }
    }
    return text + "\n\n";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzBytes o = fuzz_bytes_of(data, size);
    const uint8_t choix = next_byte(&o);
    const int base = (choix & 0x80) != 0 ? 10 : (choix & 1) != 0 ? 16 : 2;
    int64_t t = 1 + next_byte(&o) % 40;
    if ((choix & 0x7E) == 0x7E) { // now and then (1 in 64) a long record
        t = 1 + (static_cast<int64_t>(next_byte(&o)) << 8 | next_byte(&o)) % kMotsMax;
    }
    std::vector<uint64_t> words(static_cast<size_t>(t));
    for (uint64_t &m : words) {
        m = chosen_word(&o);
    }
    Lii a;
    a.taille_mantisse = t;
    a.mantisse = words.data();
    a.signe = static_cast<int64_t>(next_word(&o)) % 4 - 2;
    a.indiceMax = static_cast<int64_t>(next_word(&o));
    a.aux = static_cast<int64_t>(next_word(&o));
    const Lii before = a;
    const std::vector<uint64_t> words_before = words;

    uint64_t result = 0;
    const std::string output = capture_output([&] {
        if (base == 2) {
            print_cst_base2_bini(&a);
        } else if (base == 16) {
            print_cst_base16_bini(&a);
        } else {
            result = print_cst_base10_bini(&a);
        }
    });

    require(std::memcmp(&a, &before, sizeof a) == 0 && words == words_before, "a printer changed the record");
    if (base == 10) {
        require(result == 0, "the decimal printer reports a failure with memory to spare");
        require(output == decimal_text(&a), "decimal text differs from GMP's conversion");
    } else {
        check_output(output, &a, base);
    }
    return 0;
}
