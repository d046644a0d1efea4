/*
 * divHalfB_x86_64_bini(Lii *Q, const Lii *A, uint64_t d) -> A mod d
 *
 * Q := floor(A / d), A only read; words 0..A.indiceMax, most significant
 * first. Returns the remainder. Q's words above A.indiceMax keep what they
 * held; Q.taille_mantisse is never read. Q may be A itself.
 *
 *   d == 0         Q and A untouched, returns 2^64-1
 *   A.signe == 0   Q.signe 0, Q.indiceMax -1 (words and aux untouched),
 *                  returns 0
 *   d == 1         no division: Q gets A's signe, aux, indiceMax and words
 *                  0..indiceMax, returns 0
 *   top word < d   Q's word at A.indiceMax is 0 and Q.indiceMax is one
 *                  less (never two less: the word carried down, A's top
 *                  word, is non-zero, so the next quotient word is
 *                  >= 2^64/d >= 1); a quotient of nothing makes Q.signe 0,
 *                  Q.indiceMax -1, Q.aux kept
 *   otherwise      Q.indiceMax set, A's signe and aux copied into Q
 *   2 <= d < 2^32  reciprocal and half-steps, one div per call
 *   d >= 2^32      one hardware div per word (remainder < d, so every
 *                  quotient fits a word)
 *
 * The division itself is in divHalfB_common.inc (the reciprocal, the
 * half-step and its chain, the remainder pass) and the files it includes:
 * fewer than 16 words divided (a top word below d is not) run one chain of
 * half-steps; from 16 words on, a remainder pass gives the remainder
 * entering each of four segments (six from 48 words on, seven chains with
 * a shorter half-step from 56 on, divHalfB_seven.inc) and the chains run
 * side by side. A quotient goes to Q's word of the same index as the
 * dividend word, at the dividend's address plus the distance between the
 * two arrays (zero when Q is A, which is then divided in place). Seven
 * chains leave no register for that distance: there the remainder pass
 * copies A's words into Q, and the chains divide Q in place.
 *
 * divHalfB_seven.inc counts the ALU operations per word of the seven
 * chains beside those of six segments (about 14.6 against 21.1): fewer,
 * with no more multiplies, so a core bound by its ALUs or its multiplier
 * (Zen 3 and 4) gets no slower.
 *
 * Registers: rdi Q, rsi A then A's words, r9 d (then D = d << 32, then
 * Q's low pointer in the four- and six-segment loop), r8 m, cl l, r10 the
 * index of the top word divided, rdx the remainder carried into it, r11
 * Q's words minus A's (then Q's high pointer in the four- and six-segment
 * loop); the segmented paths save and use rbx, rbp, r12-r15, a stack frame
 * below them and, to copy, xmm0.
 *
 * Cycles per word, d = 7, into another record (bench/div_bench's fastest
 * repetition: its thread CPU time per word times the core clock measured
 * in that same repetition, bench/core_clock.h), with GMP 6.2.1's
 * mpn_divrem_1 into another array in the same runs; these and the ratios
 * in bench/results/RESULTS.md.
 * From 56 words on, the divisor's class picks the seven chains' half-step
 * (no shift below 2^16, the add kept for the few above 2^31 that fail the
 * entry check, divHalfB_seven.inc); the other divisors of the bench
 * (25, 57121, 384199201, 2^32-1) are in bench/results/RESULTS.md.
 *   words                            4      16      64    1024   65536
 *   AMD Zen 5 (family 26 model 2)   11.7    12.4     6.1     4.1     4.1
 *     mpn_divrem_1                  12.9    11.2    11.3    11.3    11.4
 */
#include "lii_layout.h"

/* Into Q: %r11 holds Q's word array minus A's, so a quotient goes to the
 * word of Q at the index of the word of A it comes from. */
.macro QSTORE32 src, p, off
        movl    \src, \off(\p,%r11)
.endm
.macro QSTORE64 src, p
        mov     \src, (\p,%r11)
.endm
/* The segmented loop's two Q pointers: the dividend's two plus the
 * distance between the arrays. They take the registers of D and of that
 * distance, so DST_SETUP must follow the last use of both (SEG_START's
 * half-steps, QSTORE32): earlier, the quotients come out wrong. */
#define DST_LOW %r9
#define DST_HIGH %r11
.macro DST_SETUP
        lea     (%rdi,%r11), %r9        /* %r9: D -> Q's low pointer */
        add     %rsi, %r11              /* %r11: Q - A -> Q's high pointer */
