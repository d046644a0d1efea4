/*
 * lfx86_64: fixed-point multiprecision numbers on arrays of 64-bit words,
 * and the x86-64 assembly kernels that change them.
 *
 * A number lives in a record: Li (sign and words) or Lii (the same, plus the
 * index of its top non-zero word). Words are stored least significant first.
 *
 * Two readings of the words of a record of T = taille_mantisse words:
 *   integer reading:     sum of mantisse[i] * 2^(64*i)
 *   fixed-point reading: sum of mantisse[i] * 2^(64*(i - (T-1)))
 *                        word T-1 is the integer part, words T-2..0 the
 *                        fraction (64*(T-1) fraction bits).
 *
 * The record rules, aliasing and the caller's duties are stated beside the
 * types below.
 *
 * Values left by destruction: Li signe -2, taille_mantisse -10;
 * Lii signe -1, taille_mantisse -10, indiceMax -1. mantisse is not reset.
 *
 * Memory comes from calloc (one element per word) and returns with free.
 * No routine of the library prints, except the five printers.
 *
 * The parts of the names:
 *   _bini    works on fixed-point Lii records
 *   _x86_64  written in x86-64 assembly (the five kernels and aurora)
 *   _R       the result replaces the first operand (in place)
 *   2P       both operands are taken as positive: magnitudes only
 *   _spe     that special case of the operation (add and subtract of
 *            magnitudes, not of signed numbers)
 *   mulB     multiplication by one word (a digit of base B = 2^64)
 *   HalfB    division by a half-word divisor (below 2^32, the fast path)
 */
#ifndef LFX86_64_H
#define LFX86_64_H

#include <stdint.h>

#include "lii_layout.h"

