// Differential tests of the multiply-by-word kernel against the kernel
// model (whose arithmetic kernel_model_test checks with GMP), and values
// worked out by hand. Every call runs on a guarded array with stale words
// above indiceMax; the whole record (all words, stale ones included, and
// every field) is compared with the model's, and the record rules are
// checked after every call, in their relaxed form right after a reported
// loss of the top word.
#include <gmp.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "kernel_model.h"
#include "lfx86_64.h"
#include "record_support.h"

namespace {

constexpr uint64_t kOnes = ~0ULL;

void check_mul(Lii *A, uint64_t f)
{
    Lii want = copy_guarded_lii(A);
    const uint64_t want_result = model_mul(&want, f);
    const uint64_t result = mulB_R_x86_64_bini(A, f);
    EXPECT_EQ(result, want_result);
    EXPECT_TRUE(same_record(A, &want));
    EXPECT_TRUE(guards_intact(A));
    EXPECT_TRUE(record_contract_holds(A, result != 0 ? kAfterLostTopWord : kRecordAtRest));
    free_guarded_lii(&want);
}

TEST(KernelsMul, HandWorkedResults)
{
    std::mt19937_64 rng(2);
    for (int64_t size : {2, 1}) { // 2^63 * 2
        Lii a = record_of(size, {1ULL << 63}, &rng);
        EXPECT_EQ(mulB_R_x86_64_bini(&a, 2), size == 1 ? 1u : 0u);
        EXPECT_EQ(a.mantisse[0], 0u);
        EXPECT_EQ(a.indiceMax, size - 1);
        if (size == 2) {
            EXPECT_EQ(a.mantisse[1], 1u);
        }
        free_guarded_lii(&a);
    }
    Lii a = record_of(3, {7, 9}, &rng);
    Lii want = copy_guarded_lii(&a);
    EXPECT_EQ(mulB_R_x86_64_bini(&a, 1), 0u);
    EXPECT_TRUE(same_record(&a, &want));
    EXPECT_EQ(mulB_R_x86_64_bini(&a, 0), 0u); // only signe changes
    want.signe = 0;
    EXPECT_TRUE(same_record(&a, &want));
    EXPECT_EQ(mulB_R_x86_64_bini(&a, 12345), 0u); // a zero stays put
    EXPECT_TRUE(same_record(&a, &want));
    free_guarded_lii(&a);
    free_guarded_lii(&want);
}

TEST(KernelsMul, RandomOperandsAgainstModel)
{
    std::mt19937_64 rng(8);
    const uint64_t factors[] = {0, 1, 2, 3, 4, 68, 1ULL << 63, kOnes, kOnes - 1};
    for (int64_t size : kernel_test_sizes()) {
        for (int trial = 0; trial < 24; ++trial) {
            const int64_t top = trial % 3 == 0   ? size - 1
                                : trial % 3 == 1 ? std::max<int64_t>(size - 2, 0)
                                                 : static_cast<int64_t>(rng() % static_cast<uint64_t>(size));
            const uint64_t f = trial < 9 ? factors[trial] : rng() >> (rng() % 64);
            SCOPED_TRACE(::testing::Message() << "size " << size << " top " << top << " f " << f);
            Lii a = make_guarded_lii(size);
            fill_random_record(&a, top, kWordKinds[trial % 4], &rng);
            check_mul(&a, f);
            if (a.signe != 0 && a.mantisse[a.indiceMax] != 0) { // again, unless it overflowed to a zero top
                check_mul(&a, f);
            }
            free_guarded_lii(&a);
        }
    }
}

// Long products chosen word by word: P has random words below a cut, zeros
// from the cut to word n-1 and a top word H below f, adjusted in word 0 so
// that f divides it; A = P / f has n words. A kernel that splits the words
// and joins the pieces' carries afterwards must let a carry ripple through
// the zero run (it holds all-ones words before the carry arrives) and out
// of the top. Every cut is tried, at lengths where the split changes shape.
TEST(KernelsMul, CarriesRippleThroughLongRunsToTheTopWord)
{
    std::mt19937_64 rng(12);
    for (int64_t n : {127, 128, 131, 200, 1000, 1030, 2053}) {
        for (int64_t cut = 1; cut<n; cut += n> 300 ? 7 : 1) {
            const uint64_t f = cut % 3 == 0 ? 3 : rng() | (1ULL << 63);
            std::vector<uint64_t> product(static_cast<size_t>(n + 1), 0);
            for (int64_t i = 0; i < cut; ++i) {
                product[static_cast<size_t>(i)] = rng();
            }
            product[static_cast<size_t>(n)] = 1 + rng() % (f - 1);
            const uint64_t r = mpn_mod_1(product.data(), n + 1, f);
            product[0] = product[0] >= r ? product[0] - r : product[0] + (f - r);
            std::vector<uint64_t> words(static_cast<size_t>(n + 1));
            mpn_divexact_1(words.data(), product.data(), n + 1, f);
            ASSERT_EQ(words[static_cast<size_t>(n)], 0u);
            words.pop_back();
            for (int64_t room : {1, 0}) {
                SCOPED_TRACE(::testing::Message() << "n " << n << " cut " << cut << " room " << room);
                Lii a = record_of(n + room, words, &rng);
                check_mul(&a, f); // without room, the model's result is the lost word H
                EXPECT_EQ(value_words(&a),
                          std::vector<uint64_t>(product.begin(), product.begin() + n + room));
                free_guarded_lii(&a);
            }
        }
    }
}

TEST(KernelsMul, ZeroRecordIsLeftAlone)
{
    std::mt19937_64 rng(9);
    for (uint64_t f : {uint64_t{0}, uint64_t{1}, uint64_t{7}, kOnes}) {
        Lii a = make_guarded_lii(6);
        fill_random_record(&a, -1, kUniform, &rng);
        Lii before = copy_guarded_lii(&a);
        EXPECT_EQ(mulB_R_x86_64_bini(&a, f), 0u);
        EXPECT_TRUE(same_record(&a, &before));
        EXPECT_TRUE(guards_intact(&a));
        free_guarded_lii(&a);
        free_guarded_lii(&before);
    }
}

} // namespace
