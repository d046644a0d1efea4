// Differential tests of the add and subtract kernels against the kernel
// model (whose arithmetic kernel_model_test checks with GMP), and values
// worked out by hand. Every call runs on guarded arrays with stale words
// above indiceMax; the whole record (all words, stale ones included, and
// every field) is compared with the model's, B is checked unchanged, and the
// record rules are checked after every call, in their relaxed form right
// after a reported loss of the top word.
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

enum Kernel { kAdd, kSub };

uint64_t run_kernel(Kernel kernel, Lii *A, const Lii *B)
{
    return kernel == kAdd ? add_R_2P_x86_64_bini_spe(A, B) : sub_R_2P_x86_64_bini_spe(A, B);
}

uint64_t run_model(Kernel kernel, Lii *A, const Lii *B)
{
    return kernel == kAdd ? model_add(A, B) : model_sub(A, B);
}

// Runs one add or subtract on A and B (B may be A itself) and the model on
// guarded copies of both, then compares the result, the whole of A (every
// field, every word, stale ones included), B, the guard words and the
// record rules.
void check_add_sub(Kernel kernel, Lii *A, const Lii *B)
{
    const bool aliased = A == B;
    Lii want = copy_guarded_lii(A);
    Lii b_before = copy_guarded_lii(B);
    const uint64_t want_result = run_model(kernel, &want, aliased ? &want : &b_before);
    const uint64_t result = run_kernel(kernel, A, B);
    EXPECT_EQ(result, want_result);
    EXPECT_TRUE(same_record(A, &want));
    if (!aliased) {
        EXPECT_TRUE(same_record(B, &b_before)) << "B was changed";
        EXPECT_TRUE(guards_intact(B));
    }
    EXPECT_TRUE(guards_intact(A));
    EXPECT_TRUE(record_contract_holds(A, kernel == kAdd && result != 0 ? kAfterLostTopWord : kRecordAtRest));
    free_guarded_lii(&want);
    free_guarded_lii(&b_before);
}

// ---- fixed cases whose results are known by hand -----------------------

TEST(KernelsAddSub, HandWorkedResults)
{
    std::mt19937_64 rng(1);
    { // 1 + (2^64-1, 2^64-1, 5): the carry ripples into the top word
        Lii a = record_of(4, {kOnes, kOnes, 5}, &rng);
        Lii b = record_of(4, {1}, &rng);
        EXPECT_EQ(add_R_2P_x86_64_bini_spe(&a, &b), 0u);
        EXPECT_EQ(value_words(&a), (std::vector<uint64_t>{0, 0, 6}));
        free_guarded_lii(&a);
        free_guarded_lii(&b);
    }
    { // (5, 0, 1) - (6, 2^64-1): two top words cancel
        Lii a = record_of(3, {5, 0, 1}, &rng);
        Lii b = record_of(3, {6, kOnes}, &rng);
        EXPECT_EQ(sub_R_2P_x86_64_bini_spe(&a, &b), 0u);
        EXPECT_EQ(a.indiceMax, 0);
        EXPECT_EQ(a.signe, 1);
        EXPECT_EQ(std::vector<uint64_t>(a.mantisse, a.mantisse + 3), (std::vector<uint64_t>{kOnes, 0, 0}));
        free_guarded_lii(&a);
        free_guarded_lii(&b);
    }
    { // carry out of the top word, with and without room
        for (int64_t size : {2, 1}) {
            Lii a = record_of(size, {kOnes}, &rng);
            Lii b = record_of(size, {1}, &rng);
            EXPECT_EQ(add_R_2P_x86_64_bini_spe(&a, &b), size == 1 ? 1u : 0u);
            EXPECT_EQ(a.indiceMax, size - 1);
            EXPECT_EQ(a.mantisse[0], 0u);
            if (size == 2) {
                EXPECT_EQ(a.mantisse[1], 1u);
            }
            free_guarded_lii(&a);
            free_guarded_lii(&b);
        }
    }
}

// ---- random operands against the model ------------------------------------

// B's top relative to A's: equal, one below, anything below, single word.
int64_t pick_b_top(int64_t a_top, int shape, std::mt19937_64 *rng)
{
    switch (shape) {
    case 0:
        return a_top;
    case 1:
        return std::max<int64_t>(a_top - 1, 0);
    case 2:
        return static_cast<int64_t>((*rng)() % static_cast<uint64_t>(a_top + 1));
    default:
        return 0;
    }
}

