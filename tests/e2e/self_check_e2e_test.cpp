// The program checks its own arithmetic. A build of it whose kernels go
// wrong once on request (tests/faults/faulty_kernels.cpp) runs every
// constant and formula with a fault in each kernel that it calls: a bit
// flipped in the record written, a wrong returned word, an operand changed
// before the call, a record left zero (which ends a series early when it is
// the power). Each run must end with status 3, the one line naming where the
// check failed, and no digits. (Always the faulty build, even when the
// other end-to-end tests run an installed program.)
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "printed_output.h"
#include "run_program.h"

namespace {

struct Request {
    std::vector<std::string> words;
    std::vector<std::string> kernels; // the kernels that this request calls
    std::string series;               // where a fault in the series shows
    std::string scaling;              // where a fault of the multiply shows
};

const std::vector<std::string> kAllKernels = {"div", "div_R", "add", "sub", "mul"};
const std::string kCombination = "the combination of the arctangent series";

const Request kRequests[] = {
    {{"200", "pi", "16", "1"}, kAllKernels, "the series of arctan(1/2)", kCombination},
    {{"200", "pi", "16", "2"}, kAllKernels, "the series of arctan(1/5)", kCombination},
    {{"200", "pi", "16", "3"}, kAllKernels, "the series of arctan(1/18)", kCombination},
    {{"200", "pi", "16", "4"}, kAllKernels, "the series of arctan(1/23)", kCombination},
    {{"200", "e", "16"}, {"div_R", "add"}, "the series of e", ""},
    {{"200", "sqrt2", "16"}, kAllKernels, "the series of sqrt2", "the scaling of sqrt2 by 27720/19601"},
    {{"200", "1/sqrt2", "16"}, kAllKernels, "the series of 1/sqrt2", "the scaling of 1/sqrt2 by 13860/19601"},
    {{"300", "pi", "10", "3"}, {"div", "mul"}, "the series of arctan(1/18)", kCombination},
    {{"700", "sqrt2", "2"}, {"sub", "div_R"}, "the series of sqrt2", ""},
    {{"700", "e", "10"}, {"add"}, "the series of e", ""},
};

// The program's name and the words of a request.
std::vector<std::string> argv_of(const std::vector<std::string> &words)
{
    std::vector<std::string> argv = {"vexo_x86_64"};
    argv.insert(argv.end(), words.begin(), words.end());
    return argv;
}

// The run ended with status 3, the failure line naming `where`, and no digit.
void expect_caught(const ProgramRun &r, const std::string &where)
{
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err,
              "vexo_x86_64: the arithmetic check failed in " + where +
                  ": the computed value is wrong and is not printed; this is probably a hardware fault\n");
    EXPECT_FALSE(parse_printed_number(r.out).found) << r.out;
}

// The call of each kernel that goes wrong: one well inside the first series
// (the first call of the multiply, which the series do not use).
long faulty_call(const std::string &kernel)
{
    return kernel == "mul" ? 1 : kernel == "div" ? 5 : kernel == "div_R" ? 3 : 2;
}

TEST(ArithmeticCheck, EveryInjectedFaultEndsTheRunWithoutDigits)
{
    const std::string program = VEXO_FAULTY_BINARY;
    for (const Request &request : kRequests) {
        const std::vector<std::string> argv = argv_of(request.words);
        for (const std::string &kernel : request.kernels) {
            for (const char *fault : {"3 result", "0 returned", "99 operand", "0 zero"}) {
                const std::string plan = kernel + " " + std::to_string(faulty_call(kernel)) + " " + fault;
                SCOPED_TRACE(argv[1] + " " + argv[2] + " " + argv[3] + ": " + plan);
                ::setenv("VEXO_FAULT", plan.c_str(), 1);
                const ProgramRun r = run_program(program, argv);
                const std::string where = kernel == "mul" ? request.scaling : request.series;
                expect_caught(r, where);
            }
        }
    }
    ::unsetenv("VEXO_FAULT");
}

