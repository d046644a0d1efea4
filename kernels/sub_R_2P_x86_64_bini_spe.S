/*
 * uint64_t sub_R_2P_x86_64_bini_spe(Lii *A, const Lii *B)
 *
 * A := A - B on the magnitudes, for A >= B. Returns 0 whenever A >= B.
 * indiceMax is found again, downward from the highest word that the
 * subtraction reaches; a zero result has signe 0 and indiceMax -1. With
 * B > A the words hold A - B modulo a power of 2^64 and the result is 1
 * (see lfx86_64.h). The routine is add_sub_2P_body.inc with sbb.
 *
 * Cycles per word, in place (bench/addsubmul_bench's fastest repetition:
 * its thread CPU time times the core clock measured in that same
 * repetition, bench/core_clock.h), with GMP 6.2.1's mpn_sub_n in the same
 * runs; these and the ratios in bench/results/RESULTS.md:
 *   words                            4      16      64    1024   65536
 *   AMD Zen 5 (family 26 model 2)   1.55    1.25    0.82    0.77    0.93
 *     mpn_sub_n                     1.77    1.37    0.92    1.04    1.05
 */
#define ROUTINE sub_R_2P_x86_64_bini_spe
#define CARRY_OP sbb
#define PLAIN_OP subq
#define ADDING 0
#include "add_sub_2P_body.inc"
