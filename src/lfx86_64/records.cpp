// Creation, destruction, copies and initial values of the number records.
#include <cstdlib>

#include "lfx86_64.h"
#include "record_without_words.h"
#include "vexo_assert.h"

namespace {

// calloc with one element per word; a negative count asks for nothing and
// gets nothing (calloc itself rejects counts whose byte size overflows).
uint64_t *allocate_words(int64_t nb)
{
    if (nb < 0) {
        return nullptr;
    }
    return static_cast<uint64_t *>(std::calloc(static_cast<size_t>(nb), sizeof(uint64_t)));
}

void clear_words(uint64_t *words, int64_t nb)
{
    for (int64_t i = 0; i < nb; ++i) {
        words[i] = 0;
    }
}

void copy_words(uint64_t *to, const uint64_t *from, int64_t nb)
{
    for (int64_t i = 0; i < nb; ++i) {
        to[i] = from[i];
    }
}

} // namespace

extern "C" uint64_t createLi(Li *li, int64_t nb)
{
    li->signe = 0;
    li->taille_mantisse = nb;
    li->mantisse = allocate_words(nb);
    return li->mantisse != nullptr ? static_cast<uint64_t>(nb) * 8U : 0U;
}

extern "C" void destroyLi(Li *li)
{
    std::free(li->mantisse);
    li->taille_mantisse = -10;
    li->signe = -2;
}

extern "C" int64_t indiceMax(int64_t *chiffre, const Li *a)
{
    if (a->signe == 0 || has_no_words(a->taille_mantisse, a->mantisse)) {
        *chiffre = 0;
        return 0;
    }
    for (int64_t i = a->taille_mantisse - 1; i > 0; --i) {
        if (a->mantisse[i] != 0) {
            *chiffre = static_cast<int64_t>(a->mantisse[i]);
            return i;
        }
    }
    *chiffre = static_cast<int64_t>(a->mantisse[0]);
    return 0;
}

extern "C" void copy(Li *nouveau, const Li *li)
{
    VEXO_ASSERT(nouveau->taille_mantisse >= li->taille_mantisse);
    nouveau->signe = li->signe;
    nouveau->aux = li->aux;
    copy_words(nouveau->mantisse, li->mantisse, li->taille_mantisse);
}

extern "C" void copyAndCreate(Li *nouveau, const Li *li)
{
    nouveau->taille_mantisse = li->taille_mantisse;
    nouveau->signe = li->signe;
    nouveau->mantisse = allocate_words(li->taille_mantisse);
    if (nouveau->mantisse == nullptr) {
        return;
    }
    copy_words(nouveau->mantisse, li->mantisse, li->taille_mantisse);
}

extern "C" void createLii(Lii *li, int64_t nb)
{
    li->signe = 0;
    li->indiceMax = -1;
    li->taille_mantisse = nb;
    li->mantisse = allocate_words(nb);
}

extern "C" void destroyLii(Lii *li)
{
    std::free(li->mantisse);
    li->taille_mantisse = -10;
    li->signe = -1;
    li->indiceMax = -1;
}

extern "C" void copyLii(Lii *nouveau, const Lii *li)
{
    VEXO_ASSERT(nouveau->taille_mantisse >= li->taille_mantisse && lii_top_index_valid(li));
    nouveau->signe = li->signe;
    nouveau->indiceMax = li->indiceMax;
    copy_words(nouveau->mantisse, li->mantisse, li->taille_mantisse);
}

extern "C" uint64_t initialise_fixedPoint_bini(Lii *a, uint64_t e)
{
    if (has_no_words(a->taille_mantisse, a->mantisse)) {
        return 1;
    }
    clear_words(a->mantisse, a->taille_mantisse);
    if (e == 0) {
        a->signe = 0;
        a->indiceMax = -1;
        return 0;
    }
    a->signe = 1;
    a->indiceMax = a->taille_mantisse - 1;
    a->mantisse[a->indiceMax] = e;
    return 0;
}

extern "C" void initialise_bini(Lii *a, uint64_t e)
{
    // A record without words cannot hold a value; leave it as it is rather
    // than write outside its array.
    if (has_no_words(a->taille_mantisse, a->mantisse)) {
        return;
    }
    clear_words(a->mantisse, a->taille_mantisse);
    if (e == 0) {
        a->signe = 0;
        a->indiceMax = -1;
        return;
    }
    a->signe = 1;
    a->mantisse[0] = e;
    a->indiceMax = 0;
}
