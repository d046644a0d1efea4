// The calculators of e, sqrt(2) and 1/sqrt(2): their whole output, the
// iteration counts and record sizes, the digits against MPFR, and the
// requests they refuse.
#include <cmath>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "expected_text.h"
#include "mpfr_reference.h"
#include "printed_output.h"
#include "calculators.h"
#include "run_records.h"

namespace {

using Calculator = int32_t (*)(int64_t, int64_t);

struct Constant {
    const char *name; // as the reference, the banner and the refusal line call it
    Calculator calculate;
};

const Constant kE{"e", calcul_e};
const Constant kSqrt2{"sqrt2", calcul_sqrt2};
const Constant kInvSqrt2{"1/sqrt2", calcul_inv_sqrt2};
const Constant kAll[] = {kE, kSqrt2, kInvSqrt2};

struct CalcRun {
    int32_t result;
    std::string text;
};

CalcRun run(const Constant &c, int64_t base, int64_t digits)
{
    CalcRun r{0, ""};
    r.text = capture_stdout([&] { r.result = c.calculate(base, digits); });
    return r;
}

int64_t record_words(int64_t base, int64_t digits)
{
    return base == 2 ? digits / 64 + 3 : digits / 16 + 4;
}

struct Parsed {
    long iterations;
    PrintedNumber value;
};

// Checks the whole text of a successful run (the lines before the value,
// then the value in the digit layout, with one fraction word per record word
// below the top) and returns the iteration count and the value.
Parsed check_run(const Constant &c, int64_t base, int64_t digits)
{
    const CalcRun r = run(c, base, digits);
    EXPECT_EQ(r.result, 0);
    Parsed p{-1, parse_printed_number(r.text)};
    EXPECT_TRUE(p.value.found);
    const std::string key = " Number of iterations = ";
    const size_t at = r.text.find(key);
    EXPECT_NE(at, std::string::npos);
    if (!p.value.found || at == std::string::npos) {
        return p;
    }
    p.iterations = std::stol(r.text.substr(at + key.size()));
    EXPECT_EQ(mask_durations(r.text.substr(0, p.value.start)), constant_banner(c.name) +
                                                                   " Duration = ####### seconds.\n" + key +
                                                                   std::to_string(p.iterations) + "\n\n");
    EXPECT_EQ(r.text.substr(p.value.start), printer_layout(p.value.integer, p.value.fraction));
    const int64_t fraction_digits = (record_words(base, digits) - 1) * (base == 2 ? 64 : 16);
    EXPECT_EQ(static_cast<int64_t>(p.value.fraction.size()), fraction_digits);
    return p;
}

void expect_reference_digits(const Constant &c, int64_t base, int64_t digits)
{
    SCOPED_TRACE(std::string(c.name) + " radix " + std::to_string(base) + ", " + std::to_string(digits) +
                 " digits");
    const Parsed p = check_run(c, base, digits);
    std::string integer;
    const std::string fraction = reference_fraction_digits(c.name, static_cast<int>(base), digits, &integer);
    EXPECT_EQ(p.value.integer, integer);
    ASSERT_GE(static_cast<int64_t>(p.value.fraction.size()), digits);
    // Compare in slices so that a mismatch shows where it starts.
    const std::string printed = p.value.fraction.substr(0, static_cast<size_t>(digits));
    for (size_t at = 0; at < printed.size(); at += 1000) {
        ASSERT_EQ(printed.substr(at, 1000), fraction.substr(at, 1000)) << "from digit " << at + 1;
    }
}

} // namespace

TEST(RootsAndE, IterationCountsAndRecordSizes)
{
    struct Case {
        int64_t base;
        int64_t digits;
        long root_passes;
        long e_divisor;
    };
    const Case cases[] = {{2, 13, 4, 35}, {16, 13, 6, 47}, {2, 1000, 38, 180}, {16, 1000, 145, 544}};
    for (const Case &c : cases) {
        SCOPED_TRACE("radix " + std::to_string(c.base) + ", " + std::to_string(c.digits) + " digits");
        // check_run also checks 64 (or 16) fraction digits per word beyond the first.
        EXPECT_EQ(check_run(kSqrt2, c.base, c.digits).iterations, c.root_passes);
        EXPECT_EQ(check_run(kInvSqrt2, c.base, c.digits).iterations, c.root_passes);
        EXPECT_EQ(check_run(kE, c.base, c.digits).iterations, c.e_divisor);
    }
}

TEST(RootsAndE, DigitsMatchTheReferenceInRadix16)
{
    for (int64_t digits : {13, 100, 1000, 4097, 20000}) {
        for (const Constant &c : kAll) {
            expect_reference_digits(c, 16, digits);
        }
    }
    expect_reference_digits(kE, 16, 60000);
    expect_reference_digits(kSqrt2, 16, 60000);
}

TEST(RootsAndE, DigitsMatchTheReferenceInRadix2)
{
    for (int64_t digits : {13, 64, 1000, 6000, 30000}) {
        for (const Constant &c : kAll) {
            expect_reference_digits(c, 2, digits);
        }
    }
}