TEST(KernelsAddSub, RandomOperandsAgainstModel)
{
    std::mt19937_64 rng(3);
    for (Kernel kernel : {kAdd, kSub}) {
        for (int64_t size : kernel_test_sizes()) {
            for (int trial = 0; trial < 24; ++trial) {
                // A's top at the last word (no room), one below, or anywhere.
                const int64_t a_top = trial % 3 == 0 ? size - 1
                                      : trial % 3 == 1
                                          ? std::max<int64_t>(size - 2, 0)
                                          : static_cast<int64_t>(rng() % static_cast<uint64_t>(size));
                const int64_t b_top = pick_b_top(a_top, trial % 4, &rng);
                SCOPED_TRACE(::testing::Message()
                             << (kernel == kAdd ? "add" : "sub") << " size " << size << " A top " << a_top
                             << " B top " << b_top << " trial " << trial);
                Lii a = make_guarded_lii(size);
                Lii b = make_guarded_lii(size);
                fill_random_record(&a, a_top, kWordKinds[trial % 4], &rng);
                fill_random_record(&b, b_top, kWordKinds[(trial / 4) % 4], &rng);
                check_add_sub(kernel, &a, &b);
                free_guarded_lii(&a);
                free_guarded_lii(&b);
            }
        }
    }
}

// A = B + D with D small or zero, so A >= B and A - B cancels B's length of
// top words or more; A - A leaves zero.
TEST(KernelsSub, CancellationsAndSelfSubtraction)
{
    std::mt19937_64 rng(4);
    for (int64_t size : kernel_test_sizes()) {
        for (int trial = 0; trial < 6; ++trial) {
            SCOPED_TRACE(::testing::Message() << "size " << size << " trial " << trial);
            const int64_t top = size - 1 - (trial % 2 == 1 && size > 1 ? 1 : 0);
            Lii b = make_guarded_lii(size);
            fill_random_record(&b, top, trial < 3 ? kAllOnes : kUniform, &rng);
            if (top > 0 && trial < 3) { // B = 5, 2^64-1, ...: D's carry runs to the top
                b.mantisse[top] = 5;
            }
            std::vector<uint64_t> d(static_cast<size_t>(top + 1), 0);
            d[0] = trial % 3; // 0: A == B
            std::vector<uint64_t> sum(d.size());
            const uint64_t c = mpn_add_n(sum.data(), b.mantisse, d.data(), static_cast<mp_size_t>(d.size()));
            if (c != 0) { // would not fit: take D = 0
                std::copy_n(b.mantisse, d.size(), sum.begin());
            }
            Lii a = make_guarded_lii(size);
            fill_record(&a, top, sum, &rng);
            check_add_sub(kSub, &a, &b);
            EXPECT_LE(a.indiceMax, 0);
            free_guarded_lii(&a);
            free_guarded_lii(&b);
        }
    }
    Lii a = make_guarded_lii(40);
    fill_random_record(&a, 37, kUniform, &rng);
    EXPECT_EQ(sub_R_2P_x86_64_bini_spe(&a, &a), 0u);
    EXPECT_EQ(a.signe, 0);
    EXPECT_EQ(a.indiceMax, -1);
    EXPECT_EQ(std::count(a.mantisse, a.mantisse + 38, 0u), 38);
    free_guarded_lii(&a);
}

// A made of all-ones words: a carry from word 0 runs through every word of
// A, then either stops, grows A, or is lost; a borrow from 0 words likewise.
// With one zero word in A (hole), the carry stops there instead.
TEST(KernelsAddSub, LongCarryAndBorrowChains)
{
    std::mt19937_64 rng(5);
    for (int64_t size : kernel_test_sizes()) {
        for (int64_t margin = 0; margin <= 2 && margin < size; ++margin) {
            const int64_t a_top = size - 1 - margin;
            for (int64_t b_top : {int64_t{0}, a_top / 2, a_top}) {
                const int64_t hole =
                    a_top > 1 ? 1 + static_cast<int64_t>(rng() % static_cast<uint64_t>(a_top)) : -1;
                SCOPED_TRACE(::testing::Message() << "size " << size << " A top " << a_top << " B top "
                                                  << b_top << " zero word " << hole);
                Lii a = make_guarded_lii(size);
                Lii b = make_guarded_lii(size);
                fill_random_record(&a, a_top, kAllOnes, &rng);
                if (hole >= 0 && hole < a_top && b_top % 2 == 0) {
                    a.mantisse[hole] = 0;
                }
                std::vector<uint64_t> b_words(static_cast<size_t>(b_top + 1), 0);
                b_words[static_cast<size_t>(b_top)] = 1; // B = 2^(64*b_top)
                b_words[0] |= 1;
                fill_record(&b, b_top, b_words, &rng);
                check_add_sub(kAdd, &a, &b);
                // A is now mostly zero words (or 2^64-1 words after a loss):
                // subtracting B back walks the borrow the whole way.
                if (record_contract_holds(&a) && a.signe != 0 && a.indiceMax >= b_top) {
                    check_add_sub(kSub, &a, &b);
                }
                free_guarded_lii(&a);
                free_guarded_lii(&b);
            }
        }
    }
}

