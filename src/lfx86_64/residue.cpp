// A record's integer reading modulo the Mersenne prime 2^61 - 1.
#include "lfx86_64.h"

namespace {

constexpr uint64_t kPrime = LFX_RESIDUE_PRIME;

// A value below 2^64 brought below 2^61 + 8, using 2^61 = 1 (mod p).
uint64_t fold(uint64_t v)
{
    return (v & kPrime) + (v >> 61);
}

} // namespace

uint64_t residueLii(const Lii *a)
{
    if (a->signe == 0 || a->mantisse == nullptr || a->indiceMax < 0) {
        return 0;
    }
    // Horner from the top word: r * 2^64 + w, and 2^64 = 8 (mod p). For
    // r < p, 8r mod p is r rotated left by 3 within its 61 bits.
    uint64_t r = 0;
    for (int64_t i = a->indiceMax; i >= 0; --i) {
        const uint64_t shifted = ((r << 3) & kPrime) | (r >> 58);
        r = fold(shifted + fold(a->mantisse[i])); // below 2^62 + 16 before the fold
        r = r >= kPrime ? r - kPrime : r;
    }
    return r;
}
