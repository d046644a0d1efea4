// Random fill of Li and Lii records from the standard library's generator.
//
// Both routines re-seed srand on every call, then take two rand() draws per
// word (the first gives the low 32 bits, the second the high 32 bits), from
// word 0 upward, and finally set the sign, with one more draw when a random
// sign is asked for. randomLi seeds from the calendar time, randomLii from
// the time-stamp counter.
#include <cstdlib>
#include <ctime>

#include "lfx86_64.h"
#include "vexo_assert.h"

namespace {

// srand takes the low 32 bits of the seed value.
void seed_generator(uint64_t rand_germe)
{
    std::srand(static_cast<unsigned>(rand_germe & 0xFFFFFFFFU));
}

// A draw widened to a word; rand() never returns a negative value.
uint64_t draw()
{
    return static_cast<uint64_t>(std::rand());
}

// The random fill needs a record whose array is allocated.
void fill_words(uint64_t *mantisse, int64_t word_count)
{
    VEXO_ASSERT(word_count < 1 || mantisse != nullptr);
    for (int64_t i = 0; i < word_count; ++i) {
        const uint64_t t = draw();
        const uint64_t t2 = draw();
        mantisse[i] = t + (t2 << 32);
    }
}

// Index of the top non-zero word, -1 when every word is zero.
int64_t top_word(const uint64_t *mantisse, int64_t word_count)
{
    for (int64_t i = word_count - 1; i >= 0; --i) {
        if (mantisse[i] != 0) {
            return i;
        }
    }
    return -1;
}

// The sign of a non-zero record: 1 on request, a drawn sign for 0, and the
// marker -2 for any request that is neither.
int64_t sign_for(int64_t positive)
{
    if (positive == 1) {
        return 1;
    }
    if (positive == 0) {
        return 2 * static_cast<int64_t>(draw() % 2) - 1;
    }
    return -2;
}

// x * (x + 2), wrapping modulo 2^64.
uint64_t germe_step(uint64_t x)
{
    return x * (x + 2);
}

} // namespace

extern "C" void randomLi(Li *li, int64_t positive)
{
    uint64_t rand_germe = germe_step(static_cast<uint64_t>(std::time(nullptr)));
    rand_germe *= rand_germe;
    rand_germe *= rand_germe;
    seed_generator(rand_germe);

    fill_words(li->mantisse, li->taille_mantisse);
    const int64_t top = top_word(li->mantisse, li->taille_mantisse);
    li->signe = top < 0 ? 0 : sign_for(positive);
}

extern "C" void randomLii(Lii *li, int64_t positive)
{
    int64_t rand_germe = 0;
    aurora_x86_64(&rand_germe);
    uint64_t germe = germe_step(static_cast<uint64_t>(rand_germe));
    germe *= germe;
    seed_generator(germe);

    fill_words(li->mantisse, li->taille_mantisse);
    li->indiceMax = top_word(li->mantisse, li->taille_mantisse);
    li->signe = li->indiceMax < 0 ? 0 : sign_for(positive);
}
