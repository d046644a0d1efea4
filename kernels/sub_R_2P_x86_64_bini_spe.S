/*
 * uint64_t sub_R_2P_x86_64_bini_spe(Lii *A, const Lii *B)
 *
 * A := A - B on the magnitudes, for A >= B. Returns the borrow out of A's
 * top word: 0 whenever A >= B. indiceMax is found again from its entry
 * value downward; a zero result has signe 0 and indiceMax -1. With B > A
 * the words hold A - B modulo a power of 2^64 and the result is 1 (see
 * lfx86_64.h). The routine is add_sub_2P_body.inc with sbb.
 *
 * Cycles per word, in place, on AMD EPYC (lscpu; family 26 model 2),
 * 2026-12-08, bench/addsubmul_bench: thread CPU time times the core clock
 * that the bench measures (3.3 GHz here), fastest of 12 repetitions, beside
 * GMP 6.2.1's mpn_sub_n in place in the same run:
 *   words        sub       GMP       ratio
 *       4        1.59      1.52      1.05
 *      16        1.15      1.21      0.95
 *    1024        0.77      1.02      0.75
 *   65536        0.92      1.05      0.88
 */
#define ROUTINE sub_R_2P_x86_64_bini_spe
#define CARRY_OP sbb
#define PLAIN_OP subq
#define ADDING 0
#include "add_sub_2P_body.inc"
