/*
 * uint64_t mulB_R_x86_64_bini(Lii *A, uint64_t f)
 *
 * A := A * f on the magnitude (words 0..indiceMax, least significant
 * first). Returns the top word of the product when it did not fit in A's
 * taille_mantisse words, else 0. A zero A is left untouched; f = 0 only
 * sets signe to 0.
 *
 * mul clobbers the flags, so the carry cannot stay in CF from one word to
 * the next. The words are taken four at a time: each product's low word is
 * stored over its source word at once and its high word kept (the last
 * one in rdx); then one add/adc chain, straight into memory, folds the
 * incoming carry word and each high word into the next low word, and
 * adc $0 turns the last high word into the outgoing carry word. The n mod 4
 * leading words go first, one at a time.
 *
 * That chain, five dependent steps per four words, is what bounds one pass.
 * From kTwoChains words on, the top 8k words (k = floor(n / 8)) are cut
 * into two halves of 4k that run as two independent chains in one loop, the
 * lower one carrying on from the leading words and the upper one starting
 * from a zero carry word. The lower chain's last carry word is then added
 * into the upper half's bottom word; the rare carry out of that addition
 * ripples up the upper half and, if it leaves it, adds one to the upper
 * chain's carry word (which stays below f, so this cannot wrap). Each half
 * is kept at least 256 bytes away from a multiple of 4096 bytes from the
 * other: loads of one half would otherwise wait on stores to the other
 * whose addresses share their low 12 bits. k moves down by 16 when needed,
 * and the words it frees join the leading words of the one chain. The
 * two-chain path runs its n - 8k leading words through its own copy of the
 * one-chain loops (the same macros): they go on into the halves where the
 * one-chain loops go to the tail, so neither path tests which one it
 * serves.
 *
 * A non-zero final carry becomes the new top word when A has room. No
 * stack is used: rdi (A) waits in xmm0 while it serves as a high word, and
 * the two-chain path keeps the callee-saved r12 and r13 in xmm1 and xmm2.
 *
 * Registers: rsi = f, r8 = end of the words of the chain being run (of
 * the lower half in the two-chain loop), r12 = end of the upper half (k,
 * then the half length, before that), r9 = negative word index (n before
 * that), r10 = carry word (r13 for the upper half), rax/rdx = mul,
 * rcx/r11/rdi = high words of the first three products of a group, r11
 * also the count of leading words.
 *
 * Cycles per word, in place (bench/addsubmul_bench's fastest repetition:
 * its thread CPU time times the core clock measured in that same
 * repetition, bench/core_clock.h), with GMP 6.2.1's mpn_mul_1 in the same
 * runs; these and the ratios in bench/results/RESULTS.md:
 *   words                            4      16      64    1024   65536
 *   AMD Zen 5 (family 26 model 2)   2.08    1.95    1.32    1.13    1.08
 *     mpn_mul_1                     2.03    2.06    1.94    2.31    2.35
 *   Zen 3                           0.38    0.09    0.02    0.00    0.00
 *     mpn_mul_1                     0.75    0.19    0.05    0.00    0.00
 *   Zen 4                           0.38    0.09    0.02    0.00    0.00
 *     mpn_mul_1                     0.75    0.19    0.05    0.00    0.00
 */
#include "lii_layout.h"

#define kTwoChains 128  /* words from which the two-chain path runs */

/* One word at (%r8,%r9,8) times f, plus the carry word r10. */
.macro  mul_word
        mov     (%r8,%r9,8), %rax
        mul     %rsi
        add     %r10, %rax
        adc     $0, %rdx
        mov     %rax, (%r8,%r9,8)
        mov     %rdx, %r10
.endm

/* Four words from (%end,%r9,8) times f, with the carry word in carry. */
.macro  mul_four end, carry
        mov     (%\end,%r9,8), %rax
        mul     %rsi
        mov     %rax, (%\end,%r9,8)
        mov     %rdx, %rcx              /* h0 */
        mov     8(%\end,%r9,8), %rax
        mul     %rsi
        mov     %rax, 8(%\end,%r9,8)
        mov     %rdx, %r11              /* h1 */
        mov     16(%\end,%r9,8), %rax
        mul     %rsi
        mov     %rax, 16(%\end,%r9,8)
        mov     %rdx, %rdi              /* h2 */
        mov     24(%\end,%r9,8), %rax
        mul     %rsi
        mov     %rax, 24(%\end,%r9,8)   /* h3 stays in rdx */
        add     %\carry, (%\end,%r9,8)
        adc     %rcx, 8(%\end,%r9,8)
        adc     %r11, 16(%\end,%r9,8)
        adc     %rdi, 24(%\end,%r9,8)
        adc     $0, %rdx
        mov     %rdx, %\carry
