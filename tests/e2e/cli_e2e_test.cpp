// The command line as a user meets it: every rejected request gives the usage
// text (and nothing else) with status 1, accepted ones run one calculator with
// status 0, and a request beyond the size limit gives one line and status 2.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "printed_output.h"
#include "run_program.h"
#include "vexo.h"

namespace {

const std::string kProgram = program_under_test(VEXO_BUILT_BINARY);

ProgramRun run(const std::vector<std::string> &words)
{
    return run_program(kProgram, words);
}

// The usage text for a program name: the first item is a formatted print
// opening with two empty lines, every other item is a line of its own.
std::string usage_text(const std::string &prog)
{
    const std::vector<std::string> items = {
        "    n      = number of digits",
        "    cst    = pi, e, sqrt2, 1/sqrt2",
        "    radix  = 2 or 16",
        "    method = 1, or 2, or 3, or 4 and only for pi with :",
        "      * 1  : pi/4 = arctan(1/2) + arctan(1/3)\t(Newton)",
        "      * 2  : pi/4 = 4 arctan(1/5) - arctan(1/239)\t(Machin)",
        "      * 3  : pi/4 = 12 arctan(1/18) + 8 arctan(1/57) - 5 arctan(1/239)\t(Gauss)",
        "      * 4  : pi/4 = 17 arctan(1/23) + 8 arctan( 1/182 ) + 10 arctan( 1/5118 ) + 5 arctan( 1/6072 "
        ")\n",
    };
    std::string text = "\n\n UTILISATION :  " + prog + " n cst radix [method]\n";
    for (const auto &item : items) {
        text += item + "\n";
    }
    return text;
}

void expect_usage(const std::vector<std::string> &words)
{
    std::string shown;
    for (const auto &w : words) {
        shown += "[" + w + "]";
    }
    SCOPED_TRACE("words " + shown);
    const ProgramRun r = run(words);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, usage_text(words[0]));
    EXPECT_EQ(r.err, "");
}

void expect_success(const std::vector<std::string> &words, const std::string &formula_line)
{
    const ProgramRun r = run(words);
    EXPECT_EQ(r.status, 0) << words[1] << " " << words[2] << " " << words[3];
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find(formula_line), std::string::npos) << r.out;
    EXPECT_TRUE(parse_printed_number(r.out).found);
}

TEST(CommandLine, WrongWordCountsGiveTheUsageText)
{
    const std::string p = "vexo_x86_64";
    expect_usage({p});
    expect_usage({p, "100"});
    expect_usage({p, "100", "e"});
    expect_usage({p, "100", "pi", "16", "2", "extra"});
    expect_usage({p, "100", "e", "16", "1", "2", "3"});
}

TEST(CommandLine, DigitCountsOfTwelveOrLessGiveTheUsageText)
{
    const std::string p = "vexo_x86_64";
    for (const char *n : {"12", "0", "-100", "abc", "", "-9223372036854775808", "+12", " 7"}) {
        expect_usage({p, n, "e", "2"});
        expect_usage({p, n, "pi", "16", "2"});
    }
}

TEST(CommandLine, OnlyTheFourWholeConstantNamesAreAccepted)
{
    const std::string p = "vexo_x86_64";
    for (const char *cst : {"Pi", "PI", "pi2", "p", "", "1/sqrt", "sqrt", "sqrt2 ", "E", "e\xff"}) {
        expect_usage({p, "100", cst, "16", "1"});
        expect_usage({p, "100", cst, "16"});
    }
}

TEST(CommandLine, RadixesOtherThanTwoOrSixteenGiveTheUsageText)
{
    const std::string p = "vexo_x86_64";
    for (const char *radix : {"10", "0x10", "0", "-2", "x16", "8", ""}) {
        expect_usage({p, "100", "sqrt2", radix});
        expect_usage({p, "100", "pi", radix, "2"});
    }
    // A bad radix with a bad constant reads like either alone.
    expect_usage({p, "100", "tau", "10"});
}

TEST(CommandLine, PiNeedsAMethodFromOneToFour)
{
    const std::string p = "vexo_x86_64";
    expect_usage({p, "100", "pi", "2"});
    for (const char *method : {"0", "5", "-1", "-4", "x", ""}) {
        expect_usage({p, "100", "pi", "2", method});
    }
}

