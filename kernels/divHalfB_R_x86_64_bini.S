/*
 * divHalfB_R_x86_64_bini(Lii *A, uint64_t d) -> A mod d
 *
 * A := floor(A / d) in place, on words 0..A.indiceMax, most significant
 * first. Returns the remainder.
 *
 *   d == 0         A untouched, returns 2^64-1 (no remainder can be that)
 *   A.signe == 0   nothing changes, returns 0
 *   d == 1         nothing changes (no division), returns 0
 *   top word < d   its quotient word is 0: the word is cleared, indiceMax
 *                  drops by one (never more: the word carried down, the
 *                  top word, is non-zero, so the next quotient word is
 *                  >= 2^64/d >= 1), and if nothing is left signe becomes 0,
 *                  indiceMax -1
 *   2 <= d < 2^32  reciprocal and half-steps, one div per call
 *   d >= 2^32      one hardware div per word (remainder < d, so every
 *                  quotient fits a word); same record updates
 *
 * The division itself is in divHalfB_common.inc (the reciprocal, the
 * half-step and its chain, the remainder pass) and the files it includes:
 * fewer than 16 words divided (a top word below d is not) run one chain of
 * half-steps; from 16 words on, a remainder pass gives the remainder
 * entering each of four segments (six from 48 words on, seven chains with
 * a shorter half-step from 56 on, divHalfB_seven.inc) and the chains run
 * side by side. Each quotient half is stored where its dividend half was,
 * once that half has been read and, on the segmented paths, once the
 * remainder pass has read every word.
 *
 * divHalfB_seven.inc counts the ALU operations per word of the seven
 * chains beside those of six segments (about 14.6 against 21.1): fewer,
 * with no more multiplies, so a core bound by its ALUs or its multiplier
 * (Zen 3 and 4) gets no slower.
 *
 * Registers: rdi A, rsi d then A's words, r9 d (then D = d << 32), r8 m,
 * cl l, r10 the index of the top word divided, rdx the remainder carried
 * into it; the segmented paths save and use rbx, rbp, r12-r15 and a stack
 * frame below them.
 *
 * Cycles per word, d = 7, in place (bench/div_bench's fastest repetition:
 * its thread CPU time per word times the core clock measured in that same
 * repetition, bench/core_clock.h), with GMP 6.2.1's mpn_divrem_1 in place
 * in the same runs; these and the ratios in bench/results/RESULTS.md.
 * From 56 words on, the divisor's class picks the seven chains' half-step
 * (no shift below 2^16, the add kept for the few above 2^31 that fail the
 * entry check, divHalfB_seven.inc); the other divisors of the bench
 * (25, 57121, 384199201, 2^32-1) are in bench/results/RESULTS.md.
 *   words                            4      16      64    1024   65536
 *   AMD Zen 5 (family 26 model 2)   12.3    12.5     6.0     3.9     3.8
 *     mpn_divrem_1                  13.3    11.4    11.3    11.3    11.3
 */
#include "lii_layout.h"

/* In place: each quotient half goes where its dividend half was read. */
.macro QSTORE32 src, p, off
        movl    \src, \off(\p)
.endm
.macro QSTORE64 src, p
        mov     \src, (\p)
.endm
/* The segmented loop addresses the quotient exactly as the dividend. */
#define DST_LOW %rdi
#define DST_HIGH %rsi
.macro DST_SETUP
.endm
/* The seven-chain path divides the words where they are: nothing to copy. */
.macro FOLD_COPY src, off
.endm
.macro SEVEN_COPY_BOTTOM words
.endm
.macro SEVEN_TO_Q reg
.endm

#include "divHalfB_common.inc"

        .text
        /* A cache line of its own to start from, so that where the linker
         * puts the object never moves a loop across a line boundary: the
         * loops inside are aligned relative to this entry. */
        .p2align 6
        .globl  divHalfB_R_x86_64_bini
        .type   divHalfB_R_x86_64_bini,@function
divHalfB_R_x86_64_bini:
        test    %rsi, %rsi
        jz      .Ldivisor_zero
        xor     %eax, %eax
        cmpq    $0, LII_SIGNE(%rdi)
        je      .Lreturn                /* zero A: remainder 0 */
        cmp     $1, %rsi
        je      .Lreturn                /* d = 1: A is its own quotient */
        mov     %rsi, %r9
        RECIPROCAL .Ltop_word

.Ltop_word:
        mov     LII_MANTISSE(%rdi), %rsi        /* %rsi: d -> A's words */
        mov     LII_INDICEMAX(%rdi), %r10
        mov     (%rsi,%r10,8), %rax
        xor     %edx, %edx              /* remainder carried into the top */
        cmp     %r9, %rax
        jae     .Ldivide
        /* Top word below d: quotient word 0, the word itself carried down. */
        mov     %rax, %rdx
        movq    $0, (%rsi,%r10,8)
        sub     $1, %r10
        mov     %r10, LII_INDICEMAX(%rdi)
        js      .Lbecomes_zero
.Ldivide:
        DIVIDE_WORDS

.Lbecomes_zero:
        movq    $0, LII_SIGNE(%rdi)
        mov     %rdx, %rax
        ret

.Ldivisor_zero:
        mov     $-1, %rax
.Lreturn:
        ret
        .size   divHalfB_R_x86_64_bini, .-divHalfB_R_x86_64_bini

        .section .note.GNU-stack,"",@progbits
