// The command line as a user meets it, as tables of words and the outcome
// they must get: a rejected request gives the usage text (and nothing else)
// with status 1, an accepted one runs one calculator with status 0, and a
// request beyond the size limit gives one line and status 2.
//
// Numbers are read like atol, with strtol's saturation: a digit count beyond
// the 64-bit range reads as the largest count and is refused by the size
// limit, or as the most negative one and gets the usage text; a radix or
// method beyond its range is never taken modulo 2^64 or 2^32, so it never
// lands on 2, 10, 16 or 1 to 4 by wrapping around.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "expected_text.h"
#include "printed_output.h"
#include "run_program.h"
#include "cli.h"

namespace {

const std::string kProgram = program_under_test(VEXO_BUILT_BINARY);
const std::string kName = "vexo_x86_64";

enum Shown { kUsage, kValue, kRefusal };

struct Request {
    std::vector<std::string> words; // after the program name
    Shown shown;
    // kValue, kRefusal: the constant as the refusal line names it ("e",
    // "pi by formula 3", ...), which also picks the banner of a value.
    std::string constant;
};

std::string shown(const std::vector<std::string> &words)
{
    std::string s;
    for (const auto &w : words) {
        s += "[" + w + "]";
    }
    return s;
}

ProgramRun run(const std::vector<std::string> &words, const std::string &prog = kName)
{
    std::vector<std::string> argv = {prog};
    argv.insert(argv.end(), words.begin(), words.end());
    return run_program(kProgram, argv);
}

std::string banner_of(const std::string &constant)
{
    const std::string pi = "pi by formula ";
    return constant.rfind(pi, 0) == 0 ? pi_banner(std::stoi(constant.substr(pi.size())))
                                      : constant_banner(constant);
}

// Runs the request and checks its outcome; returns the largest digit count
// of a refusal (-1 for the other outcomes).
int64_t expect_outcome(const Request &q, const std::string &prog = kName)
{
    SCOPED_TRACE("words " + shown(q.words));
    const ProgramRun r = run(q.words, prog);
    EXPECT_EQ(r.err, "");
    switch (q.shown) {
    case kUsage:
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, usage_text(prog));
        return -1;
    case kValue:
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.rfind(banner_of(q.constant), 0), 0U) << r.out;
        EXPECT_TRUE(parse_printed_number(r.out).found) << r.out;
        return -1;
    case kRefusal:
        break;
    }
    EXPECT_EQ(r.status, 2);
    const TooLargeLine line = parse_too_large(r.out);
    EXPECT_TRUE(line.valid) << r.out;
    EXPECT_EQ(line.constant, q.constant);
    EXPECT_EQ(line.radix, std::stoll(q.words[2]));
    return line.max_digits;
}

void expect_outcomes(const std::vector<Request> &requests)
{
    for (const Request &q : requests) {
        expect_outcome(q);
    }
}

TEST(CommandLine, IncompleteOrInvalidRequestsGetTheUsageText)
{
    std::vector<Request> t = {
        {{}, kUsage, ""},
        {{"100"}, kUsage, ""},
        {{"100", "e"}, kUsage, ""},
        {{"100", "pi", "16", "2", "extra"}, kUsage, ""},
        {{"100", "e", "16", "1", "2", "3"}, kUsage, ""},
        {{"100", "tau", "8"}, kUsage, ""}, // a bad radix with a bad constant
        {{"100", "pi", "2"}, kUsage, ""},  // pi without a method
    };
    for (const char *n : {"12", "0", "-100", "abc", "", "-9223372036854775808", "+12", " 7"}) {
        t.push_back({{n, "e", "2"}, kUsage, ""});
        t.push_back({{n, "pi", "16", "2"}, kUsage, ""});
    }
    for (const char *cst : {"Pi", "PI", "pi2", "p", "", "1/sqrt", "sqrt", "sqrt2 ", "E", "e\xff"}) {
        t.push_back({{"100", cst, "16", "1"}, kUsage, ""});
        t.push_back({{"100", cst, "16"}, kUsage, ""});
    }
    for (const char *radix : {"0x10", "0", "-2", "x16", "8", "1", "3", "100", "-10", ""}) {
        t.push_back({{"100", "sqrt2", radix}, kUsage, ""});
        t.push_back({{"100", "pi", radix, "2"}, kUsage, ""});
    }
    for (const char *method : {"0", "5", "-1", "-4", "x", ""}) {
        t.push_back({{"100", "pi", "2", method}, kUsage, ""});
    }
    expect_outcomes(t);
}