TEST(CommandLine, TheUsageTextShowsTheNameAsGiven)
{
    expect_usage({"/some/where/vexo \xc3\xa9\x01", "1"});
    expect_usage({"", "x", "y", "z"});
}

TEST(CommandLine, WithoutAnyArgumentTheProgramNamesItself)
{
    // Started with an empty argument vector, the program gets argc 0 from
    // older kernels and a single empty word from newer ones, which pass it
    // on; either way it prints the usage text and ends with status 1.
    const ProgramRun r = run({});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out == usage_text("vexo_x86_64") || r.out == usage_text("")) << r.out;

    // argc 0 itself, in-process.
    char *no_words[] = {nullptr};
    int status = -1;
    const std::string out = capture_stdout([&] { status = vexo_main(0, no_words); });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, usage_text("vexo_x86_64"));
}

TEST(CommandLine, NumbersAreReadLikeAtol)
{
    const std::string p = "vexo_x86_64";
    expect_success({p, "13", "e", "2"}, " e = 1/0! + 1/1! + 1/2! + ... \n");
    expect_success({p, "13", "pi", "16", "1"}, " Formula used (de Newton) :\n");
    expect_success({p, "100", "e", "16x"}, " e = 1/0! + 1/1! + 1/2! + ... \n");
    expect_success({p, " +100abc", "sqrt2", "02"}, " sqrt(2) = 27720/19601/sqrt(1-1/384199201) \n");
    expect_success({p, "100", "pi", "2", "4"}, " Formula used :\n pi/4 = 17 arctan(1/23)");
    expect_success({p, "100", "pi", "2", " 3junk"}, " pi/4 = 12 arctan( 1/18 )");
}

TEST(CommandLine, TheFourthWordIsIgnoredForAllButPi)
{
    const std::string p = "vexo_x86_64";
    for (const char *cst : {"e", "sqrt2", "1/sqrt2"}) {
        const ProgramRun plain = run({p, "100", cst, "16"});
        EXPECT_EQ(plain.status, 0);
        for (const char *word4 : {"7", "0", "junk", ""}) {
            const ProgramRun with4 = run({p, "100", cst, "16", word4});
            EXPECT_EQ(with4.status, 0) << cst << " " << word4;
            EXPECT_EQ(with4.err, "");
            EXPECT_EQ(mask_durations(with4.out), mask_durations(plain.out)) << cst << " " << word4;
        }
    }
}

TEST(CommandLine, RequestsTooLargeGiveOneLineAndStatusTwo)
{
    const std::string p = "vexo_x86_64";
    struct Case {
        std::vector<std::string> words;
        std::string prefix, radix;
    };
    const Case cases[] = {
        {{p, "9223372036854775807", "pi", "16", "1"},
         " Request too large for pi by formula 1: at most ",
         "16"},
        {{p, "9223372036854775807", "pi", "2", "4"}, " Request too large for pi by formula 4: at most ", "2"},
        {{p, "99999999999999", "pi", "16", "2"}, " Request too large for pi by formula 2: at most ", "16"},
        {{p, "9223372036854775807", "e", "2"}, " Request too large for e: at most ", "2"},
        {{p, "9223372036854775807", "1/sqrt2", "16", "x"}, " Request too large for 1/sqrt2: at most ", "16"},
    };
    for (const Case &c : cases) {
        const ProgramRun r = run(c.words);
        EXPECT_EQ(r.status, 2) << c.prefix;
        EXPECT_EQ(r.err, "");
        const std::string suffix = " digits in radix " + c.radix + ".\n";
        ASSERT_GT(r.out.size(), c.prefix.size() + suffix.size()) << r.out;
        EXPECT_EQ(r.out.substr(0, c.prefix.size()), c.prefix);
        EXPECT_EQ(r.out.substr(r.out.size() - suffix.size()), suffix);
        const std::string limit =
            r.out.substr(c.prefix.size(), r.out.size() - c.prefix.size() - suffix.size());
        EXPECT_EQ(limit.find_first_not_of("0123456789"), std::string::npos) << r.out;
    }
}

} // namespace
