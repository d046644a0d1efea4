// The two division kernels against values worked out by hand, and on the
// edges of their contract: powers of two, a zero dividend, a divisor of
// zero, and a term divided down to zero as a series does.
#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include <gmp.h>
#include <gtest/gtest.h>

#include "division_check.h"
#include "kernel_model.h"
#include "lfx86_64.h"
#include "record_support.h"

namespace {

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
