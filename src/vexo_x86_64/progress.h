// A progress line on standard error for long runs on a terminal.
//
// While a series is summed, one line on standard error names it and shows the
// share of the run's work done, the time elapsed and an estimate of the time
// left. It appears only when standard error is a terminal and the run looks
// like taking more than about a second, is redrawn at most four times a
// second, and is erased when each series ends, before the calculator writes
// its duration line. Standard output is never touched: its bytes are the same
// with or without the line.
//
// The work of a term is the length of the record it divides, and that length
// falls about linearly from W words to none as a series goes on, so the share
// of a series done when its record has `length` of its W words in use is
// 1 - (length / W)^2.
#pragma once

#include <cstdint>
#include <cstdio>
#include <ctime>

struct Progress {
    FILE *out;            // the terminal, or null when no line is ever drawn
    const char *series;   // what is being summed, for the line
    double run_start;     // seconds on the monotonic clock
    double last_draw;     // when the line was last drawn (0: never)
    double series_start;  // share of the run done before this series
    double series_weight; // share of the run that this series takes
    int64_t words;        // W: the length the series starts from
    int64_t countdown;    // terms until the clock is read again
    bool shown;           // the line is on the terminal now
    bool long_run;        // the run has shown that it takes more than a second
};

// Sets up the line for a run: active only when standard error is a terminal.
void progress_begin(Progress *p);
// As progress_begin, drawing on `out` whatever it is (for tests).
void progress_begin_on(Progress *p, FILE *out, double now);

// A run that is one series: progress_begin, then that series as the whole.
void progress_begin_series(Progress *p, const char *series, int64_t words);

// A series starts: it takes `weight` of the run, after `done` of it, on
// records of `words` words.
void progress_series(Progress *p, const char *series, double done, double weight, int64_t words);

// Reads the clock and redraws the line when it is due.
void progress_check(Progress *p, int64_t length);

// One term done; `length` is the number of words the series still divides.
// Costs a test, and a decrement when the line is active, but for one term in
// many, where the clock is read.
inline void progress_term(Progress *p, int64_t length)
{
    if (p->out != nullptr && --p->countdown <= 0) {
        progress_check(p, length);
    }
}
// As progress_check, at the time `now` (seconds on the monotonic clock).
void progress_check_at(Progress *p, int64_t length, double now);

// The series has ended: the line is erased, if shown.
void progress_series_end(Progress *p);
