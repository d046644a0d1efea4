// The kernel model's arithmetic against GMP (mpn_add_n, mpn_sub_n,
// mpn_mul_1, mpn_divrem_1) on random and edge operands, on every path of
// the model: the value it leaves, its result, and the record rules. Which
// words and fields are written is the assembly's to show: the kernel tests
// compare the two.
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

static_assert(sizeof(mp_limb_t) == sizeof(uint64_t), "64-bit GMP limbs");

constexpr uint64_t kOnes = ~uint64_t{0};

// A record of `size` words holding `top + 1` random words of the given kind
// (the top one non-zero) with random stale words above; top < 0 makes a
// zero whose indiceMax and words are stale.
Lii random_record(int64_t size, int64_t top, WordKind kind, std::mt19937_64 *rng)
{
    Lii li = make_guarded_lii(size);
    const std::vector<uint64_t> w = random_words(rng, static_cast<size_t>(size), kind);
    for (int64_t i = 0; i < size; ++i) {
        li.mantisse[i] = i <= top ? w[static_cast<size_t>(i)] : (*rng)();
    }
    if (top < 0) {
        li.indiceMax = static_cast<int64_t>((*rng)() % static_cast<uint64_t>(size + 1)) - 1;
        return li;
    }
    li.mantisse[top] |= li.mantisse[top] == 0 ? 1 : 0;
    li.signe = (*rng)() % 2 == 0 ? 1 : -1;
    li.indiceMax = top;
    return li;
}

// The value of a record as n limbs (zero-padded; nothing for signe 0).
std::vector<mp_limb_t> limbs(const Lii *li, int64_t n)
{
    std::vector<mp_limb_t> v(static_cast<size_t>(n), 0);
    for (int64_t i = 0; li->signe != 0 && i <= li->indiceMax && i < n; ++i) {
        v[static_cast<size_t>(i)] = li->mantisse[i];
    }
    return v;
}

// The record's value is `want` taken modulo 2^(64*taille_mantisse), and
// the result says whether anything of `want` lay above that.
::testing::AssertionResult holds_truncated(const Lii *li, const std::vector<mp_limb_t> &want, uint64_t result)
{
    const auto size = static_cast<size_t>(li->taille_mantisse);
    const std::vector<mp_limb_t> got = limbs(li, li->taille_mantisse);
    bool lost = false;
    for (size_t i = 0; i < std::max(size, want.size()); ++i) {
        const mp_limb_t w = i < want.size() ? want[i] : 0;
        if (i >= size) {
            lost = lost || w != 0;
        } else if (got[i] != w) {
            return ::testing::AssertionFailure() << "word " << i << " is " << got[i] << ", GMP gives " << w;
        }
    }
    if ((result != 0) != lost) {
        return ::testing::AssertionFailure() << "result " << result << " but lost " << lost;
    }
    return ::testing::AssertionSuccess();
}

// Sums of every shape: B's top at, below or (outside the callers' rules)
// above A's, A zero, B's array longer than A's; A's top at its last word
// or not. A + B is exact modulo 2^(64*T), and the result flags the rest.
TEST(KernelModel, AddAgreesWithGmp)
{
    std::mt19937_64 rng(21);
    for (int trial = 0; trial < 4000; ++trial) {
        const int64_t size_a = 1 + static_cast<int64_t>(rng() % (trial < 3000 ? 12 : 300));
        const int64_t size_b = size_a + static_cast<int64_t>(trial % 5 == 0 ? rng() % 3 : 0);
        const int64_t a_top = static_cast<int64_t>(rng() % static_cast<uint64_t>(size_a + 1)) - 1;
        const int64_t b_top = trial % 2 == 0 ? std::min(a_top, size_b - 1)
                                             : static_cast<int64_t>(rng() % static_cast<uint64_t>(size_b));
        Lii a = random_record(size_a, a_top, kWordKinds[trial % 4], &rng);
        Lii b = random_record(size_b, std::max<int64_t>(b_top, 0), kWordKinds[(trial / 4) % 4], &rng);
        const int64_t n = std::max(size_a, size_b) + 1;
        std::vector<mp_limb_t> sum(static_cast<size_t>(n));
        mpn_add_n(sum.data(), limbs(&a, n).data(), limbs(&b, n).data(), n);
        const uint64_t result = model_add(&a, &b);
        ASSERT_TRUE(holds_truncated(&a, sum, result)) << "trial " << trial;
        ASSERT_TRUE(record_contract_holds(&a, result != 0 ? kAfterLostTopWord : kRecordAtRest));
        free_guarded_lii(&a);
        free_guarded_lii(&b);
    }
}

