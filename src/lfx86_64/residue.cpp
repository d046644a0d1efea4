// A record's integer reading modulo the Mersenne prime 2^61 - 1.
#include "lfx86_64.h"
#include "residue_arithmetic.h"
#include "vexo_assert.h"

uint64_t residueLii(const Lii *a)
{
    // The words read, 0..indiceMax, lie within the array.
    VEXO_ASSERT(a->signe == 0 || a->mantisse == nullptr || a->indiceMax < a->taille_mantisse);
    if (a->signe == 0 || a->mantisse == nullptr || a->indiceMax < 0) {
        return 0;
    }
    // Horner from the top word: r * 2^64 + w, and 2^64 = 8 (mod p). For
    // r < p, 8r mod p is r rotated left by 3 within its 61 bits.
    uint64_t r = 0;
    for (int64_t i = a->indiceMax; i >= 0; --i) {
        const uint64_t shifted = ((r << 3) & kResiduePrime) | (r >> 58);
        r = residue_reduce(shifted + residue_fold(a->mantisse[i])); // the sum is below 2^62 + 16
    }
    return r;
}
