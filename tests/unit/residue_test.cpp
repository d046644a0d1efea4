// Residues modulo 2^61 - 1: residueLii against GMP, and the residue steps of
// the calculators' kernel calls, which must agree with the words after every
// call, carries, borrows and lost top words included, so that a correct run
// can never fail its check.
#include <gmp.h>

#include <cstdint>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "calculators.h"
#include "checked_kernels.h"
#include "record_support.h"

namespace {

uint64_t gmp_residue(const std::vector<uint64_t> &words)
{
    mpz_t v;
    mpz_init(v);
    mpz_import(v, words.size(), -1, sizeof(uint64_t), 0, 0, words.data());
    mpz_t p;
    mpz_init_set_ui(p, 1);
    mpz_mul_2exp(p, p, 61);
    mpz_sub_ui(p, p, 1);
    mpz_mod(v, v, p);
    const uint64_t residue = mpz_get_ui(v);
    mpz_clears(v, p, nullptr);
    return residue;
}

TEST(Residue, MatchesGmpOnRandomAndEdgeWords)
{
    std::mt19937_64 rng(61);
    for (const WordKind kind : kWordKinds) {
        for (size_t n : {1, 2, 7, 61, 62, 200}) {
            Lii a = make_guarded_lii(static_cast<int64_t>(n) + 3);
            for (int64_t i = 0; i < a.taille_mantisse; ++i) {
                a.mantisse[i] = rng(); // stale words above the value must not count
            }
            set_lii_words(&a, random_words(&rng, n, kind));
            EXPECT_EQ(residueLii(&a), gmp_residue(value_words(&a)))
                << "kind " << kind << ", " << n << " words";
            a.signe = 0;
            EXPECT_EQ(residueLii(&a), 0u);
            free_guarded_lii(&a);
        }
    }
    Lii p = make_guarded_lii(2);
    set_lii_words(&p, {LFX_RESIDUE_PRIME, 8}); // p + 8 2^64 = 64 (mod p)
    EXPECT_EQ(residueLii(&p), 64u);
    free_guarded_lii(&p);
}

// Every step leaves residue and words in agreement, including the carry that
// an add loses at the top, the borrow of a subtraction of a larger number and
// the top word that a multiply loses.
TEST(Residue, StepsAgreeWithTheWordsAfterEveryCall)
{
    std::mt19937_64 rng(2);
    for (int round = 0; round < 200; ++round) {
        const int64_t size = 1 + static_cast<int64_t>(rng() % 9);
        Lii a = make_guarded_lii(size);
        Lii b = make_guarded_lii(size);
        Lii q = make_guarded_lii(size);
        const auto kind = static_cast<WordKind>(round % 4);
        set_lii_words(&a, random_words(&rng, static_cast<size_t>(size), kind));
        set_lii_words(&b, random_words(&rng, static_cast<size_t>(1 + rng() % size), kind));
        Residue ra{residueLii(&a), 1};
        Residue rb{residueLii(&b), 1};
        Residue rq{0, 1};
        const uint64_t d = 1 + rng() % 0xFFFFFFFF;
        switch (round % 5) {
        case 0:
            checked_add(&a, &ra, &b, &rb);
            break;
        case 1:
            checked_sub(&a, &ra, &b, &rb); // b may exceed a: a borrow
            break;
        case 2:
            checked_mul(&a, &ra, round % 3 == 0 ? ~uint64_t{0} : rng());
            break;
        case 3:
            checked_div_R(&a, &ra, d);
            break;
        default:
            checked_div(&q, &rq, &a, &ra, d);
            EXPECT_TRUE(residue_holds(&q, &rq)) << "round " << round;
        }
        EXPECT_TRUE(residue_holds(&a, &ra)) << "round " << round;
        free_guarded_lii(&a);
        free_guarded_lii(&b);
        free_guarded_lii(&q);
    }
}

// Chains of calls on the same records: once a division has left a
// denominator m != 1, a later lost carry, borrow or top word must be taken
// away scaled by m. All-ones words make those losses frequent.
TEST(Residue, StepsAfterADivisionAgreeWithTheWords)
{
    std::mt19937_64 rng(3);
    for (int chain = 0; chain < 20; ++chain) {
        const int64_t size = 2 + chain % 5;
        Lii a = make_guarded_lii(size);
        Lii b = make_guarded_lii(size);
        set_lii_words(&a, random_words(&rng, static_cast<size_t>(size), kAllOnes));
        set_lii_words(&b, random_words(&rng, static_cast<size_t>(size), kAllOnes));
        Residue ra{residueLii(&a), 1};
        Residue rb{residueLii(&b), 1};
        for (int step = 0; step < 40; ++step) {
            switch (step % 4) {
            case 0:
                checked_div_R(&a, &ra, 3 + rng() % 1000);
                checked_div(&b, &rb, &b, &rb, 3 + rng() % 1000);
                break;
            case 1:
                checked_add(&a, &ra, &b, &rb);
                checked_mul(&b, &rb, ~uint64_t{0} - rng() % 16);
                break;
            case 2:
                checked_sub(&b, &rb, &a, &ra);
                break;
            default:
                checked_add(&b, &rb, &b, &rb);
            }
            ASSERT_TRUE(residue_holds(&a, &ra) && residue_holds(&b, &rb))
                << "chain " << chain << ", step " << step;
        }
        free_guarded_lii(&a);
        free_guarded_lii(&b);
    }
}

// Factors and values that are multiples of p: a product equal to p (the
// fold of p, 2p or 8p is p) must reduce to 0, as residueLii gives.
TEST(Residue, MultiplesOfThePrimeReduceToZero)
{
    for (const uint64_t f : {kResiduePrime, 2 * kResiduePrime, 8 * kResiduePrime}) {
        Lii a = make_guarded_lii(3);
        set_lii_words(&a, {1}); // the product fits: no top word is lost
        Residue ra{residueLii(&a), 1};
        checked_mul(&a, &ra, f);
        EXPECT_TRUE(residue_holds(&a, &ra)) << f;
        initialise_fixedPoint_bini(&a, f);
        ra = residue_of_fixed_point(&a, f);
        EXPECT_TRUE(residue_holds(&a, &ra)) << f;
        free_guarded_lii(&a);
    }
}

// Every calculator passes its checks (the series, the conversion and the
// printing, pi's last digits) at the sizes around word boundaries, where the
// top words of the records are nearly empty or full, and at a few larger
// decimal sizes, where the conversion drops words.
TEST(Residue, NoCalculatorFailsItsCheckNearWordBoundaries)
{
    for (const int64_t base : {2, 10, 16}) {
        // A new word every 64 binary or 16 hexadecimal digits, and every 19
        // or 20 decimal ones: all decimal counts up to 140.
        std::vector<int64_t> sizes = {13};
        const int64_t step = base == 2 ? 64 : 16;
        for (int64_t j = 1; j <= 6; ++j) {
            for (const int64_t n : {step * j - 1, step * j, step * j + 1}) {
                sizes.push_back(n);
            }
        }
        for (int64_t n = 14; base == 10 && n <= 140; ++n) {
            sizes.push_back(n);
        }
        if (base == 10) {
            sizes.insert(sizes.end(), {2999, 12345});
        }
        for (const int64_t n : sizes) {
            SCOPED_TRACE(std::to_string(n) + " digits in radix " + std::to_string(base));
            int32_t results[7] = {};
            capture_stdout([&] {
                for (int32_t formula = 1; formula <= 4; ++formula) {
                    results[formula - 1] = calcul_pi(base, n, formula);
                }
                results[4] = calcul_e(base, n);
                results[5] = calcul_sqrt2(base, n);
                results[6] = calcul_inv_sqrt2(base, n);
            });
            for (const int32_t result : results) {
                EXPECT_EQ(result, 0);
            }
        }
    }
}

} // namespace
