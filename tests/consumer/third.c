/* 1/3 on four words with the library: divide 1 by 3, multiply back by 3,
 * add the missing unit, and check every word on the way. */
#include <stdint.h>
#include <stdio.h>

#include "lfx86_64.h"

static int check(const Lii *a, const uint64_t *want, const char *step)
{
    for (int i = 0; i < 4; ++i) {
        if (a->mantisse[i] != want[i]) {
            printf("%s: word %d is %016llx, not %016llx\n", step, i, (unsigned long long)a->mantisse[i],
                   (unsigned long long)want[i]);
            return 1;
        }
    }
    return 0;
}

int main(void)
{
    const uint64_t third[4] = {0x5555555555555555u, 0x5555555555555555u, 0x5555555555555555u, 0};
    const uint64_t almost_one[4] = {~UINT64_C(0), ~UINT64_C(0), ~UINT64_C(0), 0};
    const uint64_t one[4] = {0, 0, 0, 1};
    Lii a, q, unit;
    createLii(&a, 4);
    createLii(&q, 4);
    createLii(&unit, 4);
    if (a.mantisse == NULL || q.mantisse == NULL || unit.mantisse == NULL) {
        puts("out of memory");
        return 1;
    }
    int bad = 0;
    initialise_fixedPoint_bini(&a, 1);
    const uint64_t rest = divHalfB_x86_64_bini(&q, &a, 3);
    bad |= rest != 1;
    bad |= check(&q, third, "1/3");
    mulB_R_x86_64_bini(&q, 3);
    bad |= check(&q, almost_one, "3 * (1/3)");
    unit.mantisse[0] = 1;
    unit.signe = 1;
    unit.indiceMax = 0;
    add_R_2P_x86_64_bini_spe(&q, &unit);
    bad |= check(&q, one, "3 * (1/3) + 2^-192");
    bad |= q.indiceMax != 3 || q.signe != 1;
    destroyLii(&a);
    destroyLii(&q);
    destroyLii(&unit);
    puts(bad ? "third: FAILED" : "third: ok");
    return bad;
}
