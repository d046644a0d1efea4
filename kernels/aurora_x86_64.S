/*
 * aurora_x86_64(int64_t *p)
 *
 * Reads the processor's time-stamp counter and stores it, all 64 bits,
 * in *p. rdtsc delivers the count split in edx (high half) and eax (low
 * half); the halves are joined as edx * 2^32 + eax. No fence or
 * serialising instruction surrounds the read: the library uses the value
 * only to seed randomLii's pseudo-random generator, so a read that drifts
 * by a few instructions does no harm, and a fence would only cost time.
 *
 * Registers: rdi  p (in)
 *            rax  low half, then the whole count
 *            rdx  high half (clobbered)
 *
 * Cost: one rdtsc and one store; rdtsc is the whole of it. Core clock
 * cycles per call (bench/addsubmul_bench's fastest repetition, its thread
 * CPU time times the core clock measured in that same repetition), beside
 * the compiler's inline __rdtsc() in the same runs (GMP has no equivalent
 * routine); these in bench/results/RESULTS.md:
 *   AMD Zen 5 (family 26 model 2)   38.4
 *     __rdtsc()                     38.2
 */
        .text
        .p2align 4
        .globl  aurora_x86_64
        .type   aurora_x86_64,@function
aurora_x86_64:
        rdtsc                   /* edx:eax = counter; upper halves of rax, rdx cleared */
        shlq    $32, %rdx
        orq     %rdx, %rax
        movq    %rax, (%rdi)
        ret
        .size   aurora_x86_64, .-aurora_x86_64

        .section .note.GNU-stack,"",@progbits
