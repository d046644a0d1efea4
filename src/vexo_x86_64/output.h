// What the calculators write besides their own lines: the value in its radix,
// the flush of standard output, and the one line of a failed check.
#pragma once

#include <cstdint>

#include "lfx86_64.h"

// Prints the value with the constant printer of the radix and returns its
// result (LFX_PRINTED, LFX_PRINT_NO_MEMORY or LFX_PRINT_CHECK_FAILED). A
// failed check has nothing printed and gets the failure line that names
// the conversion to the radix.
uint64_t print_constant(int64_t base, const Lii *value);

// Hands what has been printed so far to the system, so that a reader at the
// other end of a pipe sees a run's banner and durations as they come.
void flush_output();

// The one line, on standard error, of a check that failed where the printf
// format `where` says (a series, or a step such as a final scaling).
void report_wrong_value(const char *where, ...) __attribute__((format(printf, 1, 2)));

// The one line of pi's last digits found to disagree with the
// digit-extraction formula.
void report_pi_digits_disagree();
