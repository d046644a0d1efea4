// Schoolbook product against GMP, small carry cases, aliasing and n <= 0.
#include <vector>

#include <gmp.h>

#include "record_support.h"

namespace {

using Words = std::vector<uint64_t>;
constexpr uint64_t kOnes = ~0ULL;
constexpr uint64_t kMarker = 0x5A5A5A5A5A5A5A5AULL;

Words gmp_product(const Words &a, const Words &b)
{
    Words r(2 * a.size());
    mpn_mul_n(r.data(), a.data(), b.data(), static_cast<mp_size_t>(a.size()));
    return r;
}

// The product through a buffer of 2n words followed by guard words, which
// must survive.
Words schoolbook(const Words &a, const Words &b)
{
    const size_t n = a.size();
    Words buf(2 * n + 4, kMarker);
    mul_2P_naif_gcc_bin(buf.data(), a.data(), b.data(), static_cast<int64_t>(n));
    for (size_t i = 2 * n; i < buf.size(); ++i) {
        EXPECT_EQ(buf[i], kMarker) << "written past the product, n = " << n;
    }
    buf.resize(2 * n);
    return buf;
}

} // namespace

TEST(Schoolbook, MatchesGmpOnRandomAndAllOnesOperands)
{
    std::mt19937_64 rng(20240611);
    for (size_t n = 1; n <= 200; ++n) {
        for (WordKind kind : kWordKinds) {
            const Words a = random_words(&rng, n, kind);
            const Words b = random_words(&rng, n, kind == kAllOnes ? kAllOnes : kUniform);
            ASSERT_EQ(schoolbook(a, b), gmp_product(a, b)) << "n = " << n << ", kind " << kind;
        }
    }
}

TEST(Schoolbook, CarriesIntoTheTopWordAndZeroFactors)
{
    struct Case {
        Words a, b, prod;
    };
    const Case cases[] = {
        {{1ULL << 63}, {2}, {0, 1}},
        {{kOnes}, {kOnes}, {1, kOnes - 1}},
        {{0, 1}, {0, 1}, {0, 0, 1, 0}},
        {{kOnes, kOnes}, {2, 0}, {kOnes - 1, kOnes, 1, 0}},
        {{0xFFFFFFFFULL, 0}, {0xFFFFFFFF00000000ULL, 0}, {0x100000000ULL, 0xFFFFFFFEULL, 0, 0}},
        {{0, 0, 0}, {kOnes, 5, kOnes}, {0, 0, 0, 0, 0, 0}},
        {{7, kOnes, 3}, {0, 0, 0}, {0, 0, 0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(schoolbook(c.a, c.b), c.prod);
    }
}

TEST(Schoolbook, ProductMayOverwriteEitherFactor)
{
    std::mt19937_64 rng(7);
    for (size_t n : {1U, 2U, 5U, 33U}) {
        const Words a = random_words(&rng, n, kUniform);
        const Words b = random_words(&rng, n, kUniform);
        const Words want = gmp_product(a, b);

        Words in_a = a;
        in_a.resize(2 * n, kMarker);
        mul_2P_naif_gcc_bin(in_a.data(), in_a.data(), b.data(), static_cast<int64_t>(n));
        EXPECT_EQ(in_a, want) << "prod = a, n = " << n;

        Words in_b = b;
        in_b.resize(2 * n, kMarker);
        mul_2P_naif_gcc_bin(in_b.data(), a.data(), in_b.data(), static_cast<int64_t>(n));
        EXPECT_EQ(in_b, want) << "prod = b, n = " << n;

        Words sq = a;
        sq.resize(2 * n, kMarker);
        mul_2P_naif_gcc_bin(sq.data(), sq.data(), sq.data(), static_cast<int64_t>(n));
        EXPECT_EQ(sq, gmp_product(a, a)) << "prod = a = b, n = " << n;
    }
}

TEST(Schoolbook, NoWordWrittenForZeroOrNegativeSize)
{
    const Words a = {3, 4};
    const Words b = {5, 6};
    for (int64_t n : {0, -1, -2}) {
        Words prod(4, kMarker);
        mul_2P_naif_gcc_bin(prod.data(), a.data(), b.data(), n);
        EXPECT_EQ(prod, Words(4, kMarker)) << "n = " << n;
    }
}
