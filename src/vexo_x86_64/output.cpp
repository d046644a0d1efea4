#include "output.h"

#include <cstdarg>
#include <cstdio>

bool print_constant(int64_t base, const Lii *value)
{
    if (base == 2) {
        print_cst_base2_bini(value);
    } else if (base == 10) {
        return print_cst_base10_bini(value) == 0;
    } else {
        print_cst_base16_bini(value);
    }
    return true;
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
