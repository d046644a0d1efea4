#include "output.h"

#include <cstdarg>
#include <cstdio>

uint64_t print_constant(int64_t base, const Lii *value)
{
    const uint64_t result = base == 2    ? print_cst_base2_bini(value)
                            : base == 10 ? print_cst_base10_bini(value)
                                         : print_cst_base16_bini(value);
    if (result == LFX_PRINT_CHECK_FAILED) {
        report_wrong_value("the conversion to radix %ld", base);
    }
    return result;
}

void flush_output()
{
    std::fflush(stdout);
}

void report_wrong_value(const char *where, ...)
{
    std::fflush(stdout);
    std::fputs("vexo_x86_64: the arithmetic check failed in ", stderr);
    va_list args;
    va_start(args, where);
    std::vfprintf(stderr, where, args);
    va_end(args);
    std::fputs(": the computed value is wrong and is not printed; this is probably a hardware fault\n",
               stderr);
}

void report_pi_digits_disagree()
{
    std::fflush(stdout);
    std::fputs(
        "vexo_x86_64: the last digits of pi disagree with the digit-extraction formula: the computed value "
        "is wrong and is not printed\n",
        stderr);
}
