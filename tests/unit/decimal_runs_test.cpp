// Every calculator in radix 10: records sized from n log2(10) fraction bits
// plus guard words, the first n printed digits equal to MPFR's, every digit
// that the fraction determines printed, and the size limit in decimal digits.
#include <cstdint>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "mpfr_reference.h"
#include "printed_output.h"
#include "calculators.h"
#include "run_records.h"

namespace {

struct Calculation {
    const char *constant; // as the reference names it
    int32_t formula;      // for pi; 0 for the other constants
};

int32_t calculate(const Calculation &c, int64_t base, int64_t digits)
{
    if (c.formula != 0) {
        return calcul_pi(base, digits, c.formula);
    }
    const std::string name = c.constant;
    return name == "e"       ? calcul_e(base, digits)
           : name == "sqrt2" ? calcul_sqrt2(base, digits)
                             : calcul_inv_sqrt2(base, digits);
}

void expect_decimal_digits(const Calculation &c, int64_t digits)
{
    SCOPED_TRACE(std::string(c.constant) +
                 (c.formula != 0 ? " by formula " + std::to_string(c.formula) : "") + ", " +
                 std::to_string(digits) + " decimal digits");
    int32_t result = 1;
    const std::string out = capture_stdout([&] { result = calculate(c, 10, digits); });
    ASSERT_EQ(result, 0);
    const PrintedNumber number = parse_printed_number(out);
    ASSERT_TRUE(number.found);
    EXPECT_EQ(out.substr(number.start), printer_layout(number.integer, number.fraction));

    // At least n log2(10) fraction bits and three guard words: every digit
    // that the fraction determines is printed, well beyond the n asked for.
    const int64_t words = record_words(10, digits, 0);
    EXPECT_GE(64 * (words - 4), static_cast<int64_t>(3.32192809488736 * static_cast<double>(digits)) - 64);
    EXPECT_EQ(static_cast<int64_t>(number.fraction.size()), decimal_fraction_digits(words));
    EXPECT_GE(static_cast<int64_t>(number.fraction.size()), digits + 38);

    std::string integer;
    const std::string reference =
        reference_fraction_digits(c.constant, 10, static_cast<long>(digits), &integer);
    EXPECT_EQ(number.integer, integer);
    EXPECT_EQ(number.fraction.substr(0, static_cast<size_t>(digits)), reference);
}

TEST(DecimalRuns, EveryFormulaOfPiPrintsMpfrsDigits)
{
    for (int32_t formula = 1; formula <= 4; ++formula) {
        for (int64_t digits : {13, 19, 20, 100, 1000}) {
            expect_decimal_digits({"pi", formula}, digits);
        }
        expect_decimal_digits({"pi", formula}, formula == 1 ? 6000 : 20000);
    }
}

TEST(DecimalRuns, EAndTheRootsPrintMpfrsDigits)
{
    for (const char *constant : {"e", "sqrt2", "1/sqrt2"}) {
        for (int64_t digits : {13, 100, 1000, 12345}) {
            expect_decimal_digits({constant, 0}, digits);
        }
    }
    expect_decimal_digits({"e", 0}, 100000);
    expect_decimal_digits({"sqrt2", 0}, 100000);
}

// The largest decimal request of each calculator is the last digit count
// whose records stay within the largest word count of the other radixes.
TEST(DecimalRuns, TheSizeLimitCountsDecimalDigits)
{
    const Calculation all[] = {{"pi", 1}, {"pi", 2},    {"pi", 3},     {"pi", 4},
                               {"e", 0},  {"sqrt2", 0}, {"1/sqrt2", 0}};
    for (const Calculation &c : all) {
        SCOPED_TRACE(std::string(c.constant) + " " + std::to_string(c.formula));
        long long limit10 = -1;
        long long limit16 = -1;
        const std::string line10 = capture_stdout([&] { EXPECT_EQ(calculate(c, 10, INT64_MAX), 1); });
        const std::string line16 = capture_stdout([&] { EXPECT_EQ(calculate(c, 16, INT64_MAX), 1); });
        ASSERT_EQ(std::sscanf(line10.c_str(),
                              " Request too large for %*[^:]: at most %lld digits in radix 10.", &limit10),
                  1)
            << line10;
        ASSERT_EQ(std::sscanf(line16.c_str(),
                              " Request too large for %*[^:]: at most %lld digits in radix 16.", &limit16),
                  1)
            << line16;
        const int64_t max_words = limit16 / 16 + 4;
        EXPECT_EQ(record_words(10, limit10, 0), max_words);
        EXPECT_GT(record_words(10, limit10 + 1, 0), max_words);
        const std::string just_over = capture_stdout([&] { EXPECT_EQ(calculate(c, 10, limit10 + 1), 1); });
        EXPECT_EQ(just_over, line10);
    }
}

} // namespace