TEST(CommandLine, NumbersBeyondTheirRangeNeverWrapIntoAValidRequest)
{
    std::vector<Request> t;
    // Below -2^63 a count reads as -2^63: no digits.
    for (const char *n :
         {"-9223372036854775808", "-9223372036854775809", "-18446744073709551629", "-99999999999999999999"}) {
        t.push_back({{n, "e", "2"}, kUsage, ""});
        t.push_back({{n, "pi", "16", "2"}, kUsage, ""});
    }
    for (const char *radix : {"18446744073709551632",  // 2^64 + 16
                              "18446744073709551618",  // 2^64 + 2
                              "4294967312",            // 2^32 + 16
                              "4294967298",            // 2^32 + 2
                              "18446744073709551626",  // 2^64 + 10
                              "4294967306",            // 2^32 + 10
                              "-18446744073709551600", // -(2^64 - 16)
                              "-18446744073709551614", // -(2^64 - 2)
                              "99999999999999999999", "-99999999999999999999"}) {
        t.push_back({{"100", "e", radix}, kUsage, ""});
        t.push_back({{"100", "sqrt2", radix, "1"}, kUsage, ""});
        t.push_back({{"100", "pi", radix, "2"}, kUsage, ""});
    }
    // Truncated to 32 bits, each of these would read as 1, 2, 3 or 4.
    for (const std::string method :
         {"4294967297", "4294967298", "4294967299", "4294967300", "-4294967295", "-4294967294", "8589934593",
          "18446744073709551617", "-18446744073709551615"}) {
        t.push_back({{"100", "pi", "16", method}, kUsage, ""});
        t.push_back({{"100", "pi", "2", method + "junk"}, kUsage, ""});
    }
    // These beyond 32 or 64 bits read as no formula at all.
    for (const char *method : {"2147483648", "-2147483649", "99999999999999999999", "-99999999999999999999",
                               "9223372036854775807"}) {
        t.push_back({{"100", "pi", "16", method}, kUsage, ""});
    }
    // Validation comes before any size check: a refused radix, constant or
    // method wins over a count that the size limit would refuse.
    const std::string huge = "99999999999999999999";
    t.push_back({{huge, "tau", "16"}, kUsage, ""});
    t.push_back({{huge, "e", "8"}, kUsage, ""});
    t.push_back({{huge, "pi", "16", "4294967297"}, kUsage, ""});
    t.push_back({{huge, "pi", "16"}, kUsage, ""});
    expect_outcomes(t);
}

TEST(CommandLine, TheUsageTextShowsTheNameAsGiven)
{
    expect_outcome({{"1"}, kUsage, ""}, "/some/where/vexo \xc3\xa9\x01");
    expect_outcome({{"x", "y", "z"}, kUsage, ""}, "");
}

TEST(CommandLine, WithoutAnyArgumentTheProgramNamesItself)
{
    // Started with an empty argument vector, the program gets argc 0 from
    // older kernels and a single empty word from newer ones, which pass it
    // on; either way it prints the usage text and ends with status 1.
    const ProgramRun r = run_program(kProgram, {});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "");
    EXPECT_TRUE(r.out == usage_text(kName) || r.out == usage_text("")) << r.out;

    // argc 0 itself, in-process.
    char *no_words[] = {nullptr};
    int status = -1;
    const std::string out = capture_stdout([&] { status = vexo_main(0, no_words); });
    EXPECT_EQ(status, 1);
    EXPECT_EQ(out, usage_text(kName));
}

