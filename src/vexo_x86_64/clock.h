// The clock of every printed duration: elapsed ticks of times(), taken as
// 100 per second.
#pragma once

#include <sys/times.h>

#include <ctime>

clock_t read_clock();
double seconds_between(clock_t start, clock_t end);
