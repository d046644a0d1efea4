// The progress line's decisions, on a clock the test sets: when it appears,
// how often it is redrawn, the share and the time left that it shows, and its
// erasure; and that without a terminal it never draws.
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "progress.h"

namespace {

std::string drawn(FILE *out)
{
    std::fflush(out);
    std::string text;
    std::rewind(out);
    for (int c = std::fgetc(out); c != EOF; c = std::fgetc(out)) {
        text += static_cast<char>(c);
    }
    return text;
}

// A progress line drawn into a temporary file, the run starting at `now`.
FILE *begin_on_file(Progress *p, double now)
{
    FILE *out = std::tmpfile();
    progress_begin_on(p, out, now);
    return out;
}

TEST(Progress, AppearsForALongRunShowsShareAndTimeLeftAndIsErased)
{
    Progress p{};
    FILE *out = begin_on_file(&p, 100.0);
    ASSERT_NE(out, nullptr);
    progress_series(&p, "arctan(1/5)", 0.0, 0.75, 1000);

    progress_check_at(&p, 1000, 100.2); // too early to judge
    progress_check_at(&p, 500, 100.4);  // 0.75 * (1 - 1/4) = 56 % done in 0.4 s: short
    EXPECT_EQ(drawn(out), "");

    progress_series(&p, "arctan(1/239)", 0.75, 0.25, 1000);
    progress_check_at(&p, 1000, 101.5); // 75 % done in 1.5 s: 2 s in all
    EXPECT_EQ(drawn(out), "\r arctan(1/239):  75 % done, 0:01 elapsed, about 0:00 left\033[K");

    progress_check_at(&p, 800, 101.6); // within a quarter second: not redrawn
    progress_check_at(&p, 600, 101.8);
    progress_series_end(&p);
    EXPECT_EQ(drawn(out), "\r arctan(1/239):  75 % done, 0:01 elapsed, about 0:00 left\033[K"
                          "\r arctan(1/239):  91 % done, 0:01 elapsed, about 0:00 left\033[K"
                          "\r\033[K");
    std::fclose(out);
}

TEST(Progress, HoursAndATermCountBetweenClockReadings)
{
    struct Row {
        int64_t length; // of 100 words
        double now;
        const char *line;
    };
    const Row rows[] = {
        {95, 3725.0, "\r e:   9 % done, 1:02:05 elapsed, about 9:34:40 left\033[K"}, // 9.75 % in 1:02:05
        {50, 3600.0, "\r e:  75 % done, 1:00:00 elapsed, about 20:00 left\033[K"},   // an hour exactly
    };
    for (const Row &row : rows) {
        Progress p{};
        FILE *out = begin_on_file(&p, 0.0);
        ASSERT_NE(out, nullptr);
        progress_series(&p, "e", 0.0, 1.0, 100);
        progress_check_at(&p, row.length, row.now);
        EXPECT_EQ(drawn(out), row.line) << "at " << row.now << " s";

        // The clock is read once in many terms, never for the others.
        const int64_t before = p.countdown;
        progress_term(&p, 50);
        EXPECT_EQ(p.countdown, before - 1);
        std::fclose(out);
    }
}

TEST(Progress, WithoutATerminalNothingIsEverDrawn)
{
    Progress p{};
    progress_begin_on(&p, nullptr, 0.0);
    progress_series(&p, "e", 0.0, 1.0, 100);
    for (int i = 0; i < 1000; ++i) {
        progress_term(&p, 50);
    }
    progress_series_end(&p);
    EXPECT_FALSE(p.shown);
}

} // namespace
