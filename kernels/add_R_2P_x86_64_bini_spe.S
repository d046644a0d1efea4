/*
 * uint64_t add_R_2P_x86_64_bini_spe(Lii *A, const Lii *B)
 *
 * A := A + B on the magnitudes (words 0..indiceMax, least significant
 * first). Returns 1 when something was lost past A's last allocated word,
 * else 0. A zero B leaves A untouched.
 *
 * Common path (A non-zero, B.indiceMax <= A.indiceMax): one adc chain over
 * B's words, unrolled by four. The carry stays in CF for the whole loop:
 * pointers move with lea and the pass count with dec, neither of which
 * touches CF. The n mod 4 leftover words are handled by entering the loop
 * at slot (4 - n mod 4) mod 4, with both pointers moved back by as many
 * words; the dispatch uses only test, which leaves CF clear. A carry out of
 * B's top word is propagated with add $1 and stops at the first word that
 * absorbs it; past A's top word it becomes a new top word 1, or is lost
 * (result 1) when A has no room.
 *
 * Other path (A zero, or B.indiceMax > A.indiceMax): a plain word loop that
 * forms the exact sum, taking A's words above its indiceMax as zero (all of
 * them when A is zero) without reading them. B's words beyond A's
 * taille_mantisse and a carry out of A's last word are lost (result 1).
 * indiceMax is then rescanned; a zero A that became non-zero takes signe 1,
 * a result truncated to zero gets signe 0 and indiceMax -1.
 *
 * Registers: rdi = A, rsi = B, rcx = B.indiceMax, rdx = A.indiceMax,
 * r10/r11 = A/B word pointers, r8 = word, r9 = pass count (carry
 * propagation count afterwards), rax = result.
 *
 * Speed, in place, on "AMD EPYC" (family 26 model 2), Google Benchmark in
 * the same run as GMP's mpn_add_n (bench/addsubmul_bench.cpp):
 *   see the numbers filled in below.
 */
#include "lii_layout.h"

        .text
        .p2align 4
        .globl  add_R_2P_x86_64_bini_spe
        .type   add_R_2P_x86_64_bini_spe, @function
add_R_2P_x86_64_bini_spe:
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
        /* test clears CF: every entry starts the chain with no carry */
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
        adc     (%r11), %r8
        mov     %r8, (%r10)
.Lslot1:
        mov     8(%r10), %r8
        adc     8(%r11), %r8
        mov     %r8, 8(%r10)
.Lslot2:
        mov     16(%r10), %r8
        adc     16(%r11), %r8
        mov     %r8, 16(%r10)
.Lslot3:
        mov     24(%r10), %r8
        adc     24(%r11), %r8
        mov     %r8, 24(%r10)
        lea     32(%r10), %r10
        lea     32(%r11), %r11
        dec     %r9
        jnz     .Lslot0

        jc      .Lcarry                 /* r10 = &A[bi + 1] */
.Lret0:
        xor     %eax, %eax
.Lret:
        ret

.Lcarry:
        mov     %rdx, %r9
        sub     %rcx, %r9               /* words between B's top and A's top */
        jz      .Lgrow
.Lpropagate:
        addq    $1, (%r10)
        jnc     .Lret0                  /* absorbed */
        lea     8(%r10), %r10
        dec     %r9
        jnz     .Lpropagate
.Lgrow:                                 /* r10 = &A[ai + 1] */
        mov     LII_TAILLE_MANTISSE(%rdi), %rax
        dec     %rax
        cmp     %rdx, %rax
        je      .Llost
        inc     %rdx
        mov     %rdx, LII_INDICEMAX(%rdi)
        movq    $1, (%r10)
        xor     %eax, %eax
        ret
.Llost:
        mov     $1, %eax
        ret

/*
 * Slow path. rdx = ea, A's effective top (-1 when A is zero), rcx = top of
 * the words written, r8 = 0 (room above top), 1 (B's words lost) or 2 (top
 * is A's last word), rsi = i, eax = carry, r9 = word.
 */
.Lslow:
        cmpq    $0, LII_SIGNE(%rdi)
        jne     1f
        mov     $-1, %rdx
1:      mov     LII_TAILLE_MANTISSE(%rdi), %r9
        dec     %r9
        xor     %r8d, %r8d
        cmp     %r9, %rcx
        jl      2f
        mov     $2, %r8d
        je      2f
        mov     %r9, %rcx
        mov     $1, %r8d
2:      mov     LII_MANTISSE(%rdi), %r10
        mov     LII_MANTISSE(%rsi), %r11
        xor     %eax, %eax
        xor     %esi, %esi
3:      cmp     %rcx, %rsi
        jg      6f
        mov     (%r11,%rsi,8), %r9
        cmp     %rdx, %rsi
        jg      4f
        bt      $0, %eax
        adc     (%r10,%rsi,8), %r9
        jmp     5f
4:      bt      $0, %eax
        adc     $0, %r9
5:      setc    %al
        mov     %r9, (%r10,%rsi,8)
        inc     %rsi
        jmp     3b

6:      test    %eax, %eax              /* rsi = top + 1 */
        jz      7f
        test    %r8, %r8
        jnz     8f
        movq    $1, (%r10,%rsi,8)
        mov     %rsi, %rcx
        jmp     9f
8:      mov     $1, %r8d
        jmp     9f
7:      cmp     $2, %r8
        jne     9f
        xor     %r8d, %r8d

9:      test    %rcx, %rcx
        js      11f
10:     cmpq    $0, (%r10,%rcx,8)
        jne     12f
        dec     %rcx
        jns     10b
11:     movq    $0, LII_SIGNE(%rdi)
        movq    $-1, LII_INDICEMAX(%rdi)
        mov     %r8, %rax
        ret
12:     mov     %rcx, LII_INDICEMAX(%rdi)
        cmpq    $0, LII_SIGNE(%rdi)
        jne     13f
        movq    $1, LII_SIGNE(%rdi)
13:     mov     %r8, %rax
        ret
        .size   add_R_2P_x86_64_bini_spe, .-add_R_2P_x86_64_bini_spe

        .section .note.GNU-stack,"",@progbits
