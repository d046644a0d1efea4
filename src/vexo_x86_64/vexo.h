// The calculator: the command line, and the routines that compute and print
// pi, e, sqrt(2) and 1/sqrt(2). Each calculator returns 0 once the value has
// been printed and 1 when it could not run (radix not 2, 10 or 16, request too
// large, memory exhausted), after printing its own message. A calculator
// whose arithmetic fails its own check prints no digits and returns
// kValueWrong (checked.h tells how the check works).
#pragma once

#include <sys/times.h>

#include <cstdint>

#include "int128.h"
#include "lfx86_64.h"

// ---- command line -----------------------------------------------------------
// The usage text, with prog as the program name.
void printError(const char *prog);
// The whole program: validates the words and runs one calculator. Returns the
// exit status: 0 done, 1 usage text printed, 2 the calculator failed or the
// output could not be written, 3 the computed value failed its check.
int vexo_main(int argc, char **argv);

// ---- pi ---------------------------------------------------------------------
// arctan_bini returns 0 with a holding arctan(1/x), 1 when memory ran out and
// kValueWrong when the series failed its check; a is released on failure.
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
// (at least 1) that keeps every divisor of the group below 2^32, given that
// x^2 and 2n+1 are.
int64_t arctan_group_terms(uint64_t x, uint64_t n);

// ---- e and the roots of two ---------------------------------------------------
int32_t calcul_e(int64_t base, int64_t Nb_decimales);
int32_t calcul_sqrt2(int64_t base, int64_t Nb_decimales);
int32_t calcul_inv_sqrt2(int64_t base, int64_t Nb_decimales);

// ---- shared by the calculators ------------------------------------------------
// What a calculator returns when its arithmetic failed its check.
constexpr int32_t kValueWrong = 3;
// The one line, on standard error, of a check that failed where the printf
// format `where` says (a series, or a step such as a final scaling).
void report_wrong_value(const char *where, ...) __attribute__((format(printf, 1, 2)));

// Creates the records in order, each of `words` words. On a failure, writes
// out_of_memory_line as a line, destroys the records created before it (in
// creation order) and returns false; nothing is left allocated.
bool create_records(Lii *const *records, int count, int64_t words, const char *out_of_memory_line);

// The radixes the calculators print: 2, 10 and 16.
bool radix_served(int64_t base);

// log2(10) < 33219280949 / 10^10, the bound on which decimal digits are
// sized, so that n digits get at least n log2(10) fraction bits.
constexpr int64_t kLog2TenNumerator = 33219280949;
constexpr int64_t kLog2TenDenominator = 10000000000;

// Words of every record of a run: digits/64 + extra_words_base2 in radix 2,
// digits/16 + 4 in radix 16, floor(digits * log2(10) / 64) + 4 in radix 10
// (log2(10) by its bound above): an integer word and guard words against the
// truncation of every division. 0 for any other radix.
int64_t record_words(int64_t base, int64_t Nb_decimales, int64_t extra_words_base2);

// The clock of every printed duration: elapsed ticks of times(), taken as
// 100 per second.
clock_t read_clock();
double seconds_between(clock_t start, clock_t end);

// Prints the value with the constant printer of the radix. False, with
// nothing printed, when the decimal printer found no memory for its copy.
bool print_constant(int64_t base, const Lii *value);

// Hands what has been printed so far to the system, so that a reader at the
// other end of a pipe sees a run's banner and durations as they come.
void flush_output();

// ---- limits -------------------------------------------------------------------
// The division kernels accept divisors below 2^32 only, so every series has a
// largest record size it can serve. A calculator compares the digit count with
// the largest one accepted before it allocates anything.

// Largest digit count whose word count stays at or below max_words, for a
// calculator that sizes its records with record_words(base, digits,
// extra_words_base2). Saturates at INT64_MAX; -1 when even zero digits would
// need more than max_words, or for any other radix.
int64_t max_digits_for_words(int64_t base, int64_t max_words, int64_t extra_words_base2);
// The one line that refuses a request beyond the limit.
void print_request_too_large(const char *constant, int64_t base, int64_t max_digits);
// True, after printing the refusal line, when Nb_decimales in this radix would
// need more than max_words words; false (printing nothing) otherwise.
bool request_too_large(const char *constant, int64_t base, int64_t Nb_decimales, int64_t max_words,
                       int64_t extra_words_base2);
