// VEXO_ASSERT(condition): a precondition that the code relies on and that no
// correct caller breaks. In the builds that check them (Debug, and the
// sanitizer builds: CMake defines VEXO_ASSERTIONS there) a false condition
// writes one line naming the file, the line and the condition to standard
// error and aborts. Elsewhere it compiles to nothing: the condition is never
// evaluated, so it must have no effect the code needs.
#pragma once

#include <cstdint>

#include "lfx86_64.h"

#ifdef VEXO_ASSERTIONS

#include <cstdio>
#include <cstdlib>

#ifdef __FILE_NAME__
#define VEXO_ASSERT_FILE __FILE_NAME__
#else
#define VEXO_ASSERT_FILE __FILE__
#endif

// Hidden from a shared library's interface.
#pragma GCC visibility push(hidden)
[[noreturn]] inline void vexo_assertion_failed(const char *file, int line, const char *condition)
{
    std::fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, condition);
    std::abort();
}
#pragma GCC visibility pop

#define VEXO_ASSERT(condition)                                                                               \
    ((condition) ? static_cast<void>(0) : vexo_assertion_failed(VEXO_ASSERT_FILE, __LINE__, #condition))

#else

#define VEXO_ASSERT(condition) static_cast<void>(false && (condition))

#endif

// The part of the record rules that costs O(1) to check: a non-zero record's
// top index lies within its words. A zero record (signe 0) may hold anything
// in its other fields, and the top word itself may be zero right after a
// lost carry, so neither is asserted.
#pragma GCC visibility push(hidden)
inline bool lii_top_index_valid(const Lii *a)
{
    return a->signe == 0 || (a->indiceMax >= 0 && a->indiceMax < a->taille_mantisse);
}
#pragma GCC visibility pop
