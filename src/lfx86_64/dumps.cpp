// The field dumps, printLi and printLii: every field of a record and all its
// words in decimal, streamed through a buffer on the stack.
#include <cstdint>

#include "lfx86_64.h"
#include "text_buffer.h"

namespace {

// The shared part of the dumps: the words from the top one down, each in
// decimal followed by a space, then the closing newline. A null array (a
// failed creation) has no words to show.
void put_words(Output *out, const uint64_t *words, int64_t word_count)
{
    // Counting down from word_count itself: word_count - 1 would overflow at INT64_MIN.
    for (int64_t w = words != nullptr ? word_count : 0; w > 0; --w) {
        put_unsigned(out, words[w - 1]);
        put_char(out, ' ');
        make_room(out);
    }
    put_text(out, "\n");
}

void put_precision_and_sign(Output *out, int64_t word_count, int64_t signe)
{
    put_text(out, "\n Precision = ");
    put_signed(out, word_count);
    put_text(out, "\n Signe = ");
    put_signed(out, signe);
    put_text(out, "\n");
}

} // namespace

extern "C" void printLi(const Li *li)
{
    char stack[kStackBytes];
    Output out{stack, 0, kStackBytes, true};
    put_precision_and_sign(&out, li->taille_mantisse, li->signe);
    put_words(&out, li->mantisse, li->taille_mantisse);
    flush(&out);
}

extern "C" void printLii(const Lii *li)
{
    char stack[kStackBytes];
    Output out{stack, 0, kStackBytes, true};
    put_precision_and_sign(&out, li->taille_mantisse, li->signe);
    put_text(&out, " indiceMax = ");
    put_signed(&out, li->indiceMax);
    put_text(&out, "\n");
    put_words(&out, li->mantisse, li->taille_mantisse);
    flush(&out);
}