// The conversion to radix 10 multiplies a copy of the value by 10^19 once per
// 19 digits: each kind of fault in one of those calls, well inside it.
TEST(ArithmeticCheck, AFaultInTheDecimalConversionPrintsNoDigit)
{
    struct Conversion {
        std::vector<std::string> words;
        int series_multiplies; // calls of the multiply before the conversion's
    };
    const Conversion conversions[] = {
        {{"2000", "e", "10"}, 0}, {{"2000", "pi", "10", "2"}, 2}, {{"1500", "sqrt2", "10"}, 1}};
    for (const Conversion &c : conversions) {
        const std::vector<std::string> argv = argv_of(c.words);
        for (const char *fault : {"3 result", "0 returned", "99 operand"}) {
            const std::string plan = "mul " + std::to_string(c.series_multiplies + 5) + " " + fault;
            SCOPED_TRACE(argv[1] + " " + argv[2] + ": " + plan);
            ::setenv("VEXO_FAULT", plan.c_str(), 1);
            expect_caught(run_program(VEXO_FAULTY_BINARY, argv), "the conversion to radix 10");
        }
    }
    ::unsetenv("VEXO_FAULT");
}

// Builds with a deliberate fault in the printers' formatting
// (tests/CMakeLists.txt makes them): the reading back of the text catches it.
TEST(ArithmeticCheck, AFaultInTheFormattingPrintsNoDigit)
{
    struct Mutant {
        std::string name;
        std::vector<std::string> words;
        std::string radix;
    };
    const Mutant mutants[] = {
        {"count_line", {"200", "e", "16"}, "16"},         {"count_line", {"700", "e", "2"}, "2"},
        {"count_line", {"300", "e", "10"}, "10"},         {"hex_digit", {"200", "pi", "16", "2"}, "16"},
        {"byte_bits", {"700", "sqrt2", "2"}, "2"},        {"decimal_digit", {"300", "sqrt2", "10"}, "10"},
        {"integer_part", {"200", "pi", "16", "2"}, "16"},
    };
    for (const Mutant &m : mutants) {
        const std::vector<std::string> argv = argv_of(m.words);
        SCOPED_TRACE(m.name + ": " + argv[1] + " " + argv[2] + " " + argv[3]);
        expect_caught(run_program(std::string(VEXO_MUTANTS_DIR) + "/vexo_x86_64_mutant_" + m.name, argv),
                      "the conversion to radix " + m.radix);
    }
}

// Builds whose pi series are wrong in a way that every residue agrees with:
// a wrong multiplier, a term left out, a wrong last digit. The
// digit-extraction formula catches them in every radix, up to digit n.
TEST(ArithmeticCheck, AWrongSeriesOfPiIsCaughtByTheDigitExtraction)
{
    struct Mutant {
        std::string name;
        std::vector<std::string> words;
    };
    const Mutant mutants[] = {
        {"pi_multiplier", {"200", "pi", "16", "2"}},   {"pi_multiplier", {"300", "pi", "10", "2"}},
        {"pi_term_missing", {"200", "pi", "16", "1"}}, {"pi_term_missing", {"700", "pi", "2", "2"}},
        {"pi_term_missing", {"300", "pi", "10", "3"}}, {"pi_term_missing", {"200", "pi", "16", "4"}},
        {"pi_last_digit", {"200", "pi", "16", "2"}},
    };
    for (const Mutant &m : mutants) {
        const std::vector<std::string> argv = argv_of(m.words);
        SCOPED_TRACE(m.name + ": " + argv[1] + " " + argv[2] + " " + argv[3] + " " + argv[4]);
        const ProgramRun r =
            run_program(std::string(VEXO_MUTANTS_DIR) + "/vexo_x86_64_mutant_" + m.name, argv);
        EXPECT_EQ(r.status, 3);
        EXPECT_EQ(r.err, "vexo_x86_64: the last digits of pi disagree with the digit-extraction formula: the "
                         "computed value is wrong and is not printed\n");
        EXPECT_FALSE(parse_printed_number(r.out).found) << r.out;
    }
}

// The shipped program has no way in for a fault: neither the faulty build's
// wrappers nor the variable that plans a fault.
TEST(ArithmeticCheck, TheProgramCarriesNoFaultHook)
{
    std::ifstream in(VEXO_BUILT_BINARY, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 0u);
    EXPECT_EQ(bytes.find("VEXO_FAULT"), std::string::npos);
    EXPECT_EQ(bytes.find("__wrap_"), std::string::npos);
}

// The same build without a fault prints the value: the faults above are what
// the check caught.
TEST(ArithmeticCheck, WithoutAFaultTheSameBuildPrintsTheValue)
{
    ::unsetenv("VEXO_FAULT");
    const ProgramRun r = run_program(VEXO_FAULTY_BINARY, {"vexo_x86_64", "200", "pi", "16", "2"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(parse_printed_number(r.out).found);
}

} // namespace
