// The radix-10 constant printer: its digit count, its digits against exact
// GMP conversions of the words, and its layout.
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gmp.h>
#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "lfx86_64.h"
#include "mpfr_reference.h"
#include "printed_output.h"
#include "record_support.h"

namespace {

// What the printer writes for these words (least significant first), and
// its result.
struct Printed {
    std::string text;
    uint64_t result;
};

Printed print_words(const std::vector<uint64_t> &words, int64_t signe = 1, int64_t indice_max = 0)
{
    std::vector<uint64_t> copy = words;
    Lii a{signe, static_cast<int64_t>(copy.size()), copy.data(), 0, indice_max};
    Printed p{"", 2};
    p.text = capture_stdout([&] { p.result = print_cst_base10_bini(&a); });
    EXPECT_EQ(copy, words) << "the printer changed the words";
    return p;
}

// The exact text for these words, from GMP and the layout of the test support.
std::string expected_text(const std::vector<uint64_t> &words)
{
    std::string integer;
    const std::string fraction =
        reference_decimal_digits(words, reference_decimal_digit_count(words.size() - 1), &integer);
    return printer_layout(integer, fraction);
}

// A fraction just above an r-digit decimal: x = c / 10^r + t / (5^r 2^B),
// B = 64 F, with c < 5^r chosen so that x is a multiple of 2^-B. Its first
// D digits are c's r digits and zeros; the excess over the decimal is below
// t 2^-2.3r of the last bit, so leaving out low words as the conversion goes
// would give c - 1 and nines. *c_digits gets c's r digits.
std::vector<uint64_t> just_above_decimal(size_t fraction_words, unsigned long r, std::string *c_digits,
                                         unsigned long t = 1)
{
    const mp_bitcnt_t bits = 64 * fraction_words;
    mpz_t five_r, c, x;
    mpz_inits(five_r, c, x, nullptr);
    mpz_ui_pow_ui(five_r, 5, r);
    // c * 2^(B-r) = -t (mod 5^r), so c * 2^(B-r) + t is a multiple of 5^r.
    mpz_set_ui(x, 0);
    mpz_setbit(x, bits - r);
    mpz_invert(c, x, five_r);
    mpz_mul_si(c, c, -static_cast<long>(t));
    mpz_mod(c, c, five_r);
    mpz_mul_2exp(x, c, bits - r);
    mpz_add_ui(x, x, t);
    EXPECT_TRUE(mpz_divisible_p(x, five_r));
    mpz_divexact(x, x, five_r);
    std::vector<uint64_t> words(fraction_words + 1, 0);
    size_t count = 0;
    mpz_export(words.data(), &count, -1, sizeof(uint64_t), 0, 0, x);
    char *text = mpz_get_str(nullptr, 10, c);
    *c_digits = std::string(r - std::strlen(text), '0') + text;
    std::free(text);
    mpz_clears(five_r, c, x, nullptr);
    return words;
}

} // namespace

TEST(DecimalDigitCount, MatchesMpfrAtEverySmallSizeAndAtTheHardestLargeOnes)
{
    EXPECT_EQ(decimal_fraction_digits(-10), 0);
    EXPECT_EQ(decimal_fraction_digits(0), 0);
    EXPECT_EQ(decimal_fraction_digits(1), 0);
    EXPECT_EQ(decimal_fraction_digits(2), 19);
    mpz_t power_of_ten, power_of_two;
    mpz_inits(power_of_ten, power_of_two, nullptr);
    for (int64_t t = 2; t <= 3000; ++t) {
        const int64_t d = decimal_fraction_digits(t);
        ASSERT_EQ(d, reference_decimal_digit_count(static_cast<uint64_t>(t - 1))) << t;
        // 10^D <= 2^(64 F) < 10^(D+1), in exact integers.
        mpz_ui_pow_ui(power_of_ten, 10, static_cast<unsigned long>(d));
        mpz_set_ui(power_of_two, 0);
        mpz_setbit(power_of_two, static_cast<mp_bitcnt_t>(64 * (t - 1)));
        ASSERT_LE(mpz_cmp(power_of_ten, power_of_two), 0) << t;
        mpz_mul_ui(power_of_ten, power_of_ten, 10);
        ASSERT_GT(mpz_cmp(power_of_ten, power_of_two), 0) << t;
    }
    mpz_clears(power_of_ten, power_of_two, nullptr);

    // Word counts F where 64 F log10(2) comes closest to an integer (the
    // denominators of its continued fraction), each with its neighbours.
    const uint64_t closest[] = {1696,
                                26508,
                                1798885,
                                961700165,
                                7751411263,
                                686971231931,
                                20015182661155,
                                1543237730015991,
                                10358879732584346,
                                uint64_t{1} << 40,
                                (uint64_t{1} << 58) - 1};
    for (const uint64_t f : closest) {
        for (const uint64_t g : {f - 1, f, f + 1}) {
            EXPECT_EQ(decimal_fraction_digits(static_cast<int64_t>(g + 1)), reference_decimal_digit_count(g))
                << g;
        }
    }
    // Past 2^58 fraction words no record can exist and no count is given.
    EXPECT_EQ(decimal_fraction_digits((int64_t{1} << 58) + 2), -1);
    EXPECT_EQ(decimal_fraction_digits(INT64_MAX), -1);
}

