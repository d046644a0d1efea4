#include "failing_calloc.h"

#include <cstddef>

extern "C" void *__real_calloc(size_t count, size_t size);

namespace {
long fail_at = 0;
long calls = 0;
} // namespace

void failing_calloc_fail_at(long k)
{
    fail_at = k;
    calls = 0;
}

long failing_calloc_calls()
{
    return calls;
}

extern "C" void *__wrap_calloc(size_t count, size_t size)
{
    ++calls;
    if (fail_at > 0 && calls == fail_at) {
        return nullptr;
    }
    return __real_calloc(count, size);
}
