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

// ---- record creation ----------------------------------------------------------
// Creates the records in order, each of `words` words. On a failure, writes
// out_of_memory_line as a line, destroys the records created before it (in
// creation order) and returns false; nothing is left allocated.
bool create_records(Lii *const *records, int count, int64_t words, const char *out_of_memory_line);

// ---- limits -------------------------------------------------------------------
// The division kernels accept divisors below 2^32 only, so every series has a
// largest record size it can serve. A calculator compares the digit count with
// the largest one accepted before it allocates anything.

// Largest digit count whose word count stays at or below max_words, for a
// calculator that sizes its records as digits/64 + extra2 words (radix 2) or
// digits/16 + 4 words (radix 16). Saturates at INT64_MAX; -1 when even zero
// digits would need more than max_words, or for any other radix.
int64_t max_digits_for_words(int64_t base, int64_t max_words, int64_t extra2);
// The one line that refuses a request beyond the limit.
void print_request_too_large(const char *constant, int64_t base, int64_t max_digits);
// True, after printing the refusal line, when Nb_decimales in this radix would
// need more than max_words words; false (printing nothing) otherwise.
bool request_too_large(const char *constant, int64_t base, int64_t Nb_decimales, int64_t max_words,
                       int64_t extra2);
