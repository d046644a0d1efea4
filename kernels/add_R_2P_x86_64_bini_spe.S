/*
 * uint64_t add_R_2P_x86_64_bini_spe(Lii *A, const Lii *B)
 *
 * A := A + B on the magnitudes. Returns 1 when something was lost past
 * A's last allocated word (a carry out of it, or words of B beyond it),
 * else 0. A carry out of A's top word becomes a new top word 1 when A has
 * room; when A has none, indiceMax stays at taille_mantisse-1, over a word
 * that may now be zero. The routine is add_sub_2P_body.inc with adc.
 *
 * Cycles per word, in place, on AMD EPYC (lscpu; family 26 model 2),
 * 2026-12-08, bench/addsubmul_bench: thread CPU time times the core clock
 * that the bench measures (3.3 GHz here), fastest of 12 repetitions, beside
 * GMP 6.2.1's mpn_add_n in place in the same run:
 *   words        add       GMP       ratio
 *       4        1.50      1.54      0.97
 *      16        1.12      1.22      0.92
 *    1024        0.78      1.02      0.76
 *   65536        0.94      1.03      0.91
 */
#define ROUTINE add_R_2P_x86_64_bini_spe
#define CARRY_OP adc
#define PLAIN_OP addq
#define ADDING 1
#include "add_sub_2P_body.inc"
