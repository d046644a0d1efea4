// The progress line of a long run: drawn on standard error when that is a
// terminal, erased at the end of every series, absent otherwise; standard
// output is the same either way.
#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "printed_output.h"
#include "run_program.h"

namespace {

const std::string kProgram = program_under_test(VEXO_BUILT_BINARY);

// What a terminal shows at the end: each carriage return goes back to the
// start of the line, each ESC [ K clears from the cursor to its end.
std::string visible_line(const std::string &received)
{
    std::string line;
    size_t cursor = 0;
    for (size_t i = 0; i < received.size(); ++i) {
        if (received[i] == '\r') {
            cursor = 0;
        } else if (received.compare(i, 3, "\033[K") == 0) {
            line.resize(cursor);
            i += 2;
        } else {
            line.resize(std::max(line.size(), cursor + 1));
            line[cursor++] = received[i];
        }
    }
    return line;
}

TEST(ProgressLine, ShownOnATerminalErasedAtTheEndAndAbsentOtherwise)
{
    // Several seconds of work in two series.
    const std::vector<std::string> request = {"vexo_x86_64", "100000", "pi", "16", "1"};
    const auto start = std::chrono::steady_clock::now();
    const ProgramRun on_terminal = run_program_on_terminal(kProgram, request);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const ProgramRun on_pipe = run_program(kProgram, request);
    ASSERT_EQ(on_terminal.status, 0);
    ASSERT_EQ(on_pipe.status, 0);

    EXPECT_NE(on_terminal.err.find("\r arctan(1/2): "), std::string::npos) << on_terminal.err;
    EXPECT_NE(on_terminal.err.find("\r arctan(1/3): "), std::string::npos);
    EXPECT_NE(on_terminal.err.find(" % done, "), std::string::npos);
    EXPECT_NE(on_terminal.err.find(" elapsed, about "), std::string::npos);
    EXPECT_EQ(visible_line(on_terminal.err), "") << "the line is left on the terminal";
    // At most four draws a second, and one more as each series starts.
    size_t draws = 0;
    for (size_t at = on_terminal.err.find(" % done"); at != std::string::npos;
         at = on_terminal.err.find(" % done", at + 1)) {
        ++draws;
    }
    EXPECT_LE(static_cast<double>(draws), 4.0 * seconds + 2.0) << "redrawn too often";

    EXPECT_EQ(on_pipe.err, "");
    EXPECT_EQ(mask_durations(on_terminal.out), mask_durations(on_pipe.out));
}

TEST(ProgressLine, AShortRunDrawsNothingEvenOnATerminal)
{
    const ProgramRun run = run_program_on_terminal(kProgram, {"vexo_x86_64", "2000", "e", "16"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
}

} // namespace
