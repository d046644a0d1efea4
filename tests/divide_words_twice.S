/*
 * Expands the shared division twice in one file: every label that its
 * macros define must be unique per expansion, or this fails to assemble.
 * The quotient stores do nothing; only the labels are under test.
 */
.macro QSTORE32 src, p, off
.endm
.macro QSTORE64 src, p
.endm
#define DST_LOW %rdi
#define DST_HIGH %rsi
.macro DST_SETUP
.endm
.macro FOLD_COPY src, off
.endm
.macro SEVEN_COPY_BOTTOM words
.endm
.macro SEVEN_TO_Q reg
.endm

#include "divHalfB_common.inc"

        .text
first_division:
        RECIPROCAL .Lfirst_wide
.Lfirst_wide:
        DIVIDE_WORDS
second_division:
        RECIPROCAL .Lsecond_wide
.Lsecond_wide:
        DIVIDE_WORDS

        .section .note.GNU-stack,"",@progbits