.endm

        .text
        /* A cache line of its own to start from, so that where the linker
         * puts the object never moves a loop across a line boundary: the
         * loops inside are aligned relative to this entry. */
        .p2align 6
        .globl  mulB_R_x86_64_bini
        .type   mulB_R_x86_64_bini, @function
mulB_R_x86_64_bini:
        xor     %eax, %eax
        cmpq    $0, LII_SIGNE(%rdi)
        je      .Lret                   /* A zero: nothing changes */
        test    %rsi, %rsi
        jz      .Lfactor_zero
        mov     LII_INDICEMAX(%rdi), %r9
        mov     LII_MANTISSE(%rdi), %r8
        inc     %r9                     /* n */
        xor     %r10d, %r10d            /* carry word */
        cmp     $kTwoChains, %r9
        jae     .Ltwo_chains
        lea     (%r8,%r9,8), %r8        /* end of the words */
        mov     %r9, %r11
        neg     %r9                     /* index of word 0 from the end */
        and     $3, %r11
        jz      .Lgroups
.Lleading_word:                         /* the n mod 4 leading words */
        mul_word
        inc     %r9
        dec     %r11
        jnz     .Lleading_word
        test    %r9, %r9
        jz      .Ltail
.Lgroups:
        movq    %rdi, %xmm0
        .p2align 4
.Lloop:
        mul_four r8, r10
        add     $4, %r9
        jnz     .Lloop
        movq    %xmm0, %rdi

.Ltail:                                 /* r8 = &A[indiceMax + 1] */
        xor     %eax, %eax
        test    %r10, %r10
        jz      .Lret
        mov     LII_INDICEMAX(%rdi), %rdx
        inc     %rdx                    /* the word above the top */
        cmp     LII_TAILLE_MANTISSE(%rdi), %rdx
        je      .Ltop_word_lost
        mov     %r10, (%r8)             /* written outright over a stale word */
        mov     %rdx, LII_INDICEMAX(%rdi)
        ret
.Ltop_word_lost:                        /* indiceMax stays at the last word */
        mov     %r10, %rax
        ret
.Lfactor_zero:
        movq    $0, LII_SIGNE(%rdi)
.Lret:
        ret

.Ltwo_chains:
        movq    %rdi, %xmm0
        movq    %r12, %xmm1
        movq    %r13, %xmm2
        mov     %r9, %r12
        shr     $3, %r12                /* k */
        lea     8(%r12), %rax
        and     $127, %eax
        cmp     $16, %eax               /* 32k within 256 bytes of a multiple of 4096 */
        jae     .Lhalves_apart
        sub     $16, %r12
.Lhalves_apart:
        shl     $2, %r12                /* 4k, the length of each half */
        lea     (%r12,%r12), %rax
        sub     %rax, %r9               /* leading words, n - 8k */
        lea     (%r8,%r9,8), %r8        /* end of the leading words */
        mov     %r9, %r11
        neg     %r9
        and     $3, %r11
        jz      .Lleading_groups
.Lleading_word_2:
        mul_word
        inc     %r9
        dec     %r11
        jnz     .Lleading_word_2
.Lleading_groups:
        test    %r9, %r9
        jz      .Lhalves_start
.Lleading_loop:
        mul_four r8, r10
        add     $4, %r9
        jnz     .Lleading_loop
.Lhalves_start:
        mov     %r12, %r9
        neg     %r9
        lea     (%r8,%r12,8), %r8       /* end of the lower half */
        lea     (%r8,%r12,8), %r12      /* end of the upper half and of A */
        xor     %r13d, %r13d            /* the upper chain's carry word */
        .p2align 4
.Lhalves:
        mul_four r8, r10
        mul_four r12, r13
        add     $4, %r9
        jnz     .Lhalves

        add     %r10, (%r8)             /* the lower chain's carry word */
        jnc     .Lseam_done
        lea     8(%r8), %rax
.Lseam_carry:                           /* ripple the carry up the upper half */
        cmp     %r12, %rax
        je      .Lseam_carry_out
        addq    $1, (%rax)
        lea     8(%rax), %rax
        jc      .Lseam_carry
        jmp     .Lseam_done
.Lseam_carry_out:
        inc     %r13
.Lseam_done:
        mov     %r13, %r10
        mov     %r12, %r8
        movq    %xmm0, %rdi
        movq    %xmm1, %r12
        movq    %xmm2, %r13
        jmp     .Ltail
        .size   mulB_R_x86_64_bini, .-mulB_R_x86_64_bini

        .section .note.GNU-stack,"",@progbits
