// The schoolbook product when one of its three scratch allocations fails:
// prod must keep its words, and (under the sanitizer build) nothing leaks.
#include <cstdint>
#include <vector>

#include "failing_calloc.h"
#include "record_support.h"

TEST(SchoolbookAlloc, FailedScratchLeavesProductUntouched)
{
    const std::vector<uint64_t> a = {~0ULL, 12345, 1};
    const std::vector<uint64_t> b = {99, ~0ULL, 7};
    const std::vector<uint64_t> untouched(6, 0x1111111111111111ULL);
    for (long k = 1; k <= 3; ++k) {
        std::vector<uint64_t> prod = untouched;
        failing_calloc_fail_at(k);
        mul_2P_naif_gcc_bin(prod.data(), a.data(), b.data(), 3);
        const long calls = failing_calloc_calls();
        failing_calloc_fail_at(0);
        EXPECT_GE(calls, k) << "the failing allocation was never reached";
        EXPECT_EQ(prod, untouched) << "allocation " << k << " failed";
    }
    // With memory to spare the same call does write the product.
    std::vector<uint64_t> prod = untouched;
    mul_2P_naif_gcc_bin(prod.data(), a.data(), b.data(), 3);
    EXPECT_NE(prod, untouched);
}

// Factor lengths whose scratch byte count does not fit a 64-bit size are
// refused before anything is counted or allocated; the largest one that
// fits is tried and simply finds no memory. prod is untouched either way.
TEST(SchoolbookAlloc, SizesBeyondAnyByteCountAreRefusedUntouched)
{
    const std::vector<uint64_t> a = {1, 2};
    const std::vector<uint64_t> untouched(4, 0x2222222222222222ULL);
    const int64_t largest = INT64_MAX / 64;
    for (const int64_t n : {(INT64_C(1) << 62) + 1, INT64_MAX, largest + 1}) {
        std::vector<uint64_t> prod = untouched;
        failing_calloc_fail_at(0);
        mul_2P_naif_gcc_bin(prod.data(), a.data(), a.data(), n);
        EXPECT_EQ(failing_calloc_calls(), 0) << "n = " << n;
        EXPECT_EQ(prod, untouched) << "n = " << n;
    }
    std::vector<uint64_t> prod = untouched;
    failing_calloc_fail_at(0);
    mul_2P_naif_gcc_bin(prod.data(), a.data(), a.data(), largest);
    EXPECT_GE(failing_calloc_calls(), 1);
    EXPECT_EQ(prod, untouched);
}