TEST(CommandLine, NumbersAreReadLikeAtol)
{
    expect_outcomes({
        {{"13", "e", "2"}, kValue, "e"},
        {{"13", "pi", "16", "1"}, kValue, "pi by formula 1"},
        {{"100", "e", "16x"}, kValue, "e"},
        {{" +100abc", "sqrt2", "02"}, kValue, "sqrt2"},
        {{"100", "pi", "2", "4"}, kValue, "pi by formula 4"},
        {{"100", "pi", "2", " 3junk"}, kValue, "pi by formula 3"},
        // Leading zeros are only digits.
        {{"100", "e", "00000000000000000016"}, kValue, "e"},
        {{"100", "pi", "16", "0000000000000000000003"}, kValue, "pi by formula 3"},
        // Radix 10 and its words.
        {{"13", "1/sqrt2", "10"}, kValue, "1/sqrt2"},
        {{"100", "pi", "10", "2"}, kValue, "pi by formula 2"},
        {{"100", "e", " 10th"}, kValue, "e"},
        // For every constant but pi, the method word is not read at all.
        {{"100", "sqrt2", "16", "4294967297"}, kValue, "sqrt2"},
    });
}

TEST(CommandLine, TheFourthWordIsIgnoredForAllButPi)
{
    for (const char *cst : {"e", "sqrt2", "1/sqrt2"}) {
        const ProgramRun plain = run({"100", cst, "16"});
        EXPECT_EQ(plain.status, 0);
        for (const char *word4 : {"7", "0", "junk", ""}) {
            const ProgramRun with4 = run({"100", cst, "16", word4});
            EXPECT_EQ(with4.status, 0) << cst << " " << word4;
            EXPECT_EQ(with4.err, "");
            EXPECT_EQ(mask_durations(with4.out), mask_durations(plain.out)) << cst << " " << word4;
        }
    }
}

TEST(CommandLine, CountsBeyondTheLimitOr64BitsAreRefusedWithOneLine)
{
    std::vector<Request> t = {
        {{"9223372036854775807", "pi", "2", "4"}, kRefusal, "pi by formula 4"},
        {{"99999999999999", "pi", "16", "2"}, kRefusal, "pi by formula 2"},
        {{"9223372036854775807", "1/sqrt2", "16", "x"}, kRefusal, "1/sqrt2"},
        {{"99999999999999999999", "e", "10"}, kRefusal, "e"},
        {{"9999999999999", "pi", "10", "4"}, kRefusal, "pi by formula 4"},
    };
    // Above 2^63 - 1 a count reads as 2^63 - 1, never as the count modulo
    // 2^64 (2^64 + 13 would otherwise be a valid 13).
    for (const char *n : {"9223372036854775807", "9223372036854775808", "18446744073709551629",
                          "99999999999999999999", "+99999999999999999999999999999999999999"}) {
        t.push_back({{n, "e", "2"}, kRefusal, "e"});
        t.push_back({{n, "sqrt2", "16"}, kRefusal, "sqrt2"});
        t.push_back({{n, "1/sqrt2", "2"}, kRefusal, "1/sqrt2"});
        t.push_back({{n, "pi", "16", "3"}, kRefusal, "pi by formula 3"});
        t.push_back({{n, "pi", "16", "1"}, kRefusal, "pi by formula 1"});
    }
    expect_outcomes(t);
}

TEST(CommandLine, TheLimitDependsOnTheConstantFormulaAndRadixOnly)
{
    const int64_t limit =
        expect_outcome({{"99999999999999999999", "pi", "2", "1"}, kRefusal, "pi by formula 1"});
    ASSERT_GT(limit, 0);
    EXPECT_EQ(expect_outcome({{"9223372036854775807xyz", "pi", "2", "1junk"}, kRefusal, "pi by formula 1"}),
              limit);
    const int64_t e2 = expect_outcome({{"99999999999999999999", "e", "2"}, kRefusal, "e"});
    for (const char *n : {"9223372036854775807", "9223372036854775808", "18446744073709551629",
                          "+99999999999999999999999999999999999999"}) {
        EXPECT_EQ(expect_outcome({{n, "e", "2", "4294967297"}, kRefusal, "e"}), e2) << n;
    }
    // The first count past the limit is refused with the same line.
    EXPECT_EQ(expect_outcome({{std::to_string(limit + 1), "pi", "2", "1"}, kRefusal, "pi by formula 1"}),
              limit);
    // Formula 1's slowest series (x = 2) gives it the lowest limit of the four.
    for (const char *f : {"2", "3", "4"}) {
        const std::string constant = std::string("pi by formula ") + f;
        EXPECT_GT(expect_outcome({{"99999999999999999999", "pi", "2", f}, kRefusal, constant}), limit) << f;
    }
}

} // namespace
