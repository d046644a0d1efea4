// The calculators: the routines that compute pi, e, sqrt(2) and 1/sqrt(2)
// and print them. Each calculator returns 0 once the value has been printed
// and 1 when it could not run (radix not 2, 10 or 16, request too large,
// memory exhausted), after printing its own message. A calculator whose value
// fails one of its checks prints no digits and returns kStatusWrong
// (checked_kernels.h tells how the arithmetic is checked).
#pragma once

#include <cstdint>

#include "lfx86_64.h"

// What a calculator returns when its value failed a check, and the program's
// exit status then.
constexpr int32_t kStatusWrong = 3;

// Words added in radix 2 to those the digits fill: the integer word and guard
// words against the truncation of every division (radix 10 and 16 add 4 for
// every constant; record_words in run_records.h).
constexpr int64_t kPiExtraWordsBase2 = 4;
constexpr int64_t kRootsEExtraWordsBase2 = 3;

// ---- pi ---------------------------------------------------------------------
// arctan_bini returns 0 with a holding arctan(1/x), 1 when memory ran out and
// kStatusWrong when the series failed its check; a is released on failure.
// The formula routines return the same three results.
int64_t arctan_bini(Lii *a, int64_t x, int64_t nb_decimales_en_base_BASE64_BINI);
int64_t pi_Newton_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN);
int32_t pi_Machin_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN);
int32_t pi_arctan_18_57_239_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN);
int32_t pi_arctan_23_182_5118_6072_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN);
int32_t calcul_pi(int64_t base, int64_t Nb_decimales, int32_t formule);

// For the progress line of a run by formula `formule` (1 to 4): the share of
// its work done when the series of its term `term` (0 for the first) starts,
// and the share that this series takes.
void pi_series_share(int32_t formule, int term, double *done, double *weight);

// The terms of the arctangent series share their divisions: from the power
// 1/x^(2n+1), terms n .. n+k-1 are divided straight out of it and the power
// is then divided by x^(2k) once. Returns that k for term n: the largest
// (at least 1) that keeps every divisor of the group below 2^32, the
// division kernels' fast path, given that x^2 and 2n+1 are.
int64_t arctan_group_terms(uint64_t x, uint64_t n);

// ---- e and the roots of two ---------------------------------------------------
int32_t calcul_e(int64_t base, int64_t Nb_decimales);
int32_t calcul_sqrt2(int64_t base, int64_t Nb_decimales);
int32_t calcul_inv_sqrt2(int64_t base, int64_t Nb_decimales);
