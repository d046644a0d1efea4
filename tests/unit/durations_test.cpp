// The printed durations, to the digit: the clock that the calculators read is
// scripted, so that every duration line has a known value. pi prints one line
// per arctangent series and a total from its first clock read to the end of
// its last series; e and the roots print the duration of their loop.
//
// This program is linked with -Wl,--wrap=times, so that each read of the
// clock returns the next tick count of the script (100 ticks a second).
#include <sys/times.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "expected_text.h"
#include "pi_formulas.h"
#include "calculators.h"

namespace {

struct ClockScript {
    std::vector<clock_t> ticks; // returned in turn, one per read
    size_t reads;               // reads so far, past the script included
};
ClockScript clock_script{{}, 0};

} // namespace

extern "C" clock_t __real_times(tms *buffer);

extern "C" clock_t __wrap_times(tms *buffer)
{
    const size_t read = clock_script.reads++;
    return read < clock_script.ticks.size() ? clock_script.ticks[read] : __real_times(buffer);
}

namespace {

// What body prints while the clock gives `ticks`, which it must read exactly.
std::string run_with_clock(const std::vector<clock_t> &ticks, const std::function<void()> &body)
{
    clock_script = {ticks, 0};
    const std::string out = capture_stdout(body);
    EXPECT_EQ(clock_script.reads, ticks.size()) << "clock reads";
    clock_script = {{}, 0};
    return out;
}

struct PiCase {
    int formula;
    std::vector<clock_t> ticks; // start and end of each series
    std::string lines;          // the duration lines that follow the banner
};

TEST(Durations, PiPrintsEachSeriesAndTheTotalInSeconds)
{
    // Gaps between one series' end and the next one's start are the
    // combinations: the total includes them.
    const PiCase cases[] = {
        {1,
         {100, 1335, 1400, 1407},
         " Duration =  12.350 seconds for arctan(1/2).\n"
         " Duration =   0.070 seconds for arctan(1/3).\n"
         " Total duration =  13.070 secondes.\n"},
        {2,
         {5000, 5234, 5240, 5789},
         " Duration =   2.340 seconds for arctan(1/5).\n"
         " Duration =   5.490 seconds for arctan(1/239).\n"
         " Duration =   7.890 seconds.\n"},
        {3,
         {0, 1, 50, 51, 60, 12060},
         " Duration =   0.010 seconds for arctan(1/18).\n"
         " Duration =   0.010 seconds for arctan(1/57).\n"
         " Duration = 120.000 seconds for arctan(1/239).\n"
         " Duration = 120.600 seconds.\n"},
        {4,
         {1000000, 1000099, 1000100, 1000200, 1000300, 1000456, 1000460, 1123456},
         " Duration =   0.990 seconds for arctan(1/23).\n"
         " Duration =   1.000 seconds for arctan(1/182).\n"
         " Duration =   1.560 seconds for arctan(1/5118).\n"
         " Duration = 1229.960 seconds for arctan(1/6072).\n"
         " Total duration = 1234.560 seconds.\n"},
    };
    for (const PiCase &c : cases) {
        Lii p{};
        int64_t result = 1;
        const std::string out = run_with_clock(c.ticks, [&] { result = kPiFormulas[c.formula - 1](&p, 8); });
        ASSERT_EQ(result, 0);
        destroyLii(&p);
        EXPECT_EQ(out, pi_banner(c.formula) + c.lines) << "formula " << c.formula;
    }
}

TEST(Durations, EAndTheRootsPrintTheirLoopInSeconds)
{
    struct Case {
        const char *name;
        int32_t (*calculate)(int64_t, int64_t);
        std::vector<clock_t> ticks;
        const char *seconds;
    };
    const Case cases[] = {
        {"e", calcul_e, {300, 2345}, " 20.450"},
        {"sqrt2", calcul_sqrt2, {0, 5}, "  0.050"},
        {"1/sqrt2", calcul_inv_sqrt2, {99, 100099}, "1000.000"},
    };
    for (const Case &c : cases) {
        int32_t result = 1;
        const std::string out = run_with_clock(c.ticks, [&] { result = c.calculate(16, 100); });
        EXPECT_EQ(result, 0);
        const std::string head =
            constant_banner(c.name) + " Duration = " + c.seconds + " seconds.\n Number of iterations = ";
        EXPECT_EQ(out.substr(0, head.size()), head) << c.name;
    }
}

} // namespace
