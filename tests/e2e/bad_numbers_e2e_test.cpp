// Numbers on the command line that do not fit the integer they are read
// into. Every one of them has one defined outcome: a digit count beyond
// the 64-bit range reads as the largest count and is refused by the size
// limit (one line, status 2), or as the most negative one and gets the usage
// text; a radix or method beyond its range is never taken modulo 2^64 or
// 2^32, so it never lands on 2, 16 or 1 to 4 by wrapping around.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "run_program.h"

namespace {

const std::string kProgram = program_under_test(VEXO_BUILT_BINARY);
const std::string kName = "vexo_x86_64";

std::string usage_text()
{
    return "\n\n UTILISATION :  " + kName +
           " n cst radix [method]\n"
           "    n      = number of digits\n"
           "    cst    = pi, e, sqrt2, 1/sqrt2\n"
           "    radix  = 2 or 16\n"
           "    method = 1, or 2, or 3, or 4 and only for pi with :\n"
           "      * 1  : pi/4 = arctan(1/2) + arctan(1/3)\t(Newton)\n"
           "      * 2  : pi/4 = 4 arctan(1/5) - arctan(1/239)\t(Machin)\n"
           "      * 3  : pi/4 = 12 arctan(1/18) + 8 arctan(1/57) - 5 arctan(1/239)\t(Gauss)\n"
           "      * 4  : pi/4 = 17 arctan(1/23) + 8 arctan( 1/182 ) + 10 arctan( 1/5118 ) + 5 "
           "arctan( 1/6072 )\n\n";
}

std::string shown(const std::vector<std::string> &words)
{
    std::string s;
    for (const auto &w : words) {
        s += "[" + w + "]";
    }
    return s;
}

ProgramRun run(const std::vector<std::string> &words)
{
    std::vector<std::string> argv = {kName};
    argv.insert(argv.end(), words.begin(), words.end());
    return run_program(kProgram, argv);
}

void expect_usage(const std::vector<std::string> &words)
{
    SCOPED_TRACE(shown(words));
    const ProgramRun r = run(words);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, usage_text());
    EXPECT_EQ(r.err, "");
}

// The refusal line of a request beyond the size limit, alone; returns the
// largest digit count that it names.
std::string expect_refused(const std::vector<std::string> &words, const std::string &constant,
                           const std::string &radix)
{
    SCOPED_TRACE(shown(words));
    const ProgramRun r = run(words);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "");
    const std::string prefix = " Request too large for " + constant + ": at most ";
    const std::string suffix = " digits in radix " + radix + ".\n";
    if (r.out.size() <= prefix.size() + suffix.size() || r.out.compare(0, prefix.size(), prefix) != 0 ||
        r.out.compare(r.out.size() - suffix.size(), suffix.size(), suffix) != 0) {
        ADD_FAILURE() << "not the refusal line: " << r.out;
        return "";
    }
    const std::string limit = r.out.substr(prefix.size(), r.out.size() - prefix.size() - suffix.size());
    EXPECT_EQ(limit.find_first_not_of("0123456789"), std::string::npos) << r.out;
    return limit;
}