TEST(DecimalPrinter, KnownExpansions)
{
    // One word: the integer part alone, no fraction line.
    EXPECT_EQ(print_words({0}).text, "\n.\n\n\n");
    EXPECT_EQ(print_words({3}).text, "\n3.\n\n\n");
    EXPECT_EQ(print_words({UINT64_MAX}).text, "\n18446744073709551615.\n\n\n");

    // Two words: 19 digits.
    EXPECT_EQ(print_words({1ULL << 63, 1}).text, "\n1.\n5000000000 000000000\n\n");
    EXPECT_EQ(print_words({3ULL << 62, 2}).text, "\n2.\n7500000000 000000000\n\n");
    EXPECT_EQ(print_words({1, 0}).text, "\n.\n0000000000 000000000\n\n");
    // 1 - 2^-64 and (2^64 - 1) / 3 / 2^64: nines and threes to the last digit.
    EXPECT_EQ(print_words({UINT64_MAX, 0}).text, "\n.\n9999999999 999999999\n\n");
    EXPECT_EQ(print_words({0x5555555555555555ULL, 0}).text, "\n.\n3333333333 333333333\n\n");

    // 2^-64 has 64 decimals; with 77 digits (five words) they are all shown.
    const std::string two_to_minus_64 = "0000000000000000000542101086242752217003726400434970855712890625";
    EXPECT_EQ(print_words({0, 0, 0, 1, 0}).text,
              printer_layout("", two_to_minus_64 + std::string(77 - 64, '0')));

    // Long runs of nines, threes and zeros: 1 - 2^-64F, a third, 2^-64F.
    for (size_t t : {3u, 40u, 300u, 1200u}) {
        const auto d = static_cast<size_t>(decimal_fraction_digits(static_cast<int64_t>(t)));
        std::vector<uint64_t> words(t, UINT64_MAX);
        words.back() = 7;
        EXPECT_EQ(print_words(words).text, printer_layout("7", std::string(d, '9'))) << t;
        words.assign(t, 0x5555555555555555ULL);
        words.back() = 0;
        EXPECT_EQ(print_words(words).text, printer_layout("", std::string(d, '3'))) << t;
        words.assign(t, 0);
        words[0] = 1;
        EXPECT_EQ(print_words(words).text, printer_layout("", std::string(d, '0'))) << t;
    }
}

TEST(DecimalPrinter, TheConstantsTruncatedToWordsGiveMpfrDigits)
{
    // Each constant cut to T words prints the constant's own digits, but for
    // the last two, which the cut may lower.
    const char *names[] = {"pi", "e", "sqrt2", "1/sqrt2"};
    for (const char *name : names) {
        for (size_t t : {3u, 60u, 700u}) {
            const long d = static_cast<long>(decimal_fraction_digits(static_cast<int64_t>(t)));
            std::string integer10;
            std::string integer16;
            const std::string digits = reference_fraction_digits(name, 10, d, &integer10);
            const std::string hex =
                reference_fraction_digits(name, 16, static_cast<long>(16 * (t - 1)), &integer16);
            // The integer part and the fraction's hexadecimal digits as words.
            std::vector<uint64_t> words(t);
            words[t - 1] = integer16.empty() ? 0 : std::stoull(integer16, nullptr, 16);
            for (size_t w = 0; w + 1 < t; ++w) {
                words[t - 2 - w] = std::stoull(hex.substr(16 * w, 16), nullptr, 16);
            }
            const PrintedNumber n = parse_printed_number(print_words(words).text);
            EXPECT_EQ(n.integer, integer10) << name;
            EXPECT_EQ(n.fraction.substr(0, static_cast<size_t>(d - 2)),
                      digits.substr(0, static_cast<size_t>(d - 2)))
                << name << ", " << t << " words";
        }
    }
}