// A - B with A >= B, with B > A on equal tops (the borrow is returned and
// the difference taken modulo A's used words), and outside the callers'
// rules (modulo the words up to B's top within A's array, result 1).
TEST(KernelModel, SubAgreesWithGmp)
{
    std::mt19937_64 rng(22);
    for (int trial = 0; trial < 4000; ++trial) {
        const int64_t size = 1 + static_cast<int64_t>(rng() % (trial < 3000 ? 12 : 300));
        const int64_t a_top = static_cast<int64_t>(rng() % static_cast<uint64_t>(size + 1)) - 1;
        const int64_t b_top = trial % 3 != 0 ? std::max<int64_t>(a_top, 0)
                                             : static_cast<int64_t>(rng() % static_cast<uint64_t>(size));
        Lii a = random_record(size, a_top, kWordKinds[trial % 4], &rng);
        Lii b = random_record(size, b_top, kWordKinds[(trial / 4) % 4], &rng);
        if (trial % 7 == 0 && a_top >= 0) { // B = A - small: long cancellations
            std::copy_n(a.mantisse, a_top + 1, b.mantisse);
            mpn_sub_1(b.mantisse, b.mantisse, a_top + 1, rng() % 3);
            b.indiceMax = model_highest_nonzero(b.mantisse, a_top);
            b.signe = b.indiceMax >= 0 ? 1 : 0;
        }
        const bool within_rules = a.signe != 0 && b.signe != 0 && b.indiceMax <= a.indiceMax;
        const int64_t n = within_rules ? a.indiceMax + 1 : b.signe != 0 ? b.indiceMax + 1 : 0;
        std::vector<mp_limb_t> difference(static_cast<size_t>(n));
        const mp_limb_t borrow =
            n > 0 ? mpn_sub_n(difference.data(), limbs(&a, n).data(), limbs(&b, n).data(), n) : 0;
        const uint64_t result = model_sub(&a, &b);
        if (n > 0) {
            ASSERT_TRUE(holds_truncated(&a, difference, 0)) << "trial " << trial;
        }
        EXPECT_EQ(result, within_rules || b.signe == 0 ? borrow : 1u) << "trial " << trial;
        ASSERT_TRUE(record_contract_holds(&a));
        free_guarded_lii(&a);
        free_guarded_lii(&b);
    }
}

TEST(KernelModel, MulAgreesWithGmp)
{
    std::mt19937_64 rng(23);
    const uint64_t factors[] = {0, 1, 2, 68, uint64_t{1} << 63, kOnes};
    for (int trial = 0; trial < 3000; ++trial) {
        const int64_t size = 1 + static_cast<int64_t>(rng() % (trial < 2000 ? 12 : 300));
        const int64_t top = static_cast<int64_t>(rng() % static_cast<uint64_t>(size + 1)) - 1;
        const uint64_t f = trial % 2 == 0 ? factors[(trial / 2) % 6] : rng() >> (rng() % 64);
        Lii a = random_record(size, top, kWordKinds[trial % 4], &rng);
        const int64_t n = top + 1;
        std::vector<mp_limb_t> product(static_cast<size_t>(n) + 1, 0);
        if (a.signe != 0) {
            product[static_cast<size_t>(n)] = mpn_mul_1(product.data(), limbs(&a, n).data(), n, f);
        }
        const uint64_t result = model_mul(&a, f);
        ASSERT_TRUE(holds_truncated(&a, product, result)) << "trial " << trial;
        EXPECT_EQ(result, static_cast<int64_t>(product.size()) > size ? product.back() : 0u);
        ASSERT_TRUE(record_contract_holds(&a, result != 0 ? kAfterLostTopWord : kRecordAtRest));
        free_guarded_lii(&a);
    }
}

