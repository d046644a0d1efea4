/*
 * Field offsets of the number records Li and Lii.
 *
 * This is the one place where the records and the assembly kernels meet:
 * the kernels include this file (through the C preprocessor of the .S files)
 * and never spell an offset themselves; lfx86_64.h checks every value below
 * against the real structs with static_assert (C++) or _Static_assert (C11
 * and later; a C99 compiler, which has no _Static_assert, compiles the
 * header without the checks).
 *
 * Every field is 64 bits wide, in this order:
 *   signe, taille_mantisse, mantisse, aux   (Li)
 *   signe, taille_mantisse, mantisse, aux, indiceMax   (Lii)
 */
#ifndef LII_LAYOUT_H
#define LII_LAYOUT_H

#define LI_SIGNE 0
#define LI_TAILLE_MANTISSE 8
#define LI_MANTISSE 16
#define LI_AUX 24
#define LI_SIZE 32

#define LII_SIGNE 0
#define LII_TAILLE_MANTISSE 8
#define LII_MANTISSE 16
#define LII_AUX 24
#define LII_INDICEMAX 32
#define LII_SIZE 40

#endif
