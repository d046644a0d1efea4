// Output that cannot be written: the run fails with status 2 and one line on
// standard error naming the cause, instead of reporting success over lost
// digits. And a run on a pipe shows its banner and durations as they come.
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_program.h"

namespace {

const std::string kProgram = program_under_test(VEXO_BUILT_BINARY);

// About 55 KB of digits, so that a write fails past any stdio buffer.
const std::vector<std::string> kLongRequest = {"vexo_x86_64", "50000", "e", "16"};

void expect_write_error(const ProgramRun &r, const std::string &cause)
{
    EXPECT_EQ(r.signal, 0);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "vexo_x86_64: write error: " + cause + "\n");
}

TEST(OutputErrors, AFullDeviceOrAClosedOutputFailsTheRun)
{
    for (const auto &request :
         {kLongRequest, std::vector<std::string>{"vexo_x86_64", "100", "pi", "2", "3"}}) {
        SCOPED_TRACE(request[1] + " " + request[2]);
        expect_write_error(run_program_with(kProgram, request, {OutputTarget::kFile, "/dev/full", false, 0}),
                           "No space left on device");
        expect_write_error(run_program_with(kProgram, request, {OutputTarget::kClosed, "", false, 0}),
                           "Bad file descriptor");
    }
    // The usage text is output as well: lost, it is a failure too.
    expect_write_error(
        run_program_with(kProgram, {"vexo_x86_64"}, {OutputTarget::kFile, "/dev/full", false, 0}),
        "No space left on device");
}

TEST(OutputErrors, APipeWithoutReaderFailsOrKillsAsSigpipeSays)
{
    const ProgramRun ignored =
        run_program_with(kProgram, kLongRequest, {OutputTarget::kPipeReaderGone, "", true, 0});
    expect_write_error(ignored, "Broken pipe");
    // With SIGPIPE at its default the program dies of it, as cat does.
    const ProgramRun killed =
        run_program_with(kProgram, kLongRequest, {OutputTarget::kPipeReaderGone, "", false, 0});
    EXPECT_EQ(killed.signal, SIGPIPE);
    EXPECT_EQ(killed.err, "");
}

// The limit is set as a shell's ulimit -f sets it, with SIGXFSZ at its
// default: the run must still end with the one line and status 2, not by
// that signal.
TEST(OutputErrors, AFileSizeLimitKeepsWhatFitsAndFailsTheRun)
{
    char path[] = "/tmp/vexo_output_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    constexpr long kLimit = 20000;
    expect_write_error(run_program_with(kProgram, kLongRequest, {OutputTarget::kFile, path, false, kLimit}),
                       "File too large");
    struct stat st {};
    ASSERT_EQ(stat(path, &st), 0);
    EXPECT_EQ(st.st_size, kLimit);

    // The same run with room to spare writes everything and succeeds.
    const ProgramRun whole = run_program_with(kProgram, kLongRequest, {OutputTarget::kFile, path, false, 0});
    EXPECT_EQ(whole.status, 0);
    EXPECT_EQ(whole.err, "");
    ASSERT_EQ(stat(path, &st), 0);
    EXPECT_GT(st.st_size, 50000);
    std::remove(path);
}

TEST(OutputErrors, ARunOnAPipeShowsItsBannerAndDurationsAsTheyCome)
{
    // The banner and the line of the first arctangent each arrive while a
    // series still runs, long before the digits: held in the buffer of
    // standard output, they would come with the first of them.
    const std::vector<std::string> request = {"vexo_x86_64", "20000", "pi", "16", "1"};
    for (const std::string marker :
         {" pi/4 = arctan( 1/2 ) + arctan( 1/3 )\n", "seconds for arctan(1/2).\n"}) {
        const std::string seen = output_until(kProgram, request, marker);
        EXPECT_NE(seen.find(marker), std::string::npos) << marker;
        EXPECT_EQ(seen.find("\n3.\n"), std::string::npos) << "the digits came with " << marker;
    }
}

} // namespace
