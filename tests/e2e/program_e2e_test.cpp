// Whole runs of the program compared line by line with what a user should
// see: the banner, one duration line per arctangent, the total line, then the
// digits in their layout, the requested ones equal to MPFR's; status 0.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "expected_text.h"
#include "mpfr_reference.h"
#include "printed_output.h"
#include "run_program.h"

namespace {

const std::string kProgram = program_under_test(VEXO_BUILT_BINARY);

struct Expected {
    std::vector<std::string> words; // n, cst, radix [, method]
    std::string head;               // everything before the value, durations masked
    std::string constant;
};

std::string arctan_lines(const std::vector<int> &xs)
{
    std::string lines;
    for (int x : xs) {
        lines += " Duration = ####### seconds for arctan(1/" + std::to_string(x) + ").\n";
    }
    return lines;
}

std::vector<std::string> lines_of(const std::string &text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos <= text.size()) {
        const size_t end = text.find('\n', pos);
        if (end == std::string::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = end + 1;
    }
    return lines;
}

void expect_run(const Expected &e)
{
    const std::string n = e.words[0];
    const int radix = std::stoi(e.words[2]);
    SCOPED_TRACE(e.constant + ", " + n + " digits in radix " + e.words[2]);

    std::vector<std::string> argv = {"vexo_x86_64"};
    argv.insert(argv.end(), e.words.begin(), e.words.end());
    const ProgramRun r = run_program(kProgram, argv);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");

    const PrintedNumber num = parse_printed_number(r.out);
    ASSERT_TRUE(num.found) << r.out;
    // Line by line, so that a difference names its line.
    const std::vector<std::string> got = lines_of(mask_durations(r.out.substr(0, num.start)));
    const std::vector<std::string> want = lines_of(e.head);
    ASSERT_EQ(got.size(), want.size()) << r.out.substr(0, num.start);
    for (size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(got[i], want[i]) << "line " << i + 1;
    }
    EXPECT_EQ(r.out.substr(num.start), printer_layout(num.integer, num.fraction));

    const long digits = std::stol(n);
    std::string integer;
    const std::string reference = reference_fraction_digits(e.constant, radix, digits, &integer);
    EXPECT_EQ(num.integer, integer);
    EXPECT_EQ(num.fraction.substr(0, static_cast<size_t>(digits)), reference);
    const size_t per_word = radix == 2 ? 64 : 16;
    const size_t extra_words = e.constant == "pi" || radix == 16 ? 4 : 3;
    EXPECT_EQ(num.fraction.size(), per_word * (static_cast<size_t>(digits) / per_word + extra_words - 1));
}

// Everything before the value of pi by each formula: the banner, one line per
// arctangent, then the total.
const std::string kPiHeads[] = {
    pi_banner(1) + arctan_lines({2, 3}) + " Total duration = ####### secondes.\n",
    pi_banner(2) + arctan_lines({5, 239}) + " Duration = ####### seconds.\n",
    pi_banner(3) + arctan_lines({18, 57, 239}) + " Duration = ####### seconds.\n",
    pi_banner(4) + arctan_lines({23, 182, 5118, 6072}) + " Total duration = ####### seconds.\n",
};

TEST(WholeRuns, PiByEachFormulaInBothRadixes)
{
    for (int f = 1; f <= 4; ++f) {
        const std::string method = std::to_string(f);
        expect_run({{"1000", "pi", "16", method}, kPiHeads[f - 1], "pi"});
        expect_run({{"13", "pi", "16", method}, kPiHeads[f - 1], "pi"});
        expect_run({{"1000", "pi", "2", method}, kPiHeads[f - 1], "pi"});
        expect_run({{"64", "pi", "2", method}, kPiHeads[f - 1], "pi"});
    }
}

TEST(WholeRuns, TheOtherConstantsShowTheirFormulaAndIterations)
{
    expect_run({{"1000", "e", "16"},
                constant_banner("e") + " Duration = ####### seconds.\n Number of iterations = 544\n\n",
                "e"});
    expect_run({{"1000", "1/sqrt2", "2", "9"},
                constant_banner("1/sqrt2") + " Duration = ####### seconds.\n Number of iterations = 38\n\n",
                "1/sqrt2"});
}

} // namespace
