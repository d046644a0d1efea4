// The calculator: the command line, and the routines that compute and print
// pi, e, sqrt(2) and 1/sqrt(2). Each calculator returns 0 once the value has
// been printed and 1 when it could not run (radix not 2 or 16, request too
// large, memory exhausted), after printing its own message.
#pragma once

#include <cstdint>

#include "lfx86_64.h"

// ---- command line -----------------------------------------------------------
// The usage text, with prog as the program name.
void printError(const char *prog);
// The whole program: validates the words and runs one calculator. Returns the
// exit status: 0 done, 1 usage text printed, 2 the calculator failed.
int vexo_main(int argc, char **argv);

// ---- pi ---------------------------------------------------------------------
int64_t arctan_bini(Lii *a, int64_t divisor, int64_t nb_decimales_en_base_BASE64_BINI);
int64_t pi_Newton_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN);
int32_t pi_Machin_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN);
int32_t pi_arctan_18_57_239_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN);
int32_t pi_arctan_23_182_5118_6072_bini(Lii *p, int64_t nb_decimales_en_base_BASE64_BIN);
int32_t calcul_pi(int64_t base, int64_t Nb_decimales, int32_t formule);

// ---- e and the roots of two ---------------------------------------------------
int32_t calcul_e(int64_t base, int64_t Nb_decimales);
int32_t calcul_sqrt2(int64_t base, int64_t Nb_decimales);
int32_t calcul_inv_sqrt2(int64_t base, int64_t Nb_decimales);