TEST(RootsAndE, UnservedRadixOrNegativeCountPrintsNothing)
{
    for (const Constant &c : kAll) {
        for (int64_t base : {5, 0, 9, 11, -10, -16, 8}) {
            const CalcRun r = run(c, base, 1000);
            EXPECT_EQ(r.result, 1) << c.name << " radix " << base;
            EXPECT_EQ(r.text, "") << c.name << " radix " << base;
        }
        const CalcRun negative = run(c, 16, -1000000);
        EXPECT_EQ(negative.result, 1);
        EXPECT_EQ(negative.text, "");
    }
}

// The bounds derived here, by another route than the calculator's own, must
// agree with the digit counts it announces: safe (the last divisor stays below
// 2^32) and not needlessly small (within 3 % of the true limit).
namespace {

// The largest digit count named by the refusal of `digits`.
int64_t announced_max_digits(const Constant &c, int64_t base, int64_t digits = INT64_MAX)
{
    const CalcRun r = run(c, base, digits);
    EXPECT_EQ(r.result, 1);
    const TooLargeLine line = parse_too_large(r.text);
    EXPECT_TRUE(line.valid) << r.text;
    EXPECT_EQ(line.constant, c.name);
    EXPECT_EQ(line.radix, base);
    return line.max_digits;
}

// Largest divisor of the series for records of W words, from the size of the
// terms: the roots divide by 2j on pass j, e by every k up to the first with
// k! > 2^F (found with lgamma).
double last_divisor(const Constant &c, int64_t words)
{
    const double fraction_bits = 64.0 * static_cast<double>(words - 1);
    if (std::string(c.name) != "e") {
        return 2.0 * std::floor(fraction_bits / std::log2(384199201.0));
    }
    double low = 2;
    double high = 1e11;
    while (high - low > 1) {
        const double mid = std::floor((low + high) / 2);
        (std::lgamma(mid + 1) / std::log(2.0) > fraction_bits ? high : low) = mid;
    }
    return high;
}

} // namespace

TEST(RootsAndE, TooLargeRequestsAreRefusedWithOneLine)
{
    const double two32 = 4294967296.0;
    for (const Constant &c : kAll) {
        for (int64_t base : {2, 16}) {
            SCOPED_TRACE(std::string(c.name) + " radix " + std::to_string(base));
            const int64_t max_digits = announced_max_digits(c, base);
            const int64_t words = record_words(base, max_digits);
            // Any larger count would need another word.
            EXPECT_EQ(record_words(base, max_digits + 1), words + 1);
            EXPECT_LT(last_divisor(c, words), two32);
            EXPECT_GE(last_divisor(c, words + words / 33), two32);

            EXPECT_EQ(announced_max_digits(c, base, max_digits + 1), max_digits);
        }
    }
}

TEST(Limits, LargestDigitCountForAWordCount)
{
    // Radix 2 with 3 added words: 66 words serve up to 63*64 + 63 digits.
    EXPECT_EQ(max_digits_for_words(2, 66, 3), 4095);
    EXPECT_EQ(max_digits_for_words(2, 66, 4), 4031);
    EXPECT_EQ(max_digits_for_words(16, 66, 3), 62 * 16 + 15);
    EXPECT_EQ(max_digits_for_words(16, 4, 3), 15);
    EXPECT_EQ(max_digits_for_words(16, 3, 3), -1);
    EXPECT_EQ(max_digits_for_words(8, 66, 3), -1);
    // 1213 log2(10) / 64 is 62.96, 1214 log2(10) / 64 is 63.01.
    EXPECT_EQ(max_digits_for_words(10, 66, 3), 1213);
    EXPECT_EQ(max_digits_for_words(10, 3, 3), -1);
    EXPECT_EQ(max_digits_for_words(10, INT64_MAX, 3), INT64_MAX);
    EXPECT_EQ(max_digits_for_words(2, INT64_MAX, 3), INT64_MAX);
    EXPECT_EQ(max_digits_for_words(16, INT64_MAX / 8, 3), INT64_MAX);
    // At the limit the word count is exactly max_words.
    for (int64_t words : {5, 66, 1000, 123456789}) {
        const int64_t d2 = max_digits_for_words(2, words, 3);
        const int64_t d16 = max_digits_for_words(16, words, 3);
        EXPECT_EQ(record_words(2, d2), words);
        EXPECT_EQ(record_words(2, d2 + 1), words + 1);
        EXPECT_EQ(record_words(16, d16), words);
        EXPECT_EQ(record_words(16, d16 + 1), words + 1);
        const int64_t d10 = max_digits_for_words(10, words, 3);
        EXPECT_EQ(::record_words(10, d10, 3), words);
        EXPECT_EQ(::record_words(10, d10 + 1, 3), words + 1);
    }
}

TEST(Limits, RefusalLine)
{
    EXPECT_EQ(capture_stdout([] { print_request_too_large("pi by formula 2", 16, 123); }),
              " Request too large for pi by formula 2: at most 123 digits in radix 16.\n");
    EXPECT_EQ(capture_stdout([] { EXPECT_FALSE(request_too_large("x", 16, 15, 4, 3)); }), "");
    EXPECT_EQ(capture_stdout([] { EXPECT_TRUE(request_too_large("x", 16, 16, 4, 3)); }),
              " Request too large for x: at most 15 digits in radix 16.\n");
    EXPECT_EQ(capture_stdout([] { EXPECT_TRUE(request_too_large("y", 2, INT64_MAX, 1000, 4)); }),
              " Request too large for y: at most 63807 digits in radix 2.\n");
}
