// The 128-bit integers of the project's own arithmetic: the 64 x 64 -> 128
// products and 128 / 64 quotients that the C++ code forms, and the wide
// counts of the record sizes. One pair, for the library, the calculator, the
// tests and the benchmarks; the kernels do the same in assembly.
#pragma once

__extension__ typedef unsigned __int128 UInt128;
__extension__ typedef __int128 Int128;
