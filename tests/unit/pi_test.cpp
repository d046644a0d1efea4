// The arctangent series and the four pi formulas, run in-process: the number
// of terms each series takes and how they are grouped, its value against the
// same truncated series in GMP, and pi's first words.
//
// This program is linked with -Wl,--wrap for both division kernels, so that
// every divisor the series uses is seen and counted.
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <gmp.h>
#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "int128.h"
#include "pi_formulas.h"
#include "record_support.h"
#include "calculators.h"

extern "C" uint64_t __real_divHalfB_x86_64_bini(Lii *Q, const Lii *A, uint64_t d);
extern "C" uint64_t __real_divHalfB_R_x86_64_bini(Lii *A, uint64_t d);

namespace {

struct DivisionLog {
    long into_term;   // divisions of the power into the term record
    long in_place;    // divisions of a record by itself
    uint64_t largest; // the largest divisor of either kind
};
DivisionLog division_log{0, 0, 0};

void log_divisor(uint64_t d)
{
    division_log.largest = d > division_log.largest ? d : division_log.largest;
}

} // namespace

extern "C" uint64_t __wrap_divHalfB_x86_64_bini(Lii *Q, const Lii *A, uint64_t d)
{
    ++division_log.into_term;
    log_divisor(d);
    return __real_divHalfB_x86_64_bini(Q, A, d);
}

extern "C" uint64_t __wrap_divHalfB_R_x86_64_bini(Lii *A, uint64_t d)
{
    ++division_log.in_place;
    log_divisor(d);
    return __real_divHalfB_R_x86_64_bini(A, d);
}