#ifdef __cplusplus
extern "C" {
#endif

/*
 * Record rules, kept by every routine that writes an Lii (T = taille_mantisse):
 *   1. signe == 0 means the value is zero, whatever the other fields hold.
 *   2. signe != 0 means 0 <= indiceMax <= T-1 and mantisse[indiceMax] != 0,
 *      with one exception: right after an add or a multiply whose result
 *      reports a lost carry or top word, indiceMax may be T-1 over a word
 *      that is zero.
 *   3. Words above indiceMax are not part of the value and are never read
 *      as such; the kernels may leave stale values there.
 *   4. Zeros made by the create/initialise/random routines and by the
 *      subtract and divide kernels have signe 0 and indiceMax -1.
 *   5. taille_mantisse never changes while the record lives.
 *
 * Aliasing: add and subtract may take the same record as A and B (A + A,
 * A - A), and the dividing kernel may take it as Q and A (Q == A divides in
 * place). The other routines that take two records expect two different
 * ones.
 *
 * The caller's duties, which nothing checks: a copy's destination has at
 * least as many words as its source; indiceMax lies within the array; a
 * quotient record Q has at least A.indiceMax+1 words; a record is destroyed
 * once, and not used after that.
 *
 * A record without words (taille_mantisse < 1, or a null mantisse, as a
 * failed create leaves it) is safe to pass to the initialisers, indiceMax,
 * the printers and the destroy routines, which read and write none of its
 * words. The copies, the random fill and the kernels need records whose
 * array is allocated.
 */
typedef struct Li {
    int64_t signe;           /* 1, 0 or -1; -2 once destroyed */
    int64_t taille_mantisse; /* number of words; -10 once destroyed */
    uint64_t *mantisse;      /* the words, least significant first */
    int64_t aux;             /* spare word, carried by copy only */
} Li;

typedef struct Lii {
    int64_t signe;
    int64_t taille_mantisse;
    uint64_t *mantisse;
    int64_t aux;       /* spare word: divHalfB_x86_64_bini carries A's into Q, copyLii does not */
    int64_t indiceMax; /* index of the top non-zero word, -1 for zero */
} Lii;

/* ---- records: creation, destruction, copies, initial values ---------- */

/* Zero record of nb words; returns nb*8, or 0 when calloc fails (mantisse
 * is then null). aux is left as it was. */
uint64_t createLi(Li *li, int64_t nb);
void destroyLi(Li *li);

/* Index of the top non-zero word of an Li, its value stored in *chiffre.
 * 0 (with *chiffre = 0) for a zero signe, all-zero words or a record
 * without words. Never -1. */
int64_t indiceMax(int64_t *chiffre, const Li *a);

/* signe, aux and li's taille_mantisse words into nouveau's own array. */
void copy(Li *nouveau, const Li *li);
/* nouveau gets li's size and signe, a new array and li's words (not aux).
 * On allocation failure mantisse is null and nothing is copied. */
void copyAndCreate(Li *nouveau, const Li *li);

/* Zero record of nb words (signe 0, indiceMax -1); mantisse is null when
 * calloc fails. aux is left as it was. */
void createLii(Lii *li, int64_t nb);
void destroyLii(Lii *li);
/* signe, indiceMax and all of li's taille_mantisse words (not aux). */
void copyLii(Lii *nouveau, const Lii *li);

/* Fixed-point value e (integer word e, zero fraction). Returns 0, or 1 for
 * a record without words, which is left untouched. */
uint64_t initialise_fixedPoint_bini(Lii *a, uint64_t e);
/* Integer value e in word 0. A record without words is left untouched. */
void initialise_bini(Lii *a, uint64_t e);

/* ---- printing (standard output) --------------------------------------- */

/* The fixed-point value as a radix-2 / radix-10 / radix-16 numeral: a
 * newline, the integer word's digits (none for 0) and ".", a newline, then
 * every fraction digit in lines of 100 grouped by ten, each full line closed
 * by "  :: <count> " and a newline, the last line partial (none when the
 * count is a multiple of 100), then two newlines. signe and indiceMax are
 * ignored; the record is only read.
 * A record without words (taille_mantisse < 1, or a null mantisse) has no
 * value: it prints "\n\n\n" (no point line, no digit) and no word is read.
 *
 * Radix 2 and 16 print every bit of the fraction words. Radix 10 prints the
 * decimal_fraction_digits(taille_mantisse) digits that the fraction
 * determines, exactly the first ones of its decimal expansion (truncated,
 * never rounded), converted on a copy of the fraction (one calloc of
 * taille_mantisse words; a one-word record needs none).
 *
 * The printers print the record's value exactly; how many of its digits are
 * a constant's is the caller's to know. vexo_x86_64 gives its records guard
 * words against the truncation of its divisions: of what it prints, the n
 * digits asked for are correct and checked, and every digit after them is a
 * guard digit that may differ from the constant's: 33 to 48 in radix 16,
 * 129 to 192 bits in radix 2 for pi and 65 to 128 for e and the roots, 38
 * to 57 in radix 10 (48 - n mod 16, 192 or 128 - n mod 64, and
 * decimal_fraction_digits(W) - n).
 *
 * Each printer builds the whole text before it writes any of it: on its own
 * stack up to 32 KiB, else in one calloc of about 1.25 bytes per digit. It
 * reads every word (radix 2 and 16) or group of 19 digits (radix 10) back
 * from the text, separators and counts included, and checks that it gives
 * the value it came from; radix 10 also checks every multiplication of its
 * conversion with residues (as residueLii below describes), from the
 * record's own words to the words left at the end. The text is written, in
 * one call, only when every check holds. Results:
 *   LFX_PRINTED              the value was printed;
 *   LFX_PRINT_NO_MEMORY      a calloc failed: nothing was printed;
 *   LFX_PRINT_CHECK_FAILED   the text or the conversion failed its check,
 *                            which a correct machine never does: nothing
 *                            was printed.
 *
 * All taille_mantisse words are printed as they stand, whatever signe and
 * indiceMax say: a record with stale words above indiceMax (a quotient
 * record used again) or with signe 0 over non-zero words (a record
 * multiplied by 0) prints those words, not zero. To print such a record's
 * value, first clear its words above indiceMax (every word when signe is
 * 0), or copy words 0..indiceMax into a freshly created record. */
enum { LFX_PRINTED = 0, LFX_PRINT_NO_MEMORY = 1, LFX_PRINT_CHECK_FAILED = 2 };
uint64_t print_cst_base2_bini(const Lii *a);
uint64_t print_cst_base10_bini(const Lii *a);
uint64_t print_cst_base16_bini(const Lii *a);
/* floor(64 * (taille_mantisse - 1) * log10(2)), exactly: the decimal
 * fraction digits of a record of that many words. 0 below 2 words; -1 past
 * 2^58 + 1 words, a size no record can have. */
int64_t decimal_fraction_digits(int64_t taille_mantisse);
/* Field-by-field dumps, words in decimal from the top word down; no word
 * when taille_mantisse < 1 or mantisse is null. */
void printLi(const Li *li);
void printLii(const Lii *li);

/* ---- random fill ------------------------------------------------------- */

/* Every word from rand() (two draws per word, low half first), after
 * seeding srand from the calendar time (randomLi) or the cycle counter
 * (randomLii). positive: 1 -> signe 1, 0 -> random sign, other -> -2.
 * A record whose words all come out zero gets signe 0.
 * Each draw gives 31 bits (rand() is below 2^31 here), so bits 31 and 63 of
 * every word are 0: not for testing carries through full words. randomLi's
 * seed changes once a second, so two calls within the same second fill
 * records of the same size with the same words. Both re-seed the process's
 * rand() sequence. */
void randomLi(Li *li, int64_t positive);
void randomLii(Lii *li, int64_t positive);

/* ---- schoolbook product ------------------------------------------------ */

/* prod[0..2n-1] = a[0..n-1] * b[0..n-1] on 32-bit halves. prod may alias a
 * or b. Nothing is written for n <= 0, nor when the scratch memory cannot
 * be allocated, nor for n > INT64_MAX / 64, whose scratch byte count would
 * not fit (prod is then left untouched). */
void mul_2P_naif_gcc_bin(uint64_t *prod, const uint64_t *a, const uint64_t *b, int64_t n);

/* ---- residues ------------------------------------------------------------ */

/* The prime 2^61 - 1. Since 2^64 = 8 modulo it, word i weighs 8^i. */
#define LFX_RESIDUE_PRIME UINT64_C(0x1FFFFFFFFFFFFFFF)

/* The integer reading of a's magnitude, words 0..indiceMax, modulo
 * LFX_RESIDUE_PRIME: 0 when signe is 0, words above indiceMax ignored.
 * A series checks itself with it: keep beside each record a residue updated
 * after every kernel call from its operands' residues and the word the
 * kernel returns (A + B - carry 8^T for a B within A's T words, A - B +
 * borrow 8^(top+1), A f - top 8^T, and a division's A = d Q + r), and
 * compare it with residueLii at the end; a wrong word anywhere makes them
 * differ, but with odds near 2^-61. */
uint64_t residueLii(const Lii *a);

/* ---- digits of pi ------------------------------------------------------ */

/* The largest position that pi_hex_digits_at serves, 2^57: every modulus of
 * its series then stays below 2^60, where its modular arithmetic holds. The
 * time grows as position * log2(position), so in practice only a fraction
 * of this range can be reached (see below). */
#define LFX_PI_HEX_MAX_POSITION (INT64_C(1) << 57)

/* The hexadecimal digits of pi's fraction numbered position+1 to
 * position+32, computed from nothing but the position, by Bellard's
 * digit-extraction formula: an independent check of the last digits of a
 * computed pi. digits[0] gets digits position+1 .. position+16 (digit
 * position+1 in bits 63..60), digits[1] digits position+17 .. position+32.
 * pi = 3.243F6A8885A308D3 13198A2E03707344..., so position 0 gives
 * digits[0] = 0x243F6A8885A308D3 and digits[1] = 0x13198A2E03707344.
 *
 * Returns an error bound B: with T = frac(16^position pi) * 2^128, a real
 * number, and D = digits[0] * 2^64 + digits[1], T - D taken modulo 2^128
 * lies strictly between -B and B. B is 1 at every position served: the
 * terms are summed to 192 bits, each rounded up by at most one unit of the
 * last of those bits (2^-64 units of D's last bit), the tail left out is
 * below one such unit, and D is that sum truncated to 128 bits. So T - D
 * lies between -(2.8 * position + 146) * 2^-64 and 1: D holds the true
 * digits, floor(T), except when T lies that close below an integer, where D
 * is that integer.
 *
 * Returns 0 and leaves digits untouched for a negative position or one
 * above LFX_PI_HEX_MAX_POSITION.
 *
 * The work is 7 * floor((4 * position + 205) / 10) terms, about
 * 2.8 * position, each a modular exponentiation of about log2(4 * position)
 * squarings (bench/pi_hex_digits_bench.cpp times it). No allocation, no
 * global state, no output; the caller's thread only. */
uint64_t pi_hex_digits_at(int64_t position, uint64_t digits[2]);

/* ---- kernels (x86-64 assembly, one object module each) ----------------- */

/* The kernel objects carry no unwind tables: an object with nothing to
 * relocate cannot, since an .eh_frame refers to its code through
 * relocations. A debugger or profiler may therefore fail to step out of a
 * kernel, or to walk from inside one back to its caller: break at the call
 * instead, and step over it. */

/* A := A + B for non-negative magnitudes. Returns 1 when a carry out of
 * A's last allocated word was lost (A then holds the sum modulo
 * 2^(64*taille_mantisse)), else 0. When B has more words in use than A
 * (A zero included), the exact sum is formed all the same: A's words above
 * its indiceMax count as zero, words of B that lie beyond A's
 * taille_mantisse are lost (result 1), indiceMax is rescanned (signe 0 and
 * indiceMax -1 when every word kept is zero), and a zero A that becomes
 * non-zero takes signe 1. */
uint64_t add_R_2P_x86_64_bini_spe(Lii *A, const Lii *B);

/* A := A - B for non-negative magnitudes, A >= B. indiceMax is rescanned;
 * a zero result has signe 0 and indiceMax -1. When B > A the words hold
 * A - B modulo 2^(64*(top+1)), top = min(max(A.indiceMax, B.indiceMax),
 * taille_mantisse-1) with A.indiceMax taken as -1 for a zero A (A's words
 * above its indiceMax count as zero), indiceMax is rescanned, a zero A that
 * becomes non-zero takes signe 1, and the routine returns 1. No word outside
 * A's taille_mantisse is written. */
uint64_t sub_R_2P_x86_64_bini_spe(Lii *A, const Lii *B);

/* A := A * f. Returns the top word of the product when it did not fit in
 * A's taille_mantisse words (A then holds the product modulo
 * 2^(64*taille_mantisse)), else 0. f == 0 only sets signe to 0. */
uint64_t mulB_R_x86_64_bini(Lii *A, uint64_t f);

/* A := floor(A / d) in place; returns A mod d. d == 1 and a zero A return 0
 * at once, reading only A.signe and writing nothing. Divisors 2..2^32-1
 * take one hardware division per call (for the reciprocal) and two
 * multiplications per 32-bit half-word. From 16 words divided on (a top
 * word below d is cleared, not divided), the words are split into 4 (from
 * 48 words, 6) segments whose entering remainders come from a remainder-only
 * pass (about 1.25 multiplications per word more), so that as many
 * remainder chains run side by side. Divisors of 2^32 and more take a slower
 * exact path (one hardware division per word). d == 0, whatever A holds,
 * leaves A untouched and returns 2^64-1, a value no true remainder can
 * take. */
uint64_t divHalfB_R_x86_64_bini(Lii *A, uint64_t d);

/* Q := floor(A / d), A only read; returns A mod d. Q must have at least
 * A.indiceMax+1 words, and may be A itself. Q's words above A.indiceMax
 * keep what they held. Divisors and speed as for divHalfB_R_x86_64_bini,
 * but d == 1 makes no division: Q gets A's signe, aux, indiceMax and words
 * 0..indiceMax, and the result is 0. A zero A gives Q signe 0 and
 * indiceMax -1, Q's words and aux untouched, and returns 0; d == 0,
 * whatever A holds, leaves Q and A untouched and returns 2^64-1. */
uint64_t divHalfB_x86_64_bini(Lii *Q, const Lii *A, uint64_t d);

/* Stores the processor's 64-bit time-stamp counter in *p. No fence orders
 * the read, so it may move by a few instructions either way. */
void aurora_x86_64(int64_t *p);

#ifdef __cplusplus
}
#endif

