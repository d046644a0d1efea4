// The arctangent series and the four pi formulas, run in-process: the number
// of terms each series takes, its value against the same truncated series in
// GMP, pi's first words, the printed digits against MPFR, the refusals.
//
// This program is linked with -Wl,--wrap=divHalfB_x86_64_bini: the series
// divides its power record into the term record once per term, so counting
// those calls counts the terms.
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gmp.h>
#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "pi_formulas.h"
#include "mpfr_reference.h"
#include "printed_output.h"
#include "record_support.h"
#include "vexo.h"

extern "C" uint64_t __real_divHalfB_x86_64_bini(Lii *Q, const Lii *A, uint64_t d);

namespace {

struct DivisionLog {
    long calls;
    uint64_t last_divisor;
};
DivisionLog division_log{0, 0};

} // namespace

extern "C" uint64_t __wrap_divHalfB_x86_64_bini(Lii *Q, const Lii *A, uint64_t d)
{
    ++division_log.calls;
    division_log.last_divisor = d;
    return __real_divHalfB_x86_64_bini(Q, A, d);
}

namespace {

const int64_t kSmallestX[] = {2, 5, 18, 23};

// The series as arctan_bini defines it, on GMP integers counting units of
// 2^-F: the same truncations in the same order. Returns the number of terms.
long gmp_series(mpz_t a, uint64_t x, int64_t words)
{
    const unsigned long fraction_bits = 64UL * static_cast<unsigned long>(words - 1);
    mpz_t un, b;
    mpz_inits(un, b, nullptr);
    mpz_set_ui(a, 1);
    mpz_mul_2exp(a, a, fraction_bits);
    mpz_fdiv_q_ui(a, a, x);
    mpz_fdiv_q_ui(un, a, x * x);
    long n = 1;
    for (;; ++n) {
        mpz_fdiv_q_ui(b, un, 2 * static_cast<unsigned long>(n) + 1);
        if (n % 2 == 1) {
            mpz_sub(a, a, b);
        } else {
            mpz_add(a, a, b);
        }
        mpz_fdiv_q_ui(un, un, x * x);
        if (mpz_sgn(un) == 0) {
            break;
        }
    }
    mpz_clears(un, b, nullptr);
    return n;
}

std::vector<uint64_t> gmp_words(const mpz_t v, int64_t words)
{
    std::vector<uint64_t> out(static_cast<size_t>(words), 0);
    size_t count = 0;
    mpz_export(out.data(), &count, -1, sizeof(uint64_t), 0, 0, v);
    return out;
}

std::vector<uint64_t> record_words(const Lii *r)
{
    return std::vector<uint64_t>(r->mantisse, r->mantisse + r->taille_mantisse);
}

struct SeriesRun {
    std::vector<uint64_t> words;
    long terms;
    uint64_t last_divisor;
};

SeriesRun run_series(int64_t x, int64_t words)
{
    Lii a;
    division_log = {0, 0};
    int64_t result = 1;
    const std::string out = capture_stdout([&] { result = arctan_bini(&a, x, words); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(out, "") << "a series prints nothing when it succeeds";
    EXPECT_TRUE(record_contract_holds(&a));
    SeriesRun run{record_words(&a), division_log.calls, division_log.last_divisor};
    destroyLii(&a);
    return run;
}

TEST(ArctanSeries, TakesTheTermsThatItsStoppingRuleGives)
{
    struct Case {
        int64_t x, words;
        long terms;
    };
    // The test follows each term: the last power divided is the first zero,
    // and a one-word record, whose powers are all zero, still takes a term.
    const Case cases[] = {{2, 4, 95},      {5, 4, 40}, {239, 4, 11}, {5, 66, 895},
                          {6072, 66, 165}, {2, 1, 1},  {6072, 1, 1}};
    for (const Case &c : cases) {
        SCOPED_TRACE("arctan(1/" + std::to_string(c.x) + ") on " + std::to_string(c.words) + " words");
        const SeriesRun run = run_series(c.x, c.words);
        EXPECT_EQ(run.terms, c.terms);
        EXPECT_EQ(run.last_divisor, 2U * static_cast<uint64_t>(c.terms) + 1);

        mpz_t a;
        mpz_init(a);
        EXPECT_EQ(gmp_series(a, static_cast<uint64_t>(c.x), c.words), c.terms);
        mpz_clear(a);
    }
}

TEST(ArctanSeries, EqualsTheSameTruncatedSeriesAndKeepsItsDivisorsBounded)
{
    for (int64_t x : {2, 3, 5, 18, 23, 57, 182, 239, 5118, 6072}) {
        for (int64_t words : {4, 5, 9, 66, 131}) {
            SCOPED_TRACE("arctan(1/" + std::to_string(x) + ") on " + std::to_string(words) + " words");
            const SeriesRun run = run_series(x, words);
            mpz_t a;
            mpz_init(a);
            const long terms = gmp_series(a, static_cast<uint64_t>(x), words);
            EXPECT_EQ(run.words, gmp_words(a, words));
            EXPECT_EQ(run.terms, terms);
            mpz_clear(a);
            // The size limit of calcul_pi rests on this bound of the last
            // odd divisor: F / log2(x), F being the fraction bits.
            const double fraction_bits = 64.0 * static_cast<double>(words - 1);
            EXPECT_LE(static_cast<double>(run.last_divisor),
                      fraction_bits / std::log2(static_cast<double>(x)));
        }
    }
}

TEST(PiFormulas, EveryFormulaStartsWithThreeAndPisFirstFractionWord)
{
    for (int f = 0; f < 4; ++f) {
        for (int64_t words : {4, 5, 6, 7, 8, 16, 66, 67, 200}) {
            SCOPED_TRACE("formula " + std::to_string(f + 1) + " on " + std::to_string(words) + " words");
            Lii p;
            int64_t result = 1;
            capture_stdout([&] { result = kPiFormulas[f](&p, words); });
            ASSERT_EQ(result, 0);
            EXPECT_EQ(p.taille_mantisse, words);
            EXPECT_EQ(p.mantisse[words - 1], 3U);
            EXPECT_EQ(p.mantisse[words - 2], UINT64_C(0x243F6A8885A308D3));
            EXPECT_TRUE(record_contract_holds(&p));
            destroyLii(&p);
        }
    }
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
std::string expect_pi_digits(int64_t radix, int64_t digits, int32_t formula)
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
    return printed;
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

TEST(CalculPi, LongRunsAgreeWithMpfrAndWithEachOther)
{
    const std::string machin = expect_pi_digits(16, 20000, 2);
    const std::string four_terms = expect_pi_digits(16, 20000, 4);
    EXPECT_EQ(machin, four_terms);
    for (int32_t formula : {1, 3}) {
        const PiRun run = run_calcul_pi(16, 8000, formula);
        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(run.number.fraction.substr(0, 8000), machin.substr(0, 8000)) << "formula " << formula;
    }
    expect_pi_digits(2, 40000, 4);
}

TEST(CalculPi, ARadixOrFormulaOutOfRangeIsRefusedSilently)
{
    struct Case {
        int64_t radix;
        int32_t formula;
    };
    for (const Case c : {Case{10, 2}, Case{0, 1}, Case{8, 3}, Case{16, 0}, Case{2, 5}, Case{16, -1}}) {
        int32_t result = 0;
        const std::string out = capture_stdout([&] { result = calcul_pi(c.radix, 1000, c.formula); });
        EXPECT_EQ(result, 1) << c.radix << " " << c.formula;
        EXPECT_EQ(out, "") << c.radix << " " << c.formula;
    }
}

// The refusal line, and the digit count it names.
int64_t refused_limit(int64_t radix, int64_t digits, int32_t formula)
{
    int32_t result = 0;
    const std::string out = capture_stdout([&] { result = calcul_pi(radix, digits, formula); });
    EXPECT_EQ(result, 1);
    long long limit = -1;
    long long shown_radix = -1;
    char name[64] = "";
    char rest = 0;
    EXPECT_EQ(
        std::sscanf(out.c_str(),
                    " Request too large for pi by formula %63[0-9]: at most %lld digits in radix %lld.%c",
                    name, &limit, &shown_radix, &rest),
        4)
        << out;
    EXPECT_EQ(std::string(name), std::to_string(formula));
    EXPECT_EQ(shown_radix, radix);
    EXPECT_EQ(rest, '\n');
    EXPECT_EQ(out.find('\n'), out.size() - 1) << "one line only";
    return limit;
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

} // namespace
