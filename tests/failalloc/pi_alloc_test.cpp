// Memory exhaustion while pi is computed: calloc fails at each creation of
// each arctangent series of each formula. The lines already printed stay, the
// two out-of-memory lines follow, no digit is printed, and the result record
// is left released. The sanitizer build (LeakSanitizer) checks that nothing
// else leaks.
#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "expected_text.h"
#include "pi_formulas.h"
#include "failing_calloc.h"
#include "printed_output.h"
#include "calculators.h"
#include "cli.h"

namespace {

// The x of each arctan(1/x) term, formula by formula.
const std::vector<int> kFormulaXs[] = {{2, 3}, {5, 239}, {18, 57, 239}, {23, 182, 5118, 6072}};

// Each series creates its result, its term and its power, in that order.
constexpr int kCreationsPerSeries = 3;

std::string expected_failure(int formula, size_t failing_term)
{
    std::string out = pi_banner(formula);
    for (size_t t = 0; t < failing_term; ++t) {
        out +=
            " Duration = ####### seconds for arctan(1/" + std::to_string(kFormulaXs[formula - 1][t]) + ").\n";
    }
    return out + kPiOutOfMemory;
}

TEST(PiOutOfMemory, EveryCreationOfEverySeriesFailsCleanly)
{
    for (int formula = 1; formula <= 4; ++formula) {
        for (size_t term = 0; term < kFormulaXs[formula - 1].size(); ++term) {
            for (int record = 1; record <= kCreationsPerSeries; ++record) {
                SCOPED_TRACE("formula " + std::to_string(formula) + ", term " + std::to_string(term) +
                             ", creation " + std::to_string(record));
                const long failing_call = static_cast<long>(term) * kCreationsPerSeries + record;
                int32_t result = 0;
                const std::string out = capture_stdout([&] {
                    failing_calloc_fail_at(failing_call);
                    result = calcul_pi(16, 1000, formula);
                    failing_calloc_fail_at(0);
                });
                EXPECT_EQ(result, 1);
                EXPECT_EQ(mask_durations(out), expected_failure(formula, term));

                // The same failure seen from the formula routine: its result
                // record either never got an array or was destroyed.
                Lii p{};
                int64_t routine_result = 0;
                capture_stdout([&] {
                    failing_calloc_fail_at(failing_call);
                    routine_result = kPiFormulas[formula - 1](&p, 66);
                    failing_calloc_fail_at(0);
                });
                EXPECT_EQ(routine_result, 1);
                if (failing_call == 1) {
                    EXPECT_EQ(p.mantisse, nullptr);
                } else {
                    EXPECT_EQ(p.signe, -1) << "destroyed";
                    EXPECT_EQ(p.taille_mantisse, -10) << "destroyed";
                }
            }
        }
    }
}

TEST(PiOutOfMemory, ASuccessfulRunCreatesThreeRecordsPerSeries)
{
    // The injection above reaches every creation only if this count holds.
    for (int formula = 1; formula <= 4; ++formula) {
        long calls = 0;
        int32_t result = 1;
        capture_stdout([&] {
            failing_calloc_fail_at(0);
            result = calcul_pi(2, 500, formula);
            calls = failing_calloc_calls();
        });
        EXPECT_EQ(result, 0);
        EXPECT_EQ(calls, kCreationsPerSeries * static_cast<long>(kFormulaXs[formula - 1].size()))
            << "formula " << formula;
    }
}

int run_main(std::vector<std::string> words)
{
    std::vector<char *> argv;
    for (auto &w : words) {
        argv.push_back(w.data());
    }
    argv.push_back(nullptr);
    return vexo_main(static_cast<int>(words.size()), argv.data());
}

TEST(PiOutOfMemory, TheProgramEndsWithStatusTwo)
{
    int status = 0;
    const std::string out = capture_stdout([&] {
        failing_calloc_fail_at(4); // the result of Machin's second series
        status = run_main({"vexo_x86_64", "1000", "pi", "16", "2"});
        failing_calloc_fail_at(0);
    });
    EXPECT_EQ(status, 2);
    EXPECT_EQ(mask_durations(out), expected_failure(2, 1));
}

TEST(PiOutOfMemory, ATooLargeRequestAllocatesNothing)
{
    for (int formula = 1; formula <= 4; ++formula) {
        int status = 0;
        long calls = -1;
        const std::string out = capture_stdout([&] {
            failing_calloc_fail_at(0);
            status = run_main({"vexo_x86_64", "9223372036854775807", "pi", "2", std::to_string(formula)});
            calls = failing_calloc_calls();
        });
        EXPECT_EQ(status, 2);
        EXPECT_EQ(calls, 0);
        const TooLargeLine line = parse_too_large(out);
        EXPECT_TRUE(line.valid) << out;
        EXPECT_EQ(line.constant, "pi by formula " + std::to_string(formula));
        EXPECT_EQ(line.radix, 2);
    }
}

} // namespace
