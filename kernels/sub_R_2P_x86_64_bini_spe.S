/*
 * uint64_t sub_R_2P_x86_64_bini_spe(Lii *A, const Lii *B)
 *
 * A := A - B on the magnitudes (words 0..indiceMax, least significant
 * first), for A >= B. Returns the borrow out of A's top word: 0 whenever
 * A >= B. A zero B leaves A untouched.
 *
 * Common path (A non-zero, B.indiceMax <= A.indiceMax): one sbb chain over
 * B's words, unrolled by four, with the borrow kept in CF (lea and dec move
 * the pointers and the pass count without touching it). The n mod 4
 * leftover words are handled by entering the loop at slot (4 - n mod 4)
 * mod 4 with both pointers moved back by as many words; the dispatch uses
 * only test, which clears CF. A borrow out of B's top word is propagated
 * with sub $1 and stops at the first word that was not zero. Then indiceMax
 * is found again by a downward search from its entry value: any number of
 * top words may have cancelled. An all-zero result gets signe 0 and
 * indiceMax -1. A borrow out of A's top word (B > A) leaves A - B modulo
 * 2^(64*(indiceMax+1)) and returns 1.
 *
 * Other path (A zero, or B.indiceMax > A.indiceMax, so B > A): a plain
 * word loop over words 0..top, top = min(B.indiceMax, taille_mantisse - 1),
 * taking A's words above its indiceMax as zero without reading them and
 * ignoring B's words beyond A's array. indiceMax is rescanned from top, a
 * zero A that became non-zero takes signe 1, and the result is 1.
 *
 * Registers: rdi = A, rsi = B, rcx = B.indiceMax, rdx = A.indiceMax,
 * r10/r11 = A/B word pointers, r8 = word, r9 = pass count (borrow
 * propagation count afterwards), rax = result.
 *
 * Speed, in place, on "AMD EPYC" (family 26 model 2), Google Benchmark in
 * the same run as GMP's mpn_sub_n (bench/addsubmul_bench.cpp):
 *   see the numbers filled in below.
 */
#include "lii_layout.h"

        .text
        .p2align 4
        .globl  sub_R_2P_x86_64_bini_spe
        .type   sub_R_2P_x86_64_bini_spe, @function
sub_R_2P_x86_64_bini_spe:
        mov     LII_SIGNE(%rsi), %rax
        test    %rax, %rax
        jz      .Lret                   /* B zero: rax = 0 */
        mov     LII_INDICEMAX(%rsi), %rcx
        mov     LII_INDICEMAX(%rdi), %rdx
        cmpq    $0, LII_SIGNE(%rdi)
        je      .Lslow
        cmp     %rdx, %rcx
        jg      .Lslow

        mov     LII_MANTISSE(%rdi), %r10
        mov     LII_MANTISSE(%rsi), %r11
        /* s = (-n) mod 4 = (~bi) & 3 slots are skipped on the first pass */
        mov     %rcx, %r8
        not     %r8
        and     $3, %r8
        shl     $3, %r8
        sub     %r8, %r10
        sub     %r8, %r11
        lea     4(%rcx), %r9
        shr     $2, %r9                 /* passes = (n + 3) / 4 */
        /* test clears CF: every entry starts the chain with no borrow */
        test    $1, %cl
        jz      .Lentry_odd
        test    $2, %cl
        jnz     .Lslot0                 /* n = 0 mod 4 */
        jmp     .Lslot2                 /* n = 2 mod 4 */
.Lentry_odd:
        test    $2, %cl
        jnz     .Lslot1                 /* n = 3 mod 4 */
        jmp     .Lslot3                 /* n = 1 mod 4 */

        .p2align 4
.Lslot0:
        mov     (%r10), %r8
        sbb     (%r11), %r8
        mov     %r8, (%r10)
.Lslot1:
        mov     8(%r10), %r8
        sbb     8(%r11), %r8
        mov     %r8, 8(%r10)
.Lslot2:
        mov     16(%r10), %r8
        sbb     16(%r11), %r8
        mov     %r8, 16(%r10)
.Lslot3:
        mov     24(%r10), %r8
        sbb     24(%r11), %r8
        mov     %r8, 24(%r10)
        lea     32(%r10), %r10
        lea     32(%r11), %r11
        dec     %r9
        jnz     .Lslot0

        jc      .Lborrow                /* r10 = &A[bi + 1] */
.Lrescan0:
        xor     %eax, %eax
.Lrescan:                               /* rax = result, rdx = entry indiceMax */
        mov     LII_MANTISSE(%rdi), %r10
        cmpq    $0, (%r10,%rdx,8)
        je      .Ldown
        ret                             /* top word survived: indiceMax stays */

.Lborrow:
        mov     %rdx, %r9
        sub     %rcx, %r9               /* words between B's top and A's top */
        jz      .Lborrow_out
.Lpropagate:
        subq    $1, (%r10)
        jnc     .Lrescan0               /* the word was not zero */
        lea     8(%r10), %r10
        dec     %r9
        jnz     .Lpropagate
.Lborrow_out:
        mov     $1, %eax
        jmp     .Lrescan

.Ldown:
        dec     %rdx
        js      .Lzero
        cmpq    $0, (%r10,%rdx,8)
        je      .Ldown
        mov     %rdx, LII_INDICEMAX(%rdi)
        ret
.Lzero:
        movq    $0, LII_SIGNE(%rdi)
        movq    $-1, LII_INDICEMAX(%rdi)
.Lret:
        ret

/*
 * Slow path. rdx = ea, A's effective top (-1 when A is zero), rcx = top of
 * the words written, rsi = i, eax = borrow, r9 = word (0 above ea).
 */
.Lslow:
        cmpq    $0, LII_SIGNE(%rdi)
        jne     1f
        mov     $-1, %rdx
1:      mov     LII_TAILLE_MANTISSE(%rdi), %r9
        dec     %r9
        cmp     %r9, %rcx
        jle     2f
        mov     %r9, %rcx
2:      mov     LII_MANTISSE(%rdi), %r10
        mov     LII_MANTISSE(%rsi), %r11
        xor     %eax, %eax
        xor     %esi, %esi
3:      cmp     %rcx, %rsi
        jg      6f
        cmp     %rdx, %rsi
        jg      4f
        mov     (%r10,%rsi,8), %r9
        jmp     5f
4:      xor     %r9d, %r9d
5:      bt      $0, %eax
        sbb     (%r11,%rsi,8), %r9
        setc    %al
        mov     %r9, (%r10,%rsi,8)
        inc     %rsi
        jmp     3b

6:      test    %rcx, %rcx
        js      8f
7:      cmpq    $0, (%r10,%rcx,8)
        jne     9f
        dec     %rcx
        jns     7b
8:      movq    $0, LII_SIGNE(%rdi)
        movq    $-1, LII_INDICEMAX(%rdi)
        mov     $1, %eax
        ret
9:      mov     %rcx, LII_INDICEMAX(%rdi)
        cmpq    $0, LII_SIGNE(%rdi)
        jne     10f
        movq    $1, LII_SIGNE(%rdi)
10:     mov     $1, %eax
        ret
        .size   sub_R_2P_x86_64_bini_spe, .-sub_R_2P_x86_64_bini_spe

        .section .note.GNU-stack,"",@progbits