.endm
/* The seven-chain loop divides in place, in Q: its remainder pass copies
 * each word it reads from A (at off(%rdi)) to the same index of Q, and
 * SEVEN_COPY_BOTTOM the \words words from %rdi down that it does not read,
 * 16 bytes at a time (SSE2, part of every x86-64; %rax, %rbp, %rdx and
 * %xmm0 free); SEVEN_TO_Q then turns an address in A into the address of
 * the same word of Q. */
.macro FOLD_COPY src, off
        mov     \src, \off(%rdi,%r11)
.endm
.macro SEVEN_COPY_BOTTOM words
        lea     8(%rdi), %rax
        mov     \words, %rbp
        shl     $3, %rbp
        sub     %rbp, %rax              /* the lowest word */
        test    $8, %bpl
        jz      .Lcopy_pairs\@
        mov     (%rax), %rdx
        mov     %rdx, (%rax,%r11)
        add     $8, %rax
        sub     $8, %rbp
.Lcopy_pairs\@:
        movups  (%rax), %xmm0
        movups  %xmm0, (%rax,%r11)
        add     $16, %rax
        sub     $16, %rbp
        jnz     .Lcopy_pairs\@
.endm
.macro SEVEN_TO_Q reg
        add     %r11, \reg
.endm

#include "divHalfB_common.inc"

        .text
        /* A cache line to start from, so that where the linker puts the
         * object never moves a loop across a line boundary (the loops inside
         * are aligned relative to the entry), then half a line of padding:
         * the entry 32 bytes past a line puts the segmented loops 48 bytes
         * past one, where whole runs of pi take less time on Zen 3
         * (family 25) than with the loops 16 bytes past one
         * (bench/results/RESULTS.md). */
        .p2align 6
        .skip   32, 0x90
        .globl  divHalfB_x86_64_bini
        .type   divHalfB_x86_64_bini,@function
divHalfB_x86_64_bini:
        mov     %rdx, %r9
        test    %r9, %r9
        jz      .Ldivisor_zero
        cmpq    $0, LII_SIGNE(%rsi)
        je      .Ldividend_zero
        cmp     $1, %r9
        je      .Lcopy
        RECIPROCAL .Lfields

.Lfields:
        mov     LII_MANTISSE(%rdi), %r11
        mov     LII_INDICEMAX(%rsi), %r10
        mov     LII_MANTISSE(%rsi), %rax
        mov     (%rax,%r10,8), %rdx
        sub     %rax, %r11              /* Q's words - A's words */
        cmp     %r9, %rdx
        jae     .Ltop_quotient_nonzero
        /* Top word below d: Q's word there is 0, A's word carried down. */
        add     %r11, %rax
        movq    $0, (%rax,%r10,8)
        sub     $1, %r10
        js      .Lquotient_zero
        jmp     .Lcopy_fields
.Ltop_quotient_nonzero:
        xor     %edx, %edx              /* remainder carried into the top */
.Lcopy_fields:
        mov     %r10, LII_INDICEMAX(%rdi)
        mov     LII_SIGNE(%rsi), %rax
        mov     %rax, LII_SIGNE(%rdi)
        mov     LII_AUX(%rsi), %rax
        mov     %rax, LII_AUX(%rdi)
        mov     LII_MANTISSE(%rsi), %rsi        /* %rsi: A -> A's words */
        cmp     $1, %r9
        je      .Lcopy_words
        DIVIDE_WORDS

        /* Zero quotient: Q.aux and Q's words (but a top word cleared above)
         * stay as they were. */
.Ldividend_zero:
        xor     %edx, %edx
.Lquotient_zero:
        movq    $-1, LII_INDICEMAX(%rdi)
        movq    $0, LII_SIGNE(%rdi)
        mov     %rdx, %rax
        ret

        /* d = 1: Q becomes a copy of A's value. */
.Lcopy:
        mov     LII_INDICEMAX(%rsi), %r10
        jmp     .Lcopy_fields
.Lcopy_words:
        mov     LII_MANTISSE(%rdi), %r8
.Lcopy_word:
        mov     (%rsi,%r10,8), %rax
        mov     %rax, (%r8,%r10,8)
        sub     $1, %r10
        jns     .Lcopy_word
        xor     %eax, %eax
        ret

.Ldivisor_zero:
        mov     $-1, %rax
        ret
        .size   divHalfB_x86_64_bini, .-divHalfB_x86_64_bini

        .section .note.GNU-stack,"",@progbits