TEST(KernelsAddSub, ZeroOperands)
{
    std::mt19937_64 rng(6);
    for (Kernel kernel : {kAdd, kSub}) {
        for (int64_t size : {1, 5, 17}) {
            Lii a = make_guarded_lii(size);
            Lii b = make_guarded_lii(size);
            fill_random_record(&a, size - 1, kUniform, &rng);
            fill_random_record(&b, -1, kUniform, &rng); // zero B, stale words
            Lii before = copy_guarded_lii(&a);
            EXPECT_EQ(run_kernel(kernel, &a, &b), 0u);
            EXPECT_TRUE(same_record(&a, &before));
            free_guarded_lii(&before);
            fill_random_record(&a, -1, kUniform, &rng); // both zero
            check_add_sub(kernel, &a, &b);
            EXPECT_EQ(a.signe, 0);
            free_guarded_lii(&a);
            free_guarded_lii(&b);
        }
    }
}

// The operands that callers never pass: B longer than A (B's array may be
// longer than A's), A zero with stale indiceMax and words, and B > A with
// equal tops. The exact sum or modular difference is expected.
TEST(KernelsAddSub, OperandsOutsideTheCallersRules)
{
    std::mt19937_64 rng(7);
    for (Kernel kernel : {kAdd, kSub}) {
        for (int64_t size_a : {1, 2, 3, 4, 5, 8, 9, 17, 40}) {
            for (int trial = 0; trial < 16; ++trial) {
                const int64_t size_b = size_a + static_cast<int64_t>(rng() % 4);
                const int64_t a_top =
                    trial % 4 == 0 ? -1 : static_cast<int64_t>(rng() % static_cast<uint64_t>(size_a));
                int64_t b_top = static_cast<int64_t>(rng() % static_cast<uint64_t>(size_b));
                if (trial % 4 == 3) {
                    b_top = std::min(std::max<int64_t>(a_top, 0), size_b - 1); // equal tops
                } else if (b_top <= a_top) {
                    b_top = std::min(a_top + 1, size_b - 1);
                }
                SCOPED_TRACE(::testing::Message()
                             << (kernel == kAdd ? "add" : "sub") << " size " << size_a << "/" << size_b
                             << " A top " << a_top << " B top " << b_top);
                Lii a = make_guarded_lii(size_a);
                Lii b = make_guarded_lii(size_b);
                fill_random_record(&a, a_top, kWordKinds[trial % 4], &rng);
                fill_random_record(&b, b_top, kWordKinds[trial / 4], &rng);
                check_add_sub(kernel, &a, &b);
                free_guarded_lii(&a);
                free_guarded_lii(&b);
            }
        }
    }
    // B's top on A's last word and above A's top: the carry out of it has
    // room in a longer A only.
    for (int64_t size : {3, 4}) {
        Lii a = record_of(size, {1}, &rng);
        Lii b = record_of(size, {kOnes, kOnes, kOnes}, &rng);
        check_add_sub(kAdd, &a, &b);
        EXPECT_EQ(a.signe, size == 3 ? 0 : 1);
        EXPECT_EQ(a.indiceMax, size == 3 ? -1 : 3);
        free_guarded_lii(&a);
        free_guarded_lii(&b);
    }
    // A zero B whose words reach past A's array, sum truncated to zero.
    Lii a = make_guarded_lii(2);
    Lii b = record_of(4, {0, 0, 0, 7}, &rng);
    fill_random_record(&a, -1, kUniform, &rng);
    EXPECT_EQ(add_R_2P_x86_64_bini_spe(&a, &b), 1u);
    EXPECT_EQ(a.signe, 0);
    EXPECT_EQ(a.indiceMax, -1);
    EXPECT_TRUE(guards_intact(&a));
    free_guarded_lii(&a);
    free_guarded_lii(&b);
}

// A + A and A - A with both arguments the same record, which the header
// allows: every size up to past two whole chunks, then long ones; A's top
// at the last word (the carry out of it is lost), one below (A grows) or
// anywhere; all-ones words carry through every word.
TEST(KernelsAddSub, SameRecordAsBothOperands)
{
    std::mt19937_64 rng(10);
    std::vector<int64_t> lengths;
    for (int64_t n = 1; n <= 70; ++n) {
        lengths.push_back(n);
    }
    for (int64_t n : {127, 128, 129, 1000, 4099}) {
        lengths.push_back(n);
    }
    for (Kernel kernel : {kAdd, kSub}) {
        for (int64_t size : lengths) {
            for (int trial = 0; trial < 8; ++trial) {
                const int64_t top = trial % 3 == 0 ? size - 1
                                    : trial % 3 == 1
                                        ? std::max<int64_t>(size - 2, 0)
                                        : static_cast<int64_t>(rng() % static_cast<uint64_t>(size));
                SCOPED_TRACE(::testing::Message() << (kernel == kAdd ? "add" : "sub") << " size " << size
                                                  << " top " << top << " trial " << trial);
                Lii a = make_guarded_lii(size);
                fill_random_record(&a, trial == 7 ? -1 : top, kWordKinds[trial % 4], &rng);
                check_add_sub(kernel, &a, &a);
                if (kernel == kSub || trial == 7) {
                    EXPECT_EQ(a.signe, 0);
                }
                free_guarded_lii(&a);
            }
        }
    }
}

} // namespace
