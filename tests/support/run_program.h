// Runs a program with an explicit argument vector (possibly empty, possibly
// holding any bytes) and collects its standard output, its standard error and
// its exit status separately.
#pragma once

#include <string>
#include <vector>

struct ProgramRun {
    std::string out;
    std::string err;
    int status; // the exit status, or -1 when the program did not exit normally
    int signal; // the signal that ended it, or 0
};

// argv is passed as given: argv[0] is the name the program sees, and an empty
// vector starts it with argc == 0.
ProgramRun run_program(const std::string &path, const std::vector<std::string> &argv);

// Where the program's standard output goes, for the runs that test how it
// meets output it cannot write.
enum class OutputTarget {
    kPipe,           // a pipe read to the end (as run_program does)
    kClosed,         // file descriptor 1 closed
    kFile,           // the file at ProgramSetup::path (created or truncated)
    kPipeReaderGone, // a pipe whose read end is closed before the program starts
};

struct ProgramSetup {
    OutputTarget target;
    std::string path;     // for kFile: the file; /dev/full is one
    bool ignore_sigpipe;  // SIGPIPE ignored, so a write to a lone pipe fails
    long file_size_limit; // > 0: RLIMIT_FSIZE in bytes, SIGXFSZ at its default
};

// As run_program, with standard output set up as asked; out is empty but for
// kPipe.
ProgramRun run_program_with(const std::string &path, const std::vector<std::string> &argv,
                            const ProgramSetup &setup);

// The program that the end-to-end tests run: $VEXO_BIN if set, else `built`.
std::string program_under_test(const char *built);

// Starts the program with standard output on a pipe and reads it until
// `marker` has arrived; returns what had arrived by then (empty when the
// output ended without it). The program is then killed.
std::string output_until(const std::string &path, const std::vector<std::string> &argv,
                         const std::string &marker);

// As run_program, with standard error on a pseudo-terminal; err is what the
// terminal received.
ProgramRun run_program_on_terminal(const std::string &path, const std::vector<std::string> &argv);