/* The assembly reads the fields through lii_layout.h: keep both in step. */
#ifdef __cplusplus
#include <cstddef>
static_assert(sizeof(Li) == LI_SIZE, "Li size");
static_assert(offsetof(Li, signe) == LI_SIGNE, "Li.signe");
static_assert(offsetof(Li, taille_mantisse) == LI_TAILLE_MANTISSE, "Li.taille_mantisse");
static_assert(offsetof(Li, mantisse) == LI_MANTISSE, "Li.mantisse");
static_assert(offsetof(Li, aux) == LI_AUX, "Li.aux");
static_assert(sizeof(Lii) == LII_SIZE, "Lii size");
static_assert(offsetof(Lii, signe) == LII_SIGNE, "Lii.signe");
static_assert(offsetof(Lii, taille_mantisse) == LII_TAILLE_MANTISSE, "Lii.taille_mantisse");
static_assert(offsetof(Lii, mantisse) == LII_MANTISSE, "Lii.mantisse");
static_assert(offsetof(Lii, aux) == LII_AUX, "Lii.aux");
static_assert(offsetof(Lii, indiceMax) == LII_INDICEMAX, "Lii.indiceMax");
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#include <stddef.h>
_Static_assert(sizeof(Li) == LI_SIZE, "Li size");
_Static_assert(offsetof(Li, signe) == LI_SIGNE, "Li.signe");
_Static_assert(offsetof(Li, taille_mantisse) == LI_TAILLE_MANTISSE, "Li.taille_mantisse");
_Static_assert(offsetof(Li, mantisse) == LI_MANTISSE, "Li.mantisse");
_Static_assert(offsetof(Li, aux) == LI_AUX, "Li.aux");
_Static_assert(sizeof(Lii) == LII_SIZE, "Lii size");
_Static_assert(offsetof(Lii, signe) == LII_SIGNE, "Lii.signe");
_Static_assert(offsetof(Lii, taille_mantisse) == LII_TAILLE_MANTISSE, "Lii.taille_mantisse");
_Static_assert(offsetof(Lii, mantisse) == LII_MANTISSE, "Lii.mantisse");
_Static_assert(offsetof(Lii, aux) == LII_AUX, "Lii.aux");
_Static_assert(offsetof(Lii, indiceMax) == LII_INDICEMAX, "Lii.indiceMax");
#endif

#endif