void expect_computed(const std::vector<std::string> &words, const std::string &banner)
{
    SCOPED_TRACE(shown(words));
    const ProgramRun r = run(words);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    EXPECT_NE(r.out.find(banner), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  :: 100 \n"), std::string::npos) << "no digits in " << r.out;
}

TEST(BadNumbers, DigitCountsBeyondSixtyFourBitsSaturate)
{
    // Above 2^63 - 1 the count reads as 2^63 - 1, never as the count modulo
    // 2^64 (2^64 + 13 would otherwise be a valid 13).
    const std::string over[] = {"9223372036854775807", "9223372036854775808", "18446744073709551629",
                                "99999999999999999999", "+99999999999999999999999999999999999999"};
    for (const std::string &n : over) {
        const std::string e2 = expect_refused({n, "e", "2"}, "e", "2");
        EXPECT_EQ(expect_refused({n, "e", "2", "4294967297"}, "e", "2"), e2);
        expect_refused({n, "sqrt2", "16"}, "sqrt2", "16");
        expect_refused({n, "1/sqrt2", "2"}, "1/sqrt2", "2");
        expect_refused({n, "pi", "16", "3"}, "pi by formula 3", "16");
    }
    // Below -2^63 the count reads as -2^63: no digits, the usage text.
    for (const std::string n :
         {"-9223372036854775808", "-9223372036854775809", "-18446744073709551629", "-99999999999999999999"}) {
        expect_usage({n, "e", "2"});
        expect_usage({n, "pi", "16", "2"});
    }
}

TEST(BadNumbers, TheLimitIsTheSameWhateverTheWordsBeyondIt)
{
    // The size limit depends on the constant, the formula and the radix only.
    const std::string limit =
        expect_refused({"99999999999999999999", "pi", "2", "1"}, "pi by formula 1", "2");
    ASSERT_FALSE(limit.empty());
    EXPECT_EQ(expect_refused({"9223372036854775807xyz", "pi", "2", "1junk"}, "pi by formula 1", "2"), limit);
    // The first count past the limit is refused with the same line.
    const std::string next = std::to_string(std::stoll(limit) + 1);
    EXPECT_EQ(expect_refused({next, "pi", "2", "1"}, "pi by formula 1", "2"), limit);
    // Formula 1's slowest series (x = 2) gives it the lowest limit of the four.
    for (const char *f : {"2", "3", "4"}) {
        const std::string other =
            expect_refused({"99999999999999999999", "pi", "2", f}, std::string("pi by formula ") + f, "2");
        EXPECT_GT(std::stoll(other), std::stoll(limit)) << "formula " << f;
    }
}

TEST(BadNumbers, RadixWordsBeyondTheirRangeNeverWrapToTwoOrSixteen)
{
    for (const std::string radix : {"18446744073709551632",  // 2^64 + 16
                                    "18446744073709551618",  // 2^64 + 2
                                    "4294967312",            // 2^32 + 16
                                    "4294967298",            // 2^32 + 2
                                    "-18446744073709551600", // -(2^64 - 16)
                                    "-18446744073709551614", // -(2^64 - 2)
                                    "99999999999999999999", "-99999999999999999999"}) {
        expect_usage({"100", "e", radix});
        expect_usage({"100", "sqrt2", radix, "1"});
        expect_usage({"100", "pi", radix, "2"});
    }
    // Leading zeros are only digits: twenty characters that read as 16.
    expect_computed({"100", "e", "00000000000000000016"}, " e = 1/0! + 1/1! + 1/2! + ... \n");
}

TEST(BadNumbers, MethodWordsBeyondTheirRangeNeverWrapToAFormula)
{
    // Truncated to 32 bits, each of these would read as 1, 2, 3 or 4.
    for (const std::string method :
         {"4294967297", "4294967298", "4294967299", "4294967300", "-4294967295", "-4294967294", "8589934593",
          "18446744073709551617", "-18446744073709551615"}) {
        expect_usage({"100", "pi", "16", method});
        expect_usage({"100", "pi", "2", method + "junk"});
    }
    // And these beyond 32 or 64 bits read as no formula at all.
    for (const std::string method : {"2147483648", "-2147483649", "99999999999999999999",
                                     "-99999999999999999999", "9223372036854775807"}) {
        expect_usage({"100", "pi", "16", method});
    }
    // Leading zeros are only digits.
    expect_computed({"100", "pi", "16", "0000000000000000000003"}, " pi/4 = 12 arctan( 1/18 )");
    // For every constant but pi, the method word is not read at all.
    expect_computed({"100", "sqrt2", "16", "4294967297"}, " sqrt(2) = 27720/19601/sqrt(1-1/384199201) \n");
}

TEST(BadNumbers, AHugeDigitCountWithABadWordStillGetsTheUsageText)
{
    // Validation comes before any size check: a refused radix, constant or
    // method wins over a count that the size limit would refuse.
    expect_usage({"99999999999999999999", "tau", "16"});
    expect_usage({"99999999999999999999", "e", "10"});
    expect_usage({"99999999999999999999", "pi", "16", "4294967297"});
    expect_usage({"99999999999999999999", "pi", "16"});
}

} // namespace
