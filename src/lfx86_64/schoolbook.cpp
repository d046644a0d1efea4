// Schoolbook product of two n-word magnitudes on 32-bit half-words.
//
// Each factor is split into 2n halves, every pair of halves is multiplied in
// 64-bit arithmetic, and the product is gathered in 4n half-word slots
// before it is packed back into 2n words. Working on halves keeps every
// multiply-add inside 64 bits: (2^32-1)^2 + 2*(2^32-1) = 2^64-1, so no
// 128-bit arithmetic is needed.
#include <cstdint>
#include <cstdlib>

#include "lfx86_64.h"

namespace {

constexpr uint64_t kHalfMask = 0xFFFFFFFFU;
// Largest factor length whose scratch (8n slots of 8 bytes) has a byte count
// that fits a signed 64-bit size.
constexpr int64_t kMaxFactorWords = INT64_MAX / 64;

uint64_t *allocate_slots(int64_t count)
{
    return static_cast<uint64_t *>(std::calloc(static_cast<size_t>(count), sizeof(uint64_t)));
}

// Slot 2i gets the low 32 bits of words[i], slot 2i+1 its high 32 bits.
void split_halves(uint64_t *halves, const uint64_t *words, int64_t n)
{
    for (int64_t i = 0; i < n; ++i) {
        halves[2 * i] = words[i] & kHalfMask;
        halves[2 * i + 1] = words[i] >> 32;
    }
}

// tempP += tempA * m * 2^(32*i): one row of the schoolbook product. The row's
// last carry lands in slot i + n_2, which no earlier row has reached.
void add_row(uint64_t *tempP, const uint64_t *tempA, int64_t n_2, uint64_t m, int64_t i)
{
    uint64_t carry = 0;
    for (int64_t j = 0; j < n_2; ++j) {
        const uint64_t tempon = tempA[j] * m + carry + tempP[i + j];
        tempP[i + j] = tempon & kHalfMask;
        carry = tempon >> 32;
    }
    tempP[i + n_2] += carry;
}

// prod[k] = tempP[2k+1] * 2^32 + tempP[2k], for the 2n words of the product.
void pack_halves(uint64_t *prod, const uint64_t *tempP, int64_t n_2)
{
    for (int64_t k = 0; k < n_2; ++k) {
        prod[k] = (tempP[2 * k + 1] << 32) + tempP[2 * k];
    }
}

} // namespace

extern "C" void mul_2P_naif_gcc_bin(uint64_t *prod, const uint64_t *a, const uint64_t *b, int64_t n)
{
    // The scratch takes 8n slots of 8 bytes: a size whose byte count does not
    // fit (n above 2^57 or so) can be neither counted nor allocated, and is
    // refused as an allocation failure would be, before any count is formed.
    if (n <= 0 || n > kMaxFactorWords) {
        return;
    }
    const int64_t n_2 = 2 * n;
    uint64_t *tempA = allocate_slots(n_2);
    uint64_t *tempB = allocate_slots(n_2);
    uint64_t *tempP = allocate_slots(2 * n_2);
    // Without all three buffers there is nothing to compute with; prod keeps
    // its words rather than receive a partial product.
    if (tempA == nullptr || tempB == nullptr || tempP == nullptr) {
        std::free(tempA);
        std::free(tempB);
        std::free(tempP);
        return;
    }

    // Both factors are read in full before prod is written, so prod may be
    // the same array as a or b.
    split_halves(tempA, a, n);
    split_halves(tempB, b, n);
    for (int64_t i = 0; i < n_2; ++i) {
        add_row(tempP, tempA, n_2, tempB[i], i);
    }
    pack_halves(prod, tempP, n_2);

    std::free(tempA);
    std::free(tempB);
    std::free(tempP);
}
