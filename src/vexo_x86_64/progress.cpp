// The progress line of long runs on a terminal (see progress.h).
#include "progress.h"

#include <unistd.h>

namespace {

// Terms between two readings of the clock: a few microseconds of work at
// the least, for a clock read of a few tens of nanoseconds.
constexpr int64_t kTermsPerCheck = 64;
// The line waits this long before it judges the run, and is redrawn at most
// this often.
constexpr double kFirstLook = 0.3;
constexpr double kRedrawPeriod = 0.25;
// Runs estimated at more than this many seconds get the line.
constexpr double kLongRun = 1.0;

double monotonic_seconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// m:ss, or h:mm:ss from an hour on, in whole seconds.
void format_time(char *text, size_t size, double seconds)
{
    const auto whole = static_cast<long>(seconds);
    if (whole >= 3600) {
        std::snprintf(text, size, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    } else {
        std::snprintf(text, size, "%ld:%02ld", whole / 60, whole % 60);
    }
}

double share_done(const Progress *p, int64_t length)
{
    const double left = p->words > 0 ? static_cast<double>(length) / static_cast<double>(p->words) : 0.0;
    const double in_series = left >= 1.0 ? 0.0 : 1.0 - left * left;
    return p->series_start + p->series_weight * in_series;
}

void draw(Progress *p, double share, double elapsed)
{
    char spent[32];
    char left[32];
    format_time(spent, sizeof spent, elapsed);
    format_time(left, sizeof left, share > 0.0 ? elapsed / share - elapsed : 0.0);
    std::fprintf(p->out, "\r %s: %3d %% done, %s elapsed, about %s left\033[K", p->series,
                 static_cast<int>(100.0 * share), spent, left);
    std::fflush(p->out);
    p->shown = true;
}

} // namespace

void progress_begin_on(Progress *p, FILE *out, double now)
{
    *p = Progress{out, "", now, 0.0, 0.0, 0.0, 0, kTermsPerCheck, false, false};
}

void progress_begin(Progress *p)
{
    progress_begin_on(p, isatty(STDERR_FILENO) != 0 ? stderr : nullptr, monotonic_seconds());
}

void progress_begin_series(Progress *p, const char *series, int64_t words)
{
    progress_begin(p);
    progress_series(p, series, 0.0, 1.0, words);
}

void progress_series(Progress *p, const char *series, double done, double weight, int64_t words)
{
    p->series = series;
    p->series_start = done;
    p->series_weight = weight;
    p->words = words;
    p->countdown = kTermsPerCheck;
}

void progress_check_at(Progress *p, int64_t length, double now)
{
    p->countdown = kTermsPerCheck;
    const double elapsed = now - p->run_start;
    const double share = share_done(p, length);
    if (!p->long_run) {
        if (elapsed < kFirstLook || share <= 0.0 || elapsed / share < kLongRun) {
            return;
        }
        p->long_run = true;
    }
    if (p->shown && now - p->last_draw < kRedrawPeriod) {
        return;
    }
    p->last_draw = now;
    draw(p, share, elapsed);
}

void progress_check(Progress *p, int64_t length)
{
    progress_check_at(p, length, monotonic_seconds());
}

void progress_series_end(Progress *p)
{
    if (p->out != nullptr && p->shown) {
        std::fputs("\r\033[K", p->out);
        std::fflush(p->out);
        p->shown = false;
    }
}