TEST(DecimalPrinter, LayoutAtLineAndGroupBoundaries)
{
    // Word counts whose digit count is a multiple of 100, of 10 but not of
    // 100, and neither.
    int64_t full_line = 0;
    int64_t full_group = 0;
    int64_t partial = 0;
    for (int64_t t = 2; t < 2000 && (full_line == 0 || full_group == 0 || partial == 0); ++t) {
        const int64_t d = decimal_fraction_digits(t);
        if (d % 100 == 0 && full_line == 0) {
            full_line = t;
        } else if (d % 10 == 0 && d % 100 != 0 && d > 100 && full_group == 0) {
            full_group = t;
        } else if (d % 10 != 0 && d > 100 && partial == 0) {
            partial = t;
        }
    }
    ASSERT_NE(full_line, 0);
    ASSERT_NE(full_group, 0);
    ASSERT_NE(partial, 0);
    std::mt19937_64 rng(10);
    for (const int64_t t : {full_line, full_group, partial}) {
        const std::vector<uint64_t> words = random_words(&rng, static_cast<size_t>(t), kUniform);
        const std::string text = print_words(words).text;
        EXPECT_EQ(text, expected_text(words)) << t;
        const int64_t d = decimal_fraction_digits(t);
        if (d % 100 == 0) {
            EXPECT_TRUE(text.ends_with("  :: " + std::to_string(d) + " \n\n\n")) << t;
        } else if (d % 10 == 0) {
            EXPECT_TRUE(text.ends_with(" \n\n")) << t;
        } else {
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(text[text.size() - 3])) != 0) << t;
        }
    }
}

TEST(DecimalPrinter, RandomRecordsMatchExactConversion)
{
    std::mt19937_64 rng(20261208);
    for (size_t t : {2u, 3u, 4u, 5u, 6u, 17u, 64u, 100u, 263u, 1000u, 2600u}) {
        for (WordKind kind : kWordKinds) {
            const std::vector<uint64_t> words = random_words(&rng, t, kind);
            const Printed p = print_words(words);
            EXPECT_EQ(p.result, 0u);
            EXPECT_EQ(p.text, expected_text(words)) << t << " words, kind " << kind;
        }
    }
}

TEST(DecimalPrinter, ValuesJustAboveADecimalKeepTheirDigits)
{
    for (size_t f : {40u, 200u, 1500u}) {
        const auto d = static_cast<unsigned long>(decimal_fraction_digits(static_cast<int64_t>(f + 1)));
        for (unsigned long r : {d / 2, d / 2 + 7, d - 40, d - 3}) {
            std::string c;
            const std::vector<uint64_t> words = just_above_decimal(f, r, &c);
            const std::string text = print_words(words).text;
            EXPECT_EQ(text, printer_layout("", c + std::string(d - r, '0'))) << f << " words, r " << r;
            EXPECT_EQ(text, expected_text(words)) << f << " words, r " << r;
        }
    }
}

// The zeros start right after the last printed digit, so the words that the
// conversion leaves out decide that digit: what they would add to the last
// group must stay below the one word of margin that the all-ones check
// allows. Over many sizes and excesses, some of these fractions have low
// words large enough to cross it if too few guard words were kept.
TEST(DecimalPrinter, ZerosRightAfterTheLastDigitKeepTheirDigits)
{
    for (size_t f = 4; f <= 40; ++f) {
        const auto d = static_cast<unsigned long>(decimal_fraction_digits(static_cast<int64_t>(f + 1)));
        for (unsigned long t = 1; t <= 40; ++t) {
            std::string c;
            const std::vector<uint64_t> words = just_above_decimal(f, d, &c, t);
            EXPECT_EQ(print_words(words).text, printer_layout("", c)) << f << " words, t " << t;
        }
    }
}

TEST(DecimalPrinter, NeitherSignNorIndiceMaxMattersAndTextBeforeStaysFirst)
{
    std::mt19937_64 rng(5);
    const std::vector<uint64_t> words = random_words(&rng, 9, kUniform);
    const std::string expected = expected_text(words);
    EXPECT_EQ(print_words(words, -1, 3).text, expected);
    EXPECT_EQ(print_words(words, 0, -1).text, expected);
    EXPECT_EQ(print_words(words, 1, 100).text, expected);

    std::vector<uint64_t> five = {1ULL << 63, 5};
    Lii a{1, 2, five.data(), 0, 1};
    const std::string text = capture_stdout([&] {
        std::printf("before");
        print_cst_base10_bini(&a);
        std::printf("after");
    });
    EXPECT_EQ(text, "before\n5.\n5000000000 000000000\n\nafter");
}
