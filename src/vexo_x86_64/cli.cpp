// The command line: vexo_x86_64 n cst radix [method]. Anything but a complete
// and valid request gets the usage text; a valid one runs one calculator.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "calculators.h"
#include "cli.h"
#include "run_records.h"

Constant read_constant(const char *word)
{
    if (std::strcmp(word, "pi") == 0) {
        return kPi;
    }
    if (std::strcmp(word, "e") == 0) {
        return kE;
    }
    if (std::strcmp(word, "sqrt2") == 0) {
        return kSqrt2;
    }
    if (std::strcmp(word, "1/sqrt2") == 0) {
        return kInvSqrt2;
    }
    return kUnknown;
}

namespace {

// Exit statuses.
constexpr int kStatusDone = 0;
constexpr int kStatusUsage = 1;
constexpr int kStatusFailed = 2;
// kStatusWrong (3), the value failed its check and was not printed, is what
// the calculator itself returns then.

// The name shown when the system gives the program no name at all, and the
// name in the one line written to standard error.
constexpr const char *kProgramName = "vexo_x86_64";

// A number word as atol reads it: leading white space, an optional sign and
// the digits that follow; anything after them is ignored and a word without
// digits reads as 0. strtol defines what atol and atoi leave undefined: a
// value beyond the range of long reads as LONG_MIN or LONG_MAX. The method is
// range-checked in this width too, so a word such as 4294967297 is no formula
// rather than formula 1 after a cut to 32 bits.
long read_number(const char *word)
{
    return std::strtol(word, nullptr, 10);
}

int usage(const char *prog)
{
    printError(prog);
    return kStatusUsage;
}

int32_t run_calculator(Constant cst, int64_t base, int64_t Nb_decimales, int32_t formule)
{
    switch (cst) {
    case kPi:
        return calcul_pi(base, Nb_decimales, formule);
    case kE:
        return calcul_e(base, Nb_decimales);
    case kSqrt2:
        return calcul_sqrt2(base, Nb_decimales);
    default:
        return calcul_inv_sqrt2(base, Nb_decimales);
    }
}

// Validates the words and runs at most one calculator; the exit status.
int run_request(int argc, char **argv)
{
    const char *prog = argc > 0 && argv[0] != nullptr ? argv[0] : kProgramName;
    if (argc != 4 && argc != 5) {
        return usage(prog);
    }
    const int64_t Nb_decimales = read_number(argv[1]);
    if (Nb_decimales <= 12) {
        return usage(prog);
    }
    const Constant cst = read_constant(argv[2]);
    if (cst == kUnknown) {
        return usage(prog);
    }
    const int64_t base = read_number(argv[3]);
    if (!radix_served(base)) {
        return usage(prog);
    }
    // The method is read only for pi; any word 4 is ignored otherwise.
    int32_t formule = 0;
    if (cst == kPi) {
        if (argc != 5) {
            return usage(prog);
        }
        const long method = read_number(argv[4]);
        if (method < 1 || method > 4) {
            return usage(prog);
        }
        formule = static_cast<int32_t>(method);
    }
    const int32_t result = run_calculator(cst, base, Nb_decimales, formule);
    if (result == kStatusWrong) {
        return kStatusWrong;
    }
    return result == 0 ? kStatusDone : kStatusFailed;
}

// Output that did not reach its destination is a failure of the run, whatever
// was computed: a full disk, a closed standard output, a reader gone from a
// pipe while SIGPIPE is ignored, a file-size limit. Once a write has failed,
// stdout keeps its error flag and every later write fails the same way, so
// errno still names the cause here.
int check_output(int status)
{
    const bool flushed = std::fflush(stdout) == 0;
    const int error = errno;
    if (flushed && std::ferror(stdout) == 0) {
        return status;
    }
    std::fprintf(stderr, "%s: write error: %s\n", kProgramName, std::strerror(error != 0 ? error : EIO));
    return kStatusFailed;
}

} // namespace

void printError(const char *prog)
{
    std::printf("\n\n UTILISATION :  %s n cst radix [method]\n", prog);
    std::puts("    n      = number of digits");
    std::puts("    cst    = pi, e, sqrt2, 1/sqrt2");
    std::puts("    radix  = 2, 10 or 16");
    std::puts("    method = 1, or 2, or 3, or 4 and only for pi with :");
    std::puts("      * 1  : pi/4 = arctan(1/2) + arctan(1/3)\t(Newton)");
    std::puts("      * 2  : pi/4 = 4 arctan(1/5) - arctan(1/239)\t(Machin)");
    std::puts("      * 3  : pi/4 = 12 arctan(1/18) + 8 arctan(1/57) - 5 arctan(1/239)\t(Gauss)");
    std::puts("      * 4  : pi/4 = 17 arctan(1/23) + 8 arctan( 1/182 ) + 10 arctan( 1/5118 ) + 5 arctan( "
              "1/6072 )\n");
}

int vexo_main(int argc, char **argv)
{
    // Past a file-size limit, SIGXFSZ would end the program at its default
    // and leave a cut file behind a status that no message explains; ignored,
    // the write fails with EFBIG and check_output reports it as it reports
    // any other lost output.
    std::signal(SIGXFSZ, SIG_IGN);
    return check_output(run_request(argc, argv));
}
