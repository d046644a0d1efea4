// A calloc that a test can make fail. Programs that link failing_calloc.cpp
// are linked with -Wl,--wrap=calloc, so every calloc of the library and the
// calculators goes through __wrap_calloc.
#pragma once

// From now on, count the calls to calloc; the k-th one (k >= 1) returns null.
// k = 0 disarms: every call goes to the real calloc.
void failing_calloc_fail_at(long k);
// Number of calloc calls since the last failing_calloc_fail_at.
long failing_calloc_calls();
