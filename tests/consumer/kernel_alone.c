/* The multiply kernel linked as a bare object: a record on the stack, its
 * words multiplied by a word, the carry out of the top word returned. */
#include <stdint.h>
#include <stdio.h>

#include "lfx86_64.h"

int main(void)
{
    uint64_t words[3] = {~UINT64_C(0), ~UINT64_C(0), 1};
    Lii a = {1, 3, words, 0, 2};
    int bad = 0;
    /* (2^129 - 1) * 4 = 2^131 - 4: words FF..FC, FF..FF, 7 and no carry out */
    bad |= mulB_R_x86_64_bini(&a, 4) != 0;
    bad |= words[0] != ~UINT64_C(3) || words[1] != ~UINT64_C(0) || words[2] != 7 || a.indiceMax != 2;
    /* times 2^62: 2^193 - 2^64, whose word above the record comes back */
    bad |= mulB_R_x86_64_bini(&a, UINT64_C(1) << 62) != 1;
    bad |= words[0] != 0 || words[1] != ~UINT64_C(0) || words[2] != ~UINT64_C(0) || a.indiceMax != 2;
    puts(bad ? "kernel_alone: FAILED" : "kernel_alone: ok");
    return bad;
}