// Both divisions, for half-word divisors and for the others that the header
// documents: 1, 2^32 and above, the largest words; also into Q == A.
TEST(KernelModel, DivisionsAgreeWithGmp)
{
    std::mt19937_64 rng(24);
    const uint64_t divisors[] = {1,    2, 3, 7, 239, 57121, 0xFFFFFFFF, uint64_t{1} << 32, uint64_t{1} << 63,
                                 kOnes};
    for (int trial = 0; trial < 4000; ++trial) {
        const int64_t size = 1 + static_cast<int64_t>(rng() % (trial < 3000 ? 10 : 300));
        const int64_t top = static_cast<int64_t>(rng() % static_cast<uint64_t>(size + 1)) - 1;
        const uint64_t d = trial % 2 == 0 ? divisors[(trial / 2) % 10] : 1 + (rng() >> (rng() % 64));
        Lii a = random_record(size, top, kWordKinds[trial % 4], &rng);
        const std::vector<mp_limb_t> dividend = limbs(&a, top + 1);
        std::vector<mp_limb_t> quotient(dividend.size());
        const mp_limb_t remainder =
            a.signe != 0 ? mpn_divrem_1(quotient.data(), 0, dividend.data(), top + 1, d) : 0;
        Lii q =
            random_record(size, static_cast<int64_t>(rng() % static_cast<uint64_t>(size)), kUniform, &rng);
        Lii *into = trial % 5 == 0 ? &a : &q; // Q == A now and then
        EXPECT_EQ(model_div_into(into, &a, d), remainder) << "trial " << trial;
        ASSERT_TRUE(holds_truncated(into, quotient, 0)) << "into, trial " << trial;
        ASSERT_TRUE(record_contract_holds(into));
        if (into != &a) {
            EXPECT_EQ(model_div_in_place(&a, d), remainder) << "trial " << trial;
            ASSERT_TRUE(holds_truncated(&a, quotient, 0)) << "in place, trial " << trial;
            ASSERT_TRUE(record_contract_holds(&a));
        }
        free_guarded_lii(&a);
        free_guarded_lii(&q);
    }
}

// Divisor 0 changes nothing and returns the one value no remainder takes.
TEST(KernelModel, DivisorZeroTouchesNothing)
{
    std::mt19937_64 rng(25);
    Lii a = random_record(5, 3, kUniform, &rng);
    Lii q = random_record(5, 4, kUniform, &rng);
    Lii a_before = copy_guarded_lii(&a);
    Lii q_before = copy_guarded_lii(&q);
    EXPECT_EQ(model_div_in_place(&a, 0), kOnes);
    EXPECT_EQ(model_div_into(&q, &a, 0), kOnes);
    EXPECT_TRUE(same_record(&a, &a_before));
    EXPECT_TRUE(same_record(&q, &q_before));
    for (Lii *li : {&a, &q, &a_before, &q_before}) {
        free_guarded_lii(li);
    }
}

// The checker itself: each rule, and the one exception, must be able to fail.
TEST(RecordRules, EachRuleCanFail)
{
    Lii li = make_guarded_lii(3);
    li.indiceMax = 7; // signe 0: a zero, whatever else
    EXPECT_TRUE(record_contract_holds(&li));
    li.signe = 1;
    EXPECT_FALSE(record_contract_holds(&li, kAfterLostTopWord)); // indiceMax outside the array
    li.indiceMax = -1;
    EXPECT_FALSE(record_contract_holds(&li, kAfterLostTopWord));
    li.indiceMax = 1;
    EXPECT_FALSE(record_contract_holds(&li, kAfterLostTopWord)); // zero word below the last
    li.indiceMax = 2;
    EXPECT_FALSE(record_contract_holds(&li));
    EXPECT_TRUE(record_contract_holds(&li, kAfterLostTopWord)); // the lost top word
    li.mantisse[2] = 9;
    EXPECT_TRUE(record_contract_holds(&li));
    free_guarded_lii(&li);
}

} // namespace
