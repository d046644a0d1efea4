// The two division kernels against GMP's mpn_divrem_1 and the kernel model
// (every field and every word of both records, division_check.h): random
// words for every kind of divisor, every segmentation of the record, the
// reciprocals, and the boundaries of the top word and the remainder.
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

TEST(DivisionKernels, AgreeWithGmpOnRandomWordsForEveryKindOfDivisor)
{
    std::mt19937_64 rng(20261208);
    for (uint64_t d : divisors_under_test(&rng)) {
        for (WordKind kind : kWordKinds) {
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

} // namespace
