// Small pieces that every calculator uses: record creation, record sizes,
// the clock, the printer of the radix and the flush of standard output.
#include <cstdarg>
#include <cstdio>

#include "vexo.h"

bool create_records(Lii *const *records, int count, int64_t words, const char *out_of_memory_line)
{
    for (int r = 0; r < count; ++r) {
        createLii(records[r], words);
        if (records[r]->mantisse == nullptr) {
            std::puts(out_of_memory_line);
            for (int done = 0; done < r; ++done) {
                destroyLii(records[done]);
            }
            return false;
        }
    }
    return true;
}

bool radix_served(int64_t base)
{
    return base == 2 || base == 10 || base == 16;
}

int64_t record_words(int64_t base, int64_t Nb_decimales, int64_t extra_words_base2)
{
    if (base == 2) {
        return Nb_decimales / 64 + extra_words_base2;
    }
    if (base == 16) {
        return Nb_decimales / 16 + 4;
    }
    if (base == 10) {
        const Int128 bits = Int128{Nb_decimales} * kLog2TenNumerator;
        return static_cast<int64_t>(bits / (Int128{kLog2TenDenominator} * 64)) + 4;
    }
    return 0;
}

clock_t read_clock()
{
    return times(nullptr);
}

double seconds_between(clock_t start, clock_t end)
{
    return static_cast<double>(end - start) / 100.0;
}

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
