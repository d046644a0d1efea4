// The four pi formula routines behind one signature (Newton's returns a
// 64-bit result, the other three a 32-bit one), indexed by formula number - 1.
#pragma once

#include <cstdint>

#include "lfx86_64.h"

using PiFormula = int64_t (*)(Lii *p, int64_t words);
extern const PiFormula kPiFormulas[4];
