// The schoolbook product when one of its three scratch allocations fails:
// prod must keep its words, and (under the sanitizer build) nothing leaks.
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
