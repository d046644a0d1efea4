/*
 * uint64_t add_R_2P_x86_64_bini_spe(Lii *A, const Lii *B)
 *
 * A := A + B on the magnitudes. Returns 1 when something was lost past
 * A's last allocated word (a carry out of it, or words of B beyond it),
 * else 0. A carry out of A's top word becomes a new top word 1 when A has
 * room; when A has none, indiceMax stays at taille_mantisse-1, over a word
 * that may now be zero, unless A was zero or B reached above A's top:
 * indiceMax is then found again. The routine is add_sub_2P_body.inc with
 * adc.
 *
 * Cycles per word, in place (bench/addsubmul_bench's fastest repetition:
 * its thread CPU time times the core clock measured in that same
 * repetition, bench/core_clock.h), with GMP 6.2.1's mpn_add_n in the same
 * runs; these and the ratios in bench/results/RESULTS.md:
 *   words                            4      16      64    1024   65536
 *   AMD Zen 5 (family 26 model 2)   1.53    1.11    0.83    0.76    0.91
 *     mpn_add_n                     1.79    1.40    0.92    1.02    1.03
 */
#define ROUTINE add_R_2P_x86_64_bini_spe
#define CARRY_OP adc
#define PLAIN_OP addq
#define ADDING 1
#include "add_sub_2P_body.inc"
