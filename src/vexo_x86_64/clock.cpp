#include "clock.h"

clock_t read_clock()
{
    return times(nullptr);
}

double seconds_between(clock_t start, clock_t end)
{
    return static_cast<double>(end - start) / 100.0;
}
