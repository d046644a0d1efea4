// Whole runs of the program compared line by line with what a user should
// see: the banner, one duration line per arctangent, the total line, then the
// digits in their layout, the requested ones equal to MPFR's; status 0.
#include <string>
#include <vector>

#include <gtest/gtest.h>

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

const std::string kNewton = "\n Formula used (de Newton) :\n pi/4 = arctan( 1/2 ) + arctan( 1/3 )\n\n" +
                            arctan_lines({2, 3}) + " Total duration = ####### secondes.\n";
const std::string kMachin = "\n Formula used (de Machin) :\n pi/4 = 4 arctan( 1/5 ) - arctan( 1/239 )\n\n" +
                            arctan_lines({5, 239}) + " Duration = ####### seconds.\n";
const std::string kGauss =
    "\n Formula used :\n pi/4 = 12 arctan( 1/18 ) + 8 arctan( 1/57 ) - 5 arctan( 1/239 )\n\n" +
    arctan_lines({18, 57, 239}) + " Duration = ####### seconds.\n";
const std::string kFourTerms = " Formula used :\n pi/4 = 17 arctan(1/23) + 8 arctan( 1/182 ) + 10 arctan( "
                               "1/5118 ) + 5 arctan( 1/6072 )\n\n" +
                               arctan_lines({23, 182, 5118, 6072}) + " Total duration = ####### seconds.\n";

TEST(WholeRuns, PiByEachFormulaInBothRadixes)
{
    const std::string heads[] = {kNewton, kMachin, kGauss, kFourTerms};
    for (int f = 1; f <= 4; ++f) {
        const std::string method = std::to_string(f);
        expect_run({{"1000", "pi", "16", method}, heads[f - 1], "pi"});
        expect_run({{"13", "pi", "16", method}, heads[f - 1], "pi"});
        expect_run({{"1000", "pi", "2", method}, heads[f - 1], "pi"});
        expect_run({{"64", "pi", "2", method}, heads[f - 1], "pi"});
    }
}

TEST(WholeRuns, TheOtherConstantsShowTheirFormulaAndIterations)
{
    expect_run({{"1000", "e", "16"},
                "\n Formula used :\n e = 1/0! + 1/1! + 1/2! + ... \n\n Duration = ####### seconds.\n"
                " Number of iterations = 544\n\n",
                "e"});
    expect_run(
        {{"1000", "1/sqrt2", "2", "9"},
         "\n Formula used :\n 1/sqrt(2) = 13860/19601/sqrt(1-1/384199201) \n\n Duration = ####### seconds.\n"
         " Number of iterations = 38\n\n",
         "1/sqrt2"});
}

} // namespace
