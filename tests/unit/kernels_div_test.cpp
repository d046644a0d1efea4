// The two division kernels against the kernel model (every field and every
// word of both records), against GMP's mpn_divrem_1 and against values worked
// out by hand: quotient words, remainder, signe/indiceMax/aux, words above
// indiceMax, guard words around every array and the record contract.
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include <gmp.h>
#include <gtest/gtest.h>

#include "kernel_model.h"
#include "lfx86_64.h"
#include "record_support.h"

namespace {

static_assert(sizeof(mp_limb_t) == sizeof(uint64_t), "64-bit GMP limbs");

constexpr uint64_t kMaxWord = ~UINT64_C(0);

struct Quotient {
    std::vector<uint64_t> words; // as many words as the dividend
    uint64_t reste;
};

Quotient gmp_divide(const std::vector<uint64_t> &a, uint64_t d)
{
    Quotient q{std::vector<uint64_t>(a.size()), 0};
    q.reste =
        mpn_divrem_1(reinterpret_cast<mp_limb_t *>(q.words.data()), 0,
                     reinterpret_cast<const mp_limb_t *>(a.data()), static_cast<mp_size_t>(a.size()), d);
    return q;
}

// Index of the quotient's top word: one below the dividend's when the top
// quotient word is zero (-1 for a zero quotient).
int64_t quotient_top(const Quotient &q)
{
    const auto k = static_cast<int64_t>(q.words.size()) - 1;
    return q.words.back() == 0 ? k - 1 : k;
}

// Fills the whole array: `value` in words 0..value.size()-1, non-zero stale
// words above; indiceMax is the value's top word.
void load_value(Lii *li, const std::vector<uint64_t> &value, int64_t signe, std::mt19937_64 *rng)
{
    for (int64_t i = 0; i < li->taille_mantisse; ++i) {
        li->mantisse[i] = i < static_cast<int64_t>(value.size()) ? value[i] : ((*rng)() | 1);
    }
    li->signe = signe;
    li->indiceMax = static_cast<int64_t>(value.size()) - 1;
    li->aux = static_cast<int64_t>((*rng)());
}

std::vector<uint64_t> all_words(const Lii *li)
{
    return std::vector<uint64_t>(li->mantisse, li->mantisse + li->taille_mantisse);
}

// Divides `value` (top word non-zero) in place, with the in-place kernel or
// with the other one given the same record as Q and A, and checks
// everything against GMP: the stale words above indiceMax must come through
// untouched.
void check_in_place(const std::vector<uint64_t> &value, uint64_t d, int64_t signe, int64_t extra, bool q_is_a,
                    std::mt19937_64 *rng)
{
    SCOPED_TRACE(::testing::Message()
                 << (q_is_a ? "Q == A" : "in place") << ", d=" << d << " words=" << value.size());
    const auto k = static_cast<int64_t>(value.size()) - 1;
    const Quotient want = gmp_divide(value, d);
    const int64_t top = quotient_top(want);

    Lii a = make_guarded_lii(k + 1 + extra);
    load_value(&a, value, signe, rng);
    const std::vector<uint64_t> before = all_words(&a);
    const int64_t aux = a.aux;
    Lii model = copy_guarded_lii(&a);
    const uint64_t model_result = q_is_a ? model_div_into(&model, &model, d) : model_div_in_place(&model, d);

    EXPECT_EQ(q_is_a ? divHalfB_x86_64_bini(&a, &a, d) : divHalfB_R_x86_64_bini(&a, d), want.reste);
    EXPECT_EQ(model_result, want.reste);
    EXPECT_TRUE(same_record(&a, &model));
    free_guarded_lii(&model);
    EXPECT_EQ(a.indiceMax, top);
    EXPECT_GE(a.indiceMax, k - 1) << "at most one top word falls out of use";
    EXPECT_EQ(a.signe, top < 0 ? 0 : signe);
    EXPECT_EQ(a.aux, aux);
    EXPECT_EQ(a.taille_mantisse, k + 1 + extra);
    const std::vector<uint64_t> after = all_words(&a);
    EXPECT_EQ(std::vector<uint64_t>(after.begin(), after.begin() + k + 1), want.words);
    EXPECT_EQ(std::vector<uint64_t>(after.begin() + k + 1, after.end()),
              std::vector<uint64_t>(before.begin() + k + 1, before.end()));
    EXPECT_TRUE(guards_intact(&a));
    EXPECT_TRUE(record_contract_holds(&a));
    free_guarded_lii(&a);
}

// Divides `value` into a Q full of stale words and fields; A must come out
// exactly as it went in.
void check_into_q(const std::vector<uint64_t> &value, uint64_t d, int64_t signe, int64_t extra,
                  std::mt19937_64 *rng)
{
    SCOPED_TRACE(::testing::Message() << "into Q, d=" << d << " words=" << value.size());
    const auto k = static_cast<int64_t>(value.size()) - 1;
    const Quotient want = gmp_divide(value, d);
    const int64_t top = quotient_top(want);

    Lii a = make_guarded_lii(k + 1 + extra);
    load_value(&a, value, signe, rng);
    Lii q = make_guarded_lii(k + 1 + static_cast<int64_t>((*rng)() % 4));
    load_value(&q, random_words(rng, static_cast<size_t>(q.taille_mantisse), kUniform), 1, rng);
    q.signe = static_cast<int64_t>((*rng)() % 3) - 1;
    q.indiceMax = static_cast<int64_t>((*rng)() % static_cast<uint64_t>(q.taille_mantisse + 1)) - 1;
    const std::vector<uint64_t> a_before = all_words(&a);
    const std::vector<uint64_t> q_before = all_words(&q);
    const Lii a_fields = a;
    const int64_t q_aux = q.aux;
    Lii model_a = copy_guarded_lii(&a);
    Lii model_q = copy_guarded_lii(&q);
    EXPECT_EQ(model_div_into(&model_q, &model_a, d), want.reste);

    EXPECT_EQ(divHalfB_x86_64_bini(&q, &a, d), want.reste);
    EXPECT_TRUE(same_record(&q, &model_q));
    EXPECT_TRUE(same_record(&a, &model_a));
    free_guarded_lii(&model_a);
    free_guarded_lii(&model_q);
    EXPECT_EQ(all_words(&a), a_before);
    EXPECT_EQ(a.signe, a_fields.signe);
    EXPECT_EQ(a.indiceMax, a_fields.indiceMax);
    EXPECT_EQ(a.aux, a_fields.aux);

    EXPECT_EQ(q.indiceMax, top);
    EXPECT_EQ(q.signe, top < 0 ? 0 : signe);
    EXPECT_EQ(q.aux, top < 0 ? q_aux : a_fields.aux) << "aux follows a non-zero quotient only";
    const std::vector<uint64_t> after = all_words(&q);
    EXPECT_EQ(std::vector<uint64_t>(after.begin(), after.begin() + k + 1), want.words);
    EXPECT_EQ(std::vector<uint64_t>(after.begin() + k + 1, after.end()),
              std::vector<uint64_t>(q_before.begin() + k + 1, q_before.end()));
    EXPECT_TRUE(guards_intact(&a));
    EXPECT_TRUE(guards_intact(&q));
    EXPECT_TRUE(record_contract_holds(&q));
    free_guarded_lii(&a);
    free_guarded_lii(&q);
}

void check_both(const std::vector<uint64_t> &value, uint64_t d, int64_t signe, std::mt19937_64 *rng)
{
    const auto extra = static_cast<int64_t>((*rng)() % 4);
    check_in_place(value, d, signe, extra, false, rng);
    check_in_place(value, d, signe, extra, true, rng);
    check_into_q(value, d, signe, extra, rng);
}

// A random 32-bit divisor of random bit length, at least 2.
uint64_t random_half_word_divisor(std::mt19937_64 *rng)
{
    const uint64_t d = (*rng)() >> (32 + (*rng)() % 31);
    return d < 2 ? d + 2 : d;
}

std::vector<uint64_t> divisors_under_test(std::mt19937_64 *rng)
{
    std::vector<uint64_t> ds = {1,   2,     3,        5,         7,          10,        25,
                                239, 19601, 36869184, 384199201, 0x80000001, 0xFFFFFFFF};
    for (int j = 1; j <= 31; ++j) {
        ds.push_back(UINT64_C(1) << j);
    }
    for (int i = 0; i < 10; ++i) {
        ds.push_back(random_half_word_divisor(rng));
    }
    // Whole-word divisors take the word-by-word path.
    ds.insert(ds.end(), {UINT64_C(1) << 32, (UINT64_C(1) << 32) + 1, kMaxWord, UINT64_C(1) << 63});
    for (int i = 0; i < 4; ++i) {
        ds.push_back((*rng)() | (UINT64_C(1) << 32));
    }
    return ds;
}

// Random words of the given kind with a non-zero top word.
std::vector<uint64_t> random_value(std::mt19937_64 *rng, size_t n, WordKind kind)
{
    std::vector<uint64_t> v = random_words(rng, n, kind);
    if (v.back() == 0) {
        v.back() = 1 + (*rng)() % 3;
    }
    return v;
}

TEST(DivisionKernels, AgreeWithGmpOnRandomWordsForEveryKindOfDivisor)
{
    std::mt19937_64 rng(20261208);
    for (uint64_t d : divisors_under_test(&rng)) {
        for (WordKind kind : {kUniform, kAllOnes, kSparse, kSmall}) {
            for (size_t n : {size_t{1}, size_t{2}, size_t{3}, size_t{4}, 5 + rng() % 60, 5 + rng() % 300}) {
                const int64_t signe = (rng() & 1) ? 1 : -1;
                check_both(random_value(&rng, n, kind), d, signe, &rng);
                if (HasFailure()) {
                    return;
                }
            }
        }
    }
}

// From 16 words on the kernels cut a number of n words into S segments
// (S = 4 below 48 words, 6 below 56, then 7): S - 1 of L = floor(n / S)
// words at the bottom, the lowest ending at word 0, and the top one of the
// L + e left, ending at the top word; with seven, L drops by one when it is
// a multiple of 256, so e reaches 13. The remainder pass folds each
// segment's words mod 4 one by one (mod 8 in at most three steps with
// seven). Every n from 1 to 80 gives the one-chain path (n < 16), four and
// six segments with their smallest segments (4 and 8 words), every e and
// every L mod 4, and seven chains from their threshold; the 7L + e below
// give every other L mod 8 and the largest e; the longer ones put segments
// kilobytes apart and reach the loops' steady state. The pass
// folds with B^j mod d: 274177 divides 2^64 + 1, so there B^j mod d
// alternates between d - 1 and 1, the largest constants a divisor can have.
// Seven chains take the quotient half from floor(2^64 / d) + 1 with no
// shift below 2^16 (65537 would be inexact), else from m' = floor(2^(63+l)
// / d) + 1 alone, which is exact for every d < 2^31 and, above, only when
// the error of m' is small enough: 2^32 - 2 is too large (its chains keep
// the add of the half-step), 2^32 - 1 is not. All-ones words under a top
// word of d - 1 make every partial dividend d 2^32 - 1, the largest, where
// an inexact quotient half shows.
TEST(DivisionKernels, EverySegmentationAgreesWithGmp)
{
    std::mt19937_64 rng(29);
    std::vector<size_t> sizes;
    for (size_t n = 1; n <= 80; ++n) {
        sizes.push_back(n);
    }
    // L = 17 .. 23 with e = 6, 0, 3; L = 256 and 512 become 255 and 511.
    sizes.insert(sizes.end(), {7 * 17 + 6, 7 * 18, 7 * 19 + 3, 7 * 20 + 6, 7 * 21, 7 * 22 + 3, 7 * 23 + 6,
                               7 * 256, 7 * 256 + 6, 7 * 512 + 3});
    sizes.insert(sizes.end(), {255, 256, 257, 1023, 1024, 1031, 4096 + 13, 65536 + 3});
    const std::vector<uint64_t> ds = {2,
                                      3,
                                      7,
                                      25,
                                      57121,
                                      65535,
                                      65537,
                                      274177,
                                      384199201,
                                      UINT64_C(1) << 31,
                                      0x80000001,
                                      0xFFFFFFFB,
                                      0xFFFFFFFE,
                                      0xFFFFFFFF,
                                      random_half_word_divisor(&rng),
                                      (UINT64_C(1) << 32) + 1};
    for (size_t n : sizes) {
        for (uint64_t d : ds) {
            for (WordKind kind : {kUniform, kAllOnes}) {
                std::vector<uint64_t> value = random_value(&rng, n, kind);
                check_both(value, d, 1, &rng);
                // A top word below d starts the division one word lower,
                // with that word carried in as the remainder.
                value.back() = 1 + rng() % (std::min(d, UINT64_C(1) << 40) - 1);
                check_both(value, d, -1, &rng);
                if (kind == kAllOnes && d < (UINT64_C(1) << 32)) {
                    value.back() = d - 1;
                    check_both(value, d, 1, &rng);
                }
                if (HasFailure()) {
                    return;
                }
            }
        }
    }
}

TEST(DivisionKernels, EveryReciprocalIsExactAroundPowersOfTwoAndAtRandom)
{
    // The reciprocal depends on d alone: sweep many divisors, each on
    // values whose half-steps reach the top of their range.
    std::mt19937_64 rng(23);
    std::vector<uint64_t> ds;
    for (int j = 2; j <= 32; ++j) {
        ds.insert(ds.end(),
                  {(UINT64_C(1) << j) - 1, (UINT64_C(1) << (j - 1)) + 1, (UINT64_C(3) << (j - 2)) + 1});
    }
    for (int i = 0; i < 3000; ++i) {
        ds.push_back(random_half_word_divisor(&rng));
    }
    for (uint64_t d : ds) {
        for (WordKind kind : {kUniform, kAllOnes}) {
            const std::vector<uint64_t> value = random_value(&rng, 3, kind);
            const Quotient want = gmp_divide(value, d);
            Lii a = make_guarded_lii(3);
            load_value(&a, value, 1, &rng);
            ASSERT_EQ(divHalfB_R_x86_64_bini(&a, d), want.reste) << "d=" << d;
            ASSERT_EQ(all_words(&a), want.words) << "d=" << d;
            free_guarded_lii(&a);
        }
    }
}

TEST(DivisionKernels, ATopWordBelowTheDivisorDropsExactlyOneWord)
{
    std::mt19937_64 rng(7);
    for (uint64_t d : {UINT64_C(3), UINT64_C(384199201), UINT64_C(0xFFFFFFFF), UINT64_C(1) << 32, kMaxWord}) {
        for (uint64_t top : {UINT64_C(1), d / 2, d - 1}) {
            std::vector<uint64_t> value = random_words(&rng, 1 + rng() % 40, kUniform);
            value.push_back(top);
            check_both(value, d, 1, &rng);
            check_both({top}, d, -1, &rng); // a single word below d: quotient zero
        }
    }
}

TEST(DivisionKernels, TheLargestRemainderIsOneBelowTheDivisor)
{
    std::mt19937_64 rng(11);
    for (uint64_t d : {UINT64_C(2), UINT64_C(3), UINT64_C(19601), UINT64_C(384199201), UINT64_C(0xFFFFFFFF),
                       UINT64_C(0x123456789), kMaxWord}) {
        for (size_t n : {size_t{1}, size_t{3}, size_t{70}}) {
            // value = x * d + (d - 1), so the quotient is x.
            std::vector<uint64_t> x = random_words(&rng, n, kUniform);
            std::vector<uint64_t> value(n + 1);
            value[n] = mpn_mul_1(value.data(), x.data(), static_cast<mp_size_t>(n), d);
            mpn_add_1(value.data(), value.data(), static_cast<mp_size_t>(n + 1), d - 1);
            while (value.size() > 1 && value.back() == 0) {
                value.pop_back();
            }
            Lii a = make_guarded_lii(static_cast<int64_t>(value.size()));
            load_value(&a, value, 1, &rng);
            Lii q = make_guarded_lii(static_cast<int64_t>(value.size()));
            EXPECT_EQ(divHalfB_x86_64_bini(&q, &a, d), d - 1);
            EXPECT_EQ(divHalfB_R_x86_64_bini(&a, d), d - 1);
            for (size_t i = 0; i < n; ++i) {
                EXPECT_EQ(a.mantisse[i], x[i]) << "d=" << d << " word " << i;
                EXPECT_EQ(q.mantisse[i], x[i]) << "d=" << d << " word " << i;
            }
            free_guarded_lii(&a);
            free_guarded_lii(&q);
        }
    }
}

// Values worked out by hand; each exercises one corner of the reciprocal
// (m and s for d = 3, 7, 10, 2^32-1, powers of two) or of the slow path.
struct HandCase {
    std::vector<uint64_t> a;
    uint64_t d;
    std::vector<uint64_t> quotient; // as many words as a
    uint64_t reste;
};

TEST(DivisionKernels, MatchValuesWorkedOutByHand)
{
    const std::vector<HandCase> cases = {
        // d = 3 at the top of a half-step's range: remainder 2 carried into
        // an all-ones low half gives the quotient half 2^32-1.
        {{0x2FFFFFFFF}, 3, {0xFFFFFFFF}, 2},
        {{kMaxWord}, 3, {0x5555555555555555}, 0},
        {{100}, 7, {14}, 2},
        {{kMaxWord}, 10, {1844674407370955161}, 5},
        {{5, 3}, 10, {5534023222112865485, 0}, 3},
        // d = 2^32-1 (m = 2^32+2, s = 31) on all-ones words.
        {{kMaxWord, kMaxWord}, 0xFFFFFFFF, {0x100000001, 0x100000001}, 0},
        {{0xFFFFFFFE}, 0xFFFFFFFF, {0}, 0xFFFFFFFE},
        {{0, 1}, 2, {UINT64_C(1) << 63, 0}, 0},
        {{0x8000000000000001}, UINT64_C(1) << 31, {UINT64_C(1) << 32}, 1},
        // Whole-word divisors.
        {{0x123456789ABCDEF0, 0xFEDCBA98}, UINT64_C(1) << 32, {0xFEDCBA9812345678, 0}, 0x9ABCDEF0},
        {{5, 7}, kMaxWord, {7, 0}, 12},
        {{kMaxWord, kMaxWord}, kMaxWord, {1, 1}, 0},
    };
    std::mt19937_64 rng(3);
    for (const HandCase &c : cases) {
        SCOPED_TRACE(::testing::Message() << "d=" << c.d << " a[0]=" << c.a[0]);
        ASSERT_EQ(gmp_divide(c.a, c.d).words, c.quotient) << "the table itself";
        Lii a = make_guarded_lii(static_cast<int64_t>(c.a.size()));
        load_value(&a, c.a, 1, &rng);
        Lii q = make_guarded_lii(static_cast<int64_t>(c.a.size()));
        EXPECT_EQ(divHalfB_x86_64_bini(&q, &a, c.d), c.reste);
        EXPECT_EQ(divHalfB_R_x86_64_bini(&a, c.d), c.reste);
        EXPECT_EQ(all_words(&a), c.quotient);
        EXPECT_EQ(all_words(&q), c.quotient);
        EXPECT_EQ(a.indiceMax, q.indiceMax);
        free_guarded_lii(&a);
        free_guarded_lii(&q);
    }
}

TEST(DivisionKernels, PowersOfTwoShiftRightAndKeepTheLowBits)
{
    std::mt19937_64 rng(5);
    for (int j = 1; j <= 31; ++j) {
        const std::vector<uint64_t> value = random_value(&rng, 1 + rng() % 20, kUniform);
        Lii a = make_guarded_lii(static_cast<int64_t>(value.size()));
        load_value(&a, value, 1, &rng);
        EXPECT_EQ(divHalfB_R_x86_64_bini(&a, UINT64_C(1) << j), value[0] & ((UINT64_C(1) << j) - 1));
        for (size_t i = 0; i < value.size(); ++i) {
            const uint64_t above = i + 1 < value.size() ? value[i + 1] << (64 - j) : 0;
            EXPECT_EQ(a.mantisse[i], (value[i] >> j) | above) << "j=" << j << " word " << i;
        }
        free_guarded_lii(&a);
    }
}

TEST(DivisionKernels, AZeroDividendIsLeftAloneInPlaceAndMakesQZero)
{
    std::mt19937_64 rng(13);
    for (uint64_t d : {UINT64_C(1), UINT64_C(7), UINT64_C(384199201), UINT64_C(1) << 40}) {
        // signe 0 is zero whatever the words and indiceMax say.
        Lii a = make_guarded_lii(5);
        load_value(&a, random_value(&rng, 4, kUniform), 0, &rng);
        const std::vector<uint64_t> a_words = all_words(&a);
        const Lii a_fields = a;
        Lii q = make_guarded_lii(5);
        load_value(&q, random_value(&rng, 5, kUniform), 1, &rng);
        const std::vector<uint64_t> q_words = all_words(&q);
        const int64_t q_aux = q.aux;

        EXPECT_EQ(divHalfB_R_x86_64_bini(&a, d), 0U);
        EXPECT_EQ(all_words(&a), a_words);
        EXPECT_EQ(a.signe, 0);
        EXPECT_EQ(a.indiceMax, a_fields.indiceMax);
        EXPECT_EQ(a.aux, a_fields.aux);

        EXPECT_EQ(divHalfB_x86_64_bini(&q, &a, d), 0U);
        EXPECT_EQ(q.signe, 0);
        EXPECT_EQ(q.indiceMax, -1);
        EXPECT_EQ(q.aux, q_aux);
        EXPECT_EQ(all_words(&q), q_words);
        EXPECT_EQ(all_words(&a), a_words);
        EXPECT_TRUE(guards_intact(&a));
        EXPECT_TRUE(guards_intact(&q));
        free_guarded_lii(&a);
        free_guarded_lii(&q);
    }
}

TEST(DivisionKernels, ADivisorOfZeroTouchesNothingAndReturnsAllOnes)
{
    std::mt19937_64 rng(17);
    for (int64_t signe : {1, 0, -1}) {
        Lii a = make_guarded_lii(6);
        load_value(&a, random_value(&rng, 4, kUniform), signe, &rng);
        Lii q = make_guarded_lii(6);
        load_value(&q, random_value(&rng, 2, kUniform), 1, &rng);
        const Lii a_fields = a;
        const Lii q_fields = q;
        const std::vector<uint64_t> a_words = all_words(&a);
        const std::vector<uint64_t> q_words = all_words(&q);

        EXPECT_EQ(divHalfB_x86_64_bini(&q, &a, 0), kMaxWord);
        EXPECT_EQ(divHalfB_R_x86_64_bini(&a, 0), kMaxWord);
        EXPECT_EQ(all_words(&a), a_words);
        EXPECT_EQ(all_words(&q), q_words);
        EXPECT_EQ(a.signe, a_fields.signe);
        EXPECT_EQ(a.indiceMax, a_fields.indiceMax);
        EXPECT_EQ(a.aux, a_fields.aux);
        EXPECT_EQ(q.signe, q_fields.signe);
        EXPECT_EQ(q.indiceMax, q_fields.indiceMax);
        EXPECT_EQ(q.aux, q_fields.aux);
        EXPECT_TRUE(guards_intact(&a));
        EXPECT_TRUE(guards_intact(&q));
        free_guarded_lii(&a);
        free_guarded_lii(&q);
    }
}

TEST(DivisionKernels, SuccessiveDivisionsRunATermDownToZero)
{
    // The series divide a power again and again until signe drops to 0;
    // the record must stay well formed at every step, and the product of
    // the quotient and the divisor plus the remainder gives back the value.
    std::mt19937_64 rng(19);
    for (uint64_t d : {UINT64_C(25), UINT64_C(57121), UINT64_C(384199201)}) {
        Lii a = make_guarded_lii(8);
        load_value(&a, random_value(&rng, 8, kUniform), 1, &rng);
        Lii q = make_guarded_lii(8);
        int steps = 0;
        while (a.signe != 0 && steps < 1000) {
            const std::vector<uint64_t> before = value_words(&a);
            const uint64_t r = divHalfB_x86_64_bini(&q, &a, d - 2);
            ASSERT_EQ(r, gmp_divide(before, d - 2).reste);
            ASSERT_TRUE(record_contract_holds(&q));
            const uint64_t r2 = divHalfB_R_x86_64_bini(&a, d);
            ASSERT_TRUE(record_contract_holds(&a));
            std::vector<uint64_t> back(before.size() + 1, 0);
            std::vector<uint64_t> now = value_words(&a);
            if (!now.empty()) {
                back[now.size()] = mpn_mul_1(back.data(), now.data(), static_cast<mp_size_t>(now.size()), d);
            }
            mpn_add_1(back.data(), back.data(), static_cast<mp_size_t>(back.size()), r2);
            back.resize(before.size());
            ASSERT_EQ(back, before) << "step " << steps;
            ++steps;
        }
        EXPECT_EQ(a.signe, 0);
        EXPECT_EQ(a.indiceMax, -1);
        EXPECT_GT(steps, 8 * 64 / 29 - 1);
        EXPECT_TRUE(guards_intact(&a));
        EXPECT_TRUE(guards_intact(&q));
        free_guarded_lii(&a);
        free_guarded_lii(&q);
    }
}

} // namespace
