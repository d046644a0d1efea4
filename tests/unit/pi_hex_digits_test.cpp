// pi_hex_digits_at against pi's digits from MPFR, the published digits near
// position 10^6 and the program's own pi, within the bound it returns, and
// its 192-bit sum within the bound derived for it; the series' fast
// arithmetic against its generic one, and that one against GMP.
#include <climits>
#include <random>
#include <string>
#include <vector>

#include <gmp.h>
#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "mpfr_reference.h"
#include "pi_hex_series.h"
#include "calculators.h"

namespace {

UInt128 join(uint64_t high, uint64_t low)
{
    return (static_cast<UInt128>(high) << 64) | low;
}

// pi's hexadecimal digits position+1 .. position+48 from MPFR, in three
// words: floor(frac(16^position pi) 2^192).
std::vector<uint64_t> mpfr_words(int64_t position)
{
    std::string integer;
    const std::string hex = reference_fraction_digits("pi", 16, position + 48, &integer).substr(position);
    return {std::stoull(hex.substr(0, 16), nullptr, 16), std::stoull(hex.substr(16, 16), nullptr, 16),
            std::stoull(hex.substr(32), nullptr, 16)};
}

// |T - D| < B for T = floor(T) + f, 0 < f < 1, holds exactly when
// floor(T) - D, modulo 2^128, lies in [-B, B - 1].
::testing::AssertionResult within_bound(UInt128 truncated, int64_t position)
{
    uint64_t d[2];
    const auto bound = static_cast<Int128>(pi_hex_digits_at(position, d));
    const auto difference = static_cast<Int128>(truncated - join(d[0], d[1]));
    if (bound >= 1 && difference >= -bound && difference < bound) {
        return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "position " << position << ": bound " << static_cast<int>(bound)
                                         << ", floor(T) - D = " << static_cast<int64_t>(difference);
}

std::vector<uint64_t> words_of(const pi_hex::Sum192 &sum)
{
    std::vector<uint64_t> words(3);
    pi_hex::sum_words(sum, 0, words.data());
    return words;
}

} // namespace

// The first positions give the true digits; at those and at random ones the
// digits lie within the bound, and the 192-bit sum S exceeds
// S* = frac(16^position pi) 2^192 by more than 0 and less than N + 2
// (pi_hex_digits.cpp), so that S - floor(S*) lies in [1, N + 2].
TEST(PiHexDigits, DigitsAndSumLieWithinTheirBounds)
{
    uint64_t d[2];
    ASSERT_EQ(pi_hex_digits_at(0, d), 1U);
    EXPECT_EQ(join(d[0], d[1]), join(0x243F6A8885A308D3, 0x13198A2E03707344));
    std::vector<int64_t> positions = {63, 64, 1023, 4096};
    std::mt19937_64 rng(314159);
    for (int64_t i = 0; i <= 46; ++i) {
        positions.push_back(i <= 40 ? i : static_cast<int64_t>(rng() % 6000));
    }
    for (const int64_t position : positions) {
        const std::vector<uint64_t> exact = mpfr_words(position);
        uint64_t s[3];
        const int64_t terms = pi_hex::series_sum(position, s);
        const UInt128 low_excess = join(s[1], s[2]) - join(exact[1], exact[2]);
        const uint64_t top_excess = s[0] - exact[0] - (join(s[1], s[2]) < join(exact[1], exact[2]));
        EXPECT_TRUE(top_excess == 0 && low_excess >= 1 && low_excess <= static_cast<UInt128>(terms + 2))
            << "position " << position << ": S - floor(S*) = " << top_excess << " 2^128 + "
            << static_cast<uint64_t>(low_excess) << " for " << terms << " terms";
        EXPECT_TRUE(within_bound(join(exact[0], exact[1]), position));
        ASSERT_EQ(pi_hex_digits_at(position, d), 1U);
        EXPECT_TRUE(position > 40 || (d[0] == exact[0] && d[1] == exact[1])) << "position " << position;
    }
}

// Bailey, Borwein and Plouffe (1997) give 26C65E52CB4593 at position 10^6,
// counting the first digit as position 1: digits 1000000 .. 1000013, so
// position 999999 here. Bailey's program for that paper prints 6C65E52CB4,
// the digits after position 10^6.
TEST(PiHexDigits, PublishedDigitsNearPositionOneMillion)
{
    const struct {
        int64_t position;
        uint64_t digits;
        int count;
    } kPublished[] = {{999999, 0x26C65E52CB4593, 14}, {1000000, 0x6C65E52CB4, 10}};
    for (const auto &p : kPublished) {
        uint64_t d[2];
        ASSERT_EQ(pi_hex_digits_at(p.position, d), 1U);
        EXPECT_EQ(d[0] >> (64 - 4 * p.count), p.digits) << "position " << p.position;
    }
}

// The calculator's pi (word T-1 the integer part, word T-2 fraction bits
// 1..64, and so on down, the last words guard words), from bit 4 position of
// its fraction on.
TEST(PiHexDigits, AgreesWithTheProgramsPi)
{
    for (const int64_t position : {160, 1001, 2347}) {
        const int64_t words = position / 16 + 8;
        Lii p;
        int32_t result = 1;
        capture_stdout([&] { result = pi_Machin_bini(&p, words); });
        ASSERT_EQ(result, 0);
        const uint64_t *w = p.mantisse + words - 4 - position / 16; // the window's lowest word
        const int shift = static_cast<int>(4 * (position % 16));
        const UInt128 window = (join(w[2], w[1]) << shift) | (shift == 0 ? 0 : w[0] >> (64 - shift));
        EXPECT_TRUE(within_bound(window, position));
        destroyLii(&p);
    }
}

TEST(PiHexDigits, RefusesPositionsOutsideItsRange)
{
    for (const int64_t position : {INT64_C(-1), INT64_MIN, LFX_PI_HEX_MAX_POSITION + 1, INT64_MAX}) {
        uint64_t d[2] = {1, 2};
        EXPECT_EQ(pi_hex_digits_at(position, d), 0U) << "position " << position;
        EXPECT_TRUE(d[0] == 1 && d[1] == 2);
    }
}

// Whole heads of small positions, and the blocks of the fast arithmetic's
// largest moduli, just below 2^28, where its values come nearest their
// bounds.
TEST(PiHexSeries, FastArithmeticMatchesTheGenericOne)
{
    const int64_t far = INT64_C(1) << 27; // every k near kFastKEnd is a head k
    const struct {
        int64_t position, k_begin, k_end;
    } kRanges[] = {{2, 0, 1},
                   {40, 0, 16},
                   {777, 0, 310},
                   {5000, 0, 1999},
                   {far, pi_hex::kFastKEnd - 40, pi_hex::kFastKEnd + 3}};
    for (const auto &r : kRanges) {
        pi_hex::Sum192 fast{};
        pi_hex::Sum192 generic{};
        pi_hex::add_head_terms(&fast, r.position, r.k_begin, r.k_end, true);
        pi_hex::add_head_terms(&generic, r.position, r.k_begin, r.k_end, false);
        EXPECT_EQ(words_of(fast), words_of(generic)) << "position " << r.position << ", k from " << r.k_begin;
    }
}

// The seven terms of one k, up to moduli near 2^59 at the largest position,
// against F = -(2^(e+192) mod m) m^-1 mod 2^192 from GMP, ~F when negative.
TEST(PiHexSeries, GenericArithmeticMatchesGmp)
{
    const int64_t last = LFX_PI_HEX_MAX_POSITION;
    const int64_t mid = INT64_C(1) << 33;
    const struct {
        int64_t position, k;
    } kCases[] = {{2, 0}, {1000, 17}, {mid, (4 * mid - 6) / 10}, {last, 5}, {last, (4 * last - 6) / 10}};
    mpz_t m, f, sum, two192;
    mpz_inits(m, f, sum, two192, nullptr);
    mpz_ui_pow_ui(two192, 2, 192);
    for (const auto &c : kCases) {
        mpz_set_ui(sum, 0);
        for (int j = 0; j < pi_hex::kTermsPerK; ++j) {
            const int64_t e = pi_hex::base_exponent(c.position, c.k) + pi_hex::kBellardTerms[j].shift;
            mpz_set_ui(m, pi_hex::term_modulus(j, c.k));
            mpz_set_ui(f, 2);
            mpz_powm_ui(f, f, static_cast<unsigned long>(e + 192), m);
            mpz_invert(m, m, two192);
            mpz_mul(f, f, m);
            mpz_neg(f, f);
            if (pi_hex::sign_mask(j, c.k) != 0) {
                mpz_com(f, f);
            }
            mpz_add(sum, sum, f);
        }
        mpz_fdiv_r_2exp(sum, sum, 192);
        pi_hex::Sum192 generic{};
        pi_hex::add_head_terms(&generic, c.position, c.k, c.k + 1, false);
        const std::vector<uint64_t> want = {mpz_getlimbn(sum, 2), mpz_getlimbn(sum, 1), mpz_getlimbn(sum, 0)};
        EXPECT_EQ(words_of(generic), want) << "position " << c.position << ", k " << c.k;
    }
    mpz_clears(m, f, sum, two192, nullptr);
}
