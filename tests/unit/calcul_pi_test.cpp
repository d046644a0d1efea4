// calcul_pi and the other calculators, run in-process: pi's printed digits
// against MPFR for every formula in both radixes, the refusals of a radix or
// formula out of range and of requests whose divisors would reach 2^32, the
// progress line's share of each series, and the largest request of every
// calculator.
#include <cmath>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "calculators.h"
#include "capture_stdout.h"
#include "expected_text.h"
#include "mpfr_reference.h"
#include "printed_output.h"

namespace {

const int64_t kSmallestX[] = {2, 5, 18, 23};

// The refusal line, and the digit count it names.
int64_t refused_limit(int64_t radix, int64_t digits, int32_t formula)
{
    int32_t result = 0;
    const std::string out = capture_stdout([&] { result = calcul_pi(radix, digits, formula); });
    EXPECT_EQ(result, 1);
    const TooLargeLine line = parse_too_large(out);
    EXPECT_TRUE(line.valid) << out;
    EXPECT_EQ(line.constant, "pi by formula " + std::to_string(formula));
    EXPECT_EQ(line.radix, radix);
    return line.max_digits;
}

struct PiRun {
    int32_t result;
    PrintedNumber number;
};

PiRun run_calcul_pi(int64_t radix, int64_t digits, int32_t formula)
{
    PiRun run{1, {}};
    const std::string out = capture_stdout([&] { run.result = calcul_pi(radix, digits, formula); });
    run.number = parse_printed_number(out);
    EXPECT_EQ(out.substr(run.number.start), printer_layout(run.number.integer, run.number.fraction));
    return run;
}

// The first `digits` digits of pi printed by a formula equal MPFR's, and the
// record had digits/(digits per word) + 4 words.
void expect_pi_digits(int64_t radix, int64_t digits, int32_t formula)
{
    SCOPED_TRACE("formula " + std::to_string(formula) + ", " + std::to_string(digits) + " digits in radix " +
                 std::to_string(radix));
    const PiRun run = run_calcul_pi(radix, digits, formula);
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(run.number.found);
    const int64_t per_word = radix == 2 ? 64 : 16;
    const int64_t words = digits / per_word + 4;
    EXPECT_EQ(static_cast<int64_t>(run.number.fraction.size()), per_word * (words - 1));

    std::string integer;
    const std::string reference = reference_fraction_digits("pi", static_cast<int>(radix), digits, &integer);
    EXPECT_EQ(run.number.integer, integer);
    const std::string printed = run.number.fraction.substr(0, static_cast<size_t>(digits));
    EXPECT_EQ(printed, reference);
}

TEST(CalculPi, EveryFormulaPrintsMpfrsDigitsInBothRadixes)
{
    for (int32_t formula = 1; formula <= 4; ++formula) {
        for (int64_t digits : {13, 15, 16, 100, 1000, 3001}) {
            expect_pi_digits(16, digits, formula);
        }
        for (int64_t digits : {13, 63, 64, 1000, 6000}) {
            expect_pi_digits(2, digits, formula);
        }
    }
}

TEST(CalculPi, LongRunsPrintMpfrsDigits)
{
    for (int32_t formula = 1; formula <= 4; ++formula) {
        expect_pi_digits(16, formula == 1 ? 8000 : 20000, formula);
    }
    expect_pi_digits(2, 40000, 4);
}

TEST(CalculPi, ARadixOrFormulaOutOfRangeIsRefusedSilently)
{
    struct Case {
        int64_t radix;
        int32_t formula;
    };
    for (const Case c : {Case{11, 2}, Case{0, 1}, Case{8, 3}, Case{16, 0}, Case{2, 5}, Case{10, -1}}) {
        int32_t result = 0;
        const std::string out = capture_stdout([&] { result = calcul_pi(c.radix, 1000, c.formula); });
        EXPECT_EQ(result, 1) << c.radix << " " << c.formula;
        EXPECT_EQ(out, "") << c.radix << " " << c.formula;
    }
}

TEST(CalculPi, RequestsWhoseDivisorsWouldReach2To32AreRefused)
{
    for (int32_t formula = 1; formula <= 4; ++formula) {
        SCOPED_TRACE("formula " + std::to_string(formula));
        const int64_t limit16 = refused_limit(16, INT64_MAX, formula);
        const int64_t limit2 = refused_limit(2, INT64_MAX, formula);
        EXPECT_EQ(refused_limit(16, limit16 + 1, formula), limit16);
        EXPECT_EQ(refused_limit(2, limit2 + 1, formula), limit2);

        // Both limits are the last digit count of the same largest word count.
        const int64_t words = limit16 / 16 + 4;
        EXPECT_EQ(limit2 / 64 + 4, words);
        EXPECT_EQ(limit16 % 16, 15);
        EXPECT_EQ(limit2 % 64, 63);

        // The slowest series of that size stays below 2^32 in its last odd
        // divisor (F / log2(x) bounds it), yet the limit gives away little.
        const double bound =
            64.0 * static_cast<double>(words - 1) / std::log2(static_cast<double>(kSmallestX[formula - 1]));
        EXPECT_LT(bound, 4294967296.0);
        EXPECT_GT(bound, 0.999 * 4294967296.0);
    }
}

// Where the progress line starts each series of a formula and the share it
// gives it: a series of arctan(1/x) costs (k + 1) / (2k) / log2(x), k terms to
// a group (14, 9, 6, 3, 3, 2, 2, 2, 1, 1 for x = 2, 3, 5, 18, 23, 57, 182,
// 239, 5118, 6072), over the formula's sum; each starts where the ones before
// it end, and a formula's weights add up to 1. Worked out apart, to 6 places.
TEST(PiFormulas, TheProgressLineSharesTheRunAmongTheSeries)
{
    struct Row {
        int32_t formula;
        int term;
        double done, weight;
    };
    const Row rows[] = {
        {1, 0, 0.0, 0.604486},      {1, 1, 0.604486, 0.395514}, {2, 0, 0.0, 0.725769},
        {2, 1, 0.725769, 0.274231}, {3, 0, 0.0, 0.417012},      {3, 1, 0.417012, 0.335386},
        {3, 2, 0.752398, 0.247602}, {4, 0, 0.0, 0.361217},      {4, 1, 0.361217, 0.244844},
        {4, 2, 0.606061, 0.198921}, {4, 3, 0.804982, 0.195018},
    };
    for (const Row &row : rows) {
        double done = -1.0;
        double weight = -1.0;
        pi_series_share(row.formula, row.term, &done, &weight);
        EXPECT_NEAR(done, row.done, 1e-6) << "formula " << row.formula << ", term " << row.term;
        EXPECT_NEAR(weight, row.weight, 1e-6) << "formula " << row.formula << ", term " << row.term;
    }
}

// The largest request of every calculator in each radix, as the README's
// Limits table gives it: one digit more is refused with exactly one line.
TEST(Limits, EveryCalculatorRefusesOneDigitOverItsLimitInEachRadix)
{
    struct Row {
        const char *constant; // as the refusal line names it
        int32_t formula;      // of pi; 0 for the other constants
        int64_t limit2, limit10, limit16;
    };
    const Row rows[] = {
        {"pi by formula 1", 1, 4293918591, 1292598295, 1073479647},
        {"pi by formula 2", 2, 9970170367, 3001320342, 2492542591},
        {"pi by formula 3", 3, 17905318847, 5390038055, 4476329711},
        {"pi by formula 4", 4, 19423807231, 5847148606, 4855951807},
        {"e", 0, 128849018751, 38787419536, 32212254671},
        {"sqrt2", 0, 60129542015, 18100795753, 15032385487},
        {"1/sqrt2", 0, 60129542015, 18100795753, 15032385487},
    };
    for (const Row &row : rows) {
        for (const int64_t radix : {2, 10, 16}) {
            const int64_t limit = radix == 2 ? row.limit2 : radix == 10 ? row.limit10 : row.limit16;
            const std::string name = row.constant;
            int32_t result = 0;
            const std::string out = capture_stdout([&] {
                result = row.formula != 0  ? calcul_pi(radix, limit + 1, row.formula)
                         : name == "e"     ? calcul_e(radix, limit + 1)
                         : name == "sqrt2" ? calcul_sqrt2(radix, limit + 1)
                                           : calcul_inv_sqrt2(radix, limit + 1);
            });
            EXPECT_EQ(result, 1) << name << " radix " << radix;
            EXPECT_EQ(out, " Request too large for " + name + ": at most " + std::to_string(limit) +
                               " digits in radix " + std::to_string(radix) + ".\n");
        }
    }
}

} // namespace