namespace {

const int64_t kEveryX[] = {2, 3, 5, 18, 23, 57, 182, 239, 5118, 6072};

// The series on GMP integers counting units of 2^-F, one term at a time:
// the power divided by 2n+1 into the term, then by x^2, the loop ending after
// the first power that is zero. Returns the number of terms.
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

std::vector<uint64_t> all_words(const Lii *r)
{
    return std::vector<uint64_t>(r->mantisse, r->mantisse + r->taille_mantisse);
}

struct SeriesRun {
    std::vector<uint64_t> words;
    DivisionLog divisions;
};

SeriesRun run_series(int64_t x, int64_t words)
{
    Lii a;
    division_log = {0, 0, 0};
    int64_t result = 1;
    const std::string out = capture_stdout([&] { result = arctan_bini(&a, x, words); });
    EXPECT_EQ(result, 0);
    EXPECT_EQ(out, "") << "a series prints nothing when it succeeds";
    EXPECT_TRUE(record_contract_holds(&a));
    SeriesRun run{all_words(&a), division_log};
    destroyLii(&a);
    return run;
}

TEST(ArctanSeries, EqualsTheSeriesTakenOneTermAtATime)
{
    // Term counts of the one-by-one loop: the test follows each term, so the
    // last power divided is the first zero, and a one-word record, whose
    // powers are all zero, still takes a term.
    struct Case {
        int64_t x, words;
        long terms;
    };
    const Case counted[] = {{2, 4, 95},      {5, 4, 40}, {239, 4, 11}, {5, 66, 895},
                            {6072, 66, 165}, {2, 1, 1},  {6072, 1, 1}};
    for (const Case &c : counted) {
        mpz_t a;
        mpz_init(a);
        EXPECT_EQ(gmp_series(a, static_cast<uint64_t>(c.x), c.words), c.terms);
        EXPECT_EQ(run_series(c.x, c.words).words, gmp_words(a, c.words));
        mpz_clear(a);
    }
    // Every size from one word up, so that the power vanishes at every place
    // of the last group, and a few longer records.
    bool vanished_mid_group = false;
    for (int64_t x : kEveryX) {
        for (int64_t words = 1; words <= 140; words += words < 24 ? 1 : 29) {
            SCOPED_TRACE("arctan(1/" + std::to_string(x) + ") on " + std::to_string(words) + " words");
            mpz_t a;
            mpz_init(a);
            const long terms = gmp_series(a, static_cast<uint64_t>(x), words);
            const SeriesRun run = run_series(x, words);
            EXPECT_EQ(run.words, gmp_words(a, words));
            mpz_clear(a);
            // Terms past the last one that counts are zero: the grouped loop
            // takes at most one group too many.
            EXPECT_GE(run.divisions.into_term, terms);
            EXPECT_LT(run.divisions.into_term, terms + arctan_group_terms(static_cast<uint64_t>(x), 1));
            vanished_mid_group = vanished_mid_group || run.divisions.into_term > terms;
            EXPECT_LT(run.divisions.largest, UINT64_C(1) << 32);
        }
    }
    EXPECT_TRUE(vanished_mid_group) << "no case ended inside a group";
}

TEST(ArctanSeries, GroupedTermsSaveDivisions)
{
    // One by one, every term costs two divisions, plus the two that make 1/x
    // and 1/x^3. Groups of k terms cost k + 1.
    for (int64_t x : {2, 5, 23, 239}) {
        const SeriesRun run = run_series(x, 200);
        const long one_by_one = 2 * run.divisions.into_term + 2;
        const long grouped = run.divisions.into_term + run.divisions.in_place;
        EXPECT_LT(grouped, x == 239 ? one_by_one * 4 / 5 : one_by_one * 7 / 10) << "x = " << x;
    }
    for (int64_t x : {5118, 6072}) { // x^4 >= 2^32: every group is one term
        const SeriesRun run = run_series(x, 200);
        EXPECT_EQ(run.divisions.in_place, run.divisions.into_term + 2) << "x = " << x;
    }
}

// Every divisor of the group of k terms from term n is below 2^32: each
// power x^(2j) times 2(n+j)+1, and the power x^(2k) that closes the group;
// and a group of k + 1 terms would not be.
bool group_is_largest_below_2_to_32(uint64_t x, uint64_t n, int64_t k)
{
    const UInt128 limit = UInt128{1} << 32;
    const UInt128 d = UInt128{x} * x;
    UInt128 power = 1;
    for (int64_t j = 0; j < k; ++j, power *= d) {
        if (power * (2 * (n + static_cast<uint64_t>(j)) + 1) >= limit) {
            return false;
        }
    }
    return power < limit && (power * (2 * (n + static_cast<uint64_t>(k)) + 1) >= limit || power * d >= limit);
}

// For every x of the formulas, at every term count up to 2^17 and around
// every count where a group loses a term (exact ties included), up to the
// last count whose divisor 2n+1 is below 2^32.
TEST(ArctanSeries, GroupsAreTheLargestWhoseDivisorsStayBelow2To32)
{
    const uint64_t last_n = (uint64_t{1} << 31) - 1;
    for (uint64_t x : {2, 3, 5, 18, 23, 57, 182, 239, 5118, 6072}) {
        std::vector<uint64_t> counts;
        for (uint64_t n = 1; n <= uint64_t{1} << 17; ++n) {
            counts.push_back(n);
        }
        // Term n+j of a group has the divisor x^(2j) (2(n+j)+1): it reaches
        // 2^32 where n+j is about 2^31 / x^(2j).
        int64_t j = 0;
        for (UInt128 power = 1; power < (UInt128{1} << 32); power *= UInt128{x} * x, ++j) {
            const auto edge = static_cast<int64_t>((UInt128{1} << 31) / power) - j;
            for (int64_t n = std::max<int64_t>(edge - 3, 1); n <= edge + 3; ++n) {
                counts.push_back(std::min(static_cast<uint64_t>(n), last_n));
            }
        }
        for (uint64_t n : counts) {
            const int64_t k = arctan_group_terms(x, n);
            ASSERT_TRUE(group_is_largest_below_2_to_32(x, n, k))
                << "x = " << x << ", n = " << n << ", k = " << k;
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

} // namespace
