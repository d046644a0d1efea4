// The calculators of e, sqrt(2) and 1/sqrt(2) when calloc fails at each of
// their creations, and the size guard that refuses before any allocation.
// Leaks on the failure paths are caught by the sanitizer build.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "capture_stdout.h"
#include "expected_text.h"
#include "failing_calloc.h"
#include "calculators.h"

namespace {

using Calculator = int32_t (*)(int64_t, int64_t);

struct Case {
    const char *name;
    Calculator calculate;
    long records;
};

const Case kCases[] = {{"e", calcul_e, 2}, {"sqrt2", calcul_sqrt2, 3}, {"1/sqrt2", calcul_inv_sqrt2, 3}};

struct Outcome {
    int32_t result;
    long callocs;
    std::string text;
};

Outcome run_failing_at(const Case &c, long k, int64_t base, int64_t digits)
{
    Outcome o{-1, 0, ""};
    o.text = capture_stdout([&] {
        failing_calloc_fail_at(k);
        o.result = c.calculate(base, digits);
        o.callocs = failing_calloc_calls();
        failing_calloc_fail_at(0);
    });
    return o;
}

} // namespace

TEST(RootsAndEOutOfMemory, EveryCreationCanFail)
{
    for (const Case &c : kCases) {
        for (int64_t base : {2, 16}) {
            for (long k = 1; k <= c.records; ++k) {
                SCOPED_TRACE(std::string(c.name) + " radix " + std::to_string(base) + ", calloc " +
                             std::to_string(k) + " fails");
                const Outcome o = run_failing_at(c, k, base, 1000);
                EXPECT_EQ(o.result, 1);
                EXPECT_EQ(o.text, kRecordOutOfMemory);
                // No record is created after the one that failed.
                EXPECT_EQ(o.callocs, k);
            }
        }
    }
}

TEST(RootsAndEOutOfMemory, ARunCreatesExactlyItsRecords)
{
    for (const Case &c : kCases) {
        // The (k+1)-th calloc is never reached, so the run completes.
        const Outcome o = run_failing_at(c, c.records + 1, 16, 200);
        EXPECT_EQ(o.result, 0) << c.name;
        EXPECT_EQ(o.callocs, c.records) << c.name;
        EXPECT_EQ(o.text.rfind(constant_banner(c.name), 0), 0U) << c.name;
    }
}

TEST(RootsAndEOutOfMemory, TooLargeRequestsAllocateNothing)
{
    for (const Case &c : kCases) {
        for (int64_t base : {2, 16}) {
            SCOPED_TRACE(std::string(c.name) + " radix " + std::to_string(base));
            const Outcome huge = run_failing_at(c, 1, base, INT64_MAX);
            EXPECT_EQ(huge.result, 1);
            EXPECT_EQ(huge.callocs, 0);
            const TooLargeLine line = parse_too_large(huge.text);
            ASSERT_TRUE(line.valid) << huge.text;
            EXPECT_EQ(line.constant, c.name);
            EXPECT_EQ(line.radix, base);

            // At the announced largest count the calculator goes on to create
            // its first record (made to fail here); one digit more is refused.
            const int64_t max_digits = line.max_digits;
            const Outcome at_limit = run_failing_at(c, 1, base, max_digits);
            EXPECT_EQ(at_limit.text, kRecordOutOfMemory);
            EXPECT_EQ(at_limit.callocs, 1);
            const Outcome over = run_failing_at(c, 1, base, max_digits + 1);
            EXPECT_EQ(over.callocs, 0);
            EXPECT_EQ(over.text, huge.text);
        }
    }
}
