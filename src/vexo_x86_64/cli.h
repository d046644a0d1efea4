// The command line: vexo_x86_64 n cst radix [method].
#pragma once

// The usage text, with prog as the program name.
void printError(const char *prog);

// The whole program: validates the words and runs one calculator. Returns the
// exit status: 0 done, 1 usage text printed, 2 the calculator failed or the
// output could not be written, 3 the computed value failed its check.
int vexo_main(int argc, char **argv);

enum Constant { kPi, kE, kSqrt2, kInvSqrt2, kUnknown };

// The constant that a word names; the whole word must match, so "pi2", "Pi"
// and "p" are no constant.
Constant read_constant(const char *word);
