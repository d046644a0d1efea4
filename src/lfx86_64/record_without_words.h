// A record without words: none created (taille_mantisse < 1) or its creation
// failed (mantisse null, whatever taille_mantisse says). The routines that
// may be given one read and write none of its words.
#pragma once

#include <cstdint>

inline bool has_no_words(int64_t taille_mantisse, const uint64_t *mantisse)
{
    return taille_mantisse < 1 || mantisse == nullptr;
}
