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
};

// argv is passed as given: argv[0] is the name the program sees, and an empty
// vector starts it with argc == 0.
ProgramRun run_program(const std::string &path, const std::vector<std::string> &argv);

// The program that the end-to-end tests run: $VEXO_BIN if set, else `built`.
std::string program_under_test(const char *built);
